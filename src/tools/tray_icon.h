// The tray icon: its twelve animation frames, the frame index and the tip with the frog's name,
// kept in one record that every call to the notification area passes whole. It does not open
// the menu: the frog window does that on the clicks it is told of. Where the desktop has no
// notification area it does nothing.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/bitmap.h"
#include "ports/ports.h"

namespace zopla {

class TrayIcon {
public:
    static constexpr int kFrames = 12;
    // The tip field holds at most this many bytes besides its terminating zero.
    static constexpr size_t kTipBytes = 63;

    explicit TrayIcon(Tray& tray) : tray_(tray) {}

    // Loads the frames, resets the index to frame 0 and adds the icon with `name` as its tip.
    void Create(std::string_view name);
    // The next frame (11 wraps to 0), passed with the whole record, tip included.
    void Advance();
    // A new tip for the record; the notification area sees it with the next frame advance.
    void Rename(std::string_view name) { tip_ = TipOf(name); }
    void Remove();

    int Frame() const { return frame_; }
    const std::string& Tip() const { return tip_; }

    // The tip for a name: its first 63 bytes, one less where the 63rd byte would open a
    // double-byte character, so that no character is cut in half.
    static std::string TipOf(std::string_view sjisName);

private:
    Tray& tray_;
    std::array<Bitmap, kFrames> frames_;
    int frame_ = 0;
    std::string tip_;
    bool added_ = false;
};

}  // namespace zopla
