#include "statistics_screen.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "export_source.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace tv {

namespace {

QString minutesText(const std::optional<double>& m) {
    if (!m) return {};
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(*m, 'f', 1);
}

const QColor issuedColour(0x5b, 0x8d, 0xd6);
const QColor calledColour(0x3c, 0xa3, 0x6b);
const QColor medianColour(0xe0, 0x9a, 0x2f);
const QColor p90Colour(0xc0, 0x4b, 0x3a);

// One panel of bars: up to two series per group, a scale with round steps.
void paintBars(QPainter& p, const QRect& area, const QString& title, const QStringList& labels,
               const QList<double>& first, const QList<double>& second, const QColor& firstColour,
               const QColor& secondColour, const QString& firstName, const QString& secondName) {
    const QFontMetrics fm(p.font());
    p.setPen(Qt::black);
    p.drawText(area.left(), area.top() + fm.ascent(), title);
    const int legendY = area.top() + fm.height() + 2;
    int x = area.left();
    for (const auto& [name, colour] :
         {std::pair{firstName, firstColour}, std::pair{secondName, secondColour}}) {
        p.fillRect(x, legendY + 2, 10, 10, colour);
        p.drawText(x + 14, legendY + fm.ascent(), name);
        x += 24 + fm.horizontalAdvance(name);
    }
    const QRect plot(area.left() + fm.horizontalAdvance(QStringLiteral("00000")) + 4,
                     legendY + fm.height() + 6,
                     area.width() - fm.horizontalAdvance(QStringLiteral("00000")) - 8,
                     area.height() - 2 * fm.height() - fm.height() - 14);
    if (plot.height() < 10 || plot.width() < 10 || labels.isEmpty()) return;
    double top = 0;
    for (double v : first + second)
        top = qMax(top, v);
    // A round top of the scale: 1, 2 or 5 times a power of ten.
    double step = 1;
    if (top > 0) {
        const double raw = top / 4;
        const double mag = std::pow(10.0, std::floor(std::log10(raw)));
        step = raw / mag <= 1   ? mag
               : raw / mag <= 2 ? 2 * mag
               : raw / mag <= 5 ? 5 * mag
                                : 10 * mag;
    }
    const double scaleTop = qMax(step, std::ceil(top / step) * step);
    p.setPen(QColor(0xdd, 0xdd, 0xdd));
    for (double v = 0; v <= scaleTop + step / 2; v += step) {
        const int y = plot.bottom() - qRound(v / scaleTop * plot.height());
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(Qt::black);
        const QString t = QLocale().toString(v, 'g', 6);
        p.drawText(area.left(), y + fm.ascent() / 2, t);
        p.setPen(QColor(0xdd, 0xdd, 0xdd));
    }
    const double slot = double(plot.width()) / labels.size();
    const int bar = qMax(1, int(slot * 0.38));
    for (int i = 0; i < labels.size(); ++i) {
        const int x0 = plot.left() + int(i * slot + slot * 0.1);
        const auto barAt = [&](int left, double v, const QColor& c) {
            const int h = qRound(v / scaleTop * plot.height());
            p.fillRect(left, plot.bottom() - h, bar, h, c);
        };
        barAt(x0, first.value(i), firstColour);
        barAt(x0 + bar, second.value(i), secondColour);
        p.setPen(Qt::black);
        const QString label = labels[i].left(2); // the hour
        p.drawText(QRect(plot.left() + int(i * slot), plot.bottom() + 2, int(slot), fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, label);
    }
    p.setPen(Qt::black);
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
}

} // namespace

StatisticsChart::StatisticsChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart"));
    setMinimumHeight(240);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void StatisticsChart::setGroups(const QList<StatisticsOps::Group>& byHour) {
    m_groups = byHour;
    update();
}

void StatisticsChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (m_groups.isEmpty()) {
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("No tickets in these days"));
        return;
    }
    QStringList labels;
    QList<double> issued, called, median, p90;
    for (const auto& g : m_groups) {
        labels << g.name;
        issued << g.figures.issued;
        called << g.figures.called;
        median << g.figures.waitMedian.value_or(0);
        p90 << g.figures.waitP90.value_or(0);
    }
    const QRect all = rect().adjusted(8, 8, -8, -8);
    const int half = all.width() / 2;
    paintBars(p, QRect(all.left(), all.top(), half - 8, all.height()),
              QStringLiteral("Tickets per hour"), labels, issued, called, issuedColour,
              calledColour, QStringLiteral("issued"), QStringLiteral("called"));
    paintBars(p, QRect(all.left() + half + 8, all.top(), half - 8, all.height()),
              QStringLiteral("Waiting minutes by hour of issue"), labels, median, p90, medianColour,
              p90Colour, QStringLiteral("median"), QStringLiteral("90%"));
}

