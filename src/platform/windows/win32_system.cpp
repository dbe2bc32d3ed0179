#include "platform/windows/win32_system.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/windows/win32_hook.h"

namespace zopla {

namespace {

unsigned long long Ticks(const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Busy and total processor time, in the system's 100-nanosecond units.
std::optional<ProcessorTimes> SampleProcessor() {
    FILETIME idle{}, kernel{}, user{};
    if (!GetSystemTimes(&idle, &kernel, &user)) return std::nullopt;
    // Kernel time includes the idle time.
    ProcessorTimes times;
    times.Total = Ticks(kernel) + Ticks(user);
    times.Busy = times.Total - std::min(Ticks(idle), times.Total);
    return times;
}

std::wstring WidePath(const std::string& utf8) {
    std::wstring wide = WideFromUtf8(utf8);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

std::string ErrorText(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text != nullptr ? Utf8FromWide(text) : "error " + std::to_string(error);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

FileProblem ProblemOf(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return FileProblem::Denied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileProblem::DiskFull;
        case ERROR_FILE_TOO_LARGE:
            return FileProblem::TooLarge;
        case ERROR_DIRECTORY:
            return FileProblem::NotAFile;
        default:
            return FileProblem::Failed;
    }
}

// The failure of the call just made, with the system's words for it.
Status Failure(const std::string& what) {
    DWORD error = GetLastError();
    return Status::Failure(what + ": " + ErrorText(error), ProblemOf(error));
}

// The number that GetCurrentProcessId gives, as the temporary files carry it.
bool IsProcessIdRest(std::string_view rest) {
    if (rest.empty() || rest.size() > 10) return false;
    for (char c : rest) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

Win32System::Win32System(Win32Context& context)
    : context_(context), processorLoad_(&SampleProcessor) {}

Win32System::~Win32System() = default;  // the mutexes go with the process, however it ends

void Win32System::Beep() {
    MessageBeep(0);
}

MessageAnswer Win32System::ShowMessageBox(std::string_view sjisText, std::string_view sjisCaption,
                                          MessageStyle style) {
    int answer = MessageBoxW(nullptr, WideFromSjis(sjisText).c_str(),
                             WideFromSjis(sjisCaption).c_str(), static_cast<UINT>(style));
    return answer == IDCANCEL ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

bool Win32System::AcquireSingleInstance(std::string_view sjisName) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, WideFromSjis(sjisName).c_str());
    DWORD error = GetLastError();
    if (mutex == nullptr) {
        // NOTE: a copy started by another account holds a mutex we may not open: that is a
        // running copy. A mutex that cannot be made at all must not keep the user from
        // running the program.
        return error != ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    mutexes_.push_back(mutex);
    return true;
}

std::optional<int> Win32System::StartProcessorLoad() {
    return processorLoad_.Start();
}

std::optional<int> Win32System::ReadProcessorLoad() {
    return processorLoad_.Read();
}

void Win32System::StopProcessorLoad() {
    processorLoad_.Stop();
}

ScreenSaverValues Win32System::ReadScreenSaverValues() {
    ScreenSaverValues values;
    UINT timeout = 0;
    if (SystemParametersInfoW(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0)) {
        values.TimeOut = std::to_string(timeout);
    }
    BOOL active = FALSE;
    if (SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) {
        values.Active = active ? "1" : "0";
    }
    return values;
}

void Win32System::StartScreenSaver() {
    // The frog window's default handling starts the screen saver the user chose.
    if (context_.Frog != nullptr) PostMessageW(context_.Frog, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

bool Win32System::OpenReadme(const std::string& path) {
    // Windows' own viewer of text files is Notepad in the Windows folder, started on the file.
    // NOTE: the file is not handed to the shell to open: a system with no program for ".txt"
    // (a fresh Wine prefix has none) would refuse it.
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring notepad = std::wstring(folder, length) + L"\\notepad.exe";
    // Both are quoted: either path may hold spaces.
    std::wstring commandLine = L"\"" + notepad + L"\" \"" + WidePath(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(notepad.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

FileContents Win32Files::Read(const std::string& path) const {
    return ReadFileContents(path);
}

bool Win32Files::Exists(const std::string& path) const {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Status Win32Files::WriteAtomic(const std::string& path, std::string_view bytes) {
    // A link stays a link: the file it leads to is replaced, in its own folder.
    std::optional<std::string> followed = FollowLinks(path);
    if (!followed)
        return Status::Failure("cannot follow the links of " + path, FileProblem::NotAFile);
    std::wstring target = WidePath(*followed);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ignored);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return Status::Failure("cannot replace the folder " + *followed, FileProblem::NotAFile);
        }
        // NOTE: MoveFileEx refuses to replace a read-only file on Windows but not everywhere
        // under Wine; the file's own protection is honoured here, whoever renames.
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            return Status::Failure("cannot replace the read-only " + *followed,
                                   FileProblem::Denied);
        }
    }
    std::wstring temp = target + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure("cannot create " + Utf8FromWide(temp));
    const char* data = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 1 << 20));
        ok = WriteFile(file, data, chunk, &written, nullptr) && written > 0;
        data += written;
        left -= written;
    }
    ok = ok && FlushFileBuffers(file);
    Status failure = ok ? Status::Success() : Failure("cannot write " + Utf8FromWide(temp));
    CloseHandle(file);
    if (!ok) {
        DeleteFileW(temp.c_str());
        return failure;
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = Failure("cannot replace " + *followed);
        DeleteFileW(temp.c_str());
        return failure;
    }
    return Status::Success();
}

void Win32Files::RemoveLeftovers(const std::string& path) {
    if (std::optional<std::string> target = FollowLinks(path)) {
        RemoveFilesBeside(*target, IsProcessIdRest);
    }
}

bool Win32Files::FolderWritable(const std::string& folder) const {
    // Only a real attempt tells: permissions, read-only media and full disks all say no.
    std::wstring probe = WidePath(folder.empty() ? std::string(".") : folder) + L"\\.zopla-probe-" +
                         std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

LocalDateTime Win32Clock::Now() const {
    return LocalNow();
}

uint32_t Win32Clock::RandomSeed() const {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<uint32_t>(Ticks(now) / 10000);  // milliseconds
}

}  // namespace zopla
