#include "theme_preview.h"

#include "clock_files.h"
#include "core/db_error.h"
#include "core/schema.h"
#include "core/station.h"
#include "core/ui/twips.h"
#include "display/clock_widget.h"
#include "layout_ops.h"
#include "theme_fields.h"
#include "theme_ops.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tv {

namespace {

// The board is drawn into the window this often.
constexpr int frameMs = 200;

QString shortName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

// Why a picture file cannot be shown, "" when it can.
QString pictureProblem(const QString& path) {
    if (path.endsWith(QStringLiteral(".swf"), Qt::CaseInsensitive))
        return QStringLiteral("Flash files cannot be shown");
    if (!QFileInfo::exists(path)) return QStringLiteral("%1 cannot be found").arg(shortName(path));
    QImageReader reader(path);
    if (!reader.canRead())
        return QStringLiteral("%1 is not a picture (%2)")
            .arg(shortName(path), reader.errorString());
    return {};
}

} // namespace

QSize hallScreen() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s && !s->size().isEmpty() ? s->size() : QSize(1920, 1080);
}

QList<CallLine> sampleCalls(int rows) {
    const auto line = [](const char* token, const char* counter, const QString& room = {}) {
        CallLine c;
        c.token = QString::fromLatin1(token);
        c.counter = QString::fromLatin1(counter);
        c.status = QStringLiteral("1");
        c.room = room;
        return c;
    };
    const CallLine samples[] = {
        line("A12", "Room 1"),
        line("X104", "X-Ray 1"),
        line("G7", "Room 3", QStringLiteral("Lab Report")),
        line("P21", "Desk 1"),
        line("A11", "Room 2"),
    };
    QList<CallLine> calls;
    const int n = std::clamp(rows, 0, 50);
    for (int i = 0; i < n; ++i) {
        CallLine c = samples[i % 5];
        c.callauto = i + 1;
        if (i >= 5) c.token = c.token.left(1) + QString::number(100 + i);
        calls.append(c);
    }
    return calls;
}

PreviewParts buildPreview(Station& station, const QStringList& texts, const QString& ref,
                          const QString& clockFolder, QSize screen) {
    PreviewParts out;
    QStringList& notes = out.notes;
    const QList<theme::Field>& fields = theme::fields();
    QStringList t = texts;
    const auto at = [&](const char* control) -> QString& {
        return t[theme::indexOf(QLatin1String(control))];
    };

    // Numbers the board cannot use are left out, as a stored NULL would be.
    for (int i = 0; i < fields.size(); ++i) {
        const QString problem = theme::numberProblem(i, t.value(i));
        if (problem.isEmpty()) continue;
        notes << problem + QStringLiteral(": the preview leaves it out.");
        t[i].clear();
    }
    QString& widths = at("txtColWidth");
    if (!theme::chkVal(widths, at("txtColumn"))) {
        notes << QStringLiteral("Column Width \"%1\" does not give each column a width: columns "
                                "without one keep the standard width.")
                     .arg(widths.left(60));
        QStringList pieces = widths.split(u';');
        for (QString& p : pieces)
            if (!theme::usableWidth(p)) p.clear();
        widths = pieces.join(u';');
    }

    const auto checkPicture = [&](const char* control, const char* what) {
        const QString path = at(control).trimmed();
        if (path.isEmpty()) return;
        const QString problem = pictureProblem(path);
        if (!problem.isEmpty())
            notes << QStringLiteral("%1: %2; the preview leaves it out.")
                         .arg(QLatin1String(what), problem);
    };
    checkPicture("txtlogo", "Logo");
    checkPicture("txtImg1", "Header img");
    checkPicture("txtImg2", "Detail img");
    if (!at("txtTbkBack").trimmed().isEmpty())
        notes << QStringLiteral("Background: the board paints no background picture.");
    if (at("chkMovie") == QStringLiteral("1")) {
        const QString video = at("txtVideo").trimmed();
        if (!video.isEmpty() && !QFileInfo::exists(video))
            notes << QStringLiteral("Video: %1 cannot be found.").arg(shortName(video));
        notes << QStringLiteral("Video: the preview shows where the video plays.");
    }
    QString& clockFile = at("txtFormat");
    bool timeAsText = at("chktime") == QStringLiteral("1");
    if (!clockFile.trimmed().isEmpty()) {
        // The board looks for a bare name among the program's clock files.
        clockFile = clocks::pathOf(clockFile.trimmed(), clockFolder);
        if (timeAsText) {
            ClockWidget probe;
            QString why;
            if (probe.setClockFile(clockFile, &why))
                timeAsText = false;
            else
                notes << QStringLiteral("Clock: %1; the time shows as text.").arg(why);
        }
    }

    // Text in the colour of what lies behind it is there but cannot be seen:
    // easily done, as every swatch starts with the same grey.
    const auto unseen = [&](bool shows, const char* what, const char* fore, const char* back) {
        if (shows && at(fore).trimmed() == at(back).trimmed())
            notes << QStringLiteral("%1: the font colour is the colour behind it, so it cannot "
                                    "be seen.")
                         .arg(QLatin1String(what));
    };
    unseen(!at("txtttl").trimmed().isEmpty(), "Title", "lblttlClr", "lblBG");
    unseen(timeAsText, "Time", "lblTClr", "lblBG");
    unseen(at("chkHeader") == QStringLiteral("1"), "Header", "lblHClr", "lblHBGClr");
    unseen(true, "First Column", "lblRFcolor", "lblRDClr");
    unseen(true, "Second Column", "lblVFColor", "lblVBGClr");

    const qint64 key = ThemeOps::keyOf(ref).value_or(0);
    QVariantList row;
    for (const QString& column : schema::columnNames(QStringLiteral("tbltheme"))) {
        const int i = theme::indexOf(column);
        row.append(i < 0 ? QVariant(key) : ThemeOps::stored(fields.at(i), t.value(i)));
    }
    out.preview.design.theme =
        RecordSet::detached(schema::columnNames(QStringLiteral("tbltheme")), {row});

    // The hall screen, turned on its side for a vertical display.
    if (screen.isEmpty()) screen = hallScreen();
    if (at("cmbType") == QStringLiteral("Vertical") && screen.width() > screen.height())
        screen.transpose();
    out.preview.screen = screen;
    layout::Boxes boxes = layout::defaultLayout(
        QSize(twips::fromPixelsX(screen.width() / 2), twips::fromPixelsY(screen.height() / 2)));
    try {
        QStringList skipped;
        if (key <= 0 || !LayoutOps(station).getData(key, boxes, &skipped))
            notes << QStringLiteral("Layout: no saved layout yet; the preview uses the standard "
                                    "one (Position places the areas of a saved theme).");
        else if (!skipped.isEmpty())
            notes << QStringLiteral("Layout: no usable value in %1; those take the standard "
                                    "place.")
                         .arg(skipped.join(QStringLiteral(", ")));
        if (key > 0) {
            out.preview.design.header =
                RecordSet(station.dbConnection,
                          QStringLiteral("select * from tblheader where themeauto=?"), {key});
            if (out.preview.design.header.recordCount() > 0)
                notes << QStringLiteral("Header: the theme's own captions (Header) replace "
                                        "Column1 and Column2.");
        }
    } catch (const DbError& e) {
        notes << QStringLiteral("The stored layout could not be read: %1").arg(e.description());
    }
    out.preview.design.pos = layout::posRecord(static_cast<int>(key), boxes);

    bool ok = false;
    const int rows = at("txtRow").trimmed().toInt(&ok);
    out.preview.calls = sampleCalls(ok ? rows : 0);
    TickerMessage news;
    news.text = QStringLiteral("This is how the news band runs on the hall screen.");
    TickerMessage second = news;
    second.text = QStringLiteral("The messages themselves are kept in Scroll News.");
    out.preview.ticker = {news, second};
    return out;
}

