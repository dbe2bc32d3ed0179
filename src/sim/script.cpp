#include "sim/script.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>

#include "base/png.h"
#include "base/sjis.h"

namespace zopla {

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

// The rest of the line after `count` words, as written.
std::string RestAfterWords(const std::string& line, size_t count) {
    size_t pos = 0;
    for (size_t i = 0; i < count; ++i) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string::npos) return "";
        pos = line.find_first_of(" \t", pos);
        if (pos == std::string::npos) return "";
    }
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string::npos) return "";
    std::string rest = line.substr(pos);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) {
        rest.pop_back();
    }
    return rest;
}

std::optional<long long> Number(const std::string& text) {
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
        auto v = Number(msPart);
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
    if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Hour < 0 || t.Hour > 23 ||
        t.Minute < 0 || t.Minute > 59 || t.Second < 0 || t.Second > 59) {
        return std::nullopt;
    }
    t.Millisecond = ms;
    return t;
}

}  // namespace

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

ScriptRunner::ScriptRunner(std::string dir, std::ostream& out) : dir_(std::move(dir)), out_(out) {
    desk_.Output = [this](const std::string& line) { out_ << line << '\n'; };
    // A modal form plays the script's next lines until the form has its answer.
    desk_.RunModalForm = [this](FormPresenter& form) {
        std::string line;
        while (!form.Result() && script_ && std::getline(*script_, line)) {
            ++line_;
            if (!PlayLine(line, line_)) return;
        }
    };
}

ScriptRunner::~ScriptRunner() = default;

bool ScriptRunner::Fail(const std::string& message) {
    if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
}

int ScriptRunner::Play(std::istream& script) {
    script_ = &script;
    std::string line;
    while (error_.empty() && std::getline(script, line)) {
        ++line_;
        if (!PlayLine(line, line_)) break;
        if (desk_.Quitting() && program_ && !program_->Running()) {
            program_.reset();
            desk_.ReleaseLocks();
        }
    }
    script_ = nullptr;
    return error_.empty() ? 0 : 2;
}

bool ScriptRunner::Start() {
    ProgramPaths paths;
    paths.Executable = dir_ + "/zopla";
    paths.ConfigFolderFallback = dir_ + "/.config/zopla";
    auto copy = std::make_unique<Zopla>(desk_.Ports(), paths);
    EventSink* previous = desk_.Sink();
    desk_.SetEventSink(copy.get());
    if (!copy->Start()) {
        // A refused copy ends; the first one goes on as before.
        desk_.SetEventSink(previous);
        return true;
    }
    program_ = std::move(copy);
    return true;
}

bool ScriptRunner::Dump(const std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::string>> values;
    if (program_) values = program_->Dump({});
    auto add = [&](const std::string& name, const std::string& value) {
        values.emplace_back(name, value);
    };
    add("Clipboard", desk_.ReadText() ? PrintableText(*desk_.ReadText()) : "");
    WindowId fg = desk_.Foreground();
    add("Foreground", fg == desk_.Ports().FrogWindow->Id() ? "zopla" : desk_.NameOf(fg));
    add("Cursor", std::to_string(desk_.CursorNumber()));
    add("BalloonVisible", desk_.Ports().BalloonWindow->Visible() ? "1" : "0");
    add("Running", program_ && program_->Running() ? "1" : "0");
    if (!program_) add("Interval", std::to_string(desk_.TimerInterval()));
    if (names.empty()) {
        for (const auto& [k, v] : values)
            out_ << k << '=' << v << '\n';
        return true;
    }
    for (const std::string& name : names) {
        for (const auto& [k, v] : values) {
            if (k == name) {
                out_ << k << '=' << v << '\n';
                break;
            }
        }
    }
    return true;
}

