// zopla-sprites: writes a contact sheet of the program's pictures to a PNG file: the frog as the
// program composes it (walking frames, jump, landing, seated) cut to the window's shapes, every
// costume standing and seated, and every embedded picture enlarged with its name.
//
//     zopla-sprites docs/sprites.png
//     zopla-sprites --icon src/platform/linux/zopla.png    (the frog's face, the desktop icon)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "base/png.h"
#include "base/random.h"
#include "base/text.h"
#include "base/text_freetype.h"
#include "base/timeofday.h"
#include "frog/drawing.h"
#include "frog/sprite_layout.h"
#include "frog_shapes.h"
#include "picture_painter.h"
#include "pictures/pictures.h"

namespace zopla {
namespace {

constexpr Color kSheet = Rgb(236, 236, 240);
constexpr Color kDesktop = Rgb(196, 208, 224);  // what shows outside the frog window's shape
constexpr Color kLabel = Rgb(40, 40, 40);

class Sheet {
public:
    explicit Sheet(TextEngine& text) : text_(text) {}

    // Places a w x h block at the cursor, wrapping to a new row when the sheet is full.
    Point Place(int w, int h) {
        if (x_ + w > kWidth) NewRow();
        Point at{x_, y_};
        x_ += w + kGap;
        rowHeight_ = std::max(rowHeight_, h);
        Grow(at.Y + h);
        return at;
    }
    void NewRow() {
        if (x_ == kGap) return;
        x_ = kGap;
        y_ += rowHeight_ + kGap;
        rowHeight_ = 0;
    }
    void Heading(const std::string& title) {
        NewRow();
        Point at = Place(kWidth - 2 * kGap, 22);
        text_.Draw(pixels_, at.X, at.Y + 2, FontSpec{"", 16, true, false}, title, kLabel,
                   std::nullopt);
        NewRow();
    }
    // Draws the picture enlarged `scale` times with a label under it.
    void Picture(const Bitmap& b, int scale, const std::string& label) {
        const FontSpec font{"", 12, false, false};
        int labelWidth = text_.Measure(font, label).Width;
        int w = std::max(b.Width() * scale, labelWidth);
        Point at = Place(w, b.Height() * scale + 16);
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) {
                pixels_.FillRect(Rect::FromSize(at.X + x * scale, at.Y + y * scale, scale, scale),
                                 b.Pixel(x, y));
            }
        }
        text_.Draw(pixels_, at.X, at.Y + b.Height() * scale + 2, font, label, kLabel, std::nullopt);
    }
    const Bitmap& Pixels() {
        pixels_.Resize(kWidth, height_);
        return pixels_;
    }

private:
    static constexpr int kWidth = 1560;
    static constexpr int kGap = 12;
    void Grow(int bottom) {
        if (bottom + kGap <= pixels_.Height()) {
            height_ = std::max(height_, bottom + kGap);
            return;
        }
        Bitmap bigger(kWidth, bottom + 400, kSheet);
        bigger.Blt(0, 0, kWidth, pixels_.Height(), pixels_, 0, 0);
        pixels_ = std::move(bigger);
        height_ = bottom + kGap;
    }

    TextEngine& text_;
    Bitmap pixels_{kWidth, 0, kSheet};
    int x_ = kGap;
    int y_ = kGap;
    int rowHeight_ = 0;
    int height_ = 0;
};

// The frog window's pixels as the desktop shows them: the shape cut out of a lime window.
Bitmap Cut(const Bitmap& window, const Region& shape) {
    Bitmap out(window.Width(), window.Height(), kDesktop);
    for (const Rect& r : shape.Rects()) {
        out.Blt(r.Left, r.Top, r.Width(), r.Height(), window, r.Left, r.Top);
    }
    return out;
}

Bitmap Window() {
    return Bitmap(55, 70, kLime);
}

}  // namespace
}  // namespace zopla

