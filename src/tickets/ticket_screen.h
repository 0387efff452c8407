#pragma once

#include "ticket_printer.h"

#include <QVariantList>
#include <QWidget>

class QDateEdit;
class QLabel;
class QPushButton;
class QTimer;

namespace tv {

class ElidedLabel;
class FlexGrid;
class Station;

// The visitor's kiosk: a grid of large buttons, first the active departments,
// then the active services of the chosen one; touching a service issues a
// ticket, which is stored and then printed.
class TicketScreen final : public QWidget {
    Q_OBJECT

public:
    explicit TicketScreen(Station& station, QWidget* parent = nullptr);

    enum Stage : qint16 { Departments = 0, Services = 1 };
    qint16 ticketStage() const { return m_ticketStage; }
    int ticketCopies() const { return m_ticketCopies; }
    // Copies per ticket, 1 to 10.
    void setTicketCopies(int copies);
    bool fullScreenTicket() const { return m_fullScreenTicket; }
    FlexGrid* grid() const { return m_fg; }
    TicketPrinter& printer() { return m_printer; }
    // Where the last ticket went (printer or PDF file), for the status line and tests.
    TicketPrinter::Printed lastPrinted() const { return m_lastPrinted; }

    void addDept();
    void addServ(int deptAuto);
    // Acts on a touch of grid row `row`, as a click on it does.
    void touchRow(int row);
    // The day a ticket touched now is issued for: today on a full-screen
    // kiosk; otherwise the date box, which follows the calendar past midnight
    // unless the operator chose another day.
    QDate ticketDay();
    // Stretches the button picture over every button cell.
    void addimg(const QString& path);

    static QString buttonPicturePath();

private:
    void load();
    void fillButtons(const QString& heading, int width, const QString& sql,
                     const QVariantList& binds, bool withBack);
    void makeCenter();
    void getcompDet();
    void issueTicket(qint16 service, const QString& serviceName);
    void setDay(const QDate& day);
    void showError(const QString& description);
    void resizeEvent(QResizeEvent* event) override;

    Station& m_station;
    TicketPrinter m_printer;
    FlexGrid* m_fg;
    QDateEdit* m_dt;
    QLabel* m_dtLabel;
    ElidedLabel* m_status;
    QTimer* m_dayTimer;
    // The day the kiosk itself last put into the date box; a box still
    // showing it was not chosen by the operator.
    QDate m_autoDay;
    QPushButton* m_exit;
    qint16 m_ticketStage = Departments;
    qint16 m_rowHeight = 500;
    bool m_fullScreenTicket = false;
    int m_ticketCopies = 1;
    QString m_companyName;
    QString m_companyAddress;
    TicketPrinter::Printed m_lastPrinted;
};

} // namespace tv
