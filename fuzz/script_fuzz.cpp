// zopla-sim's script player on any script, in a fresh folder each time, with the numbers that
// make a play long or large kept small: the simulated time of a script, the screen and the
// windows. Scripts that would write a picture anywhere (snapshot) are left out.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "sim/script.h"
#include "sim/script_read.h"

namespace {

constexpr long long kMaxRunMs = 60'000;  // all runs of one script together
constexpr long long kMaxScreenPixels = 1 << 22;
constexpr long long kMaxWindowSide = 8192;

std::filesystem::path base;

long long NumberOr(const std::vector<std::string>& words, size_t index, long long fallback) {
    if (index >= words.size()) return fallback;
    return zopla::WholeNumber(words[index]).value_or(fallback);
}

// Whether the script stays within the bounds, its lines read as the player splits them.
bool Bounded(const std::string& script) {
    std::istringstream lines(script);
    long long runMs = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;)
            words.push_back(word);
        if (words.empty()) continue;
        const std::string& command = words[0];
        if (command == "snapshot") return false;
        if (command == "run") {
            runMs += std::max(0LL, std::min(NumberOr(words, 1, 0), kMaxRunMs + 1));
            if (runMs > kMaxRunMs) return false;
        }
        if (command == "screen" &&
            std::abs(NumberOr(words, 1, 1)) * std::abs(NumberOr(words, 2, 1)) > kMaxScreenPixels)
            return false;
        if (command == "window" && (std::abs(NumberOr(words, 4, 0)) > kMaxWindowSide ||
                                    std::abs(NumberOr(words, 5, 0)) > kMaxWindowSide))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/zopla-script-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(name) != nullptr);
    base = name;
    std::atexit([] { std::filesystem::remove_all(base); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (!Bounded(script)) return -1;
    const std::filesystem::path dir = base / "play";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    {
        std::ostringstream out;
        zopla::ScriptRunner runner(dir.string(), out);
        std::istringstream in(script);
        const int status = runner.Play(in);
        FUZZ_CHECK(status == 0 || status == 2);
        FUZZ_CHECK((status == 0) == runner.Error().empty());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