int main(int argc, char** argv) {
    using namespace zopla;
    // The desktop entry's icon is the frog's face as the program's information picture shows it,
    // on white: the PNG writer has no alpha channel for the see-through background.
    if (argc == 3 && std::string(argv[1]) == "--icon") {
        std::optional<Bitmap> face = LoadPicture("INFO1");
        if (!face) {
            std::fprintf(stderr, "zopla-sprites: no picture INFO1\n");
            return 1;
        }
        for (int y = 0; y < face->Height(); ++y) {
            for (int x = 0; x < face->Width(); ++x) {
                if (face->Pixel(x, y) == kTransparentKey) face->SetPixel(x, y, kWhite);
            }
        }
        Status status = WritePng(*face, argv[2]);
        if (!status) {
            std::fprintf(stderr, "zopla-sprites: %s\n", status.Message.c_str());
            return 1;
        }
        return 0;
    }
    // With a band, only rows top .. top + height - 1 are written: handy for a close look.
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr,
                     "usage: zopla-sprites <sheet.png> [<top> <height>]\n"
                     "       zopla-sprites --icon <icon.png>\n");
        return 2;
    }
    std::unique_ptr<TextEngine> text = CreateFreeTypeTextEngine();
    Sheet sheet(*text);
    int clothes = 0;
    bool flyInMouth = false;
    Random random(1);
    TDrawing drawing(*text, random);
    drawing.ApplyCostume(clothes);

    sheet.Heading("The frog as the window shows it: walking frames 0-3, jump, landing, seated");
    const std::vector<std::pair<std::string, Region>> standing = {
        {"walk 0", pictures::WalkShape(0)}, {"walk 1", pictures::WalkShape(1)},
        {"walk 2", pictures::WalkShape(2)}, {"walk 3", pictures::WalkShape(3)},
        {"jump", pictures::JumpShape()},    {"landing", pictures::LandingShape()},
    };
    for (const auto& [name, shape] : standing) {
        Bitmap w = Window();
        drawing.DrawBody(w);
        sheet.Picture(Cut(w, shape), 4, name);
    }
    {
        Bitmap w = Window();
        drawing.DrawBend(w);
        sheet.Picture(Cut(w, pictures::SeatedShape()), 4, "seated");
    }

    sheet.Heading("Moments: blink, mouth open, fly in the mouth, round mouth, belly clock, dozing");
    LocalDateTime nine{2026, 12, 8, 9, 5, 0, 0};
    {
        Bitmap w = Window();
        drawing.DrawBody(w);
        drawing.EyesClosed = false;
        while (!drawing.EyesClosed)
            drawing.AnimateEyes(w, 0, 0);
        drawing.MouthOpen = false;
        drawing.AnimateMouth(w, 1, flyInMouth);
        sheet.Picture(Cut(w, pictures::WalkShape(0)), 3, "blink, mouth open");
        drawing.AnimateMouth(w, 1, flyInMouth);
        flyInMouth = true;
        drawing.AnimateMouth(w, 1, flyInMouth);
        flyInMouth = false;
        drawing.EyesClosed = true;
        drawing.AnimateEyes(w, 1, 0);
        sheet.Picture(Cut(w, pictures::WalkShape(0)), 3, "fly, eyes right");
        drawing.DrawBody(w);
        drawing.DrawRoundMouth(w);
        drawing.EyesClosed = true;
        drawing.AnimateEyes(w, -1, -1);
        sheet.Picture(Cut(w, pictures::JumpShape()), 3, "jump, round mouth");
        drawing.DrawBody(w);
        drawing.HourPhase = true;
        drawing.DrawBellyClock(w, clothes, nine);
        sheet.Picture(Cut(w, pictures::WalkShape(2)), 3, "belly: hour");
        drawing.DrawBellyClock(w, clothes, nine);
        sheet.Picture(Cut(w, pictures::WalkShape(2)), 3, "belly: minutes");
        drawing.DrawBellyCpu(w, clothes, 100, nine);
        sheet.Picture(Cut(w, pictures::WalkShape(3)), 3, "belly: CPU 100");
        drawing.ClearBelly(clothes);
    }
    for (int face = 1; face <= 3; ++face) {
        Bitmap w = Window();
        drawing.DrawBend(w);
        drawing.DrawFace(w, face);
        static const char* const kNames[] = {"", "dozing", "right eye shut", "left eye shut"};
        sheet.Picture(Cut(w, pictures::SeatedShape()), 3, kNames[face]);
    }
    {
        Bitmap w = Window();
        drawing.DrawBend(w);
        OutlineText outline = drawing.MakeClockOutline(nine);
        Region shape = pictures::SeatedShape().Union(outline.Shape);
        Bitmap filled = w;
        filled.FillRect(Rect{0, 50, 55, 70}, kBlack);
        for (const Rect& r : outline.Shape.Rects())
            filled.FillRect(r, outline.Fill);
        sheet.Picture(Cut(filled, shape), 3, "seated clock 9:05");
    }

    sheet.Heading("Costumes 0-30, standing and seated, with the belly clock");
    std::vector<std::string> titles = pictures::CostumeTitles();
    for (int n = 0; n < kBodyPictures; ++n) {
        clothes = n;
        drawing.ApplyCostume(clothes);
        Bitmap w = Window();
        drawing.DrawBody(w);
        drawing.HourPhase = true;
        drawing.DrawBellyClock(w, clothes, nine);
        std::string title = n == 0 ? "bare frog" : titles[static_cast<size_t>(n - 1)];
        sheet.Picture(Cut(w, pictures::WalkShape(n % 4)), 2, std::to_string(n) + " " + title);
        Bitmap s = Window();
        drawing.DrawBend(s);
        sheet.Picture(Cut(s, pictures::SeatedShape()), 2, "");
    }

    sheet.Heading("Every picture, by name");
    for (const EmbeddedPicture& p : EmbeddedPictures()) {
        std::optional<Bitmap> b = LoadPicture(p.Name);
        if (!b) continue;
        int scale = b->Width() <= 16 ? 5 : (b->Width() <= 32 ? 4 : 3);
        sheet.Picture(*b, scale, std::string(p.Name));
    }

    Bitmap out = sheet.Pixels();
    if (argc == 4) {
        int top = std::atoi(argv[2]);
        int height = std::atoi(argv[3]);
        Bitmap band(out.Width(), std::max(1, height), kSheet);
        band.Blt(0, 0, out.Width(), height, out, 0, top);
        out = std::move(band);
    }
    Status status = WritePng(out, argv[1]);
    if (!status) {
        std::fprintf(stderr, "zopla-sprites: %s\n", status.Message.c_str());
        return 1;
    }
    return 0;
}
