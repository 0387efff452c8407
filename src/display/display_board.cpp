#include "display_board.h"

#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"
#include "core/ui/colors.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "title_band.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace tv {

namespace {
constexpr int blinkTicks = 10; // five flashes of the new top line
// A theme is edited by hand: keep its list within what a screen can show.
constexpr qint64 maxRows = 50;
constexpr qint64 maxColumns = 10;
// Below this difference in brightness (0..255) text is hard to read on its
// background from across a hall.
constexpr int minReadableContrast = 96;

int brightness(quint32 value) {
    const QColor c = colors::toQColor(value);
    return (299 * c.red() + 587 * c.green() + 114 * c.blue()) / 1000;
}

// The text colour for the lit top line: the row's own back colour, so the line
// looks inverted, unless that is too close to the highlight to read.
quint32 textOn(quint32 back, quint32 wanted) {
    const int b = brightness(back);
    if (std::abs(brightness(wanted) - b) >= minReadableContrast) return wanted;
    return b >= 128 ? 0x000000u : 0xFFFFFFu;
}

// Runs one theme step; a value that cannot be read leaves that look as it was.
template <typename Step> void skipOnFailure(Step&& step) {
    try {
        step();
    } catch (const DbError&) {
    }
}

quint32 colour(const RecordSet& rs, const char* name) {
    return static_cast<quint32>(rs.number(QLatin1String(name)));
}

double numberOf(const RecordSet& rs, const char* name) {
    return rs.value(QLatin1String(name)).toDouble();
}
} // namespace

DisplayBoard::DisplayBoard(Station& station, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), m_station(station) {
    build();
    m_feed = std::make_unique<CallFeed>(station);
    // A notification means a call was just written: look now, not at the next tick.
    connect(m_feed.get(), &CallFeed::changed, this, &DisplayBoard::Timer1_Timer,
            Qt::QueuedConnection);
    connect(m_feed.get(), &CallFeed::filled, this, &DisplayBoard::showFirst);
    connect(m_feed.get(), &CallFeed::polled, this, &DisplayBoard::pollAnswered);
    connect(m_feed.get(), &CallFeed::tickerRead, this, &DisplayBoard::tickerMessages);

    m_station.openConnection();
    m_liveVideo =
        m_station.settings().text(keys::VideoIn, QStringLiteral("0")) == QStringLiteral("1");
    start();
    getData();
    addFirst();
    Timer1_Timer();
    m_timer1->start();
}

DisplayBoard::DisplayBoard(Station& station, const BoardPreview& preview, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), m_station(station) {
    build();
    setPreview(preview);
}

void DisplayBoard::setPreview(const BoardPreview& preview) {
    m_preview = preview;
    m_design = preview.design;
    applyDesign();
    getData();
    showFirst(preview.calls);
    if (!m_preview.ticker.isEmpty()) {
        startTicker();
    } else {
        stopTicker();
    }
}

