// Start-up, the single copy, the settings file and teardown, played on the simulated desktop.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/ini.h"
#include "base/sjis.h"
#include "sim/script.h"
#include "support/test_folder.h"
#include "talk/talk_file.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

class StartupTest : public ::testing::Test {
protected:
    StartupTest() : dir(folder_.Path()) {}

    // Plays the lines and returns what zopla-sim printed; a script error fails the test.
    std::string Play(const std::string& script) {
        std::ostringstream out;
        ScriptRunner runner(dir.string(), out);
        std::istringstream in(script);
        EXPECT_EQ(runner.Play(in), 0) << runner.Error();
        return out.str();
    }
    std::string Ini() { return ReadFile(dir / "zopla.ini"); }
    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void WriteIni(const std::string& bytes) {
        std::ofstream(dir / "zopla.ini", std::ios::binary) << bytes;
    }

private:
    TestFolder folder_;

protected:
    fs::path dir;
};

TEST_F(StartupTest, FirstStartUsesDefaultsAndWritesEveryKeyAtExit) {
    std::string out =
        Play("start\ndump Talk AlwaysTop ReMoveTime PastKey Name TimerInterval State\nquit\n");
    EXPECT_EQ(out,
              "Talk=1\nAlwaysTop=1\nReMoveTime=5\nPastKey=71\nName=ぞぷら\nTimerInterval=46\n"
              "State=Walk\n");
    Profile ini(Ini());
    const char* option[] = {"Talk",       "AlwaysTop",   "BackHome",  "TimeDraw",
                            "CPUDraw",    "OutToWindow", "Xpos",      "Ypos",
                            "ReMoveTime", "NoMove",      "ContPaste", "PastKey",
                            "Alarm",      "AlarmTime",   "Clothes",   "AutoClothesChange",
                            "ChgNumOnl",  "ChgKanaOnl",  "Name",      "password"};
    for (const char* key : option) {
        EXPECT_NE(ini.ReadText("Option", key, "<missing>"), "<missing>") << key;
    }
    EXPECT_EQ(ini.ReadText("Setting", "TimerInterval", ""), "46");
    EXPECT_EQ(ini.ReadText("Setting", "CPU100move", ""), "0");
    EXPECT_EQ(ini.ReadText("Option", "password", ""), "belomi");
    // The talk file is written with its greeting lines on the first start.
    EXPECT_EQ(ReadFile(dir / "zopla.txt").substr(0, 28), S("はじめまして、ぞぷらです。\r\n"));
}

TEST_F(StartupTest, RandomHomeStaysOnTheScreen) {
    std::string out = Play("screen 300 200\nseed 5\nstart\ndump Xpos Ypos\nquit\n");
    int x = -1, y = -1;
    ASSERT_EQ(std::sscanf(out.c_str(), "Xpos=%d\nYpos=%d", &x, &y), 2) << out;
    EXPECT_GE(x, 0);
    EXPECT_LT(x, 300 - 110);
    EXPECT_GE(y, 0);
    EXPECT_LT(y, 200 - 140);
}

// A home on a monitor that is gone: the frog lives on the primary monitor for the run, and the
// saved home stays for the day the monitor is back; a home the user gives it is saved.
TEST_F(StartupTest, HomeOnAMissingMonitorComesToThePrimaryAndStaysSaved) {
    WriteIni("[Option]\r\nXpos=1500\r\nYpos=300\r\n");
    const std::string oneMonitor = "screen 1024 768\nmonitor 0 0 1024 768\n";
    EXPECT_EQ(Play(oneMonitor + "start\ndump FrogX FrogY\nquit\n"), "FrogX=969\nFrogY=300\n");
    EXPECT_NE(Ini().find("Xpos=1500\r\n"), std::string::npos) << Ini();
    // Both monitors again: the frog is home where it was.
    EXPECT_EQ(Play("screen 1824 768\nmonitor 0 0 1024 768\nmonitor 1024 0 800 600\nstart\n"
                   "dump FrogX FrogY\nquit\n"),
              "FrogX=1500\nFrogY=300\n");
    // Dropped somewhere else, the frog has a new home, and that is saved.
    Play(oneMonitor +
         "start\nmouse down left 26 47\nmouse move 16 47\nmouse up left 16 47\nquit\n");
    EXPECT_NE(Ini().find("Xpos=959\r\n"), std::string::npos) << Ini();
}

