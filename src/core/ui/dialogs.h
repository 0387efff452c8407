#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace tv {

// Every message box, question, input box and picker of the program goes through here.
// In test mode nothing is shown: each call is written to a log that tests read, and the
// answers come from queues the test fills ahead of time. An empty queue gives the safe
// answer (the default button or No for a question, "cancelled" for an input or picker)
// and the log records that the queue was empty.
class Dialogs final {
public:
    enum class Kind { Message, Question, Input, OpenFile, SaveFile, Folder, Color, Font };

    struct Shown {
        Kind kind = Kind::Message;
        QString title; // as shown: the application's display name when the caller gave none
        QString text;  // message or question text, input prompt, picker caption
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButton button = QMessageBox::NoButton; // a question's answer
        QString answer;         // input text, path, colour "#rrggbb", font description
        bool cancelled = false; // input or picker cancelled
        bool queued = true;     // false: no answer was queued, the default was used
    };

    Dialogs() = delete;

    static void message(QWidget* parent, const QString& text, const QString& title = {},
                        QMessageBox::Icon icon = QMessageBox::NoIcon);

    // Without a default button the answer to Escape (and to an empty test queue) is No,
    // else Cancel, else the first button offered.
    static QMessageBox::StandardButton
    question(QWidget* parent, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             const QString& title = {},
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Returns "" and *ok = false when cancelled.
    static QString input(QWidget* parent, const QString& prompt, const QString& title = {},
                         const QString& defaultText = {}, bool* ok = nullptr);

    // Pickers return "" when cancelled.
    static QString openFileName(QWidget* parent, const QString& caption = {},
                                const QString& filter = {}, const QString& dir = {});
    static QString saveFileName(QWidget* parent, const QString& caption = {},
                                const QString& filter = {}, const QString& dir = {});
    static QString folder(QWidget* parent, const QString& caption = {}, const QString& dir = {});

    // Return the initial value and *ok = false when cancelled.
    static QColor color(QWidget* parent, const QColor& initial, bool* ok = nullptr,
                        const QString& title = {});
    static QColor color(const QColor& initial, bool* ok = nullptr);
    static QFont font(QWidget* parent, const QFont& initial, bool* ok = nullptr,
                      const QString& title = {});
    static QFont font(const QFont& initial, bool* ok = nullptr);

    // Test mode. Switching it on or off empties the log and the queues.
    static void setTestMode(bool on);
    static bool testMode();

    static void setNextAnswer(QMessageBox::StandardButton button);
    static void setNextInput(const QString& text);
    static void setNextInputCancelled();
    static void setNextFileName(const QString& path); // "" = cancelled; open, save and folder
    static void setNextColor(const QColor& color);    // invalid colour = cancelled
    static void setNextFont(const QFont& font);
    static void setNextFontCancelled();

    // Queued answers not used yet, over all queues.
    static int pendingAnswers();
    // Empties the queues, keeps the log.
    static void clearAnswers();

    static QList<Shown> shownMessages();
    static QList<Shown> takeMessages();
    // Just the texts, in order: handy for QCOMPARE.
    static QStringList shownTexts();
    static void clearMessages();
};

} // namespace tv
