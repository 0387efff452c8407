#pragma once

#include <QList>
#include <QString>

namespace tv {

class RecordSet;

// One ticker message as the board reads it from its record: the text and the
// look the editor gave the whole message.
struct TickerMessage {
    QString text;
    QString font = QStringLiteral("Arial");
    double size = 20;
    quint32 colour = 0xFFFFFF; // stored colour value, red in the low byte
    bool bold = false;
    bool italic = false;

    // The current row of a "select * from tblscroll" record set, by position:
    // 1 text, 5 font, 6 size, 7 colour, 8 bold, 9 italic. A value that cannot
    // be read keeps its default.
    static TickerMessage fromRecord(const RecordSet& rs);
};

} // namespace tv
