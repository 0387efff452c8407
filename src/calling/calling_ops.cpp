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
    if (m_ticket != 0) {
        setFinish();
        m_ticket = 0;
    }
    getLast();
    callNext();
}

void CallingOps::setFinish() {
    m_station.dbConnection->execute(
        QStringLiteral("update tblTicket set finished=? where tickAuto=?"),
        {m_station.clock().time(), m_ticket});
}

void CallingOps::claim(qint64 tickAuto) {
    m_station.dbConnection->execute(
        QStringLiteral("update tblticket set call='1', attended=?, attTime=?, status='Finished' "
                       "where tickAuto=?"),
        {m_station.login.counterId, m_station.clock().time(), tickAuto});
}

void CallingOps::becameCurrent(qint64 tickAuto, const QString& token) {
    m_state = State::Calling;
    m_ticket = tickAuto;
    m_token = token;
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
        // The claim and its call record stand or fall together: a ticket taken
        // without a record would be "Calling" here and on no board.
        Connection::WriteTransaction tx(*c);
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
        const qint64 key = taken.number(0);
        const QString token = taken.textOrEmpty(1);
        addCallRecord(key, token, false);
        tx.commit();
        becameCurrent(key, token);
        getPending();
        return;
    }
    m_state = State::Idle;
}

void CallingOps::callThis(qint32 tickAuto, const QString& mode) {
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    RecordSet rs(c, QStringLiteral("select  * from tblticket where tickDate=? and tickAuto=?"),
                 {today(), tickAuto});
    if (rs.recordCount() == 0) {
        m_state = State::Idle;
        return;
    }
    const qint64 key = rs.number(0);
    const QString token = rs.textOrEmpty(QStringLiteral("no_abr"));
    claim(key);
    addCallRecord(key, token, mode == QStringLiteral("Report"));
    tx.commit();
    becameCurrent(key, token);
    getPending();
}

void CallingOps::callRC(bool labReport) {
    Connection& c = *m_station.dbConnection;
    if (c.inTransaction()) {
        addCallRecord(m_ticket, m_token, labReport);
        return;
    }
    Connection::WriteTransaction tx(c);
    addCallRecord(m_ticket, m_token, labReport);
    tx.commit();
}

void CallingOps::addCallRecord(qint64 tickAuto, const QString& token, bool labReport) {
    const LoginState& who = m_station.login;
    QString room;
    if (labReport) {
        room = QStringLiteral("Lab Report");
    } else {
        const int both = m_station.settings().number(keys::ShowBoth, chkboth);
        room = both == 1 ? who.counterName : QString();
    }
    auto c = m_station.dbConnection;
    // A savepoint lets the transaction go on after a refused insert (a failed
    // statement spoils the whole transaction on the server otherwise).
    c->execute(QStringLiteral("savepoint call_record"));
    try {
        c->execute(QStringLiteral(
                       "insert into tblCall (servAuto, callToken, callCounter, status, tickAuto,"
                       " tickDate, callRoom) values (?, ?, ?, '0', ?, ?, ?)"),
                   {who.counterId, token, who.counterDisplayName, tickAuto, today(), room});
        c->execute(QStringLiteral("release savepoint call_record"));
        return;
    } catch (const DbError& e) {
        // Only a database that keeps one record per ticket is answered by
        // showing that record again; a locked database or a lost connection
        // is a failure the operator must see.
        if (!e.isUniqueViolation()) throw;
        c->execute(QStringLiteral("rollback to savepoint call_record"));
        c->execute(QStringLiteral("release savepoint call_record"));
    }
    // The existing record gets the same values a new record would carry.
    RecordSet rs(c, QStringLiteral("select * from tblCall where tickAuto=? order by callauto"),
                 {tickAuto});
    if (rs.recordCount() == 0) return;
    rs.setValue(1, who.counterId);
    rs.setValue(2, token);
    rs.setValue(3, who.counterDisplayName);
    rs.setValue(4, QStringLiteral("0"));
    rs.setValue(5, tickAuto);
    rs.setValue(6, today());
    rs.setValue(7, room);
    rs.update();
}

void CallingOps::recall() {
    if (m_ticket == 0) return;
    updateRc();
}

void CallingOps::updateRc() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("Select * from tblCall where tickAuto=? order by callauto"),
                 {m_ticket});
    if (rs.recordCount() == 0) return;
    rs.setValue(4, QStringLiteral("0"));
    rs.update();
}

void CallingOps::cancel() {
    if (m_ticket == 0) return;
    m_station.dbConnection->execute(
        QStringLiteral("update tblticket set Status='Cancelled' where tickAuto=?"), {m_ticket});
}

void CallingOps::getLast() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("Select top 1 no_abr,tickAuto from tblticket where call='1' and tickDate=?"
                       " and attended=?  order by tickAuto desc"),
        {today(), m_station.login.counterId});
    if (rs.recordCount() == 0) {
        m_lastServed.reset();
        if (forgetTokenWithoutLast) m_token.clear();
        return;
    }
    m_lastServed = rs.textOrEmpty(0);
    m_ticket = rs.number(1);
    // The token of that key is the row's own no_abr: no second query for it.
    m_token = rs.textOrEmpty(0);
}

void CallingOps::getPending() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "select count(tickNo) from tblticket where call='0' and tickDate=? and servAuto=?"),
        {today(), m_station.login.serviceId});
    m_pending = static_cast<int>(rs.number(0));
}

QString CallingOps::transfer(const QString& tokenText, qint64 tokenKey,
                             const QString& targetCounter, const QString& note) {
    if (tokenText.isEmpty()) return QStringLiteral("Select a token first");
    const qint16 target = lookups::getCounterId(m_station, targetCounter);
    if (target == m_station.login.counterId || target == 0) return {};
    if (tokenKey == 0) return {};
    const int changed = m_station.dbConnection->execute(
        QStringLiteral("update tblticket set call='0', attended=?, status='Transferred', ref=? "
                       "where tickAuto=?"),
        {target, note, tokenKey});
    if (changed == 0) return {};
    m_ticket = 0;
    return QStringLiteral("Updated");
}

QList<QPair<QString, qint64>> CallingOps::addTokens() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("select tickAuto, no_abr from tblticket where  tickDate=? and servAuto=?"
                       " order by tickno asc"),
        {today(), m_station.login.serviceId});
    QList<QPair<QString, qint64>> out;
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.textOrEmpty(1), rs.number(0)});
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
