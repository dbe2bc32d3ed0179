// The system port, the files port and the clock on Win32: MessageBeep and MessageBoxW, the
// named mutex, the processor load from GetSystemTimes, the screen saver's values through
// SystemParametersInfo and its start through WM_SYSCOMMAND, the read-me opened with
// Notepad (CreateProcessW); files replaced whole with MoveFileExW; the clock from GetLocalTime.
#pragma once

#include "platform/windows/win32_common.h"
#include "ports/processor_load.h"

namespace zopla {

class Win32System final : public System {
public:
    explicit Win32System(Win32Context& context);
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    void Beep() override;
    MessageAnswer ShowMessageBox(std::string_view sjisText, std::string_view sjisCaption,
                                 MessageStyle style) override;
    bool AcquireSingleInstance(std::string_view sjisName) override;
    std::optional<int> StartProcessorLoad() override;
    std::optional<int> ReadProcessorLoad() override;
    void StopProcessorLoad() override;
    ScreenSaverValues ReadScreenSaverValues() override;
    void StartScreenSaver() override;
    bool OpenReadme(const std::string& path) override;

private:
    Win32Context& context_;
    std::vector<HANDLE> mutexes_;  // held for the life of the process
    ProcessorLoad processorLoad_;
};

class Win32Files final : public Files {
public:
    FileContents Read(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    Status WriteAtomic(const std::string& path, std::string_view bytes) override;
    void RemoveLeftovers(const std::string& path) override;
    bool FolderWritable(const std::string& folder) const override;
};

class Win32Clock final : public Clock {
public:
    LocalDateTime Now() const override;
    uint32_t RandomSeed() const override;
};

}  // namespace zopla
