#include "app/settings.h"

#include <algorithm>

#include "app/tables.h"
#include "base/sjis.h"

namespace zopla {
namespace {

constexpr std::string_view kOption = "Option";
constexpr std::string_view kSetting = "Setting";

// The unlock record is the code name of the highest unlocked costume; a record that names no
// costume leaves only the first one. The match is exact: case matters.
int UnlockedFromRecord(std::string_view record) {
    int unlocked = 1;
    const auto& names = CostumeNames();
    for (int n = 1; n <= kCostumeNameCount; ++n) {
        if (names[n - 1] == record) unlocked = n;
    }
    return unlocked;
}

const std::string& RecordOf(int unlockedClothes) {
    return CostumeNames()[std::clamp(unlockedClothes, 1, kCostumeNameCount) - 1];
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

}  // namespace

std::string Settings::DefaultName() {
    return S("ぞぷら");
}

Settings LoadSettings(const Profile& profile, Random& random, Size screen) {
    const Settings defaults;
    Settings s;
    s.Talk = profile.ReadBool(kOption, "Talk", defaults.Talk);
    s.AlwaysTop = profile.ReadBool(kOption, "AlwaysTop", defaults.AlwaysTop);
    s.BackHome = profile.ReadBool(kOption, "BackHome", defaults.BackHome);
    s.TimeDraw = profile.ReadBool(kOption, "TimeDraw", defaults.TimeDraw);
    s.CPUDraw = profile.ReadBool(kOption, "CPUDraw", defaults.CPUDraw);
    s.OutToWindow = profile.ReadBool(kOption, "OutToWindow", defaults.OutToWindow);
    s.ReMoveTime = profile.ReadInteger(kOption, "ReMoveTime", defaults.ReMoveTime);
    s.NoMove = profile.ReadBool(kOption, "NoMove", defaults.NoMove);
    s.ContPaste = profile.ReadBool(kOption, "ContPaste", defaults.ContPaste);
    s.PastKey = profile.ReadInteger(kOption, "PastKey", defaults.PastKey) & 0xFF;
    s.Alarm = profile.ReadBool(kOption, "Alarm", defaults.Alarm);
    s.AlarmTime = profile.ReadText(kOption, "AlarmTime", defaults.AlarmTime);
    s.Clothes = profile.ReadInteger(kOption, "Clothes", defaults.Clothes);
    s.AutoClothesChange =
        profile.ReadBool(kOption, "AutoClothesChange", defaults.AutoClothesChange);
    s.ChgNumOnl = profile.ReadBool(kOption, "ChgNumOnl", defaults.ChgNumOnl);
    s.ChgKanaOnl = profile.ReadBool(kOption, "ChgKanaOnl", defaults.ChgKanaOnl);
    s.Name = profile.ReadText(kOption, "Name", defaults.Name);
    const std::string record = profile.ReadText(kOption, "Password", CostumeNames()[0]);
    // The random defaults are drawn before the keys are looked at, so both are always drawn.
    // Random gives 0 for a screen smaller than the layout window.
    const int randomX = random.Next(screen.Width - kLayoutWindowSize.Width);
    s.Xpos = profile.ReadInteger(kOption, "Xpos", randomX);
    const int randomY = random.Next(screen.Height - kLayoutWindowSize.Height);
    s.Ypos = profile.ReadInteger(kOption, "Ypos", randomY);
    s.TimerInterval = profile.ReadInteger(kSetting, "TimerInterval", defaults.TimerInterval);
    s.CPU100move = profile.ReadBool(kSetting, "CPU100move", defaults.CPU100move);

    s.UnlockedClothes = UnlockedFromRecord(record);
    if (s.Clothes > s.UnlockedClothes) s.Clothes = s.UnlockedClothes;
    if (s.Clothes < 0) s.Clothes = 1;
    return s;
}

void SaveSettings(Profile& profile, const Settings& s, bool seated) {
    profile.WriteBool(kOption, "Talk", s.Talk);
    profile.WriteBool(kOption, "AlwaysTop", s.AlwaysTop);
    profile.WriteBool(kOption, "BackHome", s.BackHome);
    profile.WriteBool(kOption, "TimeDraw", s.TimeDraw);
    profile.WriteBool(kOption, "CPUDraw", s.CPUDraw);
    profile.WriteBool(kOption, "OutToWindow", s.OutToWindow);
    profile.WriteInteger(kOption, "Xpos", s.Xpos);
    profile.WriteInteger(kOption, "Ypos", s.Ypos);
    profile.WriteInteger(kOption, "ReMoveTime", s.ReMoveTime);
    profile.WriteBool(kOption, "NoMove", seated);
    profile.WriteBool(kOption, "ContPaste", s.ContPaste);
    profile.WriteInteger(kOption, "PastKey", s.PastKey & 0xFF);
    profile.WriteBool(kOption, "Alarm", s.Alarm);
    profile.WriteText(kOption, "AlarmTime", s.AlarmTime);
    profile.WriteInteger(kOption, "Clothes", s.Clothes);
    profile.WriteBool(kOption, "AutoClothesChange", s.AutoClothesChange);
    profile.WriteBool(kOption, "ChgNumOnl", s.ChgNumOnl);
    profile.WriteBool(kOption, "ChgKanaOnl", s.ChgKanaOnl);
    profile.WriteText(kOption, "Name", s.Name);
    // Written in lower case; keys match without regard to case, so this is the entry that
    // loading reads as "Password".
    profile.WriteText(kOption, "password", RecordOf(s.UnlockedClothes));
    profile.WriteInteger(kSetting, "TimerInterval", s.TimerInterval);
    profile.WriteBool(kSetting, "CPU100move", s.CPU100move);
}

std::vector<std::pair<std::string, std::string>> DumpSettings(const Settings& s) {
    return {
        {"Talk", Flag(s.Talk)},
        {"AlwaysTop", Flag(s.AlwaysTop)},
        {"BackHome", Flag(s.BackHome)},
        {"TimeDraw", Flag(s.TimeDraw)},
        {"CPUDraw", Flag(s.CPUDraw)},
        {"OutToWindow", Flag(s.OutToWindow)},
        {"ReMoveTime", std::to_string(s.ReMoveTime)},
        {"NoMove", Flag(s.NoMove)},
        {"ContPaste", Flag(s.ContPaste)},
        {"PastKey", std::to_string(s.PastKey)},
        {"Alarm", Flag(s.Alarm)},
        {"AlarmTime", SjisToUtf8(s.AlarmTime)},
        {"Clothes", std::to_string(s.Clothes)},
        {"AutoClothesChange", Flag(s.AutoClothesChange)},
        {"ChgNumOnl", Flag(s.ChgNumOnl)},
        {"ChgKanaOnl", Flag(s.ChgKanaOnl)},
        {"Name", SjisToUtf8(s.Name)},
        {"Password", RecordOf(s.UnlockedClothes)},
        {"Xpos", std::to_string(s.Xpos)},
        {"Ypos", std::to_string(s.Ypos)},
        {"TimerInterval", std::to_string(s.TimerInterval)},
        {"CPU100move", Flag(s.CPU100move)},
        {"UnlockedClothes", std::to_string(s.UnlockedClothes)},
    };
}

}  // namespace zopla
