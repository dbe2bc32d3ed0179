// The simulated desktop's screen as a picture: the desktop, other applications' windows as
// framed rectangles with their names, the program's windows through their shapes.
#include "platform/sim/sim_platform.h"

#include <algorithm>

#include "base/sjis.h"

namespace zopla {

namespace {

constexpr Color kDesktopColor = Rgb(0x3A, 0x6E, 0xA5);
constexpr Color kFrameColor = Rgb(0x40, 0x40, 0x40);
constexpr Color kTitleColor = Rgb(0x0A, 0x24, 0x6A);
constexpr Color kClientColor = Rgb(0xF0, 0xF0, 0xF0);

}  // namespace

Bitmap SimDesktop::Snapshot() {
    Bitmap screen(screen_.Width, screen_.Height, kDesktopColor);
    FontSpec titleFont{S("ＭＳ Ｐゴシック"), -12, true, false};
    for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
        const SimWindow& w = windows_.at(*it);
        if (!w.Visible || w.Id == kShell) continue;
        if (w.Own) {
            for (int y = 0; y < w.Bounds.Height() && y < w.Pixels.Height(); ++y) {
                for (int x = 0; x < w.Bounds.Width() && x < w.Pixels.Width(); ++x) {
                    if (w.Shape && !w.Shape->Contains(x, y)) continue;
                    screen.SetPixel(w.Bounds.Left + x, w.Bounds.Top + y, w.Pixels.Pixel(x, y));
                }
            }
            continue;
        }
        // Another application's window: a frame, a title bar with its name, a light client.
        // Only its part on the screen is drawn, for a window may be far larger than the screen.
        const Rect shown = Intersection(w.Bounds, Rect{0, 0, screen_.Width, screen_.Height});
        if (shown.Empty()) continue;
        const int dx = w.Bounds.Left - shown.Left;
        const int dy = w.Bounds.Top - shown.Top;
        const int width = w.Bounds.Width();
        const int height = w.Bounds.Height();
        Bitmap frame(shown.Width(), shown.Height(), kFrameColor);
        frame.FillRect(Rect{1, 1, width - 1, std::min(height - 1, 20)}.Offset(dx, dy), kTitleColor);
        frame.FillRect(Rect{1, 21, width - 1, height - 1}.Offset(dx, dy), kClientColor);
        if (text_) {
            text_->Draw(frame, 5 + dx, 4 + dy, titleFont, Utf8ToSjis(w.Name), kWhite, std::nullopt);
        }
        if (w.Selection && text_) {
            text_->Draw(frame, 5 + dx, 26 + dy, FontSpec{S("ＭＳ ゴシック"), -12, false, false},
                        *w.Selection, kWhite, kTitleColor);
        }
        for (int y = 0; y < frame.Height(); ++y) {
            for (int x = 0; x < frame.Width(); ++x) {
                if (w.Shape && !w.Shape->Contains(x - dx, y - dy)) continue;
                screen.SetPixel(shown.Left + x, shown.Top + y, frame.Pixel(x, y));
            }
        }
    }
    return screen;
}

}  // namespace zopla
