#include "user_list_window.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "users.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

using controls::button;

UserListWindow::UserListWindow(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmUserLst"));
    setWindowTitle(QStringLiteral("User List"));
    m_lstUser = new QListWidget(this);
    m_lstUser->setObjectName(QStringLiteral("lstUser"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text2 = new QLineEdit(this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    // A password typed in front of others is not shown to them.
    m_text2->setEchoMode(QLineEdit::Password);
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->addItems({QStringLiteral("Admin"), QStringLiteral("User")});
    auto* add = button(this, "Command1", QStringLiteral("&Add"));
    auto* remove = button(this, "Command3", QStringLiteral("&Delete"));
    auto* close = button(this, "Command2", QStringLiteral("&Close"));
    connect(add, &QPushButton::clicked, this, &UserListWindow::Command1_Click);
    connect(remove, &QPushButton::clicked, this, &UserListWindow::Command3_Click);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_lstUser, &QListWidget::currentRowChanged, this, &UserListWindow::lstUserClick);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("User Name"), m_text1);
    form->addRow(QStringLiteral("Password"), m_text2);
    form->addRow(QStringLiteral("User Type"), m_combo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(close);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_lstUser, 2);
    layout->addLayout(right, 3);
    resize(620, 300);
    setTabOrder(m_text1, m_text2);
    setTabOrder(m_text2, m_combo1);
    setTabOrder(m_combo1, add);

    m_combo1->setCurrentText(QStringLiteral("Admin"));
    m_station.openConnection();
    getusers();
}

void UserListWindow::getusers() {
    m_filling = true;
    m_lstUser->clear();
    try {
        for (const Users::User& u : Users(m_station).getusers()) {
            auto* item = new QListWidgetItem(u.username, m_lstUser);
            // The row itself, not its name: two rows may carry one name.
            item->setData(Qt::UserRole, u.userAuto);
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    m_filling = false;
}

void UserListWindow::lstUserClick() {
    if (m_filling) return;
    const QListWidgetItem* item = m_lstUser->currentItem();
    if (item) m_tag = QString::number(item->data(Qt::UserRole).toLongLong());
}

void UserListWindow::clear() {
    m_text1->clear();
    m_text2->clear();
}

void UserListWindow::Command1_Click() {
    try {
        const QString message =
            Users(m_station).add(m_text1->text(), m_text2->text(), m_combo1->currentText());
        if (!message.isEmpty()) {
            Dialogs::message(this, message);
            return;
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return;
    }
    getusers();
    clear();
}

void UserListWindow::Command3_Click() {
    if (m_lstUser->count() <= 1) return;
    if (Dialogs::question(this, Users::removeQuestion) != QMessageBox::Yes) return;
    try {
        if (!m_tag.isEmpty()) Users(m_station).remove(m_tag.toLongLong());
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    getusers();
}

} // namespace tv
