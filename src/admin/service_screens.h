#pragma once

#include "master_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tv {

// The service list.
class ServiceListWindow final : public MasterListWindow {
    Q_OBJECT

public:
    explicit ServiceListWindow(Station& station, QWidget* parent = nullptr);
    // Delete: asked first; a service with any ticket stays.
    void Command2_Click() override;

protected:
    void setFG() override;
    QList<QStringList> rows() override;
    MasterEditWindow* createEditWindow() override;
};

// One service: its department, name, description, token numbering and prefix.
class ServiceEditWindow final : public MasterEditWindow {
    Q_OBJECT

public:
    explicit ServiceEditWindow(Station& station, QWidget* parent = nullptr);
    void getData() override;
    // Fills the department box with the active departments.
    void addDept();

protected:
    QString saveData() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cleanPrefix();

    QComboBox* m_cmbDept;
    QLineEdit* m_txtServ;
    QLineEdit* m_txtDesc;
    QLineEdit* m_txtNo;
    QLineEdit* m_txtEnd;
    QLineEdit* m_txtAbr;
    QCheckBox* m_chkActive;
};

} // namespace tv
