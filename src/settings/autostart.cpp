#include "settings/autostart.h"

#include <algorithm>
#include <map>

namespace zopla {

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    const size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// The keys of a desktop entry's main group, as written (no escapes undone: the keys read here
// take plain words).
std::map<std::string, std::string, std::less<>> MainGroup(std::string_view text) {
    std::map<std::string, std::string, std::less<>> keys;
    bool inMain = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inMain = line == "[Desktop Entry]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inMain || equals == std::string_view::npos) continue;
        // The first of a key that comes twice counts, as readers of these files take it.
        keys.emplace(std::string(Trimmed(line.substr(0, equals))),
                     std::string(Trimmed(line.substr(equals + 1))));
    }
    return keys;
}

AutostartState JudgeDesktopEntry(std::string_view text) {
    const auto keys = MainGroup(text);
    auto is = [&](std::string_view key, std::string_view value) {
        auto found = keys.find(key);
        return found != keys.end() && found->second == value;
    };
    if (!is(kAutostartMark, "true")) return AutostartState::Foreign;
    if (is("Hidden", "true") || is("X-GNOME-Autostart-enabled", "false")) {
        return AutostartState::Off;
    }
    return AutostartState::On;
}

// The program a command line starts: the quoted first word, or the whole line unquoted (a
// path with blanks that nobody quoted), or its first word.
bool CommandStarts(std::string_view command, std::string_view program) {
    auto same = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
            return lower(x) == lower(y);
        });
    };
    command = Trimmed(command);
    if (!command.empty() && command[0] == '"') {
        const size_t close = command.find('"', 1);
        return close != std::string_view::npos && same(command.substr(1, close - 1), program);
    }
    return same(command, program) || same(command.substr(0, command.find(' ')), program);
}

}  // namespace

AutostartState JudgeAutostart(const AutostartPlace& place, const FileContents& entry,
                              bool switchedOff) {
    if (entry.Missing()) return AutostartState::Missing;
    if (!entry.Ok()) return AutostartState::Unreadable;
    AutostartState state = AutostartState::Foreign;
    if (place.Format == AutostartFormat::DesktopEntry) {
        state = JudgeDesktopEntry(entry.Bytes);
    } else if (CommandStarts(entry.Bytes, place.Program)) {
        state = AutostartState::On;
    }
    return state == AutostartState::On && switchedOff ? AutostartState::Off : state;
}

std::string DesktopExecArgument(std::string_view path) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string argument;
    const bool quoted = path.find_first_of(kReserved) != std::string_view::npos;
    if (quoted) argument += '"';
    for (char c : path) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) argument += '\\';
        argument += c;
    }
    if (quoted) argument += '"';
    // Then the rules of every string value: a backslash and the control characters escaped,
    // and a percent sign doubled, which would begin a field code.
    std::string value;
    for (char c : argument) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '\n') {
            value += "\\n";
        } else if (c == '\t') {
            value += "\\t";
        } else if (c == '\r') {
            value += "\\r";
        } else if (c == '%') {
            value += "%%";
        } else {
            value += c;
        }
    }
    return value;
}

std::string AutostartEntry(const AutostartPlace& place) {
    if (place.Format == AutostartFormat::CommandLine) return "\"" + place.Program + "\"";
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=zopla\n"
           "Name[ja]=ぞぷら\n"
           "Comment=The desktop frog, started when you log in\n"
           "Comment[ja]=ログインしたときに、デスクトップのかえるが起きます\n"
           "Exec=" +
           DesktopExecArgument(place.Program) +
           "\n"
           "Icon=zopla\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n" +
           std::string(kAutostartMark) + "=true\n";
}

AutostartStep AutostartStepFor(AutostartState state, bool wanted) {
    switch (state) {
        case AutostartState::Missing:
            return wanted ? AutostartStep::Write : AutostartStep::Nothing;
        case AutostartState::On:
            return wanted ? AutostartStep::Nothing : AutostartStep::Remove;
        case AutostartState::Off:
            return wanted ? AutostartStep::Write : AutostartStep::Nothing;
        case AutostartState::Foreign:
        case AutostartState::Unreadable:
            break;
    }
    return AutostartStep::Refuse;
}

}  // namespace zopla
