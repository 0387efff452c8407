// The first window: two seconds of artwork, then the hand-over to the login.
#include "app/splash.h"
#include "core/station.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tv;

class SplashTest : public QObject {
    Q_OBJECT

private slots:
    void handsOverOnceAfterTwoSecondsAndCloses() {
        QTemporaryDir dir;
        Station st("kiosk", dir.filePath("s.ini"));
        st.settings().set(keys::SqlHost, "db.hall");
        int handedOver = 0;
        QString hostSeen;
        auto* splash = new SplashWindow(st, [&](Station& s) {
            ++handedOver;
            hostSeen = s.connectionSettings.host;
        });
        splash->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<SplashWindow> alive(splash);
        splash->show();
        QCOMPARE(splash->objectName(), QString("frmSplash"));
        QCOMPARE(splash->timer()->interval(), 2000);
        QVERIFY(splash->timer()->isSingleShot());
        QVERIFY(splash->timer()->isActive());
        QCOMPARE(handedOver, 0);
        // The splash loads the connection settings before it hands over.
        QTRY_COMPARE_WITH_TIMEOUT(handedOver, 1, 5000);
        QCOMPARE(hostSeen, QString("db.hall"));
        QTRY_VERIFY(alive.isNull());
    }
};

QTEST_MAIN(SplashTest)
#include "test_splash.moc"
