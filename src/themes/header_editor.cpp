#include "header_editor.h"

#include "core/db_error.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "header_ops.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tv {

HeaderEditor::HeaderEditor(Station& station, qint64 theme, int columns, QWidget* parent)
    : QWidget(parent, Qt::Window), m_station(station), m_theme(theme) {
    setObjectName(QStringLiteral("frmHeader"));
    setWindowTitle(QStringLiteral("Header"));
    try {
        HeaderOps(m_station).getData(theme, m_stored);
    } catch (const DbError& e) {
        m_stored = QStringList(HeaderOps::captionCount, QString());
        Dialogs::message(this, e.description());
    }
    auto* note = new QLabel(QStringLiteral("Captions of the list's columns on the board. Once "
                                           "saved they take the place of Column1 and Column2."),
                            this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    const int n = std::clamp(columns, 1, HeaderOps::captionCount);
    for (int i = 0; i < n; ++i) {
        auto* box = new QLineEdit(m_stored.value(i), this);
        box->setObjectName(QStringLiteral("txtHdr%1").arg(i + 1));
        form->addRow(QStringLiteral("Column %1").arg(i + 1), box);
        m_boxes.append(box);
    }
    auto* saveButton = controls::button(this, "cmdSave", QStringLiteral("Save"));
    auto* closeButton = controls::button(this, "cmdClose", QStringLiteral("Close"));
    connect(saveButton, &QPushButton::clicked, this, &HeaderEditor::save);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
}

bool HeaderEditor::save() {
    QStringList captions = m_stored;
    for (int i = 0; i < m_boxes.size(); ++i)
        captions[i] = m_boxes.at(i)->text();
    try {
        HeaderOps(m_station).saveData(m_theme, captions, static_cast<int>(m_boxes.size()));
    } catch (const DbError& e) {
        // What was typed stays, to be saved again.
        Dialogs::message(this, e.description());
        return false;
    }
    emit saved();
    close();
    return true;
}

} // namespace tv
