// The printed ticket: its lines, fonts and columns, and where it goes.
#include "core/station.h"
#include "tickets/ticket_printer.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {
TicketData sample() {
    TicketData d;
    d.companyName = "City Clinic";
    d.companyAddress = "12 Harbour Road";
    d.issuedAt = QDateTime(QDate(2026, 12, 9), QTime(9, 45, 10));
    d.serviceName = "Blood Test";
    d.token = "A105";
    d.nowServing = "A101";
    d.description = "Fasting samples first";
    return d;
}
} // namespace

class TicketPrintTest : public QObject {
    Q_OBJECT

private slots:
    void eighteenLinesInOrder() {
        const auto lines = ticketLines(sample());
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines[2].text, QString("City Clinic"));
        QCOMPARE(lines[2].column, 3);
        QCOMPARE(lines[3].text, QString("12 Harbour Road"));
        QCOMPARE(lines[3].column, 10);
        QVERIFY(lines[5].text.contains("45")); // the issue time
        QCOMPARE(lines[5].column, 10);
        QCOMPARE(lines[6].text, QString("Blood Test"));
        QCOMPARE(lines[6].column, 5);
        QCOMPARE(lines[8].text, QString("A105"));
        QCOMPARE(lines[10].text, QString("Now Serving : A101"));
        QCOMPARE(lines[10].column, 4);
        QCOMPARE(lines[11].text, QString(" Fasting samples first"));
        QCOMPARE(lines[13].text, QString("Thank you for waiting"));
        for (int i : {0, 1, 4, 7, 9, 12, 14, 15, 16, 17})
            QVERIFY2(lines[i].text.isEmpty(), qPrintable(QString::number(i)));
    }

    void fontsAndBold() {
        const auto lines = ticketLines(sample());
        for (int i = 0; i < 18; ++i) {
            QCOMPARE(lines[i].font.family(), QString("Arial"));
            QCOMPARE(lines[i].font.bold(), i >= 8); // bold from the token on, to the end
        }
        QCOMPARE(lines[2].font.pointSize(), 12);
        QCOMPARE(lines[5].font.pointSize(), 10);
        QCOMPARE(lines[8].font.pointSize(), 42);
        QCOMPARE(lines[13].font.pointSize(), 10);
    }

    void columnsAreAverageCharacterWidths() {
        QImage page(600, 1200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        QList<TicketLine> one{{QFont("Arial", 12), 10, "X"}};
        paintTicket(p, one);
        p.end();
        const int expectedX = 9 * QFontMetrics(QFont("Arial", 12), &page).averageCharWidth();
        int firstInk = -1;
        for (int x = 0; x < page.width() && firstInk < 0; ++x)
            for (int y = 0; y < 60; ++y)
                if (qGray(page.pixel(x, y)) < 128) {
                    firstInk = x;
                    break;
                }
        QVERIFY2(qAbs(firstInk - expectedX) <= 3,
                 qPrintable(QString("%1 vs %2").arg(firstInk).arg(expectedX)));
    }

    void noCompanyRowLeavesTheLinesEmpty() {
        TicketData d = sample();
        d.companyName.clear();
        d.companyAddress.clear();
        d.nowServing.clear();
        const auto lines = ticketLines(d);
        QCOMPARE(lines.size(), 18);
        QVERIFY(lines[2].text.isEmpty());
        QCOMPARE(lines[10].text, QString("Now Serving : "));
    }

    void pdfShowsTheTicketInOrder() {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.pdf");
        QVERIFY(TicketPrinter::printToPdf(sample(), file));
        QProcess text;
        text.start("pdftotext", {"-layout", file, "-"});
        QVERIFY(text.waitForFinished(20000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        int at = 0;
        for (const char* expected :
             {"City Clinic", "12 Harbour Road", "Blood Test", "A105", "Now Serving : A101",
              "Fasting samples first", "Thank you for waiting"}) {
            const int found = out.indexOf(QLatin1String(expected), at);
            QVERIFY2(found >= 0,
                     qPrintable(QString("%1 missing or out of order in:\n%2").arg(expected, out)));
            at = found;
        }
        const QString keep = qEnvironmentVariable("TALLYVOX_KEEP_TICKET_PDF");
        if (!keep.isEmpty()) QFile::copy(file, keep);
    }

    void aTicketIsNeverLost() {
        QTemporaryDir home;
        qputenv("TALLYVOX_HOME", home.path().toUtf8());
        Station st("kiosk", home.filePath("s.ini"));
        st.settings().set(keys::PrinterName, "No Such Printer");
        TicketPrinter printer(st);
        const auto printed = printer.startPrint(sample());
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            // no printer here at all: the ticket is kept as a PDF in the data folder
            QCOMPARE(printed.target, TicketPrinter::Target::PdfFile);
            QVERIFY(printed.where.startsWith(home.path()));
            QVERIFY(QFileInfo(printed.where).size() > 0);
        } else {
            QCOMPARE(printed.target, TicketPrinter::Target::DefaultPrinter);
        }
        qunsetenv("TALLYVOX_HOME");
    }
};

QTEST_MAIN(TicketPrintTest)
#include "test_ticket_print.moc"
