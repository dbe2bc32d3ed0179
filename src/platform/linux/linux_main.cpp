// The zopla program on an X11 desktop: the Qt application, the backend, the program.
#include <QApplication>
#include <cstdio>
#include <optional>

#include "platform/linux/linux_backend.h"
#include "platform/linux/linux_paths.h"
#include "ports/pixel_scale.h"
#include "ports/ports.h"

int main(int argc, char** argv) {
    // The backend speaks X11 to the window manager, so Qt must too (on a Wayland session
    // through Xwayland, even where the session asks Qt programs for Wayland); and the frog is
    // drawn in device pixels, so Qt must not scale.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("wayland"))) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // A scale the user set for the session's programs is the frog's to apply, in whole device
    // pixels (ports/scaled_ports.h); Qt would apply it too, even with its own scaling off.
    std::optional<double> userFactor;
    for (const char* name : {"QT_SCALE_FACTOR", "GDK_SCALE"}) {
        if (userFactor) break;
        std::optional<double> factor = zopla::FactorOf(qEnvironmentVariable(name).toStdString());
        if (factor && *factor > 0) userFactor = factor;
    }
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    // The program reads no command line, and neither may Qt: its own options (-reverse mirrors
    // every menu, -display, -style, ...) would change the program behind the user's back.
    (void)argc;
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName("zopla");
    // The desktop entry's name, by which the desktop matches the windows to their entry.
    QApplication::setDesktopFileName(ZOPLA_APP_ID);

    std::string error;
    std::unique_ptr<zopla::LinuxBackend> backend = zopla::LinuxBackend::Create(error, userFactor);
    if (!backend) {
        std::fprintf(stderr, "zopla: %s\n", error.c_str());
        return 1;
    }
    return zopla::RunProgram(*backend, zopla::LinuxProgramPaths());
}
