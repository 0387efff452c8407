#include "call_feed.h"

#include "call_feed_worker.h"
#include "core/station.h"

#include <QRegularExpression>
#include <QThread>

namespace tv {

namespace {
// Closing the board waits this long for the feed's thread; a thread stuck on a
// silent server is left to end by itself.
constexpr unsigned long shutdownWaitMs = 250;
} // namespace

CallFeed::CallFeed(Station& station, QObject* parent, Mode mode)
    : QObject(parent), m_station(station), m_gauges(std::make_shared<FeedGauges>()),
      m_thread(new QThread) {
    m_thread->setObjectName(QStringLiteral("callFeed"));
    m_worker = new CallFeedWorker(station.effectiveConnectionSettings(), station.embeddedFile(),
                                  m_gauges, mode == Mode::ReadOnly);
    m_worker->moveToThread(m_thread);
    // Both outlive the feed when the thread is stuck: each goes once the thread ends.
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_worker, &CallFeedWorker::filled, this, &CallFeed::filled);
    connect(m_worker, &CallFeedWorker::polled, this, &CallFeed::onPolled);
    connect(m_worker, &CallFeedWorker::changed, this, &CallFeed::onChanged);
    connect(m_worker, &CallFeedWorker::connectFailed, this, &CallFeed::connectFailed);
    connect(m_worker, &CallFeedWorker::tickerRead, this, &CallFeed::tickerRead);
    connect(m_worker, &CallFeedWorker::playlistRead, this, &CallFeed::playlistRead);
    connect(m_worker, &CallFeedWorker::read, this, &CallFeed::read);
    m_thread->start();
    setCallFilter(station.callFilter);
}

CallFeed::~CallFeed() {
    m_worker->disconnect(this);
    m_thread->quit();
    if (m_thread->wait(shutdownWaitMs)) delete m_thread;
}

void CallFeed::setCallFilter(const QString& filter) {
    // "and 1=1" (or nothing) means every counter; otherwise the counter keys
    // named in the condition.
    m_counters.clear();
    static const QRegularExpression key(QStringLiteral("servAuto\\s*=\\s*(\\d+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (auto it = key.globalMatch(filter); it.hasNext();)
        m_counters.append(it.next().captured(1).toInt());
    m_worthAsking = true;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, counters = m_counters] { w->setFilter(counters); },
        Qt::QueuedConnection);
}

void CallFeed::addFirst(int rows) {
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, rows, today = m_station.clock().todayText(),
         now = m_station.clock().time()] { w->fill(rows, today, now); },
        Qt::QueuedConnection);
}

void CallFeed::onChanged() {
    m_worthAsking = true;
    emit changed();
}

bool CallFeed::poll() {
    if (m_polling) return false;
    const bool safetyDue = !m_sinceAsked.isValid() || m_sinceAsked.elapsed() >= m_safetyPollMs;
    if (!m_worthAsking && !safetyDue) return false;
    m_worthAsking = false;
    m_sinceAsked.restart();
    m_polling = true;
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, today = m_station.clock().todayText(), now = m_station.clock().time()] {
            w->poll(today, now);
        },
        Qt::QueuedConnection);
    return true;
}

void CallFeed::onPolled(bool found, const CallLine& line) {
    m_polling = false;
    // Newer unshown calls may wait behind this one.
    if (found) m_worthAsking = true;
    emit polled(found, line);
}

void CallFeed::markShown(qint64 callauto) {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, callauto] { w->markShown(callauto); }, Qt::QueuedConnection);
}

void CallFeed::readSince(qint64 callauto, const QList<qint64>& keys, int limit) {
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, callauto, keys, limit, today = m_station.clock().todayText(),
         now = m_station.clock().time()] { w->readSince(callauto, keys, limit, today, now); },
        Qt::QueuedConnection);
}

void CallFeed::readTicker() {
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, today = m_station.clock().todayText(), now = m_station.clock().time()] {
            w->readTicker(today, now);
        },
        Qt::QueuedConnection);
}

void CallFeed::readPlaylist() {
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, today = m_station.clock().todayText(), now = m_station.clock().time()] {
            w->readPlaylist(today, now);
        },
        Qt::QueuedConnection);
}

void CallFeed::setReconnectDelays(int firstMs, int capMs) {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, firstMs, capMs] { w->setReconnectDelays(firstMs, capMs); },
        Qt::QueuedConnection);
}

void CallFeed::runInFeedThread(std::function<void(Connection*)> job) {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, job = std::move(job)] { w->inspect(job); }, Qt::QueuedConnection);
}

} // namespace tv