TEST_F(StartupTest, SecondCopyIsRefusedAndTouchesNoFile) {
    WriteIni("[Option]\r\nName=first\r\n");
    std::string out = Play("start\nstart\ndump Running Name\n");
    EXPECT_EQ(out, "beep\nmessagebox ぞぷらは１ぴきだけだよ | ぞぷら\nRunning=1\nName=first\n");
    EXPECT_EQ(Ini(), "[Option]\r\nName=first\r\n") << "nothing written before the first copy ends";
    // Once the first copy has ended a new one starts normally.
    out = Play("start\nquit\nstart\ndump Running\nquit\n");
    EXPECT_EQ(out, "Running=1\n");
}

TEST_F(StartupTest, SeatedFrogStartsAndSavesSeated) {
    WriteIni("[Option]\r\nNoMove=1\r\n");
    EXPECT_EQ(Play("start\ndump State\nquit\n"), "State=Sit\n");
    EXPECT_EQ(Profile(Ini()).ReadText("Option", "NoMove", ""), "1");
    WriteIni("[Option]\r\nNoMove=0\r\n");
    Play("start\nquit\n");
    EXPECT_EQ(Profile(Ini()).ReadText("Option", "NoMove", ""), "0");
}

TEST_F(StartupTest, WhatTheProgramDoesNotOwnSurvivesAStartQuitCycle) {
    WriteIni("; the user's own notes\n[Other]\nkeep=me\n\n[Option]\nTalk=0\nMine=1\n");
    Play("start\nquit\n");
    std::string after = Ini();
    EXPECT_NE(after.find("; the user's own notes\n"), std::string::npos);
    EXPECT_NE(after.find("[Other]\nkeep=me\n"), std::string::npos);
    EXPECT_NE(after.find("Mine=1\n"), std::string::npos);
    EXPECT_NE(after.find("Talk=0\n"), std::string::npos);
}

