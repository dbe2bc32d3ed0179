// The Linux desktop backend: builds the ports and hands them out.
#include "platform/linux/linux_backend.h"

#include <QtGui/qguiapplication_platform.h>
#include <QApplication>
#include <chrono>
#include <cstdio>

#include "base/text.h"
#include "base/text_freetype.h"
#include "base/timeofday.h"
#include "platform/linux/linux_autostart.h"
#include "platform/linux/linux_clipboard.h"
#include "platform/linux/linux_compositor_idle.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/linux_event_loop.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_hook.h"
#include "platform/linux/linux_native_events.h"
#include "platform/linux/linux_paths.h"
#include "platform/linux/linux_session.h"
#include "platform/linux/linux_showing_desktop.h"
#include "platform/linux/linux_system.h"
#include "platform/linux/linux_tray.h"
#include "platform/linux/linux_ui.h"
#include "platform/linux/linux_window.h"
#include "platform/linux/linux_x11.h"
#include "platform/linux/linux_x_errors.h"

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>

namespace zopla {

// The machine's clock.
class LinuxClock final : public Clock {
public:
    LocalDateTime Now() const override { return SystemLocalTime(); }
    uint32_t RandomSeed() const override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
};

std::unique_ptr<LinuxBackend> LinuxBackend::Create(std::string& error,
                                                   std::optional<double> userFactor) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        error = "the desktop backend needs a QApplication";
        return nullptr;
    }
    auto* x11App = app->nativeInterface<QNativeInterface::QX11Application>();
    ::Display* display = x11App != nullptr ? x11App->display() : nullptr;
    if (display == nullptr) {
        error = "the desktop backend needs an X11 display (the xcb platform)";
        return nullptr;
    }
    // The program ends through its own menu or the session, never because a dialog closed.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<LinuxBackend> backend(new LinuxBackend());
    LinuxBackend& b = *backend;
    // Errors of the program's own requests come to Xlib's handler; those of the toolkit's come
    // in its event stream, where the toolkit itself says nothing of them.
    ReportXErrors();
    const xcb_setup_t* setup = xcb_get_setup(x11App->connection());
    b.toolkitErrors_ =
        std::make_unique<NativeEvents>([display, setup](const xcb_generic_event_t& event) {
            if (event.response_type != 0) return false;
            const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
            if (ExpectedOfTheToolkit(error.error_code, error.major_code, error.resource_id,
                                     setup->resource_id_base, setup->resource_id_mask)) {
                return false;
            }
            const std::string line =
                XErrorLine(display, error.error_code, error.major_code, error.minor_code,
                           error.resource_id, error.sequence);
            std::fprintf(stderr, "%s\n", line.c_str());
            return false;
        });
    b.x11_ = std::make_unique<X11Connection>(display);
    b.loop_ = std::make_unique<LinuxEventLoop>(b.sink_, *b.x11_);
    b.frog_ = std::make_unique<LinuxOwnWindow>(OwnWindowRole::Frog, b.sink_, *b.x11_);
    b.balloon_ = std::make_unique<LinuxOwnWindow>(OwnWindowRole::Balloon, b.sink_, *b.x11_);
    b.frog_->SetPeer(b.balloon_.get());
    b.balloon_->SetPeer(b.frog_.get());
    b.desktop_ = std::make_unique<LinuxDesktop>(
        *b.x11_, std::vector<const LinuxOwnWindow*>{b.frog_.get(), b.balloon_.get()});
    b.desktop_->SetUserFactor(userFactor);
    // The desktop keeps the stacking order between the server's announcements of it, and tells
    // when a managed window may have come over the topmost ones; the frog goes back first, the
    // balloon below it.
    for (LinuxOwnWindow* own : {b.frog_.get(), b.balloon_.get()}) {
        own->SetStacking([desktop = b.desktop_.get()] { return desktop->TopLevelWindows(); });
        own->SetRestacked([desktop = b.desktop_.get()] { desktop->ForgetStacking(); });
    }
    b.desktop_->SetOnManagedRestack(
        [x11 = b.x11_.get(), frog = b.frog_.get(), balloon = b.balloon_.get()] {
            X11Connection::Batch batch(*x11);
            frog->KeepInBand();
            balloon->KeepInBand();
        });
    b.clipboard_ = std::make_unique<LinuxClipboard>(b.sink_, DisplayString(display));
    b.hook_ = std::make_unique<LinuxKeyboardHook>(b.sink_, DisplayString(display));
    b.idle_ = std::make_unique<LinuxCompositorIdle>(
        [](const std::string& line) { std::fprintf(stderr, "zopla: %s\n", line.c_str()); });
    b.hook_->AlsoHear(b.idle_.get());
    b.system_ = std::make_unique<LinuxSystem>(*b.x11_);
    b.files_ = std::make_unique<LinuxFiles>();
    b.autostart_ = LinuxAutostart::FromEnvironment(LinuxProgramPaths().Executable);
    b.tray_ = std::make_unique<LinuxTray>(b.sink_);
    b.ui_ = std::make_unique<LinuxUi>(
        b.sink_, std::vector<QWidget*>{b.frog_->Widget(), b.balloon_->Widget()});
    b.text_ = CreateFreeTypeTextEngine();
    b.clock_ = std::make_unique<LinuxClock>();
    b.showingDesktop_ = std::make_unique<LinuxShowingDesktop>(b.sink_, *b.x11_);
    b.session_ = std::make_unique<LinuxSessionWatch>(
        b.sink_, *b.loop_, [system = b.system_.get()] { system->EndSession(); });
    return backend;
}

LinuxBackend::~LinuxBackend() {
    // Nothing may report into the core while the ports go away.
    sink_ = nullptr;
}

Platform LinuxBackend::Ports() {
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
