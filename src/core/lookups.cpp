#include "lookups.h"

#include "db_error.h"
#include "recordset.h"
#include "schema.h"
#include "station.h"

namespace tv::lookups {

namespace {

qint16 keyOf(Station& st, const QString& sql, const QVariant& bind) {
    RecordSet rs(st.dbConnection, sql, {bind});
    return rs.recordCount() == 0 ? 0 : rs.int16(0);
}

QString textOf(Station& st, const QString& sql, const QVariant& bind) {
    RecordSet rs(st.dbConnection, sql, {bind});
    return rs.recordCount() == 0 ? QString() : rs.text(0);
}

} // namespace

qint16 getDeptId(Station& st, const QString& deptName) {
    return keyOf(st, QStringLiteral("select deptAuto from tbldept where deptname=?"), deptName);
}

QString getDeptName(Station& st, int deptAuto) {
    return textOf(st, QStringLiteral("select deptName from tbldept where deptAuto=?"), deptAuto);
}

QString getCounterName(Station& st, int cntAuto) {
    st.login.counterDisplayName.clear();
    RecordSet rs(st.dbConnection,
                 QStringLiteral("select contName,displayName from tblCounter where cntAuto=?"),
                 {cntAuto});
    if (rs.recordCount() == 0) return {};
    st.login.counterDisplayName = rs.text(1);
    return rs.text(0);
}

qint16 getCounterId(Station& st, const QString& contName) {
    return keyOf(st, QStringLiteral("select cntAuto from tblCounter where contName=?"), contName);
}

qint16 getServiceId(Station& st, const QString& servName) {
    return keyOf(st, QStringLiteral("select servAuto from tblService where Servname=?"), servName);
}

QString getServiceName(Station& st, int servAuto) {
    return textOf(st, QStringLiteral("select servName from tblService where servAuto=?"), servAuto);
}

QString getTokenText(Station& st, qint32 tickAuto) {
    return textOf(st, QStringLiteral("select no_abr from tblTicket where tickAuto=?"), tickAuto);
}

qint16 getThemeId(Station& st, const QString& themeName) {
    return keyOf(st, QStringLiteral("select themeauto from tbltheme where themename=?"), themeName);
}

bool recordExists(Station& st, const QString& table, const QString& column, qint32 number) {
    // Table and column are names in the statement, not values: only names of
    // our own schema get in.
    if (schema::keyColumn(table).isEmpty() || !schema::hasColumn(table, column))
        throw DbError(QStringLiteral("Invalid object name '%1.%2'").arg(table, column));
    RecordSet rs(st.dbConnection, QStringLiteral("select * from %1 where %2=?").arg(table, column),
                 {number});
    return rs.recordCount() > 0;
}

} // namespace tv::lookups
