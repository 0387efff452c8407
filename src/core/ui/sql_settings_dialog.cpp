#include "sql_settings_dialog.h"

#include "core/station.h"
#include "dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

SqlSettingsDialog::SqlSettingsDialog(Station& station, QWidget* parent)
    : QDialog(parent), m_station(station) {
    setObjectName(QStringLiteral("frmSql"));
    setWindowTitle(QStringLiteral("SQL Settings"));

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->addItems(
        {ConnectionSettings::windowsAuthentication, ConnectionSettings::sqlAuthentication});
    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("txthost"));
    m_host->setPlaceholderText(QStringLiteral("empty = this computer's own data file"));
    m_data = new QLineEdit(this);
    m_data->setObjectName(QStringLiteral("txtData"));
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_pass = new QLineEdit(this);
    m_pass->setObjectName(QStringLiteral("txtPass"));
    m_pass->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Authentication"), m_combo1);
    form->addRow(QStringLiteral("Host"), m_host);
    form->addRow(QStringLiteral("Database"), m_data);
    form->addRow(QStringLiteral("Username"), m_user);
    form->addRow(QStringLiteral("Password"), m_pass);

    auto* saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    auto* testButton = new QPushButton(QStringLiteral("Test Connection"), this);
    testButton->setObjectName(QStringLiteral("cmdTest"));
    saveButton->setAutoDefault(false);
    testButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, &SqlSettingsDialog::save);
    connect(testButton, &QPushButton::clicked, this, &SqlSettingsDialog::testConnection);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(testButton);

    // The engine's own words for the last failure, so "Connection Failed" can
    // be acted upon (wrong password, server not running, ...).
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("lblReason"));
    m_reason->setWordWrap(true);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->setStyleSheet(QStringLiteral("color: #a00000"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_reason);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    m_reason->setText(station.lastConnectionError());
    loadFromSettings();
}

SqlSettingsDialog* SqlSettingsDialog::showFor(Station& station, QWidget* parent) {
    static QPointer<SqlSettingsDialog> open;
    if (!open) {
        open = new SqlSettingsDialog(station, parent);
        open->setAttribute(Qt::WA_DeleteOnClose);
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

void SqlSettingsDialog::attachTo(Station& station) {
    connect(&station, &Station::connectionFailed, &station, [&station] { showFor(station); });
}

void SqlSettingsDialog::loadFromSettings() {
    StationSettings& s = m_station.settings();
    const QString aut = s.text(keys::SqlAuthentication);
    // A stored kind the list does not know still shows; it connects without a
    // password, as every kind but server authentication does.
    if (m_combo1->findText(aut) < 0) m_combo1->addItem(aut);
    m_combo1->setCurrentText(aut);
    m_station.loadConnectionSettings();
    m_host->setText(m_station.connectionSettings.host);
    m_data->setText(m_station.connectionSettings.database);
    m_user->setText(m_station.connectionSettings.user);
    m_pass->setText(m_station.connectionSettings.password);
}

void SqlSettingsDialog::save() {
    StationSettings& s = m_station.settings();
    s.set(keys::SqlHost, m_host->text());
    s.set(keys::SqlDatabase, m_data->text());
    s.set(keys::SqlUser, m_user->text());
    s.set(keys::SqlPassword, m_pass->text());
    m_station.loadConnectionSettings();
    s.set(keys::SqlAuthentication, m_combo1->currentText());
}

void SqlSettingsDialog::testConnection() {
    // Tests what was last saved, not the unsaved boxes.
    const bool ok = m_station.openConnection();
    m_reason->setText(ok ? QString() : m_station.lastConnectionError());
    Dialogs::message(this, ok ? QStringLiteral("Connection Success")
                              : QStringLiteral("Connection Failed"));
}

} // namespace tv
