#pragma once

#include <QImage>
#include <QMutex>
#include <QWidget>

class QVideoFrame;
class QVideoSink;

namespace tv {

// Shows the frames of a video or a camera. Each frame is turned into a
// picture of the surface's size where the frame arrives, in the decoder's
// own thread, so the board's window only copies finished pictures and its
// ticker keeps its pace while a video plays.
class VideoSurface final : public QWidget {
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    QVideoSink* sink() const { return m_sink; }
    void clear();
    // Frames shown so far (for tests and the benchmark).
    qint64 framesShown() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void frameArrived(const QVideoFrame& frame);

    QVideoSink* m_sink;
    QMutex m_lock; // guards m_next and m_target between the threads
    QImage m_next;
    QSize m_target;
    QImage m_shownImage;
    qint64 m_shown = 0;
    bool m_updateQueued = false;
};

} // namespace tv
