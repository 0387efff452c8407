#pragma once

#include <QHash>
#include <QString>

namespace tv::web {

// Per-address budget for taking tickets: `burst` at once, then one more every
// `refillMs`. Times come from the caller, so the budget is tested without waiting.
class RateLimit final {
public:
    RateLimit(int burst, qint64 refillMs)
        : m_burst(qMax(1, burst)), m_refillMs(qMax<qint64>(1, refillMs)) {}

    // Takes one from `address`'s budget at `nowMs`; false when it is spent.
    bool take(const QString& address, qint64 nowMs);
    // Milliseconds until `address` may take again (0: now).
    qint64 retryAfterMs(const QString& address, qint64 nowMs) const;
    int addresses() const { return int(m_buckets.size()); }

private:
    struct Bucket {
        double tokens = 0;
        qint64 at = 0;
    };
    double level(const Bucket& b, qint64 nowMs) const;

    int m_burst;
    qint64 m_refillMs;
    QHash<QString, Bucket> m_buckets;
};

} // namespace tv::web
