#include "users.h"

#include "core/connection.h"
#include "core/login_ops.h"
#include "core/password_hash.h"
#include "core/recordset.h"
#include "core/station.h"

namespace tv {

QList<Users::User> Users::getusers() {
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tbluser"));
    QList<User> users;
    for (; !rs.eof(); rs.moveNext())
        users.append({rs.number(0), rs.textOrEmpty(QStringLiteral("username"))});
    return users;
}

QString Users::add(const QString& name, const QString& password, const QString& userType) {
    if (userType.isEmpty() || name.trimmed().isEmpty()) return missingDetails;
    // Names are stored in upper case, so the typed name is compared in upper
    // case too: the case-free column alone folds only plain Latin letters on
    // the embedded engine, and "é" must meet a stored "É".
    const QString stored = name.toUpper();
    const QString hash = hashPassword(password);
    auto c = m_station.dbConnection;
    // Check and insert in one write transaction: two administrators adding the
    // same name at once on the embedded database cannot both get it.
    Connection::WriteTransaction tx(*c);
    RecordSet taken(c, QStringLiteral("select * from tbluser where username=?"), {stored});
    if (taken.recordCount() > 0) return existingUser;
    RecordSet rs(c, QStringLiteral("select * from tbluser"));
    rs.addNew();
    rs.setValue(1, stored);
    rs.setValue(2, hash);
    rs.setValue(3, userType);
    rs.update();
    tx.commit();
    return {};
}

bool Users::remove(qint64 userAuto) {
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    // The list on the screen may be older than the table: the count that
    // keeps the last user is the table's own.
    RecordSet all(c, QStringLiteral("select userAuto from tbluser"));
    if (all.recordCount() <= 1) return false;
    RecordSet rs(c, QStringLiteral("select * from tbluser where userAuto=?"), {userAuto});
    if (rs.recordCount() != 1) return false;
    rs.deleteCurrent();
    LoginOps::revokeLoginTokens(*c, QStringLiteral("A"), userAuto);
    tx.commit();
    return true;
}

} // namespace tv
