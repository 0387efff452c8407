#pragma once

#include <QWidget>

namespace tv {

// The board's title: printed once at its top-left corner, or scrolling from
// right to left when the theme asks for it.
class TitleBand final : public QWidget {
    Q_OBJECT

public:
    explicit TitleBand(QWidget* parent = nullptr) : QWidget(parent) {
        setObjectName(QStringLiteral("lblTtl"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setText(const QString& text) {
        m_text = text;
        update();
    }
    QString text() const { return m_text; }
    void setColors(const QColor& fore, const QColor& back) {
        m_fore = fore;
        m_back = back;
        update();
    }
    void setScrolling(bool on) {
        m_scrolling = on;
        m_offset = 0;
        update();
    }
    bool scrolling() const { return m_scrolling; }
    // One step of the scrolling title.
    void step();
    int offset() const { return m_offset; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_fore = Qt::white;
    QColor m_back = Qt::black;
    bool m_scrolling = false;
    int m_offset = 0;
};

} // namespace tv
