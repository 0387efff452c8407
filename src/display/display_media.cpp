// The board's media: the news ticker, the video area, the logo and the clock.
#include "display_board.h"

#include "clock_widget.h"
#include "core/db_error.h"
#include "core/paths.h"
#include "core/station.h"
#include "core/ui/colors.h"
#include "core/ui/twips.h"
#include "media_area.h"
#include "ticker.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QTimer>
#include <cstdio>

namespace tv {

namespace {
// With no message to show, the ticker looks for new ones this often rather
// than at every frame.
constexpr int idleTickerMs = 30 * 1000;

QRect areaOf(const RecordSet& pos, const char* l, const char* t, const char* w, const char* h) {
    const auto px = [&](const char* name, bool x) {
        const int tw = qRound(2 * pos.value(QLatin1String(name)).toDouble());
        return x ? twips::toPixelsX(tw) : twips::toPixelsY(tw);
    };
    return QRect(px(l, true), px(t, false), px(w, true), px(h, false));
}

void tellOnce(const QString& what) {
    std::fprintf(stderr, "tallyvox: %s\n", qPrintable(what));
}
} // namespace

QWidget* DisplayBoard::videoArea() const {
    return previewing() ? m_videoPlaceholder : static_cast<QWidget*>(m_media);
}

void DisplayBoard::buildMedia() {
    m_ticker = new Ticker(m_imgBG, m_lblScroll0, this);
    m_ticker->setSpeed(m_station.settings().number(keys::ScrollSpeed));
    connect(m_ticker, &Ticker::passEnded, this, &DisplayBoard::tickerPassEnded);
    m_tickerRetry = new QTimer(this);
    m_tickerRetry->setSingleShot(true);
    connect(m_tickerRetry, &QTimer::timeout, this, &DisplayBoard::tickerPassEnded);

    m_media = new MediaArea(this);
    m_media->hide();
    m_videoPlaceholder = new QLabel(QStringLiteral("Video"), this);
    m_videoPlaceholder->setObjectName(QStringLiteral("videoPreview"));
    static_cast<QLabel*>(m_videoPlaceholder)->setAlignment(Qt::AlignCenter);
    m_videoPlaceholder->setStyleSheet(QStringLiteral("background: #202020; color: #c0c0c0;"));
    m_videoPlaceholder->hide();

    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("SFLogo"));
    m_logo->setAlignment(Qt::AlignCenter);
    m_logo->hide();
    m_clock = new ClockWidget(this);
    m_clock->setTimeSource([this] { return m_station.clock().now(); });
    m_clock->hide();
}

void DisplayBoard::placeMedia() {
    const RecordSet& pos = m_design.pos;
    if (pos.recordCount() == 0) return;
    const QRect video = areaOf(pos, "videoleft", "videotop", "videowidth", "videoheight");
    m_media->setGeometry(video);
    m_videoPlaceholder->setGeometry(video);
    m_logo->setGeometry(areaOf(pos, "logoleft", "logotop", "logowidth", "logoheight"));
    m_clock->setGeometry(areaOf(pos, "timeleft", "timetop", "timewidth", "timeheight"));
    // The ticker runs along the news band, from just beyond the right edge.
    m_ticker->getScpos(twips::fromPixelsX(width()), qRound(2 * pos.value(27).toDouble()),
                       qRound(2 * pos.value(29).toDouble()));
}

void DisplayBoard::startVideo() {
    const RecordSet& t = m_design.theme;
    m_media->stopAll();
    m_media->hide();
    m_videoPlaceholder->hide();
    const bool movie = t.recordCount() > 0 && t.value(34).toInt() == 1;
    if (previewing()) {
        if (movie) m_videoPlaceholder->show();
        return;
    }
    // The live input overrides the theme's own video.
    if (m_liveVideo) {
        m_media->show();
        m_media->showLive(m_station.settings().number(keys::VideoSource));
        return;
    }
    if (!movie) return;
    m_media->show();
    const int volume = qRound(t.value(33).toDouble());
    const int pictureMs = qMax(1, m_station.settings().number(keys::PictureDuration)) * 1000;
    const QString file = t.textOrEmpty(31).trimmed();
    if (!file.isEmpty()) {
        m_media->playList({file}, volume, pictureMs);
        return;
    }
    // The hall's video list, read where database waits cannot hold the board up.
    connect(
        m_feed.get(), &CallFeed::playlistRead, m_media,
        [this, volume, pictureMs](const QStringList& files) {
            m_media->playList(files, volume, pictureMs);
        },
        Qt::UniqueConnection);
    connect(m_media, &MediaArea::askedForList, m_feed.get(), &CallFeed::readPlaylist,
            Qt::UniqueConnection);
    m_feed->readPlaylist();
}

