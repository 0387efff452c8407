#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace tv {

// The station's settings: values addressed by application, section and key,
// each a text. Names compare without regard to case ("Queue" and "queue" are the
// same application). A missing key reads as the default the reader passes.
// Every write reaches the file at once, so a station that dies keeps what it saved.
class SettingsStore final {
public:
    explicit SettingsStore(const QString& iniFile);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString fileName() const;

    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue = {}) const;
    // Reads a number; a missing value, or one that is not a number, gives the default.
    int readNumber(const QString& application, const QString& section, const QString& key,
                   int defaultValue) const;
    bool contains(const QString& application, const QString& section, const QString& key) const;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value);
    void remove(const QString& application, const QString& section, const QString& key);

    // The number a text holds, as a settings reader sees it: surrounding blanks
    // are allowed, a fraction is rounded; anything else is no number.
    static std::optional<int> toNumber(const QString& text);

private:
    void sync();
    static QString path(const QString& application, const QString& section, const QString& key);
    std::unique_ptr<QSettings> m_settings;
};

} // namespace tv
