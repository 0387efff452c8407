#include "call_feed_worker.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QSqlDriver>
#include <algorithm>

namespace tv {

namespace {
// Only the attempt itself waits this long, and only in the feed's thread.
constexpr int connectTimeoutSeconds = 2;
// Another station's write to the embedded file wakes the feed at once through
// the file watcher; the data version is looked at now and then in case the
// watcher missed one (or fell back to its slow polling). Looking every tick
// cost the idle board more than the watcher ever saves.
constexpr int versionCheckMs = 100;

CallLine lineOf(const RecordSet& rs) {
    CallLine l;
    l.callauto = rs.number(0);
    l.token = rs.textOrEmpty(2);
    l.counter = rs.textOrEmpty(3);
    l.status = rs.textOrEmpty(4);
    l.room = rs.textOrEmpty(7);
    l.counterKey = rs.isNull(1) ? 0 : rs.number(1);
    l.tickAuto = rs.isNull(5) ? 0 : rs.number(5);
    l.day = rs.textOrEmpty(6);
    return l;
}
} // namespace

void ReconnectBackoff::setDelays(int firstMs, int capMs) {
    m_first = qMax(1, firstMs);
    m_cap = qMax(m_first, capMs);
}

int ReconnectBackoff::failed() {
    m_current = m_current == 0 ? m_first : std::min(m_cap, m_current * 2);
    return m_current;
}

CallFeedWorker::CallFeedWorker(const ConnectionSettings& settings, const QString& embeddedFile,
                               std::shared_ptr<FeedGauges> gauges, bool readOnly)
    : m_settings(settings), m_embeddedFile(embeddedFile), m_readOnly(readOnly),
      m_gauges(std::move(gauges)), m_retry(this), m_versionCheck(this) {
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &CallFeedWorker::changed);
    m_versionCheck.setInterval(versionCheckMs);
    connect(&m_versionCheck, &QTimer::timeout, this, &CallFeedWorker::checkDataVersion);
}

// Runs in the feed's thread as it ends, so the connection closes where it was opened.
CallFeedWorker::~CallFeedWorker() {
    m_watcher.reset();
    m_connection.reset();
    m_gauges->connected = false;
}

QString CallFeedWorker::filterSql() const {
    if (m_counters.isEmpty()) return {};
    QStringList marks(m_counters.size(), QStringLiteral("?"));
    return QStringLiteral(" and servAuto in (%1)").arg(marks.join(u','));
}

QVariantList CallFeedWorker::filterBinds() const {
    QVariantList binds;
    for (int k : m_counters)
        binds.append(k);
    return binds;
}

void CallFeedWorker::connectionFailed() {
    m_gauges->reconnectDelayMs = m_backoff.failed();
    m_sinceFailure.restart();
    // Calls made meanwhile are still unshown: the board polls once we are back.
    m_retry.start(m_backoff.current());
}

void CallFeedWorker::dropConnection() {
    m_versionCheck.stop();
    m_watcher.reset();
    m_connection.reset();
    m_gauges->connected = false;
    connectionFailed();
}

bool CallFeedWorker::ensureConnection(const QString& today, const QTime& now) {
    if (m_connection) return true;
    if (m_sinceFailure.isValid() && m_sinceFailure.elapsed() < m_backoff.current()) return false;
    ++m_gauges->connectAttempts;
    QString error;
    auto c = Connection::open(m_settings, m_embeddedFile, &error, connectTimeoutSeconds, true);
    if (!c) {
        connectionFailed();
        emit connectFailed(m_backoff.current());
        return false;
    }
    const QString channel = c->dialect().callNotificationChannel();
    if (!channel.isEmpty()) {
        QSqlDriver* driver = c->database().driver();
        driver->subscribeToNotification(channel);
        connect(driver, &QSqlDriver::notification, this,
                [this](const QString&, QSqlDriver::NotificationSource source, const QVariant&) {
                    // Our own "shown" marks need no second look.
                    if (source == QSqlDriver::SelfSource) return;
                    emit changed();
                });
    }
    // A write by another station touches these files: wake at once instead of
    // waiting for the next tick.
    const QStringList files = c->changeFiles();
    if (!files.isEmpty()) {
        m_watcher = std::make_unique<QFileSystemWatcher>();
        for (const QString& f : files)
            if (QFile::exists(f)) m_watcher->addPath(f);
        connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, this,
                [this] { emit changed(); });
    }
    m_connection = std::move(c);
    try {
        // The board's list then holds none of the calls put aside: list it afresh.
        if (!m_readOnly && putAsideStaleCalls(today, now) > 0 && m_rows > 0) m_fillWanted = true;
        if (!m_connection->dialect().dataVersionQuery().isEmpty()) {
            ++m_gauges->queries;
            m_dataVersion =
                m_connection->scalar(m_connection->dialect().dataVersionQuery()).toLongLong();
            m_versionCheck.start();
        }
    } catch (const DbError&) {
        dropConnection();
        return false;
    }
    m_backoff.succeeded();
    m_sinceFailure.invalidate();
    m_gauges->reconnectDelayMs = 0;
    m_gauges->connected = true;
    return true;
}

int CallFeedWorker::putAsideStaleCalls(const QString& today, const QTime& now) {
    // The call log has no time of its own: a call is as old as its ticket's
    // call time. Just after midnight nothing of today can be that old yet.
    const int cutoffSeconds =
        std::max(0, now.msecsSinceStartOfDay() / 1000 - CallFeed::staleCallSeconds);
    QVariantList binds{today};
    binds += filterBinds();
    binds << today << QTime(0, 0).addSecs(cutoffSeconds);
    ++m_gauges->queries;
    return m_connection->execute(
        QStringLiteral("update tblCall set status='1' where tickDate=? and status='0'%1"
                       " and tickAuto in (select tickAuto from tblTicket where tickDate=?"
                       " and attTime<?)")
            .arg(filterSql()),
        binds);
}

