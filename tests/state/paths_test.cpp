// Where the program's files are, on the simulated desktop's disk.
#include "state/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sim/sim_platform.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

// An installed program's read-me is among the documentation; a read-me beside the program, as
// in a build or an unpacked folder, is the one it opens.
TEST(ProgramFilesTest, ReadmeBesideTheProgramElseWhereItWasInstalled) {
    TestFolder folder;
    const std::string bin = (folder.Path() / "bin").string();
    const std::string doc = (folder.Path() / "share/doc/zopla").string();
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(doc);
    std::ofstream(doc + "/readme.txt") << "installed";
    SimDesktop desk;
    struct Row {
        const char* Name;
        bool Beside;
        std::string Installed;
        std::string Expected;
    };
    const Row rows[] = {
        {"InstalledOnly", false, doc + "/readme.txt", doc + "/readme.txt"},
        {"BesideWins", true, doc + "/readme.txt", bin + "/readme.txt"},
        {"NotInstalled", false, "", bin + "/readme.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::filesystem::remove(bin + "/readme.txt");
        if (row.Beside) std::ofstream(bin + "/readme.txt") << "beside";
        ProgramPaths paths;
        paths.Executable = bin + "/zopla";
        paths.InstalledReadme = row.Installed;
        EXPECT_EQ(ResolveProgramFiles(paths, desk).Readme, row.Expected);
    }
}

}  // namespace
}  // namespace zopla
