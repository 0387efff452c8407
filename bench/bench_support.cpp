#include "bench_support.h"

#include "core/connection.h"
#include "core/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>

namespace tv::bench {

Options Options::parse(const QStringList& args) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--engine" && i + 1 < args.size())
            o.engine = args[++i];
        else if (args[i] == u"--pg" && i + 1 < args.size())
            o.pg = args[++i];
        else
            o.rest << args[i];
    }
    return o;
}

QString Options::value(const QString& name, const QString& fallback) const {
    const int i = rest.indexOf(name);
    return i >= 0 && i + 1 < rest.size() ? rest[i + 1] : fallback;
}

namespace {
QHash<QString, QString> parseConnInfo(const QString& info) {
    QHash<QString, QString> out;
    static const QRegularExpression pair(QStringLiteral("(\\w+)=(\\S*)"));
    for (auto it = pair.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        out.insert(m.captured(1), m.captured(2));
    }
    return out;
}
} // namespace

BenchDatabase::BenchDatabase(const Options& options) : m_engine(options.engine) {
    m_station = std::make_unique<Station>(QStringLiteral("bench"), settingsFile());
    StationSettings& s = m_station->settings();
    if (m_engine == u"postgres") {
        QString info = options.pg;
        if (info.isEmpty()) {
            // A folder of its own under /tmp: the server runs as another user,
            // who cannot enter our private temporary folder.
            m_pgDir =
                QDir::tempPath() +
                QStringLiteral("/tallyvox-bench-pg-%1").arg(QCoreApplication::applicationPid());
            QProcess p;
            p.start(QStringLiteral("bash"), {QStringLiteral(TALLYVOX_TOOLS_DIR "/pg-temp.sh"),
                                             QStringLiteral("start"), m_pgDir});
            p.waitForFinished(120000);
            if (p.exitCode() != 0) {
                std::fprintf(stderr, "bench: cannot start PostgreSQL: %s\n",
                             p.readAllStandardError().constData());
                std::exit(1);
            }
            const QString out = QString::fromUtf8(p.readAllStandardOutput());
            static const QRegularExpression exp(QStringLiteral("TALLYVOX_TEST_PG_(\\w+)=(\\S+)"));
            QHash<QString, QString> v;
            for (auto it = exp.globalMatch(out); it.hasNext();) {
                const auto m = it.next();
                v.insert(m.captured(1), m.captured(2));
            }
            info = QStringLiteral("host=%1 port=%2 user=%3 password=%4 dbname=postgres")
                       .arg(v["HOST"], v["PORT"], v["USER"], v["PASSWORD"]);
        }
        const auto ci = parseConnInfo(info);
        s.set(keys::SqlHost, ci.value("host", "127.0.0.1") + u':' + ci.value("port", "5432"));
        s.set(keys::SqlDatabase, ci.value("dbname", "postgres"));
        s.set(keys::SqlUser, ci.value("user"));
        s.set(keys::SqlPassword, ci.value("password"));
        s.set(keys::SqlAuthentication, ConnectionSettings::sqlAuthentication);
    } else {
        m_station->setEmbeddedFile(embeddedFile());
    }
    m_station->loadConnectionSettings();
    if (!m_station->openConnection()) {
        std::fprintf(stderr, "bench: cannot open the database: %s\n",
                     qPrintable(m_station->lastConnectionError()));
        std::exit(1);
    }
    schema::migrate(*m_station->dbConnection);
}

BenchDatabase::~BenchDatabase() {
    m_station.reset();
    if (!m_pgDir.isEmpty()) {
        QProcess p;
        p.start(QStringLiteral("bash"), {QStringLiteral(TALLYVOX_TOOLS_DIR "/pg-temp.sh"),
                                         QStringLiteral("stop"), m_pgDir});
        p.waitForFinished(60000);
    }
}

double percentile(QList<double> values, double p) {
    if (values.isEmpty()) return 0;
    std::sort(values.begin(), values.end());
    const auto i =
        static_cast<qsizetype>(std::min<double>(values.size() - 1, p * (values.size() - 1) + 0.5));
    return values.at(i);
}

} // namespace tv::bench
