#include "counter_choice.h"

#include "core/recordset.h"
#include "core/station.h"

namespace tv {

namespace {
constexpr qint64 maxStationKey = 32767;
}

QString CounterChoice::keyTooLarge(const QString& name, qint64 counter, qint64 service) {
    const bool counterTooLarge = counter > maxStationKey;
    return QStringLiteral("The counter %1 cannot be used: %2 %3 is above %4, the highest a "
                          "station can hold")
        .arg(name,
             counterTooLarge ? QStringLiteral("its key") : QStringLiteral("its service's key"))
        .arg(counterTooLarge ? counter : service)
        .arg(maxStationKey);
}

bool CounterChoice::fits(qint64 counter, qint64 service) {
    return counter <= maxStationKey && service >= 0 && service <= maxStationKey;
}

QStringList CounterChoice::addCntr() {
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblCounter"));
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textOrEmpty(2));
    return names;
}

QStringList CounterChoice::addCounter() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select contName from tblcounter where active='1'"));
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textOrEmpty(0));
    return names;
}

CounterChoice::Adopted CounterChoice::getDetails(const QString& name) {
    Adopted a;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("Select * From tblCounter where contName=?"), {name});
    if (rs.recordCount() == 0) return a;
    // Read wide: a key a station cannot hold is told, never cut to another's.
    const qint64 counter = rs.number(0);
    const qint64 service = rs.isNull(1) ? 0 : rs.number(1);
    if (!fits(counter, service)) {
        a.message = keyTooLarge(name, counter, service);
        return a;
    }
    a.found = true;
    a.displayName = rs.textOrEmpty(3);
    LoginState& who = m_station.login;
    who.counterId = static_cast<qint16>(counter);
    who.serviceId = static_cast<qint16>(service);
    who.counterName = rs.textOrEmpty(2);
    who.counterDisplayName = a.displayName;
    return a;
}

QString CounterChoice::adoptForTransfer(const QString& name) {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select cntAuto,servAuto from tblCounter where contName=?"),
                 {name});
    if (rs.recordCount() == 0) return invalidCounter;
    const qint64 counter = rs.number(0);
    const qint64 service = rs.isNull(1) ? 0 : rs.number(1);
    if (!fits(counter, service)) return keyTooLarge(name, counter, service);
    m_station.login.counterId = static_cast<qint16>(counter);
    m_station.login.serviceId = static_cast<qint16>(service);
    return {};
}

} // namespace tv
