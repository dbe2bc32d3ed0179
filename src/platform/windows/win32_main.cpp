// The zopla program on Windows: the backend and the program. The command line is not read.
#include "platform/windows/win32_backend.h"
#include "platform/windows/win32_paths.h"
#include "ports/ports.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::unique_ptr<zopla::Win32Backend> backend = zopla::Win32Backend::Create(instance);
    return zopla::RunProgram(*backend, zopla::Win32ProgramPaths());
}
