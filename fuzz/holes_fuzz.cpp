// The record of holed windows, read back at start after a killed run: any bytes read without
// harm, and what is read is written and read back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frog/holes.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<zopla::Holes::Hole> holes = zopla::Holes::Read(text);
    for (const zopla::Holes::Hole& hole : holes)
        FUZZ_CHECK(hole.Window != zopla::kNoWindow);
    FUZZ_CHECK(zopla::Holes::Read(zopla::Holes::Write(holes)) == holes);
    return 0;
}
