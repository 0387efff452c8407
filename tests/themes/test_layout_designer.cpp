// The layout designer: the half-size hall screen, selecting, moving and
// sizing areas with the mouse, and the position row the board reads at
// twice the size.
#include "app/demo_hall.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "display/board_design.h"
#include "display/display_board.h"
#include "test_station.h"
#include "themes/layout_designer.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

using namespace tv;
using namespace tv::test;

namespace {
// A mouse event as the window system gives it: at `local` in `w`.
void mouse(QWidget* w, QEvent::Type type, const QPoint& local) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
} // namespace

class LayoutDesignerTest : public QObject {
    Q_OBJECT

public:
    explicit LayoutDesignerTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        exec("insert into tbltheme (themename, type) values ('Hall', 'Horrizontal')");
        m_theme = c1("select themeauto from tbltheme");
    }

    void standsForTheHallScreenAtHalfSize() {
        auto d = designer();
        QCOMPARE(d->objectName(), QString("frmPos"));
        QCOMPARE(d->windowTitle(), QString("Vertical Display"));
        QCOMPARE(d->surface()->size(), QSize(960, 540));
        d->ver();
        QCOMPARE(d->surface()->size(), QSize(540, 960));
        const char* names[] = {"lblLogo", "lblTime", "lblTable", "lblVideo", "lblTtl", "lblNews"};
        const char* captions[] = {"Comp-Logo", "Time-Date", "Token Table",
                                  "Video",     "Title",     "News"};
        for (int i = 0; i < 6; ++i) {
            auto* l = d->findChild<QLabel*>(names[i]);
            QVERIFY2(l && l->isVisible(), names[i]);
            QCOMPARE(l->text(), QString(captions[i]));
            QVERIFY(d->surface()->rect().contains(l->geometry()));
        }
        const QList<QWidget*> handles = d->findChildren<QWidget*>("picHandle");
        QCOMPARE(handles.size(), 8);
        QCOMPARE(d->handle(0)->cursor().shape(), Qt::SizeFDiagCursor);
        QCOMPARE(d->handle(1)->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(d->handle(6)->cursor().shape(), Qt::SizeBDiagCursor);
        QCOMPARE(d->handle(7)->cursor().shape(), Qt::SizeHorCursor);
        QCOMPARE(d->handle(3)->size(), QSize(5, 5));
        QVERIFY(!d->handlesShown());
        QVERIFY(!d->designMode());
        QStringList menu;
        for (QAction* a : d->findChild<QMenu*>("mnuMenu")->actions())
            menu << a->text();
        QCOMPARE(menu, QStringList({"Design", "Save", "Exit"}));
    }

    void theDemoLayoutFillsAFullHdScreen() {
        fillDemoHall(st());
        const QString theme = c1("select themeauto from tbltheme");
        auto d = designer(theme);
        QVERIFY(!d->status().contains("No usable value")); // every value read
        QRect covered;
        for (int a : {layout::Logo, layout::Time, layout::Table, layout::Video, layout::Title,
                      layout::News}) {
            QVERIFY(d->surface()->rect().contains(d->element(a)->geometry()));
            covered |= d->box(a);
        }
        // From the left edge to the right, from the top to the foot.
        QCOMPARE(covered.left(), 0);
        QCOMPARE(covered.right() + 1, 14400);
        QVERIFY(covered.top() <= 100);
        QVERIFY(covered.bottom() + 1 >= 8000 && covered.bottom() < 8100);
        QCOMPARE(d->box(layout::Form).size(), QSize(14400, 8100));

        // On the board of a 1920 x 1080 screen every area is inside the screen.
        BoardPreview preview;
        preview.design = BoardDesign::load(st(), theme.toInt());
        DisplayBoard board(st(), preview);
        QCOMPARE(board.size(), QSize(1920, 1080));
        QVERIFY(board.rect().contains(board.grid()->geometry()));
        QVERIFY(board.rect().contains(board.newsBand()->geometry()));
        QVERIFY(board.grid()->geometry().width() > 1920 / 2);
        QVERIFY(board.newsBand()->geometry().bottom() > 1000);
    }

    void dragMovesAnArea() {
        auto d = designer(m_theme);
        d->setBox(layout::Table, QRect(1500, 1500, 3000, 1500));
        QLabel* table = d->element(layout::Table);
        const QRect before = table->geometry();
        // Not in design mode: a press does nothing.
        mouse(table, QEvent::MouseButtonPress, QPoint(10, 10));
        QCOMPARE(d->selected(), -1);
        d->design();
        mouse(table, QEvent::MouseButtonPress, QPoint(10, 10));
        QCOMPARE(d->selected(), int(layout::Table));
        QCOMPARE(d->dragMode(), 1);
        QCOMPARE(QWidget::mouseGrabber(), d->surface());
        QCOMPARE(d->band(), QRect(before.topLeft(), before.size()));
        mouse(d->surface(), QEvent::MouseMove, before.topLeft() + QPoint(10 + 60, 10 + 40));
        QCOMPARE(d->band().topLeft(), before.topLeft() + QPoint(60, 40));
        QCOMPARE(d->box(layout::Table).topLeft(), QPoint(1500, 1500)); // not before the release
        mouse(d->surface(), QEvent::MouseButtonRelease,
              before.topLeft() + QPoint(10 + 60, 10 + 40));
        QCOMPARE(d->dragMode(), 0);
        QVERIFY(!QWidget::mouseGrabber());
        QVERIFY(d->band().isNull());
        QCOMPARE(table->geometry().topLeft(), before.topLeft() + QPoint(60, 40));
        QCOMPARE(d->box(layout::Table).topLeft(),
                 twips::fromPixels(before.topLeft() + QPoint(60, 40)));
        QVERIFY(d->handlesShown());
        // The handles sit on the corners and edges of the area.
        QVERIFY(qAbs(d->handle(0)->geometry().center().x() - table->geometry().left()) <= 2);
        QVERIFY(qAbs(d->handle(4)->geometry().center().y() - table->geometry().bottom()) <= 2);

        // The cursor stays inside: a drag far beyond the right edge stops at it.
        mouse(table, QEvent::MouseButtonPress, QPoint(0, 0));
        mouse(d->surface(), QEvent::MouseMove, QPoint(5000, 100));
        QCOMPARE(d->band().left(), d->surface()->width() - 1);
        mouse(d->surface(), QEvent::MouseButtonRelease, QPoint(5000, 100));

        // A press without a drag leaves the stored place as it was, to the twip.
        d->setBox(layout::Table, QRect(1000, 500, 3000, 2000));
        mouse(d->element(layout::Table), QEvent::MouseButtonPress, QPoint(3, 3));
        mouse(d->surface(), QEvent::MouseButtonRelease, QPoint(3, 3));
        QCOMPARE(d->box(layout::Table), QRect(1000, 500, 3000, 2000));
    }

    void handleFourDraggedPastHandleZeroIsStoredUpright() {
        auto d = designer(m_theme);
        d->design();
        d->setBox(layout::Video, QRect(6000, 3000, 3000, 1500));
        QLabel* video = d->element(layout::Video);
        mouse(video, QEvent::MouseButtonPress, QPoint(4, 4));
        mouse(d->surface(), QEvent::MouseButtonRelease, QPoint(4, 4));
        QVERIFY(d->handlesShown());
        const QRect was = video->geometry();
        QWidget* four = d->handle(4);
        mouse(four, QEvent::MouseButtonPress, QPoint(2, 2));
        QCOMPARE(d->dragMode(), 2);
        QVERIFY(!d->handlesShown());
        const QPoint target = was.topLeft() - QPoint(100, 50); // above and left of handle 0
        mouse(d->surface(), QEvent::MouseMove, target);
        QVERIFY(d->band().isValid()); // drawn upright even while inside out
        mouse(d->surface(), QEvent::MouseButtonRelease, target);
        const QRect box = d->box(layout::Video);
        QVERIFY(box.width() > 0 && box.height() > 0);
        QCOMPARE(video->geometry(), QRect(target, QSize(100, 50)));
        QCOMPARE(box.topLeft(), twips::fromPixels(target));
        d->save(); // design mode goes off, and the row is written
        QVERIFY(!d->designMode());
        QVERIFY(c1("select videowidth from tblpos").toDouble() > 0);
        QVERIFY(c1("select videoheight from tblpos").toDouble() > 0);
        QCOMPARE(c1("select videoleft from tblpos").toInt(), box.left());
    }

    void pressesOnTheBackground() {
        auto d = designer(m_theme);
        d->design();
        d->setBox(layout::Logo, QRect(150, 150, 1500, 1500));
        d->setBox(layout::Title, QRect(1000, 1000, 1500, 1500)); // under the logo's corner
        mouse(d->element(layout::Title), QEvent::MouseButtonPress, QPoint(1, 1));
        mouse(d->surface(), QEvent::MouseButtonRelease, QPoint(1, 1));
        QCOMPARE(d->selected(), int(layout::Title));
        // A press on the background inside two areas takes the first in
        // element order.
        const QPoint both = twips::toPixels(QPoint(1200, 1200));
        mouse(d->surface(), QEvent::MouseButtonPress, both);
        QCOMPARE(d->selected(), int(layout::Logo));
        mouse(d->surface(), QEvent::MouseButtonRelease, both);
        // Outside every area: the selection ends and the handles go.
        for (int a = 0; a < layout::areaCount; ++a)
            if (a != layout::Form && a != layout::Logo && a != layout::Title)
                d->setBox(a, QRect(9000, 6000, 100, 100));
        mouse(d->surface(), QEvent::MouseButtonPress, QPoint(900, 20));
        QCOMPARE(d->selected(), -1);
        QVERIFY(!d->handlesShown());
        // Design off ends the selection too.
        mouse(d->element(layout::News), QEvent::MouseButtonPress, QPoint(1, 1));
        mouse(d->surface(), QEvent::MouseButtonRelease, QPoint(1, 1));
        QVERIFY(d->handlesShown());
        d->design();
        QVERIFY(!d->handlesShown());
        QCOMPARE(d->selected(), -1);
    }

    void saveAddsTheRowAndTheBoardDoublesIt() {
        auto d = designer(m_theme);
        QCOMPARE(count("select * from tblpos"), 0);
        d->setBox(layout::Table, QRect(1000, 500, 3000, 2000));
        QVERIFY(!d->designMode());
        d->save(); // not in design mode: the flag flips on, and it saves
        QVERIFY(d->designMode());
        QCOMPARE(count("select * from tblpos"), 1);
        QCOMPARE(c1("select themeauto from tblpos"), m_theme);
        RecordSet rs(st().dbConnection, "select * from tblpos");
        QCOMPARE(rs.value(10).toDouble(), 1000.0); // tblleft
        QCOMPARE(rs.value(12).toDouble(), 3000.0); // tblwidth
        QCOMPARE(rs.value(20).toDouble(), double(twips::fromPixelsX(960)));
        d->save();
        QCOMPARE(count("select * from tblpos"), 1);

        BoardPreview preview;
        exec("update tbltheme set colums=2, rows=5");
        preview.design = BoardDesign::load(st(), m_theme.toInt());
        DisplayBoard board(st(), preview);
        const QRect list = board.grid()->geometry();
        QCOMPARE(list.left(), twips::toPixelsX(2000));
        QCOMPARE(list.width(), twips::toPixelsX(6000));
        QCOMPARE(list.top(), twips::toPixelsY(1000));
        QCOMPARE(list.height(), twips::toPixelsY(4000));
    }

    void loadSkipsEmptyValuesAndExitKeepsTheStoredRow() {
        exec("insert into tblpos (themeauto, tblleft, tbltop, tblwidth, tblheight, formleft, "
             "formtop) values (?, 300, 400, 5000, 3000, 150, 300)",
             {m_theme.toInt()});
        auto d = designer(m_theme);
        QCOMPARE(d->box(layout::Table), QRect(300, 400, 5000, 3000));
        QVERIFY(d->status().contains("logoleft"));
        QVERIFY(!d->status().contains("tblleft"));
        QVERIFY(!d->element(layout::Logo)->geometry().isEmpty()); // where it stood
        d->design();
        d->setBox(layout::Table, QRect(0, 0, 100, 100));
        d->findChild<QAction*>("mnuExit")->trigger();
        QVERIFY(!d->isVisible());
        QCOMPARE(c1("select tblwidth from tblpos").toDouble(), 5000.0);
    }

private:
    std::unique_ptr<LayoutDesigner> designer(const QString& theme = {}) {
        auto d = std::make_unique<LayoutDesigner>(st());
        d->setScreenSize(QSize(1920, 1080));
        d->setRef(theme);
        d->getData();
        d->hor();
        d->show();
        return d;
    }
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& binds = {}) {
        st().dbConnection->execute(sql, binds);
    }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() ? rs.textOrEmpty(0) : QString();
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }

    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    QString m_theme;
};

TALLYVOX_DB_TEST_MAIN(LayoutDesignerTest)
#include "test_layout_designer.moc"
