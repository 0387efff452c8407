#include "editor_widgets.h"

#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace tv {

QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) return url.toLocalFile();
    return {};
}

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    // Tab is a character here: the box keeps the focus.
    setTabChangesFocus(false);
    viewport()->setMouseTracking(true);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return !droppedFile(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    if (const QString file = droppedFile(source); !file.isEmpty()) {
        emit fileDropped(file);
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        emit overwriteToggled(overwriteMode());
        event->accept();
    } else {
        QTextEdit::keyPressEvent(event);
    }
    emit keyPressed();
}

bool RichTextBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto* e = static_cast<QMouseEvent*>(event);
        emit mouseAt(viewport()->mapTo(this, e->position().toPoint()).x());
    } else if (event->type() == QEvent::Leave) {
        emit mouseAt(-1);
    }
    return QTextEdit::viewportEvent(event);
}

Ruler::Ruler(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Ruler::sizeHint() const {
    return {200, fontMetrics().height() + 10};
}

void Ruler::setMarker(int x) {
    if (x == m_marker) return;
    m_marker = x;
    update();
}

void Ruler::setOrigin(int x) {
    m_origin = x;
    update();
}

void Ruler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(palette().color(QPalette::WindowText));
    const double perInch = logicalDpiX();
    const QFontMetrics fm = fontMetrics();
    // Marks every eighth of an inch, longer at the half and the whole inch.
    for (int i = 0;; ++i) {
        const int x = m_origin + static_cast<int>(i * perInch / 8);
        if (x > width()) break;
        const int len = i % 8 == 0 ? height() / 2 : i % 4 == 0 ? height() / 3 : height() / 6;
        p.drawLine(x, height() - 1 - len, x, height() - 1);
        if (i % 8 == 0 && i > 0) p.drawText(x + 2, fm.ascent() + 1, QString::number(i / 8));
    }
    if (m_marker >= 0) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        p.drawLine(m_marker, 0, m_marker, height());
    }
}

ColorSwatch::ColorSwatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::setColor(const QColor& color) {
    m_color = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(contentsRect(), m_color);
    p.end();
    QFrame::paintEvent(event);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace tv
