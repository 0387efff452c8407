#include "voice_player.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace tv {

MediaVoicePlayer::MediaVoicePlayer(QObject* parent) : VoicePlayer(parent) {
    m_player = new QMediaPlayer(this);
    // Also without any sound device: the backend then plays into nothing at the
    // file's own pace and still reports the end.
    m_output = new QAudioOutput(this);
    m_player->setAudioOutput(m_output);

    m_guard.setSingleShot(true);
    connect(&m_guard, &QTimer::timeout, this, &MediaVoicePlayer::fileEnded);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                    fileEnded();
            });
    connect(m_player, &QMediaPlayer::errorOccurred, this, &MediaVoicePlayer::fileEnded);
    connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
        if (m_filePlaying && ms > 0) m_guard.start(int(qMin<qint64>(ms, 3600000)) + guardMarginMs);
    });
}

MediaVoicePlayer::~MediaVoicePlayer() {
    // The backend reports its last status changes while it is torn down; they must
    // not reach this half-destroyed object.
    disconnect(m_player, nullptr, this, nullptr);
    delete m_player;
}

void MediaVoicePlayer::setVolume(float volume) {
    m_output->setVolume(volume);
}

void MediaVoicePlayer::play(const QStringList& paths) {
    m_sequences.push_back(paths);
    // Started from the event loop: finished() for an empty or all-missing
    // sequence must not reach the caller before play() has returned.
    if (!m_filePlaying && !m_advanceQueued) {
        m_advanceQueued = true;
        QMetaObject::invokeMethod(this, &MediaVoicePlayer::startNextFile, Qt::QueuedConnection);
    }
}

void MediaVoicePlayer::startNextFile() {
    m_advanceQueued = false;
    // A sequence queued from a finished() handler below may have asked for
    // this call while its first file was already started here.
    if (m_filePlaying) return;
    while (!m_sequences.empty()) {
        const QStringList& files = m_sequences.front();
        while (m_next < files.size()) {
            const QString path = files.at(m_next++);
            const QFileInfo info(path);
            if (!info.isFile() || !info.isReadable()) continue;
            m_filePlaying = true;
            m_guard.start(unknownLengthGuardMs);
            m_player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
            m_player->play();
            emit fileStarted(path);
            return;
        }
        sequenceEnded();
    }
}

void MediaVoicePlayer::fileEnded() {
    if (!m_filePlaying) return;
    m_filePlaying = false;
    m_guard.stop();
    m_player->stop();
    // Not from inside the backend's own signal: the next source is set from the
    // event loop.
    if (!m_advanceQueued) {
        m_advanceQueued = true;
        QMetaObject::invokeMethod(this, &MediaVoicePlayer::startNextFile, Qt::QueuedConnection);
    }
}

void MediaVoicePlayer::sequenceEnded() {
    m_sequences.pop_front();
    m_next = 0;
    emit finished();
}

} // namespace tv
