#pragma once

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QString>

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
};

// One printed line: the text starts at a column of its font (column 1 is the
// left edge; a column is the font's average character width).
struct TicketLine {
    QFont font;
    int column = 1;
    QString text;
};

// The ticket's 18 lines, in order, with their fonts and columns.
QList<TicketLine> ticketLines(const TicketData& data);

// Paints the lines top-down onto a page; returns the height used, in device pixels.
int paintTicket(QPainter& painter, const QList<TicketLine>& lines, int leftMargin = 0);

// Prints tickets for a station: on the printer named in the settings, else on
// the default printer; a machine with no printer at all keeps each ticket as a
// PDF in the station's data folder instead of losing it. Printing never fails
// the issue: every failing step is skipped.
class TicketPrinter final {
public:
    explicit TicketPrinter(Station& station);

    enum class Target { NamedPrinter, DefaultPrinter, PdfFile, Nothing };
    struct Printed {
        Target target = Target::Nothing;
        QString where; // printer name or file path
    };

    Printed startPrint(const TicketData& data);

    // The folder that holds the tickets kept as PDF files.
    QString pdfFolder() const;
    // Writes one ticket as a PDF page; "" on failure.
    static bool printToPdf(const TicketData& data, const QString& file);

private:
    Station& m_station;
};

} // namespace tv
