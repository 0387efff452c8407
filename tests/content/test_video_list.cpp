// The video list the board plays: its list and its edit window.
#include "content/video_list.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "test_station.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace tv;
using namespace tv::test;

class VideoListTest : public QObject {
    Q_OBJECT

public:
    explicit VideoListTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        Dialogs::clearAnswers();
    }

    void addingNeedsAFileAndKeepsWhatWasTyped() {
        VideoList list(st());
        QCOMPARE(list.windowTitle(), QString("Video List"));
        QCOMPARE(list.grid()->rows(), 1);
        QCOMPARE(list.grid()->textMatrix(0, 2), QString("Video Description"));
        list.addNew();
        VideoEdit* edit = list.editor();
        QCOMPARE(edit->windowTitle(), QString("Select Video"));
        QVERIFY(box<QCheckBox>(edit, "chkActive")->isChecked()); // active unless cleared
        QVERIFY(!edit->saveData());
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Please select a video"));
        QVERIFY(edit->isVisible());
        // the browse button puts the chosen path in; the description may stay empty
        Dialogs::setNextFileName("/media/hall/welcome.mp4");
        box<QPushButton>(edit, "Command1")->click();
        QCOMPARE(box<QLineEdit>(edit, "txtName")->text(), QString("/media/hall/welcome.mp4"));
        QVERIFY(edit->saveData());
        QCOMPARE(list.grid()->rows(), 2); // the list follows at once
        QCOMPARE(list.grid()->textMatrix(1, 1), QString("1"));
        QCOMPARE(list.grid()->textMatrix(1, 3), QString("Yes"));
        RecordSet rs(st().dbConnection, "select * from tblVideo");
        QCOMPARE(rs.text(1), QString("/media/hall/welcome.mp4"));
        QCOMPARE(rs.text(2), QString());
        QCOMPARE(rs.number(3), 1);
    }

    void junkIsStoredAsTypedAndBigKeysWork() {
        exec("insert into tblVideo (vidAuto, vidFile, vidDesc, active) values (40000, ?, ?, 0)",
             {QString("/v/a.mp4"), QString("old")});
        VideoList list(st());
        QCOMPARE(list.grid()->textMatrix(1, 3), QString("No"));
        list.grid()->setRow(1);
        list.editSelected();
        VideoEdit* edit = list.editor();
        QCOMPARE(edit->lblRef(), QString("40000"));
        QCOMPARE(box<QLineEdit>(edit, "txtName")->text(), QString("/v/a.mp4"));
        const QString junk = QString::fromUtf8("' or '1'='1 😀 नमस्ते ") + QString(5000, 'x');
        box<QLineEdit>(edit, "txtDesc")->setText(junk);
        box<QCheckBox>(edit, "chkActive")->setChecked(true);
        QVERIFY(edit->saveData());
        QCOMPARE(list.grid()->textMatrix(1, 2), junk);
        QCOMPARE(count("select * from tblVideo where vidDesc=? and active=1", {junk}), 1);
        QCOMPARE(count("select * from tblVideo"), 1);
    }

    void anEntryRemovedElsewhereIsNotWrittenBack() {
        exec("insert into tblVideo (vidFile, vidDesc, active) values ('/v/b.mp4', 'b', 1)");
        VideoList list(st());
        list.grid()->setRow(1);
        list.editSelected();
        exec("delete from tblVideo");
        QVERIFY(list.editor()->saveData()); // closes and refreshes
        QCOMPARE(count("select * from tblVideo"), 0);
        QCOMPARE(list.grid()->rows(), 1);
    }

    void addNewStartsFromEmptyFieldsEvenWhileAnEditIsOpen() {
        exec("insert into tblVideo (vidFile, vidDesc, active) values ('/v/c.mp4', 'c', 0)");
        VideoList list(st());
        list.grid()->setRow(1);
        list.editSelected();
        list.addNew();
        VideoEdit* edit = list.editor();
        QCOMPARE(edit->lblRef(), QString());
        QCOMPARE(box<QLineEdit>(edit, "txtName")->text(), QString());
        QVERIFY(box<QCheckBox>(edit, "chkActive")->isChecked());
        box<QLineEdit>(edit, "txtName")->setText("/v/d.png");
        QVERIFY(edit->saveData());
        QCOMPARE(count("select * from tblVideo"), 2); // the edited one untouched
        QCOMPARE(count("select * from tblVideo where vidFile='/v/c.mp4' and active=0"), 1);
    }

    void deletingAsksAndNeedsARow() {
        exec("insert into tblVideo (vidFile, vidDesc, active) values ('/v/e.mp4', 'e', 1)");
        VideoList list(st());
        list.grid()->setRow(0); // the heading
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.deleteSelected();
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Do you want to delete the selected"));
        QCOMPARE(count("select * from tblVideo"), 1);
        list.grid()->setRow(1);
        Dialogs::setNextAnswer(QMessageBox::No);
        list.deleteSelected();
        QCOMPARE(count("select * from tblVideo"), 1);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.deleteSelected();
        QCOMPARE(count("select * from tblVideo"), 0);
        QCOMPARE(list.grid()->rows(), 1);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    int count(const QString& sql, const QVariantList& b = {}) {
        return RecordSet(st().dbConnection, sql, b).recordCount();
    }
    template <typename T> static T* box(QWidget* w, const char* name) {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(VideoListTest)
#include "test_video_list.moc"
