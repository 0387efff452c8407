#pragma once

#include <QDateTime>
#include <QString>

namespace tv {

// "Today" and "now" for the whole station, from one place, so a test can stand
// at 09:45:10 or just after midnight.
class Clock final {
public:
    QDateTime now() const { return m_fixed.isValid() ? m_fixed : QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }
    QTime time() const { return now().time(); }
    // The ticket day as every ticket and call row stores it.
    QString todayText() const { return today().toString(QStringLiteral("yyyy-MM-dd")); }

    void setFixed(const QDateTime& moment) { m_fixed = moment; }
    void setLive() { m_fixed = QDateTime(); }

private:
    QDateTime m_fixed;
};

} // namespace tv
