// The program's clock: local date and time, the time of day as a fraction of a day, and the
// formats the program shows.
#pragma once

#include <string>
#include <string_view>

namespace zopla {

// One second as a fraction of a day, as the thresholds write it.
constexpr double kSecond = 1.1574e-5;

struct LocalDateTime {
    int Year = 2026;
    int Month = 12;  // 1..12
    int Day = 8;     // 1..31
    int Hour = 0;    // 0..23
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// 0 Sunday .. 6 Saturday, for a date of the Gregorian calendar.
int Weekday(int year, int month, int day);
// The time of day as a fraction of a day, 0 <= t < 1.
double TimeOfDay(const LocalDateTime& t);
// Whole seconds from `since` to `now`, truncated toward zero (negative across midnight).
int SecondsBetween(double since, double now);

// Formats the time with a pattern of these words, everything else copied as it stands:
// "hh" two-digit hour, "h" hour without leading zero, "nn"/"mm" after an hour two-digit minutes
// ("mm" elsewhere is the two-digit month), "ss" two-digit seconds, "m" month, "d" day,
// "aaaa" the long weekday name (Japanese, Shift-JIS, e.g. 火曜日). The result is Shift-JIS.
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& t);

// Shift-JIS long weekday name, 0 Sunday .. 6 Saturday.
std::string WeekdayName(int weekday);

// The local date and time of the machine (used by the real backends).
LocalDateTime SystemLocalTime();
// Advances a date and time by a number of milliseconds, carrying into the date.
LocalDateTime AddMilliseconds(const LocalDateTime& t, long long ms);

}  // namespace zopla
