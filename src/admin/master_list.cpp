#include "master_list.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/activation.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "master_data.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

using controls::button;

MasterListWindow::MasterListWindow(Station& station, const char* name, const QString& caption,
                                   QWidget* parent)
    : QWidget(parent), m_station(station) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    m_add = button(this, "Command3", QStringLiteral("Add"));
    m_delete = button(this, "Command2", QStringLiteral("Delete"));
    m_close = button(this, "Command1", QStringLiteral("Close"));
    connect(m_add, &QPushButton::clicked, this, &MasterListWindow::Command3_Click);
    connect(m_delete, &QPushButton::clicked, this, &MasterListWindow::Command2_Click);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fg, &FlexGrid::cellDoubleClicked, this, [this](int row, int) { editRow(row); });
    new ActivationWatch(this, [this] { addFG(); });
}

void MasterListWindow::useStandardLayout() {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fg, 1);
    layout->addLayout(buttons);
}

void MasterListWindow::setFG(const QList<int>& widths, const QStringList& heads) {
    m_fg->setCols(static_cast<int>(widths.size()));
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->resetRows(1);
    for (int c = 0; c < widths.size(); ++c) {
        m_fg->setColWidth(c, widths.at(c));
        m_fg->setTextMatrix(0, c, heads.value(c));
    }
}

bool MasterListWindow::guarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return false;
    }
}

void MasterListWindow::addFG() {
    setFG();
    guarded([this] {
        const QList<QStringList> list = rows();
        m_fg->setRedraw(false);
        m_fg->setRows(static_cast<int>(list.size()) + 1);
        for (int r = 0; r < list.size(); ++r)
            for (int c = 0; c < list.at(r).size() && c < m_fg->cols(); ++c)
                m_fg->setTextMatrix(r + 1, c, list.at(r).at(c));
        m_fg->setRedraw(true);
    });
}

QString MasterListWindow::selectedKey() const {
    const int row = m_fg->row();
    if (row < 1 || row >= m_fg->rows()) return {};
    return m_fg->textMatrix(row, 0);
}

MasterEditWindow* MasterListWindow::editWindow() const {
    // A closed edit window is on its way out: the next Add starts afresh.
    return m_edit && !m_edit->isHidden() ? m_edit.data() : nullptr;
}

MasterEditWindow* MasterListWindow::editor() {
    if (!editWindow()) {
        MasterEditWindow* w = createEditWindow();
        w->setAttribute(Qt::WA_DeleteOnClose);
        connect(w, &MasterEditWindow::saved, this, &MasterListWindow::addFG);
        m_edit = w;
    }
    return m_edit.data();
}

void MasterListWindow::Command3_Click() {
    MasterEditWindow* w = editor();
    w->show();
    w->raise();
}

void MasterListWindow::editRow(int row) {
    if (row < 1 || row >= m_fg->rows()) return;
    const QString key = m_fg->textMatrix(row, 0);
    if (key.isEmpty()) return;
    MasterEditWindow* w = editor();
    w->setRef(key);
    w->getData();
    w->show();
    w->raise();
}

void MasterListWindow::afterDelete(const QString& message) {
    // A refused delete leaves the list and its selection as they were.
    if (!message.isEmpty())
        Dialogs::message(this, message);
    else
        addFG();
}

void MasterListWindow::deleteSelected(const std::function<QString(const QString&)>& remove) {
    const QString key = selectedKey();
    if (key.isEmpty()) {
        Dialogs::message(this, master::selectEntry);
        return;
    }
    if (Dialogs::question(this, master::deleteQuestion) != QMessageBox::Yes) return;
    QString message;
    if (guarded([&] { message = remove(key); })) afterDelete(message);
}

MasterEditWindow::MasterEditWindow(Station& station, const char* name, const QString& caption,
                                   const QString& saveCaption, const QString& closeCaption,
                                   QWidget* parent)
    : QDialog(parent), m_station(station) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    m_lblRef = controls::label(this, "lblRef");
    m_lblRef->hide();
    m_saveCaption = saveCaption;
    m_closeCaption = closeCaption;
}

void MasterEditWindow::setForm(QLayout* form) {
    // Made after the boxes, so the tab key reaches them after the boxes.
    m_save = button(this, "Command2", m_saveCaption);
    m_closeButton = button(this, "Command1", m_closeCaption);
    connect(m_save, &QPushButton::clicked, this, &MasterEditWindow::Command2_Click);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
}

void MasterEditWindow::guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

QString MasterEditWindow::ref() const {
    return m_lblRef->text();
}

void MasterEditWindow::setRef(const QString& key) {
    m_lblRef->setText(key);
}

bool MasterEditWindow::Command2_Click() {
    QString message;
    try {
        message = saveData();
    } catch (const DbError& e) {
        // What was typed stays in the boxes, to be saved again.
        Dialogs::message(this, e.description());
        return false;
    }
    if (!message.isEmpty()) {
        Dialogs::message(this, message);
        return false;
    }
    emit saved();
    close();
    return true;
}

} // namespace tv
