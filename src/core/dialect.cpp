#include "dialect.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>

namespace tv {

namespace {

// Finds the arguments of the call whose opening parenthesis is at `open`;
// returns the index just past the closing one, or -1 when unbalanced.
int splitArguments(const QString& sql, int open, QStringList* args) {
    int depth = 0;
    bool inText = false;
    int start = open + 1;
    for (int i = open; i < sql.size(); ++i) {
        const QChar ch = sql.at(i);
        if (ch == u'\'') {
            inText = !inText;
        } else if (inText) {
            continue;
        } else if (ch == u'(') {
            ++depth;
        } else if (ch == u')') {
            if (--depth == 0) {
                args->append(sql.mid(start, i - start).trimmed());
                return i + 1;
            }
        } else if (ch == u',' && depth == 1) {
            args->append(sql.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    return -1;
}

// Replaces every call of `function` whose arguments `accept` takes by what
// `build` makes of them. Calls it does not accept are left as written.
template <typename Accept, typename Build>
QString rewriteCalls(QString sql, const QString& function, Accept accept, Build build) {
    const QRegularExpression call(QStringLiteral("\\b%1\\s*\\(").arg(function),
                                  QRegularExpression::CaseInsensitiveOption);
    int from = 0;
    for (;;) {
        const auto m = call.match(sql, from);
        if (!m.hasMatch()) return sql;
        QStringList args;
        const int end = splitArguments(sql, m.capturedEnd() - 1, &args);
        if (end < 0 || !accept(args)) {
            from = m.capturedEnd();
            continue;
        }
        const QString replacement = build(args);
        sql.replace(m.capturedStart(), end - m.capturedStart(), replacement);
        from = m.capturedStart() + replacement.size();
    }
}

// The one numbering statement. `params` selects the service, the day and the
// time of day once (bound values on one engine, function arguments on the other).
QString issueInsert(const QString& params) {
    // The highest number is read as "first of the index backwards", which both
    // engines answer without walking the day's tickets.
    return QStringLiteral(
               "with p(svc, day, tm) as (%1),"
               " n(nxt) as (select coalesce("
               "(select x.tickNo + 1 from tblTicket x"
               " where x.servAuto=(select svc from p) and x.tickDate=(select day from p)"
               " order by x.tickNo desc limit 1),"
               " (select y.startno from tblService y, p where y.servAuto=p.svc)))"
               " insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, "
               "attended)"
               " select s.servAuto, n.nxt, p.day, p.tm, 0, coalesce(s.abrno,'') || n.nxt, 0"
               " from p, tblService s, n"
               " where s.servAuto=p.svc and n.nxt <= s.endno and n.nxt <= 32767")
        .arg(params);
}

constexpr const char* callChannel = "tv_call";

class SqliteDialect final : public Dialect {
public:
    Engine engine() const override { return Engine::Sqlite; }
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString identityKey() const override {
        // AUTOINCREMENT: a deleted newest row never hands its key to the next
        // row, so "newest first" by key stays true after data is cleared.
        return QStringLiteral("integer primary key autoincrement");
    }
    QString caseFreeText() const override { return QStringLiteral("text collate nocase"); }
    QString timeOfDay() const override { return QStringLiteral("text"); }
    QString dateTime() const override { return QStringLiteral("text"); }
    QString singleReal() const override { return QStringLiteral("real"); }
    QString beginWrite() const override { return QStringLiteral("begin immediate"); }
    QString advisoryLock() const override { return {}; }
    bool preparesEveryStatement() const override { return true; }
    QString skipLocked() const override { return {}; }

    QVariant bindValue(const QVariant& v) const override {
        switch (v.typeId()) {
        case QMetaType::QTime:
            return v.isNull() ? QVariant()
                              : QVariant(v.toTime().toString(QStringLiteral("HH:mm:ss")));
        case QMetaType::QDate:
            return v.isNull() ? QVariant()
                              : QVariant(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        case QMetaType::QDateTime:
            return v.isNull()
                       ? QVariant()
                       : QVariant(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        case QMetaType::Bool:
            return v.isNull() ? QVariant(QMetaType(QMetaType::Int)) : QVariant(v.toBool() ? 1 : 0);
        default:
            return v;
        }
    }

    bool prepareConnection(QSqlDatabase& db, QString* error) const override {
        QSqlQuery q(db);
        for (const char* pragma : {"pragma journal_mode=WAL", "pragma synchronous=NORMAL"}) {
            if (!q.exec(QString::fromLatin1(pragma))) {
                if (error) *error = q.lastError().text();
                return false;
            }
        }
        return true;
    }
    QStringList schemaPrelude() const override { return {}; }
    QStringList schemaEpilogue() const override { return {}; }
    QString callNotificationChannel() const override { return {}; }
    QString dataVersionQuery() const override { return QStringLiteral("pragma data_version"); }
    QString issueTicketStatement() const override {
        // One write statement is one write transaction in SQLite: it takes the
        // database's write lock before it reads the highest number.
        return issueInsert(QStringLiteral("select ?, ?, ?")) +
               QStringLiteral(" returning tickAuto, tickNo, no_abr");
    }
    QString columnListQuery() const override {
        return QStringLiteral("select name from pragma_table_info(?) order by cid");
    }
    DbError::Kind errorKind(const QString& code) const override {
        // Extended result codes: SQLITE_CONSTRAINT_UNIQUE, _PRIMARYKEY; SQLITE_BUSY, _LOCKED.
        const int c = code.toInt();
        if (c == 2067 || c == 1555) return DbError::Kind::UniqueViolation;
        if ((c & 0xff) == 5 || (c & 0xff) == 6) return DbError::Kind::Busy;
        return DbError::Kind::Other;
    }

protected:
    QString minutesBetween(const QString& a, const QString& b) const override {
        // Times of day are "HH:mm:ss" text; SQLite reads a bare time as a moment
        // of 2000-01-01. Whole minutes crossed, as the reports count them.
        return QStringLiteral("(cast(strftime('%s',%2) as integer)/60"
                              " - cast(strftime('%s',%1) as integer)/60)")
            .arg(a, b);
    }
    QString dayText(const QString& expr) const override {
        return QStringLiteral("strftime('%Y-%m-%d',%1)").arg(expr);
    }
};

class PostgresDialect final : public Dialect {
public:
    Engine engine() const override { return Engine::Postgres; }
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    QString identityKey() const override {
        return QStringLiteral("integer generated by default as identity primary key");
    }
    QString caseFreeText() const override { return QStringLiteral("citext"); }
    QString timeOfDay() const override { return QStringLiteral("time(0)"); }
    QString dateTime() const override { return QStringLiteral("timestamp(0)"); }
    QString singleReal() const override { return QStringLiteral("real"); }
    QString beginWrite() const override { return QStringLiteral("begin"); }
    QString advisoryLock() const override {
        return QStringLiteral("select pg_advisory_xact_lock(?, ?)");
    }
    bool preparesEveryStatement() const override { return false; }
    QString skipLocked() const override { return QStringLiteral(" for update skip locked"); }

    QVariant bindValue(const QVariant& v) const override {
        switch (v.typeId()) {
        case QMetaType::QTime: {
            if (v.isNull()) return v;
            const QTime t = v.toTime();
            return QTime(t.hour(), t.minute(), t.second());
        }
        case QMetaType::Bool:
            return v.isNull() ? QVariant(QMetaType(QMetaType::Int)) : QVariant(v.toBool() ? 1 : 0);
        default:
            return v;
        }
    }

    bool prepareConnection(QSqlDatabase& db, QString* error) const override {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("set datestyle to iso"))) {
            if (error) *error = q.lastError().text();
            return false;
        }
        return true;
    }
    QStringList schemaPrelude() const override {
        return {QStringLiteral("create extension if not exists citext")};
    }
    QStringList schemaEpilogue() const override {
        // The numbering runs on the server under a lock per service, so one
        // ticket costs one round trip and the lock is held only while the
        // server works, not while the network carries statements back and forth.
        return {
            QStringLiteral(
                "create or replace function tv_issue_ticket(p_service integer, p_day text, p_time "
                "time)"
                " returns table (r_tickauto integer, r_tickno integer, r_token text, r_descr text)"
                " language plpgsql as $fn$"
                " begin"
                "   perform pg_advisory_xact_lock(%1, p_service);"
                "   return query with ins as (%2 returning tickAuto, tickNo, no_abr)"
                "     select ins.tickAuto, ins.tickNo, ins.no_abr, d.servdesc::text"
                "     from ins, tblService d where d.servAuto = p_service;"
                " end $fn$")
                .arg(int(LockKind::TicketNumbers))
                .arg(issueInsert(QStringLiteral("select p_service, p_day, p_time"))),
            // Display boards sleep until a call record is written or changed,
            // whichever station writes it.
            QStringLiteral(
                "create or replace function tv_call_notify() returns trigger"
                " language plpgsql as $fn$ begin perform pg_notify('%1', ''); return null;"
                " end $fn$")
                .arg(QLatin1String(callChannel)),
            QStringLiteral("create trigger tv_call_changed after insert or update on tblCall"
                           " for each statement execute function tv_call_notify()")};
    }
    QString callNotificationChannel() const override { return QLatin1String(callChannel); }
    QString dataVersionQuery() const override { return {}; }
    QString issueTicketStatement() const override {
        return QStringLiteral(
            "select r_tickauto, r_tickno, r_token, r_descr from tv_issue_ticket(?, ?, ?)");
    }
    DbError::Kind errorKind(const QString& code) const override {
        // SQLSTATE: unique_violation; lock_not_available, deadlock_detected.
        if (code == u"23505") return DbError::Kind::UniqueViolation;
        if (code == u"55P03" || code == u"40P01") return DbError::Kind::Busy;
        return DbError::Kind::Other;
    }
    QString columnListQuery() const override {
        return QStringLiteral("select column_name from information_schema.columns"
                              " where table_schema = current_schema() and table_name = lower(?)"
                              " order by ordinal_position");
    }

protected:
    QString minutesBetween(const QString& a, const QString& b) const override {
        // Wrapped whole, so a word written right after the call stays a word.
        return QStringLiteral("((floor(extract(epoch from %2)/60)"
                              " - floor(extract(epoch from %1)/60))::integer)")
            .arg(a, b);
    }
    QString dayText(const QString& expr) const override {
        return QStringLiteral("to_char(%1,'YYYY-MM-DD')").arg(expr);
    }
};

} // namespace

QString Dialect::translate(const QString& sql) const {
    QString out = sql;

    // "select top n ..." -> "select ... limit n": both engines read LIMIT at the end.
    static const QRegularExpression top(QStringLiteral("^(\\s*select)\\s+top\\s+(\\d+)\\s"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = top.match(out); m.hasMatch()) {
        const QString n = m.captured(2);
        out.replace(m.capturedStart(), m.capturedLength(), m.captured(1) + u' ');
        out = out.trimmed();
        if (out.endsWith(u';')) out.chop(1);
        // LIMIT goes before a row-locking clause.
        static const QRegularExpression locking(QStringLiteral("\\s+for\\s+update\\b.*$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto lock = locking.match(out);
        const QString tail = lock.hasMatch() ? lock.captured(0) : QString();
        if (lock.hasMatch()) out.chop(tail.size());
        out += QStringLiteral(" limit ") + n + tail;
    }

    out = rewriteCalls(
        out, QStringLiteral("datediff"),
        [](const QStringList& args) {
            return args.size() == 3 && args[0].compare(u"minute", Qt::CaseInsensitive) == 0;
        },
        [this](const QStringList& args) { return minutesBetween(args[1], args[2]); });

    out = rewriteCalls(
        out, QStringLiteral("format"),
        [](const QStringList& args) { return args.size() == 2 && args[1] == u"'yyyy-MM-dd'"; },
        [this](const QStringList& args) { return dayText(args[0]); });

    return out;
}

std::unique_ptr<Dialect> Dialect::create(Engine engine) {
    if (engine == Engine::Postgres) return std::make_unique<PostgresDialect>();
    return std::make_unique<SqliteDialect>();
}

} // namespace tv
