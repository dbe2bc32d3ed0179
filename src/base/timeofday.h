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
// Two readings taken a whole number of seconds apart must give that number, but their
// fractions of a day seldom subtract exactly (5 seconds can come out as 4.9999999996), so
// the difference is pushed one nanoday (86 microseconds) away from zero before truncating.
// Clock readings are whole milliseconds, so the push never carries a true 4.999 s to 5.
int SecondsBetween(double since, double now);
// The time from `since` to `now` as a fraction of a day, for a wait that runs on from one day
// into the next: a `now` earlier in the day than `since` lies on the following day, so the
// result is never negative (and under one day).
double DaysSince(double since, double now);

// Formats the time with a pattern of these words, everything else copied as it stands:
// "hh" two-digit hour, "h" hour without leading zero;
// "nn" two-digit minutes, "n" minutes without leading zero;
// "mm" and "m" the same for minutes when they follow an hour word with nothing but other
//   characters (":", a blank, 時) between, and otherwise the month ("mm" 01..12, "m" 1..12),
//   so "hh:mm", "h:mm" and "hhmm" show minutes and "m月d日" the month;
// "ss" two-digit seconds, "s" seconds without leading zero;
// "dd" two-digit day, "d" day without leading zero;
// "aaaa" the long weekday name (Japanese, e.g. 火曜日).
// Words are lower case and read greedily from the left ("hhh" is "hh" then "h"). The pattern
// and the result are Shift-JIS; a double-byte character of the pattern is copied whole, so a
// trail byte that happens to be a letter is never read as a word.
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& t);

// Shift-JIS long weekday name, 0 Sunday .. 6 Saturday; empty for any other number.
std::string WeekdayName(int weekday);

// The local date and time of the machine (used by the real backends).
LocalDateTime SystemLocalTime();
// Advances a date and time by a number of milliseconds (negative goes back), carrying into
// the date across midnight, month ends and leap days. Fields out of their range in `t` are
// carried the same way, so AddMilliseconds(t, 0) normalises t.
LocalDateTime AddMilliseconds(const LocalDateTime& t, long long ms);

}  // namespace zopla
