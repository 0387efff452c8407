#include "video_list.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

VideoEdit::VideoEdit(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), m_station(station) {
    setObjectName(QStringLiteral("frmVideo"));
    setWindowTitle(QStringLiteral("Select Video"));
    m_txtName = new QLineEdit(this);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    auto* browseButton = controls::button(this, "Command1", QStringLiteral("..."));
    m_txtDesc = new QLineEdit(this);
    m_txtDesc->setObjectName(QStringLiteral("txtDesc"));
    m_chkActive = new QCheckBox(QStringLiteral("Active"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    m_chkActive->setChecked(true);
    m_lblRef = controls::label(this, "lblRef");
    m_lblRef->hide();
    auto* save = controls::button(this, "Command2", QStringLiteral("Save"));

    auto* file = new QHBoxLayout;
    file->addWidget(m_txtName, 1);
    file->addWidget(browseButton);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Select Video"), file);
    form->addRow(QStringLiteral("Description"), m_txtDesc);
    form->addRow(QString(), m_chkActive);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(browseButton, &QPushButton::clicked, this, &VideoEdit::browse);
    connect(save, &QPushButton::clicked, this, &VideoEdit::saveData);
    resize(twips::toPixelsX(7000), sizeHint().height());
}

QString VideoEdit::lblRef() const {
    return m_lblRef->text();
}

void VideoEdit::startNew() {
    m_lblRef->clear();
    m_txtName->clear();
    m_txtDesc->clear();
    m_chkActive->setChecked(true);
}

void VideoEdit::getData(qint64 key) {
    startNew();
    m_lblRef->setText(QString::number(key));
    try {
        if (const auto e = VideoListOps(m_station).load(key)) {
            m_txtName->setText(e->file);
            m_txtDesc->setText(e->description);
            m_chkActive->setChecked(e->active);
        }
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

void VideoEdit::browse() {
    // The board plays pictures and the common video kinds.
    const QString file = Dialogs::openFileName(
        this, QStringLiteral("Select Video"),
        QStringLiteral("Video Files (*.avi *.dat *.mpg *.wmv *.jpg *.mp4 *.webm *.mkv *.mov "
                       "*.jpeg *.png *.gif);;All Files (*)"));
    if (!file.isEmpty()) m_txtName->setText(QDir::toNativeSeparators(file));
}

bool VideoEdit::saveData() {
    VideoListOps::Entry e;
    e.vidAuto = lblRef().toLongLong();
    e.file = m_txtName->text().trimmed();
    e.description = m_txtDesc->text();
    e.active = m_chkActive->isChecked();
    try {
        const QString message = VideoListOps(m_station).save(e);
        if (!message.isEmpty()) {
            Dialogs::message(this, message);
            return false;
        }
    } catch (const DbError& err) {
        // What was typed stays for another try.
        Dialogs::message(this, err.description());
        return false;
    }
    emit saved();
    close();
    return true;
}

VideoList::VideoList(Station& station, QWidget* parent) : QWidget(parent), m_station(station) {
    setObjectName(QStringLiteral("frmVideoLst"));
    setWindowTitle(QStringLiteral("Video List"));
    m_fg = new FlexGrid(this);
    m_fg->setObjectName(QStringLiteral("FG"));
    m_fg->setSelectMode(FlexGrid::SelectMode::ByRow);
    auto* add = controls::button(this, "Command4", QStringLiteral("&Add New"));
    auto* edit = controls::button(this, "Command1", QStringLiteral("&Edit"));
    auto* del = controls::button(this, "Command2", QStringLiteral("&Delete"));
    auto* close = controls::button(this, "Command3", QStringLiteral("&Close"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, edit, del})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fg, 1);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &VideoList::addNew);
    connect(edit, &QPushButton::clicked, this, &VideoList::editSelected);
    connect(del, &QPushButton::clicked, this, &VideoList::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fg, &FlexGrid::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 1) editSelected();
    });
    resize(twips::toPixelsX(9500), twips::toPixelsY(5500));
    m_station.openConnection();
    addFG();
}

void VideoList::setFG() {
    static const char* heads[] = {"", "SN", "Video Description", "Active", "", ""};
    static const int widths[] = {1, 500, 2000, 2000, 4000, -1};
    m_fg->setCols(6);
    m_fg->setFixedRows(1);
    m_fg->setFixedCols(0);
    m_fg->resetRows(1);
    for (int c = 0; c < 6; ++c) {
        m_fg->setColWidth(c, widths[c]);
        m_fg->setTextMatrix(0, c, QLatin1String(heads[c]));
    }
}

void VideoList::addFG() {
    setFG();
    QList<VideoListOps::Entry> entries;
    try {
        entries = VideoListOps(m_station).entries();
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return;
    }
    m_fg->setRows(static_cast<int>(entries.size()) + 1);
    for (int i = 0; i < entries.size(); ++i) {
        m_fg->setTextMatrix(i + 1, 0, QString::number(entries[i].vidAuto));
        m_fg->setTextMatrix(i + 1, 1, QString::number(i + 1));
        m_fg->setTextMatrix(i + 1, 2, entries[i].description);
        m_fg->setTextMatrix(i + 1, 3,
                            entries[i].active ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
}

qint64 VideoList::selectedKey() const {
    const int row = m_fg->row();
    if (row < 1 || row >= m_fg->rows()) return 0;
    return m_fg->textMatrix(row, 0).toLongLong();
}

VideoEdit* VideoList::showEditor() {
    if (!m_editor) {
        m_editor = new VideoEdit(m_station, this);
        m_editor->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_editor, &VideoEdit::saved, this, &VideoList::addFG);
    }
    m_editor->show();
    m_editor->raise();
    return m_editor;
}

void VideoList::addNew() {
    // Always a new entry: the editor forgets the entry it may still show.
    showEditor()->startNew();
}

void VideoList::editSelected() {
    const qint64 key = selectedKey();
    if (key == 0) return;
    showEditor()->getData(key);
}

void VideoList::deleteSelected() {
    if (Dialogs::question(this, QStringLiteral("Do you want to delete the selected")) !=
        QMessageBox::Yes)
        return;
    const qint64 key = selectedKey();
    if (key == 0) return;
    try {
        VideoListOps(m_station).remove(key);
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    addFG();
}

} // namespace tv
