#include "clock_format.h"

#include <QList>

namespace tv {

namespace {

enum class Kind { Literal, Day, Month, MonthOrMinute, Minute, Year, Hour, Hour24, Second, AmPm };

struct Token {
    Kind kind;
    int count = 0;
    QString text; // literal text, or the am/pm case ("AP" or "ap")
};

QString quoted(const QString& literal) {
    QString out;
    bool open = false;
    for (const QChar ch : literal) {
        const bool letter = ch.isLetter();
        if (ch == u'\'') {
            if (open) out += u'\'';
            open = false;
            out += QStringLiteral("''");
            continue;
        }
        if (letter && !open) {
            out += u'\'';
            open = true;
        } else if (!letter && open) {
            out += u'\'';
            open = false;
        }
        out += ch;
    }
    if (open) out += u'\'';
    return out;
}

QList<Token> tokenize(const QString& s) {
    QList<Token> tokens;
    const auto literal = [&](const QString& text) {
        if (!tokens.isEmpty() && tokens.last().kind == Kind::Literal)
            tokens.last().text += text;
        else
            tokens.append({Kind::Literal, 0, text});
    };
    for (int i = 0; i < s.size();) {
        const QStringView rest = QStringView(s).mid(i);
        // Markers of the morning and the afternoon first: they contain letters
        // and slashes that mean something else on their own.
        bool marked = false;
        for (const char* m : {"AM/PM", "am/pm", "AMPM", "ampm", "A/P", "a/p", "tt"}) {
            const QLatin1String marker(m);
            if (rest.startsWith(marker)) {
                const bool lower = QChar(marker.at(0)).isLower() && marker != QLatin1String("tt");
                tokens.append({Kind::AmPm, 0, lower ? QStringLiteral("ap") : QStringLiteral("AP")});
                i += marker.size();
                marked = true;
                break;
            }
        }
        if (marked) continue;
        const QChar ch = s.at(i);
        if (ch == u'"' || ch == u'\'') {
            const int end = s.indexOf(ch, i + 1);
            const int stop = end < 0 ? s.size() : end;
            literal(s.mid(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (ch == u'\\' && i + 1 < s.size()) {
            literal(QString(s.at(i + 1)));
            i += 2;
            continue;
        }
        int run = 1;
        while (i + run < s.size() && s.at(i + run) == ch)
            ++run;
        Kind kind = Kind::Literal;
        switch (ch.unicode()) {
        case u'd':
        case u'D':
            kind = Kind::Day;
            break;
        case u'M':
            kind = Kind::Month;
            break;
        case u'm':
            kind = Kind::MonthOrMinute;
            break;
        case u'n':
        case u'N':
            kind = Kind::Minute;
            break;
        case u'y':
        case u'Y':
            kind = Kind::Year;
            break;
        case u'h':
            kind = Kind::Hour;
            break;
        case u'H':
            kind = Kind::Hour24;
            break;
        case u's':
        case u'S':
            kind = Kind::Second;
            break;
        default:
            break;
        }
        if (kind == Kind::Literal)
            literal(s.mid(i, run));
        else
            tokens.append({kind, run, {}});
        i += run;
    }
    return tokens;
}

} // namespace

ClockFormat ClockFormat::convert(const QString& stored) {
    QList<Token> tokens = tokenize(stored);
    bool twelveHour = false;
    for (const Token& t : tokens)
        if (t.kind == Kind::AmPm) twelveHour = true;
    // "m" reads as minutes right after an hour or right before seconds.
    const auto neighbour = [&](int i, int step) -> const Token* {
        for (int j = i + step; j >= 0 && j < tokens.size(); j += step)
            if (tokens[j].kind != Kind::Literal) return &tokens[j];
        return nullptr;
    };
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::MonthOrMinute) continue;
        const Token* before = neighbour(i, -1);
        const Token* after = neighbour(i, +1);
        const bool minute =
            (before && (before->kind == Kind::Hour || before->kind == Kind::Hour24)) ||
            (after && after->kind == Kind::Second);
        tokens[i].kind = minute ? Kind::Minute : Kind::Month;
    }

    ClockFormat out;
    for (const Token& t : tokens) {
        const auto letters = [&](char c, int n) { return QString(n, QLatin1Char(c)); };
        switch (t.kind) {
        case Kind::Literal:
            out.qtFormat += quoted(t.text);
            break;
        case Kind::Day:
            out.qtFormat += letters('d', qMin(t.count, 4));
            break;
        case Kind::Month:
        case Kind::MonthOrMinute:
            out.qtFormat += letters('M', qMin(t.count, 4));
            break;
        case Kind::Minute:
            out.qtFormat += letters('m', qMin(t.count, 2));
            break;
        case Kind::Year:
            out.qtFormat += t.count <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case Kind::Hour:
            // Qt's "h" is a 24-hour hour unless an AM/PM marker is there, as here.
            out.qtFormat += letters(twelveHour ? 'h' : 'H', qMin(t.count, 2));
            break;
        case Kind::Hour24:
            out.qtFormat += letters('H', qMin(t.count, 2));
            break;
        case Kind::Second:
            out.qtFormat += letters('s', qMin(t.count, 2));
            out.hasSeconds = true;
            break;
        case Kind::AmPm:
            out.qtFormat += t.text;
            break;
        }
    }
    return out;
}

} // namespace tv
