#include "ticket_printer.h"

#include "core/paths.h"
#include "core/station.h"
#include "token_allocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <qrencode.h>

namespace tv {

namespace {

QFont arial(int points, bool bold) {
    QFont f(QStringLiteral("Arial"), points);
    f.setStyleHint(QFont::SansSerif);
    f.setBold(bold);
    return f;
}

// A receipt roll: 80 mm wide; the height follows the lines.
constexpr double rollWidthMm = 80.0;
constexpr double rollMarginMm = 3.0;
// A code this wide scans from a phone held at reading distance and leaves the
// roll's width for the text beside nothing.
constexpr double qrWidthMm = 30.0;
// The quiet zone a reader needs around the code, in modules.
constexpr int qrQuietModules = 2;

} // namespace

QList<TicketLine> ticketLines(const TicketData& d) {
    QList<TicketLine> lines;
    bool bold = false;
    auto add = [&](int points, int column, const QString& text) {
        lines.append({arial(points, bold), column, text, {}});
    };
    add(12, 1, {});                                                    // 1
    add(12, 1, {});                                                    // 2
    add(12, 3, d.companyName);                                         // 3
    add(12, 10, d.companyAddress);                                     // 4
    add(12, 1, {});                                                    // 5
    add(10, 10, QLocale().toString(d.issuedAt, QLocale::ShortFormat)); // 6
    add(10, 5, d.serviceName);                                         // 7
    add(10, 1, {});                                                    // 8
    bold = true;         // from the token on, the rest of the ticket is bold
    add(42, 3, d.token); // 9
    if (!d.statusAddress.isEmpty()) {
        lines.append({arial(10, bold), 3, {}, d.statusAddress});
        add(10, 3, QStringLiteral("Scan to follow your turn"));
    }
    add(10, 3, {});                                              // 10
    add(10, 4, QStringLiteral("Now Serving : ") + d.nowServing); // 11
    add(10, 1, QStringLiteral(" ") + d.description);             // 12
    add(10, 1, {});                                              // 13
    add(10, 4, QStringLiteral("Thank you for waiting"));         // 14
    add(10, 1, {});                                              // 15: left empty on purpose
    add(10, 1, {});                                              // 16
    add(10, 1, {});                                              // 17
    add(10, 1, {});                                              // 18
    return lines;
}

QList<QList<bool>> qrModules(const QString& text) {
    QList<QList<bool>> rows;
    const QByteArray bytes = text.toUtf8();
    QRcode* code = QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M);
    if (!code) return rows;
    for (int y = 0; y < code->width; ++y) {
        QList<bool> row;
        for (int x = 0; x < code->width; ++x)
            row.append(code->data[y * code->width + x] & 1);
        rows.append(row);
    }
    QRcode_free(code);
    return rows;
}

namespace {
// Whole device pixels per module, so every module prints the same size.
int qrModulePixels(int modules, QPaintDevice* device) {
    const double px = qrWidthMm / 25.4 * device->logicalDpiX();
    return qMax(1, int(px / (modules + 2 * qrQuietModules)));
}
} // namespace

int ticketLineHeight(const TicketLine& line, QPaintDevice* device) {
    if (!line.qr.isEmpty()) {
        const int modules = int(qrModules(line.qr).size());
        if (modules > 0) return (modules + 2 * qrQuietModules) * qrModulePixels(modules, device);
    }
    return QFontMetrics(line.font, device).lineSpacing();
}

int paintTicket(QPainter& painter, const QList<TicketLine>& lines, int leftMargin) {
    int y = 0;
    for (const TicketLine& line : lines) {
        painter.setFont(line.font);
        const QFontMetrics fm(line.font, painter.device());
        const int x = leftMargin + (line.column - 1) * fm.averageCharWidth();
        if (!line.qr.isEmpty()) {
            const auto modules = qrModules(line.qr);
            const int n = int(modules.size());
            if (n > 0) {
                const int m = qrModulePixels(n, painter.device());
                const int side = (n + 2 * qrQuietModules) * m;
                painter.fillRect(x, y, side, side, Qt::white);
                for (int r = 0; r < n; ++r)
                    for (int c = 0; c < n; ++c)
                        if (modules[r][c])
                            painter.fillRect(x + (c + qrQuietModules) * m,
                                             y + (r + qrQuietModules) * m, m, m, Qt::black);
                y += side;
                continue;
            }
        }
        if (!line.text.isEmpty()) painter.drawText(x, y + fm.ascent(), line.text);
        y += fm.lineSpacing();
    }
    return y;
}

