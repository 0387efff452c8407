#include "media_area.h"

#include "video_surface.h"

#include <QAudioOutput>
#include <QCamera>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QStackedLayout>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace tv {

MediaArea::MediaArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("VideoCapX"));
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::black));
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_video = new VideoSurface(this);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(m_video);
    m_stack->addWidget(m_picture);

    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_player->setAudioOutput(m_audio);
    m_player->setVideoSink(m_video->sink());
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia) videoEnded();
        if (s == QMediaPlayer::BufferedMedia || s == QMediaPlayer::LoadedMedia)
            m_failuresInARow = 0;
        if (s == QMediaPlayer::InvalidMedia) skip(QStringLiteral("not a playable video"));
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) { skip(text); });

    m_pictureTimer = new QTimer(this);
    m_pictureTimer->setObjectName(QStringLiteral("Timer9"));
    m_pictureTimer->setSingleShot(true);
    connect(m_pictureTimer, &QTimer::timeout, this, &MediaArea::next);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, [this] {
        m_failuresInARow = 0;
        emit askedForList();
        next();
    });
}

MediaArea::~MediaArea() {
    m_player->stop();
}

bool MediaArea::isPicture(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == u"jpg" || suffix == u"jpeg" || suffix == u"png" || suffix == u"gif" ||
           suffix == u"bmp";
}

QString MediaArea::current() const {
    return m_position >= 0 && m_position < m_files.size() ? m_files.at(m_position) : QString();
}

bool MediaArea::showingPicture() const {
    return m_stack->currentWidget() == m_picture;
}

void MediaArea::tell(const QString& line) {
    std::fprintf(stderr, "tallyvox: %s\n", qPrintable(line));
}

void MediaArea::playList(const QStringList& files, int volume, int pictureMs) {
    stopAll();
    m_files = files;
    m_pictureMs = qMax(100, pictureMs);
    m_audio->setVolume(qBound(0, volume, 10) / 10.0);
    m_position = -1;
    m_failuresInARow = 0;
    if (!m_files.isEmpty()) next();
}

bool MediaArea::showLive(int index) {
    stopAll();
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    if (index < 0 || index >= devices.size()) {
        tell(QStringLiteral("the board has no capture device number %1 (%2 found): the video "
                            "area stays empty")
                 .arg(index)
                 .arg(devices.size()));
        return false;
    }
    m_capture = std::make_unique<QMediaCaptureSession>();
    m_camera = std::make_unique<QCamera>(devices.at(index));
    m_capture->setCamera(m_camera.get());
    m_capture->setVideoSink(m_video->sink());
    m_stack->setCurrentWidget(m_video);
    m_camera->start();
    return true;
}

void MediaArea::stopAll() {
    m_pictureTimer->stop();
    m_retry->stop();
    if (m_player->playbackState() != QMediaPlayer::StoppedState) m_player->stop();
    if (m_camera) m_camera->stop();
    m_capture.reset();
    m_camera.reset();
    m_picture->clear();
    m_position = -1;
}

void MediaArea::next() {
    if (m_files.isEmpty()) return;
    if (m_failuresInARow >= m_files.size()) {
        // Nothing in the list plays: rest instead of spinning through it.
        tell(QStringLiteral("no file of the video list can be played; trying again in %1 s")
                 .arg(retryMs / 1000));
        m_retry->start(retryMs);
        return;
    }
    m_position = (m_position + 1) % m_files.size();
    playEntry();
}

void MediaArea::playEntry() {
    m_entryDone = false;
    const QString file = current();
    const QFileInfo info(file);
    if (!info.isFile()) {
        skip(QStringLiteral("no such file"));
        return;
    }
    if (isPicture(file)) {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull()) {
            skip(reader.errorString());
            return;
        }
        m_failuresInARow = 0;
        if (m_player->playbackState() != QMediaPlayer::StoppedState) m_player->stop();
        m_picture->setPixmap(QPixmap::fromImage(image.scaled(
            size().expandedTo(QSize(1, 1)), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        m_stack->setCurrentWidget(m_picture);
        emit entryStarted(file);
        m_entryDone = true; // the timer moves on
        m_pictureTimer->start(m_pictureMs);
        return;
    }
    m_stack->setCurrentWidget(m_video);
    // Stopped first: the same file again (a list of one) must start over.
    if (m_player->playbackState() != QMediaPlayer::StoppedState) m_player->stop();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (m_player->source() != url) m_player->setSource(url);
    m_player->play();
    emit entryStarted(file);
}

void MediaArea::skip(const QString& why) {
    const QString file = current();
    // The player may report one failure twice (an error and an invalid medium).
    if (file.isEmpty() || m_entryDone) return;
    m_entryDone = true;
    if (!m_told.contains(file)) {
        m_told.insert(file);
        tell(QStringLiteral("the board skips %1: %2").arg(file, why));
    }
    emit skipped(file, why);
    ++m_failuresInARow;
    if (m_player->playbackState() != QMediaPlayer::StoppedState) m_player->stop();
    // After the current event, never from inside the player's own signal.
    QTimer::singleShot(0, this, &MediaArea::next);
}

void MediaArea::videoEnded() {
    if (m_entryDone) return;
    m_entryDone = true;
    m_failuresInARow = 0;
    next();
}

} // namespace tv
