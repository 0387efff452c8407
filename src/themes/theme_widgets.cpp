#include "theme_widgets.h"

#include "core/ui/colors.h"
#include "core/ui/dialogs.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tv {

Swatch::Swatch(QWidget* parent, const char* name, const QString& caption)
    : QLabel(parent), m_caption(caption) {
    setObjectName(QLatin1String(name));
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMinimumSize(64, 22);
    setCursor(Qt::PointingHandCursor);
    // Reached with the tab key too: Space or Enter opens the colour dialog.
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("Click to choose the colour"));
    setValue(0);
}

void Swatch::setValue(quint32 value) {
    m_value = value;
    QPalette p = palette();
    p.setColor(QPalette::Window, colors::toQColor(value));
    setPalette(p);
    emit changed();
}

void Swatch::choose() {
    bool ok = false;
    const QColor c = Dialogs::color(this, colors::toQColor(m_value), &ok, m_caption);
    if (ok && c.isValid()) setValue(colors::fromQColor(c));
}

void Swatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) choose();
}

void Swatch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        choose();
        return;
    }
    QLabel::keyPressEvent(event);
}

PathField::PathField(QWidget* parent, const char* name) : QLineEdit(parent) {
    setObjectName(QLatin1String(name));
    setReadOnly(true);
    setToolTip(QStringLiteral("Filled by its button; the Delete key empties it"));
}

void PathField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        setText(QString());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tv
