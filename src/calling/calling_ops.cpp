#include "calling_ops.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/lookups.h"
#include "core/recordset.h"
#include "core/settings_store.h"
#include "core/station.h"

#include <QTime>

namespace tv {

namespace {
// Each lost race means another counter took a ticket, so the queue shrinks;
// the bound only guards against a queue that refills as fast as it is taken.
constexpr int claimAttempts = 1000;
} // namespace

QString CallingOps::today() const {
    return m_station.clock().todayText();
}

void CallingOps::next() {
    if (!lblNo.isEmpty()) {
        setFinish();
        lblNo.clear();
    }
    getLast();
    callNext();
}

void CallingOps::setFinish() {
    m_station.dbConnection->execute(
        QStringLiteral("update tblTicket set finished=? where tickAuto=?"),
        {m_station.clock().time(), lblNo.toInt()});
}

void CallingOps::claim(qint64 tickAuto) {
    m_station.dbConnection->execute(
        QStringLiteral("update tblticket set call='1', attended=?, attTime=?, status='Finished' "
                       "where tickAuto=?"),
        {m_station.login.counterId, m_station.clock().time(), tickAuto});
}

void CallingOps::callNext() {
    auto c = m_station.dbConnection;
    // One statement takes the oldest waiting ticket of today, and only while it
    // is still waiting: two counters pressing Next at the same moment never get
    // the same ticket. A counter that loses the race tries the next one.
    const QString take =
        QStringLiteral(
            "update tblticket set call='1', attended=?, attTime=?, status='Finished'"
            " where call='0' and tickAuto = (select tickAuto from tblticket where call='0'"
            " and tickDate=? and servAuto=? order by tickno asc limit 1") +
        c->dialect().skipLocked() + QStringLiteral(") returning tickAuto, no_abr");
    for (int attempt = 0; attempt < claimAttempts; ++attempt) {
        RecordSet taken(c, take,
                        {m_station.login.counterId, m_station.clock().time(), today(),
                         m_station.login.serviceId});
        if (taken.recordCount() == 0) {
            // Nothing taken: either nothing waits, or another counter was quicker.
            RecordSet waiting(
                c,
                QStringLiteral("select top 1 tickAuto from tblticket where call='0' and tickDate=?"
                               " and servAuto=?"),
                {today(), m_station.login.serviceId});
            if (waiting.recordCount() == 0) break;
            continue;
        }
        label1 = QStringLiteral("Calling");
        lblToken = taken.textOrEmpty(1);
        lblNo = QString::number(taken.number(0));
        callRC();
        getPending();
        return;
    }
    label1 = QStringLiteral("Idle");
}

void CallingOps::callThis(qint32 tickAuto, const QString& mode) {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select  * from tblticket where tickDate=? and tickAuto=?"),
                 {today(), tickAuto});
    if (rs.recordCount() == 0) {
        label1 = QStringLiteral("Idle");
        return;
    }
    label1 = QStringLiteral("Calling");
    lblToken = rs.textOrEmpty(rs.fieldIndex(QStringLiteral("no_abr")));
    lblNo = QString::number(rs.number(0));
    claim(rs.number(0));
    callRC(mode == QStringLiteral("Report"));
    getPending();
}

void CallingOps::callRC(bool labReport) {
    const LoginState& who = m_station.login;
    QString room;
    if (labReport) {
        room = QStringLiteral("Lab Report");
    } else {
        const int both = m_station.settings().number(keys::ShowBoth, chkboth);
        room = both == 1 ? who.counterName : QString();
    }
    auto c = m_station.dbConnection;
    try {
        c->execute(QStringLiteral(
                       "insert into tblCall (servAuto, callToken, callCounter, status, tickAuto,"
                       " tickDate, callRoom) values (?, ?, ?, '0', ?, ?, ?)"),
                   {who.counterId, lblToken, who.counterDisplayName, lblNo.toInt(), today(), room});
    } catch (const DbError&) {
        // The database refused a new record: show the ticket's existing record
        // again instead. It gets the same values a new record would carry.
        RecordSet rs(c, QStringLiteral("select * from tblCall where tickAuto=? order by callauto"),
                     {lblNo.toInt()});
        if (rs.recordCount() == 0) return;
        rs.setValue(1, who.counterId);
        rs.setValue(2, lblToken);
        rs.setValue(3, who.counterDisplayName);
        rs.setValue(4, QStringLiteral("0"));
        rs.setValue(5, lblNo.toInt());
        rs.setValue(6, today());
        rs.setValue(7, room);
        rs.update();
    }
}

void CallingOps::recall() {
    if (lblNo.isEmpty()) return;
    updateRc();
}

void CallingOps::updateRc() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("Select * from tblCall where tickAuto=? order by callauto"),
                 {lblNo.toInt()});
    if (rs.recordCount() == 0) return;
    rs.setValue(4, QStringLiteral("0"));
    rs.update();
}

void CallingOps::cancel() {
    if (lblNo.isEmpty()) return;
    m_station.dbConnection->execute(
        QStringLiteral("update tblticket set Status='Cancelled' where tickAuto=?"),
        {lblNo.toInt()});
}

