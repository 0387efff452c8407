// The printed ticket: its lines, fonts and columns, and where it goes.
#include "core/station.h"
#include "tickets/ticket_printer.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
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
    void columnsAreAverageCharacterWidths() {
        QImage page(600, 1200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        QList<TicketLine> one{{QFont("Arial", 12), 10, "X", {}}};
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

    void theTokenIsBoldAndTheHeaderIsNot() {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.pdf");
        QVERIFY(TicketPrinter::printToPdf(sample(), file));
        const QString fonts = run("pdffonts", {file});
        QVERIFY2(fonts.contains("Bold"), qPrintable(fonts));
        QVERIFY2(fonts.contains(QRegularExpression("Sans(?!-Bold)\\S*\\s")), qPrintable(fonts));
    }

    void noCompanyRowPrintsNoStrayText() {
        TicketData d = sample();
        d.companyName.clear();
        d.companyAddress.clear();
        d.nowServing.clear();
        d.description.clear();
        QTemporaryDir dir;
        QVERIFY(TicketPrinter::printToPdf(d, dir.filePath("t.pdf")));
        QStringList words = run("pdftotext", {dir.filePath("t.pdf"), "-"})
                                .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        // the date line, the service, the token and the fixed texts only
        for (const char* w :
             {"Blood", "Test", "A105", "Now", "Serving", ":", "Thank", "you", "for", "waiting"})
            words.removeOne(QLatin1String(w));
        words.removeIf([](const QString& w) { return w.contains(QRegularExpression("\\d")); });
        QVERIFY2(words.size() <= 2, qPrintable(words.join(' '))); // e.g. "AM"/"PM"
    }

    void withoutPrintersTheTicketIsKeptAsAPdf() {
        QTemporaryDir home;
        qputenv("TALLYVOX_HOME", home.path().toUtf8());
        Station st("kiosk", home.filePath("s.ini"));
        st.settings().set(keys::PrinterName, "No Such Printer");
        TicketPrinter printer(st);
        printer.setPrinters([] { return TicketPrinter::Printers{}; });
        const auto printed = printer.startPrint(sample());
        QCOMPARE(printed.target, TicketPrinter::Target::PdfFile);
        QVERIFY(printed.ok());
        QVERIFY(printed.where.startsWith(printer.pdfFolder() + "/"));
        QVERIFY(QFileInfo(printed.where).size() > 0);
        // a second copy is a file of its own
        QVERIFY(printer.startPrint(sample()).where != printed.where);
        qunsetenv("TALLYVOX_HOME");
    }

    void fileNamesAreBuiltFromSafeCharactersOnly() {
        QTemporaryDir home;
        qputenv("TALLYVOX_HOME", home.path().toUtf8());
        Station st("../../kiosk", home.filePath("s.ini"));
        TicketPrinter printer(st);
        printer.setPrinters([] { return TicketPrinter::Printers{}; });
        QVERIFY(printer.pdfFolder().startsWith(home.path() + "/"));
        QVERIFY(!printer.pdfFolder().contains(".."));
        for (const QString& token :
             {QString("../../../x/A1"), QString("/etc/A1"), QString("A\\1:*?"),
              QString::fromUtf8("क१😀"), QString(5000, 'Z')}) {
            TicketData d = sample();
            d.token = token;
            const auto printed = printer.startPrint(d);
            if (!printed.ok()) { // a name too long for the file system is refused, not cut loose
                QVERIFY(printed.error.startsWith("cannot write"));
                continue;
            }
            QCOMPARE(QFileInfo(printed.where).absolutePath(), printer.pdfFolder());
            QVERIFY2(QFileInfo(printed.where)
                         .fileName()
                         .contains(QRegularExpression(
                             "^[0-9]{8}-[0-9]{6}-[A-Za-z0-9_-]+(-[0-9]+)?\\.pdf$")),
                     qPrintable(printed.where));
        }
        QVERIFY(!QDir(home.path() + "/x").exists());
        qunsetenv("TALLYVOX_HOME");
    }

private:
    static QString run(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

QTEST_MAIN(TicketPrintTest)
#include "test_ticket_print.moc"
