// The editor's commands: loading and saving the message, files, printing and
// the formatting of the rich text.
#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/colors.h"
#include "core/ui/dialogs.h"
#include "editor_widgets.h"
#include "message_files.h"
#include "message_print.h"
#include "message_text.h"
#include "rtf_reader.h"
#include "rtf_writer.h"
#include "scroll_editor.h"
#include "scroll_messages.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTextDocumentFragment>

namespace tv {

namespace {
// The stored rich text as the reader wants it: our own RTF is ASCII; text
// put in by other tools may carry 8-bit characters in the code page's range.
QByteArray rtfBytes(const QString& stored) {
    for (const QChar c : stored)
        if (c.unicode() > 0xFF) return stored.toUtf8();
    return stored.toLatin1();
}

const QString unsavedQuestion = QStringLiteral(
    "The text in the untitled file has changed.\r\nDo you want to save the changes ?");
} // namespace

QString ScrollEditor::ref() const {
    return m_lblRef->text();
}

void ScrollEditor::setRef(const QString& key) {
    m_lblRef->setText(key);
}

QString ScrollEditor::statusText() const {
    return m_status->text();
}

void ScrollEditor::setSwatch(const QColor& color) {
    m_picture1->setColor(color);
    QPalette p = m_text1->palette();
    p.setColor(QPalette::Text, color);
    m_text1->setPalette(p);
}

void ScrollEditor::setUnicodeFont() {
    QFont f = m_text1->font();
    f.setFamily(m_combo1->currentText());
    if (const auto size = message_text::fontSize(m_combo2->currentText())) f.setPointSizeF(*size);
    m_text1->setFont(f);
}

void ScrollEditor::getheadDetails(qint64 key) {
    ScrollMessages::Stored s;
    try {
        s = ScrollMessages(m_station).getheadDetails(key);
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return;
    }
    if (!s.found) return;
    m_loading = true;
    if (s.msgrtf) {
        // Messages put in by hand (or by an older tool) may hold plain text.
        if (const QByteArray bytes = rtfBytes(*s.msgrtf); rtf::looksLikeRtf(bytes))
            rtf::read(bytes, m_rich->document());
        else
            m_rich->setPlainText(*s.msgrtf);
    }
    if (s.font) m_combo1->setCurrentText(*s.font);
    if (s.size) m_combo2->setCurrentText(*s.size);
    if (s.color) setSwatch(colors::toQColor(*s.color));
    if (s.message) m_text1->setPlainText(*s.message);
    setUnicodeFont();
    if (s.active) m_chkActive->setChecked(*s.active);
    if (s.direction) m_cmbDir->setCurrentText(*s.direction);
    m_rich->document()->clearUndoRedoStacks();
    m_loading = false;
    // What was just loaded has not been changed.
    m_changed = false;
    updateStatus();
}

bool ScrollEditor::saveMessage() {
    // A size the message cannot have stops the save before anything changes.
    const auto size = message_text::fontSize(m_combo2->currentText());
    if (!size) {
        Dialogs::message(this, message_text::fontSizeRange);
        m_combo2->setFocus();
        return false;
    }
    const QString family = m_combo1->currentText().trimmed();
    const rtf::CharLook look =
        message_text::messageLook(*m_rich->document(), m_rich->currentCharFormat(), family, *size);
    const QString richText = message_text::flatten(m_rich->document(), look);
    const QString unicodeText = m_text1->toPlainText();
    if (richText.isEmpty() && unicodeText.isEmpty()) return false;

    ScrollMessages::Message m;
    if (!richText.isEmpty()) {
        m.message = richText;
        m.color = colors::fromQColor(look.color.value_or(QColor(Qt::black)));
    } else {
        m.message = unicodeText;
        m.color = colors::fromQColor(m_picture1->color());
    }
    m.rtf = rtf::writeText(*m_rich->document());
    m.active = m_chkActive->isChecked();
    m.font = family;
    m.size = *size;
    m.bold = look.bold;
    m.italic = look.italic;
    m.direction = m_cmbDir->currentText();
    try {
        const auto saved = ScrollMessages(m_station).save(m, m_scrollEditMode, ref().toLongLong());
        if (saved.outcome == ScrollMessages::Outcome::AddedAgain)
            Dialogs::message(this, QStringLiteral("The message had been deleted at another "
                                                  "station; it was saved as a new message."));
    } catch (const DbError& e) {
        Dialogs::message(this, QStringLiteral("The message was not saved: ") + e.description());
        return false;
    }
    if (!m_scrollEditMode) speedChosen();
    m_changed = false;
    close();
    return true;
}

bool ScrollEditor::confirmDiscard() {
    if (!m_changed) return true;
    const auto answer = Dialogs::question(this, unsavedQuestion,
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                          QStringLiteral("Penwick"), QMessageBox::Cancel);
    if (answer == QMessageBox::No) return true;
    // Yes saves the message, and saving closes the editor: the command that
    // asked ends here either way.
    if (answer == QMessageBox::Yes) saveMessage();
    return false;
}

void ScrollEditor::newFile() {
    if (!confirmDiscard()) return;
    m_rich->clear();
    m_fileName.clear();
    m_changed = false;
    setWindowTitle(QStringLiteral("Untitled - "));
    m_rich->setFocus();
}

void ScrollEditor::openFile() {
    if (!confirmDiscard()) return;
    const QString path =
        Dialogs::openFileName(this, QStringLiteral("Open"),
                              QStringLiteral("Document Files (*.doc);;Text Documents (*.txt);;"
                                             "Rich Text Format (*.rtf);;All Files (*.*)"));
    if (path.isEmpty()) return;
    openPath(path);
}

void ScrollEditor::openPath(const QString& path) {
    if (loadInto(path)) setWindowTitle(QStringLiteral(" Scroll Editor"));
}

bool ScrollEditor::loadInto(const QString& path) {
    const FileLoad r = loadMessageFile(path, m_rich->document());
    if (!r.loaded) {
        Dialogs::message(this, r.message);
        return false;
    }
    if (!r.message.isEmpty()) Dialogs::message(this, r.message);
    m_fileName = path;
    m_rich->setFocus();
    updateStatus();
    return true;
}

void ScrollEditor::dropFile(const QString& path) {
    if (!confirmDiscard()) return;
    if (!loadInto(path)) return;
    // The name after the last "\" or "/".
    const qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const QString name = path.mid(cut + 1);
    setWindowTitle(name.isEmpty() ? QStringLiteral("Untitled - ") : name + QStringLiteral(" - "));
}

void ScrollEditor::printMessage() {
    const QTextCursor selection = m_rich->textCursor();
    if (!m_printers().isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, this);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, selection.hasSelection());
        if (dialog.exec() != QDialog::Accepted) return;
        if (dialog.printRange() == QAbstractPrintDialog::Selection)
            message_print::print(*message_print::selectionDocument(selection, m_rich->font()),
                                 &printer);
        else
            message_print::print(*m_rich->document(), &printer);
        return;
    }
    // No printer on this machine: the print becomes a PDF file.
    bool selectionOnly = false;
    if (selection.hasSelection()) {
        const auto answer = Dialogs::question(
            this, QStringLiteral("Print only the selected text?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, {}, QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) return;
        selectionOnly = answer == QMessageBox::Yes;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString file = Dialogs::saveFileName(
        this, QStringLiteral("No printer is set up: print to a PDF file"),
        QStringLiteral("PDF files (*.pdf)"), QDir(folder).filePath(QStringLiteral("Message.pdf")));
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
    const QString error =
        selectionOnly ? message_print::printToPdf(
                            *message_print::selectionDocument(selection, m_rich->font()), file)
                      : message_print::printToPdf(*m_rich->document(), file);
    if (!error.isEmpty()) Dialogs::message(this, error);
}

void ScrollEditor::exitProgram() {
    emit programEndRequested();
}

void ScrollEditor::clipboardCommand(bool cut) {
    QTextCursor c = m_rich->textCursor();
    if (c.hasSelection()) {
        QGuiApplication::clipboard()->setText(c.selection().toPlainText());
        if (cut) c.removeSelectedText();
    }
    m_rich->setFocus();
}

void ScrollEditor::pastePlainText() {
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty()) m_rich->insertPlainText(text);
    m_rich->setFocus();
}

void ScrollEditor::applyToSelection(const QTextCharFormat& format) {
    m_rich->mergeCurrentCharFormat(format);
    m_rich->setFocus();
    updateStatus();
}

void ScrollEditor::setBold() {
    QTextCharFormat f;
    f.setFontWeight(m_rich->fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
    applyToSelection(f);
}

void ScrollEditor::setItalic() {
    QTextCharFormat f;
    f.setFontItalic(!m_rich->fontItalic());
    applyToSelection(f);
}

void ScrollEditor::setUnderline() {
    QTextCharFormat f;
    f.setFontUnderline(!m_rich->fontUnderline());
    applyToSelection(f);
}

void ScrollEditor::setStrikeout() {
    QTextCharFormat f;
    f.setFontStrikeOut(!m_rich->currentCharFormat().fontStrikeOut());
    applyToSelection(f);
}

void ScrollEditor::toggleBullets() {
    QTextCursor c = m_rich->textCursor();
    message_text::toggleBullets(c);
    m_rich->setFocus();
}

void ScrollEditor::setAlignment(Qt::Alignment alignment) {
    m_rich->setAlignment(alignment);
    m_rich->setFocus();
}

void ScrollEditor::chooseFont() {
    bool ok = false;
    QFont initial = m_rich->currentFont();
    const QFont f = Dialogs::font(this, initial, &ok);
    if (!ok) return;
    QTextCharFormat format;
    format.setFontFamilies({f.family()});
    if (f.pointSizeF() > 0) format.setFontPointSize(f.pointSizeF());
    format.setFontWeight(f.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(f.italic());
    format.setFontUnderline(f.underline());
    format.setFontStrikeOut(f.strikeOut());
    applyToSelection(format);
    m_combo1->setCurrentText(f.family());
    if (f.pointSizeF() > 0) m_combo2->setCurrentText(QString::number(f.pointSizeF()));
}

void ScrollEditor::chooseForeColor() {
    bool ok = false;
    const QColor c = Dialogs::color(this, m_rich->textColor(), &ok);
    if (!ok) return;
    QTextCharFormat f;
    f.setForeground(c);
    applyToSelection(f);
    setSwatch(c);
}

void ScrollEditor::setWordCase(bool upper) {
    QTextCursor c = m_rich->textCursor();
    message_text::setCase(c, upper);
    m_rich->setTextCursor(c);
    m_rich->setFocus();
}

void ScrollEditor::fontChosen() {
    QTextCharFormat f;
    f.setFontFamilies({m_combo1->currentText()});
    if (const auto size = message_text::fontSize(m_combo2->currentText()))
        f.setFontPointSize(*size);
    applyToSelection(f);
}

void ScrollEditor::sizeChosen() {
    const auto size = message_text::fontSize(m_combo2->currentText());
    if (!size) {
        Dialogs::message(this, message_text::fontSizeRange);
        return;
    }
    QTextCharFormat f;
    f.setFontFamilies({m_combo1->currentText()});
    f.setFontPointSize(*size);
    applyToSelection(f);
    QFont unicode = m_text1->font();
    unicode.setPointSizeF(*size);
    m_text1->setFont(unicode);
}

void ScrollEditor::styleChosen() {
    struct Style {
        const char* name;
        double points;
        bool bold;
        int listPoints;
    };
    static constexpr Style styles[] = {{"Normal", 8, false, 8},
                                       {"Heading1", 16, true, 12},
                                       {"Heading2", 14, true, 10},
                                       {"Heading3", 13, true, 9}};
    for (const Style& s : styles) {
        if (m_combo3->currentText() != QLatin1String(s.name)) continue;
        QTextCharFormat f;
        f.setFontPointSize(s.points);
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        applyToSelection(f);
        QFont listFont = m_combo3->font();
        listFont.setPointSizeF(s.listPoints);
        m_combo3->setFont(listFont);
    }
}

void ScrollEditor::speedChosen() {
    // The box takes whole numbers only; an emptied box leaves the setting alone.
    bool ok = false;
    const int speed = m_cmbSpeed->currentText().toInt(&ok);
    if (ok && speed > 0) m_station.settings().set(keys::EditorScrollSpeed, speed);
}

void ScrollEditor::updateStatus() {
    if (!m_status) return; // still being built
    const QTextCursor c = m_rich->textCursor();
    m_status->setText(message_text::lineStatus(message_text::caretLine(c)));
    m_ins->setText(m_rich->overwriteMode() ? QStringLiteral("OVR") : QStringLiteral("INS"));
    const QTextCharFormat f = m_rich->currentCharFormat();
    act("Bold")->setChecked(f.fontWeight() >= QFont::DemiBold);
    act("Italic")->setChecked(f.fontItalic());
    act("Underline")->setChecked(f.fontUnderline());
    act("Strikeout")->setChecked(f.fontStrikeOut());
}

void ScrollEditor::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

void ScrollEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ScrollEditor::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    dropFile(file);
}

} // namespace tv
