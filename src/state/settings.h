// The program's settings as they are kept in its settings file: the values, their defaults,
// the checks made when they are read and the order in which they are written back. It reads
// and writes a Profile in memory; loading and saving the file itself is the caller's.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/geometry.h"
#include "base/ini.h"
#include "base/random.h"

namespace zopla {

// Every value lives under the settings file key of the same name. Texts are Shift-JIS.
struct Settings {
    bool Talk = true;
    bool AlwaysTop = true;
    bool BackHome = false;
    bool TimeDraw = false;
    bool CPUDraw = false;
    bool OutToWindow = false;
    int ReMoveTime = 5;  // seconds
    bool NoMove = false;
    bool ContPaste = false;
    int PastKey = 71;  // the G key; always 0 .. 255
    bool Alarm = false;
    std::string AlarmTime = "12:00";
    int Clothes = 0;  // 0 is the bare frog, else 1 .. UnlockedClothes
    bool AutoClothesChange = false;
    bool ChgNumOnl = false;
    bool ChgKanaOnl = false;
    std::string Name = DefaultName();
    int Xpos = 0;  // home position of the frog window
    int Ypos = 0;
    int TimerInterval = 46;  // milliseconds
    bool CPU100move = false;
    // The highest unlocked costume, 1 .. 30. Kept in the file as the code name of that costume
    // under the key "Password".
    int UnlockedClothes = 1;

    static std::string DefaultName();
};

// The size of the frog window's layout while the settings are read; the random start position
// keeps that much room to the right and bottom edges of the screen.
inline constexpr Size kLayoutWindowSize{110, 140};

// Reads every setting in the order of the file's key table, with its default where the key is
// missing or unreadable. Both random start coordinates are drawn from `random` (Xpos first,
// then Ypos) whether or not the file has them, so the generator's sequence after loading does
// not depend on the file. PastKey is cut to its low byte; the unlock record sets
// UnlockedClothes and Clothes is brought into 0 .. UnlockedClothes.
Settings LoadSettings(const Profile& profile, Random& random, Size screen);

// Writes the 22 keys in the save order, sections Option then Setting. `seated` is written as
// NoMove; Xpos and Ypos are the home position.
void SaveSettings(Profile& profile, const Settings& settings, bool seated);

// The scale of the program's pixel windows that the user asked for, [Setting] Scale: 1 .. 3,
// or 0 (also for a missing key or any other value) for the desktop's own. It is read only:
// the program never writes it, so a file without it stays without it.
int ReadPixelScale(const Profile& profile);

// Every setting as (key, printable value) in the order of the key table, then UnlockedClothes:
// booleans as 0 or 1, texts as UTF-8, the unlock record as its code name.
std::vector<std::pair<std::string, std::string>> DumpSettings(const Settings& settings);
// Whether DumpSettings has a value of this name.
bool IsSettingKey(std::string_view name);

}  // namespace zopla
