#include "board_design.h"

#include "core/db_error.h"
#include "core/station.h"

namespace tv {

BoardDesign BoardDesign::load(Station& station, int themeNo) {
    BoardDesign d;
    const auto read = [&](RecordSet& out, const char* sql) {
        try {
            out = RecordSet(station.dbConnection, QLatin1String(sql), {themeNo});
        } catch (const DbError&) {
            // that part of the look stays as it was
        }
    };
    read(d.theme, "select * from tbltheme where themeauto=?");
    read(d.pos, "select * from tblpos where themeauto=?");
    read(d.header, "select * from tblheader where themeauto=?");
    return d;
}

} // namespace tv
