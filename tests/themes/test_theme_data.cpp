// Themes in the database: a theme row written and read back column by
// column, the save checks, the theme list and its delete, the position row
// of the layout designer and the header captions.
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"
#include "themes/header_ops.h"
#include "themes/layout_ops.h"
#include "themes/theme_fields.h"
#include "themes/theme_ops.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

namespace {
// A theme whose every field differs from the others and from the start.
QStringList distinctTexts() {
    QStringList t;
    int n = 0;
    for (const theme::Field& f : theme::fields()) {
        ++n;
        switch (f.kind) {
        case theme::Kind::Text:
        case theme::Kind::Path:
            t << QStringLiteral("%1 '%2' रंग 😀").arg(QLatin1String(f.column)).arg(n);
            break;
        case theme::Kind::Flag:
            t << QString::number(n % 2);
            break;
        case theme::Kind::Colour:
            t << QString::number(0x10000 * n + 0x101 * n); // red in the low byte
            break;
        case theme::Kind::Whole:
        case theme::Kind::Number:
            t << QString::number(n % 9 + 1);
            break;
        }
    }
    t[theme::indexOf("txtColumn")] = "3";
    t[theme::indexOf("txtColWidth")] = "1200;2400;1800.5";
    t[theme::indexOf("txtRHeight")] = "512.25";
    t[theme::indexOf("cmbTtlSize")] = "36.5";
    return t;
}
} // namespace

class ThemeDataTest : public QObject {
    Q_OBJECT

public:
    explicit ThemeDataTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() { m_db->clearTables(); }

    void saveWritesEveryColumnInOrderAndReadsItBack() {
        const QStringList texts = distinctTexts();
        ThemeOps ops(st());
        qint64 key = 0;
        QCOMPARE(ops.save("", texts, &key), QString());
        QVERIFY(key > 0);

        // Read as the board and the other stations read it: positions 1 to
        // 38 by position, the last eight by name.
        RecordSet rs(st().dbConnection, "select * from tbltheme where themeauto=?", {key});
        QCOMPARE(rs.recordCount(), 1);
        for (int i = 0; i < theme::fieldCount; ++i) {
            const theme::Field& f = theme::fields().at(i);
            const QVariant v =
                i < theme::byPositionCount ? rs.value(i + 1) : rs.value(QLatin1String(f.column));
            const QVariant want = ThemeOps::stored(f, texts.at(i));
            if (f.kind == theme::Kind::Number)
                QVERIFY2(qFuzzyCompare(v.toDouble(), want.toDouble()), f.column);
            else
                QVERIFY2(v.toString() == want.toString(), f.column);
        }
        QCOMPARE(rs.value("colums").toInt(), 3);
        QCOMPARE(rs.value("showtime").toInt(), 1); // field 7, odd
        QCOMPARE(rs.value("newsBG").toLongLong(), 0x10000 * 46 + 0x101 * 46);

        const ThemeOps::Loaded back = ops.getData(QString::number(key));
        QVERIFY(back.found);
        QCOMPARE(back.values.size(), theme::fieldCount);
        for (int i = 0; i < theme::fieldCount; ++i)
            QCOMPARE(back.values.at(i).value_or("(null)"), texts.at(i));

        // Editing rewrites all 46 in the same row.
        QStringList changed = texts;
        for (int i = 0; i < theme::fieldCount; ++i)
            if (theme::fields().at(i).kind == theme::Kind::Text && i != theme::indexOf("colwidth"))
                changed[i] = texts.at(i) + " edited";
        changed[theme::indexOf("chkHeader")] = "1";
        changed[theme::indexOf("lblttlClr")] = "16777215";
        changed[theme::indexOf("txtVol")] = "";
        QCOMPARE(ops.save(QString::number(key), changed), QString());
        QCOMPARE(count("select * from tbltheme"), 1);
        const ThemeOps::Loaded edited = ops.getData(QString::number(key));
        for (int i = 0; i < theme::fieldCount; ++i) {
            if (theme::fields().at(i).control == QString("txtVol"))
                QVERIFY(!edited.values.at(i)); // an empty number is stored as no value
            else
                QCOMPARE(edited.values.at(i).value_or("(null)"), changed.at(i));
        }
    }

