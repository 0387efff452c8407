// The web service's small rules: estimates, the issuing budget, page filling,
// the listen address, the visitor's language.
#include "web/hall_server.h"
#include "web/hall_texts.h"
#include "web/rate_limit.h"
#include "web/ticket_status.h"
#include "web/web_pages.h"

#include <QCoreApplication>
#include <QtTest>

using namespace tv::web;

class WebUnitsTest : public QObject {
    Q_OBJECT

private slots:
    void medianAndEstimate() {
        QCOMPARE(medianOf({}), 0);
        QCOMPARE(medianOf({300}), 300);
        QCOMPARE(medianOf({500, 100, 300}), 300);
        QCOMPARE(medianOf({100, 200, 400, 900}), 300);

        QVERIFY(!estimateWait(3, 0, 2).known);   // no finished ticket yet
        QVERIFY(!estimateWait(3, 300, 0).known); // no counter at work
        const WaitEstimate w = estimateWait(3, 300, 2);
        QVERIFY(w.known);
        QCOMPARE(w.minutes, 8); // 7.5 rounded up
        QCOMPARE(estimateWait(0, 300, 2).minutes, 0);
        QCOMPARE(estimateWait(4, 60, 4).minutes, 1);
        QCOMPARE(estimateWait(30000, 3600, 1).minutes, 1800000); // no overflow
    }

    void issuingBudgetPerAddress() {
        RateLimit limit(3, 1000);
        for (int i = 0; i < 3; ++i)
            QVERIFY(limit.take("10.0.0.1", 0));
        QVERIFY(!limit.take("10.0.0.1", 10));
        QCOMPARE(limit.retryAfterMs("10.0.0.1", 10), 990);
        QVERIFY(limit.take("10.0.0.2", 10)); // another address has its own
        QVERIFY(limit.take("10.0.0.1", 1000));
        QVERIFY(!limit.take("10.0.0.1", 1500));
        // A long pause refills only up to the burst.
        for (int i = 0; i < 3; ++i)
            QVERIFY(limit.take("10.0.0.1", 100000));
        QVERIFY(!limit.take("10.0.0.1", 100000));
        // Many addresses do not grow the table without end.
        for (int i = 0; i < 10000; ++i)
            limit.take(QString("192.0.2.%1/%2").arg(i % 250).arg(i), 200000 + i * 2000);
        QVERIFY(limit.addresses() <= 4097);
    }

    void templatesEscapeInOnePass() {
        const QByteArray page = "<p>{{a}}</p><p>{{b}}</p><i>{{missing}}</i>";
        const QByteArray out =
            fillTemplate(page, {{"a", "<script>alert(1)</script>"}, {"b", "{{a}} & \"q\" 'x'"}});
        QCOMPARE(out, QByteArray("<p>&lt;script&gt;alert(1)&lt;/script&gt;</p>"
                                 "<p>{{a}} &amp; &quot;q&quot; 'x'</p><i></i>"));
        // Attribute values are quoted with " in the pages, which is escaped.
        QVERIFY(!fillTemplate("<b data-x=\"{{a}}\">", {{"a", "\" onmouseover=\"x"}})
                     .contains("\" onmouseover"));
    }

    void listenAddresses() {
        QHostAddress a;
        quint16 p = 0;
        QVERIFY(parseListen("127.0.0.1:8080", &a, &p));
        QCOMPARE(a, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(p, quint16(8080));
        QVERIFY(parseListen("[::1]:9000", &a, &p));
        QCOMPARE(a, QHostAddress(QHostAddress::LocalHostIPv6));
        QVERIFY(parseListen("0.0.0.0:80", &a, &p));
        QCOMPARE(a, QHostAddress(QHostAddress::AnyIPv4));
        QVERIFY(parseListen("8081", &a, &p));
        QCOMPARE(p, quint16(8081));
        for (const char* bad : {"", "host", "1.2.3.4:", "1.2.3.4:70000", "1.2.3.4:0",
                                "999.1.1.1:80", "127.0.0.1:80/x", "example.org:80"})
            QVERIFY2(!parseListen(bad, &a, &p), bad);
    }

    void languageOfTheVisitor() {
        QCOMPARE(langOf("", "hi-IN,hi;q=0.9,en;q=0.8"), Lang::Hindi);
        QCOMPARE(langOf("", "en-GB,en;q=0.9,hi;q=0.5"), Lang::English);
        QCOMPARE(langOf("en", "hi-IN"), Lang::English); // the address decides
        QCOMPARE(langOf("hi", ""), Lang::Hindi);
        QCOMPARE(langOf("xx", ""), Lang::English);

        TicketStatus s;
        s.found = true;
        s.token = "A7";
        s.stage = Stage::Called;
        s.counter = "Desk 2";
        const QJsonObject hi = statusJson(s, Lang::Hindi).value("texts").toObject();
        const QJsonObject en = statusJson(s, Lang::English).value("texts").toObject();
        QCOMPARE(en.value("headline").toString(), QString("It is your turn! Please go to"));
        QVERIFY(hi.value("headline").toString().contains(QChar(0x092C))); // Devanagari
        QCOMPARE(hi.value("counter").toString(), QString("Desk 2"));
        // Once served, the page no longer sends the visitor to a counter.
        s.stage = Stage::Finished;
        QCOMPARE(statusJson(s, Lang::English).value("texts").toObject().value("counter").toString(),
                 QString());
    }

    void boardColoursAndChime() {
        QCOMPARE(cssColour(0x0000FF), QString("#ff0000")); // red in the low byte
        QCOMPARE(cssColour(0xFF8000), QString("#0080ff"));
        QCOMPARE(cssColour(-1), QString("#ffffff"));
        const QByteArray wav = chimeWav();
        QVERIFY(wav.startsWith("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
        QVERIFY(!staticAsset("../CMakeLists.txt"));
        QVERIFY(!staticAsset("status.html")); // filled per ticket, never served as it is
        QVERIFY(staticAsset("status.js"));
    }
};

QTEST_GUILESS_MAIN(WebUnitsTest)
#include "test_web_units.moc"
