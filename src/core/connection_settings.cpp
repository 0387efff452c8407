#include "connection_settings.h"

#include "station_settings.h"

#include <QRegularExpression>

namespace tv {

namespace {
// "server:5433", "server,5433"; a bare IPv6 address keeps its colons.
QRegularExpressionMatch splitHost(const QString& host) {
    static const QRegularExpression re(QStringLiteral("^(.*[^:,])[:,](\\d{1,5})$"));
    const QString h = host.trimmed();
    if (h.count(u':') > 1) return {};
    return re.match(h);
}
} // namespace

QString ConnectionSettings::serverName() const {
    const auto m = splitHost(host);
    return m.hasMatch() ? m.captured(1) : host.trimmed();
}

int ConnectionSettings::serverPort() const {
    const auto m = splitHost(host);
    return m.hasMatch() ? m.captured(2).toInt() : -1;
}

ConnectionSettings ConnectionSettings::load(const StationSettings& settings) {
    ConnectionSettings c;
    c.host = settings.text(keys::SqlHost);
    c.database = settings.text(keys::SqlDatabase);
    c.user = settings.text(keys::SqlUser);
    c.password = settings.text(keys::SqlPassword);
    c.authentication = settings.text(keys::SqlAuthentication);
    return c;
}

} // namespace tv
