// The editor as a rich text editor: its lists, status line, commands, the
// unsaved-changes question, files opened and dropped, printing.
#include "content/editor_widgets.h"
#include "content/message_text.h"
#include "content/rtf_format.h"
#include "content/rtf_writer.h"
#include "content/scroll_editor.h"
#include "core/connection.h"
#include "core/ui/dialogs.h"
#include "rtf_samples.h"
#include "test_station.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolBar>

using namespace tv;
using namespace tv::test;

class ScrollEditorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(DbEngine::Sqlite);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::setTestMode(true);
        st().settings().set(keys::EditorScrollSpeed, "30");
        st().clock().setFixed(QDateTime(QDate(2026, 3, 2), QTime(9, 45, 10)));
        m_ed = std::make_unique<ScrollEditor>(st());
        m_ed->setPrinters([] { return QList<QPrinterInfo>(); });
    }
    void cleanup() { m_ed.reset(); }

    void itOpensWithTheListsOfTheOldEditor() {
        QCOMPARE(combo("Combo1")->currentText(), QString("Arial"));
        QVERIFY(combo("Combo1")->count() > 0);
        QCOMPARE(combo("Combo2")->currentText(), QString("20"));
        QCOMPARE(combo("Combo2")->count(), 50);
        QCOMPARE(combo("Combo2")->itemText(0), QString("2"));
        QCOMPARE(combo("Combo2")->itemText(49), QString("100"));
        QCOMPARE(items("Combo3"), QStringList({"Normal", "Heading1", "Heading2", "Heading3"}));
        QCOMPARE(items("cmbSpeed"), QStringList({"10", "20", "30", "40", "50", "70", "80", "90"}));
        QVERIFY(!items("cmbSpeed").contains("60"));
        QCOMPARE(combo("cmbSpeed")->currentText(), QString("30"));
        QCOMPARE(items("cmbDir"), QStringList({"Left", "Right"}));
        QCOMPARE(combo("cmbDir")->currentText(), QString("Left"));
        QVERIFY(m_ed->findChild<QCheckBox*>("chkActive")->isChecked());
        QCOMPARE(m_ed->findChild<ColorSwatch*>("Picture1")->color(), QColor(Qt::black));
        QCOMPARE(m_ed->findChild<ColorSwatch*>("Picture2")->color(), QColor(Qt::white));
        QCOMPARE(m_ed->richText()->font().family(), QString("Arial"));
        QCOMPARE(m_ed->richText()->font().pointSizeF(), 20.0);
        QVERIFY(!m_ed->changed());
        // The commands that never worked are there, and off.
        for (const char* off : {"SaveAs", "Print", "Find", "mnuFindNext", "mnuReplace", "BColor"})
            QVERIFY2(!action(off)->isEnabled(), off);
        for (const char* on : {"New", "Open", "Save", "mnuPrint", "Bold", "Bullet", "FColor"})
            QVERIFY2(action(on)->isEnabled(), on);
        // A hand-edited speed that is no number shows the stock one.
        st().settings().set(keys::EditorScrollSpeed, "fast");
        ScrollEditor other(st());
        QCOMPARE(other.findChild<QComboBox*>("cmbSpeed")->currentText(), QString("30"));
    }

    void theSpeedListRemembersAClickAtOnce() {
        combo("cmbSpeed")->setCurrentText("70");
        emit combo("cmbSpeed")->textActivated("70");
        QCOMPARE(st().settings().text(keys::EditorScrollSpeed), QString("70"));
        // Only whole numbers can be typed; an emptied box is not remembered.
        QLineEdit* box = combo("cmbSpeed")->lineEdit();
        for (const char* junk : {"abc", "nan", "'; --", "😀", "-"}) {
            box->clear();
            typeInto(box, QString::fromUtf8(junk));
            QCOMPARE(box->text(), QString());
        }
        m_ed->speedChosen();
        QCOMPARE(st().settings().text(keys::EditorScrollSpeed), QString("70"));
        box->clear();
        typeInto(box, "-1e10");
        QCOMPARE(box->text(), QString("110"));
    }

    void theStatusLineCountsLinesInThousands() {
        QCOMPARE(status(), QString("Line : 1"));
        QStringList lines;
        for (int i = 1; i <= 1300; ++i)
            lines.append(QString("line %1").arg(i));
        m_ed->richText()->setPlainText(lines.join('\n'));
        QTextCursor c(m_ed->richText()->document()->findBlockByNumber(1233));
        m_ed->richText()->setTextCursor(c);
        QCOMPARE(status(), QString("Line : 1,234"));
        QCOMPARE(message_text::lineStatus(1234567, QLocale(QLocale::German)),
                 QString("Line : 1.234.567"));
        QCOMPARE(message_text::lineStatus(999), QString("Line : 999"));
    }

    void formattingCommandsActOnTheSelection() {
        RichTextBox* rich = m_ed->richText();
        rich->setPlainText("one two three");
        select(4, 7); // "two"
        m_ed->setBold();
        m_ed->setItalic();
        m_ed->setUnderline();
        m_ed->setStrikeout();
        Dialogs::setNextColor(QColor(200, 0, 100));
        m_ed->chooseForeColor();
        QCOMPARE(m_ed->findChild<ColorSwatch*>("Picture1")->color(), QColor(200, 0, 100));
        QStringList d = describe(*rich->document());
        QCOMPARE(d,
                 QStringList({"left li0 ri0 fi0 | [Arial 20  auto]one  [Arial 20 BIUS #c80064]two"
                              " [Arial 20  auto] three"}));
        m_ed->setBold(); // and off again
        QVERIFY(!rtf::lookOf(charAt(5), rich->document()->defaultFont()).bold);

        Dialogs::setNextFont(QFont("DejaVu Serif", 30));
        select(0, 3);
        m_ed->chooseFont();
        QCOMPARE(rtf::lookOf(charAt(1), QFont()).family, QString("DejaVu Serif"));
        QCOMPARE(rtf::lookOf(charAt(1), QFont()).points, 30.0);
        QCOMPARE(combo("Combo1")->currentText(), QString("DejaVu Serif"));
        QCOMPARE(combo("Combo2")->currentText(), QString("30"));

        // The style list: a size and bold, and the list's own text size.
        select(8, 13);
        combo("Combo3")->setCurrentText("Heading1");
        m_ed->styleChosen();
        QCOMPARE(rtf::lookOf(charAt(10), QFont()).points, 16.0);
        QVERIFY(rtf::lookOf(charAt(10), QFont()).bold);
        QCOMPARE(combo("Combo3")->font().pointSizeF(), 12.0);

        // The size list: junk is refused, a size goes to the selection and
        // to the Unicode area.
        combo("Combo2")->setCurrentText("huge");
        Dialogs::clearMessages();
        m_ed->sizeChosen();
        QCOMPARE(Dialogs::shownTexts(), QStringList({message_text::fontSizeRange}));
        QCOMPARE(rtf::lookOf(charAt(10), QFont()).points, 16.0);
        combo("Combo2")->setCurrentText("44");
        m_ed->sizeChosen();
        QCOMPARE(rtf::lookOf(charAt(10), QFont()).points, 44.0);
        // Enter in the size box applies what was typed, once.
        for (const auto& [typed, points, said] :
             {std::tuple{"30", 30.0, 0}, std::tuple{"31", 31.0, 0}, std::tuple{"junk", 31.0, 1}}) {
            combo("Combo2")->lineEdit()->setText(typed);
            Dialogs::clearMessages();
            QTest::keyClick(combo("Combo2")->lineEdit(), Qt::Key_Return);
            QCOMPARE(rtf::lookOf(charAt(10), QFont()).points, points);
            QCOMPARE(Dialogs::shownTexts().size(), said);
        }
        QCOMPARE(m_ed->findChild<QPlainTextEdit*>("Text1")->font().pointSizeF(), 31.0);
    }

    void paragraphsTakeAlignmentAndBullets() {
        RichTextBox* rich = m_ed->richText();
        rich->setPlainText("first\nsecond\nthird");
        select(0, 10);
        m_ed->toggleBullets();
        QVERIFY(rich->document()->findBlockByNumber(0).textList());
        QVERIFY(rich->document()->findBlockByNumber(1).textList());
        QVERIFY(!rich->document()->findBlockByNumber(2).textList());
        m_ed->toggleBullets();
        QVERIFY(!rich->document()->findBlockByNumber(0).textList());
        QVERIFY(!rich->document()->findBlockByNumber(1).textList());
        action("Center")->trigger();
        QCOMPARE(rich->document()->findBlockByNumber(0).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        action("Right")->trigger();
        QVERIFY(rich->alignment() & Qt::AlignRight);
    }

    void wordCaseKeepsEachPiecesLook() {
        RichTextBox* rich = m_ed->richText();
        rich->setPlainText("straße Mixed");
        select(7, 12);
        m_ed->setBold();
        select(0, 12);
        action("mnuUpper")->trigger();
        QCOMPARE(rich->toPlainText(), QString("STRASSE MIXED"));
        QVERIFY(rtf::lookOf(charAt(10), QFont()).bold);
        QVERIFY(!rtf::lookOf(charAt(2), QFont()).bold);
        QCOMPARE(rich->textCursor().selectedText(), QString("STRASSE MIXED"));
        action("mnuLower")->trigger();
        QCOMPARE(rich->toPlainText(), QString("strasse mixed"));
    }

    void theClipboardCommandsUsePlainText() {
        RichTextBox* rich = m_ed->richText();
        rich->setPlainText("cut me");
        select(0, 3);
        m_ed->setBold();
        QApplication::clipboard()->setText("before");
        select(0, 0);
        action("Copy")->trigger(); // nothing selected: the clipboard stays
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        select(0, 3);
        action("Cut")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("cut"));
        QVERIFY(!QApplication::clipboard()->mimeData()->hasHtml());
        QCOMPARE(rich->toPlainText(), QString(" me"));
        select(3, 3);
        action("Paste")->trigger();
        QCOMPARE(rich->toPlainText(), QString(" mecut"));
        select(0, 1);
        action("Delete")->trigger();
        QCOMPARE(rich->toPlainText(), QString("mecut"));
        action("Undo")->trigger();
        QCOMPARE(rich->toPlainText(), QString(" mecut"));
    }

    void keysOfTheTextBox() {
        RichTextBox* rich = m_ed->richText();
        rich->setFocus();
        QTest::keyClick(rich, Qt::Key_A);
        QTest::keyClick(rich, Qt::Key_Tab);
        QTest::keyClick(rich, Qt::Key_B);
        QCOMPARE(rich->toPlainText(), QString("a\tb"));
        QCOMPARE(panel("ins"), QString("INS"));
        QTest::keyClick(rich, Qt::Key_Insert);
        QCOMPARE(panel("ins"), QString("OVR"));
        QTest::keyClick(rich, Qt::Key_Home);
        QTest::keyClick(rich, Qt::Key_X);
        QCOMPARE(rich->toPlainText(), QString("x\tb"));
        QCOMPARE(panel("date"), QLocale().toString(QDate(2026, 3, 2), QLocale::ShortFormat));
    }

    void unsavedChangesAreAskedAbout() {
        m_ed->richText()->setPlainText("work in progress");
        QVERIFY(m_ed->changed());
        Dialogs::setNextAnswer(QMessageBox::Cancel);
        m_ed->newFile();
        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QString("Penwick"));
        QCOMPARE(shown[0].text, QString("The text in the untitled file has changed.\r\n"
                                        "Do you want to save the changes ?"));
        QCOMPARE(m_ed->richText()->toPlainText(), QString("work in progress"));
        // No empty answer is taken for a No: an unanswered question keeps the text.
        m_ed->newFile();
        QCOMPARE(m_ed->richText()->toPlainText(), QString("work in progress"));
        Dialogs::setNextAnswer(QMessageBox::No);
        m_ed->newFile();
        QCOMPARE(m_ed->richText()->toPlainText(), QString());
        QCOMPARE(m_ed->windowTitle(), QString("Untitled - "));
        QVERIFY(!m_ed->changed());
        m_ed->newFile(); // nothing changed: no question
        QCOMPARE(Dialogs::shownMessages().size(), 2);
        // Yes saves the message (and the save closes the editor).
        m_ed->show();
        m_ed->richText()->setPlainText("keep this");
        Dialogs::setNextAnswer(QMessageBox::Yes);
        m_ed->newFile();
        QCOMPARE(st().dbConnection->scalar("select message from tblscroll").toString(),
                 QString("keep this"));
        QVERIFY(!m_ed->isVisible());
    }

    void openReadsRichTextAndTextAndRefusesWordFiles() {
        QTemporaryDir dir;
        QTextDocument sample;
        rtf::CharLook bigBold;
        bigBold.family = "Arial";
        bigBold.points = 30;
        bigBold.bold = true;
        QTextCursor(&sample).insertText("Formatted", rtf::toCharFormat(bigBold));
        const QString rtfFile = write(dir, "news.rtf", rtf::write(sample));
        const QString utf8 = write(dir, "hindi.txt", QString::fromUtf8("नमस्ते\nदुनिया").toUtf8());
        const QString latin1 = write(dir, "old.txt", QByteArray("caf\xe9"));
        const QString word = write(dir, "letter.doc",
                                   QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
                                              "junk",
                                              12));
        const QString binary = write(dir, "picture.png", QByteArray("\x89PNG\0\0\0", 8));
        const QString notRtf = write(dir, "fake.rtf", "plain words");

        m_ed->richText()->setPlainText("before");
        Dialogs::setNextAnswer(QMessageBox::No);
        Dialogs::setNextFileName(rtfFile);
        m_ed->openFile();
        QCOMPARE(m_ed->windowTitle(), QString(" Scroll Editor"));
        QCOMPARE(describe(*m_ed->richText()->document()),
                 QStringList({"left li0 ri0 fi0 | [Arial 30 B auto]Formatted"}));
        auto open = [&](const QString& path) {
            Dialogs::setNextAnswer(QMessageBox::No);
            Dialogs::setNextFileName(path);
            m_ed->openFile();
            return m_ed->richText()->toPlainText();
        };
        QCOMPARE(open(utf8), QString::fromUtf8("नमस्ते\nदुनिया"));
        QCOMPARE(open(latin1), QString::fromUtf8("café"));
        Dialogs::clearMessages();
        for (const QString& refused : {word, binary, notRtf}) {
            QCOMPARE(open(refused), QString::fromUtf8("café"));
            const auto shown = Dialogs::takeMessages();
            QCOMPARE(shown.last().kind, Dialogs::Kind::Message);
        }
        QCOMPARE(open(word), QString::fromUtf8("café"));
        QVERIFY(Dialogs::shownTexts().last().contains("Word documents cannot be read here"));
        // The picker cancelled: nothing happens.
        Dialogs::setNextAnswer(QMessageBox::No);
        Dialogs::setNextFileName("");
        m_ed->openFile();
        QCOMPARE(m_ed->richText()->toPlainText(), QString::fromUtf8("café"));
        // A damaged RTF file: the readable part, and a word about the rest.
        const QString cut = write(dir, "cut.rtf", "{\\rtf1 half a mess");
        Dialogs::clearMessages();
        QCOMPARE(open(cut), QString("half a mess"));
        QVERIFY(Dialogs::shownTexts().last().contains("cut short"));
        // Text saved as UTF-16 with its byte order mark.
        QByteArray utf16 = "\xFF\xFE";
        for (const QChar ch : QString::fromUtf8("Ünï 😀"))
            utf16 += QByteArray(reinterpret_cast<const char*>(&ch), 2);
        QCOMPARE(open(write(dir, "wide.txt", utf16)), QString::fromUtf8("Ünï 😀"));
    }

    void droppedFilesAskFirstAndNameTheWindow() {
        QTemporaryDir dir;
        const QString file = write(dir, "dropped.txt", "from a drop");
        m_ed->richText()->setPlainText("mine");
        Dialogs::setNextAnswer(QMessageBox::Cancel);
        dropOn(m_ed->richText()->viewport(), file);
        QCOMPARE(m_ed->richText()->toPlainText(), QString("mine"));
        Dialogs::setNextAnswer(QMessageBox::No);
        dropOn(m_ed->richText()->viewport(), file);
        QCOMPARE(m_ed->richText()->toPlainText(), QString("from a drop"));
        QCOMPARE(m_ed->windowTitle(), QString("dropped.txt - "));
        // On the toolbar the window takes it.
        const QString second = write(dir, "second.txt", "second drop");
        Dialogs::setNextAnswer(QMessageBox::No);
        dropOn(m_ed->findChild<QToolBar*>("Toolbar1"), second);
        QCOMPARE(m_ed->richText()->toPlainText(), QString("second drop"));
        QCOMPARE(m_ed->windowTitle(), QString("second.txt - "));
    }

    void withoutAPrinterThePrintBecomesAPdf() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext is missing: run tools/install-deps.sh");
        QTemporaryDir dir;
        m_ed->richText()->setPlainText("Printed message\nsecond line");
        Dialogs::setNextFileName(dir.filePath("all"));
        m_ed->printMessage();
        QVERIFY(Dialogs::shownMessages().last().kind == Dialogs::Kind::SaveFile);
        // Each page carries its number at the foot.
        QCOMPARE(pdfText(dir.filePath("all.pdf")).simplified(),
                 QString("Printed message second line 1"));
        // Only the selection, when asked for.
        select(0, 7);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        Dialogs::setNextFileName(dir.filePath("part.pdf"));
        m_ed->printMessage();
        QCOMPARE(pdfText(dir.filePath("part.pdf")).simplified(), QString("Printed 1"));
        // A place that cannot be written says so.
        Dialogs::setNextAnswer(QMessageBox::No);
        Dialogs::setNextFileName(dir.filePath("missing/folder/x.pdf"));
        Dialogs::clearMessages();
        m_ed->printMessage();
        QVERIFY(Dialogs::shownTexts().last().startsWith("The PDF file cannot be written"));
        // The editor's own text keeps its layout and its words.
        QCOMPARE(m_ed->richText()->toPlainText(), QString("Printed message\nsecond line"));
    }

    void exitEndsTheProgram() {
        QSignalSpy end(m_ed.get(), &ScrollEditor::programEndRequested);
        action("mnuExit")->trigger();
        QCOMPARE(end.size(), 1);
    }

