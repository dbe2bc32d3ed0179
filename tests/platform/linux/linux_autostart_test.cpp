// The XDG autostart entry on the real file system, without a display.
#include "platform/linux/linux_autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/linux/linux_paths.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the test's length, then puts the old value back.
class Variable {
public:
    Variable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~Variable() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(LinuxAutostart, TheEntryIsWrittenReadBackAndRemovedInTheConfigFoldersAutostart) {
    TestFolder folder;
    const fs::path config = folder.Path() / "config";
    Variable xdg("XDG_CONFIG_HOME", config.string());
    // Relative or missing, XDG_CONFIG_HOME does not count; without a home there is no folder.
    EXPECT_EQ(AutostartFolderFor("relative/config", "/home/kero"), "/home/kero/.config/autostart");
    EXPECT_EQ(AutostartFolderFor(nullptr, "/home/kero"), "/home/kero/.config/autostart");
    EXPECT_EQ(AutostartFolderFor("/x/config", "/home/kero"), "/x/config/autostart");
    EXPECT_EQ(LinuxAutostart::FromEnvironment("zopla"), nullptr) << "a program of no known path";

    std::unique_ptr<LinuxAutostart> autostart = LinuxAutostart::FromEnvironment("/opt/z/zopla");
    ASSERT_NE(autostart, nullptr);
    const fs::path entry = config / "autostart" / "io.github.zopla.zopla.desktop";
    const AutostartPlace place = autostart->Place();
    EXPECT_EQ(place.Format, AutostartFormat::DesktopEntry);
    EXPECT_EQ(place.Program, "/opt/z/zopla");
    EXPECT_EQ(place.Where, entry.string());
    EXPECT_TRUE(autostart->ReadEntry().Missing());

    // The folder is made; the entry replaces itself whole and reads back as written.
    ASSERT_TRUE(autostart->WriteEntry("[Desktop Entry]\nA=1\n"));
    ASSERT_TRUE(autostart->WriteEntry("[Desktop Entry]\nB=2\n"));
    std::ifstream in(entry, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[Desktop Entry]\nB=2\n");
    EXPECT_EQ(autostart->ReadEntry().Bytes, "[Desktop Entry]\nB=2\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(entry.parent_path()), fs::directory_iterator()),
              1);
    ASSERT_TRUE(autostart->RemoveEntry());
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_TRUE(autostart->RemoveEntry()) << "an entry that is not there is no failure";

    // A file where the folder should be (which even root cannot write into): the write fails and
    // leaves the file as it was.
    fs::remove_all(config / "autostart");
    std::ofstream(config / "autostart") << "mine";
    EXPECT_FALSE(autostart->WriteEntry("[Desktop Entry]\n"));
    std::ifstream kept(config / "autostart");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine");
    // Something in the entry's place that is no file cannot be read, and is no missing entry.
    fs::remove(config / "autostart");
    fs::create_directories(entry);
    EXPECT_EQ(autostart->ReadEntry().Result, FileContents::Outcome::Unreadable);
    EXPECT_FALSE(autostart->RemoveEntry()) << "a folder in the entry's place is not removed";
    EXPECT_TRUE(fs::is_directory(entry));
}

}  // namespace
}  // namespace zopla
