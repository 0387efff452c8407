#pragma once

#include "core/login_ops.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tv {

class Station;

// Changing the password of whoever is logged in: the counter operator from
// the counter screens, the administrator from the main window. Both windows
// look the same; the role decides the row and the caption.
class PasswordWindow final : public QWidget {
    Q_OBJECT

public:
    enum class Role { Counter, Admin };

    PasswordWindow(Station& station, Role role, QWidget* parent = nullptr);

    Role role() const { return m_role; }

    // The "Chanage" button (and Enter in the confirmation box). Shows the
    // outcome; closes the window once the password is changed.
    void change();

private:
    Role m_role;
    LoginOps m_ops;
    QLineEdit* m_txtOld;
    QLineEdit* m_text1;
    QLineEdit* m_text2;
    QPushButton* m_cmdChange;
};

} // namespace tv
