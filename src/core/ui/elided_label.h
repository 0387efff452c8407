#pragma once

#include <QLabel>

namespace tv {

// A one-line status label that never grows its window and never cuts a long
// text off at the end: what does not fit is left out in the middle, so both
// the start and the end of a path stay readable. The whole text is in the
// tooltip and in text().
class ElidedLabel final : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    // The text as it is drawn at the current width.
    QString shownText() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tv
