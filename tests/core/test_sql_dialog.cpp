// The connection dialog: what it shows, saves and tests.
#include "core/station.h"
#include "core/ui/dialogs.h"
#include "core/ui/sql_settings_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

class SqlDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Dialogs::setTestMode(true);
        m_dir = std::make_unique<QTemporaryDir>();
        m_station = std::make_unique<Station>("t", m_dir->filePath("s.ini"));
        m_station->setEmbeddedFile(m_dir->filePath("data.db"));
        m_station->connectTimeoutSeconds = 2;
    }
    void cleanup() { m_station.reset(); }

    void showsTheStoredSettings() {
        StationSettings& s = m_station->settings();
        s.set(keys::SqlHost, "db.hall:5433");
        s.set(keys::SqlDatabase, "hall");
        s.set(keys::SqlUser, "queue");
        s.set(keys::SqlPassword, "pw'1");
        s.set(keys::SqlAuthentication, "Windows Authentication");
        SqlSettingsDialog d(*m_station);
        QCOMPARE(d.windowTitle(), QString("SQL Settings"));
        QCOMPARE(box(d, "txthost")->text(), QString("db.hall:5433"));
        QCOMPARE(box(d, "txtData")->text(), QString("hall"));
        QCOMPARE(box(d, "txtUser")->text(), QString("queue"));
        QCOMPARE(box(d, "txtPass")->text(), QString("pw'1"));
        QCOMPARE(box(d, "txtPass")->echoMode(), QLineEdit::Password);
        QCOMPARE(combo(d)->currentText(), QString("Windows Authentication"));
        QCOMPARE(combo(d)->count(), 2);
    }

    void defaultAuthenticationIsServerLogin() {
        SqlSettingsDialog d(*m_station);
        QCOMPARE(combo(d)->currentText(), QString("SQL Authentication"));
    }

    void saveStoresTheBoxesAndKeepsTheDialogOpen() {
        SqlSettingsDialog d(*m_station);
        d.show();
        box(d, "txthost")->setText("10.0.0.9");
        box(d, "txtData")->setText("queue");
        box(d, "txtUser")->setText("kiosk");
        box(d, "txtPass")->setText("se;cret'");
        combo(d)->setCurrentText("Windows Authentication");
        button(d, "Save")->click();
        StationSettings& s = m_station->settings();
        QCOMPARE(s.text(keys::SqlHost), QString("10.0.0.9"));
        QCOMPARE(s.text(keys::SqlPassword), QString("se;cret'"));
        QCOMPARE(s.text(keys::SqlAuthentication), QString("Windows Authentication"));
        QCOMPARE(m_station->connectionSettings.user, QString("kiosk"));
        QVERIFY(d.isVisible());
        QVERIFY(Dialogs::shownTexts().isEmpty()); // saving does not test
    }

    void testUsesTheSavedSettingsNotTheBoxes() {
        SqlSettingsDialog d(*m_station);
        button(d, "Test Connection")->click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Connection Success"));

        box(d, "txthost")->setText("127.0.0.1:1"); // not saved yet
        button(d, "Test Connection")->click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Connection Success"));

        button(d, "Save")->click();
        button(d, "Test Connection")->click();
        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, QString("Connection Failed"));
        QVERIFY(!d.findChild<QLabel*>("lblReason")->text().isEmpty());
    }

    void oneDialogPerStation() {
        SqlSettingsDialog* first = SqlSettingsDialog::showFor(*m_station);
        box(*first, "txtData")->setText("typed, not saved");
        SqlSettingsDialog* again = SqlSettingsDialog::showFor(*m_station);
        QCOMPARE(again, first);
        QCOMPARE(box(*again, "txtData")->text(), QString("typed, not saved"));
        first->close();
    }

    void failedConnectionOpensTheDialog() {
        SqlSettingsDialog::attachTo(*m_station);
        m_station->settings().set(keys::SqlHost, "127.0.0.1:1");
        m_station->loadConnectionSettings();
        QVERIFY(!m_station->openConnection());
        SqlSettingsDialog* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSql" && w->isVisible())
                shown = qobject_cast<SqlSettingsDialog*>(w);
        QVERIFY(shown);
        QVERIFY(!shown->isModal());
        QCOMPARE(box(*shown, "txthost")->text(), QString("127.0.0.1:1"));
        shown->close();
    }

private:
    static QLineEdit* box(QWidget& d, const char* name) { return d.findChild<QLineEdit*>(name); }
    static QComboBox* combo(QWidget& d) { return d.findChild<QComboBox*>("Combo1"); }
    static QPushButton* button(QWidget& d, const QString& text) {
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == text) return b;
        return nullptr;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Station> m_station;
};

QTEST_MAIN(SqlDialogTest)
#include "test_sql_dialog.moc"
