// The theme list and the theme editor as an administrator uses them: fields
// and their checks, saving, the pickers and swatches, the windows the editor
// opens, and the live preview of the board.
#include "app/demo_hall.h"
#include "app/main_window.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/colors.h"
#include "core/ui/counter_select_window.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "display/clock_widget.h"
#include "display/title_band.h"
#include "display/ticker.h"
#include "test_station.h"
#include "themes/clock_chooser.h"
#include "themes/header_editor.h"
#include "themes/layout_designer.h"
#include "themes/theme_editor.h"
#include "themes/theme_fields.h"
#include "themes/theme_list_window.h"
#include "themes/theme_preview.h"
#include "themes/theme_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>

using namespace tv;
using namespace tv::test;

class ThemeWindowsTest : public QObject {
    Q_OBJECT

public:
    explicit ThemeWindowsTest(DbEngine e) : m_engine(e) {}

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

    void editorStartsWithItsStartingTexts() {
        st().settings().set(keys::PictureDuration, "7");
        ThemeEditor e(st());
        QCOMPARE(e.objectName(), QString("frmTheme"));
        QCOMPARE(e.text("txtColumn"), QString("2"));
        QCOMPARE(e.text("txtRow"), QString("12"));
        QCOMPARE(e.text("txtRHeight"), QString("500"));
        QCOMPARE(e.text("tblLine"), QString("1"));
        QCOMPARE(e.text("txtVol"), QString("5"));
        QCOMPARE(e.text("txtTformat"), QString("dd-MMM-yyyy HH:mm"));
        QCOMPARE(e.text("lblNewsBG"), QString("4210752"));
        QCOMPARE(e.text("chktime"), QString("0"));
        QCOMPARE(e.text("cmbType"), QString("Vertical"));
        QCOMPARE(line(e, "txtTime")->text(), QString("7")); // the station's setting
        QCOMPARE(line(e, "txtint")->text(), QString("3000"));
        QCOMPARE(line(e, "Text3")->text(), QString("1024"));
        QCOMPARE(line(e, "Text4")->text(), QString("768"));
        auto* type = e.findChild<QComboBox*>("cmbType");
        QCOMPARE(type->count(), 2);
        QCOMPARE(type->itemText(1), QString("Horrizontal"));
        const int families = int(QFontDatabase::families().size());
        for (const char* name : {"cmbFont", "cmbRowFont", "cmbHFont", "cmbVFont", "cmbTtlFont"})
            QCOMPARE(e.findChild<QComboBox*>(name)->count(), families);
        for (const char* name : {"cmbTSize", "cmbRFsize", "cmbHFSize", "cmbTtlSize", "cmbVFSize"}) {
            auto* c = e.findChild<QComboBox*>(name);
            QCOMPARE(c->count(), 25);
            QCOMPARE(c->itemText(24), QString("50"));
        }
        // Scroll settings have nothing to do: shown off, and saying so.
        auto* scroll = e.findChild<QPushButton*>("Command8");
        QVERIFY(!scroll->isEnabled());
        QVERIFY(scroll->toolTip().contains("no function"));
        // A theme not saved yet has no number to place or filter by.
        for (const char* name : {"Command4", "Command11", "Command6"})
            QVERIFY(!e.findChild<QPushButton*>(name)->isEnabled());
        QVERIFY(e.findChild<QPushButton*>("Command5")->isEnabled());
        QCOMPARE(e.texts().size(), 46);

        // The tab key goes down each column of the form.
        QStringList order;
        for (QWidget* w = e.findChild<QWidget*>("txtName"); order.size() < 9;
             w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty())
                order << w->objectName();
        QCOMPARE(order, QStringList({"txtName", "cmbType", "txtColumn", "txtRow", "txtColWidth",
                                     "txtRHeight", "tblLine", "lblBG", "txtttl"}));
    }

