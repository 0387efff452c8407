// The dialogs helper: what tests see in test mode, and that the real mode really asks.

#include "core/ui/dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tv;
using Button = QMessageBox::StandardButton;

class DialogsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Tallyvox")); }
    void init() { Dialogs::setTestMode(true); }
    void cleanup() { Dialogs::setTestMode(false); }

    void messagesAreRecordedNotShown() {
        Dialogs::message(nullptr, QStringLiteral("Please select an entry"));
        Dialogs::message(nullptr, QStringLiteral("Saved"), QStringLiteral("Counters"),
                         QMessageBox::Warning);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());

        const auto shown = Dialogs::shownMessages();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Message);
        QCOMPARE(shown[0].text, QStringLiteral("Please select an entry"));
        QCOMPARE(shown[0].title, QStringLiteral("Tallyvox")); // no title: the application's
        QCOMPARE(shown[0].icon, QMessageBox::NoIcon);
        QCOMPARE(shown[1].title, QStringLiteral("Counters"));
        QCOMPARE(shown[1].icon, QMessageBox::Warning);

        QCOMPARE(Dialogs::shownTexts(),
                 QStringList({QStringLiteral("Please select an entry"), QStringLiteral("Saved")}));
        QCOMPARE(Dialogs::takeMessages().size(), 2);
        QVERIFY(Dialogs::shownMessages().isEmpty());
    }

    void questionsTakeQueuedAnswersInOrder() {
        Dialogs::setNextAnswer(QMessageBox::Yes);
        Dialogs::setNextAnswer(QMessageBox::No);
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Delete?")), QMessageBox::Yes);
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Really?")), QMessageBox::No);
        QCOMPARE(Dialogs::pendingAnswers(), 0);

        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Question);
        QCOMPARE(shown[0].button, QMessageBox::Yes);
        QVERIFY(shown[0].queued);
        QCOMPARE(shown[1].text, QStringLiteral("Really?"));
    }

    void emptyQueueGivesTheSafeAnswer() {
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Exit?")), QMessageBox::No);
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Go on?"),
                                   QMessageBox::Ok | QMessageBox::Cancel),
                 QMessageBox::Cancel);
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Overwrite?"),
                                   QMessageBox::Yes | QMessageBox::No, {}, QMessageBox::Yes),
                 QMessageBox::Yes);
        // Neither No nor Cancel offered: the first in QMessageBox's order, never NoButton.
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Retry?"),
                                   QMessageBox::Retry | QMessageBox::Abort),
                 QMessageBox::Abort);
        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 4);
        for (const auto& s : shown)
            QVERIFY(!s.queued);
    }

    void inputsAndPickers() {
        Dialogs::setNextInput(QStringLiteral("A12"));
        Dialogs::setNextInputCancelled();
        bool ok = false;
        QCOMPARE(Dialogs::input(nullptr, QStringLiteral("Token"), {}, QStringLiteral("x"), &ok),
                 QStringLiteral("A12"));
        QVERIFY(ok);
        QCOMPARE(Dialogs::input(nullptr, QStringLiteral("Token"), {}, QStringLiteral("x"), &ok),
                 QString());
        QVERIFY(!ok);
        ok = true;
        QCOMPARE(Dialogs::input(nullptr, QStringLiteral("Token"), {}, {}, &ok), QString());
        QVERIFY(!ok); // nothing queued: cancelled

        // One queue of paths serves the open, save and folder pickers, in order.
        Dialogs::setNextFileName(QStringLiteral("/tmp/in.mp4"));
        Dialogs::setNextFileName(QString());
        Dialogs::setNextFileName(QStringLiteral("/tmp/backup"));
        QCOMPARE(Dialogs::openFileName(nullptr, QStringLiteral("Video")),
                 QStringLiteral("/tmp/in.mp4"));
        QCOMPARE(Dialogs::saveFileName(nullptr, QStringLiteral("Save")), QString());
        QCOMPARE(Dialogs::folder(nullptr, QStringLiteral("Backup to")),
                 QStringLiteral("/tmp/backup"));
        QCOMPARE(Dialogs::openFileName(nullptr, QStringLiteral("Again")), QString());

        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 7);
        QVERIFY(shown[1].queued && shown[1].cancelled);
        QVERIFY(!shown[2].queued && shown[2].cancelled);
        QCOMPARE(shown[3].kind, Dialogs::Kind::OpenFile);
        QCOMPARE(shown[4].kind, Dialogs::Kind::SaveFile);
        QVERIFY(shown[4].queued && shown[4].cancelled);
        QCOMPARE(shown[5].kind, Dialogs::Kind::Folder);
        QVERIFY(!shown[6].queued && shown[6].cancelled);
    }

    void colourAndFontPickers() {
        Dialogs::setNextColor(QColor(0, 255, 0));
        Dialogs::setNextColor(QColor()); // cancelled
        bool ok = false;
        QCOMPARE(Dialogs::color(QColor(Qt::white), &ok), QColor(0, 255, 0));
        QVERIFY(ok);
        QCOMPARE(Dialogs::color(nullptr, QColor(Qt::white), &ok), QColor(Qt::white));
        QVERIFY(!ok);
        QCOMPARE(Dialogs::color(QColor(Qt::blue), &ok), QColor(Qt::blue));
        QVERIFY(!ok);

        const QFont chosen(QStringLiteral("Liberation Serif"), 20);
        Dialogs::setNextFont(chosen);
        Dialogs::setNextFontCancelled();
        const QFont initial(QStringLiteral("Liberation Sans"), 9);
        QCOMPARE(Dialogs::font(initial, &ok), chosen);
        QVERIFY(ok);
        QCOMPARE(Dialogs::font(initial, &ok), initial);
        QVERIFY(!ok);
        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 5);
        QVERIFY(!shown[2].queued);
        QCOMPARE(shown[3].kind, Dialogs::Kind::Font);
    }

    void queuesAreSeparateAndReset() {
        Dialogs::setNextFileName(QStringLiteral("/tmp/a.db"));
        Dialogs::setNextAnswer(QMessageBox::Yes);
        // A question does not eat a queued path, nor a picker a queued answer.
        QCOMPARE(Dialogs::openFileName(nullptr), QStringLiteral("/tmp/a.db"));
        QCOMPARE(Dialogs::pendingAnswers(), 1);
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Restore?")), QMessageBox::Yes);

        Dialogs::setNextAnswer(QMessageBox::Yes);
        Dialogs::message(nullptr, QStringLiteral("left over"));
        Dialogs::setTestMode(true);
        QCOMPARE(Dialogs::pendingAnswers(), 0);
        QVERIFY(Dialogs::shownMessages().isEmpty());
        Dialogs::setNextAnswer(QMessageBox::Yes);
        Dialogs::clearAnswers();
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("?")), QMessageBox::No);
    }

    // Outside test mode a real modal box is shown and its button is the answer.
    void realModeShowsAModalBox() {
        Dialogs::setTestMode(false);
        QString title;
        QString text;
        bool modal = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            modal = box->isModal();
            box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Stop the display?")), QMessageBox::Yes);
        QCOMPARE(title, QStringLiteral("Tallyvox"));
        QCOMPARE(text, QStringLiteral("Stop the display?"));
        QVERIFY(modal);

        // Escape gives the safe answer.
        QTimer::singleShot(0, this, [] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box != nullptr);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(Dialogs::question(nullptr, QStringLiteral("Exit?")), QMessageBox::No);
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
