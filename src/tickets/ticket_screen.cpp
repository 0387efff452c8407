#include "ticket_screen.h"

#include "core/db_error.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "core/settings_store.h"
#include "core/station.h"
#include "core/ui/dialogs.h"
#include "core/ui/elided_label.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "token_allocation.h"

#include <QDateEdit>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {
const QString backText = QStringLiteral("<-Back");
constexpr int maxRowHeight = 32667; // the heading row adds 100 and must stay 16-bit
constexpr int minCopies = 1;
constexpr int maxCopies = 10;
} // namespace

TicketScreen::TicketScreen(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station), m_printer(station) {
    setObjectName(QStringLiteral("frmTicket"));
    setWindowTitle(QStringLiteral("Print Ticket"));

    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setCols(2);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->setColWidth(0, 1);
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    m_fg->setHighLight(FlexGrid::HighLight::Never);
    m_fg->setFocusPolicy(Qt::NoFocus);
    QFont big = font();
    big.setPointSize(20);
    big.setBold(true);
    m_fg->setFont(big);
    connect(m_fg, &FlexGrid::cellClicked, this, [this](int row, int) { touchRow(row); });

    m_dtLabel = new QLabel(QStringLiteral(" Select Date: "), this);
    m_dtLabel->setObjectName(QStringLiteral("lblDate"));
    m_dt = new QDateEdit(this);
    m_dt->setObjectName(QStringLiteral("DT"));
    m_dt->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    m_dt->setCalendarPopup(true);
    m_exit = new QPushButton(QStringLiteral("Exit"), this);
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
    m_status = new ElidedLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    // A kiosk left open overnight must not go on issuing yesterday's tickets.
    m_dayTimer = new QTimer(this);
    m_dayTimer->setInterval(60 * 1000);
    connect(m_dayTimer, &QTimer::timeout, this, [this] { ticketDay(); });
    m_dayTimer->start();

    auto* top = new QHBoxLayout;
    top->addWidget(m_dtLabel);
    top->addWidget(m_dt);
    top->addStretch();
    top->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_fg, 1);
    layout->addWidget(m_status);

    load();
    connect(&m_station, &Station::settingsSaved, this,
            [this] { setTicketCopies(m_station.settings().number(keys::PrintCopies)); });
}

void TicketScreen::load() {
    m_fullScreenTicket = m_station.settings().text(keys::TicketScreen) != QStringLiteral("Normal");
    if (m_fullScreenTicket) makeCenter();
    setDay(m_station.clock().today());
    move(0, 0);
    m_ticketStage = Departments;
    m_station.openConnection();
    try {
        addDept();
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }

    m_rowHeight =
        static_cast<qint16>(qBound(1, m_station.settings().number(keys::PrinterRow), maxRowHeight));
    m_fg->setRowHeight(0, m_rowHeight + 100);
    m_fg->setRowHeightMin(m_rowHeight);
    addimg(buttonPicturePath());
    getcompDet();
    // A kiosk prints a handful of copies at most: -3 would store a ticket
    // nobody holds, 100000 would keep the kiosk busy for hours.
    setTicketCopies(m_station.settings().number(keys::PrintCopies));
    resize(twips::toPixelsX(5600), twips::toPixelsY(8000));
}

QString TicketScreen::buttonPicturePath() {
    return QDir(paths::programFolder()).filePath(QStringLiteral("design/01.jpg"));
}

void TicketScreen::makeCenter() {
    // The kiosk shows only the buttons, centred on the screen; the day is always today.
    m_dt->hide();
    m_dtLabel->hide();
    m_exit->hide();
    resizeEvent(nullptr);
}

void TicketScreen::resizeEvent(QResizeEvent* event) {
    if (event) QWidget::resizeEvent(event);
    if (!m_fullScreenTicket) return;
    const int gridWidth = twips::toPixelsX(m_fg->colWidth(0) + m_fg->colWidth(1)) + 4;
    const int screenWidth = screen() ? screen()->geometry().width() : width();
    const int side = qMax(0, (qMin(screenWidth, width()) - gridWidth) / 2);
    layout()->setContentsMargins(side, 20, side, 20);
}

void TicketScreen::getcompDet() {
    m_companyName.clear();
    m_companyAddress.clear();
    try {
        RecordSet rs(m_station.dbConnection,
                     QStringLiteral("Select * from tblcomp where compAuto=?"), {1});
        if (rs.recordCount() > 0) {
            m_companyName = rs.textOrEmpty(1);
            m_companyAddress = rs.textOrEmpty(2);
        }
    } catch (const DbError&) {
        // Tickets then print without the company lines.
    }
}

void TicketScreen::addDept() {
    fillButtons(QStringLiteral("Select Department"), 5000,
                QStringLiteral("select * from tblDept where active='1'"), {}, false);
}

