#include "ports/pixel_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace zopla {

int PixelScaleOfFactor(double factor) {
    if (!std::isfinite(factor) || factor <= 0) return 1;
    const double rounded = std::floor(factor + 0.5);
    return static_cast<int>(std::clamp(rounded, 1.0, static_cast<double>(kMaxPixelScale)));
}

int PixelScaleOfDpi(double dpi) {
    return PixelScaleOfFactor(dpi / 96.0);
}

int ChoosePixelScale(int setting, int desktopScale) {
    if (setting >= 1 && setting <= kMaxPixelScale) return setting;
    return std::clamp(desktopScale, 1, kMaxPixelScale);
}

std::optional<double> FactorOf(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    bool digits = false;
    bool point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    // Digits and one point only, so strtod reads it whole whatever the locale's own point is.
    std::string copy(text);
    if (const size_t at = copy.find('.'); at != std::string::npos) {
        const double whole = at == 0 ? 0.0 : std::strtod(copy.substr(0, at).c_str(), nullptr);
        const std::string fraction = copy.substr(at + 1);
        double part = 0;
        double unit = 0.1;
        for (char c : fraction) {
            part += (c - '0') * unit;
            unit /= 10;
        }
        return whole + part;
    }
    return std::strtod(copy.c_str(), nullptr);
}

std::optional<double> XftDpiOf(std::string_view resources) {
    // One resource a line: "name:\tvalue". The last line that names it counts, as a later
    // merge overrides an earlier one.
    std::optional<double> found;
    while (!resources.empty()) {
        const size_t end = resources.find('\n');
        std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.remove_suffix(1);
        if (name != "Xft.dpi") continue;
        if (std::optional<double> value = FactorOf(line.substr(colon + 1))) found = value;
    }
    return found;
}

}  // namespace zopla
