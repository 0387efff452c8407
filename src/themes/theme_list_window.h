#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;

namespace tv {

class FlexGrid;
class Station;
class ThemeEditor;

// The theme list (frmThLst, "Theme List"): every display theme with its
// type and name, the way into the theme editor, and deleting a theme.
class ThemeListWindow final : public QWidget {
    Q_OBJECT

public:
    explicit ThemeListWindow(Station& station, QWidget* parent = nullptr);
    ~ThemeListWindow() override;

    FlexGrid* grid() const { return m_fg; }
    // The one editor, made at first use and kept.
    ThemeEditor* editor();
    ThemeEditor* existingEditor() const;

    void setFG();
    // Fills the grid; a failure is shown.
    void addFG();
    void Command1_Click(); // &Add New
    void Command2_Click(); // &Edit (and a double click)
    void Command3_Click(); // &Delete

private:
    QString selectedKey() const;

    Station& m_station;
    FlexGrid* m_fg;
    QPointer<ThemeEditor> m_editor;
};

} // namespace tv
