#include "clock_chooser.h"

#include "clock_files.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "display/clock_widget.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

ClockChooser::ClockChooser(Station& station, const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(folder), m_fle(new QListWidget(this)),
      m_sf(new ClockWidget(this)), m_lblNote(new QLabel(this)) {
    setObjectName(QStringLiteral("frmclklst"));
    setWindowTitle(QStringLiteral("Select Clock"));
    m_fle->setObjectName(QStringLiteral("fle"));
    m_fle->addItems(clocks::files(folder));
    m_sf->setObjectName(QStringLiteral("SF"));
    m_sf->setMinimumSize(220, 220);
    m_sf->setTimeSource([&station] { return station.clock().now(); });
    m_sf->setTextStyle(font(), palette().color(QPalette::WindowText));
    m_sf->setFormat(QStringLiteral("hh:nn:ss"));
    m_lblNote->setObjectName(QStringLiteral("lblNote"));
    m_lblNote->setWordWrap(true);
    m_lblNote->setTextFormat(Qt::PlainText);
    if (m_fle->count() == 0)
        m_lblNote->setText(
            QStringLiteral("No clock files in %1").arg(QDir::toNativeSeparators(folder)));
    auto* selectButton = controls::button(this, "Command1", QStringLiteral("Select"));
    connect(selectButton, &QPushButton::clicked, this, &ClockChooser::select);
    connect(m_fle, &QListWidget::currentTextChanged, this, &ClockChooser::showFile);
    connect(m_fle, &QListWidget::itemDoubleClicked, this, &ClockChooser::select);

    auto* right = new QVBoxLayout;
    right->addWidget(m_sf, 1);
    right->addWidget(m_lblNote);
    auto* top = new QHBoxLayout;
    top->addWidget(m_fle);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(selectButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(520, 320);
}

QString ClockChooser::note() const {
    return m_lblNote->text();
}

void ClockChooser::showFile(const QString& name) {
    if (name.isEmpty()) return;
    QString why;
    if (m_sf->setClockFile(QDir(m_folder).filePath(name), &why))
        m_lblNote->clear();
    else
        m_lblNote->setText(why);
}

void ClockChooser::select() {
    const QListWidgetItem* item = m_fle->currentItem();
    emit chosen(item && item->isSelected() ? item->text() : QString());
    close();
}

} // namespace tv
