#include "number_speech.h"

#include "core/paths.h"
#include "core/station.h"
#include "voice_player.h"

#include <array>

namespace tv {

namespace {

constexpr int maxDigits = 15;

QString wav(QStringView name) {
    return name.toString() + QStringLiteral(".wav");
}

// Scale word after the leading group of a number of 5 to 15 digits.
QString scaleWord(qsizetype digits) {
    static const std::array<QString, 4> words{
        QStringLiteral("thousand.wav"), QStringLiteral("million.wav"),
        QStringLiteral("billion.wav"), QStringLiteral("trillion.wav")};
    return words[std::size_t((digits - 4) / 3)];
}

// Reads a digit string the A way. Each level drops at least one digit.
void readA(QStringView d, QStringList& out) {
    const qsizetype n = d.size();
    if (n == 0 || n > maxDigits) return;
    if (n == 1) {
        if (d[0] != u'0') out << wav(d);
    } else if (n == 2) {
        if (d[0] == u'1') {
            out << wav(d);
        } else {
            if (d[0] != u'0') out << QString(d[0]) + QStringLiteral("0.wav");
            readA(d.mid(1), out);
        }
    } else if (n == 3) {
        if (d[0] != u'0') {
            readA(d.left(1), out);
            out << QStringLiteral("00.wav");
        }
        readA(d.mid(1), out);
    } else if (n == 4) {
        // The thousand word comes even after a leading 0.
        readA(d.left(1), out);
        out << QStringLiteral("000.wav");
        readA(d.mid(1), out);
    } else {
        // Groups of three from the right; the scale word is said even when its
        // group is all zeros (1000000: one million thousand).
        const qsizetype lead = (n - 1) % 3 + 1;
        readA(d.left(lead), out);
        out << scaleWord(n);
        readA(d.mid(lead), out);
    }
}

// Reads a digit string the B way.
void readB(QStringView d, QStringList& out) {
    const qsizetype n = d.size();
    if (n == 0 || n > maxDigits) return;
    if (n == 1) {
        readA(d, out);
    } else if (n == 2) {
        if (d[0] == u'0')
            readB(d.mid(1), out);
        else
            out << wav(d);
    } else if (n == 3) {
        if (d[0] == u'2') {
            out << QStringLiteral("200.wav");
        } else if (d[0] == u'1') {
            out << QStringLiteral("00.wav");
        } else if (d[0] != u'0') {
            readB(d.left(1), out);
            out << QStringLiteral("00.wav");
        }
        readB(d.mid(1), out);
    } else if (n == 4) {
        readB(d.left(1), out);
        out << QStringLiteral("000.wav");
        readB(d.mid(1), out);
    } else {
        readA(d, out);
    }
}

} // namespace

NumberReading readingFor(const QString& voiceName) {
    return voiceName == u"english" ? NumberReading::A : NumberReading::B;
}

QStringList spellLetters(const QString& text) {
    QStringList names;
    // By code point, so a character outside the basic plane stays one name.
    for (const char32_t c : text.toUcs4()) {
        const char32_t lower = QChar::toLower(c);
        names << QString::fromUcs4(&lower, 1) + QStringLiteral(".wav");
    }
    return names;
}

QStringList numberFiles(const QString& text, NumberReading reading) {
    QString letters;
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else
            letters += c;
    }
    // The letters come first wherever they stand: 12B is said b, 12.
    QStringList names = spellLetters(letters);
    if (reading == NumberReading::A)
        readA(digits, names);
    else
        readB(digits, names);
    return names;
}

QStringList speakNumber(const QString& text) {
    return numberFiles(text, NumberReading::A);
}

QStringList speakNumberAlt(const QString& text) {
    return numberFiles(text, NumberReading::B);
}

QString voiceFolder(const QString& voiceName) {
    return paths::programFolder() + QStringLiteral("/vs/") + voiceName + u'/';
}

QString voiceFilePath(const QString& voiceName, const QString& fileName) {
    return voiceFolder(voiceName) + fileName;
}

QStringList voiceFilePaths(const QString& voiceName, const QStringList& fileNames) {
    const QString folder = voiceFolder(voiceName);
    QStringList paths;
    paths.reserve(fileNames.size());
    for (const QString& name : fileNames)
        paths << folder + name;
    return paths;
}

void playVoiceFile(const Station& station, VoicePlayer& player, const QString& fileName) {
    player.play({voiceFilePath(station.voiceName, fileName)});
}

void playVoiceFiles(const Station& station, VoicePlayer& player, const QStringList& fileNames) {
    player.play(voiceFilePaths(station.voiceName, fileNames));
}

} // namespace tv
