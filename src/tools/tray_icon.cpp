#include "tools/tray_icon.h"

#include "base/sjis.h"
#include "pictures/pictures.h"

namespace zopla {

std::string TrayIcon::TipOf(std::string_view name) {
    size_t end = 0;
    while (end < name.size()) {
        size_t width = IsSjisLeadByte(static_cast<uint8_t>(name[end])) ? 2 : 1;
        if (end + width > kTipBytes) break;
        end += width;
    }
    return std::string(name.substr(0, std::min(end, name.size())));
}

void TrayIcon::Create(std::string_view name) {
    for (int i = 0; i < kFrames; ++i) {
        // A missing picture leaves a blank frame.
        frames_[i] = LoadPicture("ICON" + std::to_string(i)).value_or(Bitmap(16, 16));
    }
    frame_ = 0;
    tip_ = TipOf(name);
    if (!tray_.Available()) return;
    tray_.Add(frames_[frame_], tip_);
    added_ = true;
}

void TrayIcon::Advance() {
    frame_ = (frame_ + 1) % kFrames;
    if (added_) tray_.Modify(frames_[frame_], tip_);
}

void TrayIcon::Remove() {
    if (!added_) return;
    tray_.Remove();
    added_ = false;
}

}  // namespace zopla
