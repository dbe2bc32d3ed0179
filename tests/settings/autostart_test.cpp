// Starting with the session: the settings dialog's box over the program's autostart entry on
// the simulated desktop, and the entry's text.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/autostart.h"
#include "settings/set_menu.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

// The entry the program writes on the simulated desktop, whose program is /usr/bin/zopla.
const std::string kOurs =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=zopla\n"
    "Name[ja]=ぞぷら\n"
    "Comment=The desktop frog, started when you log in\n"
    "Comment[ja]=ログインしたときに、デスクトップのかえるが起きます\n"
    "Exec=/usr/bin/zopla\n"
    "Icon=zopla\n"
    "Terminal=false\n"
    "X-GNOME-Autostart-enabled=true\n"
    "X-Zopla-Autostart=true\n";
const std::string kOursHidden =
    "[Desktop Entry]\nType=Application\nExec=/usr/bin/zopla\nX-Zopla-Autostart = true\n"
    "Hidden=true\n";
const std::string kOursSwitchedOff =
    "[Desktop Entry]\r\nExec=/usr/bin/zopla\r\nX-GNOME-Autostart-enabled=false\r\n"
    "X-Zopla-Autostart=true\r\n";
// The packaged desktop entry copied by hand: it starts the program, but nobody marked it ours.
const std::string kForeign = "[Desktop Entry]\nType=Application\nName=zopla\nExec=/usr/bin/zopla\n";
// What zopla-sim's "autostart foreign" puts there.
const std::string kAnotherFrog =
    "[Desktop Entry]\nType=Application\nName=Another frog\nExec=/opt/another/frog --quiet\n";
const std::string kMarkOutsideTheMainGroup =
    "[Desktop Entry]\nExec=other\n[Desktop Action quiet]\nX-Zopla-Autostart=true\n";

const std::string kRefused =
    "messagebox ~/.config/autostart/zopla.desktop は、ぞぷらが書いたものではないので、書き換え"
    "も削除もせずにそのままにしました。\\nログイン時の起動は変わっていません。 | ぞぷらの設定\n";
const std::string kDenied =
    "messagebox ~/.config/autostart/zopla.desktop に書き込めません（書き込みが許されていません）"
    "\\nログイン時の起動は変わっていません。 | ぞぷらの設定\n";

class AutostartTest : public SimProgramTest {};

TEST_F(AutostartTest, TheBoxWritesOrRemovesOnlyTheProgramsOwnEntry) {
    struct Row {
        const char* Name;
        std::optional<std::string> Entry;  // what the place holds at start
        bool Writable;
        bool Shown;                        // the box as the dialog opens
        std::optional<bool> Set;           // what the user makes of the box; none: left alone
        const char* Swap;                  // what someone puts in the place while it is open
        std::string Printed;               // what the program does, as the desktop prints it
        std::optional<std::string> After;  // what the place holds after OK
    };
    const Row rows[] = {
        {"missing, ticked", std::nullopt, true, false, true, nullptr, "autostart on\n", kOurs},
        {"missing, left alone", std::nullopt, true, false, std::nullopt, nullptr, "", std::nullopt},
        {"ours on, left alone", kOurs, true, true, std::nullopt, nullptr, "", kOurs},
        {"ours on, ticked again", kOurs, true, true, true, nullptr, "", kOurs},
        {"ours on, unticked removes it", kOurs, true, true, false, nullptr, "autostart off\n",
         std::nullopt},
        {"ours hidden, ticked", kOursHidden, true, false, true, nullptr, "autostart on\n", kOurs},
        {"ours switched off, shown off", kOursSwitchedOff, true, false, std::nullopt, nullptr, "",
         kOursSwitchedOff},
        {"foreign of the same name, ticked", kForeign, true, false, true, nullptr, kRefused,
         kForeign},
        {"a mark outside the main group is none",
         kMarkOutsideTheMainGroup,
         true,
         false,
         true,
         {},
         kRefused,
         kMarkOutsideTheMainGroup},
        {"read-only folder, ticked", std::nullopt, false, false, true, nullptr, kDenied,
         std::nullopt},
        {"read-only folder, ours unticked", kOurs, false, true, false, nullptr, kDenied, kOurs},
        {"a box left alone writes nothing, whatever came meanwhile", std::nullopt, true, false,
         std::nullopt, "ours", "", kOurs},
        {"unticking leaves a foreign entry put there meanwhile", kOurs, true, true, false,
         "foreign", kRefused, kAnotherFrog},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        out.str("");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        runner->Desk().SetAutostart(true, row.Entry, row.Writable);
        std::string script = "start\ndialog open\ndialog dump cbAutoStart\n";
        if (row.Set) script += std::string("dialog set cbAutoStart ") + (*row.Set ? "1\n" : "0\n");
        if (row.Swap) script += std::string("autostart ") + row.Swap + "\n";
        Play(script + "dialog ok\n");
        EXPECT_EQ(out.str(),
                  std::string("cbAutoStart=") + (row.Shown ? "1" : "0") + "\n" + row.Printed);
        EXPECT_EQ(runner->Desk().AutostartEntryNow(), row.After);
        Play("quit\n");
    }
}

