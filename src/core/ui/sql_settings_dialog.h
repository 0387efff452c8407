#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class Station;

// The connection dialog: where a station's database connection is entered,
// saved and tested.
class SqlSettingsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit SqlSettingsDialog(Station& station, QWidget* parent = nullptr);

    // Shows the station's one connection dialog (not modal), creating it on
    // first use; a second call brings the open one to the front.
    static SqlSettingsDialog* showFor(Station& station, QWidget* parent = nullptr);

    // From now on a failed connection of the station opens its dialog.
    static void attachTo(Station& station);

    void loadFromSettings();
    void save();
    void testConnection();

private:
    Station& m_station;
    QComboBox* m_combo1;
    QLineEdit* m_host;
    QLineEdit* m_data;
    QLineEdit* m_user;
    QLineEdit* m_pass;
    QLabel* m_reason;
};

} // namespace tv
