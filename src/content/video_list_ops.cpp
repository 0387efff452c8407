#include "video_list_ops.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"

namespace tv {

QList<VideoListOps::Entry> VideoListOps::entries() {
    QList<Entry> out;
    for (RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblVideo")); !rs.eof();
         rs.moveNext())
        out << Entry{rs.number(0), rs.textOrEmpty(1), rs.textOrEmpty(2),
                     !rs.isNull(3) && rs.number(3) == 1};
    return out;
}

std::optional<VideoListOps::Entry> VideoListOps::load(qint64 vidAuto) {
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblVideo where vidAuto=?"),
                 {vidAuto});
    if (rs.recordCount() == 0) return std::nullopt;
    return Entry{rs.number(0), rs.textOrEmpty(1), rs.textOrEmpty(2),
                 !rs.isNull(3) && rs.number(3) == 1};
}

QString VideoListOps::save(const Entry& e) {
    if (e.file.isEmpty()) return QStringLiteral("Please select a video");
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblVideo where vidAuto=?"),
                 {e.vidAuto == 0 ? -1 : e.vidAuto});
    if (e.vidAuto == 0)
        rs.addNew();
    else if (rs.recordCount() == 0)
        return {}; // removed by another station meanwhile: nothing to change
    rs.setValue(1, e.file);
    rs.setValue(2, e.description);
    rs.setValue(3, e.active ? 1 : 0);
    rs.update();
    return {};
}

void VideoListOps::remove(qint64 vidAuto) {
    m_station.dbConnection->execute(QStringLiteral("delete from tblvideo where vidauto=?"),
                                    {vidAuto});
}

} // namespace tv
