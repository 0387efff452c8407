// The station's settings store and its key table.
#include "core/settings_store.h"
#include "core/station_settings.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void namesCompareWithoutCase() {
        SettingsStore s(file());
        s.write("Queue", "Login", "Name", "alice");
        QCOMPARE(s.read("queue", "LOGIN", "name"), QString("alice"));
        s.write("QUEUE", "login", "NAME", "bob");
        QCOMPARE(s.read("Queue", "Login", "Name"), QString("bob"));
    }

    void missingKeysGiveTheReadersDefault() {
        SettingsStore s(file());
        QCOMPARE(s.read("Queue", "theme", "theme", "HR1"), QString("HR1"));
        QCOMPARE(s.read("Queue", "theme", "theme", "Black H"), QString("Black H"));
        QCOMPARE(s.readNumber("queue", "printer", "row", 500), 500);
        // an empty value is a value, not a missing key
        s.write("Queue", "theme", "theme", "");
        QCOMPARE(s.read("Queue", "theme", "theme", "HR1"), QString());
    }

    void numbers() {
        SettingsStore s(file());
        s.write("queue", "print", "nos", " 2 ");
        QCOMPARE(s.readNumber("queue", "print", "nos", 1), 2);
        s.write("queue", "print", "nos", "2.6");
        QCOMPARE(s.readNumber("queue", "print", "nos", 1), 3);
        // a hand-edited file never stops a station: junk reads as the default
        for (const char* bad : {"two", "", "1x", "1e99", "nan", "inf"}) {
            s.write("queue", "print", "nos", bad);
            QCOMPARE(s.readNumber("queue", "print", "nos", 1), 1);
        }
    }

    void malformedKeysGiveTheTablesDefault() {
        StationSettings st(file());
        st.set(keys::PrinterRow, "tall");
        st.set(keys::VideoSource, "nan");
        st.set(keys::ShortcutEnable, "yes");
        QCOMPARE(st.number(keys::PrinterRow), 500);
        QCOMPARE(st.number(keys::VideoSource), -1);
        QCOMPARE(st.number(keys::ShortcutEnable), 1);
        QCOMPARE(st.number(keys::PrinterRow, 42), 42);
    }

    void theFileIsReadableByItsOwnerOnly() {
        // It holds the server password.
        StationSettings st(file());
        st.set(keys::SqlPassword, "secret");
        QCOMPARE(QFile::permissions(file()) &
                     ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
        QFile::setPermissions(file(), QFile::permissions(file()) | QFile::ReadOther);
        st.set(keys::SqlUser, "hall");
        QVERIFY(!(QFile::permissions(file()) & QFile::ReadOther));
    }

    void valuesSurviveTheProcess() {
        {
            SettingsStore s(file());
            s.write("Q", "CounterList", "3", "3,7");
            s.write("Queue", "Sql", "password", "it's=a;secret/with\\odd chars");
        }
        SettingsStore again(file());
        QCOMPARE(again.read("q", "counterlist", "3"), QString("3,7"));
        QCOMPARE(again.read("Queue", "Sql", "password"), QString("it's=a;secret/with\\odd chars"));
    }

    void namesWithSlashesStayApart() {
        SettingsStore s(file());
        s.write("Queue", "a/b", "c", "one");
        s.write("Queue", "a", "b/c", "two");
        QCOMPARE(s.read("Queue", "a/b", "c"), QString("one"));
        QCOMPARE(s.read("Queue", "a", "b/c"), QString("two"));
    }

    void keyTableDefaults() {
        StationSettings st(file());
        QCOMPARE(st.text(keys::SqlAuthentication), QString("SQL Authentication"));
        QCOMPARE(st.text(keys::LoginType), QString("optAdmin"));
        QCOMPARE(st.number(keys::PrinterRow), 500);
        QCOMPARE(st.number(keys::VideoSource), -1);
        QCOMPARE(st.number(keys::ShortcutEnable), 1);
        QCOMPARE(st.text(keys::ThemeName), QString("HR1"));
        QCOMPARE(st.text(keys::ThemeName, "Black H"), QString("Black H"));
        QCOMPARE(st.counterList(4), QString());
        st.setCounterList(4, "12");
        QCOMPARE(st.counterList(4), QString("12"));
        // every numeric default in the table reads as a number
        for (const SettingKey& k : StationSettings::allKeys()) {
            const QString d = QString::fromUtf8(k.defaultValue);
            bool isNumber = false;
            d.toInt(&isNumber);
            if (isNumber) QCOMPARE(st.number(k), d.toInt());
        }
    }

    void profilesHaveTheirOwnFiles() {
        StationSettings a(m_dir->filePath("display.ini"));
        StationSettings b(m_dir->filePath("counter1.ini"));
        a.set(keys::DisplayAuto, 1);
        QCOMPARE(b.number(keys::DisplayAuto), 0);
        QCOMPARE(a.number(keys::DisplayAuto), 1);
    }

private:
    QString file() { return m_dir->filePath("station.ini"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
