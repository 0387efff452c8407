#include "dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <optional>
#include <utility>

namespace tv {

namespace {

struct TestState {
    bool on = false;
    QList<QMessageBox::StandardButton> answers;
    QList<std::optional<QString>> inputs;
    QStringList paths;
    QList<QColor> colors;
    QList<std::optional<QFont>> fonts;
    QList<Dialogs::Shown> log;
};

TestState& state() {
    static TestState s;
    return s;
}

QString titleOrAppName(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

template <typename T> std::optional<T> takeFirst(QList<T>& queue) {
    if (queue.isEmpty()) return std::nullopt;
    return queue.takeFirst();
}

Dialogs::Shown& record(Dialogs::Kind kind, const QString& title, const QString& text) {
    Dialogs::Shown shown;
    shown.kind = kind;
    shown.title = titleOrAppName(title);
    shown.text = text;
    state().log.append(shown);
    return state().log.last();
}

QMessageBox::StandardButton fallbackButton(QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    if (defaultButton != QMessageBox::NoButton) return defaultButton;
    if (buttons.testFlag(QMessageBox::No)) return QMessageBox::No;
    if (buttons.testFlag(QMessageBox::Cancel)) return QMessageBox::Cancel;
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(bit)))
            return static_cast<QMessageBox::StandardButton>(bit);
    }
    return QMessageBox::NoButton;
}

// Shared by the three path pickers: a queued "" means the user cancelled.
QString pickPath(Dialogs::Kind kind, const QString& caption) {
    const std::optional<QString> queued = takeFirst(state().paths);
    const QString path = queued.value_or(QString());
    Dialogs::Shown& shown = record(kind, caption, caption);
    shown.answer = path;
    shown.cancelled = path.isEmpty();
    shown.queued = queued.has_value();
    return path;
}

} // namespace

void Dialogs::message(QWidget* parent, const QString& text, const QString& title,
                      QMessageBox::Icon icon) {
    if (state().on) {
        record(Kind::Message, title, text).icon = icon;
        return;
    }
    QMessageBox box(icon, titleOrAppName(title), text, QMessageBox::Ok, parent);
    box.exec();
}

QMessageBox::StandardButton Dialogs::question(QWidget* parent, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              const QString& title,
                                              QMessageBox::StandardButton defaultButton) {
    const QMessageBox::StandardButton fallback = fallbackButton(buttons, defaultButton);
    if (state().on) {
        const auto queued = takeFirst(state().answers);
        const QMessageBox::StandardButton answer = queued.value_or(fallback);
        Shown& shown = record(Kind::Question, title, text);
        shown.icon = QMessageBox::Question;
        shown.button = answer;
        shown.queued = queued.has_value();
        return answer;
    }
    QMessageBox box(QMessageBox::Question, titleOrAppName(title), text, buttons, parent);
    box.setDefaultButton(fallback);
    box.setEscapeButton(fallback);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString Dialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                       const QString& defaultText, bool* ok) {
    if (state().on) {
        const auto queued = takeFirst(state().inputs);
        const bool answered = queued.has_value() && queued->has_value();
        const QString text = answered ? **queued : QString();
        Shown& shown = record(Kind::Input, title, prompt);
        shown.answer = text;
        shown.cancelled = !answered;
        shown.queued = queued.has_value();
        if (ok != nullptr) *ok = answered;
        return text;
    }
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, titleOrAppName(title), prompt,
                                               QLineEdit::Normal, defaultText, &accepted);
    if (ok != nullptr) *ok = accepted;
    return accepted ? text : QString();
}

QString Dialogs::openFileName(QWidget* parent, const QString& caption, const QString& filter,
                              const QString& dir) {
    if (state().on) return pickPath(Kind::OpenFile, caption);
    return QFileDialog::getOpenFileName(parent, titleOrAppName(caption), dir, filter);
}

QString Dialogs::saveFileName(QWidget* parent, const QString& caption, const QString& filter,
                              const QString& dir) {
    if (state().on) return pickPath(Kind::SaveFile, caption);
    return QFileDialog::getSaveFileName(parent, titleOrAppName(caption), dir, filter);
}

QString Dialogs::folder(QWidget* parent, const QString& caption, const QString& dir) {
    if (state().on) return pickPath(Kind::Folder, caption);
    return QFileDialog::getExistingDirectory(parent, titleOrAppName(caption), dir);
}

QColor Dialogs::color(QWidget* parent, const QColor& initial, bool* ok, const QString& title) {
    if (state().on) {
        const auto queued = takeFirst(state().colors);
        const bool answered = queued.has_value() && queued->isValid();
        Shown& shown = record(Kind::Color, title, title);
        shown.answer = answered ? queued->name() : QString();
        shown.cancelled = !answered;
        shown.queued = queued.has_value();
        if (ok != nullptr) *ok = answered;
        return answered ? *queued : initial;
    }
    const QColor chosen = QColorDialog::getColor(initial, parent, titleOrAppName(title));
    if (ok != nullptr) *ok = chosen.isValid();
    return chosen.isValid() ? chosen : initial;
}

QColor Dialogs::color(const QColor& initial, bool* ok) {
    return color(nullptr, initial, ok);
}

QFont Dialogs::font(QWidget* parent, const QFont& initial, bool* ok, const QString& title) {
    if (state().on) {
        const auto queued = takeFirst(state().fonts);
        const bool answered = queued.has_value() && queued->has_value();
        Shown& shown = record(Kind::Font, title, title);
        shown.answer = answered ? (*queued)->toString() : QString();
        shown.cancelled = !answered;
        shown.queued = queued.has_value();
        if (ok != nullptr) *ok = answered;
        return answered ? **queued : initial;
    }
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, initial, parent, titleOrAppName(title));
    if (ok != nullptr) *ok = accepted;
    return accepted ? chosen : initial;
}

QFont Dialogs::font(const QFont& initial, bool* ok) {
    return font(nullptr, initial, ok);
}

void Dialogs::setTestMode(bool on) {
    state() = TestState{};
    state().on = on;
}

bool Dialogs::testMode() {
    return state().on;
}

void Dialogs::setNextAnswer(QMessageBox::StandardButton button) {
    state().answers.append(button);
}
void Dialogs::setNextInput(const QString& text) {
    state().inputs.append(text);
}
void Dialogs::setNextInputCancelled() {
    state().inputs.append(std::nullopt);
}
void Dialogs::setNextFileName(const QString& path) {
    state().paths.append(path);
}
void Dialogs::setNextColor(const QColor& color) {
    state().colors.append(color);
}
void Dialogs::setNextFont(const QFont& font) {
    state().fonts.append(font);
}
void Dialogs::setNextFontCancelled() {
    state().fonts.append(std::nullopt);
}

int Dialogs::pendingAnswers() {
    const TestState& s = state();
    return static_cast<int>(s.answers.size() + s.inputs.size() + s.paths.size() + s.colors.size() +
                            s.fonts.size());
}

void Dialogs::clearAnswers() {
    TestState& s = state();
    s.answers.clear();
    s.inputs.clear();
    s.paths.clear();
    s.colors.clear();
    s.fonts.clear();
}

QList<Dialogs::Shown> Dialogs::shownMessages() {
    return state().log;
}

QList<Dialogs::Shown> Dialogs::takeMessages() {
    return std::exchange(state().log, {});
}

QStringList Dialogs::shownTexts() {
    QStringList texts;
    for (const Shown& shown : state().log)
        texts.append(shown.text);
    return texts;
}

void Dialogs::clearMessages() {
    state().log.clear();
}

} // namespace tv
