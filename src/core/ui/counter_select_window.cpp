#include "counter_select_window.h"

#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"
#include "dialogs.h"
#include "flex_grid.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

CounterSelectWindow::CounterSelectWindow(Station& station, int themeNo, QWidget* parent)
    : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmSelectCounter"));
    setWindowTitle(QStringLiteral(" Select Counter to Display"));
    m_lblTheme = new QLabel(QString::number(themeNo), this);
    m_lblTheme->setObjectName(QStringLiteral("lblTheme"));
    m_lblTheme->hide();
    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    m_fg->setHighLight(FlexGrid::HighLight::Never);
    connect(m_fg, &FlexGrid::cellPressed, this, [this](int row, int) { toggle(row); });
    connect(m_fg, &FlexGrid::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Space) toggle(m_fg->row());
    });

    auto* all = new QPushButton(QStringLiteral("Select All"), this);
    all->setObjectName(QStringLiteral("cmdAll"));
    auto* none = new QPushButton(QStringLiteral("Remove All"), this);
    none->setObjectName(QStringLiteral("cmdNone"));
    auto* saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    connect(all, &QPushButton::clicked, this, &CounterSelectWindow::selectAll);
    connect(none, &QPushButton::clicked, this, &CounterSelectWindow::removeAll);
    connect(saveButton, &QPushButton::clicked, this, &CounterSelectWindow::save);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fg, 1);
    layout->addLayout(buttons);
    resize(640, 400);

    fill();
    markStored();
}

int CounterSelectWindow::theme() const {
    return m_lblTheme->text().toInt();
}

void CounterSelectWindow::fill() {
    m_fg->setCols(7);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->resetRows(1);
    const int widths[] = {1, 600, 2000, 2000, 2000, 1000, 2000};
    const char* heads[] = {"", "SN", "Department", "Service Name", "Counter Name", "Active", ""};
    for (int c = 0; c < 7; ++c) {
        m_fg->setColWidth(c, widths[c]);
        m_fg->setTextMatrix(0, c, QString::fromLatin1(heads[c]));
    }
    try {
        RecordSet rs(
            m_station.dbConnection,
            QStringLiteral(
                "SELECT tblCounter.cntAuto, tblService.ServName, tblDept.deptName,"
                " tblCounter.contName, tblCounter.active FROM (tblCounter INNER JOIN tblService ON"
                " tblCounter.servAuto = tblService.servAuto) INNER JOIN tblDept ON"
                " tblService.deptAuto = tblDept.deptAuto order by contName asc"));
        m_fg->setRows(rs.recordCount() + 1);
        for (; !rs.eof(); rs.moveNext()) {
            const int p = rs.absolutePosition();
            m_fg->setTextMatrix(p, 0, rs.value(0).toString());
            m_fg->setTextMatrix(p, 1, QString::number(p));
            m_fg->setTextMatrix(p, 2, rs.value(2).toString());
            m_fg->setTextMatrix(p, 3, rs.value(1).toString());
            m_fg->setTextMatrix(p, 4, rs.value(3).toString());
            m_fg->setTextMatrix(p, 5, rs.value(4).toString());
            paint(p, false);
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

bool CounterSelectWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) markStored();
    return QWidget::event(e);
}

void CounterSelectWindow::markStored() {
    const QString stored = m_station.settings().counterList(theme());
    if (stored.isEmpty()) return;
    for (const QString& key : stored.split(u','))
        for (int r = 1; r < m_fg->rows(); ++r)
            if (m_fg->textMatrix(r, 0) == key) paint(r, true);
}

void CounterSelectWindow::paint(int row, bool chosen) {
    m_fg->setCellBackColor(row, 1, chosen ? chosenColour : notChosenColour);
}

bool CounterSelectWindow::isChosen(int row) const {
    return m_fg->cellBackColor(row, 1) == chosenColour;
}

void CounterSelectWindow::toggle(int row) {
    if (row < 1 || row >= m_fg->rows()) return;
    paint(row, !isChosen(row));
}

void CounterSelectWindow::selectAll() {
    for (int r = 1; r < m_fg->rows(); ++r)
        paint(r, true);
}

void CounterSelectWindow::removeAll() {
    for (int r = 1; r < m_fg->rows(); ++r)
        paint(r, false);
}

void CounterSelectWindow::save() {
    QString keys;
    for (int r = 1; r < m_fg->rows(); ++r)
        if (isChosen(r)) keys += u',' + m_fg->textMatrix(r, 0);
    if (keys.startsWith(u',')) keys.remove(0, 1);
    m_station.settings().setCounterList(theme(), keys);
    close();
}

} // namespace tv
