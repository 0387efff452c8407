#pragma once

#include <QString>

namespace tv {

// The clock's format as themes store it, in the date format strings of the
// platform the themes come from ("dd-MMM-yyyy HH:mm", "hh:nn AM/PM",
// "dddd d mmmm"), turned into Qt's date-time format once.
//
// Day, year, hour and second letters keep their meaning; "M" is always the
// month; "m" is the minute right after an hour (or right before seconds) and
// the month anywhere else; "n" is always the minute; "AM/PM", "am/pm", "A/P",
// "AMPM" and "tt" make the hours 12-hour ones. Other letters and quoted text
// are shown as they stand.
struct ClockFormat {
    QString qtFormat;
    bool hasSeconds = false; // the clock must change every second, not every minute

    static ClockFormat convert(const QString& stored);
};

} // namespace tv
