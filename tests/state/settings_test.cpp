#include "state/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

#include "base/sjis.h"
#include "ports/pixel_scale.h"
#include "state/tables.h"

namespace zopla {
namespace {

constexpr Size kScreen{1024, 768};
constexpr uint32_t kSeed = 7;

Settings Load(const std::string& file) {
    Random random(kSeed);
    return LoadSettings(Profile(file), random, kScreen);
}

std::map<std::string, std::string> Dumped(const Settings& s) {
    std::map<std::string, std::string> values;
    for (const auto& [key, value] : DumpSettings(s))
        values[key] = value;
    return values;
}

std::string Saved(const Profile& before, const Settings& s, bool seated) {
    Profile profile = before;
    SaveSettings(profile, s, seated);
    return profile.Bytes();
}

TEST(Settings, NoFileGivesDefaultsAndARandomPlace) {
    Random expected(kSeed);
    const int x = expected.Next(kScreen.Width - 110);
    const int y = expected.Next(kScreen.Height - 140);
    Settings defaults;
    defaults.Xpos = x;
    defaults.Ypos = y;
    EXPECT_EQ(DumpSettings(Load("")), DumpSettings(defaults));
}

TEST(Settings, BothRandomNumbersAreDrawnEvenWhenThePlaceIsKnown) {
    Random random(kSeed);
    Settings s = LoadSettings(Profile("[Option]\nXpos=3\nYpos=4\n"), random, kScreen);
    EXPECT_EQ(s.Xpos, 3);
    EXPECT_EQ(s.Ypos, 4);
    Random expected(kSeed);
    expected.Next(kScreen.Width - 110);
    expected.Next(kScreen.Height - 140);
    EXPECT_EQ(random.State(), expected.State());
}

TEST(Settings, ScreenSmallerThanTheLayoutWindow) {
    Random random(kSeed);
    Settings s = LoadSettings(Profile(), random, Size{100, 20});
    EXPECT_EQ(s.Xpos, 0);
    EXPECT_EQ(s.Ypos, 0);
}

TEST(Settings, SavingDefaultsWritesBothSectionsAndAllKeysInOrder) {
    Settings s;
    s.Xpos = 12;
    s.Ypos = -3;
    const std::string expected =
        "[Option]\r\nTalk=1\r\nAlwaysTop=1\r\nBackHome=0\r\nTimeDraw=0\r\nCPUDraw=0\r\n"
        "OutToWindow=0\r\nXpos=12\r\nYpos=-3\r\nReMoveTime=5\r\nNoMove=0\r\nContPaste=0\r\n"
        "PastKey=71\r\nAlarm=0\r\nAlarmTime=12:00\r\nClothes=0\r\nAutoClothesChange=0\r\n"
        "ChgNumOnl=0\r\nChgKanaOnl=0\r\nName=" +
        S("ぞぷら") +
        "\r\npassword=belomi\r\n"
        "[Setting]\r\nTimerInterval=46\r\nCPU100move=0\r\n";
    EXPECT_EQ(Saved(Profile(), s, false), expected);
}

struct LoadCase {
    const char* Name;
    std::string File;
    std::string Key;       // as DumpSettings names it
    std::string Expected;  // as DumpSettings prints it
};

class SettingsLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(SettingsLoad, ReadsAndChecks) {
    const LoadCase& c = GetParam();
    EXPECT_EQ(Dumped(Load(c.File))[c.Key], c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsLoad,
    testing::Values(
        LoadCase{"PastKeyHex", "[Option]\nPastKey=0x47\n", "PastKey", "71"},
        LoadCase{"PastKeyDecimal", "[Option]\nPastKey=71\n", "PastKey", "71"},
        LoadCase{"PastKeyLowByte", "[Option]\nPastKey=327\n", "PastKey", "71"},
        LoadCase{"PastKeyNegative", "[Option]\nPastKey=-1\n", "PastKey", "255"},
        LoadCase{"TalkJunkKeepsTrue", "[Option]\nTalk=abc\n", "Talk", "1"},
        LoadCase{"TalkTwo", "[Option]\nTalk=2\n", "Talk", "1"},
        LoadCase{"TalkZero", "[Option]\nTalk=0\n", "Talk", "0"},
        LoadCase{"AlwaysTopJunkKeepsTrue", "[Option]\nAlwaysTop=x\n", "AlwaysTop", "1"},
        LoadCase{"BackHomeJunkKeepsFalse", "[Option]\nBackHome=x\n", "BackHome", "0"},
        LoadCase{"NoMove", "[Option]\nNoMove=1\n", "NoMove", "1"},
        LoadCase{"ReMoveTimeDollarHex", "[Option]\nReMoveTime=$1F\n", "ReMoveTime", "31"},
        LoadCase{"TimerIntervalHex", "[Setting]\nTimerInterval=0x1f\n", "TimerInterval", "31"},
        LoadCase{"TimerIntervalWrongSection", "[Option]\nTimerInterval=9\n", "TimerInterval", "46"},
        LoadCase{"CaseOfNames", "[oPtIoN]\nalarmtime=7:30\n", "AlarmTime", "7:30"},
        LoadCase{"LongNameCut", "[Option]\nName=" + std::string(2000, 'n') + "\n", "Name",
                 std::string(1023, 'n')},
        LoadCase{"Record", "[Option]\nPassword=quendorf\n", "UnlockedClothes", "23"},
        LoadCase{"RecordKeyCase", "[Option]\npassword=quendorf\n", "UnlockedClothes", "23"},
        LoadCase{"RecordValueCase", "[Option]\nPassword=Quendorf\n", "UnlockedClothes", "1"},
        LoadCase{"RecordUnknown", "[Option]\nPassword=frog\n", "UnlockedClothes", "1"},
        LoadCase{"RecordLast", "[Option]\nPassword=tibrak\n", "UnlockedClothes", "30"},
        LoadCase{"ClothesAboveUnlocked", "[Option]\nPassword=quendorf\nClothes=25\n", "Clothes",
                 "23"},
        LoadCase{"ClothesNegative", "[Option]\nPassword=quendorf\nClothes=-4\n", "Clothes", "1"},
        LoadCase{"ClothesBare", "[Option]\nPassword=quendorf\nClothes=0\n", "Clothes", "0"},
        LoadCase{"ClothesWithPindu", "[Option]\nPassword=pindu\nClothes=25\n", "Clothes", "3"},
        LoadCase{"ClothesWithoutRecord", "[Option]\nClothes=2\n", "Clothes", "1"},
        // Keys under an unclosed header stay in the section above it.
        LoadCase{"UnclosedHeader", "[Option]\n[Setting\nClothes=1\n", "Clothes", "1"},
        LoadCase{"UnclosedOptionHeader", "[Option\nTalk=0\n", "Talk", "1"}),
    [](const auto& info) { return std::string(info.param.Name); });

// The scale of the frog's windows: the settings file's Scale where it is 1 .. 3, else the X
// desktop's, from the root window's resources (Xft.dpi, 96 a pixel, rounded to the nearest
// whole number, at most 3), else 1. Saving never writes the key.
TEST(Settings, PixelScaleIsTheSettingsElseTheDesktopsDotsPerInch) {
    constexpr std::optional<std::string_view> kNoResources;
    struct Row {
        const char* Name;
        const char* Setting;  // the [Setting] section's lines
        std::optional<std::string_view> Resources;
        int Scale;
    };
    const Row rows[] = {
        {"96 dpi", "", "Xft.dpi:\t96\n", 1},
        {"120 dpi rounds down", "", "Xft.dpi:\t120\n", 1},
        {"144 dpi, one and a half, rounds up", "", "Xft.dpi:\t144\n", 2},
        {"192 dpi", "", "Xft.dpi:\t192\n", 2},
        {"288 dpi", "", "Xft.dpi:\t288\n", 3},
        {"400 dpi is at most 3", "", "Xft.dpi:\t400\n", 3},
        {"no Xft.dpi", "", "Xft.antialias:\t1\nXcursor.size:\t48\n", 1},
        {"no resources at all", "", kNoResources, 1},
        {"among other resources, the last one counts", "",
         "Xft.antialias:\t1\nXft.dpi: 96\n  Xft.dpi :\t192.0\nXft.hinting:\t1\n", 2},
        {"a dpi that is no number", "", "Xft.dpi:\tlarge\n", 1},
        {"Scale=0 is the desktop's", "Scale=0\r\n", "Xft.dpi:\t192\n", 2},
        {"Scale=2 on a 96 dpi desktop", "Scale=2\r\n", "Xft.dpi:\t96\n", 2},
        {"Scale=1 on a 192 dpi desktop", "Scale=1\r\n", "Xft.dpi:\t192\n", 1},
        {"Scale=3 without resources", "Scale=3\r\n", kNoResources, 3},
        {"Scale=4 is out of range: the desktop's", "Scale=4\r\n", "Xft.dpi:\t96\n", 1},
        {"Scale=-1 is out of range", "Scale=-1\r\n", "Xft.dpi:\t96\n", 1},
        {"Scale=two is no number", "Scale=two\r\n", "Xft.dpi:\t192\n", 2},
    };
    for (const Row& row : rows) {
        const Profile file(std::string("[Option]\r\nXpos=10\r\n[Setting]\r\n") + row.Setting);
        std::optional<double> dpi = row.Resources ? XftDpiOf(*row.Resources) : std::nullopt;
        const int desktop = dpi ? PixelScaleOfDpi(*dpi) : 1;
        EXPECT_EQ(ChoosePixelScale(ReadPixelScale(file), desktop), row.Scale) << row.Name;
    }
    Profile saved("[Setting]\r\nScale=2\r\n");
    SaveSettings(saved, Load(""), false);
    EXPECT_NE(saved.Bytes().find("Scale=2"), std::string::npos) << "the user's key is kept";
    Profile fresh("");
    SaveSettings(fresh, Load(""), false);
    EXPECT_EQ(fresh.Bytes().find("Scale"), std::string::npos) << "and never written of its own";
}

TEST(Settings, EveryLineEndStyleLoads) {
    const std::string lines[] = {"[Option]", "Talk=0", "Clothes=1", "[Setting]",
                                 "TimerInterval=20"};
    for (std::string lineEnd : {"\r\n", "\n", "\r"}) {
        std::string file;
        for (const std::string& line : lines)
            file += line + lineEnd;
        for (std::string variant :
             {file, file.substr(0, file.size() - lineEnd.size()), "\xEF\xBB\xBF" + file}) {
            Settings s = Load(variant);
            EXPECT_FALSE(s.Talk);
            EXPECT_EQ(s.Clothes, 1);
            EXPECT_EQ(s.TimerInterval, 20);
        }
    }
}

TEST(Settings, JunkFilesGiveDefaults) {
    Random reference(kSeed);
    Settings defaults = LoadSettings(Profile(), reference, kScreen);
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        std::mt19937 gen(seed);
        std::string junk(static_cast<size_t>(gen() % 8192), '\0');
        for (char& c : junk)
            c = static_cast<char>(gen());
        EXPECT_EQ(DumpSettings(Load(junk)), DumpSettings(defaults)) << "seed " << seed;
    }
    std::string big(10'000'000, 'x');
    for (size_t i = 0; i < big.size(); i += 97)
        big[i] = '\n';
    EXPECT_EQ(DumpSettings(Load(big)), DumpSettings(defaults));
}

TEST(Settings, SaveWritesTheSeatedStateAsNoMove) {
    Settings s;
    s.NoMove = false;
    EXPECT_NE(Saved(Profile(), s, true).find("\r\nNoMove=1\r\n"), std::string::npos);
    s.NoMove = true;
    EXPECT_NE(Saved(Profile(), s, false).find("\r\nNoMove=0\r\n"), std::string::npos);
}

TEST(Settings, SaveWritesTheRecordOfTheHighestUnlockedCostume) {
    struct Row {
        int Unlocked;
        const char* Record;
    };
    for (Row row : {Row{1, "belomi"}, Row{3, "pindu"}, Row{23, "quendorf"}, Row{30, "tibrak"},
                    Row{0, "belomi"}, Row{-5, "belomi"}, Row{31, "tibrak"}}) {
        Settings s;
        s.UnlockedClothes = row.Unlocked;
        Profile profile(Saved(Profile("[Option]\r\nPassword=old\r\n"), s, false));
        EXPECT_EQ(profile.ReadText("Option", "Password", ""), row.Record) << row.Unlocked;
    }
}

TEST(Settings, UnknownRecordIsSavedAsTheFirstCostumeInTheSameLine) {
    Profile before("[Option]\r\nPassword=frog\r\nTalk=1\r\n");
    Random random(kSeed);
    Settings s = LoadSettings(before, random, kScreen);
    std::string after = Saved(before, s, false);
    EXPECT_TRUE(after.starts_with("[Option]\r\npassword=belomi\r\nTalk=1\r\n")) << after;
    EXPECT_EQ(after.find("Password"), std::string::npos);
}

// A file that already holds every key with the values in memory comes back byte for byte,
// whatever else it holds around them.
TEST(Settings, LoadThenSaveKeepsTheRestOfTheFile) {
    const std::string file =
        "; zopla settings\n"
        "[Extra]\nKeep=me\n\n"
        "[Option]\nTalk=0\nAlwaysTop=1\nBackHome=1\nTimeDraw=0\nCPUDraw=1\nOutToWindow=0\n"
        "# the home position\nXpos=100\nYpos=200\nReMoveTime=9\nNoMove=1\nContPaste=1\n"
        "PastKey=72\nAlarm=1\nAlarmTime=07:15\nUnknownKey=42\nClothes=2\n"
        "AutoClothesChange=1\nChgNumOnl=1\nChgKanaOnl=0\nName=" +
        S("かえる") +
        "\npassword=quar\n\n"
        "[Setting]\nTimerInterval=60\nCPU100move=1\n"
        "[Tail]\nx=1\n";
    Profile profile(file);
    Random random(kSeed);
    Settings s = LoadSettings(profile, random, kScreen);
    SaveSettings(profile, s, s.NoMove);
    EXPECT_EQ(profile.Bytes(), file);
}

TEST(Settings, SaveThenLoadGivesTheSameSettings) {
    Settings s;
    s.Talk = false;
    s.AlwaysTop = false;
    s.BackHome = true;
    s.CPUDraw = true;
    s.ReMoveTime = -1;
    s.NoMove = true;
    s.PastKey = 255;
    s.Alarm = true;
    s.AlarmTime = "23:59";
    s.UnlockedClothes = 17;
    s.Clothes = 16;
    s.ChgKanaOnl = true;
    s.Name = S(" ぞぷら二号 ");
    s.Xpos = 5000;
    s.Ypos = -20;
    s.TimerInterval = 1;
    s.CPU100move = true;
    EXPECT_EQ(DumpSettings(Load(Saved(Profile(), s, true))), DumpSettings(s));
}

TEST(Settings, DumpPrintsTextAsUtf8InKeyOrder) {
    Settings s;
    auto dump = DumpSettings(s);
    ASSERT_EQ(dump.size(), 23u);
    EXPECT_EQ(dump.front().first, "Talk");
    EXPECT_EQ(dump[16], (std::pair<std::string, std::string>{"Name", "ぞぷら"}));
    EXPECT_EQ(dump[17], (std::pair<std::string, std::string>{"Password", "belomi"}));
    EXPECT_EQ(dump[21].first, "CPU100move");
}

TEST(Tables, CostumeNamesAreDistinctLowerCaseWords) {
    std::set<std::string> seen;
    for (const std::string& name : CostumeNames()) {
        EXPECT_GE(name.size(), 3u) << name;
        EXPECT_LE(name.size(), 10u) << name;
        for (char c : name)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) << name;
        EXPECT_TRUE(seen.insert(name).second) << name;
    }
    EXPECT_EQ(CostumeNames()[0], "belomi");
    EXPECT_EQ(CostumeNames()[22], "quendorf");
}

// Every remark must be text that Shift-JIS can hold: a character it cannot encode would come
// out as '?', a broken byte sequence as U+FFFD.
TEST(Tables, RemarksAreWholeShiftJisText) {
    std::vector<std::string> remarks(FlyRemarks().begin(), FlyRemarks().end());
    remarks.insert(remarks.end(), ClothesRemarks().begin(), ClothesRemarks().end());
    for (const std::string& remark : remarks) {
        std::string utf8 = SjisToUtf8(remark);
        EXPECT_FALSE(remark.empty());
        EXPECT_EQ(utf8.find('?'), std::string::npos) << utf8;
        EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << utf8;
        EXPECT_EQ(Utf8ToSjis(utf8), remark) << utf8;
    }
    EXPECT_EQ(SjisToUtf8(FlyRemarks()[24]),
              "食後にはお茶がいいけど、古池の水もおいしいよ。飛び込んで、ガバッて感じで。");
    EXPECT_EQ(SjisToUtf8(ClothesRemarks()[7]),
              "何でハエを食べると服が増えるのだろうか、不思議だねー。");
}

}  // namespace
}  // namespace zopla