    void fieldChecksOnLeavingAField() {
        ThemeEditor e(st());
        const auto leaveWith = [&](const char* name, const QString& text) {
            QLineEdit* box = line(e, name);
            box->setText(text);
            QFocusEvent out(QEvent::FocusOut);
            QApplication::sendEvent(box, &out);
            return box->text();
        };
        QCOMPARE(leaveWith("txtVol", "11"), QString("5"));
        QCOMPARE(leaveWith("txtVol", "-1"), QString("-1")); // left for the save check
        QCOMPARE(leaveWith("tblLine", "0"), QString("1"));
        QCOMPARE(leaveWith("txtRow", "twelve"), QString("2"));
        QCOMPARE(leaveWith("txtRHeight", "1e"), QString("200"));
        QCOMPARE(leaveWith("txtTime", "soon"), QString("5"));
        QCOMPARE(leaveWith("txtint", "\U0001F600"), QString("3000"));
        QCOMPARE(leaveWith("txtColumn", "3"), QString("3"));
        QCOMPARE(e.text("txtColWidth"), QString("2500;2500;2500"));
        QCOMPARE(leaveWith("txtColumn", "2"), QString("2"));
        QCOMPARE(e.text("txtColWidth"), QString("2500;2500;2500")); // not empty: left alone
        QCOMPARE(leaveWith("txtColumn", "x"), QString("2"));
    }

