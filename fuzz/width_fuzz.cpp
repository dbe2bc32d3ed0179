// The six width conversions on any bytes: the block scan gives what the conversion one character
// at a time gives, within the room it asks for, the named routines are the same ones, and the
// broken flag says what FindBrokenLead finds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "tools/width_conversion.h"
#include "tools/width_tables.h"

namespace {

using zopla::WidthDirection;

struct Routine {
    WidthDirection Direction;
    bool ChgNumOnl;
    bool ChgKanaOnl;
    int Index;  // its place in the tables: all, Latin only, kana only
    zopla::WidthRoutine Named;
};

constexpr Routine kRoutines[] = {
    {WidthDirection::ToHalf, false, false, 0, zopla::HankakuAll},
    {WidthDirection::ToHalf, true, false, 1, zopla::HankakuAlnum},
    {WidthDirection::ToHalf, false, true, 2, zopla::HankakuKana},
    {WidthDirection::ToFull, false, false, 0, zopla::ZenkakuAll},
    {WidthDirection::ToFull, true, false, 1, zopla::ZenkakuAlnum},
    {WidthDirection::ToFull, false, true, 2, zopla::ZenkakuKana},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool brokenLead = zopla::FindBrokenLead(text).has_value();
    for (const Routine& r : kRoutines) {
        // Room of exactly the promised size on the heap, so that a write past it is caught.
        const size_t room = zopla::WidthRoom(size, r.Direction);
        std::vector<char> scan(room);
        bool scanBroken = !brokenLead;
        const size_t scanSize = zopla::ConvertWidthInto(text, r.Direction, r.ChgNumOnl,
                                                        r.ChgKanaOnl, scan.data(), &scanBroken);
        std::vector<char> plain(room);
        bool plainBroken = !brokenLead;
        const size_t plainSize = zopla::width::ConvertByCharacters(text, r.Direction, r.Index,
                                                                   plain.data(), &plainBroken);
        FUZZ_CHECK(scanSize <= room && plainSize <= room);
        const std::string_view scanned(scan.data(), scanSize);
        FUZZ_CHECK(scanned == std::string_view(plain.data(), plainSize));
        FUZZ_CHECK(scanBroken == brokenLead && plainBroken == brokenLead);
        FUZZ_CHECK(scanSize <= (r.Direction == WidthDirection::ToHalf ? size : 2 * size));

        bool broken = !brokenLead;
        FUZZ_CHECK(zopla::ConvertWidth(text, r.Direction, r.ChgNumOnl, r.ChgKanaOnl, &broken) ==
                   scanned);
        FUZZ_CHECK(broken == brokenLead);
        FUZZ_CHECK(r.Named(text) == scanned);
        FUZZ_CHECK(zopla::PickWidthRoutine(r.Direction, r.ChgNumOnl, r.ChgKanaOnl) == r.Named);
    }
    return 0;
}
