#pragma once

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace tv {

class FlexGrid;
class Station;

// The list of one day's start numbers.
class ServiceNoList final : public QWidget {
    Q_OBJECT

public:
    explicit ServiceNoList(Station& station, QWidget* parent = nullptr);
    FlexGrid* grid() const { return m_fg; }
    QDateEdit* dateBox() const { return m_dt; }
    void addFG();
    // Opens the edit dialog for grid row `row` (nothing for the heading or an empty key).
    void editRow(int row);
    void addEntry();

private:
    void setFG();
    void openEditor(const QString& key);

    Station& m_station;
    FlexGrid* m_fg;
    QDateEdit* m_dt;
};

// Adds or changes one start number entry.
class ServiceNoEdit final : public QDialog {
    Q_OBJECT

public:
    explicit ServiceNoEdit(Station& station, QWidget* parent = nullptr);
    // The key of the entry being changed; "" for a new one.
    QString ref() const;
    void setRef(const QString& key);
    void getData();
    // Saves and, when saved, closes; returns whether it saved.
    bool saveData();

signals:
    void saved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Station& m_station;
    QComboBox* m_cmbServ;
    QDateEdit* m_dt;
    QLineEdit* m_txtNo;
    QCheckBox* m_chkActive;
    QLabel* m_lblRef;
};

} // namespace tv
