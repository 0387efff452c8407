// What a call announcement says, from which voice folder, and that the board
// always hears the end of it; then the real player on a few tiny files.
#include "core/connection.h"
#include "display/announcer.h"
#include "display/voice_player.h"
#include "test_station.h"

#include <QFile>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>

using namespace tv;
using namespace tv::test;

namespace {

const QString english = QStringLiteral("english|ding|token|*|please|roomno|#");
const QString hindi = QStringLiteral("hindi|ding|token|*|please|roomno|#|go");

// "english: ding token a.wav" -> full paths in the english folder.
QStringList inVoice(const QString& programDir, const char* names) {
    const QString text = QString::fromUtf8(names);
    const qsizetype colon = text.indexOf(u':');
    const QString folder = programDir + QStringLiteral("/vs/") + text.left(colon) + u'/';
    QStringList paths;
    for (const QString& name : text.mid(colon + 1).split(u' ', Qt::SkipEmptyParts))
        paths << folder + name;
    return paths;
}

// A short sine tone as a 22050 Hz mono 16-bit WAV file, as the voices are.
void writeTone(const QString& path, int milliseconds) {
    constexpr quint32 rate = 22050;
    const quint32 samples = rate * quint32(milliseconds) / 1000;
    QByteArray data(int(samples * 2), Qt::Uninitialized);
    for (quint32 i = 0; i < samples; ++i) {
        const auto v = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
        qToLittleEndian(v, data.data() + 2 * i);
    }
    QByteArray wav;
    const auto u32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    const auto u16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + quint32(data.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(quint32(data.size()));
    wav.append(data);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(wav);
}

} // namespace

class AnnouncerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void textsAreCleanedBeforeTheyAreRead_data();
    void textsAreCleanedBeforeTheyAreRead();
    void formats_data();
    void formats();
    void formatsAreReadForEveryCall();
    void closedConnectionAnnouncesNothing();
    void finishedComesForEveryCallInOrder();

    void mediaPlayerPlaysInOrderAndSkipsMissingFiles();
    void mediaPlayerFinishesEmptySequencesLater();

private:
    Station& st() { return m_db->station(); }
    void setFormats(const QString& first, const QString& second) {
        st().settings().set(keys::VoiceFormat1, first);
        st().settings().set(keys::VoiceFormat2, second);
    }
    // Announces one call and waits for its end; returns what was played.
    QStringList announce(const QString& token, const QString& counter) {
        RecordingVoicePlayer player;
        Announcer announcer(st(), player);
        QSignalSpy done(&announcer, &Announcer::finished);
        announcer.speekNo(token, counter);
        [&] { QVERIFY(done.wait()); }();
        return player.allPaths();
    }

    std::unique_ptr<TestStation> m_db;
    QTemporaryDir m_programDir;
    QString m_dir;
};

void AnnouncerTest::initTestCase() {
    // The FFmpeg backend crashes on this platform.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", QByteArrayLiteral("gstreamer"));
    m_dir = m_programDir.path();
    qputenv("TALLYVOX_PROGRAM_DIR", m_dir.toUtf8());
    m_db = std::make_unique<TestStation>(DbEngine::Sqlite);
}

void AnnouncerTest::cleanupTestCase() {
    m_db.reset();
    qunsetenv("TALLYVOX_PROGRAM_DIR");
}

void AnnouncerTest::init() {
    if (!st().dbConnection || !st().dbConnection->isOpen()) QVERIFY(st().openConnection());
    st().voiceName = QStringLiteral("before");
}

void AnnouncerTest::textsAreCleanedBeforeTheyAreRead_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QStringList>("heard");
    const auto row = [](const char* token, const char* counter, const QStringList& heard) {
        QTest::addRow("%s / %s", token, counter) << QString(token) << QString(counter) << heard;
    };
    row("A12", "Room 3", {"a.wav", "12.wav", "3.wav"});
    row("A12", "Counter 12", {"a.wav", "12.wav", "12.wav"});
    row("A12", "Counter 5", {"a.wav", "12.wav", "5.wav"});
    row("A12", "COUNTER 7", {"a.wav", "12.wav", "7.wav"});
    row("A12", "Lab B", {"a.wav", "12.wav", "l.wav", "a.wav", "b.wav", "b.wav"});
    row("A12", "ROOM B 2", {"a.wav", "12.wav", "b.wav", "2.wav"});
    row("room5", "3", {"5.wav", "3.wav"});
    row("counter5", "3", {"5.wav", "3.wav"});
    row("Room5", "3", {"r.wav", "o.wav", "o.wav", "m.wav", "5.wav", "3.wav"});
    row("A 12", "3", {"a.wav", " .wav", "12.wav", "3.wav"}); // blanks stay in the token
    // Words removed one after the other: what is left of the first may form the second.
    row("countroomer7", "3", {"7.wav", "3.wav"});
}

// One format that says just the two texts shows what the clean-up left of them.
void AnnouncerTest::textsAreCleanedBeforeTheyAreRead() {
    QFETCH(QString, token);
    QFETCH(QString, counter);
    QFETCH(QStringList, heard);
    setFormats(QStringLiteral("english|*|#"), QString());
    for (QString& name : heard)
        name.prepend(m_dir + QStringLiteral("/vs/english/"));
    QCOMPARE(announce(token, counter), heard);
}

