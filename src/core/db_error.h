#pragma once

#include <QString>
#include <stdexcept>

namespace tv {

// An error of the database or of the data layer. It carries the text a screen
// shows in its message box, exactly as the engine or the layer worded it, and
// what kind of failure it was, told by the engine's error code (never by the
// words, which change with the server's language).
class DbError : public std::runtime_error {
public:
    enum class Kind {
        Other,
        UniqueViolation, // a row with the same unique key exists
        Busy,            // another writer held the database too long
    };

    explicit DbError(const QString& description, Kind kind = Kind::Other)
        : std::runtime_error(description.toStdString()), m_description(description), m_kind(kind) {}
    const QString& description() const { return m_description; }
    Kind kind() const { return m_kind; }
    bool isUniqueViolation() const { return m_kind == Kind::UniqueViolation; }

private:
    QString m_description;
    Kind m_kind;
};

} // namespace tv
