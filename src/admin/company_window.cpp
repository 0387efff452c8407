#include "company_window.h"

#include "company.h"
#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

CompanyWindow::CompanyWindow(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmCompany"));
    setWindowTitle(QStringLiteral("Company Details"));
    m_txtName = new QLineEdit(this);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_txtAdd = new QLineEdit(this);
    m_txtAdd->setObjectName(QStringLiteral("txtAdd"));
    auto* save = controls::button(this, "Command1", QStringLiteral("&Save"));
    connect(save, &QPushButton::clicked, this, &CompanyWindow::Command1_Click);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Company Name"), m_txtName);
    form->addRow(QStringLiteral("Address"), m_txtAdd);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(460, 140);

    try {
        const auto d = Company(m_station).load();
        if (d.found) {
            m_txtName->setText(d.name);
            m_txtAdd->setText(d.address);
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

bool CompanyWindow::Command1_Click() {
    try {
        const QString message = Company(m_station).save(m_txtName->text(), m_txtAdd->text());
        if (!message.isEmpty()) {
            Dialogs::message(this, message);
            return false;
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return false;
    }
    close();
    return true;
}

} // namespace tv
