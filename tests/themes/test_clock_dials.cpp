// The stock clock dials turn their hands to the time shown, and the clock
// chooser lists, shows and hands over clock files.
#include "core/station.h"
#include "display/clock_widget.h"
#include "themes/clock_chooser.h"
#include "themes/clock_files.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace tv;

namespace {
const QStringList stockDials{"plain.svg", "station.svg", "dark.svg"};

QImage dialAt(const QString& file, const QTime& time) {
    ClockWidget clock;
    clock.resize(300, 300);
    clock.setTimeSource([time] { return QDateTime(QDate(2024, 3, 1), time); });
    QString why;
    if (!clock.setClockFile(file, &why)) qFatal("%s", qPrintable(why));
    return clock.grab().toImage();
}

// The pixel `radius` pixels from the centre, `degrees` clockwise from twelve.
QColor at(const QImage& img, double degrees, double radius) {
    const double a = degrees * M_PI / 180.0;
    return img.pixelColor(qRound(150 + radius * std::sin(a)), qRound(150 - radius * std::cos(a)));
}

int distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// Hands reach past these radii (of a 300-pixel dial): hour 50, minute and second 95.
constexpr double hourRadius = 50;
constexpr double longRadius = 95;
} // namespace

class ClockDialsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        m_station = std::make_unique<Station>("clocks", m_settings.filePath("s.ini"));
    }

    void stockDialsAreBesideTheProgram() {
        for (const QString& dial : stockDials) {
            QFile shipped(QStringLiteral(TALLYVOX_STOCK_CLOCKS "/") + dial);
            QVERIFY2(shipped.open(QIODevice::ReadOnly), qPrintable(shipped.fileName()));
            ClockWidget clock;
            QVERIFY(clock.setClockFile(shipped.fileName()));
            for (const char* hand : {"hour", "minute", "second"})
                QVERIFY2(clock.hasHand(hand), hand);
        }
    }

    void handsPointWhereTheTimeSays_data() {
        QTest::addColumn<QString>("dial");
        for (const QString& d : stockDials)
            QTest::newRow(qPrintable(d)) << d;
    }
    void handsPointWhereTheTimeSays() {
        QFETCH(QString, dial);
        const QString file = QStringLiteral(TALLYVOX_STOCK_CLOCKS "/") + dial;
        // At 03:00:00 the hour hand points at three, minute and second at twelve.
        const QImage three = dialAt(file, QTime(3, 0, 0));
        // A time whose hands are nowhere near those of the times tested.
        const QImage away1 = dialAt(file, QTime(7, 35, 40));
        QVERIFY(distance(at(three, 90, hourRadius), at(away1, 90, hourRadius)) > 120);
        QVERIFY(distance(at(three, 0, longRadius), at(away1, 0, longRadius)) > 120);
        // ... and nowhere else.
        for (double empty : {180.0, 270.0})
            for (double r : {hourRadius, longRadius})
                QVERIFY(distance(at(three, empty, r), at(away1, empty, r)) < 24);

        // At 09:30:15: hour just past half way from nine to ten (285.1 degrees),
        // minute just past six (181.5), second at three (90).
        const QImage half = dialAt(file, QTime(9, 30, 15));
        const QImage away2 = dialAt(file, QTime(1, 10, 20));
        QVERIFY(distance(at(half, 285.125, hourRadius), at(away2, 285.125, hourRadius)) > 120);
        QVERIFY(distance(at(half, 181.5, longRadius), at(away2, 181.5, longRadius)) > 120);
        QVERIFY(distance(at(half, 90, longRadius), at(away2, 90, longRadius)) > 120);
        for (double empty : {0.0, 240.0})
            for (double r : {hourRadius, longRadius})
                QVERIFY(distance(at(half, empty, r), at(away2, empty, r)) < 24);
        // The hour hand is short: it does not reach where the minute hand does.
        QVERIFY(distance(at(three, 90, longRadius + 20), at(away1, 90, longRadius + 20)) < 24);
    }

    void chooserListsShowsAndHandsOver() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(TALLYVOX_STOCK_CLOCKS "/plain.svg"),
                            dir.filePath("plain.svg")));
        QVERIFY(QFile::copy(QStringLiteral(TALLYVOX_STOCK_CLOCKS "/dark.svg"),
                            dir.filePath("NIGHT.SVG")));
        write(dir.filePath("old.swf"), "FWS\x08 not played here");
        write(dir.filePath("face.svg"), "<svg xmlns='http://www.w3.org/2000/svg' "
                                        "viewBox='0 0 10 10'><circle cx='5' cy='5' r='4'/></svg>");
        write(dir.filePath("notes.svg"), "these are notes, not a picture");
        write(dir.filePath("readme.txt"), "not a clock");
        QDir().mkdir(dir.filePath("sub.svg"));

        ClockChooser c(*m_station, dir.path());
        QCOMPARE(c.objectName(), QString("frmclklst"));
        QCOMPARE(c.windowTitle(), QString("Select Clock"));
        QStringList listed;
        for (int i = 0; i < c.files()->count(); ++i)
            listed << c.files()->item(i)->text();
        QCOMPARE(listed,
                 QStringList({"face.svg", "NIGHT.SVG", "notes.svg", "old.swf", "plain.svg"}));

        c.files()->setCurrentRow(3);
        QCOMPARE(c.note(), QString("Flash clock files cannot be shown"));
        QVERIFY(!c.preview()->analog());
        c.files()->setCurrentRow(4);
        QCOMPARE(c.note(), QString());
        QVERIFY(c.preview()->analog());
        c.files()->setCurrentRow(0);
        QVERIFY(c.note().contains("has no clock hands"));
        c.files()->setCurrentRow(2);
        QVERIFY(c.note().contains("is not an SVG picture"));
        QVERIFY(!c.preview()->analog());

        QSignalSpy chosen(&c, &ClockChooser::chosen);
        c.show();
        c.files()->setCurrentRow(1);
        c.select();
        QCOMPARE(chosen.value(0).value(0).toString(), QString("NIGHT.SVG")); // the name only
        QVERIFY(!c.isVisible());
        c.files()->clearSelection();
        c.select();
        QCOMPARE(chosen.value(1).value(0).toString(), QString());

        ClockChooser none(*m_station, dir.filePath("missing"));
        QCOMPARE(none.files()->count(), 0);
        QVERIFY(none.note().startsWith("No clock files"));
        QCOMPARE(clocks::pathOf("plain.svg", "/opt/t/files/clock"),
                 QString("/opt/t/files/clock/plain.svg"));
        QCOMPARE(clocks::pathOf("/x/y.svg", "/opt"), QString("/x/y.svg"));
    }

private:
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
        f.write(bytes);
    }

    QTemporaryDir m_settings;
    std::unique_ptr<Station> m_station;
};

QTEST_MAIN(ClockDialsTest)
#include "test_clock_dials.moc"