void DisplayBoard::applyLogoAndClock() {
    const RecordSet& t = m_design.theme;
    m_logo->hide();
    m_clock->hide();
    if (t.recordCount() == 0 || m_design.pos.recordCount() == 0) return;
    const QString logo = t.textOrEmpty(QStringLiteral("logo")).trimmed();
    if (logo.endsWith(QStringLiteral(".swf"), Qt::CaseInsensitive)) {
        tellOnce(
            QStringLiteral("the board skips the logo %1: Flash files cannot be shown").arg(logo));
    } else if (!logo.isEmpty()) {
        QImageReader reader(logo);
        const QImage picture = reader.read();
        if (picture.isNull()) {
            tellOnce(
                QStringLiteral("the board skips the logo %1: %2").arg(logo, reader.errorString()));
        } else {
            m_logo->setPixmap(
                QPixmap::fromImage(picture.scaled(m_logo->size().expandedTo(QSize(1, 1)),
                                                  Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            m_logo->show();
        }
    }
    if (t.textOrEmpty(QStringLiteral("showtime")) != QStringLiteral("1")) return;
    QFont font(t.textOrEmpty(QStringLiteral("timefont")));
    font.setPointSizeF(qBound(1.0, t.value(QStringLiteral("timesize")).toDouble(), 400.0));
    font.setBold(true);
    m_clock->setTextStyle(font, colors::toQColor(static_cast<quint32>(
                                    t.value(QStringLiteral("timecolor")).toLongLong())));
    m_clock->setFormat(t.fieldIndex(QStringLiteral("tformat")) >= 0
                           ? t.textOrEmpty(QStringLiteral("tformat"))
                           : QString());
    const QString clockFile = t.textOrEmpty(QStringLiteral("clockfile")).trimmed();
    if (!clockFile.isEmpty()) {
        const QString path =
            QFileInfo(clockFile).isAbsolute()
                ? clockFile
                : QDir(paths::programFolder()).filePath(QStringLiteral("files/clock/") + clockFile);
        QString why;
        if (!m_clock->setClockFile(path, &why))
            tellOnce(QStringLiteral("the board shows the time as text: %1").arg(why));
    } else {
        m_clock->setClockFile(QString());
    }
    m_clock->show();
    m_clock->raise();
}

bool DisplayBoard::tickerOn() const {
    return m_ticker->running();
}

void DisplayBoard::startTicker() {
    m_imgBG->show();
    m_imgBG->lower();
    m_ticker->setSpeed(m_station.settings().number(keys::ScrollSpeed));
    m_lastPassRight = true; // the leftward messages come first
    if (previewing())
        m_ticker->getSnews(m_preview.ticker);
    else
        m_ticker->resetLbl(); // with no message yet the first pass ends at once and reads them
    m_ticker->start();
}

void DisplayBoard::getSnews() {
    startTicker();
    if (!previewing()) tickerPassEnded();
}

void DisplayBoard::stopTicker() {
    m_ticker->stop();
    m_tickerRetry->stop();
    m_imgBG->hide();
    m_ticker->unload();
}

void DisplayBoard::tickerPassEnded() {
    if (previewing()) {
        m_ticker->getSnews(m_preview.ticker);
        return;
    }
    // Read afresh on every pass: an edited message shows without switching
    // the ticker off and on.
    m_feed->readTicker();
}

void DisplayBoard::tickerMessages(const QList<TickerMessage>& left,
                                  const QList<TickerMessage>& right) {
    if (!m_ticker->running()) return;
    if (left.isEmpty() && right.isEmpty()) {
        m_ticker->getSnews({});
        m_ticker->stop();
        m_tickerRetry->start(idleTickerMs);
        connect(m_tickerRetry, &QTimer::timeout, m_ticker, &Ticker::start, Qt::UniqueConnection);
        return;
    }
    // Leftward and rightward messages take turns, each in a pass of its own.
    const bool right_ = !right.isEmpty() && (!m_lastPassRight || left.isEmpty());
    m_lastPassRight = right_;
    m_ticker->getSnews(right_ ? right : left,
                       right_ ? Ticker::Direction::Right : Ticker::Direction::Left);
}

} // namespace tv
