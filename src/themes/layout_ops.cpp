#include "layout_ops.h"

#include "core/connection.h"
#include "core/schema.h"
#include "core/station.h"

#include <cmath>

namespace tv {

namespace layout {

namespace {
const AreaInfo areas[areaCount] = {
    {"lblLogo", "Comp-Logo", "logo"},   {"lblTime", "Time-Date", "time"},
    {"lblTable", "Token Table", "tbl"}, {"lblVideo", "Video", "video"},
    {"", "Vertical Display", "form"},   {"lblTtl", "Title", "ttl"},
    {"lblNews", "News", "news"},
};

// Stored values beyond this are no place on any screen.
constexpr double farOff = 1e7;

const char* const parts[4] = {"left", "top", "width", "height"};
} // namespace

const AreaInfo& info(int area) {
    return areas[area];
}

Boxes defaultLayout(const QSize& c) {
    const int w = c.width();
    const int h = c.height();
    const int m = w / 60; // margin
    const int band = h / 10;
    const int newsH = h / 16;
    const int bodyTop = band + 2 * m;
    const int bodyH = h - bodyTop - newsH - 2 * m;
    const int listW = w * 62 / 100;
    const int sideL = m + listW + m;
    const int sideW = w - sideL - m;
    Boxes b;
    b[Logo] = QRect(m, m, w / 8, band);
    b[Title] = QRect(2 * m + w / 8, m, w - 3 * m - w / 8, band);
    b[Table] = QRect(m, bodyTop, listW, bodyH);
    b[Time] = QRect(sideL, bodyTop, sideW, bodyH / 2 - m / 2);
    b[Video] = QRect(sideL, bodyTop + bodyH / 2 + m / 2, sideW, bodyH - bodyH / 2 - m / 2);
    b[News] = QRect(0, h - newsH - m, w, newsH);
    b[Form] = QRect(0, 0, w, h);
    return b;
}

RecordSet posRecord(int theme, const Boxes& boxes) {
    QVariantList row{0, theme};
    for (const QRect& r : boxes)
        row << r.left() << r.top() << r.width() << r.height();
    return RecordSet::detached(schema::columnNames(QStringLiteral("tblpos")), {row});
}

} // namespace layout

bool LayoutOps::getData(qint64 theme, layout::Boxes& boxes, QStringList* skipped) {
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblpos where themeauto=?"),
                 {theme});
    if (rs.recordCount() == 0) return false;
    for (int a = 0; a < layout::areaCount; ++a) {
        int v[4] = {boxes[a].left(), boxes[a].top(), boxes[a].width(), boxes[a].height()};
        for (int k = 0; k < 4; ++k) {
            const int at = 2 + 4 * a + k;
            bool ok = false;
            const double d = at < rs.fieldCount() ? rs.value(at).toDouble(&ok) : 0;
            if (at < rs.fieldCount() && !rs.isNull(at) && ok && std::isfinite(d) &&
                std::abs(d) < layout::farOff) {
                v[k] = static_cast<int>(std::lround(d));
            } else if (skipped) {
                skipped->append(QLatin1String(layout::info(a).prefix) +
                                QLatin1String(layout::parts[k]));
            }
        }
        boxes[a] = QRect(v[0], v[1], v[2], v[3]);
    }
    return true;
}

void LayoutOps::saveData(qint64 theme, const layout::Boxes& boxes) {
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    RecordSet rs(c, QStringLiteral("select * from tblpos where themeauto=?"), {theme});
    if (rs.recordCount() == 0) {
        rs.addNew();
        rs.setValue(1, theme);
    }
    for (int a = 0; a < layout::areaCount; ++a) {
        const QRect& r = boxes[a];
        const int values[4] = {r.left(), r.top(), r.width(), r.height()};
        for (int k = 0; k < 4; ++k)
            rs.setValue(2 + 4 * a + k, static_cast<double>(values[k]));
    }
    rs.update();
    tx.commit();
}

} // namespace tv
