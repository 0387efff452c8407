#include "station_settings.h"

namespace tv {

namespace {
QString s(const char* text) {
    return QString::fromUtf8(text);
}
} // namespace

QString StationSettings::text(const SettingKey& k) const {
    return m_store.read(s(k.application), s(k.section), s(k.key), s(k.defaultValue));
}

QString StationSettings::text(const SettingKey& k, const QString& readerDefault) const {
    return m_store.read(s(k.application), s(k.section), s(k.key), readerDefault);
}

int StationSettings::number(const SettingKey& k) const {
    return number(k, SettingsStore::toNumber(s(k.defaultValue)).value_or(0));
}

int StationSettings::number(const SettingKey& k, int readerDefault) const {
    return m_store.readNumber(s(k.application), s(k.section), s(k.key), readerDefault);
}

void StationSettings::set(const SettingKey& k, const QString& value) {
    m_store.write(s(k.application), s(k.section), s(k.key), value);
}

QString StationSettings::counterList(int themeNo) const {
    return m_store.read(QStringLiteral("Q"), QStringLiteral("CounterList"),
                        QString::number(themeNo), QString());
}

void StationSettings::setCounterList(int themeNo, const QString& keys) {
    m_store.write(QStringLiteral("Q"), QStringLiteral("CounterList"), QString::number(themeNo),
                  keys);
}

const QList<SettingKey>& StationSettings::allKeys() {
    using namespace keys;
    static const QList<SettingKey> all{
        SqlHost,         SqlDatabase,  SqlUser,        SqlPassword,       SqlAuthentication,
        LoginRemember,   LoginType,    LoginName,      LoginPass,         LoginCounter,
        DisplayAuto,     ThemeName,    ThemeScroll,    ThemeScreen,       ThemeCut,
        ScrollSpeed,     VoiceFormat1, VoiceFormat2,   TicketScreen,      TicketTransfer,
        PrintCopies,     PrinterName,  PrinterRow,     VideoIn,           VideoSource,
        PictureDuration, ShowBoth,     ShortcutEnable, EditorScrollSpeed, WebAddress,
    };
    return all;
}

} // namespace tv
