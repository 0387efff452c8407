#include "grid_bench.h"

#include "core/ui/flex_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <cstdio>
#include <memory>

namespace {

// Resident memory of this process in megabytes, from /proc (0 where there is none).
double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0.0;
}

int intOption(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size()) return fallback;
    bool ok = false;
    const int value = args.at(at + 1).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

// The fill of a report list: heading row, key column 1 twip wide, then rows one at a time.
qint64 fill(tv::FlexGrid& grid, int rows, int cols) {
    QElapsedTimer timer;
    timer.start();
    grid.setCols(cols);
    grid.resetRows(1);
    grid.setColWidth(0, 1);
    for (int c = 1; c < cols; ++c)
        grid.setTextMatrix(0, c, QStringLiteral("Column %1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        grid.setRows(grid.rows() + 1);
        grid.setTextMatrix(r, 0, QString::number(100000 + r));
        grid.setTextMatrix(r, 1, QString::number(r));
        for (int c = 2; c < cols; ++c)
            grid.setTextMatrix(r, c, QStringLiteral("A%1-%2").arg(r).arg(c));
    }
    return timer.elapsed();
}

} // namespace

int runGridBench(const QStringList& args) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "grid bench: needs a QApplication\n");
        return 2;
    }
    const int rows = intOption(args, QStringLiteral("--rows"), 100000);
    const int cols = intOption(args, QStringLiteral("--cols"), 11);

    // Redraw on, shown on screen, as a list screen fills it.
    const double baseMb = residentMb();
    auto grid = std::make_unique<tv::FlexGrid>();
    grid->resize(1024, 768);
    grid->show();
    QCoreApplication::processEvents();
    const qint64 fillMs = fill(*grid, rows, cols);
    QCoreApplication::processEvents();
    const double afterFillMb = residentMb();

    // Page from the top to the bottom, painting every page.
    QScrollBar* bar = grid->verticalScrollBar();
    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    for (int value = 0;; value += std::max(bar->pageStep(), 1)) {
        bar->setValue(value);
        grid->viewport()->repaint();
        ++pages;
        if (value >= bar->maximum()) break;
    }
    const qint64 scrollMs = timer.elapsed();
    grid.reset();

    // The same fill with redraw off around it.
    tv::FlexGrid quiet;
    quiet.resize(1024, 768);
    quiet.show();
    QCoreApplication::processEvents();
    timer.restart();
    quiet.setRedraw(false);
    fill(quiet, rows, cols);
    quiet.setRedraw(true);
    const qint64 quietMs = timer.elapsed();

    std::printf("fill_100k_ms=%lld fill_100k_noredraw_ms=%lld scroll_ms=%lld scroll_pages=%d "
                "rss_mb=%.1f grid_mb=%.1f rows=%d cols=%d\n",
                static_cast<long long>(fillMs), static_cast<long long>(quietMs),
                static_cast<long long>(scrollMs), pages, afterFillMb, afterFillMb - baseMb, rows,
                cols);
    std::fflush(stdout);
    return 0;
}