void AnnouncerTest::formats_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QString>("voiceAfter");
    const auto row = [](const char* name, const QString& first, const QString& second,
                        const QStringList& heard, const char* voiceAfter) {
        QTest::newRow(name) << first << second << heard << QString(voiceAfter);
    };
    const auto in = [this](const char* names) { return inVoice(m_dir, names); };

    row("no formats", "", "", {}, "before");
    row("voice only", "english", "", {}, "english");
    row("stock formats", english, hindi,
        in("english: ding token a.wav 40.wav 5.wav please roomno 3.wav") +
            in("hindi: ding token a.wav 45.wav please roomno 3.wav go"),
        "hindi");
    row("token read twice", "english|*|*", "", in("english: a.wav 40.wav 5.wav a.wav 40.wav 5.wav"),
        "english");
    row("fields read in place", "english|#|ding|*|go", "",
        in("english: 3.wav ding a.wav 40.wav 5.wav go"), "english");
    row("second format alone", "", "hindi|*", in("hindi: a.wav 45.wav"), "hindi");
    // Only the exact name "english" reads the A way.
    row("English capitalised", "English|*", "", in("English: a.wav 45.wav"), "English");
}

// Token A45 for counter Room 3: the english voice says 40 5, every other
// voice its own 45.
void AnnouncerTest::formats() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QStringList, heard);
    QFETCH(QString, voiceAfter);
    setFormats(first, second);
    QCOMPARE(announce(QStringLiteral("A45"), QStringLiteral("Room 3")), heard);
    QCOMPARE(st().voiceName, voiceAfter);
}

void AnnouncerTest::formatsAreReadForEveryCall() {
    RecordingVoicePlayer player;
    Announcer announcer(st(), player);
    QSignalSpy done(&announcer, &Announcer::finished);

    setFormats(QStringLiteral("english|*"), QStringLiteral("other|*"));
    announcer.speekNo(QStringLiteral("45"), QString());
    setFormats(QString(), QStringLiteral("english|#"));
    announcer.speekNo(QStringLiteral("45"), QStringLiteral("Counter 45"));
    QTRY_COMPARE(done.count(), 2);

    QCOMPARE(player.sequences, (QList<QStringList>{inVoice(m_dir, "english: 40.wav 5.wav") +
                                                       inVoice(m_dir, "other: 45.wav"),
                                                   inVoice(m_dir, "english: 40.wav 5.wav")}));
}

void AnnouncerTest::closedConnectionAnnouncesNothing() {
    setFormats(english, hindi);
    st().dbConnection->close();
    QVERIFY(announce(QStringLiteral("A12"), QStringLiteral("Room 3")).isEmpty());
    st().dbConnection.reset();
    QVERIFY(announce(QStringLiteral("A12"), QStringLiteral("Room 3")).isEmpty());
    QCOMPARE(st().voiceName, QStringLiteral("before"));
}

// The board takes no new call until finished(): it must come once per call,
// also when nothing was said, and never before speekNo() has returned.
void AnnouncerTest::finishedComesForEveryCallInOrder() {
    RecordingVoicePlayer player;
    Announcer announcer(st(), player);
    QStringList ends;
    connect(&announcer, &Announcer::finished, this,
            [&] { ends << QString::number(player.sequences.size()); });

    setFormats(QStringLiteral("english|*"), QString());
    announcer.speekNo(QStringLiteral("1"), QString());
    QVERIFY(announcer.isBusy());
    QVERIFY(ends.isEmpty());
    setFormats(QString(), QString());
    announcer.speekNo(QStringLiteral("2"), QString());
    QTRY_VERIFY(!announcer.isBusy());
    QCOMPARE(ends, (QStringList{"2", "2"}));
    QCOMPARE(player.sequences,
             (QList<QStringList>{inVoice(m_dir, "english: 1.wav"), QStringList()}));
}

// Two tiny files around a missing one and a folder, the second file twice in a
// row (as b, b of "Lab B"): each heard, in order, to its end.
void AnnouncerTest::mediaPlayerPlaysInOrderAndSkipsMissingFiles() {
    if (!QMediaFormat().supportedFileFormats(QMediaFormat::Decode).contains(QMediaFormat::Wave))
        QSKIP("this media backend cannot play WAV (gstreamer1.0-plugins-good missing)");

    QTemporaryDir dir;
    const QString one = dir.filePath(QStringLiteral("one.wav"));
    const QString two = dir.filePath(QStringLiteral("two"));
    writeTone(one, 50);
    writeTone(two, 60);

    MediaVoicePlayer player;
    QStringList started;
    int completed = 0;
    connect(&player, &MediaVoicePlayer::fileStarted, this,
            [&](const QString& path) { started << path; });
    auto* media = player.findChild<QMediaPlayer*>();
    QVERIFY(media);
    connect(media, &QMediaPlayer::mediaStatusChanged, this, [&](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia) ++completed;
    });
    QSignalSpy done(&player, &VoicePlayer::finished);

    player.play({one, dir.filePath(QStringLiteral("missing.wav")), dir.path(), two, two});
    QVERIFY(player.isPlaying());
    QVERIFY(done.wait(30000));
    QCOMPARE(done.count(), 1);
    QVERIFY(!player.isPlaying());
    QCOMPARE(started, (QStringList{one, two, two}));
    QCOMPARE(completed, 3);
}

void AnnouncerTest::mediaPlayerFinishesEmptySequencesLater() {
    MediaVoicePlayer player;
    QSignalSpy done(&player, &VoicePlayer::finished);
    player.play({});
    player.play({QStringLiteral("/nonexistent/vs/english/1.wav")});
    QCOMPARE(done.count(), 0);
    QVERIFY(player.isPlaying());
    QTRY_COMPARE(done.count(), 2);
    QVERIFY(!player.isPlaying());
}

QTEST_MAIN(AnnouncerTest)
#include "test_announcer.moc"
