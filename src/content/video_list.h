#pragma once

#include "video_list_ops.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tv {

class FlexGrid;
class Station;

// "Select Video": one entry of the video list, new (an empty lblRef) or changed.
class VideoEdit final : public QWidget {
    Q_OBJECT

public:
    explicit VideoEdit(Station& station, QWidget* parent = nullptr);

    QString lblRef() const;
    // Starts from empty fields for a new entry, or loads entry `key`.
    void startNew();
    void getData(qint64 key);
    // Save: stores, then the list refreshes and the window closes.
    bool saveData();
    void browse();

signals:
    void saved();

private:
    Station& m_station;
    QLabel* m_lblRef;
    QLineEdit* m_txtName;
    QLineEdit* m_txtDesc;
    QCheckBox* m_chkActive;
};

// "Video List": the files the board plays in turn.
class VideoList final : public QWidget {
    Q_OBJECT

public:
    explicit VideoList(Station& station, QWidget* parent = nullptr);

    FlexGrid* grid() const { return m_fg; }
    VideoEdit* editor() const { return m_editor; }

    void setFG();
    void addFG();
    void addNew();
    void editSelected();
    void deleteSelected();

private:
    qint64 selectedKey() const;
    VideoEdit* showEditor();

    Station& m_station;
    FlexGrid* m_fg;
    QPointer<VideoEdit> m_editor;
};

} // namespace tv
