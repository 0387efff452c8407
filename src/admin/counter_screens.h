#pragma once

#include "master_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tv {

// The counter list, by counter name.
class CounterListWindow final : public MasterListWindow {
    Q_OBJECT

public:
    explicit CounterListWindow(Station& station, QWidget* parent = nullptr);
    // Delete: asked first; a counter that attended any ticket stays.
    void Command2_Click() override;

protected:
    void setFG() override;
    QList<QStringList> rows() override;
    MasterEditWindow* createEditWindow() override;
};

// One counter: its service, names, operator login and active flag. The
// password boxes start empty; left empty, an edited counter keeps its password.
class CounterEditWindow final : public MasterEditWindow {
    Q_OBJECT

public:
    explicit CounterEditWindow(Station& station, QWidget* parent = nullptr);
    void getData() override;
    // Fills the service box with the active services.
    void addServ();

protected:
    QString saveData() override;

private:
    QLineEdit* m_txtName;
    QLineEdit* m_txtDesc;
    QLineEdit* m_txtUser;
    QLineEdit* m_txtPass;
    QLineEdit* m_txtPass1;
    QComboBox* m_cmbServ;
    QCheckBox* m_chkActive;
};

} // namespace tv
