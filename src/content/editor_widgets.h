#pragma once

#include <QColor>
#include <QFrame>
#include <QTextEdit>
#include <QWidget>

namespace tv {

// The editor's rich text area: a text box that hands dropped files to the
// editor instead of pasting their names, toggles overwrite with Insert, and
// tells the ruler where the mouse is.
class RichTextBox final : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

signals:
    void fileDropped(const QString& path);
    void mouseAt(int x); // in the ruler's coordinates; -1 when the mouse has left
    void overwriteToggled(bool overwrite);
    void keyPressed();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
};

// The local file a drop brings, "" when it brings none.
QString droppedFile(const QMimeData* data);

// A ruler over the text in inches, with a line where the mouse is.
class Ruler final : public QWidget {
    Q_OBJECT

public:
    explicit Ruler(QWidget* parent = nullptr);
    int marker() const { return m_marker; }
    void setMarker(int x);
    void setOrigin(int x); // the text's left edge, in this widget's coordinates
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_marker = -1;
    int m_origin = 0;
};

// A colour swatch; clicking it says so.
class ColorSwatch final : public QFrame {
    Q_OBJECT

public:
    explicit ColorSwatch(QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QSize sizeHint() const override { return {36, 22}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_color = Qt::black;
};

} // namespace tv
