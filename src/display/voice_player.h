#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>

class QAudioOutput;
class QMediaPlayer;

namespace tv {

// Plays voice files one after another, each to its end before the next begins.
// The board waits for finished() instead of blocking the user-interface thread,
// so polling, highlighting and the ticker keep running while a call is spoken.
//
// Contract of every player:
// - play() never blocks and never emits finished() from inside itself;
// - finished() comes exactly once per play() call, in the order of the calls,
//   also for an empty list; a call made while a sequence plays is queued behind it;
// - a file that is missing or cannot be played plays nothing and the sequence
//   goes on with the next one.
class VoicePlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~VoicePlayer() override = default;

    virtual void play(const QStringList& paths) = 0;
    // True from play() until the finished() of the last queued sequence.
    virtual bool isPlaying() const = 0;

signals:
    void finished();
};

// The real player: Qt Multimedia on the GStreamer backend.
//
// A machine without any sound device still plays, silently and in real time,
// so the pauses between calls are the same everywhere. Should a backend never
// report the end of a file, a guard timer moves on: the file's length plus two
// seconds once the length is known, ten seconds before that.
class MediaVoicePlayer final : public VoicePlayer {
    Q_OBJECT

public:
    explicit MediaVoicePlayer(QObject* parent = nullptr);
    ~MediaVoicePlayer() override;

    void play(const QStringList& paths) override;
    bool isPlaying() const override { return !m_sequences.empty(); }

    // 0.0 to 1.0.
    void setVolume(float volume);

    static constexpr int unknownLengthGuardMs = 10000;
    static constexpr int guardMarginMs = 2000;

signals:
    // A file of the sequence was handed to the backend (missing files never are).
    void fileStarted(const QString& path);

private:
    void startNextFile();
    void fileEnded();
    void sequenceEnded();

    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    QTimer m_guard;
    std::deque<QStringList> m_sequences; // front() is the one playing
    qsizetype m_next = 0;                // next file of front()
    bool m_filePlaying = false;
    bool m_advanceQueued = false;
};

// For tests: remembers every sequence it was given and finishes each one at
// once (through the event loop, as a real player would).
class RecordingVoicePlayer final : public VoicePlayer {
    Q_OBJECT

public:
    using VoicePlayer::VoicePlayer;

    void play(const QStringList& paths) override {
        sequences.append(paths);
        ++m_pending;
        QMetaObject::invokeMethod(
            this,
            [this] {
                --m_pending;
                emit finished();
            },
            Qt::QueuedConnection);
    }
    bool isPlaying() const override { return m_pending > 0; }

    // Every file of every sequence, in order.
    QStringList allPaths() const {
        QStringList all;
        for (const QStringList& s : sequences)
            all += s;
        return all;
    }

    QList<QStringList> sequences;

private:
    int m_pending = 0;
};

} // namespace tv
