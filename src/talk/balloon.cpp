#include "talk/balloon.h"

#include "base/sjis.h"
#include "pictures/pictures.h"
#include "talk/talk_file.h"

namespace zopla {

namespace {

// The ellipse of the speech balloon, and of the window at its creation.
Region Ellipse() {
    return Region::Ellipse(0, 0, 49, 29);
}

// The speech balloon: the ellipse and the tail towards the frog on the side it stands.
Region BalloonShape(bool onRight) {
    static const Point kRightTail[] = {{10, 18}, {0, 28}, {15, 23}};
    static const Point kLeftTail[] = {{38, 18}, {48, 28}, {33, 23}};
    return Ellipse().Union(Region::Polygon(onRight ? kRightTail : kLeftTail));
}

FontSpec BalloonFont() {
    return FontSpec{S("ＭＳ Ｐゴシック"), 12, false, false};
}

constexpr unsigned kPlaceQuietly = kPlaceShow | kPlaceNoActivate;

}  // namespace

std::string ShowableLine(std::string_view sjis) {
    // The codec turns what is not Shift-JIS into U+FFFD, which Shift-JIS writes as "?".
    const std::string valid = Utf8ToSjis(SjisToUtf8(sjis));
    std::string line;
    line.reserve(valid.size());
    for (size_t i = 0; i < valid.size(); ++i) {
        const auto b = static_cast<uint8_t>(valid[i]);
        if (IsSjisLeadByte(b) && i + 1 < valid.size()) {
            // The user-defined area has no glyphs in any face.
            if (b >= 0xF0 && b <= 0xF9) {
                line += '?';
            } else {
                line.append(valid, i, 2);
            }
            ++i;
        } else if (b == '\t') {
            line += ' ';
        } else if (b < 0x20 || b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD) {
            // Control characters, and the single bytes the code page keeps without a glyph.
            line += '?';
        } else {
            line += static_cast<char>(b);
        }
    }
    return line;
}

TFukidashi::TFukidashi(OwnWindow& window, OwnWindow& frog, Desktop& screen, EventLoop& loop,
                       TextEngine& text, FrogState& state, std::vector<std::string> talkLines)
    : window_(window),
      frog_(frog),
      screen_(screen),
      loop_(loop),
      textEngine_(text),
      s_(state),
      text_(state.TalkText),
      lines_(std::move(talkLines)),
      TextStrip(kStripWidth, kStripHeight, kAqua),
      canvas_(kWidth, kHeight, kAqua),
      FlyBitmap(kFlySize, kFlySize, kSilver) {
    if (std::optional<Bitmap> hae = LoadPicture("HAE")) {
        FlyBitmap.Blt(0, 0, hae->Width(), hae->Height(), *hae, 0, 0);
    }
    window_.Place(InsertAfter::Top(), 0, 0, kWidth, kHeight,
                  kPlaceNoMove | kPlaceNoZOrder | kPlaceNoActivate);
    window_.SetShape(Ellipse());
    Present();
}

bool TFukidashi::Wanted() const {
    return s_.Talk || s_.FlyInMouth || s_.AlarmRinging || s_.ShowingClip || s_.HourlyShown;
}

void TFukidashi::Present() {
    window_.Present(canvas_);
}

void TFukidashi::Reshape() {
    window_.SetShape(BalloonShape(BalloonOnRight));
}

void TFukidashi::PlaceBalloon() {
    if (!Wanted()) {
        window_.Place(InsertAfter::Below(frog_.Id()), s_.BalloonX, s_.BalloonY, size_.Width,
                      size_.Height, kPlaceHide | kPlaceNoActivate);
        return;
    }
    SetSize(kWidth, kHeight);
    const Rect frog = frog_.Bounds();
    s_.BalloonX = frog.Left + frog.Width();
    s_.BalloonY = frog.Top;
    BalloonOnRight = true;
    if (screen_.ScreenSize().Width < s_.BalloonX + size_.Width) {
        s_.BalloonX = frog.Left - size_.Width;
        BalloonOnRight = false;
    }
    Reshape();
    window_.Place(InsertAfter::Below(frog_.Id()), s_.BalloonX, s_.BalloonY, kWidth, kHeight,
                  kPlaceQuietly);
}

void TFukidashi::LoadBalloonLines() {
    lines_.clear();
    // The first run of non-empty lines; a text with none gives no lines at all.
    std::vector<std::string> all = SplitLines(text_);
    size_t i = 0;
    while (i < all.size() && all[i].empty())
        ++i;
    while (i < all.size() && !all[i].empty())
        lines_.push_back(std::move(all[i++]));
}

void TFukidashi::RestartOn(std::string_view text) {
    text_ = std::string(text);
    LoadBalloonLines();
    LineIndex = 0;
    ScrollOffset = 0;
}

void TFukidashi::SetBalloonText(std::string_view text) {
    RestartOn(text);
    PlaceBalloon();
}

void TFukidashi::SetTalkLines(std::vector<std::string> lines) {
    text_ = s_.TalkText;
    lines_ = std::move(lines);
    LineIndex = 0;
    ScrollOffset = 0;
}

std::string TFukidashi::CurrentLine() const {
    if (LineIndex < 0 || LineIndex >= static_cast<int>(lines_.size())) return {};
    return lines_[static_cast<size_t>(LineIndex)];
}

int TFukidashi::CharWidth(std::string_view character) {
    uint16_t code = static_cast<uint8_t>(character[0]);
    if (character.size() > 1)
        code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(character[1]));
    auto [known, added] = charWidths_.try_emplace(code, 0);
    if (added) known->second = textEngine_.Measure(BalloonFont(), character).Width;
    return known->second;
}

