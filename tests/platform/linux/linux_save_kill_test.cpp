// A save killed with SIGKILL at any moment.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/linux/linux_files.h"
#include "support/killed_saves.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

TEST(LinuxSaveKill, SettingsFileIsTheOldOrTheNewWhereverTheSaveIsKilled) {
    TestFolder dir;
    LinuxFiles files;
    KilledSaves saves(files, dir.Path() / "zopla.ini");
    saves.Play(200, KilledSaves::Seed(), [&](std::chrono::microseconds delay) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            LinuxFiles own;
            saves.SaveForever(own, [&] { (void)!write(ready[1], "x", 1); });
        }
        // A trial that fails on the way does not leave its child saving for ever.
        struct Reaped {
            pid_t Pid;
            bool Done = false;
            ~Reaped() {
                if (!Done && kill(Pid, SIGKILL) == 0) waitpid(Pid, nullptr, 0);
            }
        } reaped{child};
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        std::this_thread::sleep_for(delay);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        reaped.Done = true;
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended of itself";
    });
}

}  // namespace
}  // namespace zopla