private:
    Station& st() { return m_db->station(); }
    QComboBox* combo(const char* name) { return m_ed->findChild<QComboBox*>(name); }
    QAction* action(const char* name) { return m_ed->findChild<QAction*>(name); }
    QString panel(const char* name) { return m_ed->findChild<QLabel*>(name)->text(); }
    QString status() { return m_ed->statusText(); }
    QStringList items(const char* name) {
        QStringList out;
        for (int i = 0; i < combo(name)->count(); ++i)
            out.append(combo(name)->itemText(i));
        return out;
    }
    void select(int from, int to) {
        QTextCursor c(m_ed->richText()->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        m_ed->richText()->setTextCursor(c);
    }
    // The format of the character before `position`.
    QTextCharFormat charAt(int position) {
        QTextCursor c(m_ed->richText()->document());
        c.setPosition(position);
        return c.charFormat();
    }
    // Key presses carrying each character, as a keyboard (or an input method) sends them.
    static void typeInto(QWidget* w, const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n = text.at(i).isHighSurrogate() ? 2 : 1;
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text.mid(i, n));
            QApplication::sendEvent(w, &press);
            i += n - 1;
        }
    }
    static QString write(QTemporaryDir& dir, const QString& name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly)) return {};
        f.write(data);
        return f.fileName();
    }
    static void dropOn(QWidget* target, const QString& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    static QString pdfText(const QString& file) {
        QProcess p;
        p.start("pdftotext", {file, "-"});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    std::unique_ptr<TestStation> m_db;
    std::unique_ptr<ScrollEditor> m_ed;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScrollEditorTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_scroll_editor.moc"