// The scaled picture of the board, letterboxed in the window.
class ThemePreviewWindow::Screen final : public QWidget {
public:
    explicit Screen(ThemePreviewWindow* owner) : QWidget(owner), m_owner(owner) {
        setObjectName(QStringLiteral("picScreen"));
        setMinimumSize(320, 180);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 40, 40));
        const QImage& frame = m_owner->m_frame;
        if (frame.isNull()) return;
        QSize size = frame.size();
        size.scale(this->size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2),
                           size);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, frame);
        // The edge of the hall screen, whatever the board's own colour.
        p.setPen(QColor(120, 120, 120));
        p.drawRect(target.adjusted(-1, -1, 0, 0));
    }

private:
    ThemePreviewWindow* m_owner;
};

ThemePreviewWindow::ThemePreviewWindow(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), m_station(station), m_screen(new Screen(this)),
      m_lblNotes(new QLabel(this)), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    m_lblNotes->setObjectName(QStringLiteral("lblNotes"));
    m_lblNotes->setWordWrap(true);
    m_lblNotes->setTextFormat(Qt::PlainText);
    m_lblNotes->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_screen, 1);
    layout->addWidget(m_lblNotes);
    resize(980, 640);
    m_timer->setInterval(frameMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (isVisible()) grabFrame();
    });
    m_timer->start();
}

ThemePreviewWindow::~ThemePreviewWindow() = default;

void ThemePreviewWindow::setPreview(const PreviewParts& parts) {
    if (!m_board) {
        // Laid out at the hall screen's size, never shown on this one.
        m_board = std::make_unique<DisplayBoard>(m_station, parts.preview);
        m_board->setAttribute(Qt::WA_DontShowOnScreen);
        m_board->show();
    } else {
        m_board->setPreview(parts.preview);
    }
    m_notes = parts.notes;
    m_lblNotes->setText(m_notes.isEmpty() ? QStringLiteral("The preview shows every field.")
                                          : m_notes.join(u'\n'));
    grabFrame();
}

void ThemePreviewWindow::grabFrame() {
    if (!m_board) return;
    m_frame = m_board->grab().toImage();
    m_screen->update();
}

} // namespace tv
