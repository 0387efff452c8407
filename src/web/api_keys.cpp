#include "api_keys.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace tv::web {

namespace {
const QString keyPrefix = QStringLiteral("tvk1.");
constexpr int maxNameLength = 60;
} // namespace

bool ApiKeys::looksLikeKey(const QString& text) {
    return text.startsWith(keyPrefix) && text.size() == keyPrefix.size() + 43;
}

QString ApiKeys::digest(const QString& key) {
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex());
}

ApiKeys::Created ApiKeys::create(const QString& given) {
    Created r;
    const QString name = given.trimmed();
    if (name.isEmpty() || name.size() > maxNameLength) {
        r.error = QStringLiteral("A key needs a name of 1 to %1 characters.").arg(maxNameLength);
        return r;
    }
    for (const QChar ch : name)
        if (!ch.isPrint()) {
            r.error = QStringLiteral("A key's name holds printable characters only.");
            return r;
        }
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    if (c->scalar(
             QStringLiteral("select count(*) from tv_api_key where keyName=? and revoked is null"),
             {name})
            .toInt() > 0) {
        r.error = QStringLiteral("There is already an active key named \"%1\".").arg(name);
        return r;
    }
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    const QString key =
        keyPrefix +
        QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(words), sizeof words)
                .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    c->execute(
        QStringLiteral("insert into tv_api_key (keyName, keyHash, created) values (?, ?, ?)"),
        {name, digest(key), m_station.clock().now()});
    tx.commit();
    r.key = key;
    return r;
}

QList<ApiKeys::Entry> ApiKeys::list() {
    QList<Entry> out;
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("select keyName, created, revoked from tv_api_key order by keyAuto"));
    const auto moment = [](const QVariant& v) {
        if (v.isNull()) return QDateTime();
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
        return QDateTime::fromString(v.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.textOrEmpty(0), moment(rs.value(1)), moment(rs.value(2))});
    return out;
}

bool ApiKeys::revoke(const QString& name) {
    return m_station.dbConnection->execute(
               QStringLiteral(
                   "update tv_api_key set revoked=? where keyName=? and revoked is null"),
               {m_station.clock().now(), name.trimmed()}) > 0;
}

std::optional<QString> ApiKeys::verify(const QString& key) {
    if (!looksLikeKey(key)) return std::nullopt;
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("select keyName from tv_api_key where keyHash=? and revoked is null"),
        {digest(key)});
    if (rs.recordCount() == 0) return std::nullopt;
    return rs.textOrEmpty(0);
}

} // namespace tv::web
