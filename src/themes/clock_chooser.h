#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace tv {

class ClockWidget;
class Station;

// The clock chooser (frmclklst, "Select Clock"): the clock files beside the
// program, the one clicked ticking in the preview, and Select to hand its
// name to the theme editor.
class ClockChooser final : public QWidget {
    Q_OBJECT

public:
    ClockChooser(Station& station, const QString& folder, QWidget* parent = nullptr);

    QListWidget* files() const { return m_fle; }
    ClockWidget* preview() const { return m_sf; }
    // Why the clicked file cannot be shown as a dial, "" when it can.
    QString note() const;
    // A click on a file: it plays in the preview.
    void showFile(const QString& name);
    // Select: the selected file's name ("" when none), then the chooser closes.
    void select();

signals:
    void chosen(const QString& name);

private:
    QString m_folder;
    QListWidget* m_fle;
    ClockWidget* m_sf;
    QLabel* m_lblNote;
};

} // namespace tv
