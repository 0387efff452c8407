#pragma once

#include "theme_fields.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace tv {

class Station;

// The themes in the database: the editor's load and save of one tbltheme
// row, the theme list and its delete. Texts travel in the order of
// theme::fields(). Database failures reach the caller as DbError.
class ThemeOps final {
public:
    explicit ThemeOps(Station& station) : m_station(station) {}

    static inline const QString themeGone =
        QStringLiteral("This theme is no longer in the database (deleted at another station). "
                       "Use \"Add New\" and Save to keep what the fields hold.");

    // getData: the theme `ref` as field texts; a column that cannot be read
    // (NULL) is nullopt, and nothing at all when there is no such theme.
    struct Loaded {
        bool found = false;
        QList<std::optional<QString>> values;
    };
    Loaded getData(const QString& ref);

    // Save steps 2 to 4: the checks in order (column widths, name, then that
    // every number can be used), then updateData for a theme `ref`, else
    // saveData. Returns the message to show, "" when saved; *key is the theme
    // saved.
    QString save(const QString& ref, const QStringList& texts, qint64* key = nullptr);
    qint64 saveData(const QStringList& texts);
    // False when the theme is gone.
    bool updateData(qint64 key, const QStringList& texts);

    // The value a field's text is written as: text as it is, numbers as
    // numbers (empty is NULL), flags 0 or 1, colours as colour values.
    static QVariant stored(const theme::Field& field, const QString& text);
    // The text a field shows for a stored value; nullopt for NULL.
    static std::optional<QString> shown(const theme::Field& field, const QVariant& value);

    // The theme list (addFG): key, running number, type, name per theme.
    QList<QStringList> addFG();

    // What stays behind when a theme goes: its position and header rows,
    // whether this station keeps a counter list for it and whether this
    // station's display uses it.
    struct Usage {
        QString name;
        int positionRows = 0;
        int headerRows = 0;
        bool counterList = false;
        bool stationTheme = false;
    };
    Usage usage(qint64 key);
    // "Do you want to delete the selected " and what belongs to the theme.
    static QString deleteQuestion(const Usage& usage);
    void remove(qint64 key);

    // A theme key held as text (lblRef, a grid cell); nothing for junk.
    static std::optional<qint64> keyOf(const QString& text);

private:
    void write(class RecordSet& rs, const QStringList& texts);

    Station& m_station;
};

} // namespace tv
