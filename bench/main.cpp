// tallyvox-bench SUBCOMMAND [--engine sqlite|postgres] [--pg CONNINFO] ...
// Each subcommand prints its figures as key=value pairs, one line per
// configuration.
#include "bench_support.h"
#include "grid_bench.h"

#include <QApplication>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstdio>

namespace tv::bench {
int runRecordSetBench(const Options& o);
int runIssueBench(const Options& o);
int runIssueWorker(const QStringList& args);
int runCallBench(const Options& o);
int runCallWorker(const QStringList& args);
int runFeedBench(const Options& o);
int runFeedDisplay(const QStringList& args);
int runFeedCounter(const QStringList& args);
int runReportBench(const Options& o);
int runExportBench(const Options& o);
int runBackupBench(const Options& o);
int runTickerBench(const Options& o);
} // namespace tv::bench

int main(int argc, char* argv[]) {
    // The ticker is measured on a real X server of a hall screen's size.
    qint64 xvfb = 0;
    if (argc > 1 && qstrcmp(argv[1], "ticker") == 0 && qEnvironmentVariableIsEmpty("DISPLAY") &&
        QProcess::startDetached(QStringLiteral("Xvfb"),
                                {QStringLiteral(":93"), QStringLiteral("-screen"),
                                 QStringLiteral("0"), QStringLiteral("1920x1080x24")},
                                {}, &xvfb)) {
        QThread::sleep(1);
        qputenv("DISPLAY", ":93");
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString cmd = args.value(0);
    args = args.mid(1);
    const auto options = tv::bench::Options::parse(args);
    if (cmd == u"recordset") return tv::bench::runRecordSetBench(options);
    if (cmd == u"grid") return runGridBench(args);
    if (cmd == u"issue") return tv::bench::runIssueBench(options);
    if (cmd == u"issue-worker") return tv::bench::runIssueWorker(args);
    if (cmd == u"call") return tv::bench::runCallBench(options);
    if (cmd == u"call-worker") return tv::bench::runCallWorker(args);
    if (cmd == u"feed") return tv::bench::runFeedBench(options);
    if (cmd == u"feed-display") return tv::bench::runFeedDisplay(args);
    if (cmd == u"feed-counter") return tv::bench::runFeedCounter(args);
    if (cmd == u"report") return tv::bench::runReportBench(options);
    if (cmd == u"export") return tv::bench::runExportBench(options);
    if (cmd == u"backup") return tv::bench::runBackupBench(options);
    if (cmd == u"ticker") {
        const int rc = tv::bench::runTickerBench(options);
        if (xvfb > 0) kill(static_cast<pid_t>(xvfb), SIGTERM);
        return rc;
    }
    std::fprintf(stderr, "usage: tallyvox-bench "
                         "recordset|grid|issue|call|feed|report|export|backup|ticker [--engine "
                         "sqlite|postgres] [--pg CONNINFO]\n");
    return 2;
}
