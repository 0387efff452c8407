#include "live_hub.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "core/station.h"
#include "display/announcer.h"
#include "display/call_feed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUrl>
#include <QWebSocket>

namespace tv::web {

namespace {
// A server word can get lost (a notification while reconnecting, a missed
// file change): a cheap look this often covers it.
constexpr int safetyLookMs = 2000;
// Keeps idle sockets open through proxies and tells a dead phone from a quiet one.
constexpr int pingMs = 30000;
// At most this many skipped keys are looked for at once.
constexpr int maxGaps = 200;
// Calls a board that comes back is sent of what it missed.
constexpr int missedCallsLimit = 50;
// The browsers only listen; anything they send beyond a few words is refused
// before it is held in memory.
constexpr quint64 maxIncomingBytes = 4096;

void limitIncoming(QWebSocket* socket) {
    socket->setMaxAllowedIncomingFrameSize(maxIncomingBytes);
    socket->setMaxAllowedIncomingMessageSize(maxIncomingBytes);
}
} // namespace

LiveHub::LiveHub(Station& station, int statusRefreshMs, QObject* parent)
    : QObject(parent), m_station(station),
      m_feed(std::make_unique<CallFeed>(station, nullptr, CallFeed::Mode::ReadOnly)) {
    m_clock.start();
    connect(m_feed.get(), &CallFeed::changed, this, &LiveHub::follow);
    connect(m_feed.get(), &CallFeed::read, this, &LiveHub::onRead);
    m_safety.setInterval(safetyLookMs);
    connect(&m_safety, &QTimer::timeout, this, &LiveHub::follow);
    // Cancels, transfers and finishes write no call record: every page is
    // looked at again now and then.
    m_statusRefresh.setInterval(qMax(1000, statusRefreshMs));
    connect(&m_statusRefresh, &QTimer::timeout, this, [this] { refreshStatuses({}, true); });
    m_ping.setInterval(pingMs);
    connect(&m_ping, &QTimer::timeout, this, [this] {
        // A phone that went away without a word (out of range, battery) answers
        // no ping: after two unanswered ones its place is given up.
        const qint64 now = m_clock.elapsed();
        QList<QWebSocket*> silent;
        for (auto it = m_heard.cbegin(); it != m_heard.cend(); ++it) {
            if (now - it.value() > 2 * qint64(m_ping.interval()) + 1000)
                silent << it.key();
            else
                it.key()->ping();
        }
        for (QWebSocket* s : silent)
            s->abort();
    });
}

LiveHub::~LiveHub() {
    // A socket may still say "disconnected" while it goes: the lists are
    // emptied first, so nothing walks them meanwhile.
    const QList<Board> boards = std::exchange(m_boards, {});
    const QList<StatusPage> pages = std::exchange(m_statuses, {});
    for (const Board& b : boards) {
        b.socket->disconnect(this);
        delete b.socket;
    }
    for (const StatusPage& p : pages) {
        p.socket->disconnect(this);
        delete p.socket;
    }
}

void LiveHub::start(qint64 after) {
    if (after < 0) {
        const QVariant newest =
            m_station.dbConnection->scalar(QStringLiteral("select max(callauto) from tblCall"));
        after = newest.isNull() ? 0 : newest.toLongLong();
    }
    m_after = after;
    m_safety.start();
    m_statusRefresh.start();
    m_ping.start();
    follow();
}

void LiveHub::follow() {
    if (m_reading) {
        m_again = true;
        return;
    }
    // Skipped keys whose time is up are given up: a rolled back call, or a
    // call deleted before anyone saw it.
    const qint64 now = m_clock.elapsed();
    QList<qint64> gaps;
    for (auto it = m_gaps.begin(); it != m_gaps.end();) {
        if (it.value() < now) {
            it = m_gaps.erase(it);
        } else {
            gaps.append(it.key());
            ++it;
        }
    }
    m_reading = true;
    m_feed->readSince(m_after, gaps, readLimit);
}

void LiveHub::onRead(bool ok, const QList<CallLine>& lines) {
    m_reading = false;
    QSet<qint16> services;
    if (ok) {
        for (const CallLine& line : lines) {
            if (line.callauto > m_after) {
                const qint64 until = m_clock.elapsed() + gapWatchMs;
                for (qint64 k = m_after + 1; k < line.callauto && m_gaps.size() < maxGaps; ++k)
                    m_gaps.insert(k, until);
                m_after = line.callauto;
            } else if (!m_gaps.remove(line.callauto)) {
                continue; // already delivered
            }
            deliver(line);
            services.insert(serviceOfCounter(line.counterKey));
        }
        services.remove(0);
        // The boards' messages are on their way first; the pages follow once
        // the event loop has had its turn.
        if (!services.isEmpty()) {
            const bool scheduled = !m_pendingServices.isEmpty();
            m_pendingServices.unite(services);
            if (!scheduled)
                QTimer::singleShot(0, this, [this] {
                    refreshStatuses(std::exchange(m_pendingServices, {}), false);
                });
        }
    }
    if (m_again || lines.size() >= readLimit) {
        m_again = false;
        follow();
    }
}

QStringList LiveHub::soundsFor(const CallLine& line) const {
    const QString root = paths::programFolder() + QStringLiteral("/vs/");
    QStringList urls;
    const QStringList files = Announcer::callFiles(m_station.settings().text(keys::VoiceFormat1),
                                                   m_station.settings().text(keys::VoiceFormat2),
                                                   line.token, line.counter);
    for (const QString& f : files) {
        if (!f.startsWith(root)) continue;
        QStringList parts;
        for (const QString& p : f.mid(root.size()).split(u'/'))
            parts << QString::fromLatin1(QUrl::toPercentEncoding(p));
        urls << QStringLiteral("/vs/") + parts.join(u'/');
    }
    return urls;
}

QByteArray LiveHub::callMessage(const CallLine& line) const {
    QJsonObject o;
    o[QStringLiteral("type")] = QStringLiteral("call");
    o[QStringLiteral("callauto")] = line.callauto;
    o[QStringLiteral("token")] = line.token;
    o[QStringLiteral("counter")] = line.counter;
    o[QStringLiteral("room")] = line.room;
    o[QStringLiteral("day")] = line.day;
    o[QStringLiteral("sounds")] = QJsonArray::fromStringList(soundsFor(line));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void LiveHub::deliver(const CallLine& line) {
    const QString text = QString::fromUtf8(callMessage(line));
    for (const Board& b : std::as_const(m_boards))
        if (b.counters.isEmpty() || b.counters.contains(int(line.counterKey))) {
            b.socket->sendTextMessage(text);
            // Out now, not after whatever else this turn of the event loop does.
            b.socket->flush();
        }
    emit callPushed(line.callauto);
}

qint16 LiveHub::serviceOfCounter(qint64 counterKey) {
    if (auto it = m_counterService.constFind(counterKey); it != m_counterService.constEnd())
        return *it;
    qint16 service = 0;
    try {
        service = TicketStatusOps(m_station).serviceOfCounter(counterKey);
    } catch (const DbError&) {
        return 0; // asked again with the next call
    }
    m_counterService.insert(counterKey, service);
    return service;
}

void LiveHub::refreshStatuses(const QSet<qint16>& services, bool all) {
    QList<qint64> wanted;
    for (const StatusPage& p : std::as_const(m_statuses))
        if (all || services.contains(p.service)) wanted.append(p.tickAuto);
    if (wanted.isEmpty()) return;
    QHash<qint64, TicketStatus> now;
    try {
        now = TicketStatusOps(m_station).statusesOf(wanted);
    } catch (const DbError&) {
        return; // the pages keep what they show; the next call or refresh tries again
    }
    // Pages of one ticket in one language get the same words: made once.
    QHash<QString, QByteArray> made;
    for (StatusPage& p : m_statuses) {
        const auto it = now.constFind(p.tickAuto);
        if (it == now.constEnd()) continue;
        p.service = it->serviceId;
        const QString key = QString::number(p.tickAuto) + u'|' + langCode(p.lang);
        auto json = made.constFind(key);
        if (json == made.constEnd())
            json = made.insert(
                key, QJsonDocument(statusJson(*it, p.lang)).toJson(QJsonDocument::Compact));
        if (*json == p.last) continue;
        p.last = *json;
        p.socket->sendTextMessage(QString::fromUtf8(*json));
        emit statusPushed(p.tickAuto);
    }
}

void LiveHub::watch(QWebSocket* socket) {
    socket->setParent(this);
    limitIncoming(socket);
    m_heard.insert(socket, m_clock.elapsed());
    connect(socket, &QWebSocket::pong, this,
            [this, socket] { m_heard.insert(socket, m_clock.elapsed()); });
    connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropSocket(socket); });
}

