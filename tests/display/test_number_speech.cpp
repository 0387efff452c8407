// Which voice files say a token or counter text, in both readings, and where
// the files are looked for.
#include "core/station.h"
#include "display/number_speech.h"
#include "display/voice_player.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

// "1 00 40" -> {"1.wav", "00.wav", "40.wav"}: the tables below stay readable.
QStringList files(const char* names) {
    QStringList out;
    for (const QString& n : QString::fromUtf8(names).split(u' ', Qt::SkipEmptyParts))
        out << n + QStringLiteral(".wav");
    return out;
}

} // namespace

class NumberSpeechTest : public QObject {
    Q_OBJECT

private slots:
    void readingA_data();
    void readingA() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(speakNumber(text), expected);
        QCOMPARE(numberFiles(text, NumberReading::A), expected);
    }
    void readingB_data();
    void readingB() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(speakNumberAlt(text), expected);
        QCOMPARE(numberFiles(text, NumberReading::B), expected);
    }

    void lettersAreSpelledAsTheyStand_data();
    void lettersAreSpelledAsTheyStand() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(spellLetters(text), expected);
    }

    void onlyEnglishReadsTheAWay() {
        QCOMPARE(readingFor(QStringLiteral("english")), NumberReading::A);
        QCOMPARE(readingFor(QStringLiteral("English")), NumberReading::B);
        QCOMPARE(readingFor(QStringLiteral("hindi")), NumberReading::B);
        QCOMPARE(readingFor(QString()), NumberReading::B);
    }

    void filesAreLookedForInTheVoiceFolder();
    void everyFileTheReadingsNameIsInTheStockVoices();
};

void NumberSpeechTest::readingA_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char* text, const char* names) {
        QTest::newRow(text) << QString::fromUtf8(text) << files(names);
    };
    row("0", "");
    row("7", "7");
    row("10", "10");
    row("15", "15");
    row("20", "20");
    row("21", "20 1");
    row("05", "5");
    row("100", "1 00");
    row("110", "1 00 10");
    row("105", "1 00 5");
    row("012", "12");
    row("000", "");
    row("1000", "1 000");
    row("1001", "1 000 1");
    row("2345", "2 000 3 00 40 5");
    row("0345", "000 3 00 40 5"); // the thousand word even after a leading 0
    row("12345", "12 thousand 3 00 40 5");
    row("100000", "1 00 thousand");
    row("1000000", "1 million thousand");
    row("98765432", "90 8 million 7 00 60 5 thousand 4 00 30 2");
    row("1000000000", "1 billion million thousand");
    row("1000000000000", "1 trillion billion million thousand");
    row("123456789012345",
        "1 00 20 3 trillion 4 00 50 6 billion 7 00 80 9 million 12 thousand 3 00 40 5");
    row("1234567890123456", ""); // 16 digits: not read
    row("", "");
    row("A12", "a 12");
    row("AB7", "a b 7");
    row("12B", "b 12");
    row("1A2", "a 12"); // digits join into one number
    row("XYZ", "x y z");
    row("B1234567890123456", "b");
}

void NumberSpeechTest::readingB_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char* text, const char* names) {
        QTest::newRow(text) << QString::fromUtf8(text) << files(names);
    };
    row("0", "");
    row("7", "7");
    row("10", "10");
    row("45", "45");
    row("90", "90");
    row("07", "7");
    row("00", "");
    row("100", "00");
    row("199", "00 99");
    row("200", "200");
    row("250", "200 50");
    row("305", "3 00 5");
    row("045", "45");
    row("1000", "1 000");
    row("1234", "1 000 200 34");
    row("1534", "1 000 5 00 34");
    row("0999", "000 9 00 99");
    // Five digits and more: groups and remainder the A way, so 12 thousand and
    // 40 5, never a file of its own for 45.
    row("12345", "12 thousand 3 00 40 5");
    row("250000", "2 00 50 thousand");
    row("1000000", "1 million thousand");
    row("123456789012345",
        "1 00 20 3 trillion 4 00 50 6 billion 7 00 80 9 million 12 thousand 3 00 40 5");
    row("1234567890123456", "");
    row("", "");
    row("A12", "a 12");
    row("12B", "b 12");
    row("R245", "r 200 45");
}

