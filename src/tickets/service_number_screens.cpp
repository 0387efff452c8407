#include "service_number_screens.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "service_numbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {
using controls::button;

// "2026-12-09 00:00:00" shows as the date box does: "09-12-2026".
QString dayShown(const QString& stored) {
    const QDate d = QDate::fromString(stored.left(10), QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : stored;
}
} // namespace

ServiceNoList::ServiceNoList(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmServNo"));
    setWindowTitle(QStringLiteral("Set Service Starting No."));
    m_dt = new QDateEdit(this);
    m_dt->setObjectName(QStringLiteral("DT"));
    m_dt->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    m_dt->setCalendarPopup(true);
    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    auto* add = button(this, "cmdAdd", QStringLiteral("Add"));
    auto* close = button(this, "cmdClose", QStringLiteral("Close"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Select Date"), this));
    top->addWidget(m_dt);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(add);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_fg, 1);
    layout->addLayout(bottom);
    resize(640, 420);

    connect(add, &QPushButton::clicked, this, &ServiceNoList::addEntry);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fg, &FlexGrid::cellDoubleClicked, this, [this](int row, int) { editRow(row); });

    m_station.openConnection();
    setFG();
    m_dt->setDate(m_station.clock().today());
    connect(m_dt, &QDateEdit::dateChanged, this, &ServiceNoList::addFG);
    addFG();
}

void ServiceNoList::setFG() {
    m_fg->setCols(7);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->resetRows(1);
    const int widths[] = {1, 700, 2000, 1500, 1000, 1000, 2000};
    for (int c = 0; c < 7; ++c)
        m_fg->setColWidth(c, widths[c]);
    const char* heads[] = {"", "SN", "Service Name", "Date", "Start", "Active", ""};
    for (int c = 0; c < 7; ++c)
        m_fg->setTextMatrix(0, c, QString::fromLatin1(heads[c]));
}

void ServiceNoList::addFG() {
    setFG();
    try {
        const auto entries = ServiceNumbers(m_station).entriesOf(m_dt->date());
        m_fg->setRows(static_cast<int>(entries.size()) + 1);
        for (int p = 1; p <= entries.size(); ++p) {
            const auto& e = entries.at(p - 1);
            m_fg->setTextMatrix(p, 0, e.snoAuto);
            m_fg->setTextMatrix(p, 1, QString::number(p));
            m_fg->setTextMatrix(p, 2, e.servName);
            m_fg->setTextMatrix(p, 3, dayShown(e.sdate));
            m_fg->setTextMatrix(p, 4, e.sno);
            m_fg->setTextMatrix(p, 5, e.active);
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

void ServiceNoList::editRow(int row) {
    if (row < 1 || row >= m_fg->rows()) return;
    const QString key = m_fg->textMatrix(row, 0);
    if (!key.isEmpty()) openEditor(key);
}

void ServiceNoList::addEntry() {
    openEditor(QString());
}

void ServiceNoList::openEditor(const QString& key) {
    auto* edit = new ServiceNoEdit(m_station, this);
    edit->setAttribute(Qt::WA_DeleteOnClose);
    edit->setRef(key);
    if (!key.isEmpty()) edit->getData();
    // Keeping the list true to the table after every save.
    connect(edit, &ServiceNoEdit::saved, this, &ServiceNoList::addFG);
    edit->show();
}

ServiceNoEdit::ServiceNoEdit(Station& station, QWidget* parent)
    : QDialog(parent), m_station(station) {
    setObjectName(QStringLiteral("frmSerNo"));
    setWindowTitle(QStringLiteral("Set Service No"));
    m_cmbServ = new QComboBox(this);
    m_cmbServ->setObjectName(QStringLiteral("cmbServ"));
    m_dt = new QDateEdit(this);
    m_dt->setObjectName(QStringLiteral("DT"));
    m_dt->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    m_dt->setCalendarPopup(true);
    m_txtNo = new QLineEdit(this);
    m_txtNo->setObjectName(QStringLiteral("txtNo"));
    m_txtNo->installEventFilter(this);
    m_chkActive = new QCheckBox(QStringLiteral("Active"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    m_lblRef = new QLabel(this);
    m_lblRef->setObjectName(QStringLiteral("lblRef"));
    m_lblRef->hide();
    auto* save = button(this, "cmdSave", QStringLiteral("Save"));
    auto* close = button(this, "cmdClose", QStringLiteral("Close"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Select Service"), m_cmbServ);
    form->addRow(QStringLiteral("Date"), m_dt);
    form->addRow(QStringLiteral("Start No"), m_txtNo);
    form->addRow(QString(), m_chkActive);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &ServiceNoEdit::saveData);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    m_station.openConnection();
    m_dt->setDate(m_station.clock().today());
    try {
        m_cmbServ->addItems(ServiceNumbers(m_station).activeServices());
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    m_cmbServ->setCurrentIndex(-1);
}

QString ServiceNoEdit::ref() const {
    return m_lblRef->text();
}
void ServiceNoEdit::setRef(const QString& key) {
    m_lblRef->setText(key);
}

void ServiceNoEdit::getData() {
    try {
        const auto l = ServiceNumbers(m_station).load(ref().toInt());
        if (!l.found) return;
        m_cmbServ->setCurrentText(l.servName);
        if (l.date.isValid()) m_dt->setDate(l.date);
        m_txtNo->setText(l.sno);
        m_chkActive->setChecked(l.active);
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

bool ServiceNoEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtNo && event->type() == QEvent::FocusOut)
        m_txtNo->setText(ServiceNumbers::numericOrZero(m_txtNo->text()));
    return QDialog::eventFilter(watched, event);
}

bool ServiceNoEdit::saveData() {
    m_txtNo->setText(ServiceNumbers::numericOrZero(m_txtNo->text()));
    try {
        const QString message =
            ServiceNumbers(m_station).save(ref(), m_cmbServ->currentText(), m_dt->date(),
                                           m_txtNo->text(), m_chkActive->isChecked());
        if (!message.isEmpty()) {
            Dialogs::message(this, message);
            return false;
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return false;
    }
    emit saved();
    close();
    return true;
}

} // namespace tv
