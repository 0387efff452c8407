#include "statistics_ops.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"

#include <QHash>
#include <QMap>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// Seconds since midnight of a time of day as the engines give it (a time, or
// "HH:mm:ss" text); -1 for anything else. Called for every ticket of a month,
// so no QTime parsing of text.
int secondsOf(const QString& t);
int secondsOf(const QVariant& v) {
    if (v.isNull()) return -1;
    if (v.typeId() == QMetaType::QTime) {
        const QTime t = v.toTime();
        return t.isValid() ? t.msecsSinceStartOfDay() / 1000 : -1;
    }
    return secondsOf(v.toString());
}

int secondsOf(const QString& t) {
    if (t.size() < 8 || t.at(2) != u':' || t.at(5) != u':') return -1;
    int v[3];
    for (int i = 0; i < 3; ++i) {
        const QChar a = t.at(i * 3);
        const QChar b = t.at(i * 3 + 1);
        if (!a.isDigit() || !b.isDigit()) return -1;
        v[i] = (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59) return -1;
    return v[0] * 3600 + v[1] * 60 + v[2];
}

struct Samples {
    int issued = 0;
    int called = 0;
    int pending = 0;
    QList<double> waits;
    QList<double> services;

    StatisticsOps::Figures figures() {
        StatisticsOps::Figures f;
        f.issued = issued;
        f.called = called;
        f.pending = pending;
        f.waitMedian = StatisticsOps::percentile(waits, 0.5);
        f.waitP90 = StatisticsOps::percentile(waits, 0.9);
        f.serviceMedian = StatisticsOps::percentile(services, 0.5);
        f.serviceP90 = StatisticsOps::percentile(services, 0.9);
        return f;
    }
};

QString hourName(int hour) {
    return QStringLiteral("%1:00-%2:00")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg((hour + 1) % 24, 2, 10, QLatin1Char('0'));
}

} // namespace

QStringList StatisticsOps::names(Scope scope) {
    QString sql;
    switch (scope) {
    case Scope::Department:
        sql = QStringLiteral("select deptName from tblDept where active='1'");
        break;
    case Scope::Service:
        sql = QStringLiteral("select ServName from tblService where active='1'");
        break;
    case Scope::Counter:
        sql = QStringLiteral("select contName from tblCounter where active='1'");
        break;
    }
    QStringList out;
    for (RecordSet rs(m_station.dbConnection, sql); !rs.eof(); rs.moveNext())
        out << rs.textOrEmpty(0);
    return out;
}

std::optional<double> StatisticsOps::percentile(QList<double>& values, double p) {
    if (values.isEmpty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const double rank = p * (values.size() - 1);
    const auto below = static_cast<qsizetype>(std::floor(rank));
    const auto above = qMin(below + 1, values.size() - 1);
    return values[below] + (rank - below) * (values[above] - values[below]);
}

StatisticsOps::Result StatisticsOps::compute(Scope scope, const QString& name, const QDate& from,
                                             const QDate& to) {
    // A month of a busy hall is a hundred thousand tickets: read them as keys
    // and times straight off the query, and name services and counters after.
    QString sql = QStringLiteral(
        "select tblTicket.tickTime, tblTicket.attTime, tblTicket.finished, tblTicket.call,"
        " tblTicket.status, tblTicket.servAuto, tblTicket.attended"
        " from (tblTicket inner join tblService on tblTicket.servAuto = tblService.servAuto)"
        " inner join tblDept on tblService.deptAuto = tblDept.deptAuto"
        " where tblTicket.tickDate between ? and ?");
    QVariantList binds{from.toString(QStringLiteral("yyyy-MM-dd")),
                       to.toString(QStringLiteral("yyyy-MM-dd"))};
    if (name != QStringLiteral("All")) {
        switch (scope) {
        case Scope::Department:
            sql += QStringLiteral(" and tblDept.deptName=?");
            break;
        case Scope::Service:
            sql += QStringLiteral(" and tblService.ServName=?");
            break;
        case Scope::Counter:
            sql += QStringLiteral(" and tblTicket.attended in (select cntAuto from tblCounter"
                                  " where contName=?)");
            break;
        }
        binds << name;
    }

    QMap<int, Samples> hours;
    QHash<qint64, Samples> services;
    QHash<qint64, Samples> counters;
    Samples total;
    {
        QSqlQuery& q = m_station.dbConnection->run(sql, binds);
        while (q.next()) {
            const int issuedAt = secondsOf(q.value(0));
            const int calledAt = secondsOf(q.value(1));
            const int finishedAt = secondsOf(q.value(2));
            const bool called = q.value(3).toInt() == 1 && calledAt >= 0;
            const bool cancelled = q.value(4).toString() == QStringLiteral("Cancelled");
            Samples& service = services[q.value(5).toLongLong()];
            Samples* counter = called ? &counters[q.value(6).toLongLong()] : nullptr;
            Samples* issueHour = issuedAt >= 0 ? &hours[issuedAt / 3600] : nullptr;
            Samples* callHour = called ? &hours[calledAt / 3600] : nullptr;

            for (Samples* s : {&total, &service, issueHour}) {
                if (!s) continue;
                ++s->issued;
                if (!called) ++s->pending;
            }
            if (!called) continue;
            for (Samples* s : {&total, &service, counter, callHour})
                ++s->called;
            // A time that runs backwards (a station's clock set back) is no sample.
            if (issuedAt >= 0 && calledAt >= issuedAt) {
                const double wait = (calledAt - issuedAt) / 60.0;
                for (Samples* s : {&total, &service, counter, issueHour})
                    if (s) s->waits << wait;
            }
            if (!cancelled && finishedAt >= calledAt) {
                const double served = (finishedAt - calledAt) / 60.0;
                for (Samples* s : {&total, &service, counter, callHour})
                    s->services << served;
            }
        }
        q.finish();
    }

    const auto namesOf = [&](const QString& sql) {
        QHash<qint64, QString> out;
        for (RecordSet rs(m_station.dbConnection, sql); !rs.eof(); rs.moveNext())
            out.insert(rs.number(0), rs.textOrEmpty(1));
        return out;
    };
    const auto serviceNames = namesOf(QStringLiteral("select servAuto, servName from tblService"));
    const auto counterNames = namesOf(QStringLiteral("select cntAuto, contName from tblCounter"));
    const auto groups = [](QHash<qint64, Samples>& samples, const QHash<qint64, QString>& names) {
        QList<Group> out;
        for (auto it = samples.begin(); it != samples.end(); ++it)
            out << Group{names.value(it.key(), QStringLiteral("#%1").arg(it.key())), it->figures()};
        std::sort(out.begin(), out.end(), [](const Group& a, const Group& b) {
            return QString::localeAwareCompare(a.name, b.name) < 0;
        });
        return out;
    };

    Result r;
    for (auto it = hours.begin(); it != hours.end(); ++it)
        r.byHour << Group{hourName(it.key()), it->figures()};
    r.byService = groups(services, serviceNames);
    r.byCounter = groups(counters, counterNames);
    r.total = total.figures();
    return r;
}

} // namespace tv
