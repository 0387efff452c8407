// The message record's rich text: our RTF writer and reader, and RTF as other
// programs write it.
#include "content/rtf_format.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "rtf_samples.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {

QTextCharFormat look(const QString& family, double points, bool b = false, bool i = false,
                     bool u = false, bool s = false, QColor color = {}) {
    rtf::CharLook k;
    k.family = family;
    k.points = points;
    k.bold = b;
    k.italic = i;
    k.underline = u;
    k.strike = s;
    if (color.isValid()) k.color = color;
    return rtf::toCharFormat(k);
}

// Reads RTF and fails the test when the reader refused it.
QStringList readBack(const QByteArray& rtfData, QString* warning = nullptr) {
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read(rtfData, &doc);
    if (!r.ok) qWarning() << "read failed:" << r.error;
    if (warning) *warning = r.warning;
    return describe(doc);
}

QString textOf(const QByteArray& rtfData, rtf::ReadResult* result = nullptr) {
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read(rtfData, &doc);
    if (result) *result = r;
    return doc.toPlainText();
}

} // namespace

class RtfCodecTest : public QObject {
    Q_OBJECT

private slots:
    void everyAttributeSurvivesARoundTrip() {
        QTextDocument doc;
        doc.setDefaultFont(QFont("Liberation Sans", 20));
        QTextCursor c(&doc);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.setBlockFormat(centred);
        c.insertText("plain ");
        c.insertText("bold", look("Liberation Sans", 20, true));
        c.insertText(" italic", look("Liberation Sans", 20, false, true));
        c.insertText(" under", look("Liberation Sans", 20, false, false, true));
        c.insertText(" struck", look("Liberation Sans", 20, false, false, false, true));
        c.insertText(" red", look("Liberation Serif", 31.5, true, true, false, false, Qt::red));
        c.insertText(" black", look("DejaVu Sans Mono", 9, false, false, false, false, Qt::black));

        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        right.setLeftMargin(40);
        right.setRightMargin(24);
        right.setTextIndent(-12);
        right.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab),
                               QTextOption::Tab(300, QTextOption::RightTab),
                               QTextOption::Tab(400, QTextOption::CenterTab)});
        c.insertBlock(right);
        c.insertText("a\tb\u2028second line{with} \\braces\\");
        QTextBlockFormat justified;
        justified.setAlignment(Qt::AlignJustify);
        c.insertBlock(justified);
        c.insertBlock(QTextBlockFormat(), look("Liberation Sans", 40)); // an empty big line
        c.insertBlock(QTextBlockFormat());
        c.insertText("first bullet");
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        c.createList(bullets);
        c.insertBlock();
        c.insertText("second bullet");
        c.insertBlock(QTextBlockFormat());
        c.insertText("numbered");
        QTextListFormat numbers;
        numbers.setStyle(QTextListFormat::ListDecimal);
        c.createList(numbers);
        c.insertBlock(QTextBlockFormat());
        c.insertText("after the lists");

        const QByteArray out = rtf::write(doc);
        for (const char ch : out)
            QVERIFY2(static_cast<uchar>(ch) < 0x80, "RTF output must be 7-bit");
        QCOMPARE(readBack(out), describe(doc));
        // Writing what was read gives the same RTF again.
        QTextDocument again;
        QVERIFY(rtf::read(out, &again).ok);
        again.setDefaultFont(doc.defaultFont());
        QCOMPARE(rtf::write(again), out);
    }

    void emptyAndTrailingParagraphsAreKept() {
        for (const QString& text :
             {QString(), QString("one"), QString("one\n"), QString("\n\ntwo\n\n")}) {
            QTextDocument doc;
            doc.setPlainText(text);
            QTextDocument back;
            QVERIFY(rtf::read(rtf::write(doc), &back).ok);
            QCOMPARE(back.toPlainText(), text);
            QCOMPARE(back.blockCount(), doc.blockCount());
        }
    }

    void unicodeBeyondLatinGoesBothWays() {
        const QString text = QString::fromUtf8(
            "नमस्ते, काउंटर 5 पर आइए। Привет Ελληνικά 中文 café €5 ‘quoted’ 😀 \xF0\x9D\x84\x9E");
        QTextDocument doc;
        doc.setDefaultFont(QFont("Lohit Devanagari", 18));
        QTextCursor(&doc).insertText(text);
        const QByteArray out = rtf::write(doc);
        QVERIFY(out.contains("\\u2344?"));            // न
        QVERIFY(out.contains("\\u233\\'e9"));         // é with its Windows-1252 fallback
        QVERIFY(out.contains("\\u8364\\'80"));        // €
        QVERIFY(out.contains("\\u-10179?\\u-8704?")); // 😀 as two halves
        QCOMPARE(textOf(out), text);
    }

    void unicodeAsOtherProgramsWriteIt() {
        // \uc0: no fallback; \uc2: two fallback characters, \'hh and plain
        // ones counted alike; \uc is kept per group.
        QCOMPARE(textOf("{\\rtf1\\ansi\\uc0\\u2344\\u2350 x}"), QString::fromUtf8("नमx"));
        QCOMPARE(textOf("{\\rtf1\\ansi\\uc2\\u1055\\'3f\\'3fa\\u1088 ??b}"),
                 QString::fromUtf8("Пaрb"));
        QCOMPARE(textOf("{\\rtf1\\ansi{\\uc3\\u1055 xyz}\\u1088 ?c}"), QString::fromUtf8("Прc"));
        // A group's end stops the skipping.
        QCOMPARE(textOf("{\\rtf1\\ansi\\uc5{\\u1055}tail}"), QString::fromUtf8("Пtail"));
        // Negative values are the upper half of the 16-bit range.
        QCOMPARE(textOf("{\\rtf1\\u-3?}"), QString(QChar(0xFFFD)));
    }

    void bytesFollowTheDocumentsOrTheFontsCodePage() {
        QCOMPARE(textOf("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80 \\'93q\\'94}"),
                 QString::fromUtf8("café € “q”"));
        QCOMPARE(textOf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"),
                 QString::fromUtf8("Привет"));
        // A Cyrillic font in a Western document: its bytes are Cyrillic.
        QCOMPARE(textOf("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman Times;}"
                        "{\\f1\\fswiss\\fcharset204 Arial Cyr;}}\\f0 caf\\'e9 \\f1\\'c4\\'e0}"),
                 QString::fromUtf8("café Да"));
        // Japanese bytes in pairs.
        QCOMPARE(textOf("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\\'a2}"),
                 QString::fromUtf8("あい"));
        // Raw 8-bit text is read in the same code page.
        QCOMPARE(textOf("{\\rtf1\\ansi caf\xe9}"), QString::fromUtf8("café"));
    }

    void wordProcessorSamplesKeepTheirTextAndLooks() {
        // In the style of a word processor: information, styles, generator,
        // theme data and a starred destination nobody knows, nested groups,
        // fields, hidden text, unknown words and a picture three ways.
        const QByteArray word =
            "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505"
            "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose "
            "02020603050405020304}Times New Roman;}{\\f1\\fbidi \\fswiss\\fcharset0\\fprq2"
            "{\\*\\panose 020b0604020202020204}Arial{\\*\\falt Helvetica};}}"
            "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
            "{\\*\\defchp \\f31506\\fs22 }{\\stylesheet{\\ql \\li0 \\f0\\fs24 Normal;}"
            "{\\s1\\qc \\b\\fs32 heading 1;}}{\\*\\rsidtbl \\rsid123}"
            "{\\*\\generator Microsoft Word 15.0;}{\\info{\\title A title}{\\author Someone}}"
            "{\\*\\themedata 504b030414000600}{\\*\\xmlnstbl {\\xmlns1 http://x}}"
            "\\paperw11906\\paperh16838\\margl1440\\viewkind1\\sectd\\linex0\\sectdefaultcl"
            "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang {\\pntxta .}}"
            "\\pard\\plain \\s1\\qc\\rtlch\\fcs1 \\ltrch\\fcs0 \\b\\f1\\fs32\\insrsid1 "
            "Opening {\\cf2 Hours}\\par "
            "\\pard\\plain \\ql\\li720\\ri360\\fi-360\\tx1440\\tqr\\tx5000 \\f0\\fs24 "
            "Mon{\\i day}\\tab 8:00{\\v hidden}\\tab 17:00 "
            "{\\field{\\*\\fldinst {HYPERLINK \"http://example.org\"}}{\\fldrslt {\\ul\\cf3 link}}}"
            "{\\*\\bkmkstart b1}{\\*\\bkmkend b1}\\foobar42\\zzz "
            "{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a0000}"
            "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0100}}"
            "{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn x}{\\sv 1}}}{\\shprslt {\\pict 00}}}"
            "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105000002}"
            "{\\result {\\b obj}}}"
            "\\par {\\*\\unknowndest with {nested {groups}} text}\\bin4 {}\\\\"
            "after\\par}";
        QString warning;
        const QStringList d = readBack(word, &warning);
        QCOMPARE(warning, QString());
        QCOMPARE(d.size(), 3);
        QCOMPARE(d[0], QString("center li0 ri0 fi0 | [Arial 16 B auto]Opening "
                               " [Arial 16 B #ff0000]Hours"));
        const QString tabs = "left li48 ri24 fi-24 tab96/0 tab333/1 |";
        QCOMPARE(d[1], tabs + " [Times New Roman 12  auto]Mon"
                              " [Times New Roman 12 I auto]day"
                              " [Times New Roman 12  auto]\t8:00\t17:00 "
                              " [Times New Roman 12 U #008000]link"
                              " [Times New Roman 12 B auto]obj");
        QCOMPARE(d[2], tabs + " [Times New Roman 12  auto]after");
    }

    void bulletsAsTheOldRichTextBoxAndWordWriteThem() {
        const QByteArray richEdit =
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}"
            "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
            "\\fi-360\\li360\\f0\\fs40 one\\par{\\pntext\\f1\\'B7\\tab}two\\par"
            "\\pard\\f0 plain\\par}";
        QCOMPARE(readBack(richEdit),
                 QStringList({"left li0 ri0 fi0 list:bullet | [Arial 20  auto]one",
                              "left li0 ri0 fi0 list:bullet | [Arial 20  auto]two",
                              "left li0 ri0 fi0 | [Arial 20  auto]plain"}));
        const QByteArray word =
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Calibri;}{\\f3\\fcharset2 Symbol;}}"
            "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext "
            "\\'01\\u-3913 ?;}}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
            "{\\listtext\\pard\\plain\\f3\\fs24 \\'b7\\tab}\\pard\\plain \\li720\\fi-360\\ls1"
            "\\f0\\fs24 apples\\par"
            "{\\listtext\\pard\\plain\\f0 1.\\tab}\\pard\\plain \\li720\\fi-360\\ls2\\f0 "
            "first\\par}";
        const QStringList d = readBack(word);
        QCOMPARE(d.size(), 2);
        QCOMPARE(d[0], QString("left li24 ri0 fi0 list:bullet | [Calibri 12  auto]apples"));
        QCOMPARE(d[1], QString("left li24 ri0 fi0 list:decimal | [Calibri 12  auto]first"));
    }

    void aDocumentLibreOfficeWroteKeepsItsLooks() {
        // Our own output, opened in LibreOffice Writer and saved again as RTF:
        // its styles, list tables, \\hich and \\loch fonts and the rest.
        QFile f(QStringLiteral(SAMPLES_DIR "/libreoffice-writer.rtf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QString warning;
        const QStringList d = readBack(f.readAll(), &warning);
        QCOMPARE(warning, QString());
        QCOMPARE(d.size(), 6);
        QCOMPARE(d[0], QString("center li0 ri0 fi0 | [Arial 20  auto]Centred: "
                               " [Arial 20 B auto]bold [Arial 20 I auto] italic"
                               " [Arial 20 U auto] underline [Arial 20 S auto] strike"
                               " [Liberation Serif 28  #ff0000] red serif 28"));
        QCOMPARE(d[1], QString("right li0 ri0 fi0 | [Arial 14  auto]Right aligned\twith tab"
                               "\u2028and a line break"));
        QCOMPARE(d[2], QString::fromUtf8("left li0 ri0 fi0 | [Lohit Devanagari 18  #0000c8]"
                                         "नमस्ते, काउंटर 5 पर आइए — café €"));
        QVERIFY(d[3].startsWith("left li0 ri0 fi0 list:bullet |"));
        QVERIFY(d[3].endsWith("]bullet one"));
        QVERIFY(d[4].endsWith("]bullet two"));
        QVERIFY(d[4].contains("list:bullet"));
        QCOMPARE(d[5], QString("left li0 ri0 fi0 | [Arial 12  auto]after"));
    }

    void damagedInputGivesAnErrorOrTheReadablePart() {
        rtf::ReadResult r;
        // Not RTF at all: nothing read, the document left alone.
        for (const QByteArray& notRtf :
             {QByteArray(), QByteArray("hello"), QByteArray("{\\rt"),
              QByteArray("\xD0\xCF\x11\xE0"), QByteArray("{\\urtf1 x}")}) {
            QTextDocument doc;
            doc.setPlainText("kept");
            r = rtf::read(notRtf, &doc);
            QVERIFY(!r.ok);
            QVERIFY(!r.error.isEmpty());
            QCOMPARE(doc.toPlainText(), QString("kept"));
        }
        // Cut short: what is there is read, and the reader says so.
        QCOMPARE(textOf("{\\rtf1 Hello {\\b wor", &r), QString("Hello wor"));
        QVERIFY(r.ok);
        QVERIFY(r.warning.contains("cut short"));
        QCOMPARE(textOf("{\\rtf1 a\\u12", &r), QString("a")); // no control characters
        QCOMPARE(textOf("{\\rtf1 a\\'4", &r), QString("a"));
        QCOMPARE(textOf("{\\rtf1 a\\", &r), QString("a"));
        QCOMPARE(textOf("{\\rtf1 a{\\*", &r), QString("a"));
        // Too many closing braces: the document ends at its own.
        QCOMPARE(textOf("{\\rtf1 done}} trailing {\\b junk}", &r), QString("done"));
        QCOMPARE(r.warning, QString());
        // Absurd numbers are held in range.
        QCOMPARE(textOf("{\\rtf1\\fs999999999999999\\uc99999999\\u65 x\\ansicpg-5 "
                        "\\bin99999999999 unreachable}",
                        &r),
                 QString("A"));
        QCOMPARE(textOf(QByteArray("{\\rtf1 a\0b\\f-99 c}", 18)), QString("abc"));
        // A control word of a thousand letters is still one word.
        QCOMPARE(textOf("{\\rtf1 \\" + QByteArray(1000, 'x') + "123 y}"), QString("y"));
    }

    void deepNestingStopsAtTheLimitWithoutRecursion() {
        const int n = 100000;
        QByteArray deep = "{\\rtf1 start ";
        deep += QByteArray(n, '{') + "middle" + QByteArray(n, '}') + " end}";
        rtf::ReadResult r;
        QCOMPARE(textOf(deep, &r), QString("start "));
        QVERIFY(r.ok);
        QVERIFY(r.warning.contains(QString::number(rtf::kMaxDepth)));
        // Just within the limit everything is read.
        const int within = rtf::kMaxDepth - 1;
        QByteArray fits = "{\\rtf1 start ";
        fits += QByteArray(within, '{') + "\\b middle" + QByteArray(within, '}') + " end}";
        QCOMPARE(textOf(fits, &r), QString("start middle end"));
        QCOMPARE(r.warning, QString());
    }

    void randomDamageNeverBreaksTheReader() {
        // Our own output, cut and garbled at random places, many times over:
        // each read ends with the document in one piece.
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QString::fromUtf8("Open 8:00 नमस्ते {x} \\ é"), look("Arial", 20, true));
        c.insertBlock();
        c.insertText("second", look("Arial", 12, false, true, false, false, Qt::blue));
        const QByteArray good = rtf::write(doc);
        QRandomGenerator rng(12345);
        for (int i = 0; i < 3000; ++i) {
            QByteArray bad = good.left(rng.bounded(good.size() + 1));
            const int edits = rng.bounded(6);
            for (int e = 0; e < edits && !bad.isEmpty(); ++e) {
                const int at = rng.bounded(bad.size());
                static const char pool[] = "{}\\'*0123456789abcuxz-; \x80\xff";
                bad[at] = pool[rng.bounded(int(sizeof pool) - 1)];
            }
            QTextDocument out;
            const rtf::ReadResult r = rtf::read(bad, &out);
            QVERIFY(r.ok || !r.error.isEmpty());
            QVERIFY(out.blockCount() >= 1);
        }
    }

    void fiftyMegabytesAreReadWhole() {
        // A large picture between two paragraphs, and many paragraphs of text.
        QByteArray big = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before\\par{\\pict\\pngblip ";
        const QByteArray hexLine = QByteArray(126, 'a') + "\r\n";
        big.reserve(52 * 1024 * 1024);
        while (big.size() < 50 * 1024 * 1024)
            big += hexLine;
        big += "}after\\par ";
        for (int i = 0; i < 20000; ++i)
            big += "{\\b line} " + QByteArray::number(i) + "\\par ";
        big += "}";
        QTextDocument doc;
        const rtf::ReadResult r = rtf::read(big, &doc);
        QVERIFY(r.ok);
        QCOMPARE(r.warning, QString());
        QCOMPARE(doc.blockCount(), 2 + 20000);
        QCOMPARE(doc.begin().text(), QString("before"));
        QCOMPARE(doc.begin().next().text(), QString("after"));
        QCOMPARE(doc.lastBlock().text(), QString("line 19999"));
    }

    void unrtfReadsOurOutput() {
        const QString unrtf = QStandardPaths::findExecutable("unrtf");
        QVERIFY2(!unrtf.isEmpty(), "unrtf is missing: run tools/install-deps.sh");
        QTextDocument doc;
        doc.setDefaultFont(QFont("Arial", 20));
        QTextCursor c(&doc);
        c.insertText("Counter ");
        c.insertText("five", look("Arial", 20, true));
        c.insertText(" is ", look("Arial", 20));
        c.insertText("open", look("Arial", 20, false, true));
        c.insertText(" now", look("Arial", 20, false, false, true, false, QColor(255, 0, 0)));
        c.insertBlock();
        c.insertText(QString::fromUtf8("नमस्ते café"));
        QTemporaryDir dir;
        const QString file = dir.filePath("message.rtf");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(rtf::write(doc));
        f.close();

        QProcess p;
        p.start(unrtf, {"--html", file});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString html = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(html.contains(QRegularExpression("<b>\\s*five\\s*</b>")), qPrintable(html));
        QVERIFY2(html.contains(QRegularExpression("<i>\\s*open\\s*</i>")), qPrintable(html));
        QVERIFY2(html.contains(QRegularExpression("<u>\\s*<font color=\"#ff0000\">\\s*now|"
                                                  "<font color=\"#ff0000\">\\s*<u>\\s*now")),
                 qPrintable(html));
        QVERIFY2(html.contains("font-family:Arial") || html.contains("face=\"Arial\""),
                 qPrintable(html));

        // Its text output is Latin-1; the HTML carries every character.
        QTextDocument shown;
        shown.setHtml(html);
        const QString text = shown.toPlainText();
        QVERIFY2(text.contains("Counter five is open now"), qPrintable(text));
        QVERIFY2(text.contains(QString::fromUtf8("नमस्ते café")), qPrintable(text));
    }
};

QTEST_MAIN(RtfCodecTest)
#include "test_rtf_codec.moc"
