#pragma once

#include "db_error.h"

#include <QString>
#include <QVariant>
#include <memory>

class QSqlDatabase;

namespace tv {

enum class Engine { Sqlite, Postgres };

// Kinds of advisory lock, so keys of different kinds never meet.
enum class LockKind { Schema = 1, TicketNumbers = 2 };

// The few engine-specific pieces of our statements. Statements are written once,
// in the house dialect ("select top 1 ...", "datediff(minute, a, b)",
// "format(d,'yyyy-MM-dd')"), and each engine's dialect turns them into what its
// server understands. Nothing outside the dialects knows which engine runs.
class Dialect {
public:
    virtual ~Dialect() = default;

    virtual Engine engine() const = 0;
    virtual QString driverName() const = 0;

    // Rewrites a house-dialect statement for this engine. Values never appear in
    // statement text (they are bound), so the rewrite cannot be fooled by data.
    QString translate(const QString& sql) const;

    // A value as this engine stores it: times of day without fractions of a
    // second, dates and times as sortable text where the engine has no type.
    virtual QVariant bindValue(const QVariant& value) const = 0;

    // Column type pieces for the schema.
    virtual QString identityKey() const = 0;  // integer key the database assigns
    virtual QString caseFreeText() const = 0; // text compared without regard to case
    virtual QString timeOfDay() const = 0;    // time without a date part
    virtual QString dateTime() const = 0;     // date and time
    virtual QString singleReal() const = 0;   // single-precision number

    // Statement that starts a transaction which will write: taken up front so a
    // read-then-write step never fails half-way under contention.
    virtual QString beginWrite() const = 0;

    // Whether statements without values (transaction control, schema) can be
    // prepared and kept like the others.
    virtual bool preparesEveryStatement() const = 0;

    // Appended to a "first waiting row" select inside a write transaction: lets
    // concurrent takers pass over rows another taker holds ("" where writers
    // are serialised anyway).
    virtual QString skipLocked() const = 0;

    // A statement with two bound numbers (a kind of lock and a key within that
    // kind) that serialises writers of that key until the transaction ends;
    // "" when beginWrite() already serialises all writers.
    virtual QString advisoryLock() const = 0;

    // Work done on every newly opened connection (pragmas, helper functions).
    virtual bool prepareConnection(QSqlDatabase& db, QString* error) const = 0;

    // Statements that must run once before the tables are created.
    virtual QStringList schemaPrelude() const = 0;

    // Statements that must run once after the tables are created.
    virtual QStringList schemaEpilogue() const = 0;

    // The statement that issues the next ticket of a service for a day in one
    // atomic step, binds (service, day "yyyy-MM-dd", time of day); returns the
    // new row's tickAuto, tickNo and no_abr (and, where the engine gives it in
    // the same step, the service's servdesc), or no row when the service cannot
    // issue (missing, no start or end number, past its end number or 32767).
    // Numbering: the day's highest number + 1, or the service's start number
    // for the day's first ticket.
    virtual QString issueTicketStatement() const = 0;

    // The notification channel the server raises whenever tblCall changes, ""
    // where the engine has none (readers then watch the file's data version).
    virtual QString callNotificationChannel() const = 0;

    // A cheap query whose single value changes whenever another connection has
    // committed a change to the database ("" where notifications do this job).
    virtual QString dataVersionQuery() const = 0;

    // What kind of failure the engine's own error code stands for.
    virtual DbError::Kind errorKind(const QString& nativeCode) const = 0;

    // Select that lists the columns of a table in their stored order.
    virtual QString columnListQuery() const = 0;

    static std::unique_ptr<Dialect> create(Engine engine);

protected:
    virtual QString minutesBetween(const QString& a, const QString& b) const = 0;
    virtual QString dayText(const QString& expr) const = 0;
};

} // namespace tv
