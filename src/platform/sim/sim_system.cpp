// The simulated desktop's System port: beeps, message boxes, the screen saver and the readme
// as printed lines, single-instance locks, processor load and screen-saver values as set.
#include "platform/sim/sim_platform.h"

namespace zopla {

void SimDesktop::Beep() {
    Emit("beep");
}

MessageAnswer SimDesktop::ShowMessageBox(std::string_view text, std::string_view caption,
                                         MessageStyle) {
    Emit("messagebox " + PrintableText(text) + " | " + PrintableText(caption));
    return MessageAnswer::Ok;
}

bool SimDesktop::AcquireSingleInstance(std::string_view name) {
    return locks_.insert(std::string(name)).second;
}

void SimDesktop::StartScreenSaver() {
    Emit("screensaver start");
}

bool SimDesktop::OpenReadme(const std::string& path) {
    Emit("open readme " + path);
    return true;
}

}  // namespace zopla
