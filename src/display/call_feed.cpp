#include "call_feed.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QRegularExpression>
#include <QSqlDriver>

namespace tv {

namespace {
constexpr int reconnectTimeoutSeconds = 2; // the board must not freeze on a dead server

CallLine lineOf(const RecordSet& rs) {
    CallLine l;
    l.callauto = rs.number(0);
    l.token = rs.textOrEmpty(2);
    l.counter = rs.textOrEmpty(3);
    l.status = rs.textOrEmpty(4);
    l.room = rs.textOrEmpty(7);
    return l;
}
} // namespace

CallFeed::CallFeed(Station& station, QObject* parent) : QObject(parent), m_station(station) {
    setCallFilter(station.callFilter);
}

CallFeed::~CallFeed() = default;

void CallFeed::setCallFilter(const QString& filter) {
    // "and 1=1" (or nothing) means every counter; otherwise the counter keys
    // named in the condition.
    m_counters.clear();
    static const QRegularExpression key(QStringLiteral("servAuto\\s*=\\s*(\\d+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (auto it = key.globalMatch(filter); it.hasNext();)
        m_counters.append(it.next().captured(1).toInt());
    m_filtered = !m_counters.isEmpty();
    m_dirty = true;
}

QString CallFeed::filterSql() const {
    if (!m_filtered) return {};
    QStringList marks(m_counters.size(), QStringLiteral("?"));
    return QStringLiteral(" and servAuto in (%1)").arg(marks.join(u','));
}

QVariantList CallFeed::filterBinds() const {
    QVariantList binds;
    for (int k : m_counters)
        binds.append(k);
    return binds;
}

bool CallFeed::connected() const {
    return m_connection && m_connection->isOpen();
}

void CallFeed::dropConnection() {
    m_watcher.reset();
    m_connection.reset();
    m_sinceFailure.restart();
    m_dirty = true;
}

bool CallFeed::ensureConnection() {
    if (connected()) return true;
    if (m_sinceFailure.isValid() && m_sinceFailure.elapsed() < reconnectMs) return false;
    QString error;
    auto c = Connection::open(m_station.effectiveConnectionSettings(), m_station.embeddedFile(),
                              &error, reconnectTimeoutSeconds);
    if (!c) {
        m_sinceFailure.restart();
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
                    m_dirty = true;
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
    m_sinceFailure.invalidate();
    m_dataVersion = -1;
    m_dirty = true; // whatever happened while we were away is still unshown
    return true;
}

bool CallFeed::mayHaveChanged() {
    if (m_dirty) return true;
    const QString versionQuery = m_connection->dialect().dataVersionQuery();
    if (!versionQuery.isEmpty()) {
        ++m_queries;
        const QVariant version = m_connection->scalar(versionQuery);
        const qint64 v = version.isValid() ? version.toLongLong() : -1;
        const bool changedNow = v != m_dataVersion;
        m_dataVersion = v;
        return changedNow;
    }
    // Notifications wake us; the safety poll covers one that got lost.
    return !m_sinceLook.isValid() || m_sinceLook.elapsed() >= safetyPollMs;
}

QList<CallLine> CallFeed::addFirst(int rows) {
    QList<CallLine> lines;
    if (rows <= 0 || !ensureConnection()) return lines;
    try {
        ++m_queries;
        // The number of lines is bound like every other value.
        QVariantList binds{m_station.clock().todayText()};
        binds += filterBinds();
        binds.append(rows);
        RecordSet rs(m_connection,
                     QStringLiteral(
                         "select * from tblcall where tickDate=?%1  order by callauto desc limit ?")
                         .arg(filterSql()),
                     binds);
        for (; !rs.eof(); rs.moveNext())
            lines.append(lineOf(rs));
    } catch (const DbError&) {
        dropConnection();
    }
    return lines;
}

std::optional<CallLine> CallFeed::poll() {
    if (!ensureConnection()) return std::nullopt;
    try {
        if (!mayHaveChanged()) return std::nullopt;
        ++m_queries;
        QVariantList binds{m_station.clock().todayText()};
        binds += filterBinds();
        RecordSet rs(m_connection,
                     QStringLiteral("select top 1 * from tblcall where tickDate=? and status='0'%1 "
                                    " order by callauto desc")
                         .arg(filterSql()),
                     binds);
        m_sinceLook.restart();
        if (rs.recordCount() == 0) {
            m_dirty = false;
            return std::nullopt;
        }
        m_dirty = true; // older unshown calls may wait behind this one
        return lineOf(rs);
    } catch (const DbError&) {
        dropConnection();
        return std::nullopt;
    }
}

bool CallFeed::markShown(qint64 callauto) {
    if (!connected()) return false;
    try {
        ++m_queries;
        m_connection->execute(QStringLiteral("update tblCall set status='1' where callauto=?"),
                              {callauto});
        return true;
    } catch (const DbError&) {
        dropConnection();
        return false;
    }
}

} // namespace tv