    void whatTheUserTypesIsStoredAsTyped() {
        QStringList texts = theme::startTexts();
        texts[theme::indexOf("txtColWidth")] = "2500;2500";
        const QStringList junk{"' or '1'='1",      "'); drop table tbltheme; --",
                               QString(5000, 'x'), "\U0001F600 queue",
                               "रक्त परीक्षण",       QString(300, u'n')};
        ThemeOps ops(st());
        for (const QString& j : junk) {
            texts[theme::indexOf("txtName")] = j;
            texts[theme::indexOf("txtttl")] = j;
            texts[theme::indexOf("Text1")] = j;
            qint64 key = 0;
            QCOMPARE(ops.save("", texts, &key), QString());
            const ThemeOps::Loaded back = ops.getData(QString::number(key));
            QCOMPARE(*back.values.at(theme::indexOf("txtName")), j);
            QCOMPARE(*back.values.at(theme::indexOf("txtttl")), j);
            QCOMPARE(*back.values.at(theme::indexOf("Text1")), j);
        }
        QCOMPARE(count("select * from tbltheme"), junk.size());
    }

    void saveChecksInOrder() {
        ThemeOps ops(st());
        QStringList texts = theme::startTexts(); // no widths, no name
        QCOMPARE(ops.save("", texts), theme::badWidths);
        texts[theme::indexOf("txtColumn")] = "3";
        texts[theme::indexOf("txtColWidth")] = "3000;2000";
        QCOMPARE(ops.save("", texts), QString("Please Enter a valid colum widths"));
        texts[theme::indexOf("txtColumn")] = "2";
        QCOMPARE(ops.save("", texts), QString("Please select a name"));
        texts[theme::indexOf("txtName")] = "   ";
        QCOMPARE(ops.save("", texts), theme::noName);
        texts[theme::indexOf("txtName")] = "Hall";
        texts[theme::indexOf("cmbVFSize")] = "big";
        QCOMPARE(ops.save("", texts),
                 QString("Font Size (Second Column) must be a number from 1 to 400"));
        QCOMPARE(count("select * from tbltheme"), 0);
        texts[theme::indexOf("cmbVFSize")] = "24";
        qint64 key = 0;
        QCOMPARE(ops.save("", texts, &key), QString());
        // Deleted at another station meanwhile: nothing is written, nothing lost.
        exec("delete from tbltheme");
        QCOMPARE(ops.save(QString::number(key), texts), ThemeOps::themeGone);
        QCOMPARE(count("select * from tbltheme"), 0);
    }

    void loadSkipsWhatCannotBeRead() {
        exec("insert into tbltheme (themename, colums) values ('Sparse', 4)");
        const QString key = c1("select themeauto from tbltheme");
        const ThemeOps::Loaded back = ThemeOps(st()).getData(key);
        QVERIFY(back.found);
        QCOMPARE(*back.values.at(theme::indexOf("txtName")), QString("Sparse"));
        QCOMPARE(*back.values.at(theme::indexOf("txtColumn")), QString("4"));
        QVERIFY(!back.values.at(theme::indexOf("txtRow")));
        QVERIFY(!back.values.at(theme::indexOf("lblNewsBG")));
        QVERIFY(!ThemeOps(st()).getData("99999").found);
        QVERIFY(!ThemeOps(st()).getData("1 or 1=1").found);
    }