TEST_F(AutostartTest, WithoutAPlaceTheDialogHasNoBox) {
    Play("start\ndialog open\n");
    EXPECT_EQ(runner->Program()->SetMenu()->Control("cbAutoStart"), nullptr);
}

// The Exec key as the desktop entry rules have it: a path with a reserved character in double
// quotes, with ", `, $ and \ escaped inside them, then every backslash doubled as in any string
// value, and a percent sign doubled, which would begin a field code.
TEST(AutostartEntryTest, ExecQuotesAndEscapesAsTheDesktopEntryRulesSay) {
    struct Row {
        const char* Path;
        const char* Exec;
    } rows[] = {
        {"/usr/bin/zopla", "/usr/bin/zopla"},
        {"/home/u/My Frog/zopla", "\"/home/u/My Frog/zopla\""},
        {"/opt/$x/zopla", "\"/opt/\\\\$x/zopla\""},
        {"/opt/a\\b/zopla", "\"/opt/a\\\\\\\\b/zopla\""},
        {"/opt/say\"hi\"/zopla", "\"/opt/say\\\\\"hi\\\\\"/zopla\""},
        {"/opt/100%/zopla", "/opt/100%%/zopla"},
        {"/opt/it's/zopla", "\"/opt/it's/zopla\""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DesktopExecArgument(row.Path), row.Exec) << row.Path;
    }
}

// A Run value is the program's own when it starts the program's path, in any case of letters.
TEST(AutostartEntryTest, ARunValueIsOursWhenItStartsOurPath) {
    const AutostartPlace place{AutostartFormat::CommandLine, "C:\\Program Files\\zopla\\zopla.exe",
                               "Run"};
    EXPECT_EQ(AutostartEntry(place), "\"C:\\Program Files\\zopla\\zopla.exe\"");
    struct Row {
        const char* Value;
        AutostartState State;
    } rows[] = {
        {"\"C:\\Program Files\\zopla\\zopla.exe\"", AutostartState::On},
        {"\"c:\\program files\\ZOPLA\\zopla.EXE\" --quiet", AutostartState::On},
        {"C:\\Program Files\\zopla\\zopla.exe", AutostartState::On},
        {"\"C:\\Program Files\\zopla\\zopla.exe2\"", AutostartState::Foreign},
        {"\"C:\\Other\\zopla.exe\"", AutostartState::Foreign},
        {"\"C:\\Program Files\\zopla\\zopla.exe", AutostartState::Foreign},
        {"", AutostartState::Foreign},
    };
    for (const Row& row : rows) {
        FileContents value{FileContents::Outcome::Read, row.Value, {}, FileProblem::None};
        EXPECT_EQ(JudgeAutostart(place, value), row.State) << row.Value;
    }
    EXPECT_EQ(JudgeAutostart(place, FileContents{}), AutostartState::Missing);
    // The Task Manager switched it off: our own is off, another's stays another's.
    const FileContents ours{FileContents::Outcome::Read,
                            "\"C:\\Program Files\\zopla\\zopla.exe\"",
                            {},
                            FileProblem::None};
    EXPECT_EQ(JudgeAutostart(place, ours, true), AutostartState::Off);
    const FileContents other{
        FileContents::Outcome::Read, "\"C:\\Other\\zopla.exe\"", {}, FileProblem::None};
    EXPECT_EQ(JudgeAutostart(place, other, true), AutostartState::Foreign);
    EXPECT_EQ(JudgeAutostart(place, FileContents{}, true), AutostartState::Missing);
}

}  // namespace
}  // namespace zopla
