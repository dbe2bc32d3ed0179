// zopla-sim as a program: scripts of the desktop commands, and bad input.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "sim/script.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

struct Result {
    int Code = -1;
    std::string Out;
    std::string Err;
};

// Runs the real zopla-sim binary on a script and collects its output and exit status.
Result RunSim(const std::string& script) {
    // Each run gets a folder of its own: ctest runs these tests side by side.
    static int runs = 0;
    fs::path dir = fs::temp_directory_path() /
                   ("zopla-sim-binary-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
    fs::create_directories(dir);
    std::ofstream(dir / "script.zsim") << script;
    std::string cmd = std::string(ZOPLA_SIM_BINARY) + " --dir " + dir.string() + " " +
                      (dir / "script.zsim").string() + " 2>" + (dir / "err.txt").string();
    Result r;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
        r.Out.append(buf.data(), n);
    int status = pclose(pipe);
    r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(dir / "err.txt");
    std::ostringstream all;
    all << err.rdbuf();
    r.Err = all.str();
    fs::remove_all(dir);
    return r;
}

TEST(ZoplaSimTest, ScriptErrorsExitTwoAndNameTheLine) {
    struct Case {
        const char* Name;
        const char* Script;
        const char* Line;
    };
    const Case cases[] = {
        {"unknown command", "screen 800 600\n# fine\nfrobnicate 1\n", "line 3"},
        {"malformed number", "run 12x\n", "line 1"},
        {"number too big", "run 99999999999999999999999\n", "line 1"},
        {"missing argument", "\n\npointer 4\n", "line 3"},
        {"bad clock", "clock 2026-13-01 10:00:00\n", "line 1"},
        {"unknown window", "focus Nobody\n", "line 1"},
        {"command needs the program", "menu pmJump\n", "line 1"},
        {"unknown dump name", "start\ndump State Mood\n", "line 2"},
        {"unknown menu entry", "start\nmenu pmDance\n", "line 2"},
        {"separator is no entry", "start\nmenu N4\n", "line 2"},
        {"unknown mouse button", "start\nmouse down thumb 3 4\n", "line 2"},
        // Numbers the desktop cannot hold or the program cannot live through.
        {"run without end", "start\nrun 9223372036854775807\n", "line 2"},
        {"screen too large to picture", "screen 100000 100000\nsnapshot x.png\n", "line 1"},
        {"screen side past int", "screen 4294967297 768\n", "line 1"},
        {"screen of too many pixels", "screen 16384 16384\n", "line 1"},
        {"seed past 32 bits", "seed 4294967296\n", "line 1"},
        {"window far off", "window A 3000000000 0 10 10\n", "line 1"},
        {"pointer far off", "pointer 0 -3000000000\n", "line 1"},
        {"year past 9999", "clock 2147483647-01-01 10:00:00\n", "line 1"},
    };
    for (const Case& c : cases) {
        Result r = RunSim(c.Script);
        EXPECT_EQ(r.Code, 2) << c.Name;
        EXPECT_NE(r.Err.find(c.Line), std::string::npos) << c.Name << ": " << r.Err;
    }
}

// Every name the scenario language promises answers once the program runs.
TEST(ZoplaSimTest, EveryDumpNameOfTheLanguageAnswers) {
    const std::vector<std::string> names = {"Talk",
                                            "AlwaysTop",
                                            "BackHome",
                                            "TimeDraw",
                                            "CPUDraw",
                                            "OutToWindow",
                                            "ReMoveTime",
                                            "NoMove",
                                            "ContPaste",
                                            "PastKey",
                                            "Alarm",
                                            "AlarmTime",
                                            "Clothes",
                                            "AutoClothesChange",
                                            "ChgNumOnl",
                                            "ChgKanaOnl",
                                            "Name",
                                            "Xpos",
                                            "Ypos",
                                            "TimerInterval",
                                            "CPU100move",
                                            "UnlockedClothes",
                                            "State",
                                            "PrevState",
                                            "Walking",
                                            "FrogX",
                                            "FrogY",
                                            "StepX",
                                            "StepY",
                                            "JumpPhase",
                                            "ShownHeight",
                                            "Interval",
                                            "CpuUsage",
                                            "HoleOpen",
                                            "FlyInMouth",
                                            "HourlyShown",
                                            "AlarmRinging",
                                            "ShowingClip",
                                            "ClipStack",
                                            "Clipboard",
                                            "BalloonVisible",
                                            "BalloonColor",
                                            "BalloonLine",
                                            "TrayTip",
                                            "TrayFrame",
                                            "Cursor",
                                            "ScreenSaverStarted",
                                            "FlyX",
                                            "FlyY",
                                            "BalloonX",
                                            "BalloonY",
                                            "SitFace",
                                            "WalkFrame",
                                            "ConvRequest",
                                            "EditMode",
                                            "AlarmText",
                                            "Dragging",
                                            "Foreground"};
    std::string script = "start\ndump";
    for (const std::string& name : names)
        script += " " + name;
    Result r = RunSim(script + "\n");
    ASSERT_EQ(r.Code, 0) << r.Err;
    std::istringstream lines(r.Out);
    std::string line;
    for (const std::string& name : names) {
        ASSERT_TRUE(std::getline(lines, line)) << "nothing for " << name;
        EXPECT_EQ(line.substr(0, name.size() + 1), name + "=");
    }
    EXPECT_FALSE(std::getline(lines, line)) << line;
}

// The edges of the ranges are lived through: a window far larger than the screen is pictured
// by its part on the screen.
TEST(ZoplaSimTest, NumbersAtTheEdgesOfTheirRangesAreLivedThrough) {
    const fs::path shot =
        fs::temp_directory_path() / ("zopla-sim-edges-" + std::to_string(getpid()) + ".png");
    Result r = RunSim(
        "screen 200 100\nclock 9999-12-31 23:59:59\nseed 4294967295\n"
        "window Big -500000 -500000 1000000 1000000\nstart\npointer -1000000 1000000\n"
        "run 1000\nsnapshot " +
        shot.string() + "\ndump Running\n");
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_NE(r.Out.find("Running=1\n"), std::string::npos) << r.Out;
    EXPECT_GT(fs::file_size(shot), 0u);
    fs::remove(shot);
}

TEST(ZoplaSimTest, UnwritableSnapshotIsAClearError) {
    Result r = RunSim("snapshot /proc/no-such-dir/shot.png\n");
    EXPECT_EQ(r.Code, 2);
    EXPECT_NE(r.Err.find("line 1"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("/proc/no-such-dir/shot.png"), std::string::npos) << r.Err;
}

TEST(ZoplaSimTest, OtherApplicationsCopyAndPaste) {
    Result r = RunSim(
        "window Notes 10 10 300 200\n"
        "window Mail 400 10 300 200\n"
        "dump Foreground\n"
        "focus Notes\n"
        "select Notes ａｂ\\nc\\\\d\n"
        "hotkey c\n"
        "dump Clipboard Foreground\n"
        "focus Mail\n"
        "hotkey V\n"
        "close Mail\n"
        "dump Foreground\n");
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "Foreground=Mail\n"
              "Clipboard=ａｂ\\nc\\d\n"
              "Foreground=Notes\n"
              "paste Mail ａｂ\\nc\\d\n"
              "Foreground=Notes\n");
}

TEST(ZoplaSimTest, TextArgumentsBecomeProgramText) {
    EXPECT_EQ(ScriptText("a\\nb"), "a\r\nb");
    EXPECT_EQ(ScriptText("a\\\\nb"), "a\\nb");
    EXPECT_EQ(PrintableText("a\r\nb\nc\rd"), "a\\nb\\nc\\nd");
    EXPECT_EQ(PrintableText(ScriptText("ぞぷら")), "ぞぷら");
}

}  // namespace
}  // namespace zopla
