#include "rate_limit.h"

#include <cmath>

namespace tv::web {

namespace {
// A flood from many addresses must not grow the table without end: full
// buckets are forgotten (a new one starts full anyway).
constexpr int sweepAbove = 4096;
} // namespace

double RateLimit::level(const Bucket& b, qint64 nowMs) const {
    const double refilled = b.tokens + double(qMax<qint64>(0, nowMs - b.at)) / double(m_refillMs);
    return qMin(double(m_burst), refilled);
}

bool RateLimit::take(const QString& address, qint64 nowMs) {
    if (m_buckets.size() > sweepAbove) {
        for (auto it = m_buckets.begin(); it != m_buckets.end();)
            it = level(*it, nowMs) >= m_burst ? m_buckets.erase(it) : std::next(it);
    }
    auto it = m_buckets.find(address);
    if (it == m_buckets.end()) it = m_buckets.insert(address, Bucket{double(m_burst), nowMs});
    const double now = level(*it, nowMs);
    if (now < 1.0) return false;
    *it = Bucket{now - 1.0, nowMs};
    return true;
}

qint64 RateLimit::retryAfterMs(const QString& address, qint64 nowMs) const {
    const auto it = m_buckets.constFind(address);
    if (it == m_buckets.constEnd()) return 0;
    const double now = level(*it, nowMs);
    return now >= 1.0 ? 0 : qint64(std::ceil((1.0 - now) * double(m_refillMs)));
}

} // namespace tv::web
