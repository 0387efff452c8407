#pragma once

#include "settings_store.h"

#include <QList>
#include <QString>

namespace tv {

// One key of the station's settings with the default its readers use.
struct SettingKey {
    const char* application;
    const char* section;
    const char* key;
    const char* defaultValue;
};

// Every key the program reads or writes, in one table. Readers that use another
// default than the table's (the stock theme name differs between screens) pass it.
namespace keys {
inline constexpr SettingKey SqlHost{"Queue", "Sql", "host", ""};
inline constexpr SettingKey SqlDatabase{"Queue", "Sql", "database", ""};
inline constexpr SettingKey SqlUser{"Queue", "Sql", "user", ""};
inline constexpr SettingKey SqlPassword{"Queue", "Sql", "password", ""};
inline constexpr SettingKey SqlAuthentication{"Queue", "Sql", "aut", "SQL Authentication"};
inline constexpr SettingKey LoginRemember{"Queue", "Login", "Rem", "0"};
inline constexpr SettingKey LoginType{"Queue", "Login", "type", "optAdmin"};
inline constexpr SettingKey LoginName{"Queue", "Login", "Name", ""};
inline constexpr SettingKey LoginPass{"Queue", "Login", "Pass", ""};
inline constexpr SettingKey LoginCounter{"Queue", "Login", "Counter", ""};
inline constexpr SettingKey DisplayAuto{"Queue", "Display", "Auto", "0"};
inline constexpr SettingKey ThemeName{"Queue", "theme", "theme", "HR1"};
inline constexpr SettingKey ThemeScroll{"Queue", "theme", "scroll", "0"};
inline constexpr SettingKey ThemeScreen{"Queue", "theme", "screen", "Single"};
inline constexpr SettingKey ThemeCut{"Queue", "theme", "cut", "F"};
inline constexpr SettingKey ScrollSpeed{"queue", "scroll", "speed", "30"};
inline constexpr SettingKey VoiceFormat1{"queue", "scroll", "vsFormat1", ""};
inline constexpr SettingKey VoiceFormat2{"queue", "scroll", "vsFormat2", ""};
inline constexpr SettingKey TicketScreen{"queue", "Ticket", "screen", "Normal"};
inline constexpr SettingKey TicketTransfer{"queue", "Ticket", "transfer", ""};
inline constexpr SettingKey PrintCopies{"queue", "print", "nos", "1"};
inline constexpr SettingKey PrinterName{"queue", "printer", "name", ""};
inline constexpr SettingKey PrinterRow{"queue", "printer", "row", "500"};
inline constexpr SettingKey VideoIn{"Queue", "Video", "VideoIn", "0"};
inline constexpr SettingKey VideoSource{"Queue", "Video", "Source", "-1"};
inline constexpr SettingKey PictureDuration{"Queue", "Pic", "Duration", "5"};
inline constexpr SettingKey ShowBoth{"queue", "show", "both", "0"};
inline constexpr SettingKey ShortcutEnable{"queue", "shortcut", "enable", "1"};
inline constexpr SettingKey EditorScrollSpeed{"display", "scroll", "speed", "30"};
// The hall's public web address ("https://queue.example.org"): set, the ticket
// carries a QR code of the visitor's status page under it.
inline constexpr SettingKey WebAddress{"queue", "web", "address", ""};
} // namespace keys

// The station's settings with the key table on top of the store.
class StationSettings final {
public:
    explicit StationSettings(const QString& iniFile) : m_store(iniFile) {}

    SettingsStore& store() { return m_store; }
    const SettingsStore& store() const { return m_store; }

    QString text(const SettingKey& k) const;
    QString text(const SettingKey& k, const QString& readerDefault) const;
    // The stored number; a missing or malformed value gives the key's default
    // (or the reader's own default), so a hand-edited file never stops a station.
    int number(const SettingKey& k) const;
    int number(const SettingKey& k, int readerDefault) const;
    void set(const SettingKey& k, const QString& value);
    void set(const SettingKey& k, int value) { set(k, QString::number(value)); }

    // "Q"/"CounterList"/<theme number>: the counters a theme's display shows.
    QString counterList(int themeNo) const;
    void setCounterList(int themeNo, const QString& keys);

    static const QList<SettingKey>& allKeys();

private:
    SettingsStore m_store;
};

} // namespace tv
