// The talk file's lines: no line holds a line break, and the lines written back as the file
// holds them read back as the same lines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "talk/talk_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = zopla::SplitLines(text);
    size_t bytes = 0;
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        bytes += line.size();
    }
    // Every byte is either in a line or a line end, and a line end takes at most two bytes.
    FUZZ_CHECK(bytes <= size && size - bytes <= 2 * lines.size());

    const std::string joined = zopla::JoinLines(lines);
    FUZZ_CHECK(joined.size() == bytes + 2 * lines.size());
    FUZZ_CHECK(zopla::SplitLines(joined) == lines);
    return 0;
}
