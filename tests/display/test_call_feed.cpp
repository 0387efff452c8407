// The call feed against servers that do not answer: the station's own thread
// goes on working, and connection attempts grow further apart.
#include "display/call_feed.h"
#include "test_station.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace tv;
using namespace tv::test;

class CallFeedTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(DbEngine::Sqlite);
        st().clock().setFixed(QDateTime(QDate(2024, 3, 14), QTime(9, 45, 10)));
    }
    void cleanupTestCase() { m_db.reset(); }

    void aSilentServerDoesNotHoldUpTheStation() {
        // Takes the connection and never says a word, like a server whose
        // processes hang.
        QTcpServer silent;
        QList<QTcpSocket*> held;
        connect(&silent, &QTcpServer::newConnection, this, [&] {
            while (silent.hasPendingConnections())
                held << silent.nextPendingConnection();
        });
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        auto feed = feedAt(silent.serverPort());

        int ticks = 0, ticksAtAnswer = -1;
        QTimer ui;
        ui.setInterval(5);
        connect(&ui, &QTimer::timeout, this, [&] { ++ticks; });
        ui.start();
        QSignalSpy answered(feed.get(), &CallFeed::polled);
        connect(feed.get(), &CallFeed::polled, this, [&] { ticksAtAnswer = ticks; });
        QSignalSpy failed(feed.get(), &CallFeed::connectFailed);
        QVERIFY(feed->poll());
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 1, 15000);
        QVERIFY(!held.isEmpty()); // the attempt did reach the server
        // The station's own thread went on all the while the attempt waited.
        QVERIFY2(ticksAtAnswer >= 20, qPrintable(QString::number(ticksAtAnswer)));
        QCOMPARE(answered.at(0).at(0).toBool(), false);
        QCOMPARE(failed.count(), 1);
        QVERIFY(!feed->connected());
    }

    void attemptsGrowFurtherApart() {
        // A port nobody listens on: every attempt fails at once.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        auto feed = feedAt(port);
        feed->setReconnectDelays(5, 40);
        feed->setSafetyPollMs(0); // every poll() asks
        QSignalSpy failed(feed.get(), &CallFeed::connectFailed);
        QSignalSpy answered(feed.get(), &CallFeed::polled);
        QTimer board; // polls as fast as the board would allow
        board.setInterval(1);
        connect(&board, &QTimer::timeout, feed.get(), [&] { feed->poll(); });
        board.start();
        QTRY_VERIFY_WITH_TIMEOUT(failed.count() >= 6, 15000);
        board.stop();
        QTRY_VERIFY(!feed->polling());
        QList<int> delays;
        for (const QList<QVariant>& f : failed)
            delays << f.at(0).toInt();
        QCOMPARE(delays.mid(0, 6), QList<int>({5, 10, 20, 40, 40, 40}));
        // Polls in between did not try again.
        QCOMPARE(feed->connectAttempts(), failed.count());
        QVERIFY(answered.count() > failed.count());
        QCOMPARE(feed->reconnectDelayMs(), 40);

        // Out of the box the first wait is a second.
        auto plain = feedAt(port);
        QSignalSpy firstFailure(plain.get(), &CallFeed::connectFailed);
        QVERIFY(plain->poll());
        QVERIFY(firstFailure.wait(15000));
        QCOMPARE(firstFailure.at(0).at(0).toInt(), 1000);
    }

private:
    Station& st() { return m_db->station(); }
    // A feed whose station's server is on this machine at `port`.
    std::unique_ptr<CallFeed> feedAt(quint16 port) {
        const ConnectionSettings saved = st().connectionSettings;
        st().connectionSettings.host = QStringLiteral("127.0.0.1:%1").arg(port);
        st().connectionSettings.database = QStringLiteral("hall");
        st().connectionSettings.user = QStringLiteral("board");
        st().connectionSettings.password = QStringLiteral("secret");
        auto feed = std::make_unique<CallFeed>(st());
        st().connectionSettings = saved;
        return feed;
    }
    std::unique_ptr<TestStation> m_db;
};

QTEST_GUILESS_MAIN(CallFeedTest)
#include "test_call_feed.moc"
