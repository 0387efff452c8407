#include "report_screen.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "export_source.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tv {

namespace {

struct Shape {
    const char* objectName;
    const char* caption;
    const char* filterLabel;
};

Shape shapeOf(ReportOps::Kind kind) {
    switch (kind) {
    case ReportOps::Kind::Department:
        return {"frmReport", "Report-Department Based", "Select Department"};
    case ReportOps::Kind::Service:
        return {"frmRptServ", "Report Service Based", "Select Service"};
    case ReportOps::Kind::Counter:
        return {"frmRptCounter", "Report-Counter Based", "Select Counter"};
    case ReportOps::Kind::Pending:
        return {"frmPending", "Pending Reports", "Select Service"};
    }
    return {"frmReport", "", ""};
}

QDateEdit* dateBox(QWidget* parent, const char* name) {
    auto* d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    d->setCalendarPopup(true);
    return d;
}

int px(int twips) {
    return twips::toPixelsX(twips);
}
int py(int twips) {
    return twips::toPixelsY(twips);
}

} // namespace

ReportScreen::ReportScreen(Station& station, ReportOps::Kind kind, QWidget* parent)
    : QWidget(parent), m_station(station), m_ops(station, kind) {
    const Shape shape = shapeOf(kind);
    setObjectName(QLatin1String(shape.objectName));
    setWindowTitle(QLatin1String(shape.caption));

    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::StyledPanel);
    auto* filterLabel = controls::label(m_frame1, "Label1", QLatin1String(shape.filterLabel));
    m_cmbDept = new QComboBox(m_frame1);
    m_cmbDept->setObjectName(QStringLiteral("cmbDept"));
    m_cmbDept->setMinimumContentsLength(16);
    m_cmbDept->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    filterLabel->setBuddy(m_cmbDept);
    auto* fromLabel = controls::label(m_frame1, "Label2", QStringLiteral("Date From"));
    m_dtFrom = dateBox(m_frame1, "dtFrom");
    fromLabel->setBuddy(m_dtFrom);
    auto* toLabel = controls::label(m_frame1, "Label3", QStringLiteral("To"));
    m_dtTo = dateBox(m_frame1, "DTto");
    toLabel->setBuddy(m_dtTo);
    m_chkAll = new QCheckBox(QStringLiteral("Show All"), m_frame1);
    m_chkAll->setObjectName(QStringLiteral("chkAll"));
    m_show = controls::button(m_frame1, "Command2", QStringLiteral("Show"));
    auto* row = new QHBoxLayout(m_frame1);
    row->addWidget(filterLabel);
    row->addWidget(m_cmbDept);
    row->addSpacing(12);
    row->addWidget(fromLabel);
    row->addWidget(m_dtFrom);
    row->addWidget(toLabel);
    row->addWidget(m_dtTo);
    row->addSpacing(12);
    row->addWidget(m_chkAll);
    row->addStretch();
    row->addWidget(m_show);

    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    m_lblAvg = controls::label(this, "lblAvg");
    QFont bold = m_lblAvg->font();
    bold.setBold(true);
    m_lblAvg->setFont(bold);
    m_close = controls::button(this, "Command1", QStringLiteral("Close"));

    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_show, &QPushButton::clicked, this, &ReportScreen::addFG);
    connect(m_chkAll, &QCheckBox::clicked, this, &ReportScreen::addFG);
    connect(m_cmbDept, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading) addFG();
    });
    connect(m_cmbDept, &QComboBox::activated, this, [this] {
        if (!m_loading) addFG();
    });
    for (QDateEdit* d : {m_dtFrom, m_dtTo})
        connect(d, &QDateEdit::dateChanged, this, [this] {
            if (!m_loading) addFG();
        });

    registerAsExportSourceOnActivation(this, m_station);
    resize(px(13500), py(7600));
    setMinimumSize(px(9000), py(4500));
    load();
}

void ReportScreen::load() {
    m_loading = true;
    m_station.openConnection();
    m_cmbDept->clear();
    try {
        m_cmbDept->addItems(m_ops.filterNames());
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    m_cmbDept->addItem(QStringLiteral("All"));
    // The list opens with nothing chosen, so the first look selects nothing;
    // the pending report opens on "All", today's waiting tickets.
    m_cmbDept->setCurrentIndex(kind() == ReportOps::Kind::Pending ? m_cmbDept->count() - 1 : -1);
    m_dtFrom->setDate(m_station.clock().today());
    m_dtTo->setDate(m_station.clock().today());
    m_loading = false;
    addFG();
}

void ReportScreen::setFG() {
    static const char* heads[] = {"",        "SN",   "Dept.", "Service",  "Token", "Date",
                                  "Counter", "From", "To",    "Duration", ""};
    static const int widths[] = {1, 1200, 1900, 1900, 1200, 1200, 1900, 1200, 1200, 1200, 5000};
    m_fg->setCols(11);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(1);
    m_fg->resetRows(1);
    for (int c = 0; c < 11; ++c) {
        m_fg->setColWidth(c, widths[c]);
        m_fg->setTextMatrix(0, c, QLatin1String(heads[c]));
    }
}

void ReportScreen::addFG() {
    setFG();
    QList<ReportOps::Row> rows;
    try {
        rows = m_ops.rows(m_cmbDept->currentText(), m_dtFrom->date(), m_dtTo->date(),
                          m_chkAll->isChecked());
    } catch (const DbError& e) {
        // The grid stays empty: never yesterday's rows under today's filter.
        m_lblAvg->clear();
        Dialogs::message(this, e.description());
        return;
    }
    m_fg->setRedraw(false);
    m_fg->setRows(static_cast<int>(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i) {
        const int p = i + 1;
        m_fg->setTextMatrix(p, 0, QString::number(rows[i].tickAuto));
        m_fg->setTextMatrix(p, 1, QString::number(p));
        for (int c = 0; c < rows[i].cells.size(); ++c)
            m_fg->setTextMatrix(p, c + 2, rows[i].cells[c]);
    }
    m_fg->setRedraw(true);
    if (!m_chkAll->isChecked())
        getAvg();
    else
        m_lblAvg->clear();
}

void ReportScreen::getAvg() {
    QStringList durations;
    durations.reserve(m_fg->rows() - 1);
    for (int r = 1; r < m_fg->rows(); ++r)
        durations << m_fg->textMatrix(r, 9);
    m_lblAvg->setText(ReportOps::averageText(ReportOps::average(durations)));
}

void ReportScreen::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int w = width();
    const int h = height();
    m_frame1->setGeometry(px(200), py(100), qMax(0, w - px(400)), m_frame1->sizeHint().height());
    const int top = m_frame1->geometry().bottom() + py(100);
    m_fg->setGeometry(px(200), top, qMax(0, w - px(400)), qMax(0, h - py(2400)));
    const int bottom = qMax(m_fg->geometry().bottom() + py(100), h - py(700));
    m_lblAvg->setGeometry(px(200), bottom, px(6000), py(400));
    placeButtons(w, bottom);
}

void ReportScreen::placeButtons(int width, int bottom) {
    m_close->setGeometry(width - px(1600), bottom, px(1200), py(400));
}

} // namespace tv
