#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace tv {

class Station;
class VoicePlayer;

// Announces a call by voice after the station's two announcement formats
// ("queue"/"scroll"/"vsFormat1" and "vsFormat2"), one after the other, so a
// hall can hear every call in two languages.
//
// A format is "voice|field|field|...": the voice names the folder under vs/,
// "*" says the token, "#" the counter, any other field is a file of the voice
// folder played under exactly that name.
class Announcer final : public QObject {
    Q_OBJECT

public:
    Announcer(Station& station, VoicePlayer& player, QObject* parent = nullptr);

    // Announces one call. Returns at once; finished() follows when the last
    // file has been played, and also when there was nothing to say (no format,
    // no open database connection), so the caller can always wait for it.
    // Calls made meanwhile are played one after the other, each with its own
    // finished(). The player belongs to this announcer alone.
    void speekNo(QString token, QString counter);
    bool isBusy() const { return m_pending > 0; }

    // The files of one format for already cleaned texts, as full paths; sets
    // *voiceName to the format's voice (field 0) when given.
    static QStringList speak(const QString& format, const QString& token, const QString& counter,
                             QString* voiceName = nullptr);

    // Every file that announces a call after both formats, as full paths,
    // with the token and counter texts cleaned as an announcement cleans them
    // (the web board's page plays the same files). Sets *voiceName to the
    // voice of the last format used.
    static QStringList callFiles(const QString& format1, const QString& format2,
                                 const QString& token, const QString& counter,
                                 QString* voiceName = nullptr);

signals:
    void finished();

private:
    void playerFinished();

    Station& m_station;
    VoicePlayer& m_player;
    int m_pending = 0;
};

} // namespace tv
