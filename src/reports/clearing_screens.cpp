#include "clearing_screens.h"

#include "clearing_ops.h"
#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

ClearDataScreen::ClearDataScreen(Station& station, QWidget* parent)
    : ReportScreen(station, ReportOps::Kind::Department, parent) {
    setObjectName(QStringLiteral("frmClearData"));
    setWindowTitle(QStringLiteral("Clear Data"));
    m_delete = controls::button(this, "Command3", QStringLiteral("Delete Selected"));
    connect(m_delete, &QPushButton::clicked, this, &ClearDataScreen::deleteSelected);
}

void ClearDataScreen::placeButtons(int width, int bottom) {
    m_close->setGeometry(width - twips::toPixelsX(1900), bottom, twips::toPixelsX(1500),
                         twips::toPixelsY(400));
    if (m_delete)
        m_delete->setGeometry(width - twips::toPixelsX(3800), bottom, twips::toPixelsX(1800),
                              twips::toPixelsY(400));
}

void ClearDataScreen::deleteSelected() {
    if (Dialogs::question(this, QStringLiteral("Are you want to Delete?              ")) ==
        QMessageBox::Yes) {
        // The chosen rows, whichever way the selection was made; the heading
        // row and rows without a key are never tickets.
        const int a = qMin(m_fg->row(), m_fg->rowSel());
        const int e = qMax(m_fg->row(), m_fg->rowSel());
        QList<qint64> keys;
        for (int i = e; i >= qMax(a, 1); --i) {
            bool ok = false;
            const qint64 key = m_fg->textMatrix(i, 0).toLongLong(&ok);
            if (ok) keys << key;
        }
        if (!keys.isEmpty()) {
            try {
                ClearingOps(m_station).deleteTickets(keys);
            } catch (const DbError& e) {
                Dialogs::message(this, e.description());
            }
        }
    }
    addFG();
}

CallDeleteScreen::CallDeleteScreen(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmcallDelete"));
    setWindowTitle(QStringLiteral("Delete Call Data"));
    auto* frame = new QGroupBox(QStringLiteral("Delete Call Data Before"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* label = controls::label(frame, "Label1", QStringLiteral("Select Date"));
    m_dtFrom = new QDateEdit(frame);
    m_dtFrom->setObjectName(QStringLiteral("dtFrom"));
    m_dtFrom->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    m_dtFrom->setCalendarPopup(true);
    label->setBuddy(m_dtFrom);
    auto* go = controls::button(this, "Command1", QStringLiteral("Delete "));
    connect(go, &QPushButton::clicked, this, &CallDeleteScreen::deleteCalls);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(label);
    row->addWidget(m_dtFrom, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(go);
    layout->addLayout(buttons);
    move(0, 0);
    m_dtFrom->setDate(m_station.clock().today());
    resize(twips::toPixelsX(5200), twips::toPixelsY(2000));
}

void CallDeleteScreen::deleteCalls() {
    if (Dialogs::question(this, QStringLiteral("Do you want to Delete ")) != QMessageBox::Yes)
        return;
    try {
        ClearingOps(m_station).deleteCallsBefore(m_dtFrom->date());
    } catch (const DbError& e) {
        // Said only after success: a failure says why instead.
        Dialogs::message(this, e.description());
        return;
    }
    Dialogs::message(this, QStringLiteral("Successfully Deleted "));
}

} // namespace tv