void DisplayBoard::build() {
    setObjectName(QStringLiteral("frmDisplay"));
    setAutoFillBackground(true);
    resize(twips::toPixelsX(20), twips::toPixelsY(20));

    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->setHighLight(FlexGrid::HighLight::Never);
    m_fg->setFocusPolicy(Qt::NoFocus);
    m_fg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fg1 = new FlexGrid(this); // the shadow copy used while lines move down
    m_fg1->setObjectName(QStringLiteral("FG1"));
    m_fg1->hide();
    m_shape1 = new QFrame(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_shape1->hide();
    m_title = new TitleBand(this);
    m_imgBG = new QWidget(this);
    m_imgBG->setObjectName(QStringLiteral("imgBG"));
    m_imgBG->setAutoFillBackground(true);
    m_imgBG->hide();
    m_lblScroll0 = new QLabel(m_imgBG);
    m_lblScroll0->setObjectName(QStringLiteral("lblScroll"));
    m_lblScroll0->setProperty("index", 0);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(10);
    m_timer1->setTimerType(Qt::PreciseTimer); // a call waits for the next tick: keep the tick exact
    connect(m_timer1, &QTimer::timeout, this, &DisplayBoard::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(5);
    connect(m_timer2, &QTimer::timeout, m_title, &TitleBand::step);
    m_timer6 = new QTimer(this);
    m_timer6->setObjectName(QStringLiteral("Timer6"));
    m_timer6->setInterval(200);
    connect(m_timer6, &QTimer::timeout, this, &DisplayBoard::blinkTick);
    buildMedia();
}

DisplayBoard::~DisplayBoard() = default;

QRect DisplayBoard::area(double left, double top, double width, double height) const {
    // Areas are stored at half scale in twips.
    return QRect(twips::toPixelsX(qRound(2 * left)), twips::toPixelsY(qRound(2 * top)),
                 twips::toPixelsX(qRound(2 * width)), twips::toPixelsY(qRound(2 * height)));
}

void DisplayBoard::getpos() {
    const RecordSet& pos = m_design.pos;
    try {
        if (pos.recordCount() == 0) return;
        if (previewing()) {
            setGeometry(QRect(QPoint(0, 0), m_preview.screen));
        } else {
            // The board covers its screen: the first one, or the one to its right.
            const QList<QScreen*> screens = QGuiApplication::screens();
            const bool single =
                m_station.settings().text(keys::ThemeScreen) == QStringLiteral("Single");
            QScreen* target =
                single || screens.size() < 2 ? QGuiApplication::primaryScreen() : screens.at(1);
            QRect geometry = target ? target->geometry() : QRect(0, 0, 1024, 768);
            if (!single && screens.size() < 2 && QGuiApplication::primaryScreen())
                geometry.moveLeft(QGuiApplication::primaryScreen()->geometry().width());
            setGeometry(geometry);
        }

        m_listRect = area(numberOf(pos, "tblleft"), numberOf(pos, "tbltop"),
                          numberOf(pos, "tblwidth"), numberOf(pos, "tblheight"));
        m_fg->setGeometry(m_listRect);
        m_title->setGeometry(area(pos.value(22).toDouble(), pos.value(23).toDouble(),
                                  pos.value(24).toDouble(), pos.value(25).toDouble()));
        const QRect news = area(0, pos.value(27).toDouble(), 0, pos.value(29).toDouble());
        m_imgBG->setGeometry(0, news.top(), width(), news.height());
        if (pos.fieldIndex(QStringLiteral("newsBG")) >= 0 && !pos.isNull(QStringLiteral("newsBG")))
            m_imgBG->setPalette(QPalette(colors::toQColor(colour(pos, "newsBG"))));
        placeMedia();
    } catch (const DbError&) {
        // what was placed stays placed
    }
}

void DisplayBoard::start() {
    // A running board reads its design afresh; a preview has it handed over.
    if (!previewing()) m_design = BoardDesign::load(m_station, m_station.themeNo);
    applyDesign();
}

void DisplayBoard::applyDesign() {
    m_headerFlag = false;
    const RecordSet& t = m_design.theme;
    if (t.recordCount() > 0) getpos();
    if (t.recordCount() == 0) {
        m_fg->setCols(m_columns + 1);
        m_fg->setRows(1);
        return;
    }
    skipOnFailure([&] {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, colors::toQColor(colour(t, "screenbg")));
        setPalette(pal);
    });
    skipOnFailure([&] {
        const QString title = t.text("ttlName");
        if (title.isEmpty()) {
            m_title->hide();
        } else {
            m_title->setText(title);
            m_title->show();
            QFont f(t.text("ttlfont"));
            f.setPointSizeF(qMax(1.0, numberOf(t, "ttlsize")));
            m_title->setFont(f);
        }
        m_title->setColors(colors::toQColor(colour(t, "ttlcolor")),
                           palette().color(QPalette::Window));
    });
    skipOnFailure([&] {
        m_columns = static_cast<int>(std::clamp<qint64>(t.number("colums"), 1, maxColumns));
        m_rows = static_cast<int>(std::clamp<qint64>(t.number("rows"), 1, maxRows));
    });
    m_fg->setCols(m_columns + 1);
    m_fg->setRows(m_rows + 1);
    skipOnFailure([&] {
        if (t.number("enableH") == 1) {
            m_fg->setTextMatrix(0, 1, t.text("Column1"));
            if (m_columns >= 2) m_fg->setTextMatrix(0, 2, t.text("Column2"));
            m_headerFlag = true;
        }
    });
    m_fg1->setCols(m_fg->cols());
    m_fg1->setRows(m_fg->rows());
    skipOnFailure([&] {
        m_fg->setGridColor(colour(t, "linecolor"));
        m_fg->setGridColorFixed(colour(t, "linecolor"));
    });
    skipOnFailure([&] {
        m_fg->setBackColor(colour(t, "backgroundclr"));
        m_fg->setBackColorBkg(colour(t, "backgroundclr"));
    });
    skipOnFailure([&] { m_fg->setBackColorFixed(colour(t, "hdclrbg")); });
    skipOnFailure([&] { m_fg->setRowHeightMin(qRound(2 * numberOf(t, "rowheight"))); });
    m_fg->setColWidth(0, 1);
    skipOnFailure([&] {
        const QStringList pieces = t.text("colwidth").split(u';');
        for (int i = 1; i <= m_columns && i - 1 < pieces.size(); ++i) {
            bool ok = false;
            const double w = pieces.at(i - 1).trimmed().toDouble(&ok);
            if (ok) m_fg->setColWidth(i, qRound(2 * w));
        }
    });
    skipOnFailure([&] {
        const quint32 alt = colour(t, "altcolr");
        for (int r = 1; r <= m_rows; r += 2)
            for (int c = 1; c <= m_columns; ++c)
                m_fg->setCellBackColor(r, c, alt);
    });
    skipOnFailure([&] {
        for (int r = 1; r <= m_rows; ++r) {
            m_fg->setCellFontName(r, 1, t.text("fntcrr"));
            m_fg->setCellFontSize(r, 1, numberOf(t, "sizecrr"));
            m_fg->setCellFontBold(r, 1, true);
            m_fg->setCellForeColor(r, 1, colour(t, "clrcrr"));
        }
        m_highlightBack = colour(t, "clrcrr");
    });
    if (m_headerFlag) {
        skipOnFailure([&] {
            for (int c = 1; c <= m_columns; ++c) {
                m_fg->setCellFontName(0, c, t.text("hdfont"));
                m_fg->setCellFontSize(0, c, numberOf(t, "hdfntsize"));
                m_fg->setCellFontBold(0, c, true);
            }
            m_fg->setForeColorFixed(colour(t, "hdfntclr"));
        });
    }
    skipOnFailure([&] {
        for (int r = 1; r <= m_rows && m_columns >= 2; ++r) {
            m_fg->setCellFontName(r, 2, t.text("fntval"));
            m_fg->setCellFontBold(r, 2, true);
            m_fg->setCellForeColor(r, 2, colour(t, "clrval"));
            m_fg->setCellFontSize(r, 2, numberOf(t, "sizeval"));
        }
    });
    // Each row keeps its own back colour in the hidden column, to get it back
    // after blinking; the top line's text colours are kept for the same reason.
    for (int r = 1; r <= m_rows; ++r) {
        m_fg->setCellForeColor(r, 0, 1);
        m_fg->setTextMatrix(r, 0, QString::number(m_fg->cellBackColor(r, 1)));
    }
    m_topForeColors.clear();
    for (int c = 0; c <= m_columns; ++c)
        m_topForeColors.append(m_fg->cellForeColor(1, c));
    skipOnFailure([&] {
        if (!t.text("img1").isEmpty()) addimg1(t.text("img1"));
    });
    skipOnFailure([&] {
        if (!t.text("img2").isEmpty()) addimg2(t.text("img2"));
    });
    skipOnFailure([&] {
        const int line = static_cast<int>(t.value(30).toDouble());
        m_fg->setGridLineWidth(line);
        m_shape1->setStyleSheet(
            QStringLiteral("QFrame#Shape1 { border: %1px solid %2; background: transparent; }")
                .arg(qMax(1, line))
                .arg(colors::toQColor(m_fg->gridColor()).name()));
        const int pad = twips::toPixelsX(10);
        m_shape1->setGeometry(
            m_listRect.adjusted(-pad, -pad, twips::toPixelsX(13), twips::toPixelsY(13)));
        m_shape1->show();
    });
    skipOnFailure([&] { startVideo(); });
    skipOnFailure([&] { applyLogoAndClock(); });
    skipOnFailure([&] {
        if (t.number("scroll") == 1) {
            m_title->setScrolling(true);
            m_timer2->start();
        } else {
            m_title->setScrolling(false);
            m_timer2->stop();
        }
    });
    skipOnFailure([&] { m_imgBG->setPalette(QPalette(colors::toQColor(colour(t, "newsBG")))); });
    m_shape1->raise();
}

void DisplayBoard::getData() {
    try {
        const RecordSet& rs = m_design.header;
        if (rs.recordCount() == 0) return;
        for (int c = 1; c <= m_columns && c < rs.fieldCount(); ++c)
            m_fg->setTextMatrix(0, c, rs.textOrEmpty(c));
    } catch (const DbError&) {
        // no captions of its own: the theme's stay
    }
}

QString DisplayBoard::counterText(const CallLine& line) {
    return line.room.isEmpty() ? line.counter : line.counter + QStringLiteral("\r\n") + line.room;
}

void DisplayBoard::addFirst() {
    if (m_rows > 0 && m_feed) m_feed->addFirst(m_rows);
}

void DisplayBoard::showFirst(const QList<CallLine>& lines) {
    // Also the list sent again after a reconnection: lines it has no call for are emptied.
    for (int n = 1; n <= m_rows && n < m_fg->rows(); ++n) {
        const bool has = n <= lines.size();
        m_fg->setTextMatrix(n, 1, has ? QStringLiteral(" ") + lines.at(n - 1).token : QString());
        if (m_columns >= 2)
            m_fg->setTextMatrix(n, 2, has ? counterText(lines.at(n - 1)) : QString());
    }
}

void DisplayBoard::moveDown() {
    const int listRows = m_fg->rows();
    for (int r = 1; r <= listRows - 1; ++r)
        for (int c = 1; c <= 2 && c < m_fg->cols(); ++c)
            m_fg1->setTextMatrix(r, c, m_fg->textMatrix(r, c));
    for (int r = 1; r <= m_fg1->rows() - 2; ++r)
        for (int c = 1; c <= 2 && c < m_fg->cols(); ++c)
            m_fg->setTextMatrix(r + 1, c, m_fg1->textMatrix(r, c));
}

void DisplayBoard::setTopLine(const CallLine& line) {
    m_fg->setTextMatrix(1, 1, QStringLiteral(" ") + line.token);
    if (m_fg->cols() > 2) m_fg->setTextMatrix(1, 2, counterText(line));
    emit lineShown(line.callauto);
}

void DisplayBoard::Timer1_Timer() {
    // One poll at a time: the next is asked for once this one's answer (and a
    // recall's announcement start) has been dealt with.
    if (!m_feed || m_announcing || m_polling || m_rows < 1) return;
    m_polling = m_feed->poll();
}

void DisplayBoard::pollAnswered(bool found, const CallLine& line) {
    if (!found) {
        finishPoll();
        return;
    }
    if (QStringLiteral(" ") + line.token != m_fg->textMatrix(1, 1)) {
        moveDown();
        m_fg->setRows(m_rows + 1);
        setTopLine(line);
        if (line.status == QStringLiteral("0")) {
            // A new line is marked shown before it is announced.
            m_feed->markShown(line.callauto);
            blink();
            playSound();
            startAnnouncement(line, false);
        }
        finishPoll();
        // More calls may be waiting: with nothing being announced, take the
        // next one now rather than a tick later.
        if (!m_announcing) QTimer::singleShot(0, this, &DisplayBoard::Timer1_Timer);
        return;
    }
    // The top line called again (a recall): announced without moving, and
    // marked shown once it has been announced.
    emit lineShown(line.callauto);
    blink();
    if (line.status != QStringLiteral("0")) {
        finishPoll();
        return;
    }
    // The highlight gets painted before the announcement starts.
    QTimer::singleShot(0, this, [this, line] {
        playSound();
        startAnnouncement(line, true);
        finishPoll();
    });
}

void DisplayBoard::finishPoll() {
    m_polling = false;
    emit pollHandled();
}

void DisplayBoard::startAnnouncement(const CallLine& line, bool markAfter) {
    if (!isSignalConnected(QMetaMethod::fromSignal(&DisplayBoard::announce))) {
        if (markAfter) m_feed->markShown(line.callauto);
        return;
    }
    m_announcing = true;
    m_markAfterAnnouncement = markAfter ? line.callauto : 0;
    emit announce(line.token, line.counter);
}

void DisplayBoard::announcementFinished() {
    if (!m_announcing) return;
    m_announcing = false;
    if (m_markAfterAnnouncement) m_feed->markShown(m_markAfterAnnouncement);
    m_markAfterAnnouncement = 0;
    // Calls that came in meanwhile are waiting: look at once.
    QTimer::singleShot(0, this, &DisplayBoard::Timer1_Timer);
}

void DisplayBoard::blink() {
    m_blinkCount = 0;
    m_timer6->start();
    blinkTick();
}

void DisplayBoard::blinkTick() {
    // Odd ticks swap the top line's colours (the token colour behind, the row's
    // colour as text), even ticks give the row its own colours back; after the
    // last tick the row is as it was. The token stays readable in every frame.
    ++m_blinkCount;
    const bool lit = m_blinkCount % 2 == 1 && m_blinkCount < blinkTicks;
    const quint32 own = m_fg->textMatrix(1, 0).toUInt();
    const quint32 litText = textOn(m_highlightBack, own);
    for (int c = 1; c <= m_columns && c < m_fg->cols(); ++c) {
        m_fg->setCellBackColor(1, c, lit ? m_highlightBack : own);
        m_fg->setCellForeColor(1, c, lit ? litText : m_topForeColors.value(c, m_fg->foreColor()));
    }
    if (m_blinkCount >= blinkTicks) m_timer6->stop();
}

namespace {
QImage scaledOnto(const QImage& picture, const QSize& cell, const QColor& back) {
    QImage canvas(cell, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(back.isValid() ? back : QColor(Qt::transparent));
    QPainter p(&canvas);
    p.drawImage(QRect(QPoint(0, 0), cell), picture);
    return canvas;
}
} // namespace

void DisplayBoard::addimg1(const QString& path) {
    const QImage picture(path);
    if (picture.isNull()) return;
    for (int c = 1; c <= 2 && c < m_fg->cols(); ++c) {
        const QSize cell = m_fg->cellRect(0, c).size().expandedTo(QSize(1, 1));
        m_fg->setCellPicture(
            0, c, scaledOnto(picture, cell, colors::toQColor(m_fg->cellBackColor(0, c))));
    }
}

void DisplayBoard::addimg2(const QString& path) {
    const QImage picture(path);
    if (picture.isNull()) return;
    for (int r = 1; r <= m_fg->rows() - 1; ++r)
        for (int c = 1; c <= 2 && c < m_fg->cols(); ++c) {
            const QSize cell = m_fg->cellRect(r, c).size().expandedTo(QSize(1, 1));
            m_fg->setCellPicture(r, c, scaledOnto(picture, cell, QColor()));
        }
}

} // namespace tv
