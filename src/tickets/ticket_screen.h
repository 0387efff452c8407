#pragma once

#include "ticket_printer.h"

#include <QVariantList>
#include <QWidget>

class QDateEdit;
class QLabel;
class QPushButton;

namespace tv {

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
    void setTicketCopies(int copies) { m_ticketCopies = copies; }
    bool fullScreenTicket() const { return m_fullScreenTicket; }
    FlexGrid* grid() const { return m_fg; }
    TicketPrinter& printer() { return m_printer; }
    // Where the last ticket went (printer or PDF file), for the status line and tests.
    TicketPrinter::Printed lastPrinted() const { return m_lastPrinted; }

    void addDept();
    void addServ(int deptAuto);
    // Acts on a touch of grid row `row`, as a click on it does.
    void touchRow(int row);
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
    void showError(const QString& description);
    void resizeEvent(QResizeEvent* event) override;

    Station& m_station;
    TicketPrinter m_printer;
    FlexGrid* m_fg;
    QDateEdit* m_dt;
    QLabel* m_dtLabel;
    QLabel* m_status;
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
