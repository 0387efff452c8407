#include "department_screens.h"

#include "core/station.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "departments.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace tv {

DeptListWindow::DeptListWindow(Station& station, QWidget* parent)
    : MasterListWindow(station, "frmDeptLst", QStringLiteral("Deparment Lst"), parent) {
    resize(560, 400);
    m_station.openConnection();
    addFG();
}

void DeptListWindow::setFG() {
    MasterListWindow::setFG({1, 1000, 2500, 1000, 3000},
                            {QString(), QStringLiteral("SN"), QStringLiteral("Deparment"),
                             QStringLiteral("Active"), QString()});
}

QList<QStringList> DeptListWindow::rows() {
    return Departments(m_station).addFG();
}

MasterEditWindow* DeptListWindow::createEditWindow() {
    return new DeptEditWindow(m_station, this);
}

void DeptListWindow::resizeEvent(QResizeEvent* event) {
    MasterListWindow::resizeEvent(event);
    const int width = event->size().width() - twips::toPixelsX(50);
    const int height = event->size().height() - twips::toPixelsY(750);
    // A window too small for the rule keeps the grid as it was.
    if (width <= 0 || height <= 0) return;
    m_fg->setGeometry(0, 0, width, height);
    const int strip = event->size().height() - height;
    int right = width;
    for (QPushButton* b : {m_close, m_delete, m_add}) {
        const QSize s = b->sizeHint();
        right -= s.width();
        b->setGeometry(right, height + (strip - s.height()) / 2, s.width(), s.height());
        right -= 6;
    }
}

void DeptListWindow::Command2_Click() {
    QString message;
    if (guarded([&] { message = Departments(m_station).remove(selectedKey()); }))
        afterDelete(message);
}

DeptEditWindow::DeptEditWindow(Station& station, QWidget* parent)
    : MasterEditWindow(station, "frmDept", QStringLiteral("Department"), QStringLiteral("&Save"),
                       QStringLiteral("&Close"), parent) {
    m_txtDept = new QLineEdit(this);
    m_txtDept->setObjectName(QStringLiteral("txtDept"));
    m_txtDesc = new QLineEdit(this);
    m_txtDesc->setObjectName(QStringLiteral("txtDesc"));
    m_chkActive = new QCheckBox(QStringLiteral("Active"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Department Name"), m_txtDept);
    form->addRow(QStringLiteral("Description"), m_txtDesc);
    form->addRow(QString(), m_chkActive);
    setForm(form);
    resize(420, 170);
}

void DeptEditWindow::getData() {
    guarded([this] {
        const auto d = Departments(m_station).getData(ref());
        if (!d.found) return;
        m_txtDept->setText(d.name);
        m_txtDesc->setText(d.desc);
        m_chkActive->setChecked(d.active);
    });
}

QString DeptEditWindow::saveData() {
    return Departments(m_station).save(ref(), m_txtDept->text(), m_txtDesc->text(),
                                       m_chkActive->isChecked());
}

} // namespace tv
