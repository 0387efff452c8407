#include "web_pages.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"
#include "display/board_design.h"

#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QtEndian>
#include <cmath>

namespace tv::web {

namespace {

QByteArray resource(const QString& name) {
    QFile f(QStringLiteral(":/web/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Today's latest calls a board starts with.
constexpr int maxBoardRows = 30;

} // namespace

QByteArray fillTemplate(const QByteArray& page, const QHash<QString, QString>& values) {
    static const QRegularExpression mark(QStringLiteral("\\{\\{([A-Za-z0-9]+)\\}\\}"));
    const QString text = QString::fromUtf8(page);
    QString out;
    out.reserve(text.size() + 256);
    qsizetype from = 0;
    for (auto it = mark.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(text).mid(from, m.capturedStart() - from);
        out += values.value(m.captured(1)).toHtmlEscaped();
        from = m.capturedEnd();
    }
    out += QStringView(text).mid(from);
    return out.toUtf8();
}

QByteArray statusPage(const TicketStatus& s, const QString& code, Lang lang) {
    const QJsonObject json = statusJson(s, lang);
    const QJsonObject t = json.value(QStringLiteral("texts")).toObject();
    QHash<QString, QString> v;
    v[QStringLiteral("lang")] = langCode(lang);
    v[QStringLiteral("code")] = code;
    v[QStringLiteral("stage")] = stageName(s.stage);
    v[QStringLiteral("title")] =
        word(lang, QStringLiteral("title")) + QStringLiteral(" ") + s.token;
    v[QStringLiteral("token")] = s.token;
    v[QStringLiteral("service")] = s.serviceName;
    v[QStringLiteral("headline")] = t.value(QStringLiteral("headline")).toString();
    v[QStringLiteral("counter")] = t.value(QStringLiteral("counter")).toString();
    v[QStringLiteral("ahead")] = t.value(QStringLiteral("ahead")).toString();
    v[QStringLiteral("nowServing")] = t.value(QStringLiteral("nowServing")).toString();
    v[QStringLiteral("wait")] = t.value(QStringLiteral("wait")).toString();
    for (const char* label :
         {"aheadLabel:ahead", "nowServingLabel:nowServing", "waitLabel:wait",
          "serviceLabel:service", "offline:offline", "live:live", "soundOn:soundOn"}) {
        const QStringList pair = QString::fromLatin1(label).split(u':');
        v[pair[0]] = word(lang, pair[1]);
    }
    return fillTemplate(resource(QStringLiteral("status.html")), v);
}

QByteArray notFoundPage(Lang lang) {
    return fillTemplate(resource(QStringLiteral("notfound.html")),
                        {{QStringLiteral("lang"), langCode(lang)},
                         {QStringLiteral("title"), word(lang, QStringLiteral("notFound"))},
                         {QStringLiteral("hint"), word(lang, QStringLiteral("notFoundHint"))}});
}

std::optional<Asset> staticAsset(const QString& name) {
    static const QHash<QString, QByteArray> types{
        {QStringLiteral("status.js"), "text/javascript; charset=utf-8"},
        {QStringLiteral("board.js"), "text/javascript; charset=utf-8"},
        {QStringLiteral("status.css"), "text/css; charset=utf-8"},
        {QStringLiteral("board.css"), "text/css; charset=utf-8"},
        {QStringLiteral("board.html"), "text/html; charset=utf-8"},
        {QStringLiteral("chime.wav"), "audio/wav"},
    };
    const auto it = types.constFind(name);
    if (it == types.constEnd()) return std::nullopt;
    if (name == u"chime.wav") return Asset{*it, chimeWav()};
    return Asset{*it, resource(name)};
}

QString cssColour(qint64 stored) {
    const quint32 v = quint32(stored) & 0xFFFFFF;
    return QStringLiteral("#%1%2%3")
        .arg(v & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((v >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((v >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

QString boardThemeName(Station& station, const QString& asked) {
    const QString name = asked.trimmed();
    return name.isEmpty() ? station.settings().text(keys::ThemeName) : name;
}

std::optional<QJsonObject> boardJson(Station& station, const QString& themeName,
                                     QList<int>* countersOut) {
    auto c = station.dbConnection;
    const QVariant key =
        c->scalar(QStringLiteral("select themeauto from tbltheme where themename=?"), {themeName});
    if (!key.isValid() || key.isNull()) return std::nullopt;
    const int themeNo = key.toInt();
    const BoardDesign design = BoardDesign::load(station, themeNo);
    const RecordSet& th = design.theme;

    const auto text = [&](const char* name) {
        return th.recordCount() > 0 && th.fieldIndex(QLatin1String(name)) >= 0
                   ? th.textOrEmpty(QLatin1String(name))
                   : QString();
    };
    const auto number = [&](const char* name, double fallback) {
        bool ok = false;
        const double v = text(name).toDouble(&ok);
        return ok ? v : fallback;
    };
    const auto colour = [&](const char* name, qint64 fallback) {
        bool ok = false;
        const qint64 v = text(name).toLongLong(&ok);
        return cssColour(ok ? v : fallback);
    };
    const auto font = [&](const char* face, const char* size, double fallback) {
        return QJsonObject{{QStringLiteral("family"), text(face)},
                           {QStringLiteral("size"), number(size, fallback)}};
    };

    QJsonObject o;
    o[QStringLiteral("theme")] = themeName;
    o[QStringLiteral("title")] = text("ttlName");
    o[QStringLiteral("titleFont")] = font("ttlfont", "ttlsize", 28);
    o[QStringLiteral("titleColor")] = colour("ttlcolor", 0xFFFFFF);
    const int rows = qBound(1, int(number("rows", 6)), maxBoardRows);
    o[QStringLiteral("rows")] = rows;
    QStringList captions{text("Column1"), text("Column2")};
    // A header row of the theme names the columns over the theme's own captions.
    if (design.header.recordCount() > 0)
        for (int i = 1; i <= 2 && i < design.header.fieldCount(); ++i)
            if (!design.header.textOrEmpty(i).isEmpty())
                captions[i - 1] = design.header.textOrEmpty(i);
    o[QStringLiteral("header")] = text("enableH") == u"1";
    o[QStringLiteral("captions")] = QJsonArray::fromStringList(captions);
    o[QStringLiteral("colors")] =
        QJsonObject{{QStringLiteral("background"), colour("backgroundclr", 0)},
                    {QStringLiteral("line"), colour("linecolor", 0x808080)},
                    {QStringLiteral("alternate"), colour("altcolr", 0x202020)},
                    {QStringLiteral("headerBack"), colour("hdclrbg", 0x404040)},
                    {QStringLiteral("headerText"), colour("hdfntclr", 0xFFFFFF)},
                    {QStringLiteral("token"), colour("clrcrr", 0xFFFFFF)},
                    {QStringLiteral("counter"), colour("clrval", 0xFFFFFF)},
                    {QStringLiteral("screen"), colour("screenbg", 0)},
                    {QStringLiteral("news"), colour("newsBG", 0x202020)},
                    {QStringLiteral("clock"), colour("timecolor", 0xFFFFFF)}};
    o[QStringLiteral("fonts")] =
        QJsonObject{{QStringLiteral("header"), font("hdfont", "hdfntsize", 20)},
                    {QStringLiteral("token"), font("fntcrr", "sizecrr", 36)},
                    {QStringLiteral("counter"), font("fntval", "sizeval", 28)},
                    {QStringLiteral("clock"), font("timefont", "timesize", 20)}};
    // As on the hall board: a clock only when the theme asks for one, in its format.
    o[QStringLiteral("showClock")] = text("showtime") == u"1";
    o[QStringLiteral("clockFormat")] = text("tformat").trimmed().isEmpty()
                                           ? QStringLiteral("HH:mm:ss")
                                           : text("tformat").trimmed();

    // The counters this station's boards show for the theme.
    QList<int> counters;
    for (const QString& k : station.settings().counterList(themeNo).split(u',', Qt::SkipEmptyParts))
        if (bool ok = false; k.trimmed().toInt(&ok) > 0 && ok) counters.append(k.trimmed().toInt());
    if (countersOut) *countersOut = counters;

    QVariantList binds{station.clock().todayText()};
    QString filter;
    if (!counters.isEmpty()) {
        filter = QStringLiteral(" and servAuto in (%1)")
                     .arg(QStringList(counters.size(), QStringLiteral("?")).join(u','));
        for (int k : counters)
            binds.append(k);
    }
    binds.append(rows);
    RecordSet calls(c,
                    QStringLiteral("select callauto, callToken, callCounter, callRoom from tblCall "
                                   "where tickDate=?%1 order by callauto desc limit ?")
                        .arg(filter),
                    binds);
    QJsonArray list;
    qint64 newest = 0;
    for (; !calls.eof(); calls.moveNext()) {
        newest = qMax(newest, calls.number(0));
        list.append(QJsonObject{{QStringLiteral("callauto"), calls.number(0)},
                                {QStringLiteral("token"), calls.textOrEmpty(1)},
                                {QStringLiteral("counter"), calls.textOrEmpty(2)},
                                {QStringLiteral("room"), calls.textOrEmpty(3)}});
    }
    o[QStringLiteral("calls")] = list;
    o[QStringLiteral("after")] = newest;

    QJsonArray ticker;
    RecordSet scroll(c, QStringLiteral("select message from tblscroll where active='1' "
                                       "order by scrollAuto asc"));
    for (; !scroll.eof(); scroll.moveNext())
        if (!scroll.textOrEmpty(0).trimmed().isEmpty())
            ticker.append(scroll.textOrEmpty(0).trimmed());
    o[QStringLiteral("ticker")] = ticker;
    return o;
}

QByteArray chimeWav() {
    static const QByteArray wav = [] {
        // Two soft bell tones, 16-bit mono at 16 kHz: about 30 KB.
        constexpr int rate = 16000;
        const struct {
            double hz, start, length;
        } notes[] = {{880.0, 0.0, 0.6}, {659.25, 0.35, 0.7}};
        const int samples = int(rate * 1.1);
        QByteArray pcm(samples * 2, '\0');
        for (int i = 0; i < samples; ++i) {
            const double t = double(i) / rate;
            double v = 0;
            for (const auto& n : notes)
                if (t >= n.start && t < n.start + n.length) {
                    const double u = t - n.start;
                    v += 0.35 * std::sin(2 * M_PI * n.hz * u) * std::exp(-4.0 * u) *
                         qMin(1.0, u * 200);
                }
            qToLittleEndian<qint16>(qint16(qBound(-1.0, v, 1.0) * 32000), pcm.data() + 2 * i);
        }
        QByteArray out("RIFF");
        const auto u32 = [&out](quint32 x) {
            char b[4];
            qToLittleEndian(x, b);
            out.append(b, 4);
        };
        const auto u16 = [&out](quint16 x) {
            char b[2];
            qToLittleEndian(x, b);
            out.append(b, 2);
        };
        u32(36 + pcm.size());
        out += "WAVEfmt ";
        u32(16);
        u16(1);
        u16(1);
        u32(rate);
        u32(rate * 2);
        u16(2);
        u16(16);
        out += "data";
        u32(pcm.size());
        out += pcm;
        return out;
    }();
    return wav;
}

} // namespace tv::web
