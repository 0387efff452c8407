#pragma once

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace tv {

class FlexGrid;
class ScrollEditor;
class Station;

// The list of ticker messages ("Scroll News"): finds, deletes, and opens the
// editor for a new message or the selected one. Refreshed whenever the
// editor closes, so it always shows what is stored.
class ScrollList final : public QWidget {
    Q_OBJECT

public:
    explicit ScrollList(Station& station, QWidget* parent = nullptr);

    FlexGrid* grid() const { return m_fg; }
    // The open editor, if any.
    ScrollEditor* editor() const;

    void addFG();
    void findMessages();
    void addNew();
    void editSelected();
    void deleteSelected();

signals:
    // The editor's "Exit": the whole program ends.
    void programEndRequested();

private:
    void setFG();
    template <typename Rows> void fill(const Rows& rows);
    qint64 selectedKey() const;
    ScrollEditor* showEditor(bool editMode, qint64 key);

    Station& m_station;
    FlexGrid* m_fg;
    QLineEdit* m_txtFind;
    QCheckBox* m_chkActive;
    QPointer<ScrollEditor> m_editor;
};

} // namespace tv