void TicketScreen::addServ(int deptAuto) {
    fillButtons(
        QStringLiteral("Select Service"), 4000,
        QStringLiteral("select servauto,servName from tblservice where deptAuto=? and active='1'"),
        {deptAuto}, true);
}

void TicketScreen::fillButtons(const QString& heading, int width, const QString& sql,
                               const QVariantList& binds, bool withBack) {
    m_fg->setRedraw(false);
    m_fg->resetRows(1);
    m_fg->setColWidth(1, width);
    m_fg->setTextMatrix(0, 1, heading);
    try {
        // Field 0 is the key, field 1 the button text; a record's row is its position.
        RecordSet rs(m_station.dbConnection, sql, binds);
        for (; !rs.eof(); rs.moveNext()) {
            const int row = rs.absolutePosition();
            m_fg->setRows(row + 1);
            m_fg->setTextMatrix(row, 0, rs.value(0).toString());
            m_fg->setTextMatrix(row, 1, rs.value(1).toString());
        }
    } catch (const DbError& e) {
        m_fg->setRedraw(true);
        m_status->setText(e.description());
        throw;
    }
    if (withBack) {
        const int back = m_fg->rows();
        m_fg->setRows(back + 1);
        m_fg->setTextMatrix(back, 1, backText);
    }
    m_fg->setRedraw(true);
    addimg(buttonPicturePath());
}

void TicketScreen::addimg(const QString& path) {
    const QImage picture(path);
    if (picture.isNull()) return; // no artwork: plain buttons
    for (int r = 1; r < m_fg->rows(); ++r)
        m_fg->setCellPicture(r, 1, picture);
}

void TicketScreen::touchRow(int row) {
    if (row < 1 || row >= m_fg->rows()) return;
    const QString key = m_fg->textMatrix(row, 0);
    try {
        if (m_fg->textMatrix(row, 1) == backText) {
            addDept();
            m_ticketStage = Departments;
        } else if (m_ticketStage == Departments && !key.isEmpty()) {
            addServ(key.toInt());
            m_ticketStage = Services;
        } else if (m_ticketStage == Services && !key.isEmpty()) {
            issueTicket(static_cast<qint16>(key.toInt()), m_fg->textMatrix(row, 1));
            addDept();
            m_ticketStage = Departments;
        }
    } catch (const DbError& e) {
        showError(e.description());
    }
}

void TicketScreen::setTicketCopies(int copies) {
    m_ticketCopies = qBound(minCopies, copies, maxCopies);
}

void TicketScreen::setDay(const QDate& day) {
    m_autoDay = day;
    m_dt->setDate(day);
}

QDate TicketScreen::ticketDay() {
    const QDate today = m_station.clock().today();
    if (m_fullScreenTicket) return today;
    if (m_dt->date() == m_autoDay && m_autoDay != today) setDay(today);
    return m_dt->date();
}

void TicketScreen::issueTicket(qint16 service, const QString& serviceName) {
    TokenAllocation tokens(m_station);
    const auto issued = tokens.issue(service, ticketDay());
    if (issued.outcome != TokenAllocation::Issued::Outcome::Issued) {
        Dialogs::message(this, issued.message);
        return;
    }
    // The row is stored before anything prints: a ticket in a visitor's hand
    // always exists for the counters.
    TicketData data;
    data.companyName = m_companyName;
    data.companyAddress = m_companyAddress;
    data.issuedAt = m_station.clock().now();
    data.serviceName = serviceName;
    data.token = issued.token;
    data.description = issued.description;
    try {
        data.nowServing = tokens.getNowServing(service);
    } catch (const DbError&) {
        // The line then shows no token.
    }
    QString failure;
    for (int copy = 0; copy < m_ticketCopies; ++copy) {
        m_lastPrinted = m_printer.startPrint(data);
        if (!m_lastPrinted.ok()) failure = m_lastPrinted.error;
    }
    if (!failure.isEmpty())
        m_status->setText(
            QStringLiteral("Ticket %1 stored; printing failed: %2").arg(issued.token, failure));
    else if (m_lastPrinted.target == TicketPrinter::Target::PdfFile)
        m_status->setText(QStringLiteral("Ticket %1 kept as %2 (no printer)")
                              .arg(issued.token, m_lastPrinted.where));
    else
        m_status->setText(QStringLiteral("Ticket %1 issued").arg(issued.token));
    setDay(m_station.clock().today());
}

void TicketScreen::showError(const QString& description) {
    Dialogs::message(this, description);
    m_ticketStage = Departments;
    try {
        addDept();
    } catch (const DbError&) {
        // The grid keeps its heading; the next touch tries again.
    }
}

} // namespace tv