StatisticsScreen::StatisticsScreen(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station), m_ops(station) {
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("Statistics"));

    m_cmbScope = new QComboBox(this);
    m_cmbScope->setObjectName(QStringLiteral("cmbScope"));
    m_cmbScope->addItems(
        {QStringLiteral("Department"), QStringLiteral("Service"), QStringLiteral("Counter")});
    m_cmbDept = new QComboBox(this);
    m_cmbDept->setObjectName(QStringLiteral("cmbDept"));
    m_cmbDept->setMinimumContentsLength(16);
    m_dtFrom = new QDateEdit(this);
    m_dtFrom->setObjectName(QStringLiteral("dtFrom"));
    m_dtTo = new QDateEdit(this);
    m_dtTo->setObjectName(QStringLiteral("DTto"));
    for (QDateEdit* d : {m_dtFrom, m_dtTo}) {
        d->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
        d->setCalendarPopup(true);
    }
    auto* show = controls::button(this, "Command2", QStringLiteral("Show"));
    auto* close = controls::button(this, "Command1", QStringLiteral("Close"));
    m_status = controls::label(this, "lblStatus");

    m_fg = new FlexGrid;
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    m_chart = new StatisticsChart;
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_fg);
    split->addWidget(m_chart);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* filters = new QHBoxLayout;
    filters->addWidget(m_cmbScope);
    filters->addWidget(m_cmbDept);
    filters->addSpacing(12);
    filters->addWidget(controls::label(this, "Label2", QStringLiteral("Date From")));
    filters->addWidget(m_dtFrom);
    filters->addWidget(controls::label(this, "Label3", QStringLiteral("To")));
    filters->addWidget(m_dtTo);
    filters->addStretch();
    filters->addWidget(show);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);

    connect(show, &QPushButton::clicked, this, &StatisticsScreen::addFG);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cmbScope, &QComboBox::currentIndexChanged, this, [this] {
        fillNames();
        addFG();
    });
    connect(m_cmbDept, &QComboBox::activated, this, &StatisticsScreen::addFG);
    for (QDateEdit* d : {m_dtFrom, m_dtTo})
        connect(d, &QDateEdit::dateChanged, this, [this] {
            if (!m_loading) addFG();
        });

    registerAsExportSourceOnActivation(this, m_station);
    m_loading = true;
    m_station.openConnection();
    fillNames();
    m_dtFrom->setDate(m_station.clock().today());
    m_dtTo->setDate(m_station.clock().today());
    m_loading = false;
    resize(twips::toPixelsX(14000), twips::toPixelsY(9000));
    addFG();
}

void StatisticsScreen::fillNames() {
    const bool wasLoading = m_loading;
    m_loading = true;
    m_cmbDept->clear();
    try {
        m_cmbDept->addItems(m_ops.names(StatisticsOps::Scope(m_cmbScope->currentIndex())));
    } catch (const DbError& e) {
        m_status->setText(e.description());
    }
    m_cmbDept->addItem(QStringLiteral("All"));
    // The whole hall first: what managers look at most.
    m_cmbDept->setCurrentIndex(m_cmbDept->count() - 1);
    m_loading = wasLoading;
}

void StatisticsScreen::setFG() {
    static const char* heads[] = {"",         "Hour / Name",    "Issued",
                                  "Called",   "Pending",        "Wait median",
                                  "Wait 90%", "Service median", "Service 90%"};
    static const int widths[] = {1, 2600, 1000, 1000, 1000, 1400, 1400, 1600, 1600};
    m_fg->setCols(9);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(1);
    m_fg->resetRows(1);
    for (int c = 0; c < 9; ++c) {
        m_fg->setColWidth(c, widths[c]);
        m_fg->setTextMatrix(0, c, QLatin1String(heads[c]));
    }
}

void StatisticsScreen::addLine(const QString& name, const StatisticsOps::Figures& f, bool bold) {
    const int r = m_fg->rows();
    m_fg->setRows(r + 1);
    const QStringList cells{name,
                            QString::number(f.issued),
                            QString::number(f.called),
                            QString::number(f.pending),
                            minutesText(f.waitMedian),
                            minutesText(f.waitP90),
                            minutesText(f.serviceMedian),
                            minutesText(f.serviceP90)};
    for (int c = 0; c < cells.size(); ++c) {
        m_fg->setTextMatrix(r, c + 1, cells[c]);
        if (bold) m_fg->setCellFontBold(r, c + 1, true);
    }
}

void StatisticsScreen::addSection(const QString& heading,
                                  const QList<StatisticsOps::Group>& groups) {
    const int r = m_fg->rows();
    m_fg->setRows(r + 1);
    m_fg->setTextMatrix(r, 1, heading);
    for (int c = 1; c < m_fg->cols(); ++c) {
        m_fg->setCellBackColor(r, c, colors::rgb(0xe8, 0xee, 0xf6));
        m_fg->setCellFontBold(r, c, true);
    }
    for (const auto& g : groups)
        addLine(g.name, g.figures, false);
}

void StatisticsScreen::addFG() {
    if (m_loading) return;
    setFG();
    StatisticsOps::Result r;
    try {
        r = m_ops.compute(StatisticsOps::Scope(m_cmbScope->currentIndex()),
                          m_cmbDept->currentText(), m_dtFrom->date(), m_dtTo->date());
    } catch (const DbError& e) {
        m_chart->setGroups({});
        m_status->clear();
        Dialogs::message(this, e.description());
        return;
    }
    m_fg->setRedraw(false);
    addLine(QStringLiteral("All tickets"), r.total, true);
    addSection(QStringLiteral("By hour of the day"), r.byHour);
    addSection(QStringLiteral("By service"), r.byService);
    addSection(QStringLiteral("By counter"), r.byCounter);
    m_fg->setRedraw(true);
    m_chart->setGroups(r.byHour);
    m_status->setText(QStringLiteral("Times in minutes. Waiting: issue to call, by the hour of "
                                     "issue; service: call to finish, by the hour of call."));
}

} // namespace tv
