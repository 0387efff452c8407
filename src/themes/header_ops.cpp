#include "header_ops.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"

namespace tv {

bool HeaderOps::getData(qint64 theme, QStringList& captions) {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select * from tblheader where themeauto=?"), {theme});
    captions = QStringList(captionCount, QString());
    if (rs.recordCount() == 0) return false;
    for (int c = 1; c <= captionCount && c < rs.fieldCount(); ++c)
        captions[c - 1] = rs.textOrEmpty(c);
    return true;
}

void HeaderOps::saveData(qint64 theme, const QStringList& captions, int columns) {
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    RecordSet rs(c, QStringLiteral("select * from tblheader where themeauto=?"), {theme});
    if (rs.recordCount() == 0) {
        rs.addNew();
        rs.setValue(QStringLiteral("themeauto"), theme);
    }
    for (int i = 1; i <= qMin(columns, captionCount); ++i)
        rs.setValue(i, captions.value(i - 1));
    rs.update();
    tx.commit();
}

} // namespace tv
