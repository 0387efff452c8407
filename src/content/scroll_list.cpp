#include "scroll_list.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "scroll_editor.h"
#include "scroll_messages.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

using controls::button;

ScrollList::ScrollList(Station& station, QWidget* parent) : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmScroll"));
    setWindowTitle(QStringLiteral("Scroll News"));
    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    m_txtFind = new QLineEdit(this);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    auto* find = button(this, "Command5", QStringLiteral("Find"));
    m_chkActive = new QCheckBox(QStringLiteral("Show All"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    auto* add = button(this, "Command4", QStringLiteral("Add New"));
    auto* edit = button(this, "Command3", QStringLiteral("Edit"));
    auto* del = button(this, "Command2", QStringLiteral("Delete"));
    auto* close = button(this, "Command1", QStringLiteral("Close"));

    auto* top = new QHBoxLayout;
    auto* findLabel = controls::label(this, "lblFind", QStringLiteral("Find"));
    findLabel->setBuddy(m_txtFind);
    top->addWidget(findLabel);
    top->addWidget(m_txtFind, 1);
    top->addWidget(find);
    top->addSpacing(12);
    top->addWidget(m_chkActive);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(add);
    bottom->addWidget(edit);
    bottom->addWidget(del);
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_fg, 1);
    layout->addLayout(bottom);
    resize(680, 420);

    connect(find, &QPushButton::clicked, this, &ScrollList::findMessages);
    connect(m_txtFind, &QLineEdit::returnPressed, this, &ScrollList::findMessages);
    connect(m_chkActive, &QCheckBox::clicked, this, &ScrollList::addFG);
    connect(add, &QPushButton::clicked, this, &ScrollList::addNew);
    connect(edit, &QPushButton::clicked, this, &ScrollList::editSelected);
    connect(del, &QPushButton::clicked, this, &ScrollList::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fg, &FlexGrid::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 1) editSelected();
    });

    m_station.openConnection();
    addFG();
}

ScrollEditor* ScrollList::editor() const {
    return m_editor.data();
}

void ScrollList::setFG() {
    m_fg->setCols(6);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->resetRows(1);
    const int widths[] = {1, 500, 4500, 700, 2700, -1};
    const char* heads[] = {"", "SN", "Message", "Active", "Direction", ""};
    for (int c = 0; c < 6; ++c) {
        m_fg->setColWidth(c, widths[c]);
        m_fg->setTextMatrix(0, c, QLatin1String(heads[c]));
    }
}

template <typename Rows> void ScrollList::fill(const Rows& rows) {
    m_fg->setRedraw(false);
    m_fg->setRows(static_cast<int>(rows.size()) + 1);
    for (int p = 1; p <= rows.size(); ++p) {
        const auto& r = rows.at(p - 1);
        m_fg->setTextMatrix(p, 0, QString::number(r.scrollAuto));
        m_fg->setTextMatrix(p, 1, QString::number(p));
        m_fg->setTextMatrix(p, 2, r.message);
        m_fg->setTextMatrix(p, 3, r.active ? QStringLiteral("Yes") : QStringLiteral("No"));
        m_fg->setTextMatrix(p, 4, r.direction);
    }
    m_fg->setRedraw(true);
}

void ScrollList::addFG() {
    setFG();
    try {
        // The box captioned "Show All" lists the active messages only when
        // ticked, as it always has; unticked it lists them all.
        fill(ScrollMessages(m_station).rows(m_chkActive->isChecked()));
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

void ScrollList::findMessages() {
    const QString text = m_txtFind->text();
    if (text.isEmpty()) return;
    setFG();
    try {
        fill(ScrollMessages(m_station).find(text, m_chkActive->isChecked()));
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

qint64 ScrollList::selectedKey() const {
    const int row = m_fg->row();
    if (row < 1 || row >= m_fg->rows()) return 0;
    bool ok = false;
    const qint64 key = m_fg->textMatrix(row, 0).toLongLong(&ok);
    return ok ? key : 0;
}

ScrollEditor* ScrollList::showEditor(bool editMode, qint64 key) {
    // One editor at a time: while it is open, it is brought forward as it is,
    // so nothing typed in it is lost.
    if (m_editor) {
        m_editor->show();
        m_editor->raise();
        m_editor->activateWindow();
        return m_editor;
    }
    // Owned by the console's window, not by this list inside it.
    auto* editor = new ScrollEditor(m_station, window());
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setScrollEditMode(editMode);
    if (editMode) {
        editor->setRef(QString::number(key));
        editor->getheadDetails(key);
    }
    connect(editor, &ScrollEditor::closed, this, &ScrollList::addFG);
    connect(editor, &ScrollEditor::programEndRequested, this, &ScrollList::programEndRequested);
    m_editor = editor;
    editor->show();
    return editor;
}

void ScrollList::addNew() {
    showEditor(false, 0);
}

void ScrollList::editSelected() {
    const qint64 key = selectedKey();
    if (key == 0) return;
    showEditor(true, key);
}

void ScrollList::deleteSelected() {
    const qint64 key = selectedKey();
    if (key == 0) return;
    if (Dialogs::question(this, QStringLiteral("Do you want to delete the selected")) !=
        QMessageBox::Yes)
        return;
    try {
        ScrollMessages(m_station).remove(key);
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    addFG();
}

} // namespace tv
