#include "announcer.h"

#include "core/connection.h"
#include "core/station.h"
#include "number_speech.h"
#include "voice_player.h"

namespace tv {

namespace {

// Tokens and counter texts may carry the words ("room5", "Room 3"): the hall
// only needs to hear the 5 and the 3. In the token only the lower-case words
// go (a token "Room5" is spelled out as it stands); blanks stay.
QString cleanToken(QString token) {
    if (token.contains(u"room")) token.remove(QStringLiteral("room"));
    if (token.contains(u"counter")) token.remove(QStringLiteral("counter"));
    return token;
}

// In the counter text the words go whatever their case (the text is then lower
// case), and every blank goes, removed word or not: "Lab B" is said l, a, b, b.
QString cleanCounter(QString counter) {
    if (counter.toLower().contains(u"room"))
        counter = counter.toLower().remove(QStringLiteral("room"));
    if (counter.toLower().contains(u"counter"))
        counter = counter.toLower().remove(QStringLiteral("counter"));
    counter.remove(u' ');
    return counter;
}

} // namespace

Announcer::Announcer(Station& station, VoicePlayer& player, QObject* parent)
    : QObject(parent), m_station(station), m_player(player) {
    connect(&m_player, &VoicePlayer::finished, this, &Announcer::playerFinished);
}

QStringList Announcer::speak(const QString& format, const QString& token, const QString& counter,
                             QString* voiceName) {
    const QStringList fields = format.split(u'|');
    const QString& voice = fields.first();
    if (voiceName) *voiceName = voice;
    const NumberReading reading = readingFor(voice);

    QStringList names;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QString& field = fields.at(i);
        if (field == u"*")
            names += numberFiles(token, reading);
        else if (field == u"#")
            names += numberFiles(counter, reading);
        else
            names << field;
    }
    return voiceFilePaths(voice, names);
}

QStringList Announcer::callFiles(const QString& first, const QString& second,
                                 const QString& rawToken, const QString& rawCounter,
                                 QString* voiceName) {
    const QString token = cleanToken(rawToken);
    const QString counter = cleanCounter(rawCounter);
    // Both formats make one sequence; each path already names its format's
    // folder, and voiceName keeps the voice of the last format.
    QStringList paths;
    if (!first.isEmpty()) paths += speak(first, token, counter, voiceName);
    if (!second.isEmpty()) paths += speak(second, token, counter, voiceName);
    return paths;
}

void Announcer::speekNo(QString token, QString counter) {
    // Read for every call: a change on the settings screen counts from the next call.
    const QString first = m_station.settings().text(keys::VoiceFormat1);
    const QString second = m_station.settings().text(keys::VoiceFormat2);
    QStringList paths;
    if (m_station.dbConnection && m_station.dbConnection->isOpen())
        paths = callFiles(first, second, token, counter, &m_station.voiceName);
    ++m_pending;
    m_player.play(paths);
}

void Announcer::playerFinished() {
    if (m_pending == 0) return;
    --m_pending;
    emit finished();
}

} // namespace tv
