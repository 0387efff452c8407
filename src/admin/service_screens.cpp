#include "service_screens.h"

#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "master_data.h"
#include "services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>

namespace tv {

ServiceListWindow::ServiceListWindow(Station& station, QWidget* parent)
    : MasterListWindow(station, "frmServLst", QStringLiteral("Service List"), parent) {
    useStandardLayout();
    resize(860, 420);
    m_station.openConnection();
    addFG();
}

void ServiceListWindow::setFG() {
    MasterListWindow::setFG({1, 1000, 2000, 2000, 1000, 1000, 1000, 1000, 3000},
                            {QString(), QStringLiteral("SN"), QStringLiteral("Department"),
                             QStringLiteral("Service Name"), QStringLiteral("Start"),
                             QStringLiteral("End"), QStringLiteral("Prefix"),
                             QStringLiteral("Active"), QString()});
}

QList<QStringList> ServiceListWindow::rows() {
    return Services(m_station).addFG();
}

MasterEditWindow* ServiceListWindow::createEditWindow() {
    return new ServiceEditWindow(m_station, this);
}

void ServiceListWindow::Command2_Click() {
    deleteSelected([this](const QString& key) { return Services(m_station).remove(key); });
}

using controls::lineEdit;

ServiceEditWindow::ServiceEditWindow(Station& station, QWidget* parent)
    : MasterEditWindow(station, "frmService", QStringLiteral("Service Details"),
                       QStringLiteral("&Save"), QStringLiteral("&Close"), parent) {
    m_cmbDept = new QComboBox(this);
    m_cmbDept->setObjectName(QStringLiteral("cmbDept"));
    // Free text: a department typed by name counts as well.
    m_cmbDept->setEditable(true);
    m_cmbDept->setInsertPolicy(QComboBox::NoInsert);
    m_txtServ = lineEdit(this, "txtServ");
    m_txtDesc = lineEdit(this, "txtDesc");
    m_txtNo = lineEdit(this, "txtNo", QStringLiteral("0"));
    m_txtEnd = lineEdit(this, "txtEnd", QStringLiteral("0"));
    m_txtAbr = lineEdit(this, "txtAbr");
    m_txtAbr->installEventFilter(this);
    m_chkActive = new QCheckBox(QStringLiteral("Active"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Select Dept"), m_cmbDept);
    form->addRow(QStringLiteral("Service Name"), m_txtServ);
    form->addRow(QStringLiteral("Description"), m_txtDesc);
    form->addRow(QStringLiteral("Tokent Start"), m_txtNo);
    form->addRow(QStringLiteral("Tokent End"), m_txtEnd);
    form->addRow(QStringLiteral("Token Prefix"), m_txtAbr);
    form->addRow(QString(), m_chkActive);
    setForm(form);
    resize(440, 300);
    addDept();
}

void ServiceEditWindow::addDept() {
    m_cmbDept->clear();
    guarded([this] { m_cmbDept->addItems(Services(m_station).addDept()); });
    m_cmbDept->setCurrentIndex(-1);
}

void ServiceEditWindow::getData() {
    guarded([this] {
        const auto d = Services(m_station).getData(ref());
        if (!d.found) return;
        m_cmbDept->setEditText(d.deptName);
        m_txtServ->setText(d.name);
        m_txtDesc->setText(d.desc);
        m_chkActive->setChecked(d.active);
        m_txtNo->setText(d.startNo);
        m_txtEnd->setText(d.endNo);
        m_txtAbr->setText(d.prefix);
    });
}

void ServiceEditWindow::cleanPrefix() {
    const QString clean = Services::cleanPrefix(m_txtAbr->text());
    if (clean != m_txtAbr->text()) m_txtAbr->setText(clean);
}

bool ServiceEditWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtAbr && event->type() == QEvent::FocusOut) cleanPrefix();
    return MasterEditWindow::eventFilter(watched, event);
}

QString ServiceEditWindow::saveData() {
    // A key that saves leaves the prefix box as surely as a click does.
    cleanPrefix();
    Services::Entry e;
    e.deptName = m_cmbDept->currentText();
    e.name = m_txtServ->text();
    e.desc = m_txtDesc->text();
    e.active = m_chkActive->isChecked();
    e.startNo = m_txtNo->text();
    e.endNo = m_txtEnd->text();
    e.prefix = m_txtAbr->text();
    return Services(m_station).save(ref(), e);
}

} // namespace tv
