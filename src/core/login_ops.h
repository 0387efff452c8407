#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class Connection;
class Station;

// What the login window sends for one attempt.
struct LoginRequest {
    enum class Role { Admin, Counter };
    Role role = Role::Admin;
    QString counterName; // contName; counter role only
    QString userName;
    // What the password box holds: typed text, or the token the station
    // remembered from an earlier login (then `rememberedCredential` is set).
    QString password;
    bool rememberedCredential = false;
    bool memorize = false; // the Memorize box
};

struct LoginResult {
    bool ok = false;
    QString message; // what to show when the login failed
};

struct PasswordChangeResult {
    bool changed = false;
    QString message; // always shown
};

// The station's remembered login as the login window fills its boxes from it.
struct RememberedLogin {
    bool remember = false; // "Rem" is 1
    QString type;          // "optAdmin" or "optCounter"
    QString name;
    QString pass; // the station's login token, never a password or its hash
    QString counter;
};

// Logging in as administrator or counter, the remembered login of the station
// and the password changes, without a screen. Every value goes to the database
// bound, so quotes in a name or password are just characters. User names
// compare without regard to case (the database's case-free column), passwords
// exactly. Database failures reach the caller as DbError.
class LoginOps final {
public:
    explicit LoginOps(Station& station) : m_station(station) {}

    static inline const QString adminFailed =
        QStringLiteral("Please enter a valid username and password");
    static inline const QString counterFailed =
        QStringLiteral("Please enter a valid Username and Password");
    static inline const QString notSame = QStringLiteral("Passwords are not same");
    static inline const QString changedMessage = QStringLiteral("Password Changed ");
    static inline const QString wrongOld = QStringLiteral("Please enter a valid old password");

    // Checks the credentials; on success records who is logged in on the
    // station and writes (or clears) the remembered login. A row still holding
    // a plain password gets its hash at this login.
    LoginResult login(const LoginRequest& request);

    // A non-number in "Rem" counts as not remembered.
    RememberedLogin remembered() const;

    // Names of the active counters, for the login's counter list.
    QStringList addCounter();

    // Forgets every remembered login of a user (role "A", userAuto) or a
    // counter (role "C", cntAuto), on every station: after a password change
    // or when the row is removed.
    static void revokeLoginTokens(Connection& c, const QString& role, qint64 owner);

    // Changes the password of the logged-in counter or administrator; the
    // remembered logins of that account end with it.
    PasswordChangeResult changeCounterPassword(const QString& oldPassword,
                                               const QString& newPassword,
                                               const QString& confirmation);
    PasswordChangeResult changeAdminPassword(const QString& oldPassword, const QString& newPassword,
                                             const QString& confirmation);

private:
    LoginResult loginAdmin(const LoginRequest& r);
    LoginResult loginCounter(const LoginRequest& r);
    // Whether what the password box holds opens the account: a typed password
    // against the stored hash, or a remembered token of that very account.
    // `*byToken` tells which.
    bool accepts(const QString& role, qint64 owner, const QString& stored, const LoginRequest& r,
                 bool* byToken);
    // Writes or clears the remembered login after a successful one.
    void remember(const LoginRequest& r, const QString& role, qint64 owner, bool byToken);
    Connection& db();

    Station& m_station;
};

} // namespace tv
