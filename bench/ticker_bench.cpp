// The board on a hall screen: how smoothly the ticker runs while calls come
// in, with and without a video playing, and what that costs the machine.
#include "bench_support.h"
#include "test_video.h"

#include "core/connection.h"
#include "display/display_board.h"
#include "display/ticker.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace tv::bench {

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double rssMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A 1920x1080 hall: list on the left, video on the right, clock, ticker at the foot.
void fillHall(Connection& c, const QString& video, const QString& logo) {
    c.execute(QStringLiteral("delete from tbltheme"));
    c.execute(QStringLiteral("delete from tblpos"));
    c.execute(QStringLiteral("delete from tblscroll"));
    c.execute(
        QStringLiteral(
            "insert into tbltheme (themeauto, themename, colums, rows, colwidth, rowheight,"
            " showtime, timefont, timesize, timecolor, backgroundclr, linecolor, altcolr, hdfont,"
            " hdclrbg, hdfntclr, hdfntsize, fntcrr, sizecrr, clrcrr, fntval, sizeval, clrval,"
            " screenbg, linewidth, volume, movie, videofile, ttlName, ttlfont, ttlcolor, ttlsize,"
            " scroll, tformat, enableH, Column1, Column2, newsBG, logo) values (1, 'Bench', 2, 6,"
            " '2400;3200', 520, 1, 'DejaVu Sans', 28, 16777215, 3342336, 16777215, 5570560,"
            " 'DejaVu Sans', 8388608, 16777215, 22, 'DejaVu Sans', 44, 65535, 'DejaVu Sans', 30,"
            " 16777215, 1644825, 2, 5, ?, ?, 'City Clinic', 'DejaVu Sans', 16777215, 26, 0,"
            " 'hh:nn:ss', 1, 'Token', 'Counter', 8388608, ?)"),
        {video.isEmpty() ? 0 : 1, video, logo});
    c.execute(QStringLiteral(
        "insert into tblpos (themeauto, tblleft, tbltop, tblwidth, tblheight, videoleft, videotop,"
        " videowidth, videoheight, timeleft, timetop, timewidth, timeheight, ttlleft, ttltop,"
        " ttlwidth, ttlheight, newstop, newsheight, newsBG, logoleft, logotop, logowidth,"
        " logoheight) values (1, 300, 900, 5800, 6000, 6600, 900, 7400, 4200, 6600, 5400, 7400,"
        " 1200, 2300, 100, 11800, 600, 7400, 600, 8388608, 300, 100, 1800, 600)"));
    for (int i = 1; i <= 5; ++i)
        c.execute(QStringLiteral("insert into tblscroll (message, active, font, size, color,"
                                 " bold, italic, direction) values (?, 1, 'DejaVu Sans', 28,"
                                 " 16777215, 1, 0, 'Left')"),
                  {QStringLiteral("Message %1: please keep your ticket ready and watch this "
                                  "screen for your token")
                       .arg(i)});
}

// A small stand-in for the hall's logo.
QString writeLogo(const QString& path) {
    QImage logo(360, 120, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 150, 136));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(8, 8, 104, 104));
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 40, QFont::Bold));
    p.drawText(QRect(8, 8, 104, 104), Qt::AlignCenter, QStringLiteral("+"));
    p.setPen(QColor(0, 150, 136));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 30, QFont::Bold));
    p.drawText(QRect(124, 0, 236, 120), Qt::AlignVCenter, QStringLiteral("Clinic"));
    p.end();
    logo.save(path);
    return path;
}

void runOnce(Station& st, const QString& video, const QString& logo, const QString& shot,
             int seconds) {
    fillHall(*st.dbConnection, video, logo);
    st.themeNo = 1;
    st.callFilter = QStringLiteral("and 1=1");
    DisplayBoard board(st);
    board.show();
    board.startTicker();
    QList<double> frames;
    bool measuring = false;
    QObject::connect(board.ticker(), &Ticker::frame, &board, [&] {
        if (measuring) frames << board.ticker()->lastFrameNs() / 1e6;
    });
    int calls = 0;
    QTimer caller;
    QObject::connect(&caller, &QTimer::timeout, &board, [&] {
        ++calls;
        st.dbConnection->execute(
            QStringLiteral("insert into tblCall (servAuto, callToken, callCounter, status,"
                           " tickAuto, tickDate, callRoom) values (3, ?, 'Room 3', '0', 1, ?, '')"),
            {QStringLiteral("A%1").arg(calls), st.clock().todayText()});
    });
    caller.start(2000);
    wait(1500); // settle: the first messages, the first frame of the video
    measuring = true;
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    wait(seconds * 1000);
    measuring = false;
    if (!shot.isEmpty()) board.grab().save(shot);
    const double cpu = 100.0 * (cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
    std::printf("video=%d frame_p50_ms=%.1f frame_p99_ms=%.1f frames=%lld cpu_pct=%.1f "
                "rss_mb=%.0f calls=%d\n",
                video.isEmpty() ? 0 : 1, percentile(frames, 0.5), percentile(frames, 0.99),
                static_cast<long long>(frames.size()), cpu, rssMb(), calls);
    std::fflush(stdout);
}

} // namespace

int runTickerBench(const Options& o) {
    const int seconds = o.value(QStringLiteral("--seconds"), QStringLiteral("20")).toInt();
    // --shot DIR keeps a picture of the board at the end of each run.
    const QString shots = o.value(QStringLiteral("--shot"), QString());
    Options sqlite = o;
    sqlite.engine = QStringLiteral("sqlite");
    BenchDatabase db(sqlite);
    std::printf("screen=%dx%d platform=%s\n", QApplication::primaryScreen()->size().width(),
                QApplication::primaryScreen()->size().height(),
                qPrintable(QApplication::platformName()));
    QTemporaryDir dir;
    const QString logo = writeLogo(dir.filePath(QStringLiteral("logo.png")));
    const auto shot = [&](const char* name) {
        return shots.isEmpty() ? QString() : QDir(shots).filePath(QLatin1String(name));
    };
    runOnce(db.station(), QString(), logo, shot("board.png"), seconds);
    const QString video = dir.filePath(QStringLiteral("hall.avi"));
    if (!test::writeTestVideo(video, 640, 360, 250, 25)) {
        std::fprintf(stderr, "cannot write the test video\n");
        return 1;
    }
    runOnce(db.station(), video, logo, shot("board-video.png"), seconds);
    return 0;
}

} // namespace tv::bench