void CallFeedWorker::sendFill(const QString& today) {
    m_fillWanted = false;
    QList<CallLine> lines;
    try {
        ++m_gauges->queries;
        // The number of lines is bound like every other value.
        QVariantList binds{today};
        binds += filterBinds();
        binds.append(m_rows);
        // Only calls already shown: the unshown ones come through the polls,
        // oldest first, and would otherwise appear twice.
        RecordSet rs(m_connection,
                     QStringLiteral("select * from tblcall where tickDate=? and status='1'%1"
                                    "  order by callauto desc limit ?")
                         .arg(filterSql()),
                     binds);
        for (; !rs.eof(); rs.moveNext())
            lines.append(lineOf(rs));
    } catch (const DbError&) {
        dropConnection();
        m_fillWanted = true;
        return;
    }
    emit filled(lines);
}

void CallFeedWorker::fill(int rows, const QString& today, const QTime& now) {
    m_rows = rows;
    if (rows <= 0) return;
    m_fillWanted = true;
    // Not connected: the list is sent once a poll finds the server again.
    if (ensureConnection(today, now)) sendFill(today);
}

void CallFeedWorker::checkDataVersion() {
    if (!m_connection) return;
    try {
        ++m_gauges->queries;
        const qint64 v =
            m_connection->scalar(m_connection->dialect().dataVersionQuery()).toLongLong();
        if (v == m_dataVersion) return;
        m_dataVersion = v;
        emit changed();
    } catch (const DbError&) {
        dropConnection();
    }
}

void CallFeedWorker::poll(const QString& today, const QTime& now) {
    CallLine found;
    bool any = false;
    if (ensureConnection(today, now)) {
        if (m_fillWanted) sendFill(today);
        try {
            if (m_connection) {
                ++m_gauges->queries;
                QVariantList binds{today};
                binds += filterBinds();
                RecordSet rs(m_connection,
                             QStringLiteral("select top 1 * from tblcall where tickDate=? and "
                                            "status='0'%1  order by callauto asc")
                                 .arg(filterSql()),
                             binds);
                if (rs.recordCount() > 0) {
                    found = lineOf(rs);
                    any = true;
                }
            }
        } catch (const DbError&) {
            dropConnection();
            any = false;
        }
    }
    emit polled(any, found);
}

void CallFeedWorker::readTicker(const QString& today, const QTime& now) {
    QList<TickerMessage> left;
    QList<TickerMessage> right;
    if (!ensureConnection(today, now)) return;
    try {
        for (auto [direction, out] : {std::pair{QStringLiteral("Left"), &left},
                                      std::pair{QStringLiteral("Right"), &right}}) {
            ++m_gauges->queries;
            RecordSet rs(m_connection,
                         QStringLiteral("select * from tblscroll where active='1' and direction=?"),
                         {direction});
            for (; !rs.eof(); rs.moveNext())
                out->append(TickerMessage::fromRecord(rs));
        }
    } catch (const DbError&) {
        dropConnection();
        return;
    }
    emit tickerRead(left, right);
}

void CallFeedWorker::readPlaylist(const QString& today, const QTime& now) {
    QStringList files;
    if (!ensureConnection(today, now)) return;
    try {
        ++m_gauges->queries;
        RecordSet rs(
            m_connection,
            QStringLiteral("select vidFile from tblVideo where active='1' order by vidAuto"));
        for (; !rs.eof(); rs.moveNext())
            if (!rs.textOrEmpty(0).trimmed().isEmpty()) files << rs.text(0).trimmed();
    } catch (const DbError&) {
        dropConnection();
        return;
    }
    emit playlistRead(files);
}

void CallFeedWorker::readSince(qint64 callauto, const QList<qint64>& keys, int limit,
                               const QString& today, const QTime& now) {
    QList<CallLine> lines;
    if (!ensureConnection(today, now)) {
        emit read(false, lines);
        return;
    }
    try {
        ++m_gauges->queries;
        RecordSet rs(m_connection,
                     QStringLiteral("select * from tblCall where callauto>? order by callauto asc"
                                    " limit ?"),
                     {callauto, qMax(1, limit)});
        for (; !rs.eof(); rs.moveNext())
            lines.append(lineOf(rs));
        if (!keys.isEmpty()) {
            ++m_gauges->queries;
            QStringList marks(keys.size(), QStringLiteral("?"));
            QVariantList binds;
            for (qint64 k : keys)
                binds.append(k);
            RecordSet late(m_connection,
                           QStringLiteral("select * from tblCall where callauto in (%1)")
                               .arg(marks.join(u',')),
                           binds);
            for (; !late.eof(); late.moveNext())
                lines.append(lineOf(late));
        }
    } catch (const DbError&) {
        dropConnection();
        emit read(false, {});
        return;
    }
    emit read(true, lines);
}

void CallFeedWorker::markShown(qint64 callauto) {
    if (!m_connection || m_readOnly) return;
    try {
        ++m_gauges->queries;
        m_connection->execute(QStringLiteral("update tblCall set status='1' where callauto=?"),
                              {callauto});
    } catch (const DbError&) {
        dropConnection();
    }
}

} // namespace tv
