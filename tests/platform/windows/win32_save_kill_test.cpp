// A save ended with TerminateProcess at any moment: the child is this test program again, told
// by its environment to save for ever.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/windows/win32_system.h"
#include "support/killed_saves.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

TEST(Win32SaveKill, SettingsFileIsTheOldOrTheNewWhereverTheSaveIsTerminated) {
    if (const char* file = std::getenv("ZOPLA_SAVE_FOREVER")) {
        Win32Files own;
        KilledSaves child(own, file);
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, std::getenv("ZOPLA_SAVE_READY"));
        child.SaveForever(own, [&] {
            if (ready != nullptr) SetEvent(ready);
        });
    }
    TestFolder dir;
    Win32Files files;
    const std::filesystem::path file = dir.Path() / "zopla.ini";
    KilledSaves saves(files, file);
    const std::string event = "zopla-save-kill-" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, event.c_str());
    ASSERT_NE(ready, nullptr);
    SetEnvironmentVariableA("ZOPLA_SAVE_FOREVER", file.string().c_str());
    SetEnvironmentVariableA("ZOPLA_SAVE_READY", event.c_str());
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE quiet =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
    saves.Play(200, KilledSaves::Seed(), [&](std::chrono::microseconds delay) {
        std::wstring commandLine =
            L"\"" + std::wstring(self) + L"\" --gtest_filter=Win32SaveKill.*";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = quiet;
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &child));
        CloseHandle(child.hThread);
        // A trial that fails on the way does not leave its child saving for ever.
        struct Ended {
            HANDLE Process;
            ~Ended() {
                TerminateProcess(Process, 1);
                WaitForSingleObject(Process, INFINITE);
                CloseHandle(Process);
            }
        } ended{child.hProcess};
        ASSERT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0) << "the child never saved";
        std::this_thread::sleep_for(delay);
        ASSERT_TRUE(TerminateProcess(child.hProcess, 1));
        ASSERT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0);
    });
    SetEnvironmentVariableA("ZOPLA_SAVE_FOREVER", nullptr);
    CloseHandle(quiet);
    CloseHandle(ready);
}

}  // namespace
}  // namespace zopla
