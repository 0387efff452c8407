#pragma once

#include "master_list.h"

class QCheckBox;
class QLineEdit;

namespace tv {

// The department list. Its grid follows the window's size: the window's width
// less 50 twips, its height less 750 twips, the buttons below.
class DeptListWindow final : public MasterListWindow {
    Q_OBJECT

public:
    explicit DeptListWindow(Station& station, QWidget* parent = nullptr);
    // Delete: no question; a department with any service stays.
    void Command2_Click() override;

protected:
    void setFG() override;
    QList<QStringList> rows() override;
    MasterEditWindow* createEditWindow() override;
    void resizeEvent(QResizeEvent* event) override;
};

// One department: name, description, active.
class DeptEditWindow final : public MasterEditWindow {
    Q_OBJECT

public:
    explicit DeptEditWindow(Station& station, QWidget* parent = nullptr);
    void getData() override;

protected:
    QString saveData() override;

private:
    QLineEdit* m_txtDept;
    QLineEdit* m_txtDesc;
    QCheckBox* m_chkActive;
};

} // namespace tv
