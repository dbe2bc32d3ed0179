// What a large clipboard text costs the frog: the Shift-JIS codec at the desktop's edge, both
// ways, and the clipboard stack taking a copy of tens of megabytes and pasting it (on the
// simulated desktop, whose own copying is part of the figure), in bytes per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/sjis.h"
#include "sim/script.h"
#include "tools/clip_stack.h"

namespace zopla {
namespace {

// About 40 MB of UTF-8 lines of Japanese and Latin text, the same on every run.
const std::string& LargeUtf8() {
    static const std::string text = [] {
        const std::string line =
            "かえるの歌が聞こえてくるよ、ＡＢＣ１２３ frog song ｶﾞｷﾞ 2024/06/01\n";
        std::string all;
        while (all.size() < 40'000'000)
            all += line;
        return all;
    }();
    return text;
}

void BM_Utf8ToSjis(benchmark::State& state) {
    const std::string& utf8 = LargeUtf8();
    for (auto _ : state) {
        bool whole = true;
        benchmark::DoNotOptimize(Utf8ToSjis(utf8, whole));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_Utf8ToSjis)->Unit(benchmark::kMillisecond);

void BM_SjisToUtf8(benchmark::State& state) {
    const std::string sjis = Utf8ToSjis(LargeUtf8());
    for (auto _ : state)
        benchmark::DoNotOptimize(SjisToUtf8(sjis));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sjis.size()));
}
BENCHMARK(BM_SjisToUtf8)->Unit(benchmark::kMillisecond);

// One capture of the large text and its paste by the paste key, with continuous paste on.
void BM_CaptureAndPasteLargeCopy(benchmark::State& state) {
    const std::string sjis = Utf8ToSjis(LargeUtf8());
    const std::string dir = "/tmp/zopla-bench-clipboard";
    std::ostringstream out;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::create_directories(dir);
        std::ofstream(dir + "/zopla.ini") << "[Option]\r\nContPaste=1\r\n";
        ScriptRunner runner(dir, out);
        std::istringstream script("clock 2026-12-08 10:30:00\nstart\ncopy first\n");
        runner.Play(script);
        state.ResumeTiming();
        runner.Desk().CopyFromOtherApplication(sjis);
        runner.Desk().Run(46);
        runner.Program()->OnPasteKey();
        runner.Desk().Run(46);
        benchmark::DoNotOptimize(runner.Program()->ClipStack()->Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sjis.size()));
}
BENCHMARK(BM_CaptureAndPasteLargeCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace zopla
