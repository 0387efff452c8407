#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tv {

class Station;

// The ticker messages (tblscroll): the rows the message list shows, finding
// and deleting them, and the one record the editor loads and saves. The board
// reads positions 1 and 5 to 9 of the active rows (text, font, size, colour,
// bold, italic), so a saved record always fills them.
class ScrollMessages final {
public:
    explicit ScrollMessages(Station& station) : m_station(station) {}

    struct Row {
        qint64 scrollAuto = 0;
        QString message;
        bool active = false;
        QString direction;
    };
    // The messages in the order they were made. `activeOnly` is what the
    // list's "Show All" box asks for when ticked.
    QList<Row> rows(bool activeOnly);
    // The messages whose text holds `text`, whatever the letter case. The
    // text is taken as typed: "%", "_", "'" and "\" are plain characters.
    QList<Row> find(const QString& text, bool activeOnly);
    void remove(qint64 scrollAuto);

    // What the editor loads; a field that cannot be read is left out, so its
    // control keeps what it showed.
    struct Stored {
        bool found = false;
        std::optional<QString> msgrtf;
        std::optional<bool> active;
        std::optional<QString> direction;
        std::optional<QString> message;
        std::optional<QString> font;
        std::optional<QString> size; // as the size list shows it: "20", "10.5"
        std::optional<quint32> color;
    };
    Stored getheadDetails(qint64 scrollAuto);

    struct Message {
        QString message;
        QString rtf;
        bool active = true;
        QString font;
        double size = 20;
        quint32 color = 0;
        bool bold = false;
        bool italic = false;
        QString direction = QStringLiteral("Left");
    };
    enum class Outcome {
        Changed,    // the row `scrollAuto` was changed
        Added,      // a new row was added
        AddedAgain, // the row had been deleted meanwhile: added as a new one
    };
    struct Saved {
        Outcome outcome = Outcome::Added;
        qint64 scrollAuto = 0;
    };
    // Changes the row `scrollAuto` when `editMode`, else adds a row.
    Saved save(const Message& message, bool editMode, qint64 scrollAuto);

    // The LIKE pattern that finds `text` anywhere, with "\" as escape.
    static QString containsPattern(const QString& text);

private:
    QList<Row> rowsOf(const QString& sql, const QVariantList& binds);

    Station& m_station;
};

} // namespace tv
