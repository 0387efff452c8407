#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class Station;
class VoicePlayer;

// A token or counter text is spoken as recordings of one voice: the letters
// first (each one's file, "a.wav" for A or a), then the digits as a number.
// The functions here only name the files; a VoicePlayer plays them.
//
// Two ways of reading the number, after the recordings a voice folder holds:
// A builds numbers from 1..19, the tens and the hundred word (the "english"
// voice); B has a recording for each number 10..99 and for 200 (every other
// voice), and reads five digits and more the A way.
enum class NumberReading { A, B };

// The reading of a voice: A for exactly "english", B for any other name.
NumberReading readingFor(const QString& voiceName);

// Every character of the text, in order, as lower case + ".wav".
QStringList spellLetters(const QString& text);
// The files that say a text: its non-digits spelled, then its digits (0-9)
// read as one number. More than 15 digits are not read at all.
QStringList speakNumber(const QString& text);    // reading A
QStringList speakNumberAlt(const QString& text); // reading B
QStringList numberFiles(const QString& text, NumberReading reading);

// Program folder + "/vs/" + voice + "/"; a voice of "" leaves the folder name
// empty, as it is before any voice was chosen.
QString voiceFolder(const QString& voiceName);
// The name is used unchanged: callers add ".wav" where the name needs it.
QString voiceFilePath(const QString& voiceName, const QString& fileName);
QStringList voiceFilePaths(const QString& voiceName, const QStringList& fileNames);

// Plays one file of the station's current voice (station.voiceName). The
// player reports the end with finished(); a missing file plays nothing.
void playVoiceFile(const Station& station, VoicePlayer& player, const QString& fileName);
// The same for a whole sequence of files, played one after another.
void playVoiceFiles(const Station& station, VoicePlayer& player, const QStringList& fileNames);

} // namespace tv
