// The QR code on a printed ticket: there only with the hall's public address,
// and a phone's reader gets the ticket's status address from it.
#include "core/station.h"
#include "tickets/ticket_printer.h"
#include "tickets/token_allocation.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {
TicketData sample() {
    TicketData d;
    d.companyName = "City Clinic";
    d.issuedAt = QDateTime(QDate(2026, 12, 9), QTime(9, 45, 10));
    d.serviceName = "Blood Test";
    d.token = "A105";
    d.visitorCode = "Zm9vYmFyYmF6cXV4";
    return d;
}

// What a QR reader makes of a picture ("" when it finds no code).
QString decode(const QString& png) {
    QProcess zbar;
    zbar.start("zbarimg", {"--quiet", "--raw", png});
    if (!zbar.waitForFinished(30000)) return "(zbarimg did not finish)";
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}
} // namespace

class TicketQrTest : public QObject {
    Q_OBJECT

private slots:
    void statusAddressOfACode() {
        QCOMPARE(TokenAllocation::statusAddress("https://q.example.org", "abc"),
                 QString("https://q.example.org/t/abc"));
        QCOMPARE(TokenAllocation::statusAddress(" https://q.example.org// ", "abc"),
                 QString("https://q.example.org/t/abc"));
        QCOMPARE(TokenAllocation::statusAddress("", "abc"), QString());
        QCOMPARE(TokenAllocation::statusAddress("https://q.example.org", ""), QString());
    }

    void withoutTheAddressTheTicketIsAsBefore() {
        const auto lines = ticketLines(sample());
        QCOMPARE(lines.size(), 18);
        for (const TicketLine& l : lines) {
            QVERIFY(l.qr.isEmpty());
            QVERIFY(!l.text.contains("Scan"));
        }
    }

    void theCodeFollowsTheToken() {
        TicketData d = sample();
        d.statusAddress = "https://q.example.org/t/" + d.visitorCode;
        const auto lines = ticketLines(d);
        QCOMPARE(lines.size(), 20);
        QCOMPARE(lines[8].text, QString("A105"));
        QCOMPARE(lines[9].qr, d.statusAddress);
        QCOMPARE(lines[10].text, QString("Scan to follow your turn"));
        QCOMPARE(lines[12].text, QString("Now Serving : "));
    }

    void thePrintedCodeReadsBack() {
        QTemporaryDir home;
        qputenv("TALLYVOX_HOME", home.path().toUtf8());
        Station st("kiosk", home.filePath("s.ini"));
        st.settings().set(keys::WebAddress, "http://192.0.2.10:8080/");
        TicketPrinter printer(st);
        printer.setPrinters([] { return TicketPrinter::Printers{}; });
        const auto printed = printer.startPrint(sample());
        qunsetenv("TALLYVOX_HOME");
        QCOMPARE(printed.target, TicketPrinter::Target::PdfFile);

        QProcess toPng;
        toPng.start("pdftoppm",
                    {"-png", "-r", "200", "-singlefile", printed.where, home.filePath("ticket")});
        QVERIFY(toPng.waitForFinished(30000));
        QCOMPARE(toPng.exitCode(), 0);
        QCOMPARE(decode(home.filePath("ticket.png")),
                 QString("http://192.0.2.10:8080/t/Zm9vYmFyYmF6cXV4"));

        // Without the address the same ticket carries no code.
        st.settings().set(keys::WebAddress, "");
        qputenv("TALLYVOX_HOME", home.path().toUtf8());
        const auto plain = printer.startPrint(sample());
        qunsetenv("TALLYVOX_HOME");
        toPng.start("pdftoppm",
                    {"-png", "-r", "200", "-singlefile", plain.where, home.filePath("plain")});
        QVERIFY(toPng.waitForFinished(30000));
        QCOMPARE(decode(home.filePath("plain.png")), QString());
    }
};

QTEST_MAIN(TicketQrTest)
#include "test_ticket_qr.moc"
