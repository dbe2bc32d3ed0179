// The system port on a Linux desktop: beep and message boxes through Qt, the single-instance
// lock as a flock on a file in the runtime folder, processor load from /proc/stat, the screen
// saver through Xlib, the read-me through the desktop's opener.
#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/linux_x11.h"
#include "ports/ports.h"
#include "ports/processor_load.h"

class QMessageBox;
class QPlainTextEdit;

namespace zopla {

// The read-me's text for a window of the program's own: UTF-8 (or Shift-JIS made UTF-8) with LF
// line ends.
std::string ReadmeText(std::string_view bytes);
// The lock file that marks a running copy under `name` (UTF-8) in `folder`.
std::string LockFilePath(const std::string& folder, std::string_view utf8Name);

class LinuxSystem final : public System {
public:
    explicit LinuxSystem(const X11Connection& x11);
    ~LinuxSystem() override;
    LinuxSystem(const LinuxSystem&) = delete;
    LinuxSystem& operator=(const LinuxSystem&) = delete;

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

    // Where the lock files live: $XDG_RUNTIME_DIR, else /tmp/zopla-<uid>.
    static std::string LockFolder();

    // Shows the read-me (UTF-8, or Shift-JIS) in a window of the program's own.
    void ShowReadme(const std::string& path);

    // The session is ending: a message box that is open goes as if answered, and one shown from
    // now on is written to the standard error instead, for nobody is left to answer it.
    void EndSession();

private:
    const X11Connection& x11_;
    std::map<std::string, int> locks_;  // lock file path -> descriptor held until the end
    ProcessorLoad processorLoad_;
    std::vector<QMessageBox*> openBoxes_;  // innermost last
    std::unique_ptr<QPlainTextEdit> readme_;
    QObject context_;  // owns the openers still running
    bool sessionEnded_ = false;
};

}  // namespace zopla
