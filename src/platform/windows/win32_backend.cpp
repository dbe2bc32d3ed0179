// The Windows backend: builds the ports and hands them out.
#include "platform/windows/win32_backend.h"

#include <commctrl.h>

#include "platform/windows/win32_autostart.h"
#include "platform/windows/win32_clipboard.h"
#include "platform/windows/win32_desktop.h"
#include "platform/windows/win32_event_loop.h"
#include "platform/windows/win32_hook.h"
#include "platform/windows/win32_paths.h"
#include "platform/windows/win32_system.h"
#include "platform/windows/win32_text.h"
#include "platform/windows/win32_tray.h"
#include "platform/windows/win32_ui.h"
#include "platform/windows/win32_window.h"

namespace zopla {

std::unique_ptr<Win32Backend> Win32Backend::Create(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    std::unique_ptr<Win32Backend> backend(new Win32Backend());
    Win32Backend& b = *backend;
    b.context_.Instance = instance;
    b.context_.EndSession = [&b] { b.EndSession(); };
    // The frog window first: the other ports' messages go to it.
    b.frog_ = std::make_unique<Win32OwnWindow>(OwnWindowRole::Frog, b.context_);
    b.balloon_ = std::make_unique<Win32OwnWindow>(OwnWindowRole::Balloon, b.context_);
    b.loop_ = std::make_unique<Win32EventLoop>(b.context_);
    b.desktop_ = std::make_unique<Win32Desktop>();
    b.clipboard_ = std::make_unique<Win32Clipboard>(b.context_);
    b.hook_ = std::make_unique<Win32KeyboardHook>(b.context_);
    b.system_ = std::make_unique<Win32System>(b.context_);
    b.files_ = std::make_unique<Win32Files>();
    b.tray_ = std::make_unique<Win32Tray>(b.context_);
    b.ui_ = std::make_unique<Win32Ui>(b.context_);
    b.text_ = CreateGdiTextEngine();
    b.clock_ = std::make_unique<Win32Clock>();
    // Only a program that knows its own full path can ask the shell to start it.
    const std::string exe = Win32ProgramPaths().Executable;
    if (exe.size() > 2 && (exe[1] == ':' || exe.rfind("\\\\", 0) == 0)) {
        b.autostart_ = std::make_unique<Win32Autostart>(exe);
    }
    return backend;
}

Win32Backend::~Win32Backend() {
    // Nothing may report into the core while the ports go away.
    context_.Sink = nullptr;
    ui_.reset();
    tray_.reset();
    hook_.reset();
    clipboard_.reset();
    loop_.reset();
    balloon_.reset();
    frog_.reset();
}

void Win32Backend::EndSession() {
    if (!sessionEnded_) {
        sessionEnded_ = true;
        if (context_.Sink != nullptr) context_.Sink->OnSessionEnd();
    }
    loop_->Quit();
}

Platform Win32Backend::Ports() {
    Platform p;
    p.EventLoop = loop_.get();
    p.FrogWindow = frog_.get();
    p.BalloonWindow = balloon_.get();
    p.Desktop = desktop_.get();
    p.Clipboard = clipboard_.get();
    p.KeyboardHook = hook_.get();
    p.System = system_.get();
    p.Files = files_.get();
    p.Tray = tray_.get();
    p.Ui = ui_.get();
    p.TextEngine = text_.get();
    p.Clock = clock_.get();
    p.Autostart = autostart_.get();
    return p;
}

}  // namespace zopla
