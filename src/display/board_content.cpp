#include "board_content.h"

#include "core/db_error.h"
#include "core/recordset.h"

namespace tv {

TickerMessage TickerMessage::fromRecord(const RecordSet& rs) {
    TickerMessage m;
    const auto read = [&](auto&& step) {
        try {
            step();
        } catch (const DbError&) {
        }
    };
    read([&] { m.text = rs.textOrEmpty(1); });
    read([&] {
        if (!rs.textOrEmpty(5).isEmpty()) m.font = rs.text(5);
    });
    read([&] {
        const double size = rs.value(6).toDouble();
        if (size > 0 && size < 1000) m.size = size;
    });
    read([&] { m.colour = static_cast<quint32>(rs.number(7)); });
    read([&] { m.bold = rs.number(8) == 1; });
    read([&] { m.italic = rs.number(9) == 1; });
    return m;
}

} // namespace tv
