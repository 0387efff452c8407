#pragma once

#include "dialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

namespace tv {

struct ConnectionSettings;

// One open database connection. Stations replace their shared connection each
// time a screen loads; record sets keep the connection they were opened on alive.
class Connection final : public std::enable_shared_from_this<Connection> {
public:
    static constexpr int defaultConnectTimeout = 10; // seconds

    // Opens a new connection. Never throws: on failure returns null and the
    // engine's words in `error`. `embeddedFile` is used when the host is empty.
    // With `watchLink`, a server link that stops answering (a cable pulled, a
    // router dropping packets) breaks the connection within seconds instead of
    // leaving a query waiting for the operating system's long TCP retries.
    static std::shared_ptr<Connection> open(const ConnectionSettings& settings,
                                            const QString& embeddedFile, QString* error,
                                            int connectTimeoutSeconds = defaultConnectTimeout,
                                            bool watchLink = false);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const;
    void close();
    const Dialect& dialect() const { return *m_dialect; }
    QSqlDatabase database() const;
    // "embedded file …" or "server …/…", for messages and the status line.
    QString description() const { return m_description; }

    // Files whose change means another station wrote to the database (the
    // embedded file and its write-ahead log); none for a server.
    QStringList changeFiles() const { return m_changeFiles; }

    // Runs a statement that returns no rows; returns the number of rows it
    // changed. Raises DbError.
    int execute(const QString& sql, const QVariantList& binds = {});

    // The first value of the first row ("" rows: an invalid QVariant), without
    // the bookkeeping of a record set: for the cheap checks done many times a second.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});

    // Runs a statement (house dialect) with its values bound and leaves the
    // active query positioned before its first row. The query stays owned by the
    // connection's statement cache; the caller reads it and then calls finish().
    QSqlQuery& run(const QString& sql, const QVariantList& binds);

    // Whether a WriteTransaction is open on this connection.
    bool inTransaction() const { return m_transactions > 0; }

    // A transaction that will write, taken up front (see Dialect::beginWrite).
    // Rolled back on destruction unless committed.
    class WriteTransaction final {
    public:
        explicit WriteTransaction(Connection& c);
        ~WriteTransaction();
        WriteTransaction(const WriteTransaction&) = delete;
        WriteTransaction& operator=(const WriteTransaction&) = delete;
        void commit();

    private:
        Connection& m_connection;
        bool m_open = true;
    };

private:
    Connection(const QString& name, std::unique_ptr<Dialect> dialect);
    DbError failure(const QSqlError& e) const;
    QSqlQuery& prepared(const QString& translatedSql);
    void clearCache();

    QString m_name;
    QString m_description;
    QStringList m_changeFiles;
    std::unique_ptr<Dialect> m_dialect;
    QHash<QString, QSqlQuery*> m_cache;
    QHash<QString, QString> m_translated;
    std::unique_ptr<QSqlQuery> m_direct;
    int m_transactions = 0;
};

// The engine's own words for a failed query or connection.
QString errorText(const QSqlError& e);

} // namespace tv
