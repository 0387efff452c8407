// The station's settings screen: what it shows, what Save stores and what it
// refuses, and the announcement test.
#include "admin/settings_screen.h"
#include "core/connection.h"
#include "core/ui/dialogs.h"
#include "display/voice_player.h"
#include "test_station.h"
#include "tickets/ticket_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace tv;
using namespace tv::test;

class SettingsScreenTest : public QObject {
    Q_OBJECT

public:
    explicit SettingsScreenTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
        // This machine's printers and cameras do not count: the test chooses.
        SettingsScreen::printerNames = [] { return QStringList(); };
        SettingsScreen::videoSources = [] { return QStringList({"Camera A", "Capture B"}); };
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        for (const SettingKey& k : StationSettings::allKeys())
            st().settings().store().remove(QString::fromUtf8(k.application),
                                           QString::fromUtf8(k.section), QString::fromUtf8(k.key));
        exec("insert into tbltheme (themeauto, themename, colums, rows) values (4, 'Hall', 2, 5),"
             " (5, 'Night', 2, 5)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, active) values (3, 1, 'Room 3',"
             " 1), (4, 1, 'Room 4', 0)");
        st().themeNo = 0;
    }

    void itShowsTheStoredSettingsAndTheirDefaults() {
        st().settings().set(keys::VideoSource, 1);
        st().settings().set(keys::VideoIn, "1");
        SettingsScreen screen(st(), &m_player);
        QCOMPARE(screen.windowTitle(), QString("Settings"));
        QCOMPARE(text("txtVoice1", screen), QString("english|ding|token|*|please|roomno|#"));
        QCOMPARE(text("txtVoice2", screen), QString("hindi|ding|token|*|please|roomno|#|go"));
        QCOMPARE(combo("cmbPrinter", screen)->itemText(0), QString("(No Printer Installed)"));
        QCOMPARE(text("txtRHeight", screen), QString("500"));
        QCOMPARE(text("txtSpeed", screen), QString("30"));
        QCOMPARE(combo("cmbTheme", screen)->currentText(), QString("Black H"));
        QCOMPARE(combo("cmbService", screen)->count(), 1); // active counters only
        QCOMPARE(combo("cmbSource", screen)->currentText(), QString("Capture B"));
        QVERIFY(combo("cmbSource", screen)->isEnabled());
        screen.findChild<QCheckBox*>("chkEnable")->setChecked(false);
        QVERIFY(!combo("cmbSource", screen)->isEnabled());
        // a source index that is no device chooses none
        st().settings().set(keys::VideoSource, -7);
        SettingsScreen again(st(), &m_player);
        QCOMPARE(combo("cmbSource", again)->currentIndex(), -1);
    }

    void saveStoresEverythingAndTheStationFollows() {
        TicketScreen kiosk(st());
        QCOMPARE(kiosk.ticketCopies(), 1);
        SettingsScreen screen(st(), &m_player);
        combo("cmbTheme", screen)->setCurrentText("Night");
        combo("cmbTicket", screen)->setCurrentText("Full Screen");
        combo("cmbService", screen)->setCurrentIndex(0);
        combo("cmbScreen", screen)->setCurrentText("Dual");
        edit("txtPrint", screen)->setText("3");
        edit("txtSpeed", screen)->setText("fast"); // not a number: the default
        edit("txtRHeight", screen)->setText("800");
        edit("txtVoice2", screen)->setText("");
        screen.findChild<QCheckBox*>("chkAuto")->setChecked(true);
        QVERIFY(screen.saveData());
        const StationSettings& s = st().settings();
        QCOMPARE(s.text(keys::ThemeName), QString("Night"));
        QCOMPARE(s.text(keys::TicketScreen), QString("Full Screen"));
        QCOMPARE(s.text(keys::TicketTransfer), QString("Room 3"));
        QCOMPARE(s.text(keys::ThemeScreen), QString("Dual"));
        QCOMPARE(s.text(keys::PrintCopies), QString("3"));
        QCOMPARE(s.text(keys::ScrollSpeed), QString("30"));
        QCOMPARE(s.text(keys::PrinterRow), QString("800"));
        QCOMPARE(s.text(keys::PrinterName), QString("(No Printer Installed)"));
        QCOMPARE(s.text(keys::VoiceFormat2), QString());
        QCOMPARE(s.text(keys::DisplayAuto), QString("1"));
        QCOMPARE(s.text(keys::VideoSource), QString("-1"));
        QCOMPARE(st().themeNo, qint16(5));
        QCOMPARE(kiosk.ticketCopies(), 3); // the open kiosk took the new number
    }

    void aThemeThatIsGoneShowsAsTextAndStopsTheDisplay() {
        st().settings().set(keys::ThemeName, "Old Theme");
        SettingsScreen screen(st(), &m_player);
        QCOMPARE(combo("cmbTheme", screen)->currentText(), QString("Old Theme"));
        QVERIFY(screen.saveData());
        QCOMPARE(st().themeNo, qint16(0));
    }

    void withoutAThemeOnlyTheAutoStartAndTheSpeedAreStored() {
        SettingsScreen screen(st(), &m_player);
        combo("cmbTheme", screen)->setCurrentText("");
        edit("txtSpeed", screen)->setText("45");
        edit("txtPrint", screen)->setText("4");
        screen.findChild<QCheckBox*>("chkAuto")->setChecked(true);
        QVERIFY(!screen.saveData());
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Cannot Save Please select a Theme"));
        QCOMPARE(st().settings().text(keys::DisplayAuto), QString("1"));
        QCOMPARE(st().settings().text(keys::ScrollSpeed), QString("45"));
        QVERIFY(!st().settings().store().contains("queue", "print", "nos"));
    }

    void numbersTheStationsCannotUseAreRefused() {
        SettingsScreen screen(st(), &m_player);
        combo("cmbTheme", screen)->setCurrentText("Hall");
        for (const auto& [box, value] :
             {std::pair{"txtPrint", "-3"}, std::pair{"txtPrint", "100000"},
              std::pair{"txtSpeed", "1e10"}, std::pair{"txtRHeight", "2.5"}}) {
            edit(box, screen)->setText(value);
            QVERIFY(!screen.saveData());
            QVERIFY(Dialogs::takeMessages().value(0).text.contains("must be a whole number"));
            QCOMPARE(edit(box, screen)->text(), QString(value)); // kept for correcting
            edit(box, screen)->setText(box == QString("txtPrint") ? "1" : "100");
        }
        QVERIFY(!st().settings().store().contains("Queue", "theme", "theme"));
    }

    void theTestReadsTwelveForTokenAndCounter() {
        SettingsScreen screen(st(), &m_player);
        m_player.sequences.clear();
        screen.findChild<QPushButton*>("cmdTest1")->click();
        QCOMPARE(m_player.sequences.size(), 1);
        QStringList names;
        for (const QString& p : m_player.sequences.at(0))
            names << QFileInfo(p).fileName();
        QCOMPARE(names, QStringList({"ding", "token", "12.wav", "please", "roomno", "12.wav"}));
        QVERIFY(m_player.sequences.at(0).at(0).contains("/vs/english/"));
        QCOMPARE(st().voiceName, QString("english"));
        // a hindi format reads the number the same way
        QCOMPARE(QFileInfo(SettingsScreen::testFiles("hindi|*", nullptr).at(0)).fileName(),
                 QString("12.wav"));
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql) { st().dbConnection->execute(sql); }
    static QLineEdit* edit(const char* name, QWidget& w) {
        return w.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static QString text(const char* name, QWidget& w) { return edit(name, w)->text(); }
    static QComboBox* combo(const char* name, QWidget& w) {
        return w.findChild<QComboBox*>(QString::fromLatin1(name));
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    RecordingVoicePlayer m_player;
};

TALLYVOX_DB_TEST_MAIN(SettingsScreenTest)
#include "test_settings_screen.moc"