void NumberSpeechTest::lettersAreSpelledAsTheyStand_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("upper and lower") << QStringLiteral("aBc") << files("a b c");
    QTest::newRow("blank and dash")
        << QStringLiteral("A -") << QStringList{"a.wav", " .wav", "-.wav"};
    QTest::newRow("accented") << QStringLiteral("É") << QStringList{QStringLiteral("é.wav")};
    QTest::newRow("outside the basic plane")
        << QStringLiteral("\U0001D400") << QStringList{QStringLiteral("\U0001D400.wav")};
    QTest::newRow("empty") << QString() << QStringList();
}

void NumberSpeechTest::filesAreLookedForInTheVoiceFolder() {
    QTemporaryDir dir;
    qputenv("TALLYVOX_PROGRAM_DIR", dir.path().toUtf8());
    const QString vs = dir.path() + QStringLiteral("/vs/");

    QCOMPARE(voiceFilePath(QStringLiteral("hindi"), QStringLiteral("45.wav")),
             vs + QStringLiteral("hindi/45.wav"));
    // Names go unchanged: a format's "ding" is the file "ding".
    QCOMPARE(voiceFilePath(QStringLiteral("english"), QStringLiteral("ding")),
             vs + QStringLiteral("english/ding"));
    QCOMPARE(voiceFilePath(QString(), QStringLiteral("1.wav")), vs + QStringLiteral("/1.wav"));

    Station station(QStringLiteral("test"), dir.filePath(QStringLiteral("station.ini")));
    station.voiceName = QStringLiteral("english");
    RecordingVoicePlayer player;
    playVoiceFile(station, player, QStringLiteral("token"));
    playVoiceFiles(station, player, speakNumber(QStringLiteral("A12")));
    QCOMPARE(player.sequences, (QList<QStringList>{{vs + "english/token"},
                                                   {vs + "english/a.wav", vs + "english/12.wav"}}));
    qunsetenv("TALLYVOX_PROGRAM_DIR");
}

// The generated stock folders must hold every file their reading can ask for,
// or calls go quiet in the middle of a number.
void NumberSpeechTest::everyFileTheReadingsNameIsInTheStockVoices() {
#ifndef TALLYVOX_STOCK_VOICES
    QSKIP("the stock voices are not part of this build");
#else
    const QDir vs(QStringLiteral(TALLYVOX_STOCK_VOICES));
    if (!vs.exists(QStringLiteral("english")) || !vs.exists(QStringLiteral("hindi")))
        QSKIP("the stock voices have not been generated");

    const auto check = [&](const QString& voice, NumberReading reading) {
        QSet<QString> names;
        for (int n = 0; n < 100000; ++n) {
            for (const QString& name : numberFiles(QString::number(n), reading))
                names << name;
        }
        for (const char* big : {"123456789012345", "1000000000000", "100000000"}) {
            for (const QString& name : numberFiles(QString::fromLatin1(big), reading))
                names << name;
        }
        for (char c = 'A'; c <= 'Z'; ++c)
            names << spellLetters(QString(QChar(c))).first();
        for (const char* word : {"ding", "token", "please", "roomno", "go"})
            names << QString::fromLatin1(word);
        for (const QString& name : std::as_const(names)) {
            QVERIFY2(QFileInfo(vs.filePath(voice + u'/' + name)).size() > 44,
                     qPrintable(voice + u'/' + name));
        }
    };
    check(QStringLiteral("english"), NumberReading::A);
    check(QStringLiteral("hindi"), NumberReading::B);
#endif
}

QTEST_GUILESS_MAIN(NumberSpeechTest)
#include "test_number_speech.moc"
