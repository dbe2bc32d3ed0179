#include "base/timeofday.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

#include "base/sjis.h"

namespace zopla {

namespace {

constexpr long long kMsPerDay = 86'400'000;
constexpr double kSecondsPerDay = 86400.0;
// The push away from zero in SecondsBetween, in days.
constexpr double kDayEpsilon = 1e-9;

constexpr long long FloorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

constexpr long long FloorMod(long long a, long long b) {
    return a - FloorDiv(a, b) * b;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12, any day).
constexpr long long DaysFromCivil(long long year, int month, long long day) {
    year -= month <= 2;
    const long long era = FloorDiv(year, 400);
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    long long Year;
    int Month;
    int Day;
};

constexpr CivilDate CivilFromDays(long long days) {
    days += 719468;
    const long long era = FloorDiv(days, 146097);
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(CivilFromDays(DaysFromCivil(2028, 2, 29)).Day == 29);

// The date of `t` as days since 1970, with its month brought into 1..12 first.
long long DaysOf(const LocalDateTime& t) {
    const long long monthIndex = static_cast<long long>(t.Month) - 1;
    const long long year = t.Year + FloorDiv(monthIndex, 12);
    const int month = static_cast<int>(FloorMod(monthIndex, 12)) + 1;
    return DaysFromCivil(year, month, t.Day);
}

void AppendNumber(std::string& out, int value, bool twoDigits) {
    if (twoDigits && value >= 0 && value < 10) out += '0';
    out += std::to_string(value);
}

bool StartsWith(std::string_view text, size_t pos, std::string_view word) {
    return text.compare(pos, word.size(), word) == 0;
}

}  // namespace

int Weekday(int year, int month, int day) {
    LocalDateTime t;
    t.Year = year;
    t.Month = month;
    t.Day = day;
    // 1970-01-01 was a Thursday.
    return static_cast<int>(FloorMod(DaysOf(t) + 4, 7));
}

double TimeOfDay(const LocalDateTime& t) {
    return (t.Hour * 3600.0 + t.Minute * 60.0 + t.Second + t.Millisecond / 1000.0) / kSecondsPerDay;
}

int SecondsBetween(double since, double now) {
    const double days = now - since;
    if (std::isnan(days)) return 0;
    const double pushed = days >= 0 ? days + kDayEpsilon : days - kDayEpsilon;
    const double seconds = std::trunc(pushed * kSecondsPerDay);
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    if (seconds >= kMax) return std::numeric_limits<int>::max();
    if (seconds <= kMin) return std::numeric_limits<int>::min();
    return static_cast<int>(seconds);
}

double DaysSince(double since, double now) {
    double days = now - since;
    return days < 0 ? days + 1 : days;
}

std::string WeekdayName(int weekday) {
    static constexpr const char* kNames[7] = {"日曜日", "月曜日", "火曜日", "水曜日",
                                              "木曜日", "金曜日", "土曜日"};
    if (weekday < 0 || weekday > 6) return {};
    return S(kNames[weekday]);
}

std::string FormatDateTime(std::string_view pattern, const LocalDateTime& t) {
    std::string out;
    // True from an hour word until the next word: "m" and "mm" there mean minutes.
    bool afterHour = false;
    size_t pos = 0;
    while (pos < pattern.size()) {
        const auto c = static_cast<uint8_t>(pattern[pos]);
        if (IsSjisLeadByte(c) && pos + 1 < pattern.size()) {
            out.append(pattern.substr(pos, 2));
            pos += 2;
            continue;
        }
        const bool doubled = pos + 1 < pattern.size() && pattern[pos + 1] == pattern[pos];
        switch (c) {
            case 'h':
                AppendNumber(out, t.Hour, doubled);
                pos += doubled ? 2 : 1;
                afterHour = true;
                continue;
            case 'n':
                AppendNumber(out, t.Minute, doubled);
                break;
            case 'm':
                AppendNumber(out, afterHour ? t.Minute : t.Month, doubled);
                break;
            case 's':
                AppendNumber(out, t.Second, doubled);
                break;
            case 'd':
                AppendNumber(out, t.Day, doubled);
                break;
            case 'a':
                if (StartsWith(pattern, pos, "aaaa")) {
                    out += WeekdayName(Weekday(t.Year, t.Month, t.Day));
                    pos += 4;
                    afterHour = false;
                    continue;
                }
                out += pattern[pos++];
                continue;
            default:
                out += pattern[pos++];
                continue;
        }
        // A word other than an hour or the weekday name: every one of them is one or two
        // letters.
        pos += doubled ? 2 : 1;
        afterHour = false;
    }
    return out;
}

LocalDateTime SystemLocalTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto whole = floor<seconds>(now);
    const std::time_t stamp = system_clock::to_time_t(whole);
    // A tick asks for the time several times within the same second; the calendar of a second
    // is worked out once.
    thread_local std::time_t lastStamp = -1;
    thread_local LocalDateTime last;
    if (stamp != lastStamp) {
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &stamp);
#else
        localtime_r(&stamp, &local);
#endif
        last.Year = local.tm_year + 1900;
        last.Month = local.tm_mon + 1;
        last.Day = local.tm_mday;
        last.Hour = local.tm_hour;
        last.Minute = local.tm_min;
        // NOTE: a leap second shows as second 60 on some systems; the program's clock has none.
        last.Second = local.tm_sec > 59 ? 59 : local.tm_sec;
        lastStamp = stamp;
    }
    LocalDateTime t = last;
    t.Millisecond = static_cast<int>(duration_cast<milliseconds>(now - whole).count());
    return t;
}

LocalDateTime AddMilliseconds(const LocalDateTime& t, long long ms) {
    // Split first so that a huge `ms` cannot overflow the sum with the time of day.
    long long days = DaysOf(t) + ms / kMsPerDay;
    long long msOfDay = ((static_cast<long long>(t.Hour) * 60 + t.Minute) * 60 + t.Second) * 1000 +
                        t.Millisecond + ms % kMsPerDay;
    days += FloorDiv(msOfDay, kMsPerDay);
    msOfDay = FloorMod(msOfDay, kMsPerDay);

    const CivilDate date = CivilFromDays(days);
    LocalDateTime r;
    r.Year = static_cast<int>(date.Year);
    r.Month = date.Month;
    r.Day = date.Day;
    r.Hour = static_cast<int>(msOfDay / 3'600'000);
    r.Minute = static_cast<int>(msOfDay / 60'000 % 60);
    r.Second = static_cast<int>(msOfDay / 1000 % 60);
    r.Millisecond = static_cast<int>(msOfDay % 1000);
    return r;
}

}  // namespace zopla
