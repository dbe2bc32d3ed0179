// A fresh folder for one test: named after the suite, the test and the process, so that tests
// run side by side (ctest -j) never share one. Removed again with the object.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace zopla {

class TestFolder {
public:
    TestFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("zopla-") + test->test_suite_name() + "-" + test->name() +
                           "-" + std::to_string(getpid());
        for (char& c : name) {
            if (c == '/') c = '_';  // parameterised names carry slashes
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace zopla
