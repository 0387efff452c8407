#include "password_windows.h"

#include "core/db_error.h"
#include "dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {

QLineEdit* passwordBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEchoMode(QLineEdit::Password);
    return box;
}

} // namespace

PasswordWindow::PasswordWindow(Station& station, Role role, QWidget* parent)
    : QWidget(parent, Qt::Window), m_role(role), m_ops(station) {
    if (role == Role::Counter) {
        setObjectName(QStringLiteral("frmChPass"));
        setWindowTitle(QStringLiteral("Change Password"));
    } else {
        setObjectName(QStringLiteral("frmAdminPass"));
        setWindowTitle(QStringLiteral("Change Admin Password"));
    }

    m_txtOld = passwordBox(this, "txtOld");
    m_text1 = passwordBox(this, "Text1");
    m_text2 = passwordBox(this, "Text2");
    m_cmdChange = new QPushButton(QStringLiteral("Chanage"), this);
    m_cmdChange->setObjectName(QStringLiteral("cmdChange"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Old Password"), m_txtOld);
    form->addRow(QStringLiteral("New Password"), m_text1);
    form->addRow(QStringLiteral("Confirm Password"), m_text2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdChange);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    connect(m_cmdChange, &QPushButton::clicked, this, &PasswordWindow::change);
    connect(m_text2, &QLineEdit::returnPressed, this, &PasswordWindow::change);
}

void PasswordWindow::change() {
    PasswordChangeResult result;
    try {
        result =
            m_role == Role::Counter
                ? m_ops.changeCounterPassword(m_txtOld->text(), m_text1->text(), m_text2->text())
                : m_ops.changeAdminPassword(m_txtOld->text(), m_text1->text(), m_text2->text());
    } catch (const DbError& e) {
        // Not the connection dialog: the engine's own words say what failed.
        Dialogs::message(this, e.description(), {}, QMessageBox::Critical);
        return;
    }
    Dialogs::message(this, result.message);
    if (result.changed) close();
}

} // namespace tv
