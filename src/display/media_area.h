#pragma once

#include <QSet>
#include <QStringList>
#include <QWidget>
#include <memory>

class QAudioOutput;
class QCamera;
class QLabel;
class QMediaCaptureSession;
class QMediaPlayer;
class QStackedLayout;
class QTimer;

namespace tv {

class VideoSurface;

// The board's video area ("VideoCapX"): the live picture of a capture device,
// or a play list of videos and pictures in turn, round and round. A picture
// stays for its duration; a video plays to its end. A file that is missing or
// cannot be played is skipped with one line on standard error; when nothing
// in the list can be played the area rests for a minute before it tries again
// (askedForList() lets the board read the list afresh then), so a broken list
// never keeps the board busy.
class MediaArea final : public QWidget {
    Q_OBJECT

public:
    explicit MediaArea(QWidget* parent = nullptr);
    ~MediaArea() override;

    // Plays `files` in turn; `volume` 0..10; pictures stay `pictureMs`.
    void playList(const QStringList& files, int volume, int pictureMs);
    // The live picture of capture device `index` of the system's list; false
    // (and the area stays empty) when there is no such device.
    bool showLive(int index);
    void stopAll();

    QStringList list() const { return m_files; }
    // The entry on show (-1 for none) and what it is.
    int position() const { return m_position; }
    QString current() const;
    bool showingPicture() const;
    bool live() const { return m_camera != nullptr; }
    int retryMs = 60 * 1000;

    static bool isPicture(const QString& file);

signals:
    void entryStarted(const QString& file);
    void skipped(const QString& file, const QString& why);
    // Nothing in the list could be played: the list may be read again.
    void askedForList();

private:
    void next();
    void playEntry();
    void skip(const QString& why);
    void videoEnded();
    void tell(const QString& line);

    QStackedLayout* m_stack;
    VideoSurface* m_video;
    QLabel* m_picture;
    QMediaPlayer* m_player;
    QAudioOutput* m_audio;
    QTimer* m_pictureTimer; // Timer9
    QTimer* m_retry;
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QMediaCaptureSession> m_capture;
    QStringList m_files;
    int m_position = -1;
    int m_failuresInARow = 0;
    bool m_entryDone = false; // the current entry has ended or failed
    int m_pictureMs = 5000;
    QSet<QString> m_told; // each broken file is reported once
};

} // namespace tv
