#include "report_ops.h"

#include "core/recordset.h"
#include "core/station.h"

#include <QLocale>
#include <cmath>

namespace tv {

QStringList ReportOps::filterNames() {
    QString sql;
    switch (m_kind) {
    case Kind::Department:
        sql = QStringLiteral("select deptName from tblDept where active='1'");
        break;
    case Kind::Service:
    case Kind::Pending:
        sql = QStringLiteral("select ServName from tblService where active='1'");
        break;
    case Kind::Counter:
        sql = QStringLiteral("select contName from tblCounter where active='1'");
        break;
    }
    QStringList names;
    for (RecordSet rs(m_station.dbConnection, sql); !rs.eof(); rs.moveNext())
        names << rs.textOrEmpty(0);
    return names;
}

QList<ReportOps::Row> ReportOps::rows(const QString& filter, const QDate& from, const QDate& to,
                                      bool showAll) {
    QString sql = QStringLiteral(
        "SELECT tblTicket.tickAuto, tblDept.deptName, tblService.ServName, tblTicket.no_abr,"
        " tblTicket.tickDate, tblCounter.username, tblTicket.attTime, tblTicket.finished,"
        "datediff(minute,tblticket.atttime,tblticket.finished)"
        "FROM ((tblTicket INNER JOIN tblService ON tblTicket.servAuto = tblService.servAuto)"
        " INNER JOIN tblDept ON tblService.deptAuto = tblDept.deptAuto) ");
    // Only the counter report needs a counter row: the others also list
    // tickets that no counter took.
    sql += m_kind == Kind::Counter ? QStringLiteral("inner JOIN") : QStringLiteral("left JOIN");
    sql += QStringLiteral(" tblCounter ON tblTicket.attended = tblCounter.cntAuto");

    QVariantList binds;
    if (filter == QStringLiteral("All")) {
        sql += QStringLiteral(" where tblticket.tickDate between ?");
    } else {
        switch (m_kind) {
        case Kind::Department:
            sql += QStringLiteral(" where tbldept.deptname=?");
            break;
        case Kind::Service:
        case Kind::Pending:
            sql += QStringLiteral(" where tblService.servname=?");
            break;
        case Kind::Counter:
            sql += QStringLiteral(" where tblcounter.contname=?");
            break;
        }
        binds << filter;
        sql += QStringLiteral(" and tblticket.tickDate between ?");
    }
    // Days are "yyyy-MM-dd" text: compared as text, both ends are included.
    sql += QStringLiteral(" and ?");
    binds << from.toString(QStringLiteral("yyyy-MM-dd"))
          << to.toString(QStringLiteral("yyyy-MM-dd"));
    if (m_kind == Kind::Pending)
        sql += QStringLiteral(" and tblticket.call='0'");
    else if (!showAll)
        sql += QStringLiteral(" and tblticket.call='1'");

    QList<Row> out;
    RecordSet rs(m_station.dbConnection, sql, binds);
    out.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        Row r;
        r.tickAuto = rs.number(0);
        r.cells.reserve(8);
        for (int f = 1; f <= 8; ++f)
            r.cells << rs.textOrEmpty(f);
        out << r;
    }
    return out;
}

std::optional<double> ReportOps::average(const QStringList& durations) {
    if (durations.isEmpty()) return std::nullopt;
    qint64 sum = 0;
    for (const QString& d : durations) {
        bool ok = false;
        const double minutes = d.trimmed().toDouble(&ok);
        if (ok && std::isfinite(minutes)) sum += std::llround(minutes);
    }
    return static_cast<double>(sum) / durations.size();
}

QString ReportOps::averageText(std::optional<double> mean) {
    QString text = QStringLiteral("Average Time : ");
    if (!mean) return text;
    // The general number format: 15 significant digits, no trailing zeros,
    // the station's decimal separator and no grouping.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return text + locale.toString(*mean, 'g', 15);
}

} // namespace tv
