#pragma once

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPrinterInfo>
#include <QString>
#include <functional>

class QPainter;

namespace tv {

class Station;

// What one printed ticket shows.
struct TicketData {
    QString companyName;
    QString companyAddress;
    QDateTime issuedAt;
    QString serviceName;
    QString token;
    QString nowServing;
    QString description;
    // The visitor code of the ticket; with the hall's public address set, the
    // ticket carries a QR code of its status page.
    QString visitorCode;
    // The status page's address the QR code holds ("" prints none); filled
    // from the station's setting when printing.
    QString statusAddress;
};

// One printed line: the text starts at a column of its font (column 1 is the
// left edge; a column is the font's average character width).
struct TicketLine {
    QFont font;
    int column = 1;
    QString text;
    // Set: the line is a QR code of this text instead (at the line's column).
    QString qr;
};

// The modules of a QR code of `text` (true = dark), row by row; empty when
// the text cannot be encoded.
QList<QList<bool>> qrModules(const QString& text);

// Height of one line on `device`, in its pixels.
int ticketLineHeight(const TicketLine& line, QPaintDevice* device);

// The ticket's 18 lines, in order, with their fonts and columns; with a
// status address, the QR code and "Scan to follow your turn" follow the token.
QList<TicketLine> ticketLines(const TicketData& data);

// Paints the lines top-down onto a page; returns the height used, in device pixels.
int paintTicket(QPainter& painter, const QList<TicketLine>& lines, int leftMargin = 0);

// Prints tickets for a station: on the printer named in the settings, else on
// the default printer; a machine with no printer at all keeps each ticket as a
// PDF in the station's data folder instead of losing it. A print that fails
// says why; the ticket row is stored before printing either way.
class TicketPrinter final {
public:
    explicit TicketPrinter(Station& station);

    enum class Target { NamedPrinter, DefaultPrinter, PdfFile, Nothing };
    struct Printed {
        Target target = Target::Nothing; // Nothing: the print failed
        QString where;                   // printer name or file path
        QString error;                   // why it failed
        bool ok() const { return target != Target::Nothing; }
    };

    Printed startPrint(const TicketData& data);

    // The printers tickets can go to, and the default one. The machine's own
    // by default; tests choose theirs (none: tickets are kept as PDF files).
    struct Printers {
        QList<QPrinterInfo> available;
        QPrinterInfo preferred;
    };
    void setPrinters(std::function<Printers()> source) { m_printers = std::move(source); }
    static Printers machinePrinters();

    // The folder that holds the tickets kept as PDF files.
    QString pdfFolder() const;
    // The file a kept ticket goes to: a name of safe characters only, inside
    // the folder whatever the token holds; "" when no such name can be made.
    QString pdfFileFor(const TicketData& data) const;
    // Writes one ticket as a PDF page; false on failure.
    static bool printToPdf(const TicketData& data, const QString& file);

private:
    Station& m_station;
    std::function<Printers()> m_printers = &TicketPrinter::machinePrinters;
};

} // namespace tv
