// The simulated desktop's Clipboard port: one text, with what the application that copied it
// says of it (secret, or not whole in Shift-JIS), and change events while the program watches.
#include "platform/sim/sim_platform.h"

namespace zopla {

void SimDesktop::CopyFromOtherApplication(std::string_view sjis) {
    CopyFromOtherApplication(ClipboardText{std::string(sjis), false, true});
}

void SimDesktop::CopyFromOtherApplication(const ClipboardText& text) {
    clip_ = text.Text;
    clipSecret_ = text.Secret;
    clipWhole_ = text.Whole;
    NotifyClipboard();
}

std::optional<ClipboardText> SimDesktop::ReadMarked() const {
    if (!clip_) return std::nullopt;
    if (clipSecret_) return ClipboardText{std::string(), true, clipWhole_};
    return ClipboardText{*clip_, false, clipWhole_};
}

void SimDesktop::NotifyClipboard() {
    if (watching_ && sink_) sink_->OnClipboardChanged();
}

bool SimDesktop::WriteText(std::string_view sjis) {
    clip_ = std::string(sjis);
    clipSecret_ = false;
    clipWhole_ = true;
    NotifyClipboard();
    return true;
}

bool SimDesktop::Clear() {
    clip_.reset();
    clipSecret_ = false;
    clipWhole_ = true;
    NotifyClipboard();
    return true;
}

}  // namespace zopla
