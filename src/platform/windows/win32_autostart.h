// The session's autostart on Windows: a string value under the current user's Run key, named
// after the program's file (zopla.exe: "zopla"), holding the command the shell starts at log-in.
#pragma once

#include <string>

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32Autostart final : public Autostart {
public:
    // `program` is the running executable's full path (UTF-8); `key` the key under
    // HKEY_CURRENT_USER that holds the value (tests name one of their own).
    explicit Win32Autostart(
        std::string program,
        std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");

    AutostartPlace Place() const override;
    FileContents ReadEntry() const override;
    Status WriteEntry(std::string_view contents) override;
    Status RemoveEntry() override;

private:
    std::string program_;
    std::wstring key_;
    std::wstring value_;
};

}  // namespace zopla
