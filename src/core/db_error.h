#pragma once

#include <QString>
#include <stdexcept>

namespace tv {

// An error of the database or of the data layer. It carries the text a screen
// shows in its message box, exactly as the engine or the layer worded it.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description) {}
    const QString& description() const { return m_description; }

private:
    QString m_description;
};

} // namespace tv
