#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextOption>
#include <vector>

// The RTF reader's own model of a document: paragraphs of runs with the
// attributes the reader understands, before they become a QTextDocument.
namespace tv::rtf::detail {

enum class ListKind : quint8 { None, Bullet, Decimal };

struct CharState {
    int font = -1;       // -1: the document's default font (\deff)
    int halfPoints = 24; // \fs; 12 points when a document names no size
    int color = 0;       // index into the colour table (entry 0 is usually automatic)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const CharState&) const = default;
};

struct TabStop {
    int twips = 0;
    QTextOption::TabType type = QTextOption::LeftTab;
};

struct ParaState {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    int leftTwips = 0;
    int rightTwips = 0;
    int firstTwips = 0;
    QList<TabStop> tabs;
    ListKind list = ListKind::None;
};

struct Run {
    CharState look;
    QString text;
};

struct Paragraph {
    ParaState format;
    CharState mark; // the look of the paragraph mark
    std::vector<Run> runs;
};

struct FontEntry {
    QString name;
    int codepage = 0; // 0: the document's code page
};

struct Parsed {
    std::vector<Paragraph> paragraphs;
    QHash<int, FontEntry> fonts;
    QList<QColor> colors; // an empty entry (invalid colour) is the automatic colour
    int defaultFont = 0;
    QString error;   // not RTF: nothing was read
    QString warning; // damaged: the paragraphs hold the readable part
};

// Reads the whole input in one pass with an explicit group stack.
Parsed parse(const QByteArray& data);

} // namespace tv::rtf::detail
