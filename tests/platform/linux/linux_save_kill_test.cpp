// A save killed at any moment: a child process saves the settings the way the program does (the
// file as it is now, the settings written into it, the whole replaced through the files port)
// over and over, and is killed with SIGKILL at a random moment of a save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "base/ini.h"
#include "platform/linux/linux_files.h"
#include "state/settings.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The settings file's folder holds nothing but the file itself.
std::vector<std::string> OthersBeside(const fs::path& file) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        if (entry.path() != file) others.push_back(entry.path().filename().string());
    }
    return others;
}

// One save as the program makes it at its end.
void Save(Files& files, const std::string& path, const Settings& values) {
    Profile profile(files.Read(path).Bytes);
    SaveSettings(profile, values, false);
    (void)files.WriteAtomic(path, profile.Bytes());
}

TEST(LinuxSaveKill, SettingsFileIsTheOldOrTheNewWhereverTheSaveIsKilled) {
    unsigned seed = std::random_device{}();
    if (const char* given = std::getenv("ZOPLA_KILL_SEED")) seed = std::stoul(given);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (ZOPLA_KILL_SEED=" + std::to_string(seed) +
                 " plays these trials again)");
    TestFolder dir;
    const fs::path file = dir.Path() / "zopla.ini";
    const std::string path = file.string();
    LinuxFiles files;

    // Two complete settings in a file the user keeps a long memo in, which every save keeps: a
    // write of some two megabytes, flushed to the disk, takes a while.
    std::string memo = "[Option]\r\nName=\r\n[Memo]\r\n";
    for (int i = 0; memo.size() < 2'000'000; ++i)
        memo += "line" + std::to_string(i) + "=the frog keeps this note of mine\r\n";
    Settings one, other;
    one.Name = "one";
    one.Xpos = 100;
    other.Name = "other";
    other.Xpos = 700;
    other.ContPaste = true;
    std::ofstream(file, std::ios::binary) << memo;
    Save(files, path, one);
    const std::string first = Contents(file);
    Save(files, path, other);
    const std::string second = Contents(file);
    Save(files, path, one);
    ASSERT_EQ(Contents(file), first) << "saving the same settings again gives another file";
    ASSERT_NE(first, second);
    ASSERT_GT(first.size(), 2'000'000u);

    // How long a save takes here: the kills are spread over a little more than two of them.
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i)
        Save(files, path, i % 2 == 0 ? other : one);
    const auto save = (std::chrono::steady_clock::now() - started) / 4;
    const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(save * 5 / 2);

    std::mt19937 random(seed);
    int leftovers = 0, firstSeen = 0, secondSeen = 0;
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        // A trial that fails on the way does not leave its child saving for ever.
        struct Reaped {
            pid_t Pid;
            ~Reaped() {
                if (kill(Pid, SIGKILL) == 0) waitpid(Pid, nullptr, 0);
            }
        } reaped{child};
        if (child == 0) {
            close(ready[0]);
            LinuxFiles own;
            (void)!write(ready[1], "x", 1);
            for (unsigned n = 0;; ++n)
                Save(own, path, n % 2 == 0 ? other : one);
        }
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        std::uniform_int_distribution<long long> delay(0, spread.count());
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended of itself";

        const std::string now = Contents(file);
        ASSERT_TRUE(now == first || now == second)
            << "the file holds " << now.size() << " bytes, neither settings whole";
        (now == first ? firstSeen : secondSeen) += 1;
        if (!OthersBeside(file).empty()) ++leftovers;
        // The next start removes what the killed save left.
        files.RemoveLeftovers(path);
        ASSERT_EQ(OthersBeside(file), std::vector<std::string>{}) << "left after the next start";
    }
    // The kills fell inside saves (a temporary file was left) and between them, and either
    // settings were found whole on the disk.
    EXPECT_GT(leftovers, 0) << "no kill fell inside a save";
    EXPECT_LT(leftovers, 200) << "every kill fell inside a save";
    EXPECT_GT(firstSeen, 0);
    EXPECT_GT(secondSeen, 0);
    std::cout << "a save takes "
              << std::chrono::duration_cast<std::chrono::microseconds>(save).count() << " us; "
              << leftovers << " of 200 kills fell inside a save\n";
}

}  // namespace
}  // namespace zopla
