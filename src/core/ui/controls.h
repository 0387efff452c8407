#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tv::controls {

// A button with its system name; Enter in a form never presses it by accident.
inline QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// A label with its system name.
inline QLabel* label(QWidget* parent, const char* name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// A text box with its system name.
inline QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text = {}) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

} // namespace tv::controls
