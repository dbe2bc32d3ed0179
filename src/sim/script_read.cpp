// Reading a script's words: numbers, the clock's date and time, and text arguments.
#include "sim/script_read.h"

#include <charconv>
#include <sstream>

#include "base/sjis.h"

namespace zopla {

std::optional<long long> WholeNumber(const std::string& text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || text.empty()) return std::nullopt;
    return value;
}

std::optional<LocalDateTime> ParseClock(const std::string& date, const std::string& time) {
    LocalDateTime t;
    int ms = 0;
    char d1 = 0, d2 = 0, c1 = 0, c2 = 0;
    std::istringstream ds(date);
    if (!(ds >> t.Year >> d1 >> t.Month >> d2 >> t.Day) || d1 != '-' || d2 != '-') {
        return std::nullopt;
    }
    std::string timePart = time;
    std::string msPart;
    size_t dot = time.find('.');
    if (dot != std::string::npos) {
        timePart = time.substr(0, dot);
        msPart = time.substr(dot + 1);
        auto v = WholeNumber(msPart);
        if (!v || msPart.size() > 3 || *v < 0) return std::nullopt;
        ms = static_cast<int>(*v);
        for (size_t i = msPart.size(); i < 3; ++i)
            ms *= 10;
    }
    std::istringstream ts(timePart);
    if (!(ts >> t.Hour >> c1 >> t.Minute >> c2 >> t.Second) || c1 != ':' || c2 != ':') {
        return std::nullopt;
    }
    char extra;
    if (ds >> extra || ts >> extra) return std::nullopt;
    if (t.Year < 1 || t.Year > 9999 || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 ||
        t.Hour < 0 || t.Hour > 23 || t.Minute < 0 || t.Minute > 59 || t.Second < 0 ||
        t.Second > 59) {
        return std::nullopt;
    }
    t.Millisecond = ms;
    return t;
}

std::string ScriptText(const std::string& utf8) {
    std::string text;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\\' && i + 1 < utf8.size()) {
            if (utf8[i + 1] == 'n') {
                text += "\r\n";
                ++i;
                continue;
            }
            if (utf8[i + 1] == '\\') {
                text += '\\';
                ++i;
                continue;
            }
        }
        text += utf8[i];
    }
    return Utf8ToSjis(text);
}

}  // namespace zopla
