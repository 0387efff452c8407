#include "connection.h"

#include "connection_settings.h"
#include "db_error.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace tv {

namespace {
QAtomicInt connectionSerial;
constexpr int statementCacheLimit = 128;
} // namespace

QString errorText(const QSqlError& e) {
    QString text = e.databaseText().trimmed();
    if (text.isEmpty()) text = e.driverText().trimmed();
    if (text.isEmpty()) text = e.text().trimmed();
    return text;
}

Connection::Connection(const QString& name, std::unique_ptr<Dialect> dialect)
    : m_name(name), m_dialect(std::move(dialect)) {}

Connection::~Connection() {
    clearCache();
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

std::shared_ptr<Connection> Connection::open(const ConnectionSettings& settings,
                                             const QString& embeddedFile, QString* error,
                                             int connectTimeoutSeconds, bool watchLink) {
    const Engine engine = settings.isEmbedded() ? Engine::Sqlite : Engine::Postgres;
    const QString name = QStringLiteral("tallyvox-%1").arg(connectionSerial.fetchAndAddRelaxed(1));
    std::shared_ptr<Connection> c(new Connection(name, Dialect::create(engine)));
    const QString driver = c->m_dialect->driverName();

    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    if (!db.isValid()) {
        if (error) *error = QStringLiteral("The %1 database driver is not installed").arg(driver);
        return nullptr;
    }
    if (engine == Engine::Sqlite) {
        QDir().mkpath(QFileInfo(embeddedFile).absolutePath());
        db.setDatabaseName(embeddedFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        c->m_description = QStringLiteral("embedded file %1").arg(embeddedFile);
        c->m_changeFiles = {embeddedFile + QStringLiteral("-wal"), embeddedFile};
    } else {
        db.setHostName(settings.serverName());
        if (settings.serverPort() > 0) db.setPort(settings.serverPort());
        db.setDatabaseName(settings.database);
        // Values go to the driver as fields, never into a string we build, so a
        // quote in a name or password is just a character.
        if (settings.usesPassword()) {
            db.setUserName(settings.user);
            db.setPassword(settings.password);
        }
        QString options = QStringLiteral("connect_timeout=%1").arg(qMax(1, connectTimeoutSeconds));
        // Keep-alive probes notice a silent link while idle; the user timeout
        // notices it while a statement's data goes unacknowledged.
        if (watchLink)
            options += QStringLiteral(";keepalives=1;keepalives_idle=5;keepalives_interval=2"
                                      ";keepalives_count=3;tcp_user_timeout=10000");
        db.setConnectOptions(options);
        c->m_description = QStringLiteral("server %1/%2").arg(settings.host, settings.database);
    }
    if (!db.open()) {
        if (error) *error = errorText(db.lastError());
        return nullptr;
    }
    QString prepError;
    if (!c->m_dialect->prepareConnection(db, &prepError)) {
        if (error) *error = prepError;
        return nullptr;
    }
    return c;
}

bool Connection::isOpen() const {
    return QSqlDatabase::database(m_name, false).isOpen();
}

void Connection::close() {
    clearCache();
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isOpen()) db.close();
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(m_name, false);
}

void Connection::clearCache() {
    qDeleteAll(m_cache);
    m_cache.clear();
    m_direct.reset();
}

DbError Connection::failure(const QSqlError& e) const {
    return DbError(errorText(e), m_dialect->errorKind(e.nativeErrorCode()));
}

QSqlQuery& Connection::prepared(const QString& translatedSql) {
    if (auto it = m_cache.constFind(translatedSql); it != m_cache.constEnd()) return **it;
    if (m_cache.size() >= statementCacheLimit) clearCache();
    auto* q = new QSqlQuery(database());
    q->setForwardOnly(true);
    if (!q->prepare(translatedSql)) {
        const DbError error = failure(q->lastError());
        delete q;
        throw error;
    }
    m_cache.insert(translatedSql, q);
    return *q;
}

QSqlQuery& Connection::run(const QString& sql, const QVariantList& binds) {
    if (!isOpen()) throw DbError(QStringLiteral("The connection to the database is closed"));
    // Screens run the same few statements over and over: translate each once.
    auto known = m_translated.constFind(sql);
    if (known == m_translated.constEnd()) {
        if (m_translated.size() >= statementCacheLimit) m_translated.clear();
        known = m_translated.insert(sql, m_dialect->translate(sql));
    }
    const QString translated = *known;
    if (binds.isEmpty() && !m_dialect->preparesEveryStatement()) {
        // Statements without values run as they stand: transaction control and
        // schema statements cannot be prepared on every server.
        if (!m_direct) {
            m_direct = std::make_unique<QSqlQuery>(database());
            m_direct->setForwardOnly(true);
        }
        m_direct->finish();
        if (!m_direct->exec(translated)) {
            const DbError error = failure(m_direct->lastError());
            m_direct->finish();
            throw error;
        }
        return *m_direct;
    }
    QSqlQuery& q = prepared(translated);
    for (int i = 0; i < binds.size(); ++i) {
        // An empty text is a text, never NULL (a null QString would bind as NULL);
        // NULL is asked for with an empty QVariant.
        const QVariant& v = binds.at(i);
        if (v.typeId() == QMetaType::QString && v.toString().isNull())
            q.bindValue(i, QString(QLatin1String("")));
        else
            q.bindValue(i, m_dialect->bindValue(v));
    }
    if (!q.exec()) {
        const DbError error = failure(q.lastError());
        q.finish();
        // A statement that failed may have lost its server-side preparation
        // (a dropped connection, a changed table): prepare it afresh next time.
        delete m_cache.take(translated);
        throw error;
    }
    return q;
}

int Connection::execute(const QString& sql, const QVariantList& binds) {
    QSqlQuery& q = run(sql, binds);
    const int n = q.numRowsAffected();
    q.finish();
    return n;
}

QVariant Connection::scalar(const QString& sql, const QVariantList& binds) {
    QSqlQuery& q = run(sql, binds);
    const QVariant v = q.next() ? q.value(0) : QVariant();
    q.finish();
    return v;
}

Connection::WriteTransaction::WriteTransaction(Connection& c) : m_connection(c) {
    m_connection.execute(m_connection.dialect().beginWrite());
    ++m_connection.m_transactions;
}

Connection::WriteTransaction::~WriteTransaction() {
    if (!m_open) return;
    --m_connection.m_transactions;
    try {
        m_connection.execute(QStringLiteral("rollback"));
    } catch (const DbError&) {
        // The connection is gone; the server has ended the transaction itself.
    }
}

void Connection::WriteTransaction::commit() {
    // A commit that fails leaves the transaction to the destructor's rollback.
    m_connection.execute(QStringLiteral("commit"));
    m_open = false;
    --m_connection.m_transactions;
}

} // namespace tv