    void listNumbersItsRowsAfterADelete() {
        for (const char* name : {"Morning", "Evening", "Night"})
            exec(QString("insert into tbltheme (themename, type) values ('%1', 'Vertical')")
                     .arg(name));
        ThemeOps ops(st());
        QList<QStringList> rows = ops.addFG();
        QCOMPARE(rows.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(rows.at(i).at(1), QString::number(i + 1));
            QCOMPARE(rows.at(i).at(2), QString("Vertical"));
        }
        const qint64 evening =
            c1("select themeauto from tbltheme where themename='Evening'").toLongLong();
        exec(QString("insert into tblpos (themeauto, tblleft) values (%1, 10)").arg(evening));
        exec(QString("insert into tblheader (themeauto, hdrtext1) values (%1, 'T')").arg(evening));
        st().settings().setCounterList(static_cast<int>(evening), "3,7");
        st().settings().set(keys::ThemeName, "evening");
        const ThemeOps::Usage used = ops.usage(evening);
        QCOMPARE(used.name, QString("Evening"));
        QCOMPARE(used.positionRows, 1);
        QCOMPARE(used.headerRows, 1);
        QVERIFY(used.counterList);
        QVERIFY(used.stationTheme);
        const QString question = ThemeOps::deleteQuestion(used);
        QVERIFY(question.startsWith("Do you want to delete the selected theme \"Evening\"?"));
        QVERIFY2(question.contains("1 position row, 1 header row and 1 counter list"),
                 qPrintable(question));
        QVERIFY(question.contains("This station's display uses it"));

        ops.remove(evening);
        rows = ops.addFG();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).at(1), QString("1"));
        QCOMPARE(rows.at(1).at(1), QString("2"));
        // What belonged to it stays, as other stations may still read it.
        QCOMPARE(count("select * from tblpos"), 1);
        QCOMPARE(count("select * from tblheader"), 1);
        const ThemeOps::Usage none = ops.usage(evening + 1000);
        QVERIFY(ThemeOps::deleteQuestion(none).contains("0 position rows, 0 header rows and 0 "
                                                        "counter lists"));
    }

    void positionRowIsAddedThenRewritten() {
        LayoutOps ops(st());
        layout::Boxes boxes;
        for (int a = 0; a < layout::areaCount; ++a)
            boxes[a] = QRect(100 * a + 1, 100 * a + 2, 100 * a + 3, 100 * a + 4);
        QVERIFY(!ops.getData(41, boxes));
        ops.saveData(41, boxes);
        RecordSet rs(st().dbConnection, "select * from tblpos where themeauto=?", {41});
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.value(1).toInt(), 41);
        for (int a = 0; a < layout::areaCount; ++a)
            for (int k = 0; k < 4; ++k)
                QCOMPARE(rs.value(2 + 4 * a + k).toDouble(), double(100 * a + k + 1));
        QCOMPARE(rs.value("tblwidth").toDouble(), 203.0);
        QCOMPARE(rs.value("newsheight").toDouble(), 604.0);

        boxes[layout::Table] = QRect(1000, 500, 3000, 2000);
        ops.saveData(41, boxes);
        QCOMPARE(count("select * from tblpos"), 1);
        layout::Boxes back;
        QVERIFY(ops.getData(41, back));
        QCOMPARE(back, boxes);
    }

    void positionRowWithGapsKeepsWhatItCannotRead() {
        exec("insert into tblpos (themeauto, logoleft, logotop, tblleft, tbltop, tblwidth, "
             "tblheight) values (8, 10, 20, 30, 40, 50, 60.6)");
        layout::Boxes boxes = layout::defaultLayout(QSize(14400, 8100));
        const layout::Boxes standard = boxes;
        QStringList skipped;
        QVERIFY(LayoutOps(st()).getData(8, boxes, &skipped));
        QCOMPARE(boxes[layout::Table], QRect(30, 40, 50, 61));
        QCOMPARE(boxes[layout::Logo].topLeft(), QPoint(10, 20));
        QCOMPARE(boxes[layout::Logo].size(), standard[layout::Logo].size());
        QCOMPARE(boxes[layout::News], standard[layout::News]);
        QVERIFY(skipped.contains("logowidth"));
        QVERIFY(skipped.contains("newsheight"));
        QVERIFY(!skipped.contains("tblleft"));
        QCOMPARE(skipped.size(), 28 - 6);
    }

    void headerCaptionsRoundTrip() {
        HeaderOps ops(st());
        QStringList captions;
        QVERIFY(!ops.getData(5, captions));
        QCOMPARE(captions, QStringList(6, QString()));
        captions = QStringList{"Token 'no'", "काउंटर", "c", "d", "e", "f"};
        ops.saveData(5, captions, 2); // a two-column theme
        QVERIFY(ops.getData(5, captions));
        QCOMPARE(captions, QStringList({"Token 'no'", "काउंटर", "", "", "", ""}));
        QCOMPARE(c1("select themeauto from tblheader"), QString("5"));
        exec("update tblheader set hdrtext3='kept'");
        ops.saveData(5, {"A", "B", "C?"}, 2);
        QVERIFY(ops.getData(5, captions));
        QCOMPARE(captions.mid(0, 3), QStringList({"A", "B", "kept"}));
        QCOMPARE(count("select * from tblheader"), 1);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql) { st().dbConnection->execute(sql); }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() ? rs.textOrEmpty(0) : QString();
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }

    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ThemeDataTest)
#include "test_theme_data.moc"