void LiveHub::dropSocket(QWebSocket* socket) {
    m_heard.remove(socket);
    m_boards.removeIf([socket](const Board& b) { return b.socket == socket; });
    m_statuses.removeIf([socket](const StatusPage& p) { return p.socket == socket; });
    socket->deleteLater();
}

void LiveHub::addBoard(std::unique_ptr<QWebSocket> owned, const QList<int>& counters,
                       qint64 after) {
    QWebSocket* socket = owned.release();
    watch(socket);
    m_boards.append({socket, counters});
    if (after <= 0 || after >= m_after) return;
    // What it missed while away: today's calls after its last one, up to what
    // the hub itself has delivered (later ones come with the next read).
    try {
        QVariantList binds{after, m_after, m_station.clock().todayText()};
        QString filter;
        if (!counters.isEmpty()) {
            QStringList marks(counters.size(), QStringLiteral("?"));
            filter = QStringLiteral(" and servAuto in (%1)").arg(marks.join(u','));
            for (int k : counters)
                binds.append(k);
        }
        binds.append(missedCallsLimit);
        RecordSet rs(
            m_station.dbConnection,
            QStringLiteral("select callauto, servAuto, callToken, callCounter, status, "
                           "tickAuto, tickDate, callRoom from tblCall where callauto>? "
                           "and callauto<=? and tickDate=?%1 order by callauto asc limit ?")
                .arg(filter),
            binds);
        for (; !rs.eof(); rs.moveNext()) {
            CallLine l;
            l.callauto = rs.number(0);
            l.counterKey = rs.isNull(1) ? 0 : rs.number(1);
            l.token = rs.textOrEmpty(2);
            l.counter = rs.textOrEmpty(3);
            l.status = rs.textOrEmpty(4);
            l.tickAuto = rs.isNull(5) ? 0 : rs.number(5);
            l.day = rs.textOrEmpty(6);
            l.room = rs.textOrEmpty(7);
            socket->sendTextMessage(QString::fromUtf8(callMessage(l)));
        }
    } catch (const DbError&) {
        // It shows what it has; new calls still come.
    }
}

void LiveHub::addStatus(std::unique_ptr<QWebSocket> owned, qint64 tickAuto, Lang lang) {
    QWebSocket* socket = owned.release();
    watch(socket);
    StatusPage page{socket, tickAuto, 0, lang, {}};
    try {
        const TicketStatus s = TicketStatusOps(m_station).statusOf(tickAuto);
        page.service = s.serviceId;
        page.last = QJsonDocument(statusJson(s, lang)).toJson(QJsonDocument::Compact);
        socket->sendTextMessage(QString::fromUtf8(page.last));
    } catch (const DbError&) {
        // The periodic refresh sends it.
    }
    m_statuses.append(page);
}

} // namespace tv::web
