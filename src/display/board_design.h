#pragma once

#include "core/recordset.h"

namespace tv {

class Station;

// Everything a board's look is made of: its theme row (tbltheme), its areas
// (tblpos) and its header captions (tblheader), each read as the stored row
// would be, by name or by position. A theme editor builds one from fields not
// saved yet, so a preview looks exactly as the saved theme will.
struct BoardDesign {
    RecordSet theme = RecordSet::detached({}, {});
    RecordSet pos = RecordSet::detached({}, {});
    RecordSet header = RecordSet::detached({}, {});

    // The stored design of theme `themeNo`; a part that cannot be read stays empty.
    static BoardDesign load(Station& station, int themeNo);
};

} // namespace tv
