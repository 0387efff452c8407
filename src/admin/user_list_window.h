#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace tv {

class Station;

// The administrators' accounts: the list, a new user's name, password and
// type, and removing the user last clicked (never the last one).
class UserListWindow final : public QWidget {
    Q_OBJECT

public:
    explicit UserListWindow(Station& station, QWidget* parent = nullptr);

    // Fills the list (getusers).
    void getusers();
    // Add: checks, adds, refills the list and empties the boxes.
    void Command1_Click();
    // Delete of the user last clicked.
    void Command3_Click();
    // The key kept from the last click in the list ("" before any).
    QString keptKey() const { return m_tag; }

private:
    void lstUserClick();
    void clear();

    Station& m_station;
    QListWidget* m_lstUser;
    QLineEdit* m_text1;
    QLineEdit* m_text2;
    QComboBox* m_combo1;
    QString m_tag;
    bool m_filling = false;
};

} // namespace tv