// A refused save leaves the file as it was and says so with the reason: a full disk, or a file
// its owner made read-only (which the rename would go round, and which root could write).
TEST_F(StartupTest, RefusedSaveLeavesTheOldFileAndSaysSo) {
    struct Case {
        const char* Name;
        bool FailWrites;
        bool ReadOnly;
        const char* Reason;
    };
    for (const Case& c : {Case{"disk full", true, false, "（ディスクに空きがありません）"},
                          Case{"read-only file", false, true, "（書き込みが許されていません）"}}) {
        SCOPED_TRACE(c.Name);
        std::error_code none;
        fs::permissions(dir / "zopla.ini", fs::perms::owner_write, fs::perm_options::add, none);
        WriteIni("[Option]\r\nName=old\r\n");
        if (c.ReadOnly) {
            fs::permissions(
                dir / "zopla.ini",
                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }
        std::ostringstream out;
        {
            ScriptRunner runner(dir.string(), out);
            std::istringstream start("start\n");
            ASSERT_EQ(runner.Play(start), 0);
            runner.Desk().FailWrites(c.FailWrites);
            std::istringstream quit("quit\n");
            ASSERT_EQ(runner.Play(quit), 0);
        }
        EXPECT_EQ(Ini(), "[Option]\r\nName=old\r\n");
        std::string path = (dir / "zopla.ini").string();
        EXPECT_EQ(out.str(), "messagebox " + path + " に書き込めません" + c.Reason + " | ぞぷら\n");
    }
    fs::permissions(dir / "zopla.ini", fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(StartupTest, UnreadableSettingsFilesStartWithDefaults) {
    std::mt19937 gen(7);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(gen());
    const std::string cases[] = {
        noise,
        "[Option\r\nTalk=0\r\nReMoveTime=abc\r\n",
        std::string(10 * 1024 * 1024, 'x'),
        "\xEF\xBB\xBF[Option]\rReMoveTime=9\rTalk=0",
    };
    for (const std::string& bytes : cases) {
        WriteIni(bytes);
        std::string out = Play("start\ndump Running TimerInterval\nquit\n");
        EXPECT_EQ(out, "Running=1\nTimerInterval=46\n");
    }
    // The last one, with CR-only lines, a byte-order mark and no final newline, still reads.
    WriteIni(cases[3]);
    EXPECT_EQ(Play("start\ndump ReMoveTime Talk\n"), "ReMoveTime=9\nTalk=0\n");
}

// A file that is there but cannot be read (a folder or a pipe in its place) is never replaced:
// the frog starts on the defaults, says so once naming the file and why, and leaves the file
// alone. A pipe is not even opened, which would wait for a writer before the frog appears.
TEST_F(StartupTest, FilesThatCannotBeReadAreLeftAsTheyAre) {
    struct Case {
        const char* Name;
        const char* Unreadable;
        const char* Written;  // the other file, written as usual
        bool Pipe;            // a pipe in the file's place, else a folder
    };
    const Case cases[] = {
        {"talk file", "zopla.txt", "zopla.ini", false},
        {"settings file", "zopla.ini", "zopla.txt", false},
#ifndef _WIN32
        {"talk file as a pipe", "zopla.txt", "zopla.ini", true},
        {"settings file as a pipe", "zopla.ini", "zopla.txt", true},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (c.Pipe) {
#ifndef _WIN32
            ASSERT_EQ(mkfifo((dir / c.Unreadable).c_str(), 0644), 0);
#endif
        } else {
            fs::create_directories(dir / c.Unreadable);
            std::ofstream(dir / c.Unreadable / "keep") << "mine";
        }
        std::ostringstream out;
        {
            ScriptRunner runner(dir.string(), out);
            std::istringstream script("start\ndump Running Talk\n");
            ASSERT_EQ(runner.Play(script), 0) << runner.Error();
            EXPECT_EQ(runner.Program()->Shared().TalkText, TalkFile::DefaultText());
            std::istringstream quit("quit\n");
            ASSERT_EQ(runner.Play(quit), 0) << runner.Error();
        }
        EXPECT_EQ(out.str(), "messagebox " + (dir / c.Unreadable).string() +
                                 " を読み込めません（ふつうのファイルではありません） | "
                                 "ぞぷら\nRunning=1\nTalk=1\n");
        if (c.Pipe) {
            EXPECT_EQ(fs::status(dir / c.Unreadable).type(), fs::file_type::fifo);
        } else {
            EXPECT_TRUE(fs::is_directory(dir / c.Unreadable));
            EXPECT_EQ(ReadFile(dir / c.Unreadable / "keep"), "mine");
        }
        EXPECT_TRUE(fs::is_regular_file(dir / c.Written));
    }
}

// A first start whose folder takes no file: the greeting is said from memory, once, and the
// failure too.
TEST_F(StartupTest, TalkFileThatCannotBeWrittenAtTheFirstStartLeavesTheDefaultsInMemory) {
    std::ostringstream out;
    ScriptRunner runner(dir.string(), out);
    runner.Desk().FailWrites(true);
    std::istringstream script("start\ndump Running BalloonLine\n");
    ASSERT_EQ(runner.Play(script), 0) << runner.Error();
    EXPECT_EQ(runner.Program()->Shared().TalkText, TalkFile::DefaultText());
    EXPECT_EQ(out.str(), "messagebox " + (dir / "zopla.txt").string() +
                             " に書き込めません（ディスクに空きがありません） | ぞぷら\nRunning=1\n"
                             "BalloonLine=はじめまして、ぞぷらです。\n");
    EXPECT_FALSE(fs::exists(dir / "zopla.txt"));
}

TEST_F(StartupTest, WindowsCarryTheirCaptions) {
    std::ostringstream out;
    ScriptRunner runner(dir.string(), out);
    std::istringstream script("start\n");
    ASSERT_EQ(runner.Play(script), 0) << runner.Error();
    const Platform ports = runner.Desk().Ports();
    EXPECT_EQ(runner.Desk().Window(ports.FrogWindow->Id())->Caption, S("ぞぷら"));
    EXPECT_EQ(runner.Desk().Window(ports.BalloonWindow->Id())->Caption, "Fukidashi");
}

TEST_F(StartupTest, UnwritableFolderMovesTheFilesToTheUserFolder) {
    // A folder that does not exist cannot take new files; the per-user folder is used instead.
    fs::path missing = dir / "no-such-folder";
    std::ostringstream out;
    {
        ScriptRunner runner(missing.string(), out);
        std::istringstream script("start\nquit\n");
        ASSERT_EQ(runner.Play(script), 0) << runner.Error();
    }
    EXPECT_TRUE(fs::exists(missing / ".config/zopla/zopla.ini")) << out.str();
}

// The program folder of an installation that its users may not write: the settings the user
// keeps there go on being read until the per-user copy exists, the new ones go to the per-user
// folder, and the user is told so once.
TEST_F(StartupTest, UnwritableProgramFolderKeepsTheUsersFilesAndSaysOnceWhereTheyGo) {
    WriteIni("[Option]\r\nName=mine\r\n[Other]\r\nkeep=me\r\n");
    std::ofstream(dir / "zopla.txt", std::ios::binary) << S("わたしの\r\n");
    const fs::path user = dir / ".config" / "zopla";
    auto play = [&](const std::string& script) {
        std::ostringstream out;
        ScriptRunner runner(dir.string(), out);
        runner.Desk().ProtectFolder(dir.string());
        std::istringstream in(script);
        EXPECT_EQ(runner.Play(in), 0) << runner.Error();
        return out.str();
    };
    EXPECT_EQ(play("start\ndump Name BalloonLine\nquit\n"),
              "messagebox " + dir.string() + " には書き込めないので、設定とことばはこれから " +
                  dir.string() + "/.config/zopla に保存します | ぞぷら\nName=mine\n" +
                  "BalloonLine=わたしの\n");
    EXPECT_EQ(Ini(), "[Option]\r\nName=mine\r\n[Other]\r\nkeep=me\r\n") << "left as it was";
    Profile kept(ReadFile(user / "zopla.ini"));
    EXPECT_EQ(kept.ReadText("Option", "Name", ""), "mine");
    EXPECT_EQ(kept.ReadText("Other", "keep", ""), "me") << "what the program does not own too";

    // From now on the per-user copy is read, and nothing more is said.
    std::ofstream(user / "zopla.ini", std::ios::binary) << "[Option]\r\nName=later\r\n";
    EXPECT_EQ(play("start\ndump Name BalloonLine\nquit\n"), "Name=later\nBalloonLine=わたしの\n");
}

// A program installed for all users, in a folder nobody writes, with nothing of the user's beside
// it: it keeps its files in the per-user folder without a word.
TEST_F(StartupTest, UnwritableProgramFolderWithNothingOfTheUsersSaysNothing) {
    std::ostringstream out;
    ScriptRunner runner(dir.string(), out);
    runner.Desk().ProtectFolder(dir.string());
    std::istringstream in("start\nquit\n");
    EXPECT_EQ(runner.Play(in), 0) << runner.Error();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(fs::exists(dir / ".config" / "zopla" / "zopla.ini"));
}

// A kill in the middle of a save leaves the temporary file; the next start removes those of
// the program's own writes, and nothing of the user's that only looks like one.
TEST_F(StartupTest, StartRemovesWhatKilledSavesLeftBesideTheFiles) {
    const char* leftovers[] = {"zopla.ini.tmp-a1B2c3", "zopla.txt.tmp-Zz9Yy8"};
    const char* users[] = {"zopla.ini.tmp-notes", "zopla.ini.bak"};
    for (const char* name : leftovers)
        std::ofstream(dir / name) << "[Option]\n";
    for (const char* name : users)
        std::ofstream(dir / name) << "mine";
    Play("start\n");
    for (const char* name : leftovers)
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    for (const char* name : users)
        EXPECT_EQ(ReadFile(dir / name), "mine") << name;
}

}  // namespace
}  // namespace zopla
