// The ticker messages on both engines: the list, its find and delete, and the
// editor's load and save of the record the board reads.
#include "app/main_window.h"
#include "content/editor_widgets.h"
#include "content/message_text.h"
#include "content/rtf_format.h"
#include "content/rtf_reader.h"
#include "content/scroll_editor.h"
#include "content/scroll_list.h"
#include "content/scroll_messages.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "rtf_samples.h"
#include "test_station.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

using namespace tv;
using namespace tv::test;

namespace {

// The stored record as the board and the list read it, by position.
struct Record {
    qint64 key = 0;
    QString message, msgrtf, rtfcopy, font, direction;
    int active = -1, bold = -1, italic = -1;
    double size = 0;
    qint64 color = -1;
};

} // namespace

class ScrollMessagesTest : public QObject {
    Q_OBJECT

public:
    explicit ScrollMessagesTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::setTestMode(true);
        st().clock().setFixed(QDateTime(QDate(2026, 3, 2), QTime(9, 45, 10)));
        st().settings().set(keys::EditorScrollSpeed, "30");
    }

    void theListShowsEveryMessageOrOnlyTheActiveOnes() {
        const qint64 a = add("First, active", 1, "Left");
        const qint64 b = add("Second, resting", 0, "Right");
        const qint64 c = add("Third, active", 1, "Left");
        QVERIFY(a < b && b < c);
        ScrollList list(st());
        QCOMPARE(list.windowTitle(), QString("Scroll News"));
        FlexGrid* fg = list.grid();
        QCOMPARE(fg->cols(), 6);
        for (int col = 0; col < 5; ++col)
            QCOMPARE(fg->colWidth(col), QList<int>({1, 500, 4500, 700, 2700}).at(col));
        QCOMPARE(rowTexts(fg, 0), QStringList({"", "SN", "Message", "Active", "Direction", ""}));
        QCOMPARE(fg->rows(), 4);
        QCOMPARE(rowTexts(fg, 1),
                 QStringList({QString::number(a), "1", "First, active", "Yes", "Left", ""}));
        QCOMPARE(rowTexts(fg, 2),
                 QStringList({QString::number(b), "2", "Second, resting", "No", "Right", ""}));
        // Ticking "Show All" leaves only the active ones; unticking shows all again.
        auto* showAll = list.findChild<QCheckBox*>("chkActive");
        QCOMPARE(showAll->text(), QString("Show All"));
        QVERIFY(!showAll->isChecked());
        showAll->click();
        QCOMPARE(fg->rows(), 3);
        QCOMPARE(fg->textMatrix(2, 2), QString("Third, active"));
        QCOMPARE(fg->textMatrix(2, 1), QString("2"));
        showAll->click();
        QCOMPARE(fg->rows(), 4);
    }

    void theConsoleOpensTheListAndOwnsTheEditor() {
        add("From the console", 1, "Left");
        MainWindow console(st());
        console.action("scrollnews")->trigger();
        console.findChild<QToolButton*>("Command2")->click();
        const auto subs = console.area()->subWindowList();
        QCOMPARE(subs.size(), 2);
        auto* list = qobject_cast<ScrollList*>(subs.first()->widget());
        QVERIFY(list);
        QCOMPARE(list->objectName(), QString("frmScroll"));
        QCOMPARE(subs.first()->pos(), QPoint(0, 0));
        list->grid()->setRow(1);
        list->editSelected();
        QVERIFY(list->editor());
        QCOMPARE(list->editor()->parentWidget(), &console);
        QVERIFY(list->editor()->isWindow());
        // "Exit" in the editor ends the program through the console.
        QSignalSpy end(&console, &MainWindow::programEndRequested);
        list->editor()->exitProgram();
        QCOMPARE(end.size(), 1);
        list->editor()->close();
    }

    void findTakesTheSearchTextAsTyped() {
        for (const char* m : {"Don't panic", "50% off today", "a_b", "axb", "Back\\slash",
                              "WELCOME to the hall", "Keep 100 % quiet"})
            add(QString::fromUtf8(m), 1, "Left");
        add(QString::fromUtf8("नमस्ते, काउंटर 5"), 0, "Left");
        ScrollList list(st());
        const auto found = [&](const QString& text) {
            list.findChild<QLineEdit*>("txtFind")->setText(text);
            list.findChild<QPushButton*>("Command5")->click();
            QStringList out;
            for (int r = 1; r < list.grid()->rows(); ++r)
                out.append(list.grid()->textMatrix(r, 2));
            return out;
        };
        QCOMPARE(found("'"), QStringList({"Don't panic"}));
        QCOMPARE(found("%"), QStringList({"50% off today", "Keep 100 % quiet"}));
        QCOMPARE(found("0%"), QStringList({"50% off today"}));
        QCOMPARE(found("_"), QStringList({"a_b"}));
        QCOMPARE(found("\\"), QStringList({"Back\\slash"}));
        QCOMPARE(found("welcome"), QStringList({"WELCOME to the hall"}));
        QCOMPARE(found(QString::fromUtf8("काउंटर")),
                 QStringList({QString::fromUtf8("नमस्ते, काउंटर 5")}));
        QCOMPARE(found("'; delete from tblscroll; --"), QStringList());
        QCOMPARE(list.grid()->rows(), 1); // nothing found: an empty list
        QCOMPARE(count(), 8);
        // An empty search leaves the list as it was.
        found("panic");
        QCOMPARE(found(""), QStringList({"Don't panic"}));
        // With "Show All" ticked only active messages are found.
        list.findChild<QCheckBox*>("chkActive")->setChecked(true);
        QCOMPARE(found(QString::fromUtf8("नमस्ते")), QStringList());
        QCOMPARE(messageBoxes(), QStringList());
    }

    void deleteAsksAndNeverTakesTheHeading() {
        add("Keep me", 1, "Left");
        const qint64 gone = add("Delete me", 1, "Left");
        ScrollList list(st());
        // The heading row (where a new grid stands) deletes and asks nothing.
        QCOMPARE(list.grid()->row(), 0);
        list.findChild<QPushButton*>("Command2")->click();
        list.editSelected();
        QVERIFY(Dialogs::shownMessages().isEmpty());
        QVERIFY(!list.editor());
        list.grid()->setRow(2);
        Dialogs::setNextAnswer(QMessageBox::No);
        list.deleteSelected();
        QCOMPARE(Dialogs::shownTexts(), QStringList({"Do you want to delete the selected"}));
        QCOMPARE(count(), 2);
        list.grid()->setRow(2);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.deleteSelected();
        QCOMPARE(count(), 1);
        QCOMPARE(c()->scalar("select count(*) from tblscroll where scrollAuto=?", {gone}).toInt(),
                 0);
        QCOMPARE(list.grid()->rows(), 2);
        QCOMPARE(list.grid()->textMatrix(1, 2), QString("Keep me"));
    }

    void aNewMessageIsStoredWithoutMarkupCharacters() {
        ScrollList list(st());
        list.addNew();
        ScrollEditor* ed = list.editor();
        QVERIFY(ed);
        QVERIFY(!ed->scrollEditMode());
        QCOMPARE(ed->windowTitle(), QString(" Scroll Editor."));
        // Typed in the rich text: the first word bold and red, the rest plain.
        ed->richText()->insertPlainText("Open 8:00 <b> a/b");
        QTextCursor word(ed->richText()->document());
        word.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        ed->richText()->setTextCursor(word);
        ed->setBold();
        Dialogs::setNextColor(QColor(255, 0, 0));
        ed->chooseForeColor();
        combo(ed, "cmbSpeed")->setCurrentText("70");
        QSignalSpy closed(ed, &ScrollEditor::closed);
        QVERIFY(ed->saveMessage());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(messageBoxes(), QStringList());

        const Record r = only();
        QCOMPARE(r.message, QString("Open 8:00 b ab"));
        QCOMPARE(r.active, 1);
        QCOMPARE(r.font, QString("Arial"));
        QCOMPARE(r.size, 20.0);
        QCOMPARE(r.color, qint64(0x0000FF)); // red, red in the low byte
        QCOMPARE(r.bold, 1);
        QCOMPARE(r.italic, 0);
        QCOMPARE(r.direction, QString("Left"));
        QCOMPARE(r.rtfcopy, r.msgrtf);
        // The stored rich text is the message in its one look.
        QTextDocument doc;
        QVERIFY(rtf::read(r.msgrtf.toLatin1(), &doc).ok);
        QCOMPARE(describe(doc),
                 QStringList({"left li0 ri0 fi0 | [Arial 20 B #ff0000]Open 8:00 b ab"}));
        QCOMPARE(st().settings().text(keys::EditorScrollSpeed), QString("70"));
        // The list shows it at once.
        QCOMPARE(list.grid()->rows(), 2);
        QCOMPARE(list.grid()->textMatrix(1, 2), QString("Open 8:00 b ab"));
    }

    void aUnicodeMessageKeepsItsCharactersAndTheSwatchColour() {
        ScrollEditor ed(st());
        auto* text1 = ed.findChild<QPlainTextEdit*>("Text1");
        const QString hindi = QString::fromUtf8("कृपया <काउंटर> 5/6 पर आइए");
        text1->setPlainText(hindi);
        Dialogs::setNextColor(QColor(0, 128, 0));
        ed.findChild<ColorSwatch*>("Picture1")->clicked();
        combo(&ed, "Combo1")->setCurrentText("Lohit Devanagari");
        combo(&ed, "Combo2")->setCurrentText("36");
        ed.setItalic(); // the look of the empty rich text: italic
        QVERIFY(ed.saveMessage());
        const Record r = only();
        QCOMPARE(r.message, hindi);
        QCOMPARE(r.color, qint64(0x008000));
        QCOMPARE(r.font, QString("Lohit Devanagari"));
        QCOMPARE(r.size, 36.0);
        QCOMPARE(r.italic, 1);
        QCOMPARE(r.bold, 0);
        // Loading it back puts it where it came from.
        ScrollEditor again(st());
        again.setScrollEditMode(true);
        again.setRef(QString::number(r.key));
        again.getheadDetails(r.key);
        QCOMPARE(again.findChild<QPlainTextEdit*>("Text1")->toPlainText(), hindi);
        QCOMPARE(again.richText()->toPlainText(), QString());
        QCOMPARE(again.findChild<ColorSwatch*>("Picture1")->color(), QColor(0, 128, 0));
        QCOMPARE(combo(&again, "Combo1")->currentText(), QString("Lohit Devanagari"));
        QCOMPARE(combo(&again, "Combo2")->currentText(), QString("36"));
        QCOMPARE(again.findChild<QPlainTextEdit*>("Text1")->font().pointSizeF(), 36.0);
    }

    void withBothAreasFilledTheRichTextWins() {
        ScrollEditor ed(st());
        ed.richText()->insertPlainText("Rich words");
        ed.richText()->selectAll();
        Dialogs::setNextColor(QColor(0, 0, 255));
        ed.chooseForeColor(); // the text and the swatch blue
        Dialogs::setNextColor(QColor(0, 128, 0));
        ed.findChild<ColorSwatch*>("Picture1")->clicked(); // the swatch green
        ed.findChild<QPlainTextEdit*>("Text1")->setPlainText("Unicode words");
        QVERIFY(ed.saveMessage());
        const Record r = only();
        QCOMPARE(r.message, QString("Rich words"));
        QCOMPARE(r.color, qint64(0xFF0000)); // blue
    }

    void savingAStoredMessageKeepsItsKey() {
        const qint64 key = add("Old text", 1, "Right");
        ScrollList list(st());
        list.grid()->setRow(1);
        list.editSelected();
        ScrollEditor* ed = list.editor();
        QVERIFY(ed && ed->scrollEditMode());
        QCOMPARE(ed->ref(), QString::number(key));
        QCOMPARE(ed->richText()->toPlainText(), QString("Old text")); // plain text in msgrtf
        QCOMPARE(combo(ed, "cmbDir")->currentText(), QString("Right"));
        QVERIFY(!ed->changed());
        ed->richText()->selectAll();
        ed->richText()->insertPlainText("New text");
        ed->findChild<QCheckBox*>("chkActive")->setChecked(false);
        combo(ed, "cmbSpeed")->setCurrentText("80");
        QVERIFY(ed->saveMessage());
        const Record r = only();
        QCOMPARE(r.key, key);
        QCOMPARE(r.message, QString("New text"));
        QCOMPARE(r.active, 0);
        QCOMPARE(r.direction, QString("Right"));
        // Only a new message records the speed.
        QCOMPARE(st().settings().text(keys::EditorScrollSpeed), QString("30"));
        QCOMPARE(list.grid()->textMatrix(1, 3), QString("No"));
    }

    void keysBeyondSixteenBitsWork() {
        c()->execute("insert into tblscroll (scrollAuto, message, msgrtf, rtfcopy, active, font, "
                     "size, color, bold, italic, direction) values (40000, 'Big key', '', '', 1, "
                     "'Arial', 20, 0, 0, 0, 'Left')");
        ScrollList list(st());
        QCOMPARE(list.grid()->textMatrix(1, 0), QString("40000"));
        list.grid()->setRow(1);
        list.editSelected();
        QCOMPARE(list.editor()->findChild<QPlainTextEdit*>("Text1")->toPlainText(),
                 QString("Big key"));
        list.editor()->richText()->setPlainText("Changed");
        QVERIFY(list.editor()->saveMessage());
        QCOMPARE(only().key, qint64(40000));
        QCOMPARE(only().message, QString("Changed"));
        list.grid()->setRow(1);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.deleteSelected();
        QCOMPARE(count(), 0);
    }

    void closingWithoutSavingLeavesTheRowAndRefreshesTheList() {
        const qint64 key = add("Untouched", 1, "Left");
        const qint64 other = add("Deleted elsewhere", 1, "Left");
        ScrollList list(st());
        list.grid()->setRow(1);
        list.editSelected();
        ScrollEditor* ed = list.editor();
        ed->richText()->setPlainText("Typed but never saved");
        c()->execute("delete from tblscroll where scrollAuto=?", {other});
        QCOMPARE(list.grid()->rows(), 3);
        ed->close();
        QCOMPARE(only().message, QString("Untouched"));
        QCOMPARE(only().key, key);
        QCOMPARE(list.grid()->rows(), 2); // refreshed all the same
    }

    void nothingToSaveStoresNothingAndKeepsTheEditorOpen() {
        ScrollEditor ed(st());
        ed.show();
        QVERIFY(!ed.saveMessage());
        ed.richText()->setPlainText("<>/");
        QVERIFY(!ed.saveMessage());
        QCOMPARE(count(), 0);
        QVERIFY(ed.isVisible());
        QCOMPARE(messageBoxes(), QStringList()); // and says nothing
    }

    void aWrongSizeStopsTheSaveBeforeAnythingChanges() {
        ScrollEditor ed(st());
        ed.richText()->setPlainText("Size <test>");
        for (const char* junk : {"abc", "1e10", "-1", "nan", "0", "", "'; drop table tblscroll"}) {
            combo(&ed, "Combo2")->setCurrentText(junk);
            QVERIFY(!ed.saveMessage());
            QCOMPARE(Dialogs::takeMessages().value(0).text, message_text::fontSizeRange);
        }
        QCOMPARE(ed.richText()->toPlainText(), QString("Size <test>"));
        QCOMPARE(count(), 0);
        combo(&ed, "Combo2")->setCurrentText("10.5");
        QVERIFY(ed.saveMessage());
        QCOMPARE(only().size, 10.5);
    }

    void junkTextIsStoredAndReadBackExactly() {
        const QString junk = QString::fromUtf8("it's \"quoted\" '); drop table tblscroll; -- 😀 "
                                               "देवनागरी nan 1e10 -1 \\rtf {braces} ") +
                             QString(5000, QChar(u'x'));
        ScrollEditor ed(st());
        ed.findChild<QPlainTextEdit*>("Text1")->setPlainText(junk);
        ed.findChild<QComboBox*>("Combo1")->setCurrentText("Font 'with' quotes");
        QVERIFY(ed.saveMessage());
        QCOMPARE(only().message, junk);
        QCOMPARE(only().font, QString("Font 'with' quotes"));
        ScrollEditor rich(st());
        rich.richText()->setPlainText(junk);
        QVERIFY(rich.saveMessage());
        QCOMPARE(count(), 2);
        QTextDocument doc;
        RecordSet rs(c(), "select msgrtf from tblscroll order by scrollAuto desc");
        QVERIFY(rtf::read(rs.text(0).toLatin1(), &doc).ok);
        QString withoutMarkup = junk;
        withoutMarkup.remove('<').remove('>').remove('/');
        QCOMPARE(doc.toPlainText(), withoutMarkup);
    }

    void aMessageDeletedWhileEditedIsSavedAgain() {
        const qint64 key = add("Going", 1, "Left");
        ScrollEditor ed(st());
        ed.setScrollEditMode(true);
        ed.setRef(QString::number(key));
        ed.getheadDetails(key);
        c()->execute("delete from tblscroll where scrollAuto=?", {key});
        ed.richText()->setPlainText("Still wanted");
        QVERIFY(ed.saveMessage());
        QCOMPARE(messageBoxes().size(), 1);
        QVERIFY(messageBoxes().at(0).contains("deleted at another station"));
        QCOMPARE(only().message, QString("Still wanted"));
    }

    void unreadableFieldsLeaveTheirControlsAlone() {
        c()->execute("insert into tblscroll (message, active, direction) values ('Bare', 1, "
                     "'Left')");
        ScrollEditor ed(st());
        ed.getheadDetails(only().key);
        QCOMPARE(combo(&ed, "Combo1")->currentText(), QString("Arial"));
        QCOMPARE(combo(&ed, "Combo2")->currentText(), QString("20"));
        QCOMPARE(ed.findChild<ColorSwatch*>("Picture1")->color(), QColor(Qt::black));
        QCOMPARE(ed.findChild<QPlainTextEdit*>("Text1")->toPlainText(), QString("Bare"));
        // A key that is not there loads nothing.
        ed.getheadDetails(only().key + 100);
        QCOMPARE(ed.findChild<QPlainTextEdit*>("Text1")->toPlainText(), QString("Bare"));
    }

