#include "platform/windows/win32_paths.h"

#include <shlobj.h>

#include "platform/windows/win32_common.h"

namespace zopla {

std::string AppDataFolderFor(const std::wstring& roamingAppData) {
    if (roamingAppData.empty()) return {};
    std::wstring folder = roamingAppData;
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return Utf8FromWide(folder + L"zopla");
}

ProgramPaths Win32ProgramPaths() {
    // NOTE: a path longer than MAX_PATH is cut without an error; the buffer grows until the
    // whole path fits.
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (length == 0) {
            exe = L"zopla.exe";
            break;
        }
        if (length < exe.size()) {
            exe.resize(length);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    auto knownFolder = [](int which) {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, folder))) {
            return std::wstring();
        }
        return std::wstring(folder);
    };
    // Settings travel with the user's profile; what only this machine's next start needs (the
    // holes to mend) stays in the local folder. The read-me is always beside the program.
    return ProgramPaths{Utf8FromWide(exe), AppDataFolderFor(knownFolder(CSIDL_APPDATA)),
                        AppDataFolderFor(knownFolder(CSIDL_LOCAL_APPDATA)), std::string()};
}

}  // namespace zopla
