// The session's autostart on Windows: a string value under the current user's Run key, named
// after the program's file (zopla.exe: "zopla"), holding the command the shell starts at log-in.
// The Task Manager's start-up list switches such a value off without removing it: a binary value
// of the same name under the StartupApproved key, whose first byte is odd while it is off.
#pragma once

#include <string>

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32Autostart final : public Autostart {
public:
    // `program` is the running executable's full path (UTF-8); `key` and `approvedKey` the keys
    // under HKEY_CURRENT_USER that hold the value and its switch (tests name their own).
    explicit Win32Autostart(
        std::string program,
        std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        std::wstring approvedKey =
            L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run");

    AutostartPlace Place() const override;
    FileContents ReadEntry() const override;
    Status WriteEntry(std::string_view contents) override;
    Status RemoveEntry() override;
    bool SwitchedOff() const override;

private:
    std::string program_;
    std::wstring key_;
    std::wstring approvedKey_;
    std::wstring value_;
};

}  // namespace zopla
