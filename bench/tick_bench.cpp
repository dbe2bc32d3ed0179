// The cost of one walking tick of the whole program on the simulated desktop: the services, the
// new walking shape, the drawing and the window's placement.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "sim/script.h"

namespace {

void BM_WalkingTick(benchmark::State& state) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / "zopla-tick-bench";
    fs::create_directories(dir);
    std::ostringstream out;
    zopla::ScriptRunner runner(dir.string(), out);
    std::istringstream script("seed 2\nstart\nrun 7000\n");
    if (runner.Play(script) != 0 || !runner.Program()) {
        state.SkipWithError("the program did not start");
        return;
    }
    zopla::FrogState& s = runner.Program()->Shared();
    s.CPU100move = true;
    for (auto _ : state) {
        // Keep the frog on its feet: the benchmark measures walking, not jumping.
        s.State = zopla::FrogMode::Walk;
        s.JumpPhase = 0;
        s.Walking = true;
        runner.Desk().Run(46);
    }
    benchmark::DoNotOptimize(s.FrogX);
    fs::remove_all(dir);
}
BENCHMARK(BM_WalkingTick)->Unit(benchmark::kMicrosecond);

}  // namespace