void CallingOps::getLast() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("Select top 1 no_abr,tickAuto from tblticket where call='1' and tickDate=?"
                       " and attended=?  order by tickAuto desc"),
        {today(), m_station.login.counterId});
    if (rs.recordCount() == 0) {
        lblLast = QStringLiteral("Last Served : Not Available");
        return;
    }
    lblLast = QStringLiteral("Last Served : ") + rs.textOrEmpty(0);
    lblNo = QString::number(rs.number(1));
    // The token of that key is the row's own no_abr: no second query for it.
    lblToken = rs.textOrEmpty(0);
}

void CallingOps::getPending() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "select count(tickNo) from tblticket where call='0' and tickDate=? and servAuto=?"),
        {today(), m_station.login.serviceId});
    lblTotal = QStringLiteral("Total Pending : ") + QString::number(rs.number(0));
}

QString CallingOps::transfer(const QString& tokenText, const QString& tokenKey,
                             const QString& targetCounter, const QString& note) {
    if (tokenText.isEmpty()) return QStringLiteral("Select a token first");
    const qint16 target = lookups::getCounterId(m_station, targetCounter);
    if (target == m_station.login.counterId || target == 0) return {};
    if (tokenKey.isEmpty()) return {};
    const int changed = m_station.dbConnection->execute(
        QStringLiteral("update tblticket set call='0', attended=?, status='Transferred', ref=? "
                       "where tickAuto=?"),
        {target, note, tokenKey.toInt()});
    if (changed == 0) return {};
    lblNo.clear();
    return QStringLiteral("Updated");
}

QList<QPair<QString, QString>> CallingOps::addTokens() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("select tickAuto, no_abr from tblticket where  tickDate=? and servAuto=?"
                       " order by tickno asc"),
        {today(), m_station.login.serviceId});
    QList<QPair<QString, QString>> out;
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.textOrEmpty(1), rs.text(0)});
    return out;
}

QStringList CallingOps::addcount() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("Select * from tblcounter where active='1'"));
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textOrEmpty(2));
    return names;
}

QString CallingOps::serviceLine(const QString& counterName) {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("SELECT  tblService.ServName FROM (tblCounter INNER JOIN tblService ON"
                       " tblCounter.servAuto = tblService.servAuto) INNER JOIN tblDept ON"
                       " tblService.deptAuto = tblDept.deptAuto where tblCounter.contName=?"),
        {counterName});
    return QStringLiteral("Service Name  : ") +
           (rs.recordCount() > 0 ? rs.textOrEmpty(0) : QStringLiteral("Not Found"));
}

namespace {
// Rows of a list: key, running number, then the given fields as text.
QList<QStringList> listRows(RecordSet& rs, const QList<int>& fields) {
    QList<QStringList> rows;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList row{rs.text(0), QString::number(rs.absolutePosition())};
        for (int f : fields)
            row.append(rs.textOrEmpty(f));
        while (row.size() < 6)
            row.append(QString());
        rows.append(row);
    }
    return rows;
}
} // namespace

QList<QStringList> CallingOps::attended() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "Select  tickAuto,no_abr,attTime,finished from tblticket where call='1' and tickDate=?"
            " and attended=? and not status='Cancelled' order by tickAuto desc"),
        {today(), m_station.login.counterId});
    return listRows(rs, {1, 2, 3});
}

QList<QStringList> CallingOps::cancelled() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "Select  tickAuto,no_abr,attTime,finished from tblticket where call='1' and tickDate=?"
            " and attended=? and status='Cancelled' order by tickAuto desc"),
        {today(), m_station.login.counterId});
    return listRows(rs, {1, 2, 3});
}

QList<QStringList> CallingOps::transferred() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "Select tickAuto,no_abr,attTime,status,ref from tblticket where call='0' and tickDate=?"
            " and attended=? and status='Transferred'"),
        {today(), m_station.login.counterId});
    return listRows(rs, {1, 2, 3, 4});
}

QList<QStringList> CallingOps::pending() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral(
                     "Select  tickAuto,no_abr,tickTime from tblticket where call='0' and tickDate=?"
                     " and servAuto=? order by tickAuto desc"),
                 {today(), m_station.login.serviceId});
    QList<QStringList> rows = listRows(rs, {1});
    rs.moveFirst();
    const QTime now = m_station.clock().time();
    for (QStringList& row : rows) {
        const QString issued = rs.textOrEmpty(2);
        row[3] = QStringLiteral(" ") + issued;
        const QTime at = QTime::fromString(issued.left(8), QStringLiteral("HH:mm:ss"));
        row[4] = at.isValid() ? QString::number(minutesBetween(at, now)) : QString();
        rs.moveNext();
    }
    return rows;
}

int CallingOps::minutesBetween(const QTime& from, const QTime& to) {
    return (to.msecsSinceStartOfDay() / 60000) - (from.msecsSinceStartOfDay() / 60000);
}

} // namespace tv
