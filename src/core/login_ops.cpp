#include "login_ops.h"

#include "connection.h"
#include "db_error.h"
#include "password_hash.h"
#include "recordset.h"
#include "settings_store.h"
#include "station.h"

namespace tv {

Connection& LoginOps::db() {
    if (!m_station.dbConnection) throw DbError(QStringLiteral("There is no database connection"));
    return *m_station.dbConnection;
}

bool LoginOps::accepts(const QString& role, qint64 owner, const QString& stored,
                       const LoginRequest& r, bool* byToken) {
    *byToken = false;
    if (r.rememberedCredential) {
        if (isLoginToken(r.password)) {
            RecordSet rs(m_station.dbConnection,
                         QStringLiteral("select tokenAuto from tv_login_token"
                                        " where tokenHash=? and role=? and ownerAuto=?"),
                         {loginTokenDigest(r.password), role, owner});
            *byToken = rs.recordCount() > 0;
            return *byToken;
        }
        // A password hash in a settings file is no password, whoever put it
        // there: anyone who can read the user table has the hashes.
        if (isPasswordHash(r.password)) return false;
        // A plain password remembered before hashing is checked like a typed one.
    }
    return verifyPassword(stored, r.password);
}

LoginResult LoginOps::login(const LoginRequest& request) {
    return request.role == LoginRequest::Role::Admin ? loginAdmin(request) : loginCounter(request);
}

namespace {
const QString adminRole = QStringLiteral("A");
const QString counterRole = QStringLiteral("C");
} // namespace

LoginResult LoginOps::loginAdmin(const LoginRequest& r) {
    // The name is found by the database (case-free column); the password is
    // checked here, as the table holds hashes. Several users may share a name
    // spelled differently: the one whose password fits logs in.
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral("select userAuto, username, password from tbluser where username=?"),
        {r.userName});
    for (; !rs.eof(); rs.moveNext()) {
        if (rs.isNull(2)) continue; // no password was ever set: nothing matches it
        const QString stored = rs.text(2);
        const qint64 userAuto = rs.number(0);
        bool byToken = false;
        if (!accepts(adminRole, userAuto, stored, r, &byToken)) continue;
        if (!byToken && !isPasswordHash(stored)) {
            // A legacy plain password: replace it by its hash now. The old value
            // is part of the condition so a station doing the same at this
            // moment does not lose anything.
            db().execute(
                QStringLiteral("update tbluser set password=? where userAuto=? and password=?"),
                {hashPassword(r.password), userAuto, stored});
        }
        remember(r, adminRole, userAuto, byToken);
        m_station.login.isAdmin = true;
        m_station.login.adminUserId = static_cast<int>(userAuto);
        return {true, {}};
    }
    return {false, adminFailed};
}

LoginResult LoginOps::loginCounter(const LoginRequest& r) {
    // Whether the counter is active does not matter here: an inactive counter
    // is only left out of the list.
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select cntAuto, servAuto, pass from tblCounter "
                                "where contName=? and username=?"),
                 {r.counterName, r.userName});
    for (; !rs.eof(); rs.moveNext()) {
        if (rs.isNull(2)) continue;
        const QString stored = rs.text(2);
        const qint16 cntAuto = rs.int16(0);
        const qint16 servAuto = rs.int16(1);
        bool byToken = false;
        if (!accepts(counterRole, cntAuto, stored, r, &byToken)) continue;
        if (!byToken && !isPasswordHash(stored)) {
            db().execute(QStringLiteral("update tblCounter set pass=? where cntAuto=? and pass=?"),
                         {hashPassword(r.password), int(cntAuto), stored});
        }
        remember(r, counterRole, cntAuto, byToken);
        m_station.login.counterId = cntAuto;
        m_station.login.serviceId = servAuto;
        m_station.login.isAdmin = false;
        return {true, {}};
    }
    return {false, counterFailed};
}