private:
    // The message boxes shown (pickers and questions left out).
    static QStringList messageBoxes() {
        QStringList out;
        for (const auto& shown : Dialogs::shownMessages())
            if (shown.kind == Dialogs::Kind::Message) out.append(shown.text);
        return out;
    }
    static QComboBox* combo(QWidget* w, const char* name) {
        return w->findChild<QComboBox*>(QLatin1String(name));
    }
    static QStringList rowTexts(FlexGrid* fg, int row) {
        QStringList out;
        for (int col = 0; col < fg->cols(); ++col)
            out.append(fg->textMatrix(row, col));
        return out;
    }
    qint64 add(const QString& message, int active, const QString& direction) {
        RecordSet rs(c(), "select * from tblscroll where scrollAuto=?", {-1});
        rs.addNew();
        rs.setValue(1, message);
        rs.setValue(2, message);
        rs.setValue(3, message);
        rs.setValue(4, active);
        rs.setValue(5, QString("Arial"));
        rs.setValue(6, 20);
        rs.setValue(7, 0);
        rs.setValue(8, 0);
        rs.setValue(9, 0);
        rs.setValue(10, direction);
        rs.update();
        return rs.number(0);
    }
    int count() { return c()->scalar("select count(*) from tblscroll").toInt(); }
    // The one stored message, read by position as the board reads it.
    Record only() {
        RecordSet rs(c(), "select * from tblscroll order by scrollauto asc");
        if (rs.recordCount() != 1) qWarning() << "rows:" << rs.recordCount();
        Record r;
        if (rs.eof()) return r;
        r.key = rs.number(0);
        r.message = rs.textOrEmpty(1);
        r.msgrtf = rs.textOrEmpty(2);
        r.rtfcopy = rs.textOrEmpty(3);
        r.active = rs.isNull(4) ? -1 : int(rs.number(4));
        r.font = rs.textOrEmpty(5);
        r.size = rs.value(6).toDouble();
        r.color = rs.isNull(7) ? -1 : rs.number(7);
        r.bold = rs.isNull(8) ? -1 : int(rs.number(8));
        r.italic = rs.isNull(9) ? -1 : int(rs.number(9));
        r.direction = rs.textOrEmpty(10);
        return r;
    }
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ScrollMessagesTest)
#include "test_scroll_messages.moc"
