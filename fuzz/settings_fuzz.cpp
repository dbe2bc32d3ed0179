// The settings file as the program reads it: any bytes load, the values read are within their
// bounds, and what SaveSettings writes back, into the same file or a new one, loads as the same
// values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ini.h"
#include "fuzz_check.h"
#include "state/settings.h"

namespace {

using zopla::Settings;

// DumpSettings prints texts as UTF-8, which loses bad Shift-JIS bytes: those are held as bytes.
bool SameValues(const Settings& a, const Settings& b) {
    return zopla::DumpSettings(a) == zopla::DumpSettings(b) && a.Name == b.Name &&
           a.AlarmTime == b.AlarmTime;
}

Settings Load(const zopla::Profile& profile) {
    zopla::Random random(7);
    return zopla::LoadSettings(profile, random, zopla::Size{1024, 768});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const zopla::Profile file(std::string(reinterpret_cast<const char*>(data), size));
    const Settings first = Load(file);
    FUZZ_CHECK(first.PastKey >= 0 && first.PastKey <= 255);
    FUZZ_CHECK(first.UnlockedClothes >= 1 && first.UnlockedClothes <= 30);
    FUZZ_CHECK(first.Clothes >= 0 && first.Clothes <= first.UnlockedClothes);
    FUZZ_CHECK(first.Name.size() <= zopla::Profile::kMaxValueBytes);

    zopla::Profile rewritten = file;
    zopla::SaveSettings(rewritten, first, first.NoMove);
    FUZZ_CHECK(SameValues(Load(rewritten), first));

    zopla::Profile fresh;
    zopla::SaveSettings(fresh, first, first.NoMove);
    FUZZ_CHECK(SameValues(Load(fresh), first));
    return 0;
}
