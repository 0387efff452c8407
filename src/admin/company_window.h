#pragma once

#include <QWidget>

class QLineEdit;

namespace tv {

class Station;

// The company name and address that head every ticket.
class CompanyWindow final : public QWidget {
    Q_OBJECT

public:
    explicit CompanyWindow(Station& station, QWidget* parent = nullptr);
    // Save: stored and closed, or the message and the window stays.
    bool Command1_Click();

private:
    Station& m_station;
    QLineEdit* m_txtName;
    QLineEdit* m_txtAdd;
};

} // namespace tv
