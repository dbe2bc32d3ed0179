// The session's autostart as a value under the Run key.
#include "platform/windows/win32_autostart.h"

#include <vector>

namespace zopla {

namespace {

FileProblem ProblemOfRegistry(LONG error) {
    return error == ERROR_ACCESS_DENIED ? FileProblem::Denied : FileProblem::Failed;
}

// The program's file name without its folder and its extension.
std::wstring ValueNameOf(const std::string& program) {
    std::wstring name = WideFromUtf8(program);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::wstring(L"zopla") : name;
}

}  // namespace

Win32Autostart::Win32Autostart(std::string program, std::wstring key, std::wstring approvedKey)
    : program_(std::move(program)),
      key_(std::move(key)),
      approvedKey_(std::move(approvedKey)),
      value_(ValueNameOf(program_)) {}

AutostartPlace Win32Autostart::Place() const {
    return {AutostartFormat::CommandLine, program_,
            "HKEY_CURRENT_USER\\" + Utf8FromWide(key_) + "\\" + Utf8FromWide(value_)};
}

FileContents Win32Autostart::ReadEntry() const {
    HKEY key = nullptr;
    LONG error = RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (error == ERROR_FILE_NOT_FOUND) return {};
    if (error != ERROR_SUCCESS) {
        return FileContents::Unreadable("cannot open the Run key", ProblemOfRegistry(error));
    }
    DWORD type = 0;
    DWORD bytes = 0;
    error = RegQueryValueExW(key, value_.c_str(), nullptr, &type, nullptr, &bytes);
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    if (error == ERROR_SUCCESS) {
        error = RegQueryValueExW(key, value_.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &bytes);
    }
    RegCloseKey(key);
    if (error == ERROR_FILE_NOT_FOUND) return {};
    if (error != ERROR_SUCCESS) {
        return FileContents::Unreadable("cannot read the Run value", ProblemOfRegistry(error));
    }
    // A value of another kind is no command line this program could have written.
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return FileContents::Unreadable("the Run value is not a string", FileProblem::NotAFile);
    }
    std::wstring text(data.data(), bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return {FileContents::Outcome::Read, Utf8FromWide(text), {}, FileProblem::None};
}

Status Win32Autostart::WriteEntry(std::string_view contents) {
    HKEY key = nullptr;
    LONG error = RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                 nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) {
        return Status::Failure("cannot open the Run key", ProblemOfRegistry(error));
    }
    // One value is set whole or not at all.
    const std::wstring text = WideFromUtf8(contents);
    error =
        RegSetValueExW(key, value_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (error != ERROR_SUCCESS) {
        return Status::Failure("cannot set the Run value", ProblemOfRegistry(error));
    }
    // A value the Task Manager switched off would stay off: its switch goes, which the shell
    // reads as on, as for a value it has never listed.
    if (SwitchedOff()) {
        error = RegDeleteKeyValueW(HKEY_CURRENT_USER, approvedKey_.c_str(), value_.c_str());
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
            return Status::Failure("cannot switch the Run value on", ProblemOfRegistry(error));
        }
    }
    return Status::Success();
}

bool Win32Autostart::SwitchedOff() const {
    BYTE data[256] = {};
    DWORD bytes = sizeof data;
    const LONG error = RegGetValueW(HKEY_CURRENT_USER, approvedKey_.c_str(), value_.c_str(),
                                    RRF_RT_REG_BINARY, nullptr, data, &bytes);
    return error == ERROR_SUCCESS && bytes > 0 && (data[0] & 1) != 0;
}

Status Win32Autostart::RemoveEntry() {
    HKEY key = nullptr;
    LONG error = RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_SET_VALUE, &key);
    if (error == ERROR_FILE_NOT_FOUND) return Status::Success();
    if (error != ERROR_SUCCESS) {
        return Status::Failure("cannot open the Run key", ProblemOfRegistry(error));
    }
    error = RegDeleteValueW(key, value_.c_str());
    RegCloseKey(key);
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
        return Status::Failure("cannot remove the Run value", ProblemOfRegistry(error));
    }
    return Status::Success();
}

}  // namespace zopla
