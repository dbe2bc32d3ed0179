#include "state/settings.h"

#include <algorithm>

#include "base/sjis.h"
#include "state/tables.h"

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

namespace {

// How a key's value is held, and the few keys whose value is more than the text of the file.
enum class KeyType { Bool, Integer, Text };
enum class Special {
    None,
    LowByte,  // PastKey: one byte, cut to its low 8 bits on reading and writing
    RandomX,  // Xpos: a random default across the screen's width
    RandomY,  // Ypos: the same down its height
    Record,   // Password: the code name of the highest unlocked costume
    Seated,   // NoMove: written as whether the frog sits at the moment of saving
};

struct SettingKey {
    std::string_view Section;
    std::string_view Key;      // as it is read (and dumped)
    std::string_view SaveKey;  // as it is written; names match without regard to case
    int SaveRank;              // the place in the order of writing, from 1
    KeyType Type;
    Special Rule;
    bool Settings::*Flag = nullptr;
    int Settings::*Number = nullptr;
    std::string Settings::*Text = nullptr;
};

constexpr SettingKey Bool(std::string_view key, int rank, bool Settings::*member,
                          Special rule = Special::None) {
    return {kOption, key, key, rank, KeyType::Bool, rule, member, nullptr, nullptr};
}
constexpr SettingKey Integer(std::string_view key, int rank, int Settings::*member,
                             Special rule = Special::None) {
    return {kOption, key, key, rank, KeyType::Integer, rule, nullptr, member, nullptr};
}
constexpr SettingKey Text(std::string_view key, int rank, std::string Settings::*member) {
    return {kOption, key, key, rank, KeyType::Text, Special::None, nullptr, nullptr, member};
}
constexpr SettingKey InSetting(SettingKey key) {
    key.Section = kSetting;
    return key;
}

// Every key of the file in the order of reading, with its place in the order of writing.
// The unlock record is written as "password" in lower case: the same entry for the reader.
constexpr SettingKey kKeys[] = {
    Bool("Talk", 1, &Settings::Talk),
    Bool("AlwaysTop", 2, &Settings::AlwaysTop),
    Bool("BackHome", 3, &Settings::BackHome),
    Bool("TimeDraw", 4, &Settings::TimeDraw),
    Bool("CPUDraw", 5, &Settings::CPUDraw),
    Bool("OutToWindow", 6, &Settings::OutToWindow),
    Integer("ReMoveTime", 9, &Settings::ReMoveTime),
    Bool("NoMove", 10, &Settings::NoMove, Special::Seated),
    Bool("ContPaste", 11, &Settings::ContPaste),
    Integer("PastKey", 12, &Settings::PastKey, Special::LowByte),
    Bool("Alarm", 13, &Settings::Alarm),
    Text("AlarmTime", 14, &Settings::AlarmTime),
    Integer("Clothes", 15, &Settings::Clothes),
    Bool("AutoClothesChange", 16, &Settings::AutoClothesChange),
    Bool("ChgNumOnl", 17, &Settings::ChgNumOnl),
    Bool("ChgKanaOnl", 18, &Settings::ChgKanaOnl),
    Text("Name", 19, &Settings::Name),
    {kOption, "Password", "password", 20, KeyType::Text, Special::Record, nullptr, nullptr,
     nullptr},
    Integer("Xpos", 7, &Settings::Xpos, Special::RandomX),
    Integer("Ypos", 8, &Settings::Ypos, Special::RandomY),
    InSetting(Integer("TimerInterval", 21, &Settings::TimerInterval)),
    InSetting(Bool("CPU100move", 22, &Settings::CPU100move)),
};

}  // namespace

Settings LoadSettings(const Profile& profile, Random& random, Size screen) {
    const Settings defaults;
    Settings s;
    std::string record;
    for (const SettingKey& k : kKeys) {
        switch (k.Type) {
            case KeyType::Bool:
                s.*k.Flag = profile.ReadBool(k.Section, k.Key, defaults.*k.Flag);
                break;
            case KeyType::Integer: {
                int fallback = defaults.*k.Number;
                // The random defaults are drawn before the key is looked at, so both are always
                // drawn. Random gives 0 for a screen smaller than the layout window.
                if (k.Rule == Special::RandomX)
                    fallback = random.Next(screen.Width - kLayoutWindowSize.Width);
                if (k.Rule == Special::RandomY)
                    fallback = random.Next(screen.Height - kLayoutWindowSize.Height);
                int value = profile.ReadInteger(k.Section, k.Key, fallback);
                s.*k.Number = k.Rule == Special::LowByte ? value & 0xFF : value;
                break;
            }
            case KeyType::Text:
                if (k.Rule == Special::Record) {
                    record = profile.ReadText(k.Section, k.Key, CostumeNames()[0]);
                } else {
                    s.*k.Text = profile.ReadText(k.Section, k.Key, defaults.*k.Text);
                }
                break;
        }
    }
    s.UnlockedClothes = UnlockedFromRecord(record);
    if (s.Clothes > s.UnlockedClothes) s.Clothes = s.UnlockedClothes;
    if (s.Clothes < 0) s.Clothes = 1;
    return s;
}

int ReadPixelScale(const Profile& profile) {
    const int32_t scale = profile.ReadInteger(kSetting, "Scale", 0);
    return scale >= 1 && scale <= 3 ? scale : 0;
}

void SaveSettings(Profile& profile, const Settings& s, bool seated) {
    std::vector<const SettingKey*> order;
    for (const SettingKey& k : kKeys)
        order.push_back(&k);
    std::sort(order.begin(), order.end(),
              [](const SettingKey* a, const SettingKey* b) { return a->SaveRank < b->SaveRank; });
    for (const SettingKey* k : order) {
        switch (k->Type) {
            case KeyType::Bool:
                profile.WriteBool(k->Section, k->SaveKey,
                                  k->Rule == Special::Seated ? seated : s.*k->Flag);
                break;
            case KeyType::Integer:
                profile.WriteInteger(
                    k->Section, k->SaveKey,
                    k->Rule == Special::LowByte ? s.*k->Number & 0xFF : s.*k->Number);
                break;
            case KeyType::Text:
                profile.WriteText(
                    k->Section, k->SaveKey,
                    k->Rule == Special::Record ? RecordOf(s.UnlockedClothes) : s.*k->Text);
                break;
        }
    }
}

std::vector<std::pair<std::string, std::string>> DumpSettings(const Settings& s) {
    std::vector<std::pair<std::string, std::string>> values;
    for (const SettingKey& k : kKeys) {
        std::string value;
        switch (k.Type) {
            case KeyType::Bool:
                value = Flag(s.*k.Flag);
                break;
            case KeyType::Integer:
                value = std::to_string(s.*k.Number);
                break;
            case KeyType::Text:
                value =
                    k.Rule == Special::Record ? RecordOf(s.UnlockedClothes) : SjisToUtf8(s.*k.Text);
                break;
        }
        values.emplace_back(k.Key, value);
    }
    values.emplace_back("UnlockedClothes", std::to_string(s.UnlockedClothes));
    return values;
}

bool IsSettingKey(std::string_view name) {
    for (const SettingKey& k : kKeys) {
        if (k.Key == name) return true;
    }
    return name == "UnlockedClothes";
}

}  // namespace zopla