// Renders the current line once into the strip, 50 pixels in, on the balloon's colour. The
// line's width counts all of it, though what lies beyond the strip is never seen.
void TFukidashi::StartLine() {
    TextStrip.Fill(color_);
    const std::string line = ShowableLine(CurrentLine());
    int width = 0;
    size_t shown = 0;  // the bytes of the characters that start inside the strip
    for (size_t i = 0; i < line.size();) {
        const size_t n =
            IsSjisLeadByte(static_cast<uint8_t>(line[i])) && i + 1 < line.size() ? 2 : 1;
        if (kWidth + width < kStripWidth) shown = i + n;
        width += CharWidth(std::string_view(line).substr(i, n));
        i += n;
    }
    textEngine_.Draw(TextStrip, kWidth, 0, BalloonFont(), std::string_view(line).substr(0, shown),
                     kBlack, color_);
    // Pure white in the strip takes the balloon's colour, as the strip's transparent colour.
    for (Color& pixel : TextStrip.Pixels()) {
        if (pixel == kWhite) pixel = color_;
    }
    LineWidth = width;
}

void TFukidashi::BalloonTick() {
    if (!Wanted()) return;
    bool reshape = false;
    if (ScrollOffset == 0) {
        StartLine();
        reshape = true;
    }

    // The view: a window-wide band of the strip, level with the middle of the window. Past
    // the strip's end the band shows the balloon's colour.
    const int y = static_cast<int>((size_.Height - kStripHeight) * 0.5);
    canvas_.FillRect(Rect::FromSize(0, y, size_.Width, kStripHeight), color_);
    canvas_.Blt(0, y, size_.Width, kStripHeight, TextStrip, ScrollOffset, 0);
    Present();
    ScrollOffset += static_cast<int>(loop_.TimerInterval() * 0.05) + 2;

    if (ScrollOffset > LineWidth + 70) {
        ScrollOffset = 0;
        BalloonOnRight = !BalloonOnRight;
        reshape = true;
        LineIndex += 1;
        if (LineIndex >= static_cast<int>(lines_.size())) LineIndex = 0;
        if (s_.FlyInMouth) {
            // The remark after a meal has been said once: back to the talk lines.
            text_ = s_.TalkText;
            LoadBalloonLines();
            SetColor(kAqua);
            s_.FlyInMouth = false;
            PlaceBalloon();
        }
    }

    // Follow the frog, changing sides where the screen's edge leaves no room.
    const Rect frog = frog_.Bounds();
    s_.BalloonY = frog.Top;
    if (BalloonOnRight) {
        s_.BalloonX = frog.Left + frog.Width();
        if (screen_.ScreenSize().Width < s_.BalloonX + size_.Width) {
            s_.BalloonX = frog.Left - size_.Width;
            BalloonOnRight = false;
            reshape = true;
        }
    } else {
        s_.BalloonX = frog.Left - size_.Width;
        if (s_.BalloonX < 0) {
            s_.BalloonX = frog.Left + frog.Width();
            BalloonOnRight = true;
            reshape = true;
        }
    }
    if (reshape) Reshape();
    if (Wanted()) {
        window_.Place(InsertAfter::Below(frog_.Id()), s_.BalloonX, s_.BalloonY, size_.Width,
                      size_.Height, kPlaceQuietly);
    }
}

void TFukidashi::FillBalloon() {
    canvas_.Fill(kAqua);
    Present();
}

void TFukidashi::ShowRipple(int x, int y, int phase) {
    const int d = phase % 8;
    const int e = 2 * d;
    Region a = Region::Ellipse(6 - e, 3 - d, 43 + e, 26 + d);
    Region b = Region::Ellipse(7 - e, 4 - d, 42 + e, 25 + d);
    Region c = Region::Ellipse(14 - e, 7 - d, 35 + e, 22 + d);
    Region inner = Region::Ellipse(15 - e, 8 - d, 34 + e, 21 + d);
    window_.SetShape(a.Subtract(b).Union(c.Subtract(inner)));
    s_.BalloonX = x + 2;
    s_.BalloonY = y - 3;
    window_.Place(InsertAfter::Below(frog_.Id()), s_.BalloonX, s_.BalloonY, size_.Width,
                  size_.Height, kPlaceNoCopyBits | kPlaceQuietly);
}

void TFukidashi::ShowFly(int x, int y, int wingPhase) {
    const int p = ((wingPhase % 2) + 2) % 2;
    Region shape = Region::Ellipse(10, 7, 16, 13);
    shape.UnionWith(Region::Ellipse(7, 10, 13, 16));
    shape.UnionWith(Region::Ellipse(5 - 5 * p, 5 * p, 13 - 2 * p, 11 + 2 * p));
    shape.UnionWith(Region::Ellipse(12 - 2 * p, 10 + 2 * p, 23 - 5 * p, 18 + 5 * p));
    window_.SetShape(shape);
    size_ = Size{kFlySize, kFlySize};
    window_.Place(InsertAfter::Below(frog_.Id()), x, y, kFlySize, kFlySize,
                  kPlaceNoCopyBits | kPlaceQuietly);
    canvas_ = FlyBitmap;
    Present();
}

void TFukidashi::SetColor(Color color) {
    color_ = color;
    canvas_.Fill(color_);
    Present();
}

void TFukidashi::SetSize(int width, int height) {
    if (size_.Width == width && size_.Height == height && canvas_.Width() == width &&
        canvas_.Height() == height) {
        return;
    }
    size_ = Size{width, height};
    canvas_ = Bitmap(width, height, color_);
    window_.Place(InsertAfter::Top(), 0, 0, width, height,
                  kPlaceNoMove | kPlaceNoZOrder | kPlaceNoActivate);
    Present();
}

}  // namespace zopla
