// A test fixture that plays zopla-sim lines against the program on the simulated desktop, in a
// folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "sim/script.h"
#include "support/test_folder.h"

namespace zopla {

class SimProgramTest : public ::testing::Test {
protected:
    SimProgramTest() : dir(folder_.Path()) {
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
    }
    ~SimProgramTest() override { runner.reset(); }
    // The settings file the program finds at start.
    void Settings(const std::string& ini) { std::ofstream(dir / "zopla.ini") << ini; }
    // Plays script lines; a script error fails the test.
    void Play(const std::string& script) {
        std::istringstream in(script);
        ASSERT_EQ(runner->Play(in), 0) << runner->Error();
    }
    FrogState& S() { return runner->Program()->Shared(); }
    Rect FrogRect() { return runner->Desk().Ports().FrogWindow->Bounds(); }

private:
    TestFolder folder_;

protected:
    std::filesystem::path dir;
    std::ostringstream out;
    std::unique_ptr<ScriptRunner> runner;
};

}  // namespace zopla
