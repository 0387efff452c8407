#pragma once

#include "core/station.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace tv::bench {

// Command-line options shared by every benchmark.
struct Options {
    QString engine = QStringLiteral("sqlite"); // sqlite | postgres
    QString pg; // conninfo-like "host=.. port=.. user=.. password=.. dbname=.."
    QStringList rest;
    static Options parse(const QStringList& args);
    QString value(const QString& name, const QString& fallback = {}) const;
};

// A station on a fresh database of the chosen engine. With postgres and no
// --pg, a throwaway server is started (as the tests do) and removed afterwards.
class BenchDatabase final {
public:
    explicit BenchDatabase(const Options& options);
    ~BenchDatabase();
    Station& station() { return *m_station; }
    QString engine() const { return m_engine; }
    // Settings for another process to reach the same database.
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("bench.ini")); }
    QString embeddedFile() const { return m_dir.filePath(QStringLiteral("bench.db")); }

private:
    QString m_engine;
    QTemporaryDir m_dir;
    QString m_pgDir;
    std::unique_ptr<Station> m_station;
};

// Median and percentile of a sample, in the sample's unit.
double percentile(QList<double> values, double p);

} // namespace tv::bench
