#include "ticket_status.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"
#include "tickets/token_allocation.h"

#include <QTime>
#include <algorithm>

namespace tv::web {

namespace {

constexpr int medianSample = 20;       // finished tickets the median is taken over
constexpr int activeWindowSecs = 1800; // a counter that called within this is at work
constexpr qsizetype statusChunk = 200; // tickets asked for in one statement

// A time of day as either engine hands it back (a time, or "HH:mm:ss" text).
QTime timeOf(const QVariant& v) {
    if (v.isNull()) return {};
    if (v.typeId() == QMetaType::QTime) return v.toTime();
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().time();
    const QString text = v.toString().trimmed();
    QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    if (!t.isValid()) t = QTime::fromString(text, Qt::ISODate);
    return t;
}

} // namespace

QString stageName(Stage s) {
    switch (s) {
    case Stage::Waiting:
        return QStringLiteral("waiting");
    case Stage::Called:
        return QStringLiteral("called");
    case Stage::Finished:
        return QStringLiteral("finished");
    case Stage::Cancelled:
        return QStringLiteral("cancelled");
    case Stage::Transferred:
        return QStringLiteral("transferred");
    }
    return {};
}

int medianOf(QList<int> seconds) {
    if (seconds.isEmpty()) return 0;
    std::sort(seconds.begin(), seconds.end());
    const qsizetype n = seconds.size();
    return n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
}

WaitEstimate estimateWait(int ahead, int medianSeconds, int activeCounters) {
    WaitEstimate w;
    w.medianSeconds = medianSeconds;
    w.activeCounters = activeCounters;
    if (medianSeconds <= 0 || activeCounters <= 0) return w;
    w.known = true;
    // Whole minutes, rounded up: "about 0 minutes" only when nobody is ahead.
    const qint64 total = qint64(qMax(0, ahead)) * medianSeconds;
    w.minutes = int((total + qint64(activeCounters) * 60 - 1) / (qint64(activeCounters) * 60));
    return w;
}

std::optional<qint64> TicketStatusOps::ticketOfCode(const QString& code) {
    if (!TokenAllocation::isVisitorCode(code)) return std::nullopt;
    // Looked up by the digest: the index compares digests, so how long a miss
    // takes says nothing about how much of a guessed code was right.
    const QVariant v = m_station.dbConnection->scalar(
        QStringLiteral("select tickAuto from tv_ticket_code where codeHash=?"),
        {TokenAllocation::visitorCodeDigest(code)});
    if (!v.isValid() || v.isNull()) return std::nullopt;
    return v.toLongLong();
}

ServiceFacts TicketStatusOps::factsOf(qint16 service, const QString& day) {
    auto c = m_station.dbConnection;
    ServiceFacts f;
    f.name =
        c->scalar(QStringLiteral("select servName from tblService where servAuto=?"), {service})
            .toString();
    f.nowServing = TokenAllocation(m_station).getNowServing(service);
    f.waiting = c->scalar(QStringLiteral("select count(*) from tblTicket where servAuto=? and "
                                         "tickDate=? and call='0'"),
                          {service, day})
                    .toInt();
    if (day != m_station.clock().todayText()) return f;

    QList<int> durations;
    RecordSet done(c,
                   QStringLiteral("select top 20 attTime, finished from tblTicket where servAuto=? "
                                  "and tickDate=? and status='Finished' and attTime is not null "
                                  "and finished is not null order by finished desc"),
                   {service, day});
    static_assert(medianSample == 20, "the statement above takes the last 20");
    for (; !done.eof(); done.moveNext()) {
        const QTime from = timeOf(done.value(0));
        const QTime to = timeOf(done.value(1));
        if (from.isValid() && to.isValid() && from <= to) durations.append(from.secsTo(to));
    }
    f.medianSeconds = medianOf(durations);

    const int nowSecs = m_station.clock().time().msecsSinceStartOfDay() / 1000;
    const QTime since = QTime(0, 0).addSecs(qMax(0, nowSecs - activeWindowSecs));
    f.activeCounters =
        c->scalar(QStringLiteral("select count(distinct attended) from tblTicket where servAuto=? "
                                 "and tickDate=? and call='1' and attTime>=?"),
                  {service, day, since})
            .toInt();
    return f;
}

qint16 TicketStatusOps::serviceOfCounter(qint64 counterKey) {
    const QVariant v = m_station.dbConnection->scalar(
        QStringLiteral("select servAuto from tblCounter where cntAuto=?"), {counterKey});
    return v.isValid() && !v.isNull() ? qint16(v.toInt()) : qint16(0);
}

TicketStatus TicketStatusOps::statusOf(qint64 tickAuto) {
    return statusesOf({tickAuto}).value(tickAuto);
}

QHash<qint64, TicketStatus> TicketStatusOps::statusesOf(const QList<qint64>& tickAutos) {
    auto c = m_station.dbConnection;
    const QString today = m_station.clock().todayText();
    QHash<qint64, TicketStatus> out;
    QHash<qint64, qint64> tickNo;  // of the tickets still in the queue
    QHash<qint64, qint64> counter; // attended, of the tickets that have one
    QList<qint64> keys = tickAutos;
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    const auto inList = [](qsizetype n) { return QStringList(n, QStringLiteral("?")).join(u','); };
    for (qsizetype from = 0; from < keys.size(); from += statusChunk) {
        const QList<qint64> part = keys.mid(from, statusChunk);
        QVariantList binds;
        for (qint64 k : part)
            binds.append(k);
        RecordSet row(c,
                      QStringLiteral("select tickAuto, servAuto, tickNo, tickDate, call, no_abr, "
                                     "attended, finished, status from tblTicket where tickAuto "
                                     "in (%1)")
                          .arg(inList(part.size())),
                      binds);
        for (; !row.eof(); row.moveNext()) {
            TicketStatus s;
            s.found = true;
            s.tickAuto = row.number(0);
            s.serviceId = qint16(row.number(1));
            s.day = row.textOrEmpty(3);
            s.token = row.textOrEmpty(5);
            const bool called = row.textOrEmpty(4) == u"1";
            const QString status = row.textOrEmpty(8);
            if (status.compare(u"Cancelled", Qt::CaseInsensitive) == 0)
                s.stage = Stage::Cancelled;
            else if (!called && status.compare(u"Transferred", Qt::CaseInsensitive) == 0)
                s.stage = Stage::Transferred;
            else if (!called)
                s.stage = Stage::Waiting;
            else
                s.stage = row.isNull(7) ? Stage::Called : Stage::Finished;
            tickNo.insert(s.tickAuto, row.number(2));
            if (!row.isNull(6) && row.number(6) > 0) counter.insert(s.tickAuto, row.number(6));
            out.insert(s.tickAuto, s);
        }
    }

    // Each service and day once, however many of its tickets are asked for.
    QHash<QString, ServiceFacts> facts;
    QHash<QString, QList<qint64>> waiting; // numbers not called yet, in order
    const auto dayKey = [](const TicketStatus& s) {
        return QString::number(s.serviceId) + u'|' + s.day;
    };
    QList<qint64> askCall;
    for (TicketStatus& s : out) {
        const QString k = dayKey(s);
        auto f = facts.constFind(k);
        if (f == facts.constEnd()) f = facts.insert(k, factsOf(s.serviceId, s.day));
        s.serviceName = f->name;
        s.nowServing = f->nowServing;
        if (s.stage == Stage::Waiting || s.stage == Stage::Transferred) {
            auto w = waiting.find(k);
            if (w == waiting.end()) {
                QList<qint64> numbers;
                RecordSet rs(c,
                             QStringLiteral("select tickNo from tblTicket where servAuto=? and "
                                            "tickDate=? and call='0' order by tickNo"),
                             {s.serviceId, s.day});
                for (; !rs.eof(); rs.moveNext())
                    numbers.append(rs.number(0));
                w = waiting.insert(k, numbers);
            }
            // The counters take waiting and transferred tickets of the
            // service alike, lowest number first.
            s.ahead = int(std::lower_bound(w->cbegin(), w->cend(), tickNo.value(s.tickAuto)) -
                          w->cbegin());
            if (s.day == today) s.wait = estimateWait(s.ahead, f->medianSeconds, f->activeCounters);
        }
        if (s.stage == Stage::Called || s.stage == Stage::Finished) askCall.append(s.tickAuto);
    }

    // What the hall board showed for the call (the newest call of the
    // ticket), else the counter's own display name.
    for (qsizetype from = 0; from < askCall.size(); from += statusChunk) {
        const QList<qint64> part = askCall.mid(from, statusChunk);
        QVariantList binds;
        for (qint64 k : part)
            binds.append(k);
        RecordSet call(c,
                       QStringLiteral("select tickAuto, callCounter from tblCall where tickAuto "
                                      "in (%1) order by callauto asc")
                           .arg(inList(part.size())),
                       binds);
        for (; !call.eof(); call.moveNext())
            out[call.number(0)].counter = call.textOrEmpty(1);
    }
    QHash<qint64, QString> displayNames;
    for (TicketStatus& s : out) {
        if (!s.counter.isEmpty() || s.stage == Stage::Waiting || !counter.contains(s.tickAuto))
            continue;
        const qint64 k = counter.value(s.tickAuto);
        auto name = displayNames.constFind(k);
        if (name == displayNames.constEnd())
            name = displayNames.insert(
                k,
                c->scalar(QStringLiteral("select displayName from tblCounter where cntAuto=?"), {k})
                    .toString());
        s.counter = *name;
    }
    return out;
}

QList<TicketStatusOps::ServiceLine> TicketStatusOps::activeServices() {
    QList<ServiceLine> out;
    const QString today = m_station.clock().todayText();
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select servAuto, servName, abrno from tblService where "
                                "active='1' order by servAuto"));
    for (; !rs.eof(); rs.moveNext()) {
        ServiceLine l;
        l.id = qint16(rs.number(0));
        l.name = rs.textOrEmpty(1);
        l.prefix = rs.textOrEmpty(2);
        out.append(l);
    }
    for (ServiceLine& l : out) {
        l.facts = factsOf(l.id, today);
        l.wait = estimateWait(l.facts.waiting, l.facts.medianSeconds, l.facts.activeCounters);
    }
    return out;
}

} // namespace tv::web
