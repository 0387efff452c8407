#include "theme_list_window.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "theme_editor.h"
#include "theme_ops.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

using controls::button;

ThemeListWindow::ThemeListWindow(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station), m_fg(new FlexGrid(this)) {
    setObjectName(QStringLiteral("frmThLst"));
    setWindowTitle(QStringLiteral("Theme List"));
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    auto* add = button(this, "Command1", QStringLiteral("&Add New"));
    auto* edit = button(this, "Command2", QStringLiteral("&Edit"));
    auto* del = button(this, "Command3", QStringLiteral("&Delete"));
    auto* close = button(this, "Command4", QStringLiteral("&Close"));
    connect(add, &QPushButton::clicked, this, &ThemeListWindow::Command1_Click);
    connect(edit, &QPushButton::clicked, this, &ThemeListWindow::Command2_Click);
    connect(del, &QPushButton::clicked, this, &ThemeListWindow::Command3_Click);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fg, &FlexGrid::cellDoubleClicked, this, [this](int row, int) {
        if (row < 1) return;
        m_fg->setRow(row);
        Command2_Click();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {add, edit, del, close})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fg, 1);
    layout->addLayout(buttons);
    resize(680, 400);

    m_station.openConnection();
    addFG();
}

ThemeListWindow::~ThemeListWindow() {
    // The editor is a window of its own; it goes with the list.
    delete m_editor.data();
}

void ThemeListWindow::setFG() {
    m_fg->setCols(6);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->resetRows(1);
    const int widths[] = {1, 500, 2000, 2000, 4000, -1};
    const char* heads[] = {"", "SN", "Type", "Template Name", "", ""};
    for (int c = 0; c < 6; ++c) {
        m_fg->setColWidth(c, widths[c]);
        m_fg->setTextMatrix(0, c, QLatin1String(heads[c]));
    }
}

void ThemeListWindow::addFG() {
    setFG();
    try {
        const QList<QStringList> rows = ThemeOps(m_station).addFG();
        m_fg->setRedraw(false);
        m_fg->setRows(static_cast<int>(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows.at(r).size(); ++c)
                m_fg->setTextMatrix(r + 1, c, rows.at(r).at(c));
        m_fg->setRedraw(true);
    } catch (const DbError& e) {
        m_fg->setRedraw(true);
        Dialogs::message(this, e.description());
    }
}

QString ThemeListWindow::selectedKey() const {
    const int row = m_fg->row();
    if (row < 1 || row >= m_fg->rows()) return {};
    return m_fg->textMatrix(row, 0);
}

ThemeEditor* ThemeListWindow::existingEditor() const {
    return m_editor;
}

ThemeEditor* ThemeListWindow::editor() {
    if (!m_editor) {
        // Not a child of the list's frame: the editor is a window of its own.
        m_editor = new ThemeEditor(m_station);
        connect(m_editor, &ThemeEditor::saved, this, &ThemeListWindow::addFG);
    }
    return m_editor;
}

void ThemeListWindow::Command1_Click() {
    ThemeEditor* e = editor();
    e->addNew();
    e->show();
    e->raise();
}

void ThemeListWindow::Command2_Click() {
    const QString key = selectedKey();
    if (key.isEmpty()) return;
    ThemeEditor* e = editor();
    e->setRef(key);
    e->getData();
    e->show();
    e->raise();
}

void ThemeListWindow::Command3_Click() {
    const auto key = ThemeOps::keyOf(selectedKey());
    if (!key) return;
    try {
        ThemeOps ops(m_station);
        if (Dialogs::question(this, ThemeOps::deleteQuestion(ops.usage(*key))) != QMessageBox::Yes)
            return;
        ops.remove(*key);
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return;
    }
    addFG();
}

} // namespace tv
