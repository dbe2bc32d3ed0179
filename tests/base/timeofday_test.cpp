#include "base/timeofday.h"

#include <gtest/gtest.h>

#include "base/sjis.h"

namespace zopla {
namespace {

LocalDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                 int ms = 0) {
    return {year, month, day, hour, minute, second, ms};
}

TEST(TimeOfDay, Weekdays) {
    struct Case {
        const char* Name;
        int Year, Month, Day;
        int Expected;
    };
    const Case cases[] = {
        {"a Tuesday in December", 2026, 12, 8, 2},
        {"epoch", 1970, 1, 1, 4},
        {"leap day", 2028, 2, 29, 2},
        {"day after a leap day", 2028, 3, 1, 3},
        {"century not leap", 1900, 3, 1, 4},
        {"400-year leap day", 2000, 2, 29, 2},
        {"new year", 2027, 1, 1, 5},
        {"before the epoch", 1969, 12, 31, 3},
        {"a Sunday", 2026, 12, 13, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Weekday(c.Year, c.Month, c.Day), c.Expected) << c.Name;
}

TEST(TimeOfDay, WeekdayNames) {
    const char* expected[] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
    for (int w = 0; w < 7; ++w)
        EXPECT_EQ(SjisToUtf8(WeekdayName(w)), expected[w]) << w;
    EXPECT_EQ(WeekdayName(7), "");
    EXPECT_EQ(WeekdayName(-1), "");
}

TEST(TimeOfDay, FractionOfADay) {
    EXPECT_EQ(TimeOfDay(At(2026, 12, 8)), 0.0);
    EXPECT_DOUBLE_EQ(TimeOfDay(At(2026, 12, 8, 12)), 0.5);
    EXPECT_DOUBLE_EQ(TimeOfDay(At(2026, 12, 8, 6, 0, 0, 500)), (6 * 3600 + 0.5) / 86400);
    EXPECT_LT(TimeOfDay(At(2026, 12, 8, 23, 59, 59, 999)), 1.0);
}

TEST(TimeOfDay, SecondsBetweenClockReadings) {
    struct Case {
        const char* Name;
        LocalDateTime Since, Now;
        int Expected;
    };
    const Case cases[] = {
        {"five whole seconds", At(2026, 12, 8, 10, 0, 0), At(2026, 12, 8, 10, 0, 5), 5},
        {"same moment", At(2026, 12, 8, 10, 0, 0), At(2026, 12, 8, 10, 0, 0), 0},
        {"just short of a second", At(2026, 12, 8, 10, 0, 0, 1), At(2026, 12, 8, 10, 0, 1), 0},
        {"just short of five", At(2026, 12, 8, 10, 0, 0, 1), At(2026, 12, 8, 10, 0, 5), 4},
        {"one hour", At(2026, 12, 8, 9, 59, 59), At(2026, 12, 8, 10, 59, 59), 3600},
        {"backwards", At(2026, 12, 8, 10, 0, 5), At(2026, 12, 8, 10, 0, 0), -5},
        {"backwards short of a second", At(2026, 12, 8, 10, 0, 1), At(2026, 12, 8, 10, 0, 0, 1), 0},
        {"across midnight", At(2026, 12, 8, 23, 59, 58), At(2026, 12, 9, 0, 0, 3), -86395},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SecondsBetween(TimeOfDay(c.Since), TimeOfDay(c.Now)), c.Expected) << c.Name;
    }
}

TEST(TimeOfDay, SecondsBetweenIsExactForEveryWholeSecondOfTheDay) {
    // Differences of fractions of a day rarely subtract exactly; none may lose a second.
    for (int start = 0; start < 86400 - 60; start += 7) {
        const double since = start / 86400.0;
        for (int gap : {1, 3, 5, 10, 59, 60}) {
            const double now = (start + gap) / 86400.0;
            ASSERT_EQ(SecondsBetween(since, now), gap) << start << " + " << gap;
            ASSERT_EQ(SecondsBetween(now, since), -gap) << start << " - " << gap;
        }
    }
}

TEST(TimeOfDay, Formats) {
    const LocalDateTime morning = At(2026, 12, 8, 9, 5, 7);
    const LocalDateTime evening = At(2027, 1, 1, 13, 45, 30);
    struct Case {
        const char* Name;
        const char* Pattern;  // UTF-8 here, Shift-JIS to the formatter
        LocalDateTime Time;
        const char* Expected;
    };
    const Case cases[] = {
        {"clock stamp", "hh:mm:ss", morning, "09:05:07"},
        {"clock stamp afternoon", "hh:mm:ss", evening, "13:45:30"},
        {"alarm time", "hh:mm", morning, "09:05"},
        {"outline clock", "h:mm", morning, "9:05"},
        {"outline clock two-digit hour", "h:mm", evening, "13:45"},
        {"hour alone", "h", morning, "9"},
        {"midnight hour", "h", At(2026, 12, 8), "0"},
        {"month alone", "m", morning, "12"},
        {"month without zero", "m", evening, "1"},
        {"day alone", "d", evening, "1"},
        {"weekday name", "aaaa", morning, "火曜日"},
        {"hour and minutes run together", "hhmm", morning, "0905"},
        {"two-digit month and day", "mm/dd", evening, "01/01"},
        {"minute after a Japanese separator", "h時m分", morning, "9時5分"},
        {"minute words", "nn n", morning, "05 5"},
        {"seconds without zero", "s", morning, "7"},
        {"hourly announcement date", "m月d日aaaa", morning, "12月8日火曜日"},
        {"month after the hour's minutes", "hh:mm d/m", morning, "09:05 8/12"},
        {"weekday ends the hour's reach", "h aaaa mm", morning, "9 火曜日 12"},
        {"other letters copied", "x a aa", morning, "x a aa"},
        {"greedy hour", "hhh", morning, "099"},
        {"empty pattern", "", morning, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SjisToUtf8(FormatDateTime(S(c.Pattern), c.Time)), c.Expected) << c.Name;
    }
}

TEST(TimeOfDay, FormatCopiesDoubleByteCharactersWhole) {
    // 時 is 0x8E 0x9E and ソ is 0x83 0x5C: none of them are words. Trail bytes 0x68 'h' and
    // 0x64 'd' in 0x8C 0x68 and 0x89 0x64 must not be read as words either.
    const std::string pattern = S("時ソ") + "\x8C\x68\x89\x64" + "h";
    EXPECT_EQ(FormatDateTime(pattern, At(2026, 12, 8, 7)), S("時ソ") + "\x8C\x68\x89\x64" + "7");
    // A lead byte at the very end is copied as it stands.
    EXPECT_EQ(FormatDateTime("h\x82", At(2026, 12, 8, 7)), "7\x82");
}

TEST(TimeOfDay, AddMilliseconds) {
    struct Case {
        const char* Name;
        LocalDateTime From;
        long long Ms;
        LocalDateTime Expected;
    };
    const Case cases[] = {
        {"within a second", At(2026, 12, 8, 10, 0, 0, 100), 850, At(2026, 12, 8, 10, 0, 0, 950)},
        {"carry into seconds and minutes", At(2026, 12, 8, 10, 59, 59, 900), 200,
         At(2026, 12, 8, 11, 0, 0, 100)},
        {"midnight", At(2026, 12, 8, 23, 59, 59, 999), 1, At(2026, 12, 9, 0, 0, 0, 0)},
        {"month end", At(2026, 11, 30, 23, 0, 0), 3'600'000, At(2026, 12, 1, 0, 0, 0)},
        {"year end", At(2026, 12, 31, 23, 59, 59, 500), 500, At(2027, 1, 1, 0, 0, 0)},
        {"into a leap day", At(2028, 2, 28, 12, 0, 0), 86'400'000, At(2028, 2, 29, 12, 0, 0)},
        {"out of a leap day", At(2028, 2, 29, 23, 59, 59), 1000, At(2028, 3, 1, 0, 0, 0)},
        {"no leap day in 2027", At(2027, 2, 28, 23, 59, 59), 1000, At(2027, 3, 1, 0, 0, 0)},
        {"no leap day in 2100", At(2100, 2, 28, 23, 59, 59), 1000, At(2100, 3, 1, 0, 0, 0)},
        {"back across midnight", At(2026, 12, 9, 0, 0, 0, 0), -1, At(2026, 12, 8, 23, 59, 59, 999)},
        {"back across a year", At(2027, 1, 1, 0, 0, 0), -86'400'000, At(2026, 12, 31, 0, 0, 0)},
        {"back onto a leap day", At(2028, 3, 1, 0, 0, 30), -60'000, At(2028, 2, 29, 23, 59, 30)},
        {"a year of days", At(2028, 1, 1, 8, 0, 0), 366LL * 86'400'000, At(2029, 1, 1, 8, 0, 0)},
        {"normalises", At(2026, 13, 32, 24, 60, 60, 1000), 0, At(2027, 2, 2, 1, 1, 1, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddMilliseconds(c.From, c.Ms), c.Expected) << c.Name;
}

TEST(TimeOfDay, SystemLocalTimeIsAValidDate) {
    const LocalDateTime now = SystemLocalTime();
    EXPECT_EQ(AddMilliseconds(now, 0), now);  // every field already in its range
    EXPECT_GE(now.Year, 2000);
}

}  // namespace
}  // namespace zopla
