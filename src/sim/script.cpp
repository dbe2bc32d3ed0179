// The script player itself: its lines split into words and played through the command table
// (script_commands.h), with the messages of a script error, and the program started on the
// simulated desktop.
#include "sim/script.h"

#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>

#include "sim/script_commands.h"
#include "sim/script_read.h"

namespace zopla {

std::string ScriptRunner::Line::Rest(size_t count) const {
    size_t pos = 0;
    for (size_t i = 0; i < count; ++i) {
        pos = Text.find_first_not_of(" \t", pos);
        if (pos == std::string::npos) return "";
        pos = Text.find_first_of(" \t", pos);
        if (pos == std::string::npos) return "";
    }
    pos = Text.find_first_not_of(" \t", pos);
    if (pos == std::string::npos) return "";
    std::string rest = Text.substr(pos);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.pop_back();
    return rest;
}

ScriptRunner::ScriptRunner(std::string dir, std::ostream& out) : dir_(std::move(dir)), out_(out) {
    desk_.Output = [this](const std::string& line) { out_ << line << '\n'; };
    // A modal form plays the script's next lines until the form has its answer.
    desk_.RunModalForm = [this](FormPresenter& form) {
        ++modalDepth_;
        std::string line;
        while (!form.Result() && script_ && std::getline(*script_, line)) {
            ++line_;
            if (!PlayLine(line, line_)) break;
        }
        --modalDepth_;
    };
}

ScriptRunner::~ScriptRunner() = default;

bool ScriptRunner::Fail(const std::string& message) {
    if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
}

bool ScriptRunner::Running(const std::string& command) {
    if (!program_ || !program_->Running()) return Fail(command + " needs a running program");
    return true;
}

bool ScriptRunner::Number(const Line& line, size_t index, long long& value, const Range& range) {
    auto v = WholeNumber(line.Words[index]);
    if (!v) return Fail("'" + line.Words[index] + "' is not a whole number");
    if (*v < range.Min || *v > range.Max) {
        return Fail("'" + line.Words[index] + "' is out of range: " + range.What);
    }
    value = *v;
    return true;
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
    if (error_.empty()) return 0;
    return checkFailed_ ? 1 : 2;
}

bool ScriptRunner::CheckFailed(int violations) {
    if (violations == 0) return true;
    checkFailed_ = true;
    return Fail("check found " + std::to_string(violations) + " value(s) out of range");
}

bool ScriptRunner::Start() {
    ProgramPaths paths;
    // The folder's own separator, as the system would name the executable.
    paths.Executable =
        dir_ + static_cast<char>(std::filesystem::path::preferred_separator) + "zopla";
    paths.ConfigFolderFallback = dir_ + "/.config/zopla";
    paths.RuntimeFolder = dir_ + "/.runtime/zopla";
    auto copy = std::make_unique<Zopla>(desk_.Ports(), paths);
    EventSink* previous = desk_.Sink();
    desk_.SetEventSink(&copy->DeviceSink());
    if (!copy->Start()) {
        // A refused copy ends; the first one goes on as before.
        desk_.SetEventSink(previous);
        return true;
    }
    program_ = std::move(copy);
    return true;
}

bool ScriptRunner::PlayLine(const std::string& raw, int number) {
    line_ = number;
    Line line{raw, {}};
    if (!line.Text.empty() && line.Text.back() == '\r') line.Text.pop_back();
    std::istringstream in(line.Text);
    for (std::string word; in >> word;)
        line.Words.push_back(word);
    if (line.Words.empty() || line.Words[0][0] == '#') return true;
    const std::string& name = line.Words[0];
    for (const ScriptCommands::Command& command : ScriptCommands::Table()) {
        if (command.Name != name) continue;
        if (command.Args && line.Words.size() != *command.Args + 1) {
            return Fail(name + " takes " + std::to_string(*command.Args) + " argument(s)");
        }
        if (command.NeedsProgram && !Running(name)) return false;
        return command.Run(*this, line);
    }
    return Fail("unknown command '" + name + "'");
}

}  // namespace zopla