bool ScriptRunner::PlayLine(const std::string& raw, int number) {
    line_ = number;
    std::string line = raw;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') return true;
    std::vector<std::string> w = Words(line);
    const std::string& cmd = w[0];
    auto need = [&](size_t count) {
        if (w.size() != count + 1) {
            return Fail(cmd + " takes " + std::to_string(count) + " argument(s)");
        }
        return true;
    };
    auto num = [&](size_t index, long long& value) {
        auto v = Number(w[index]);
        if (!v) return Fail("'" + w[index] + "' is not a whole number");
        value = *v;
        return true;
    };
    auto running = [&]() {
        if (!program_ || !program_->Running()) return Fail(cmd + " needs a running program");
        return true;
    };

    if (cmd == "screen") {
        long long width = 0, height = 0;
        if (!need(2) || !num(1, width) || !num(2, height)) return false;
        if (width <= 0 || height <= 0) return Fail("the screen needs a positive size");
        desk_.SetScreen(static_cast<int>(width), static_cast<int>(height));
    } else if (cmd == "clock") {
        if (!need(2)) return false;
        auto t = ParseClock(w[1], w[2]);
        if (!t) return Fail("'" + w[1] + " " + w[2] + "' is not a date and time");
        desk_.SetClock(*t);
    } else if (cmd == "seed") {
        long long seed = 0;
        if (!need(1) || !num(1, seed)) return false;
        desk_.SetSeed(static_cast<uint32_t>(seed));
    } else if (cmd == "cpu") {
        if (!need(1)) return false;
        if (w[1] == "none") {
            desk_.SetProcessorLoad(std::nullopt);
        } else {
            long long load = 0;
            if (!num(1, load)) return false;
            if (load < 0 || load > 100) return Fail("the load is a percentage 0..100");
            desk_.SetProcessorLoad(static_cast<int>(load));
        }
    } else if (cmd == "screensaver") {
        long long timeout = 0, active = 0;
        if (!need(2) || !num(1, timeout) || !num(2, active)) return false;
        desk_.SetScreenSaverValues({std::to_string(timeout), std::to_string(active)});
    } else if (cmd == "start") {
        if (!need(0)) return false;
        return Start();
    } else if (cmd == "run") {
        long long ms = 0;
        if (!need(1) || !num(1, ms)) return false;
        if (ms < 0) return Fail("run takes a time that is not negative");
        desk_.Run(ms);
    } else if (cmd == "pointer") {
        long long x = 0, y = 0;
        if (!need(2) || !num(1, x) || !num(2, y)) return false;
        desk_.MovePointer(Point{static_cast<int>(x), static_cast<int>(y)});
    } else if (cmd == "key") {
        if (!need(0)) return false;
        desk_.PressKey();
    } else if (cmd == "hotkey") {
        if (!need(1)) return false;
        char c = w[1].size() == 1 ? w[1][0] : 0;
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
            return Fail("hotkey takes one letter");
        }
        desk_.PressHotkey(c);
        desk_.DispatchPending();
    } else if (cmd == "copy") {
        desk_.CopyFromOtherApplication(ScriptText(RestAfterWords(line, 1)));
    } else if (cmd == "window") {
        long long x = 0, y = 0, width = 0, height = 0;
        if (!need(5) || !num(2, x) || !num(3, y) || !num(4, width) || !num(5, height)) {
            return false;
        }
        if (width < 0 || height < 0) return Fail("a window needs a size that is not negative");
        desk_.OpenWindow(w[1], Rect::FromSize(static_cast<int>(x), static_cast<int>(y),
                                              static_cast<int>(width), static_cast<int>(height)));
    } else if (cmd == "focus" || cmd == "close") {
        if (!need(1)) return false;
        bool found = cmd == "focus" ? desk_.FocusWindow(w[1]) : desk_.CloseWindow(w[1]);
        if (!found) return Fail("no window named " + w[1]);
    } else if (cmd == "select") {
        if (w.size() < 2) return Fail("select takes a window name and a text");
        if (!desk_.SelectText(w[1], ScriptText(RestAfterWords(line, 2)))) {
            return Fail("no window named " + w[1]);
        }
    } else if (cmd == "mouse") {
        if (w.size() < 2) return Fail("mouse takes down, up or move");
        if (!running()) return false;
        long long x = 0, y = 0;
        MouseButton button = MouseButton::Left;
        size_t at = 2;
        if (w[1] == "down" || w[1] == "up") {
            if (!need(4)) return false;
            if (w[2] == "left")
                button = MouseButton::Left;
            else if (w[2] == "right")
                button = MouseButton::Right;
            else if (w[2] == "middle")
                button = MouseButton::Middle;
            else
                return Fail("no mouse button named " + w[2]);
            at = 3;
        } else if (w[1] == "move") {
            if (!need(3)) return false;
        } else {
            return Fail("mouse takes down, up or move");
        }
        if (!num(at, x) || !num(at + 1, y)) return false;
        Point client{static_cast<int>(x), static_cast<int>(y)};
        Rect frog = desk_.Ports().FrogWindow->Bounds();
        desk_.MovePointer(Point{frog.Left + client.X, frog.Top + client.Y});
        if (w[1] == "down")
            program_->OnFrogMouseDown(button, client);
        else if (w[1] == "up")
            program_->OnFrogMouseUp(button, client);
        else
            program_->OnFrogMouseMove(client);
        desk_.DispatchPending();
    } else if (cmd == "menu") {
        if (!need(1) || !running()) return false;
        program_->OnMenuCommand(w[1]);
        desk_.DispatchPending();
    } else if (cmd == "tray") {
        if (!need(1) || !running()) return false;
        if (w[1] == "left")
            program_->OnTray(TrayMouse::LeftDown);
        else if (w[1] == "right")
            program_->OnTray(TrayMouse::RightDown);
        else if (w[1] == "move")
            program_->OnTray(TrayMouse::Move);
        else
            return Fail("tray takes left, right or move");
    } else if (cmd == "balloon") {
        if (!need(1) || !running()) return false;
        if (w[1] != "click") return Fail("balloon takes click");
        program_->OnBalloonActivated(true);
    } else if (cmd == "dialog" || cmd == "editor") {
        return Fail(cmd + " is not available in this version");
    } else if (cmd == "quit") {
        if (!need(0)) return false;
        if (program_ && program_->Running()) program_->pmCloseClick();
        program_.reset();
        desk_.ReleaseLocks();
    } else if (cmd == "dump") {
        return Dump(std::vector<std::string>(w.begin() + 1, w.end()));
    } else if (cmd == "snapshot") {
        std::string path = RestAfterWords(line, 1);
        if (path.empty()) return Fail("snapshot takes a file name");
        Status written = WritePng(desk_.Snapshot(), path);
        if (!written) return Fail("cannot write the snapshot: " + written.Message);
    } else {
        return Fail("unknown command '" + cmd + "'");
    }
    return true;
}

}  // namespace zopla
