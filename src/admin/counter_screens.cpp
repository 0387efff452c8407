#include "counter_screens.h"

#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "counters.h"
#include "master_data.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace tv {

CounterListWindow::CounterListWindow(Station& station, QWidget* parent)
    : MasterListWindow(station, "frmCntLst", QStringLiteral("Counter List"), parent) {
    useStandardLayout();
    resize(720, 420);
    m_station.openConnection();
    addFG();
}

void CounterListWindow::setFG() {
    MasterListWindow::setFG({1, 1000, 2000, 2000, 2000, 1000, 2000},
                            {QString(), QStringLiteral("SN"), QStringLiteral("Department"),
                             QStringLiteral("Service Name"), QStringLiteral("Counter Name"),
                             QStringLiteral("Active"), QString()});
}

QList<QStringList> CounterListWindow::rows() {
    return Counters(m_station).addFG();
}

MasterEditWindow* CounterListWindow::createEditWindow() {
    return new CounterEditWindow(m_station, this);
}

void CounterListWindow::Command2_Click() {
    deleteSelected([this](const QString& key) { return Counters(m_station).remove(key); });
}

using controls::lineEdit;

CounterEditWindow::CounterEditWindow(Station& station, QWidget* parent)
    : MasterEditWindow(station, "frmCounter", QStringLiteral("Couter"), QStringLiteral("Save"),
                       QStringLiteral("Close"), parent) {
    m_txtName = lineEdit(this, "txtName");
    m_txtDesc = lineEdit(this, "txtDesc");
    m_txtUser = lineEdit(this, "txtUser");
    m_txtPass = lineEdit(this, "txtPass");
    m_txtPass->setEchoMode(QLineEdit::Password);
    m_txtPass1 = lineEdit(this, "txtPass1");
    m_txtPass1->setEchoMode(QLineEdit::Password);
    m_cmbServ = new QComboBox(this);
    m_cmbServ->setObjectName(QStringLiteral("cmbServ"));
    // Free text: a service typed by name counts as well.
    m_cmbServ->setEditable(true);
    m_cmbServ->setInsertPolicy(QComboBox::NoInsert);
    m_chkActive = new QCheckBox(QStringLiteral("Active"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Counter Name"), m_txtName);
    form->addRow(QStringLiteral("Display Name"), m_txtDesc);
    form->addRow(QStringLiteral("User Name"), m_txtUser);
    form->addRow(QStringLiteral("Password"), m_txtPass);
    form->addRow(QStringLiteral("Re-Password"), m_txtPass1);
    form->addRow(QStringLiteral("Select Service"), m_cmbServ);
    form->addRow(QString(), m_chkActive);
    setForm(form);
    resize(420, 290);
    m_station.openConnection();
    addServ();
}

void CounterEditWindow::addServ() {
    guarded([this] { m_cmbServ->addItems(Counters(m_station).addServ()); });
    m_cmbServ->setCurrentIndex(-1);
}

void CounterEditWindow::getData() {
    guarded([this] {
        const auto d = Counters(m_station).getData(ref());
        if (!d.found) return;
        m_cmbServ->setEditText(d.serviceName);
        m_txtName->setText(d.name);
        m_txtDesc->setText(d.displayName);
        m_txtUser->setText(d.user);
        // Empty boxes keep the stored password; what was typed for another
        // counter must not become this one's.
        m_txtPass->clear();
        m_txtPass1->clear();
        m_txtPass->setPlaceholderText(QStringLiteral("unchanged"));
        m_txtPass1->setPlaceholderText(QStringLiteral("unchanged"));
        m_chkActive->setChecked(d.active);
    });
}

QString CounterEditWindow::saveData() {
    Counters::Entry e;
    e.serviceName = m_cmbServ->currentText();
    e.name = m_txtName->text();
    e.displayName = m_txtDesc->text();
    e.user = m_txtUser->text();
    e.pass = m_txtPass->text();
    e.pass1 = m_txtPass1->text();
    e.active = m_chkActive->isChecked();
    return Counters(m_station).save(ref(), e);
}

} // namespace tv
