#include "video_surface.h"

#include <QMutexLocker>
#include <QPainter>
#include <QVideoFrame>
#include <QVideoSink>

#include <vector>

namespace tv {

namespace {

inline uchar clampByte(int v) {
    return static_cast<uchar>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// One pixel from luma and chroma, BT.601, video or full range.
inline QRgb yuv(int y, int u, int v, bool full) {
    const int c = full ? y * 256 : (y - 16) * 298;
    const int d = u - 128;
    const int e = v - 128;
    const int ku = full ? 454 : 516;
    const int kv = full ? 359 : 409;
    const int gu = full ? 88 : 100;
    const int gv = full ? 183 : 208;
    return qRgb(clampByte((c + kv * e + 128) >> 8), clampByte((c - gu * d - gv * e + 128) >> 8),
                clampByte((c + ku * d + 128) >> 8));
}

// The frame as a picture of `size`, converted and scaled in one pass over the
// picture's pixels for the kinds decoders hand out; anything else goes the
// long way through QVideoFrame::toImage (many times slower).
QImage pictureOf(const QVideoFrame& source, const QSize& size) {
    QVideoFrame frame(source);
    const QVideoFrameFormat::PixelFormat format = frame.pixelFormat();
    const bool interleaved =
        format == QVideoFrameFormat::Format_NV12 || format == QVideoFrameFormat::Format_NV21;
    const bool planar = interleaved || format == QVideoFrameFormat::Format_YUV420P ||
                        format == QVideoFrameFormat::Format_YV12;
    const bool packed =
        format == QVideoFrameFormat::Format_YUYV || format == QVideoFrameFormat::Format_UYVY;
    if ((!planar && !packed) || !frame.map(QVideoFrame::ReadOnly))
        return source.toImage().scaled(size, Qt::KeepAspectRatio, Qt::FastTransformation);
    const int w = frame.width();
    const int h = frame.height();
    const QSize out = QSize(w, h).scaled(size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const bool full = frame.surfaceFormat().colorRange() == QVideoFrameFormat::ColorRange_Full;
    const bool swap =
        format == QVideoFrameFormat::Format_YV12 || format == QVideoFrameFormat::Format_NV21;
    QImage image(out, QImage::Format_RGB32);
    // Source column of each picture column, worked out once per frame.
    std::vector<int> column(static_cast<size_t>(out.width()));
    for (int ox = 0; ox < out.width(); ++ox)
        column[static_cast<size_t>(ox)] = ox * w / out.width();
    const bool lumaFirst = format == QVideoFrameFormat::Format_YUYV;
    for (int oy = 0; oy < out.height(); ++oy) {
        const int y = oy * h / out.height();
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(oy));
        if (packed) {
            const uchar* row = frame.bits(0) + y * frame.bytesPerLine(0);
            for (int ox = 0; ox < out.width(); ++ox) {
                const int x = column[static_cast<size_t>(ox)];
                const uchar* pair = row + (x / 2) * 4;
                const int luma = lumaFirst ? pair[(x & 1) * 2] : pair[(x & 1) * 2 + 1];
                line[ox] =
                    yuv(luma, lumaFirst ? pair[1] : pair[0], lumaFirst ? pair[3] : pair[2], full);
            }
            continue;
        }
        const uchar* luma = frame.bits(0) + y * frame.bytesPerLine(0);
        const uchar* c1 = frame.bits(1) + (y / 2) * frame.bytesPerLine(1);
        const uchar* c2 = interleaved ? nullptr : frame.bits(2) + (y / 2) * frame.bytesPerLine(2);
        for (int ox = 0; ox < out.width(); ++ox) {
            const int x = column[static_cast<size_t>(ox)];
            int u = interleaved ? c1[(x / 2) * 2] : c1[x / 2];
            int v = interleaved ? c1[(x / 2) * 2 + 1] : c2[x / 2];
            if (swap) std::swap(u, v);
            line[ox] = yuv(luma[x], u, v, full);
        }
    }
    frame.unmap();
    return image;
}

} // namespace

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent), m_sink(new QVideoSink(this)) {
    setObjectName(QStringLiteral("video"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Direct: converted and scaled in the thread the frame comes from.
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &VideoSurface::frameArrived,
            Qt::DirectConnection);
}

VideoSurface::~VideoSurface() {
    m_sink->disconnect(this);
}

void VideoSurface::clear() {
    QMutexLocker lock(&m_lock);
    m_next = QImage();
    m_shownImage = QImage();
    update();
}

void VideoSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QMutexLocker lock(&m_lock);
    m_target = size();
}

void VideoSurface::frameArrived(const QVideoFrame& frame) {
    if (!frame.isValid()) return;
    QSize target;
    {
        QMutexLocker lock(&m_lock);
        target = m_target;
    }
    if (target.isEmpty()) return;
    QImage image = pictureOf(frame, target);
    if (image.isNull()) return;
    bool queue = false;
    {
        QMutexLocker lock(&m_lock);
        m_next = std::move(image);
        queue = !m_updateQueued;
        m_updateQueued = true;
    }
    if (queue)
        QMetaObject::invokeMethod(
            this, [this] { update(); }, Qt::QueuedConnection);
}

void VideoSurface::paintEvent(QPaintEvent*) {
    {
        QMutexLocker lock(&m_lock);
        m_updateQueued = false;
        if (!m_next.isNull()) {
            m_shownImage = std::move(m_next);
            m_next = QImage();
            ++m_shown;
        }
    }
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_shownImage.isNull()) return;
    p.drawImage((width() - m_shownImage.width()) / 2, (height() - m_shownImage.height()) / 2,
                m_shownImage);
}

} // namespace tv
