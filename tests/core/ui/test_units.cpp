// Twips and stored colour values: the two conversions every window relies on.

#include "core/ui/colors.h"
#include "core/ui/twips.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QTest>

using namespace tv;

namespace {
double dpiBeforeApplication = -1.0;
}

class UnitsTest final : public QObject {
    Q_OBJECT

private slots:
    void twipsAtKnownDpi() {
        QCOMPARE(twips::toPixels(1440, 96.0), 96);
        QCOMPARE(twips::toPixels(15, 96.0), 1);
        QCOMPARE(twips::toPixels(1440, 120.0), 120);
        QCOMPARE(twips::toPixels(1500, 96.0), 100);
        QCOMPARE(twips::fromPixels(100, 96.0), 1500);
        QCOMPARE(twips::fromPixels(120, 120.0), 1440);
        // A 1-twip key column has no pixels at all.
        QCOMPARE(twips::toPixels(1, 96.0), 0);
        // Half a pixel rounds away from zero, both ways.
        QCOMPARE(twips::toPixels(8, 96.0), 1);
        QCOMPARE(twips::toPixels(-8, 96.0), -1);
        // No usable DPI means the usual 96.
        QCOMPARE(twips::toPixels(1440, 0.0), 96);
        for (int px : {0, 1, 7, 100, 1920})
            QCOMPARE(twips::toPixels(twips::fromPixels(px, 96.0), 96.0), px);
    }

    void twipsFollowTheScreen() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen != nullptr);
        QCOMPARE(twips::dpiX(), screen->logicalDotsPerInchX());
        QCOMPARE(twips::toPixelsX(1440), qRound(screen->logicalDotsPerInchX()));
        QCOMPARE(twips::perPixelY(), 1440.0 / screen->logicalDotsPerInchY());
        const QRect rect = twips::toPixels(QRect(1440, 720, 2880, 1440));
        QCOMPARE(rect, QRect(twips::toPixelsX(1440), twips::toPixelsY(720), twips::toPixelsX(2880),
                             twips::toPixelsY(1440)));
        QCOMPARE(twips::fromPixels(twips::toPixels(QSize(3000, 1500))),
                 QSize(twips::fromPixelsX(twips::toPixelsX(3000)),
                       twips::fromPixelsY(twips::toPixelsY(1500))));
    }

    void twipsWithoutAScreen() {
        // Measured in main() before the application existed.
        QCOMPARE(dpiBeforeApplication, 96.0);
    }

    void redIsTheLowByte() {
        QCOMPARE(colors::rgb(255, 0, 0), 0x0000FFu);
        QCOMPARE(colors::rgb(0, 255, 0), 65280u);
        QCOMPARE(colors::rgb(255, 255, 255), 16777215u);
        QCOMPARE(colors::rgb(64, 64, 64), 4210752u);
        QCOMPARE(colors::toQColor(255), QColor(Qt::red));
        QCOMPARE(colors::toQColor(0xFF0000), QColor(Qt::blue));
        QCOMPARE(colors::toQColor(65280), QColor(Qt::green));
        QCOMPARE(colors::fromQColor(QColor(1, 2, 3)), 0x030201u);
        QCOMPARE(colors::fromQColor(QColor(10, 20, 30, 40)), colors::rgb(10, 20, 30));
        for (colors::ColorValue v : {0x000000u, 0x123456u, 0xFFFFFFu, 0x00FF00u, 0x0080FFu})
            QCOMPARE(colors::fromQColor(colors::toQColor(v)), v);
        QCOMPARE(colors::toQColor(0x123456).alpha(), 255);
    }

    void systemColoursFollowThePalette() {
        const QPalette saved = QApplication::palette();
        QPalette palette = saved;
        palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
        palette.setColor(QPalette::Active, QPalette::Text, QColor(4, 5, 6));
        palette.setColor(QPalette::Active, QPalette::Button, QColor(7, 8, 9));
        palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(10, 11, 12));
        palette.setColor(QPalette::Active, QPalette::Highlight, QColor(13, 14, 15));
        palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(16, 17, 18));
        QApplication::setPalette(palette);

        const struct {
            int index;
            QColor expected;
        } cases[] = {{5, QColor(1, 2, 3)},     {8, QColor(4, 5, 6)},     {15, QColor(7, 8, 9)},
                     {18, QColor(10, 11, 12)}, {13, QColor(13, 14, 15)}, {14, QColor(16, 17, 18)}};
        for (const auto& c : cases) {
            bool ok = false;
            const colors::ColorValue value = 0x80000000u | static_cast<unsigned>(c.index);
            QCOMPARE(colors::translate(value, &ok), colors::fromQColor(c.expected));
            QVERIFY(ok);
            QCOMPARE(colors::toQColor(value), c.expected);
        }
        QApplication::setPalette(saved);
    }

    void untranslatableValuesStayAsTheyAre() {
        bool ok = false;
        QCOMPARE(colors::translate(0x123456, &ok), 0x123456u);
        QVERIFY(ok);
        QCOMPARE(colors::translate(0x800000FFu, &ok), 0x800000FFu); // no such index
        QVERIFY(!ok);
        QCOMPARE(colors::translate(0x80010005u, &ok), 0x80010005u); // not a system colour form
        QVERIFY(!ok);
        QCOMPARE(colors::translate(colors::systemColor(25), &ok), colors::systemColor(25));
        QVERIFY(!ok);
    }
};

int main(int argc, char* argv[]) {
    dpiBeforeApplication = twips::dpiX();
    QApplication app(argc, argv);
    UnitsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_units.moc"