TicketPrinter::TicketPrinter(Station& station) : m_station(station) {}

TicketPrinter::Printers TicketPrinter::machinePrinters() {
    return {QPrinterInfo::availablePrinters(), QPrinterInfo::defaultPrinter()};
}

namespace {
// Letters, digits, '-' and '_' only: a token or profile can hold anything the
// database or the command line allows ("../", "/", ":"), a file name must not.
QString safeName(const QString& text) {
    QString out;
    for (const QChar ch : text)
        out += (ch.isLetterOrNumber() && ch.unicode() < 128) || ch == u'-' || ch == u'_'
                   ? ch
                   : QChar(u'_');
    return out;
}
} // namespace

QString TicketPrinter::pdfFolder() const {
    return QFileInfo(paths::defaultDataFile()).path() + QStringLiteral("/tickets/") +
           safeName(m_station.profile());
}

QString TicketPrinter::pdfFileFor(const TicketData& data) const {
    const QDir folder(pdfFolder());
    const QString stem = folder.filePath(QStringLiteral("%1-%2").arg(
        data.issuedAt.toString(QStringLiteral("yyyyMMdd-HHmmss")), safeName(data.token)));
    // Every copy is a file of its own.
    QString file = stem + QStringLiteral(".pdf");
    for (int n = 2; QFile::exists(file); ++n)
        file = stem + QStringLiteral("-%1.pdf").arg(n);
    // Checked after the name is built: whatever it holds, it stays in the folder.
    if (QFileInfo(file).absoluteDir() != QDir(folder.absolutePath())) return {};
    return file;
}

bool TicketPrinter::printToPdf(const TicketData& data, const QString& file) {
    if (!QDir().mkpath(QFileInfo(file).path())) return false;
    const auto lines = ticketLines(data);
    QPdfWriter pdf(file);
    pdf.setResolution(300);
    pdf.setTitle(QStringLiteral("Ticket %1").arg(data.token));
    pdf.setCreator(QStringLiteral("Tallyvox"));
    // Measure first, so the page is as long as the ticket.
    int heightPx = 0;
    {
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(qRound(300 / 0.0254));
        probe.setDotsPerMeterY(qRound(300 / 0.0254));
        QPainter measure(&probe);
        for (const TicketLine& line : lines)
            heightPx += ticketLineHeight(line, &probe);
    }
    const double heightMm = heightPx / 300.0 * 25.4 + 2 * rollMarginMm;
    pdf.setPageSize(QPageSize(QSizeF(rollWidthMm, heightMm), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(rollMarginMm, rollMarginMm, rollMarginMm, rollMarginMm),
                       QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(&pdf)) return false;
    paintTicket(p, lines);
    return p.end();
}

TicketPrinter::Printed TicketPrinter::startPrint(const TicketData& given) {
    Printed result;
    TicketData data = given;
    if (data.statusAddress.isEmpty())
        data.statusAddress = TokenAllocation::statusAddress(
            m_station.settings().text(keys::WebAddress), data.visitorCode);
    const QString wanted = m_station.settings().text(keys::PrinterName);
    const Printers printers = m_printers();
    QPrinterInfo info;
    for (const QPrinterInfo& p : printers.available) {
        if (p.printerName() == wanted) {
            info = p;
            result.target = Target::NamedPrinter;
            break;
        }
    }
    if (info.isNull()) {
        info = printers.preferred;
        if (info.isNull() && !printers.available.isEmpty()) info = printers.available.first();
        if (!info.isNull()) result.target = Target::DefaultPrinter;
    }

    if (info.isNull()) {
        // No printer on this machine: keep the ticket where the kiosk's keeper can see it.
        const QString file = pdfFileFor(data);
        if (!file.isEmpty() && printToPdf(data, file)) {
            result.target = Target::PdfFile;
            result.where = file;
        } else {
            result.target = Target::Nothing;
            result.where = file.isEmpty() ? pdfFolder() : file;
            result.error = QStringLiteral("cannot write %1").arg(result.where);
        }
        return result;
    }

    result.where = info.printerName();
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Ticket %1").arg(data.token));
    printer.setFullPage(false);
    QPainter p;
    if (!p.begin(&printer)) {
        result.target = Target::Nothing;
        result.error = QStringLiteral("printer %1 refused the job").arg(info.printerName());
        return result;
    }
    paintTicket(p, ticketLines(data));
    if (!p.end() || printer.printerState() == QPrinter::Error) {
        result.target = Target::Nothing;
        result.error = QStringLiteral("printer %1 reported an error").arg(info.printerName());
    }
    return result;
}

} // namespace tv