void LoginOps::remember(const LoginRequest& r, const QString& role, qint64 owner, bool byToken) {
    StationSettings& s = m_station.settings();
    const QString previous = s.text(keys::LoginPass);
    const auto forgetPrevious = [&] {
        if (isLoginToken(previous))
            db().execute(QStringLiteral("delete from tv_login_token where tokenHash=?"),
                         {loginTokenDigest(previous)});
    };
    if (!r.memorize) {
        // "Rem" stays as it is: the next start shows Memorize ticked with
        // empty boxes when it was ticked before.
        forgetPrevious();
        s.set(keys::LoginName, QString());
        s.set(keys::LoginPass, QString());
        return;
    }
    // A login by the remembered token keeps it; a typed one replaces the
    // station's token by a new one.
    QString token = byToken ? r.password : QString();
    if (token.isEmpty()) {
        forgetPrevious();
        token = newLoginToken();
        db().execute(
            QStringLiteral("insert into tv_login_token (role, ownerAuto, tokenHash,"
                           " station, created) values (?, ?, ?, ?, ?)"),
            {role, owner, loginTokenDigest(token), m_station.profile(), m_station.clock().now()});
    }
    s.set(keys::LoginRemember, QStringLiteral("1"));
    s.set(keys::LoginType, r.role == LoginRequest::Role::Admin ? QStringLiteral("optAdmin")
                                                               : QStringLiteral("optCounter"));
    s.set(keys::LoginName, r.userName);
    s.set(keys::LoginPass, token);
    if (r.role == LoginRequest::Role::Counter) s.set(keys::LoginCounter, r.counterName);
}

void LoginOps::revokeLoginTokens(Connection& c, const QString& role, qint64 owner) {
    c.execute(QStringLiteral("delete from tv_login_token where role=? and ownerAuto=?"),
              {role, owner});
}

RememberedLogin LoginOps::remembered() const {
    const StationSettings& s = m_station.settings();
    RememberedLogin out;
    out.remember = s.number(keys::LoginRemember) == 1;
    out.type = s.text(keys::LoginType);
    out.name = s.text(keys::LoginName);
    out.pass = s.text(keys::LoginPass);
    out.counter = s.text(keys::LoginCounter);
    return out;
}

QStringList LoginOps::addCounter() {
    QStringList names;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select contName from tblcounter where active='1'"));
    for (; !rs.eof(); rs.moveNext())
        names << rs.textOrEmpty(0);
    return names;
}

PasswordChangeResult LoginOps::changeCounterPassword(const QString& oldPassword,
                                                     const QString& newPassword,
                                                     const QString& confirmation) {
    if (newPassword != confirmation) return {false, notSame};
    const qint64 key = m_station.login.counterId;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select cntAuto, pass from tblcounter where cntauto=?"), {key});
    if (rs.eof() || rs.isNull(1) || !verifyPassword(rs.text(1), oldPassword))
        return {false, wrongOld};
    Connection::WriteTransaction tx(db());
    db().execute(QStringLiteral("update tblCounter set pass=? where cntAuto=?"),
                 {hashPassword(newPassword), key});
    revokeLoginTokens(db(), counterRole, key);
    tx.commit();
    return {true, changedMessage};
}

PasswordChangeResult LoginOps::changeAdminPassword(const QString& oldPassword,
                                                   const QString& newPassword,
                                                   const QString& confirmation) {
    if (newPassword != confirmation) return {false, notSame};
    const qint64 key = m_station.login.adminUserId;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select userAuto, password from tbluser where userAuto=?"), {key});
    if (rs.eof() || rs.isNull(1) || !verifyPassword(rs.text(1), oldPassword))
        return {false, wrongOld};
    Connection::WriteTransaction tx(db());
    db().execute(QStringLiteral("update tbluser set password=? where userAuto=?"),
                 {hashPassword(newPassword), key});
    revokeLoginTokens(db(), adminRole, key);
    tx.commit();
    return {true, changedMessage};
}

} // namespace tv