    void saveChecksThenStoresAndHides() {
        ThemeEditor e(st());
        QSignalSpy saved(&e, &ThemeEditor::saved);
        e.show();
        e.setText("txtColumn", "3");
        e.setText("txtColWidth", "3000;2000");
        line(e, "txtTime")->setText("9");
        QVERIFY(!e.Command3_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Please Enter a valid colum widths"));
        // The station's slide duration is kept whatever the checks say.
        QCOMPARE(st().settings().text(keys::PictureDuration), QString("9"));
        e.setText("txtColWidth", "");
        QVERIFY(!e.Command3_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Please Enter a valid colum widths"));
        e.setText("txtColumn", "2");
        e.setText("txtColWidth", "2500;2500");
        QVERIFY(!e.Command3_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Please select a name"));
        e.setText("txtName", "Hall");
        e.setText("cmbTtlSize", "-4");
        QVERIFY(!e.Command3_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Font Size (Title) must be a number from 1 to 400"));
        QVERIFY(e.isVisible());
        QCOMPARE(e.text("txtName"), QString("Hall"));
        QCOMPARE(count("select * from tbltheme"), 0);

        e.setText("cmbTtlSize", "30");
        e.findChild<QPushButton*>("Command3")->click();
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QCOMPARE(saved.count(), 1);
        QVERIFY(!e.isVisible());
        QCOMPARE(c1("select ttlsize from tbltheme where themename='Hall'").toDouble(), 30.0);
    }

    void loadingLocksTheTypeAndAddNewFreesIt() {
        const qint64 key = addTheme("Evening", "Horrizontal");
        ThemeEditor e(st());
        e.setRef(QString::number(key));
        e.getData();
        auto* type = e.findChild<QComboBox*>("cmbType");
        QVERIFY(!type->isEnabled());
        QCOMPARE(type->currentText(), QString("Horrizontal"));
        QCOMPARE(e.text("txtName"), QString("Evening"));
        QCOMPARE(e.text("lblBGClr"), QString::number(colors::rgb(1, 2, 3)));
        QVERIFY(e.findChild<QPushButton*>("Command4")->isEnabled());
        e.addNew();
        QVERIFY(type->isEnabled());
        QCOMPARE(e.ref(), QString());
        QCOMPARE(e.text("txtName"), QString("Evening")); // the fields keep what they held
        QVERIFY(!e.findChild<QPushButton*>("Command4")->isEnabled());
        // A type no list entry has is kept rather than lost.
        exec("update tbltheme set type='Sideways'");
        e.setRef(QString::number(key));
        e.getData();
        QCOMPARE(type->currentText(), QString("Sideways"));
        // A theme that is gone leaves the fields as they were.
        exec("delete from tbltheme");
        e.setText("txtName", "typed");
        e.getData();
        QCOMPARE(e.text("txtName"), QString("typed"));
    }

    void pickersSwatchesAndTheDeleteKey() {
        ThemeEditor e(st());
        Dialogs::setNextFileName("/pictures/logo.jpg");
        e.findChild<QPushButton*>("cmdLogo")->click();
        QCOMPARE(e.text("txtlogo"), QString("/pictures/logo.jpg"));
        QCOMPARE(Dialogs::takeMessages().value(0).kind, Dialogs::Kind::OpenFile);
        Dialogs::setNextFileName(""); // cancelled
        e.pick("txtlogo");
        QCOMPARE(e.text("txtlogo"), QString("/pictures/logo.jpg"));
        for (const char* name : {"txtImg1", "txtImg2", "txtTbkBack", "txtVideo"}) {
            Dialogs::setNextFileName(QString("/media/%1.x").arg(name));
            e.pick(name);
            QCOMPARE(e.text(name), QString("/media/%1.x").arg(name));
        }
        auto* logo = line(e, "txtlogo");
        QVERIFY(logo->isReadOnly());
        QTest::keyClicks(logo, "typed");
        QCOMPARE(logo->text(), QString("/pictures/logo.jpg"));
        QTest::keyClick(logo, Qt::Key_Delete);
        QCOMPARE(logo->text(), QString());

        auto* swatch = e.findChild<Swatch*>("lblttlClr");
        Dialogs::setNextColor(QColor(10, 20, 30));
        QTest::mouseClick(swatch, Qt::LeftButton);
        QCOMPARE(e.text("lblttlClr"), QString::number(colors::rgb(10, 20, 30)));
        Dialogs::setNextColor(QColor()); // cancelled
        QTest::mouseClick(swatch, Qt::LeftButton);
        QCOMPARE(swatch->value(), colors::rgb(10, 20, 30));
        QCOMPARE(swatch->palette().color(QPalette::Window), QColor(10, 20, 30));
    }

    void junkInEveryBoxIsKeptOrRefusedClearly() {
        ThemeListWindow list(st());
        list.Command1_Click();
        ThemeEditor* e = list.existingEditor();
        e->setText("txtColWidth", "2500;2500");
        const QStringList junk{"' or '1'='1",
                               "'); drop table tbltheme; --",
                               QString(5000, 'x'),
                               "\U0001F600\U0001F389",
                               "रक्त परीक्षण",
                               "nan",
                               "1e10",
                               "-1"};
        QStringList typed; // the boxes and lists that take any text
        for (const theme::Field& f : theme::fields())
            if (f.kind == theme::Kind::Text && QString(f.control) != "txtColWidth" &&
                QString(f.control) != "cmbType")
                typed << f.control;
        for (const QString& j : junk) {
            for (const QString& name : typed)
                e->setText(name, j);
            QVERIFY2(e->Command3_Click(), qPrintable(Dialogs::shownTexts().join('|')));
            QCOMPARE(list.grid()->rows(), 2); // saved once, then edited
            list.grid()->setRow(1);
            list.Command2_Click();
            for (const QString& name : typed)
                QCOMPARE(e->text(name), j);
        }
        // A number box holding no number the board can use is refused with
        // its name, and nothing is stored.
        const QString stored = c1("select rows from tbltheme");
        for (const char* name : {"txtRow", "cmbHFSize", "txtRHeight", "txtVol", "tblLine"}) {
            const QString was = e->text(name);
            for (const QString& j : junk) {
                e->setText(name, j);
                QVERIFY2(!e->Command3_Click(), qPrintable(QString(name) + " " + j.left(20)));
                QVERIFY(Dialogs::takeMessages().value(0).text.startsWith(
                    QString(theme::fields().at(theme::indexOf(name)).caption)));
            }
            e->setText(name, was);
        }
        QCOMPARE(c1("select rows from tbltheme"), stored);
        QVERIFY(e->Command3_Click());
    }

    void listRunsNumbersAndAsksBeforeDeleting() {
        for (const char* name : {"One", "Two", "Three"})
            addTheme(name, "Vertical");
        ThemeListWindow list(st());
        FlexGrid* fg = list.grid();
        QCOMPARE(list.objectName(), QString("frmThLst"));
        QCOMPARE(list.windowTitle(), QString("Theme List"));
        QCOMPARE(fg->cols(), 6);
        QCOMPARE(fg->colWidth(0), 1);
        QCOMPARE(fg->colWidth(1), 500);
        QCOMPARE(fg->colWidth(4), 4000);
        QCOMPARE(fg->textMatrix(0, 3), QString("Template Name"));
        QCOMPARE(fg->rows(), 4);
        QCOMPARE(fg->textMatrix(3, 1), QString("3"));

        fg->setRow(0); // the heading: nothing happens
        list.Command3_Click();
        list.Command2_Click();
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QVERIFY(!list.existingEditor());

        int two = 0;
        for (int r = 1; r < fg->rows(); ++r)
            if (fg->textMatrix(r, 3) == "Two") two = r;
        fg->setRow(two);
        Dialogs::setNextAnswer(QMessageBox::No);
        list.Command3_Click();
        QVERIFY(Dialogs::takeMessages().value(0).text.startsWith(
            "Do you want to delete the selected theme \"Two\"?"));
        QCOMPARE(fg->rows(), 4);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.Command3_Click();
        QCOMPARE(fg->rows(), 3);
        QCOMPARE(fg->textMatrix(1, 1), QString("1"));
        QCOMPARE(fg->textMatrix(2, 1), QString("2"));
        QCOMPARE(count("select * from tbltheme where themename='Two'"), 0);

        // A double click edits; the save reloads the list.
        emit fg->cellDoubleClicked(1, 3);
        ThemeEditor* e = list.existingEditor();
        QVERIFY(e && e->isVisible());
        QCOMPARE(e->ref(), fg->textMatrix(1, 0));
        e->setText("txtName", "Renamed");
        QVERIFY(e->Command3_Click());
        QVERIFY(fg->textMatrix(1, 3) == "Renamed" || fg->textMatrix(2, 3) == "Renamed");
    }

    void editorOpensItsWindowsForASavedTheme() {
        const qint64 key = addTheme("Hall", "Horrizontal");
        QTemporaryDir clocks;
        QFile::copy(QStringLiteral(TALLYVOX_CLOCK_SOURCES "/plain.svg"),
                    clocks.filePath("plain.svg"));
        ThemeEditor e(st());
        e.setClockFolder(clocks.path());
        e.setHallScreen(QSize(1920, 1080));
        e.Command4_Click(); // not saved yet: nothing opens
        e.Command11_Click();
        e.Command6_Click();
        QVERIFY(!e.designer() && !e.counterWindow() && !e.headerEditor());
        e.setRef(QString::number(key));
        e.getData();

        e.Command4_Click();
        QVERIFY(e.designer() && e.designer()->isVisible());
        QCOMPARE(e.designer()->ref(), QString::number(key));
        QCOMPARE(e.designer()->surface()->size(), QSize(960, 540)); // a landscape hall screen
        e.Command11_Click();
        QVERIFY(e.counterWindow() && e.counterWindow()->isVisible());
        QCOMPARE(e.counterWindow()->theme(), int(key));

        e.Command5_Click();
        ClockChooser* chooser = e.clockChooser();
        QCOMPARE(chooser->files()->count(), 1);
        chooser->files()->setCurrentRow(0);
        chooser->select();
        QCOMPARE(e.text("txtFormat"), QString("plain.svg"));

        e.Command6_Click();
        HeaderEditor* header = e.headerEditor();
        QCOMPARE(header->boxes().size(), 2); // one box a column
        header->boxes().at(0)->setText("Ticket");
        header->boxes().at(1)->setText("Go to 'desk'");
        QVERIFY(header->save());
        QCOMPARE(c1("select hdrtext2 from tblheader"), QString("Go to 'desk'"));
        e.Command6_Click();
        QCOMPARE(e.headerEditor()->boxes().at(1)->text(), QString("Go to 'desk'"));
        e.headerEditor()->close();

        // The preview shows those captions in place of Column1 and Column2.
        e.setText("chkHeader", "1");
        e.showPreview();
        DisplayBoard* board = e.previewWindow()->board();
        QCOMPARE(board->grid()->textMatrix(0, 1), QString("Ticket"));
        QVERIFY(e.previewWindow()->notes().join('\n').contains("Header"));
    }

    void previewFollowsTheFields() {
        QTemporaryDir dir;
        QFile notClock(dir.filePath("face.svg"));
        QVERIFY(notClock.open(QIODevice::WriteOnly));
        notClock.write("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                       "<circle cx='5' cy='5' r='4'/></svg>");
        notClock.close();
        ThemeEditor e(st());
        e.setClockFolder(dir.path());
        e.setHallScreen(QSize(1920, 1080));
        e.setText("txtName", "Preview me");
        e.setText("txtColWidth", "2000;3000");
        e.setText("txtRow", "4");
        e.setText("txtttl", "Welcome");
        e.showPreview();
        ThemePreviewWindow* p = e.previewWindow();
        QVERIFY(p->isVisible());
        DisplayBoard* board = p->board();
        QVERIFY(board->previewing());
        QCOMPARE(board->title()->text(), QString("Welcome"));
        QCOMPARE(board->grid()->rows(), 5);
        QCOMPARE(board->grid()->textMatrix(1, 1), QString(" A12"));
        QVERIFY(board->tickerOn());
        QVERIFY(!p->frame().isNull());
        QVERIFY(p->notes().join('\n').contains("no saved layout yet"));
        // Every swatch starts with the same grey: the title and both columns
        // are written in the colour behind them.
        QVERIFY(p->notes().contains(
            "Title: the font colour is the colour behind it, so it cannot be seen."));
        QVERIFY(p->notes().join('\n').contains("Second Column: the font colour"));
        QVERIFY(!p->notes().join('\n').contains("Header: the font colour")); // not shown
        // A vertical display is a portrait screen.
        QCOMPARE(board->size(), QSize(1080, 1920));

        QVERIFY(!e.previewPending());
        e.setText("txtttl", "Changed");
        QVERIFY(e.previewPending()); // shown a moment after the typing stops
        e.findChild<Swatch*>("lblNewsBG")->setValue(colors::rgb(200, 0, 0));
        e.findChild<Swatch*>("lblttlClr")->setValue(colors::rgb(255, 255, 255));
        e.setText("txtRow", "six");
        e.setText("txtlogo", dir.filePath("missing.jpg"));
        e.setText("chktime", "1");
        e.setText("txtFormat", "face.svg");
        e.setText("txtColWidth", "2000;-5");
        e.setText("cmbType", "Horrizontal");
        e.refreshPreview(); // otherwise a moment after the last change
        QCOMPARE(board->title()->text(), QString("Changed"));
        QVERIFY(!e.previewPending());
        QCOMPARE(board->newsBand()->palette().color(QPalette::Window), QColor(200, 0, 0));
        QCOMPARE(board->size(), QSize(1920, 1080));
        const QString notes = p->notes().join('\n');
        QVERIFY2(notes.contains("Rows must be a whole number from 1 to 50"), qPrintable(notes));
        QVERIFY(notes.contains("Logo: missing.jpg cannot be found"));
        QVERIFY(notes.contains("Clock: ") && notes.contains("no clock hands"));
        QVERIFY(notes.contains("Column Width \"2000;-5\""));
        QVERIFY(notes.contains("Time: the font colour")); // the clock shows as text
        QVERIFY(!notes.contains("News"));
        QVERIFY(!notes.contains("Title: the font colour"));
        QVERIFY(!board->clock()->analog()); // the time shows as text instead
        // Nothing of it was stored.
        QCOMPARE(count("select * from tbltheme"), 0);
        const QString keep = qEnvironmentVariable("TALLYVOX_KEEP_SCREENSHOTS");
        if (!keep.isEmpty()) {
            p->resize(1000, 640);
            QApplication::processEvents();
            p->grab().save(keep + "/theme_preview_junk.png");
        }
    }

    void previewTakesTheStoredLayoutAndSaysWhatItSkips() {
        const qint64 key = addTheme("Laid out", "Horrizontal");
        exec("insert into tblpos (themeauto, tblleft, tbltop, tblwidth, tblheight) "
             "values (?, 1000, 500, 3000, 2000)",
             {key});
        const PreviewParts parts =
            buildPreview(st(), texts(key), QString::number(key), QString(), QSize(1920, 1080));
        QCOMPARE(parts.preview.design.pos.value("tblleft").toInt(), 1000);
        QCOMPARE(parts.preview.design.pos.value("tblwidth").toInt(), 3000);
        QVERIFY(parts.preview.design.pos.value("logoleft").toInt() > 0); // the standard place
        const QString notes = parts.notes.join('\n');
        QVERIFY2(notes.contains("no usable value in logoleft"), qPrintable(notes));
        QVERIFY(!notes.contains("tblleft"));
        QCOMPARE(parts.preview.screen, QSize(1920, 1080));
        QCOMPARE(parts.preview.calls.size(), 12);
        QCOMPARE(sampleCalls(60).size(), 50);
    }

    void theDemoThemeOpensAsTheHallSeesIt() {
        fillDemoHall(st());
        ThemeListWindow list(st());
        list.show();
        list.grid()->setRow(1);
        list.Command2_Click();
        ThemeEditor* e = list.existingEditor();
        QVERIFY(e && e->isVisible());
        e->setClockFolder(QStringLiteral(TALLYVOX_CLOCK_SOURCES));
        e->setHallScreen(QSize(1920, 1080));
        QCOMPARE(e->text("cmbType"), QString("Horrizontal"));
        QVERIFY(!e->field("cmbType")->isEnabled());
        QCOMPARE(e->text("txtFormat"), QString("station.svg"));

        e->showPreview();
        ThemePreviewWindow* p = e->previewWindow();
        DisplayBoard* board = p->board();
        QCOMPARE(board->size(), QSize(1920, 1080));
        QCOMPARE(board->grid()->rows(), 8); // the header and seven sample calls
        QVERIFY(board->clock()->analog());  // the station dial, not the text clock
        // The demo's stored layout, at twice its size: the list's left edge
        // (300 twips) is 40 pixels on the hall screen.
        QCOMPARE(board->grid()->geometry().left(), 40);
        // Every field of the demo can be shown as it is.
        QVERIFY2(p->notes().isEmpty(), qPrintable(p->notes().join('\n')));

        e->Command4_Click();
        LayoutDesigner* d = e->designer();
        QCOMPARE(d->surface()->size(), QSize(960, 540));
        e->Command5_Click();
        ClockChooser* chooser = e->clockChooser();
        chooser->files()->setCurrentRow(chooser->files()->count() - 1);
        QVERIFY(chooser->preview()->analog());

        // For the eye: TALLYVOX_KEEP_SCREENSHOTS names a folder for pictures.
        const QString keep = qEnvironmentVariable("TALLYVOX_KEEP_SCREENSHOTS");
        if (keep.isEmpty()) return;
        d->design();
        QTest::mouseClick(d->element(layout::Table), Qt::LeftButton, {}, QPoint(20, 20));
        // The outline half way through pulling the video area's corner handle.
        d->show();
        QApplication::processEvents();
        QWidget* corner = d->handle(4);
        QTest::mouseClick(d->element(layout::Video), Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(2, 2),
                         QPointF(corner->mapToGlobal(QPoint(2, 2))), Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(corner, &down);
        const QPoint to = d->surface()->mapToGlobal(QPoint(700, 380));
        QMouseEvent drag(QEvent::MouseMove, QPointF(d->surface()->mapFromGlobal(to)), QPointF(to),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(d->surface(), &drag);
        d->grab().save(keep + "/layout_designer_drag.png");
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(d->surface()->mapFromGlobal(to)),
                       QPointF(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(d->surface(), &up);
        p->resize(1000, 640);
        // Until the news band's first message has come well into the screen.
        QTRY_VERIFY_WITH_TIMEOUT(board->ticker()->labels().size() > 1 &&
                                     board->ticker()->labels().at(1)->x() < board->width() - 480,
                                 20000);
        p->grabFrame();
        e->grab().save(keep + "/theme_editor.png");
        p->grab().save(keep + "/theme_preview.png");
        d->grab().save(keep + "/layout_designer_after.png");
        chooser->grab().save(keep + "/clock_chooser.png");
        list.grab().save(keep + "/theme_list.png");
    }

    void themeListOpensFromTheConsole() {
        MainWindow w(st());
        w.show();
        QAction* item = w.action("thmLst");
        QVERIFY(item->isEnabled());
        item->trigger();
        auto* list = w.area()->findChild<ThemeListWindow*>();
        QVERIFY(list);
        item->trigger(); // once only
        QCOMPARE(w.area()->findChildren<ThemeListWindow*>().size(), 1);
        QCOMPARE(w.area()->subWindowList().size(), 1);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& binds = {}) {
        st().dbConnection->execute(sql, binds);
    }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() ? rs.textOrEmpty(0) : QString();
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    static QLineEdit* line(QWidget& w, const char* name) {
        auto* e = w.findChild<QLineEdit*>(name);
        if (!e) qFatal("no box %s", name);
        return e;
    }
    qint64 addTheme(const QString& name, const QString& type) {
        exec("insert into tbltheme (themename, type, colums, rows, colwidth, backgroundclr)"
             " values (?, ?, 2, 12, '2500;2500', ?)",
             {name, type, qint64(colors::rgb(1, 2, 3))});
        RecordSet rs(st().dbConnection, "select themeauto from tbltheme where themename=?", {name});
        return rs.number(0);
    }
    QStringList texts(qint64 key) {
        ThemeEditor e(st());
        e.setRef(QString::number(key));
        e.getData();
        return e.texts();
    }

    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ThemeWindowsTest)
#include "test_theme_windows.moc"
