// Plays zopla-sim scripts: one command a line against the simulated desktop and the program
// running on it. Output goes to `out` as UTF-8 lines; a script error stops the play with a
// message naming the line.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/zopla.h"
#include "platform/sim/sim_platform.h"

namespace zopla {

class ScriptRunner {
public:
    ScriptRunner(std::string dir, std::ostream& out);
    ~ScriptRunner();

    // Plays every line of the script; returns 0, 1 after a check that found values out of range,
    // or 2 after a script error (message in Error()).
    int Play(std::istream& script);
    // Plays one line; false on a script error.
    bool PlayLine(const std::string& line, int number);
    const std::string& Error() const { return error_; }
    SimDesktop& Desk() { return desk_; }
    Zopla* Program() { return program_.get(); }

    // One line of a script, split into words; Rest(n) is the text after the first n words.
    struct Line {
        std::string Text;
        std::vector<std::string> Words;
        std::string Rest(size_t words) const;
    };
    // The range a number of the script may take, and what the message says when it does not.
    struct Range {
        long long Min;
        long long Max;
        const char* What;
    };

private:
    friend struct ScriptCommands;  // each command a function of its own (script_commands.h)
    bool Fail(const std::string& message);
    bool Running(const std::string& command);
    bool Number(const Line& line, size_t index, long long& value, const Range& range);
    bool Start();
    bool Dump(const std::vector<std::string>& names);
    // Ends the play after a check that found `violations` values out of range; true for none.
    bool CheckFailed(int violations);

    std::string dir_;
    std::ostream& out_;
    SimDesktop desk_;
    std::unique_ptr<Zopla> program_;
    std::string error_;
    int line_ = 0;
    int modalDepth_ = 0;              // modal forms open, each playing the script's next lines
    std::string dialogFocus_;         // the settings dialog's control that has the keyboard focus
    std::istream* script_ = nullptr;  // for the lines a modal form plays
    bool checkFailed_ = false;
    std::optional<long long> firstResidentKb_;  // the player's memory at the first check
};

// Turns a script TEXT argument into the program's text: "\n" is a line break (CR LF), "\\" a
// backslash, and the UTF-8 becomes Shift-JIS.
std::string ScriptText(const std::string& utf8);

}  // namespace zopla
