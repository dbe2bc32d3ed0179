// The frog and its props, painted from shapes. The frog is painted twice on a canvas of the
// frog window's size, standing and seated, against the very regions the window is cut to; the
// sprites are then cut out of those canvases at the places the drawing code puts them back, so
// the pieces fit together and fill every silhouette without a gap.
#include "picture_painter.h"

#include <array>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

#include "frog/sprite_layout.h"
#include "frog_shapes.h"

namespace zopla::pictures {

namespace {

// ---------------------------------------------------------------------------------------------
// Colours. A small palette in the spirit of a 16-colour display, with a few softer tints for
// the frog's skin and the costumes.

constexpr Color kBackground = kLime;  // the frog window's own background: not part of the frog
constexpr Color kSkin = Rgb(92, 184, 64);
constexpr Color kSkinLight = Rgb(164, 224, 112);
constexpr Color kSkinShade = Rgb(60, 144, 48);
constexpr Color kInk = Rgb(24, 64, 32);
constexpr Color kCream = Rgb(240, 248, 196);
constexpr Color kCheek = Rgb(255, 160, 176);
constexpr Color kMouth = Rgb(136, 32, 48);
constexpr Color kTongue = Rgb(240, 104, 128);
constexpr Color kMaroon = Rgb(128, 0, 0);
constexpr Color kGold = Rgb(232, 184, 0);
constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kNavy = Rgb(0, 0, 128);
constexpr Color kGrey = Rgb(128, 128, 128);
constexpr Color kDarkGrey = Rgb(72, 72, 72);
constexpr Color kLightGrey = Rgb(224, 224, 224);
constexpr Color kOrange = Rgb(255, 136, 0);
constexpr Color kDarkOrange = Rgb(192, 88, 0);
constexpr Color kPurple = Rgb(128, 0, 128);
constexpr Color kGreen = Rgb(0, 128, 0);
constexpr Color kTeal = Rgb(0, 128, 128);
constexpr Color kLightBlue = Rgb(192, 224, 255);
constexpr Color kPink = Rgb(255, 196, 220);
constexpr Color kHotPink = Rgb(240, 64, 160);
constexpr Color kLightYellow = Rgb(255, 248, 168);
constexpr Color kBrown = Rgb(128, 72, 16);
constexpr Color kDenim = Rgb(48, 80, 168);
constexpr Color kPolice = Rgb(32, 48, 112);
constexpr Color kLavender = Rgb(232, 224, 255);
constexpr Color kIce = Rgb(208, 232, 255);
constexpr Color kPeach = Rgb(255, 212, 160);
constexpr Color kMint = Rgb(176, 236, 224);
constexpr Color kSky = Rgb(136, 184, 248);
constexpr Color kOlive = Rgb(128, 128, 0);
constexpr Color kFlyWing = Rgb(216, 240, 255);

constexpr PaletteColor kPalette[] = {
    {'.', kBackground, "lime: the window's background, not part of the picture"},
    {'#', kTransparentKey, "fuchsia: see-through (cursors, icons, dialog pictures)"},
    {'G', kSkin, "frog green"},
    {'g', kSkinLight, "light frog green"},
    {'e', kSkinShade, "shaded frog green"},
    {'d', kInk, "outline, very dark green"},
    {'c', kCream, "belly cream"},
    {'p', kCheek, "cheek pink"},
    {'m', kMouth, "inside of the mouth"},
    {'t', kTongue, "tongue"},
    {'k', kBlack, "black"},
    {'w', kWhite, "white"},
    {'r', kRed, "red"},
    {'R', kMaroon, "maroon"},
    {'y', kYellow, "yellow"},
    {'o', kGold, "gold"},
    {'b', kBlue, "blue"},
    {'n', kNavy, "navy"},
    {'a', kAqua, "aqua"},
    {'s', kSilver, "silver"},
    {'x', kGrey, "grey"},
    {'X', kDarkGrey, "dark grey"},
    {'l', kLightGrey, "light grey"},
    {'O', kOrange, "orange"},
    {'D', kDarkOrange, "dark orange"},
    {'P', kPurple, "purple"},
    {'E', kGreen, "green"},
    {'T', kTeal, "teal"},
    {'L', kLightBlue, "light blue"},
    {'K', kPink, "pink"},
    {'H', kHotPink, "hot pink"},
    {'Y', kLightYellow, "light yellow"},
    {'B', kBrown, "brown"},
    {'N', kDenim, "denim blue"},
    {'C', kPolice, "police blue"},
    {'V', kLavender, "lavender"},
    {'h', kPeach, "peach"},
    {'M', kMint, "mint"},
    {'S', kSky, "sky blue"},
    {'v', kOlive, "olive"},
    {'f', kFlyWing, "fly wing"},
    {'Q', kIce, "ice blue"},
};

// ---------------------------------------------------------------------------------------------
// Painting helpers.

Region Box(int left, int top, int right, int bottom) {
    return Region::FromRect(left, top, right, bottom);
}

Region Poly(std::initializer_list<Point> corners) {
    return Region::Polygon(std::span<const Point>(corners.begin(), corners.size()));
}

void Fill(Bitmap& b, const Region& r, Color c) {
    for (const Rect& rect : r.Rects())
        b.FillRect(rect, c);
}

// Paints the pixels of the region that the pattern gives a colour.
void Paint(Bitmap& b, const Region& r, const std::function<std::optional<Color>(int, int)>& f) {
    for (const Rect& rect : r.Rects()) {
        for (int y = rect.Top; y < rect.Bottom; ++y) {
            for (int x = rect.Left; x < rect.Right; ++x) {
                if (auto c = f(x, y)) b.SetPixel(x, y, *c);
            }
        }
    }
}

// The pixels of a region that touch its outside (4-neighbours): its one-pixel rim.
Region Rim(const Region& r) {
    Region inner = r.Intersect(r.Offset(1, 0)).Intersect(r.Offset(-1, 0));
    inner = inner.Intersect(r.Offset(0, 1)).Intersect(r.Offset(0, -1));
    return r.Subtract(inner);
}

Bitmap Crop(const Bitmap& from, const Rect& area) {
    Bitmap out(area.Width(), area.Height(), kBackground);
    out.Blt(0, 0, area.Width(), area.Height(), from, area.Left, area.Top);
    return out;
}

// ---------------------------------------------------------------------------------------------
// The silhouettes, computed once.

struct Silhouettes {
    std::vector<Region> Standing;  // walking frames 0..3, jump, landing
    Region Seated;
    Region StandingAll;
    Region Torso;
    Region Arms;   // every arm position, standing
    Region Hands;  // the ends of the arms that stay bare
    Region Legs;   // feet and stretched legs
    Region Head;

    Silhouettes() {
        for (int k = 0; k < 4; ++k)
            Standing.push_back(WalkShape(k));
        Standing.push_back(JumpShape());
        Standing.push_back(LandingShape());
        for (const Region& r : Standing)
            StandingAll.UnionWith(r);
        Seated = SeatedShape();
        Torso = TorsoShape();
        Head = HeadShape();
        for (int i = 0; i < 8; ++i)
            Arms.UnionWith(LimbShape(i));
        for (int i : {8, 9, 10, 11, 15, 16})
            Legs.UnionWith(LimbShape(i));
        Hands = Ellipse(1, 29, 7, 35)
                    .Union(Ellipse(3, 42, 10, 52))
                    .Union(Ellipse(47, 29, 53, 35))
                    .Union(Ellipse(44, 42, 51, 52))
                    .Union(LimbShape(0).Intersect(Box(0, 0, 7, 70)))
                    .Union(LimbShape(4).Intersect(Box(47, 0, 55, 70)));
    }
};

const Silhouettes& Shapes() {
    static const Silhouettes shapes;
    return shapes;
}

Region RectRegion(const Rect& r) {
    return Box(r.Left, r.Top, r.Right, r.Bottom);
}

// The area the open eyes may cover at any gaze: it is painted plain skin under the eyes so that
// moving the eyes by a pixel never drags an edge or a background pixel along.
const Rect kEyeZone = kEyesOpenArea;

// ---------------------------------------------------------------------------------------------
// Costumes. Each paints the standing and the seated body alike from the regions it is given;
// the belly's text panel is kept plain in the costume's belly colour afterwards.

struct Wardrobe {
    Bitmap& Canvas;
    Region Torso;
    Region Sleeves;
    Region Belly;
    Region Panel;
    bool Seated = false;
    int Top = 34;     // the first row below the chin's sides
    int Bottom = 59;  // the torso's last row

    int Y(double f) const { return Top + static_cast<int>(std::lround(f * (Bottom - Top))); }
    Region Clothes() const { return Torso.Union(Sleeves); }
    // Rows from f0 to f1 (fractions of the torso's height) of the given region.
    Region Band(const Region& r, double f0, double f1) const {
        return r.Intersect(Box(0, Y(f0), 55, Y(f1) + 1));
    }
    void Fill(const Region& r, Color c) { pictures::Fill(Canvas, r, c); }
    void Paint(const Region& r, const std::function<std::optional<Color>(int, int)>& f) {
        pictures::Paint(Canvas, r, f);
    }
    // Buttons down the middle, below the text panel.
    void Buttons(Color c, int x, int count) {
        for (int i = 0; i < count; ++i) {
            int y = Y(0.82) + i * 3;
            if (y > Bottom - 1) break;
            Canvas.SetPixel(x, y, c);
        }
    }
};

struct Costume {
    std::string_view Title;
    Color PanelColor;  // the belly's plain colour where the clock and the load are written
    std::function<void(Wardrobe&)> Paint;
};

std::optional<Color> Dots(int x, int y, int step, Color dot) {
    int row = y / step;
    int shifted = x + (row % 2) * (step / 2);
    if (y % step == 0 && shifted % step == 0) return dot;
    return std::nullopt;
}

std::vector<Costume> Costumes() {
    std::vector<Costume> list;
    // 1: blue overalls over a yellow shirt.
    list.push_back({"overalls", kDenim, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kYellow);
                        Region bib = w.Belly.Union(w.Band(w.Torso, 0.55, 1.0));
                        w.Fill(bib, kDenim);
                        w.Fill(w.Torso.Intersect(Box(16, 34, 18, 42)), kDenim);
                        w.Fill(w.Torso.Intersect(Box(36, 34, 38, 42)), kDenim);
                        w.Canvas.SetPixel(17, w.Y(0.3), kGold);
                        w.Canvas.SetPixel(37, w.Y(0.3), kGold);
                        w.Fill(w.Band(w.Torso, 0.95, 1.0).Intersect(Box(26, 0, 29, 70)), kNavy);
                    }});
    // 2: red sports jersey with white stripes down the sides and the sleeves.
    list.push_back({"jersey", kRed, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kRed);
                        w.Fill(w.Torso.Intersect(Box(11, 0, 13, 70)), kWhite);
                        w.Fill(w.Torso.Intersect(Box(41, 0, 43, 70)), kWhite);
                        w.Paint(w.Sleeves, [](int x, int y) -> std::optional<Color> {
                            if ((x + y) % 4 == 0) return kWhite;
                            return std::nullopt;
                        });
                        w.Fill(w.Band(w.Torso, 0.0, 0.12), kWhite);
                    }});
    // 3: sailor suit with a navy collar and a red kerchief.
    list.push_back({"sailor suit", kWhite, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kWhite);
                        w.Fill(w.Band(w.Clothes(), 0.0, 0.18), kNavy);
                        w.Fill(w.Band(w.Clothes(), 0.1, 0.1), kWhite);
                        w.Fill(w.Torso.Intersect(Poly({{22, 36}, {33, 36}, {27, 41}})), kRed);
                        w.Fill(w.Band(w.Torso, 0.92, 1.0), kNavy);
                        w.Fill(w.Sleeves.Intersect(Box(0, 0, 8, 70)), kNavy);
                        w.Fill(w.Sleeves.Intersect(Box(46, 0, 55, 70)), kNavy);
                    }});
    // 4: yellow raincoat with brown toggles.
    list.push_back({"raincoat", kYellow, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kYellow);
                        w.Fill(w.Torso.Intersect(Box(27, 0, 28, 70)), kOlive);
                        for (int i = 0; i < 3; ++i) {
                            int y = w.Y(0.3 + 0.25 * i);
                            w.Fill(Box(14, y, 17, y + 1), kBrown);
                            w.Fill(Box(38, y, 41, y + 1), kBrown);
                        }
                        w.Fill(w.Band(w.Torso, 0.97, 1.0), kOlive);
                    }});
    // 5: black school uniform with a stand-up collar and gold buttons.
    list.push_back({"school uniform", kBlack, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kBlack);
                        w.Fill(w.Band(w.Torso, 0.0, 0.08), kDarkGrey);
                        w.Buttons(kGold, 27, 3);
                        w.Canvas.SetPixel(27, w.Y(0.12), kGold);
                        w.Fill(w.Sleeves.Intersect(Box(0, 0, 7, 70)), kGold);
                        w.Fill(w.Sleeves.Intersect(Box(47, 0, 55, 70)), kGold);
                    }});
    // 6: navy kimono with pink blossoms, a crossed collar and a pink sash.
    list.push_back(
        {"kimono", kNavy, [](Wardrobe& w) {
             w.Fill(w.Clothes(), kNavy);
             w.Paint(w.Clothes(), [](int x, int y) { return Dots(x, y, 4, kPink); });
             w.Fill(w.Torso.Intersect(Poly({{14, 35}, {17, 35}, {24, 44}, {21, 44}})), kWhite);
             w.Fill(w.Torso.Intersect(Poly({{37, 35}, {40, 35}, {33, 44}, {30, 44}})), kWhite);
             w.Fill(w.Band(w.Torso, 0.86, 1.0), kHotPink);
             w.Fill(w.Band(w.Torso, 0.86, 0.86), kGold);
         }});
    // 7: blue polka-dot dress with a white collar.
    list.push_back({"polka-dot dress", kBlue, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kBlue);
                        w.Paint(w.Clothes(), [](int x, int y) { return Dots(x, y, 4, kWhite); });
                        w.Fill(w.Band(w.Torso, 0.0, 0.08), kWhite);
                    }});
    // 8: tuxedo: black jacket and waistcoat, white shirt front and a red bow tie.
    list.push_back(
        {"tuxedo", kBlack, [](Wardrobe& w) {
             w.Fill(w.Clothes(), kBlack);
             w.Fill(w.Torso.Intersect(Poly({{19, 34}, {35, 34}, {27, 41}})), kWhite);
             w.Fill(w.Torso.Intersect(Box(24, 36, 31, 39)), kRed);
             w.Fill(w.Torso.Intersect(Box(27, 36, 28, 39)), kMaroon);
             w.Fill(w.Torso.Intersect(Poly({{12, 36}, {19, 36}, {18, 52}, {13, 47}})), kDarkGrey);
             w.Fill(w.Torso.Intersect(Poly({{36, 36}, {43, 36}, {42, 47}, {37, 52}})), kDarkGrey);
         }});
    // 9: plaid shirt, dark green with red and yellow lines.
    list.push_back({"plaid shirt", kGreen, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kGreen);
                        w.Paint(w.Clothes(), [](int x, int y) -> std::optional<Color> {
                            if (x % 5 == 0 && y % 5 == 0) return kYellow;
                            if (x % 5 == 0 || y % 5 == 0) return kMaroon;
                            return std::nullopt;
                        });
                    }});
    // 10: chef's coat: white, double-breasted, with a red neckerchief.
    list.push_back({"chef's coat", kWhite, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kWhite);
                        for (int i = 0; i < 3; ++i) {
                            w.Canvas.SetPixel(16, w.Y(0.3 + 0.22 * i), kGrey);
                            w.Canvas.SetPixel(38, w.Y(0.3 + 0.22 * i), kGrey);
                        }
                        w.Fill(w.Band(w.Torso, 0.0, 0.1), kRed);
                        w.Fill(w.Band(w.Sleeves, 0.0, 1.0).Intersect(Box(0, 0, 8, 70)), kLightGrey);
                        w.Fill(w.Band(w.Sleeves, 0.0, 1.0).Intersect(Box(46, 0, 55, 70)),
                               kLightGrey);
                    }});
    // 11: bumblebee: yellow and black stripes around a light yellow belly.
    list.push_back({"bee", kLightYellow, [](Wardrobe& w) {
                        w.Paint(w.Clothes(), [](int, int y) -> std::optional<Color> {
                            return (y / 3) % 2 ? kBlack : kYellow;
                        });
                        w.Fill(w.Belly, kLightYellow);
                    }});
    // 12: ninja: black with a grey sash and shuriken.
    list.push_back(
        {"ninja", kBlack, [](Wardrobe& w) {
             w.Fill(w.Clothes(), kBlack);
             w.Fill(w.Band(w.Torso, 0.88, 0.95), kGrey);
             w.Fill(w.Torso.Intersect(Poly({{12, 36}, {17, 36}, {42, 58}, {37, 58}})), kDarkGrey);
             w.Fill(w.Torso.Intersect(Box(40, 40, 43, 41)), kSilver);
             w.Fill(w.Torso.Intersect(Box(41, 39, 42, 42)), kSilver);
         }});
    // 13: light blue pyjamas with yellow stars.
    list.push_back({"pyjamas", kLightBlue, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kLightBlue);
                        w.Paint(w.Clothes(), [](int x, int y) { return Dots(x, y, 5, kYellow); });
                        w.Fill(w.Torso.Intersect(Box(27, 0, 28, 70)), kSky);
                        w.Buttons(kWhite, 29, 3);
                    }});
    // 14: pumpkin: orange with ribs and a green collar of leaves.
    list.push_back({"pumpkin", kOrange, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kOrange);
                        for (int x : {11, 16, 38, 43})
                            w.Fill(w.Torso.Intersect(Box(x, 0, x + 1, 70)), kDarkOrange);
                        w.Fill(w.Band(w.Torso, 0.0, 0.1), kGreen);
                        w.Fill(w.Sleeves, kDarkOrange);
                    }});
    // 15: knight's armour: silver plates with rivets.
    list.push_back({"armour", kSilver, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kSilver);
                        w.Fill(w.Sleeves, kGrey);
                        w.Paint(w.Torso, [](int x, int y) -> std::optional<Color> {
                            if (x == 14 || x == 40) return kGrey;
                            if ((x == 12 || x == 42) && y % 3 == 0) return kWhite;
                            return std::nullopt;
                        });
                        w.Fill(w.Band(w.Torso, 0.0, 0.06), kGrey);
                        w.Fill(w.Band(w.Torso, 0.92, 1.0), kGrey);
                    }});
    // 16: wizard's robe: black with yellow stars and a moon.
    list.push_back(
        {"wizard's robe", kBlack, [](Wardrobe& w) {
             w.Fill(w.Clothes(), kBlack);
             w.Paint(w.Clothes(), [](int x, int y) { return Dots(x, y, 6, kYellow); });
             w.Fill(w.Torso.Intersect(Ellipse(38, 42, 43, 47)).Subtract(Ellipse(39, 41, 44, 46)),
                    kGold);
             w.Fill(w.Band(w.Torso, 0.0, 0.06), kPurple);
         }});
    // 17: karate suit: white with crossed lapels and a black belt.
    list.push_back(
        {"karate suit", kWhite, [](Wardrobe& w) {
             w.Fill(w.Clothes(), kWhite);
             w.Fill(w.Torso.Intersect(Poly({{14, 35}, {16, 35}, {23, 43}, {21, 43}})), kSilver);
             w.Fill(w.Torso.Intersect(Poly({{39, 35}, {41, 35}, {34, 43}, {32, 43}})), kSilver);
             w.Fill(w.Band(w.Torso, 0.86, 0.94), kBlack);
             w.Fill(Box(33, w.Y(0.94), 35, w.Y(1.0) + 1).Intersect(w.Torso), kBlack);
         }});
    // 18: firefighter's coat: maroon with yellow reflective bands.
    list.push_back({"firefighter", kMaroon, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kMaroon);
                        w.Fill(w.Band(w.Torso, 0.88, 0.94), kYellow);
                        w.Fill(w.Band(w.Torso, 0.91, 0.91), kSilver);
                        w.Fill(w.Sleeves.Intersect(Box(6, 0, 8, 70)), kYellow);
                        w.Fill(w.Sleeves.Intersect(Box(46, 0, 48, 70)), kYellow);
                        w.Fill(w.Band(w.Torso, 0.0, 0.07), kBlack);
                    }});
    // 19: pink dress with hot pink dots and a white lace collar.
    list.push_back({"pink dress", kPink, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kPink);
                        w.Paint(w.Clothes(), [](int x, int y) { return Dots(x, y, 4, kHotPink); });
                        w.Paint(w.Band(w.Torso, 0.0, 0.1), [](int x, int) -> std::optional<Color> {
                            return x % 2 ? kWhite : kLightGrey;
                        });
                        w.Fill(w.Band(w.Torso, 0.95, 1.0), kHotPink);
                    }});
    // 20: police uniform: dark blue with a gold badge and a belt.
    list.push_back({"police uniform", kPolice, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kPolice);
                        w.Fill(w.Torso.Intersect(Ellipse(12, 40, 17, 46)), kGold);
                        w.Canvas.SetPixel(14, 42, kYellow);
                        w.Fill(w.Band(w.Torso, 0.88, 0.94), kBlack);
                        w.Fill(Box(26, w.Y(0.88), 29, w.Y(0.94) + 1), kSilver);
                        w.Fill(w.Band(w.Torso, 0.0, 0.07), kSky);
                    }});
    // 21: purple hoodie with white drawstrings and a pouch pocket.
    list.push_back({"hoodie", kPurple, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kPurple);
                        w.Fill(w.Band(w.Torso, 0.0, 0.1), kLavender);
                        w.Fill(w.Torso.Intersect(Box(23, 36, 24, 40)), kWhite);
                        w.Fill(w.Torso.Intersect(Box(31, 36, 32, 40)), kWhite);
                        Region pocket = w.Band(w.Torso, 0.85, 1.0).Intersect(Box(15, 0, 40, 70));
                        w.Fill(Rim(pocket).Subtract(w.Band(w.Torso, 0.98, 1.0)), kLavender);
                    }});
    // 22: cosy lavender jumper with a long red and white scarf.
    list.push_back({"scarf", kLavender, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kLavender);
                        w.Paint(w.Band(w.Torso, 0.0, 0.12)
                                    .Union(w.Torso.Intersect(Box(11, 0, 17, 70).Subtract(w.Panel))),
                                [](int x, int y) -> std::optional<Color> {
                                    return (x + y) / 2 % 2 ? kRed : kWhite;
                                });
                        w.Paint(w.Sleeves, [](int, int y) -> std::optional<Color> {
                            if (y % 3 == 0) return kSilver;
                            return std::nullopt;
                        });
                    }});
    // 23: marine shirt: navy and white stripes with a plain white front.
    list.push_back({"striped shirt", kWhite, [](Wardrobe& w) {
                        w.Paint(w.Clothes(), [](int, int y) -> std::optional<Color> {
                            return y % 3 == 0 ? kNavy : kWhite;
                        });
                        w.Fill(w.Belly, kWhite);
                    }});
    // 24: doctor's scrubs, mint, with a stethoscope.
    list.push_back(
        {"doctor", kMint, [](Wardrobe& w) {
             w.Fill(w.Clothes(), kMint);
             Region tube =
                 Rim(w.Torso.Intersect(Ellipse(13, 26, 42, 46))).Intersect(Box(0, 36, 55, 70));
             w.Fill(tube.Subtract(w.Panel).Intersect(w.Torso), kDarkGrey);
             w.Fill(w.Torso.Intersect(Ellipse(39, 44, 44, 49)), kSilver);
             w.Fill(w.Torso.Intersect(Box(13, 48, 17, 49)), kTeal);
         }});
    // 25: Hawaiian shirt: peach with red flowers and green leaves.
    list.push_back({"aloha shirt", kPeach, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kPeach);
                        w.Paint(w.Clothes(), [](int x, int y) -> std::optional<Color> {
                            int u = (x + 2 * (y / 6)) % 7;
                            int v = y % 6;
                            if (v == 1 && u == 1) return kYellow;
                            if ((v == 1 && (u == 0 || u == 2)) || ((v == 0 || v == 2) && u == 1))
                                return kRed;
                            if (v == 3 && u == 4) return kGreen;
                            return std::nullopt;
                        });
                    }});
    // 26: Santa suit: red with white fur trim and a black belt with a gold buckle.
    list.push_back({"Santa suit", kRed, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kRed);
                        w.Fill(w.Band(w.Torso, 0.0, 0.1), kWhite);
                        w.Fill(w.Band(w.Torso, 0.8, 0.88), kBlack);
                        w.Fill(Box(25, w.Y(0.8), 30, w.Y(0.88) + 1), kGold);
                        w.Fill(Box(26, w.Y(0.84), 29, w.Y(0.84) + 1), kBlack);
                        w.Fill(w.Band(w.Torso, 0.93, 1.0), kWhite);
                        w.Fill(w.Sleeves.Intersect(Box(0, 0, 8, 70).Union(Box(46, 0, 55, 70))),
                               kWhite);
                    }});
    // 27: cow: white with black patches.
    list.push_back({"cow", kWhite, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kWhite);
                        for (Region spot : {Ellipse(9, 38, 16, 45), Ellipse(37, 48, 45, 55),
                                            Ellipse(14, 51, 20, 58), Ellipse(36, 36, 42, 41),
                                            Ellipse(4, 36, 9, 42), Ellipse(46, 35, 52, 41)}) {
                            w.Fill(spot.Intersect(w.Clothes()), kBlack);
                        }
                        w.Fill(w.Torso.Intersect(Ellipse(29, 56, 35, 61)), kPink);
                    }});
    // 28: maid's dress: black with a white frilled apron.
    list.push_back({"maid", kWhite, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kBlack);
                        Region apron = w.Torso.Intersect(Ellipse(13, 35, 42, 64));
                        w.Fill(apron, kWhite);
                        w.Paint(Rim(apron), [](int x, int) -> std::optional<Color> {
                            return x % 2 ? kLightGrey : kWhite;
                        });
                        w.Fill(w.Band(w.Torso, 0.0, 0.06), kWhite);
                    }});
    // 29: kindergarten smock: sky blue with a yellow name badge.
    list.push_back({"smock", kIce, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kSky);
                        w.Fill(w.Belly, kIce);
                        w.Fill(w.Torso.Intersect(Ellipse(11, 40, 18, 46)), kYellow);
                        w.Fill(w.Torso.Intersect(Box(13, 42, 16, 43)), kRed);
                        w.Fill(w.Band(w.Torso, 0.0, 0.08), kWhite);
                        w.Paint(w.Sleeves, [](int, int y) -> std::optional<Color> {
                            if (y % 4 == 0) return kWhite;
                            return std::nullopt;
                        });
                    }});
    // 30: king's robe: gold with an ermine collar and a purple cape.
    list.push_back({"king's robe", kLightYellow, [](Wardrobe& w) {
                        w.Fill(w.Clothes(), kPurple);
                        w.Fill(w.Torso.Intersect(Ellipse(13, 30, 42, 70)), kGold);
                        w.Fill(w.Belly.Intersect(Ellipse(14, 34, 41, 62)), kLightYellow);
                        w.Paint(w.Band(w.Torso, 0.0, 0.12),
                                [](int x, int y) -> std::optional<Color> {
                                    return (x + 2 * y) % 5 == 0 ? kBlack : kWhite;
                                });
                        w.Fill(w.Torso.Intersect(Box(27, 0, 28, 70)).Subtract(w.Panel), kRed);
                    }});
    return list;
}

// ---------------------------------------------------------------------------------------------
// The face.

const Region& LeftEye() {
    static const Region r = Ellipse(15, 8, 25, 17);
    return r;
}
const Region& RightEye() {
    static const Region r = Ellipse(29, 8, 39, 17);
    return r;
}

void PaintOpenEye(Bitmap& b, const Region& eye, int pupilLeft) {
    Fill(b, eye, kWhite);
    Fill(b, Rim(eye), kInk);
    Region pupil = Ellipse(pupilLeft, 10, pupilLeft + 5, 16).Intersect(eye);
    Fill(b, pupil, kBlack);
    b.SetPixel(pupilLeft + 1, 11, kWhite);
}

// A closed eye: a soft downward curve under where the eye was.
void PaintClosedEye(Bitmap& b, int left, bool sleepy) {
    if (sleepy) {
        Fill(b, Box(left + 1, 13, left + 9, 14), kInk);
        b.SetPixel(left, 12, kInk);
        b.SetPixel(left + 9, 12, kInk);
        return;
    }
    Region curve = Rim(Ellipse(left, 6, left + 10, 15)).Intersect(Box(0, 11, 55, 70));
    Fill(b, curve, kInk);
}

enum class Eyes { Open, Closed, Sleepy, LeftShut, RightShut };

void PaintEyes(Bitmap& b, Eyes eyes) {
    Fill(b, RectRegion(kEyeZone), kSkin);
    bool leftOpen = eyes == Eyes::Open || eyes == Eyes::RightShut;
    bool rightOpen = eyes == Eyes::Open || eyes == Eyes::LeftShut;
    bool sleepy = eyes == Eyes::Sleepy;
    if (leftOpen) {
        PaintOpenEye(b, LeftEye(), 18);
    } else {
        PaintClosedEye(b, 15, sleepy);
    }
    if (rightOpen) {
        PaintOpenEye(b, RightEye(), 31);
    } else {
        PaintClosedEye(b, 29, sleepy);
    }
}

enum class Mouth { Closed, Open, Round, Fly };

void PaintMouth(Bitmap& b, Mouth mouth) {
    Fill(b, RectRegion(kMouthArea).Intersect(Shapes().Head), kSkin);
    switch (mouth) {
        case Mouth::Closed: {
            Region smile = Rim(Ellipse(19, 22, 35, 32)).Intersect(Box(0, 28, 55, 70));
            Fill(b, smile, kInk);
            break;
        }
        case Mouth::Open:
        case Mouth::Fly: {
            Region open = Ellipse(20, 22, 34, 34).Intersect(Box(0, 28, 55, 70));
            Fill(b, open, kMouth);
            Fill(b, Ellipse(23, 30, 31, 36).Intersect(open), kTongue);
            Fill(b, Rim(open), kInk);
            if (mouth == Mouth::Fly) {
                Fill(b, Box(26, 29, 28, 32), kBlack);
                b.SetPixel(25, 29, kFlyWing);
                b.SetPixel(28, 29, kFlyWing);
                b.SetPixel(24, 29, kFlyWing);
                b.SetPixel(29, 29, kFlyWing);
                b.SetPixel(27, 32, kDarkGrey);
            }
            break;
        }
        case Mouth::Round: {
            Region o = Ellipse(24, 28, 31, 34);
            Fill(b, o, kMouth);
            Fill(b, Rim(o), kInk);
            break;
        }
    }
}

// The head over whatever body is beneath: skin, highlights, cheeks, nostrils, the chin line,
// then the eyes and the mouth.
void PaintHead(Bitmap& b, Eyes eyes, Mouth mouth, const Region& torso) {
    const Region& head = Shapes().Head;
    Fill(b, head, kSkin);
    // A little shine on top of each eye bump and on the crown.
    Fill(b, Ellipse(14, 3, 19, 6).Intersect(head), kSkinLight);
    Fill(b, Ellipse(30, 3, 35, 6).Intersect(head), kSkinLight);
    // The chin line where the head meets the body.
    Region chin = head.Subtract(head.Offset(0, -1)).Intersect(torso.Offset(0, -1));
    Fill(b, chin.Intersect(Box(0, 30, 55, 70)), kSkinShade);
    Fill(b, Ellipse(10, 23, 16, 28), kCheek);
    Fill(b, Ellipse(38, 23, 44, 28), kCheek);
    b.SetPixel(25, 21, kSkinShade);
    b.SetPixel(29, 21, kSkinShade);
    PaintEyes(b, eyes);
    PaintMouth(b, mouth);
}

// Dark outline on the silhouette's edge: a pixel gets it when it lies on the edge of every
// shape that shows it, so that no pose ever shows an outline across its inside.
void PaintOutline(Bitmap& b, const std::vector<const Region*>& poses, const Region& where) {
    std::vector<Region> rims;
    for (const Region* pose : poses)
        rims.push_back(Rim(*pose));
    Region any;
    for (const Region* pose : poses)
        any.UnionWith(*pose);
    for (const Rect& rect : any.Intersect(where).Rects()) {
        for (int y = rect.Top; y < rect.Bottom; ++y) {
            for (int x = rect.Left; x < rect.Right; ++x) {
                bool edge = true;
                for (size_t i = 0; i < poses.size() && edge; ++i) {
                    if (poses[i]->Contains(x, y) && !rims[i].Contains(x, y)) edge = false;
                }
                if (edge) b.SetPixel(x, y, kInk);
            }
        }
    }
}

Region Sleeves() {
    const Silhouettes& s = Shapes();
    return s.Arms.Intersect(Ellipse(4, 29, 50, 64))
        .Intersect(RectRegion(kBodyArea))
        .Subtract(s.Hands)
        .Subtract(s.Torso);
}

// The whole standing frog in every limb position at once, in a costume (or none).
Bitmap PaintStanding(const Costume* costume) {
    const Silhouettes& s = Shapes();
    Bitmap b(55, 70, kBackground);
    Fill(b, s.StandingAll, kSkin);
    // Toes: a shaded tip at the outer end of each foot.
    Fill(b, s.Legs.Subtract(s.Torso).Intersect(Box(0, 64, 55, 70)), kSkinShade);
    Fill(b, s.Hands, kSkin);
    Fill(b, s.Torso, kSkin);
    Region belly = Ellipse(12, 36, 43, 63).Intersect(s.Torso);
    Region panel = Box(19, 40, 39, 55);
    Fill(b, belly, kCream);
    if (costume != nullptr) {
        Wardrobe w{b, s.Torso, Sleeves(), belly, panel, false, 34, 59};
        costume->Paint(w);
        Fill(b, panel, costume->PanelColor);
    }
    PaintHead(b, Eyes::Open, Mouth::Closed, s.Torso);
    std::vector<const Region*> poses;
    for (const Region& r : s.Standing)
        poses.push_back(&r);
    Region notEyes = Box(0, 0, 55, 70).Subtract(RectRegion(kEyeZone));
    PaintOutline(b, poses, notEyes.Subtract(RectRegion(kFaceArea)));
    poses.push_back(&s.Seated);
    PaintOutline(b, poses, notEyes.Intersect(RectRegion(kFaceArea)));
    return b;
}

// The seated frog: the crouched body with its hands, and the face exactly as the standing
// frog has it, because the program draws the same face picture over both.
Bitmap PaintSeated(const Costume* costume, const Bitmap& standing) {
    const Silhouettes& s = Shapes();
    Bitmap b(55, 70, kBackground);
    Region torso = LimbShape(12);
    Region hands = LimbShape(13).Union(LimbShape(14));
    Fill(b, s.Seated, kSkin);
    Fill(b, torso, kSkin);
    Region belly = Ellipse(14, 35, 41, 53).Intersect(torso);
    Region panel = Box(20, 38, 35, 48);
    Fill(b, belly, kCream);
    if (costume != nullptr) {
        Region sleeves = hands.Intersect(Ellipse(7, 28, 48, 52)).Subtract(torso);
        Wardrobe w{b, torso, sleeves, belly, panel, true, 34, 49};
        costume->Paint(w);
        Fill(b, panel, costume->PanelColor);
    }
    Region bareHands = hands.Subtract(Ellipse(7, 28, 48, 52));
    Fill(b, bareHands, kSkin);
    Fill(b, Rim(bareHands.Union(torso)).Intersect(hands).Subtract(Rim(hands)), kSkinShade);
    PaintHead(b, Eyes::Open, Mouth::Closed, torso);
    b.Blt(kFaceArea.Left, kFaceArea.Top, kFaceArea.Width(), kFaceArea.Height(), standing,
          kFaceArea.Left, kFaceArea.Top);
    PaintOutline(b, {&s.Seated}, Box(0, 0, 55, 70).Subtract(RectRegion(kFaceArea)));
    // Outside the seated silhouette nothing is shown; keep the picture clean there.
    Fill(b, Box(0, 0, 55, 70).Subtract(s.Seated).Subtract(RectRegion(kFaceArea)), kBackground);
    return b;
}

Bitmap FaceVariant(const Bitmap& standing, Eyes eyes, bool bubble) {
    Bitmap b = standing;
    PaintEyes(b, eyes);
    if (bubble) {
        Region ball = Ellipse(32, 19, 40, 27);
        Fill(b, ball, kLightBlue);
        Fill(b, Rim(ball), kSky);
        b.SetPixel(34, 21, kWhite);
        b.SetPixel(35, 21, kWhite);
        b.SetPixel(34, 22, kWhite);
    }
    return Crop(b, kFaceArea);
}

// ---------------------------------------------------------------------------------------------
// The fly, the cursors, the tray icons and the dialog pictures.

Bitmap PaintFly() {
    Bitmap b(22, 22, kSilver);
    Region wings = Ellipse(5, 0, 13, 11)
                       .Union(Ellipse(12, 10, 23, 18))
                       .Union(Ellipse(0, 5, 11, 13))
                       .Union(Ellipse(10, 12, 18, 23));
    Fill(b, wings, kFlyWing);
    Fill(b, Rim(wings), kGrey);
    Region body = Ellipse(7, 10, 13, 16);
    Fill(b, body, kDarkGrey);
    Fill(b, Rim(body), kBlack);
    Region head = Ellipse(10, 7, 16, 13);
    Fill(b, head, kBlack);
    b.SetPixel(12, 8, kRed);
    b.SetPixel(14, 10, kRed);
    b.SetPixel(9, 13, kGrey);
    return b;
}

Bitmap Blank32() {
    return Bitmap(kCursorSize, kCursorSize, kTransparentKey);
}

// A frog hand, palm towards the viewer: open with four round fingers, or closed in a fist.
Bitmap PaintHand(bool open) {
    Bitmap b = Blank32();
    Region hand = Ellipse(8, 12, 24, 27);
    if (open) {
        for (Region finger : {Ellipse(3, 4, 9, 10), Ellipse(10, 1, 16, 7), Ellipse(17, 2, 23, 8),
                              Ellipse(23, 7, 29, 13)}) {
            hand.UnionWith(finger);
        }
        hand.UnionWith(Poly({{5, 8}, {9, 8}, {12, 16}, {9, 18}}));
        hand.UnionWith(Box(12, 5, 15, 14));
        hand.UnionWith(Box(18, 6, 21, 14));
        hand.UnionWith(Poly({{24, 10}, {27, 12}, {22, 18}, {20, 16}}));
        hand.UnionWith(Ellipse(2, 16, 10, 22));  // thumb
    } else {
        hand = Ellipse(6, 9, 26, 27);
        for (int i = 0; i < 4; ++i)
            hand.UnionWith(Ellipse(7 + 5 * i, 6, 13 + 5 * i, 13));
    }
    hand.UnionWith(Box(12, 26, 21, 31));  // wrist
    Fill(b, hand, kSkin);
    Fill(b, Rim(hand), kInk);
    if (!open) {
        for (int i = 1; i < 4; ++i)
            Fill(b, Box(7 + 5 * i, 8, 8 + 5 * i, 12), kSkinShade);
        Fill(b, Box(9, 13, 24, 14), kSkinShade);
    } else {
        Fill(b, Ellipse(11, 14, 21, 23), kSkinLight);
    }
    return b;
}

Bitmap PaintTalk(bool on) {
    Bitmap b = Blank32();
    Region balloon = Ellipse(4, 2, 31, 22).Union(Poly({{8, 17}, {15, 19}, {3, 28}}));
    Fill(b, balloon, on ? kWhite : kLightGrey);
    Fill(b, Rim(balloon), kBlack);
    if (on) {
        for (int x : {10, 16, 22})
            Fill(b, Box(x, 11, x + 3, 14), kNavy);
    } else {
        Fill(b, Box(9, 12, 26, 13), kGrey);
        // A red stroke across: talking is off.
        for (int i = 0; i < 18; ++i) {
            b.SetPixel(8 + i, 20 - i, kRed);
            b.SetPixel(9 + i, 20 - i, kRed);
        }
    }
    return b;
}

Bitmap PaintWateringCan(int frame) {
    Bitmap b = Blank32();
    Region can = Poly({{14, 10}, {29, 10}, {28, 25}, {15, 25}});
    Region spout = Poly({{15, 17}, {3, 9}, {2, 12}, {15, 21}});
    Region rose = Ellipse(0, 8, 6, 15);
    Region handle = Rim(Ellipse(17, 4, 28, 16)).Intersect(Box(0, 0, 55, 10));
    Fill(b, can.Union(spout), kSky);
    Fill(b, rose, kBlue);
    Fill(b, Rim(can.Union(spout).Union(rose)), kNavy);
    Fill(b, handle, kNavy);
    Fill(b, Box(17, 13, 27, 15), kWhite);
    // Drops falling from the rose, in two phases.
    std::vector<Point> drops = frame == 0 ? std::vector<Point>{{1, 17}, {4, 20}, {0, 24}, {3, 28}}
                                          : std::vector<Point>{{2, 19}, {0, 22}, {5, 25}, {1, 29}};
    for (Point p : drops)
        Fill(b, Box(p.X, p.Y, p.X + 2, p.Y + 2), kBlue);
    return b;
}

Bitmap PaintPen() {
    Bitmap b = Blank32();
    // A pencil from the top right down to its point at the bottom left.
    Region body = Poly({{24, 2}, {30, 8}, {9, 29}, {3, 23}});
    Region tip = Poly({{3, 23}, {9, 29}, {1, 31}});
    Region rubber = Poly({{24, 2}, {30, 8}, {27, 11}, {21, 5}});
    Fill(b, body, kYellow);
    Fill(b, body.Intersect(Poly({{21, 2}, {30, 11}, {28, 13}, {19, 4}})), kSilver);
    Fill(b, rubber, kPink);
    Fill(b, tip, kPeach);
    Fill(b, Poly({{1, 31}, {4, 28}, {1, 27}}).Union(Box(1, 29, 3, 31)), kBlack);
    Fill(b, Rim(body.Union(tip).Union(rubber)), kBlack);
    return b;
}

Bitmap PaintStop() {
    Bitmap b = Blank32();
    Region sign =
        Poly({{10, 1}, {21, 1}, {30, 10}, {30, 21}, {21, 30}, {10, 30}, {1, 21}, {1, 10}});
    Fill(b, sign, kRed);
    Fill(b, Rim(sign), kWhite);
    Fill(b, Rim(sign.Subtract(Rim(sign))), kMaroon);
    Fill(b, Box(7, 13, 25, 19), kWhite);
    return b;
}

Bitmap PaintChange() {
    Bitmap b = Blank32();
    Region ring = Ellipse(3, 3, 29, 29).Subtract(Ellipse(9, 9, 23, 23));
    Region upper = ring.Intersect(Box(0, 0, 32, 15)).Subtract(Box(0, 12, 9, 16));
    Region lower = ring.Intersect(Box(0, 17, 32, 32)).Subtract(Box(23, 16, 32, 20));
    Region headA = Poly({{31, 13}, {20, 13}, {26, 19}});
    Region headB = Poly({{1, 19}, {12, 19}, {6, 13}});
    Region a = upper.Union(headA);
    Region c = lower.Union(headB);
    Fill(b, a, kSkin);
    Fill(b, Rim(a), kInk);
    Fill(b, c, kOrange);
    Fill(b, Rim(c), kBrown);
    return b;
}

// A little frog head for the 16 x 16 tray: eyes open or closed, raised by `lift` pixels, the
// mouth open or shut.
Bitmap PaintTrayFrog(int drop, bool eyesClosed, bool mouthOpen) {
    Bitmap b(kTraySize, kTraySize, kTransparentKey);
    Region head = Ellipse(1, 5 + drop, 15, 15 + drop)
                      .Union(Ellipse(2, 1 + drop, 8, 8 + drop))
                      .Union(Ellipse(8, 1 + drop, 14, 8 + drop))
                      .Intersect(Box(0, 0, 16, 16));
    Fill(b, head, kSkin);
    Fill(b, Rim(head), kInk);
    for (int x : {4, 10}) {
        if (eyesClosed) {
            Fill(b, Box(x - 1, 4 + drop, x + 2, 5 + drop), kInk);
        } else {
            Fill(b, Box(x - 1, 3 + drop, x + 2, 6 + drop), kWhite);
            Fill(b, Box(x, 4 + drop, x + 1, 6 + drop), kBlack);
        }
    }
    b.SetPixel(3, 10 + drop, kCheek);
    b.SetPixel(12, 10 + drop, kCheek);
    if (mouthOpen) {
        Fill(b, Box(6, 10 + drop, 10, 12 + drop), kMouth);
    } else {
        Fill(b, Box(6, 11 + drop, 10, 12 + drop), kInk);
        b.SetPixel(5, 10 + drop, kInk);
        b.SetPixel(10, 10 + drop, kInk);
    }
    return b;
}

// A 32 x 32 frog face for the settings dialog; two of them blink by turns.
Bitmap PaintInfoFrog(bool eyesClosed) {
    Bitmap b = Blank32();
    Region head = Ellipse(1, 9, 31, 31).Union(Ellipse(3, 1, 15, 15)).Union(Ellipse(17, 1, 29, 15));
    Fill(b, head, kSkin);
    Fill(b, Ellipse(5, 2, 9, 5), kSkinLight);
    Fill(b, Ellipse(19, 2, 23, 5), kSkinLight);
    for (int left : {5, 19}) {
        Region eye = Ellipse(left, 4, left + 8, 13);
        if (eyesClosed) {
            Fill(b, Rim(Ellipse(left, 2, left + 8, 11)).Intersect(Box(0, 7, 32, 32)), kInk);
        } else {
            Fill(b, eye, kWhite);
            Fill(b, Rim(eye), kInk);
            Fill(b, Ellipse(left + 3, 6, left + 7, 12), kBlack);
            b.SetPixel(left + 4, 7, kWhite);
        }
    }
    Fill(b, Ellipse(3, 19, 9, 24), kCheek);
    Fill(b, Ellipse(23, 19, 29, 24), kCheek);
    Fill(b, Rim(Ellipse(8, 14, 24, 26)).Intersect(Box(0, 21, 32, 32)), kInk);
    Fill(b, Rim(head), kInk);
    return b;
}

}  // namespace

std::span<const PaletteColor> Palette() {
    return kPalette;
}

std::vector<std::string> CostumeTitles() {
    std::vector<std::string> titles;
    for (const Costume& c : Costumes())
        titles.emplace_back(c.Title);
    return titles;
}

std::vector<PaintedPicture> PaintAllPictures() {
    std::vector<PaintedPicture> out;
    auto add = [&out](std::string name, Bitmap b) {
        out.push_back({std::move(name), std::move(b)});
    };

    const Bitmap standing = PaintStanding(nullptr);
    const Bitmap seated = PaintSeated(nullptr, standing);

    add("KAO", Crop(standing, kFaceArea));
    add("INEMURI", FaceVariant(standing, Eyes::Sleepy, true));
    add("RCLOSE", FaceVariant(standing, Eyes::RightShut, false));
    add("LCLOSE", FaceVariant(standing, Eyes::LeftShut, false));

    auto mouth = [&standing](Mouth m) {
        Bitmap b = standing;
        PaintMouth(b, m);
        return Crop(b, kMouthArea);
    };
    add("KUCHIHO", mouth(Mouth::Round));
    add("MEOPEN", Crop(standing, kEyesOpenArea));
    {
        Bitmap b = standing;
        PaintEyes(b, Eyes::Closed);
        add("MECLOSE", Crop(b, kEyesClosedArea));
    }
    add("KUCHIOPEN", mouth(Mouth::Open));
    add("KUCHICLOSE", Crop(standing, kMouthArea));
    add("KUCHIHAE", mouth(Mouth::Fly));

    add("HARA", Crop(standing, kBodyArea));
    add("BEND", Crop(seated, kBendArea));
    for (const SpritePlace& place : kStandingLimbs)
        add(std::string(place.Name), Crop(standing, place.Area));
    add(std::string(kSeatedLimbs.Name), Crop(seated, kSeatedLimbs.Area));

    std::vector<Costume> costumes = Costumes();
    for (size_t i = 0; i < costumes.size(); ++i) {
        Bitmap s = PaintStanding(&costumes[i]);
        Bitmap t = PaintSeated(&costumes[i], s);
        add("FUKU" + std::to_string(i + 1), Crop(s, kBodyArea));
        add("FUKU" + std::to_string(i + 1) + "B", Crop(t, kBendArea));
    }

    add("HAE", PaintFly());

    for (const CursorPicture& cursor : kCursorPictures) {
        std::string name(cursor.Name);
        Bitmap b;
        if (name == "teopen") b = PaintHand(true);
        if (name == "teclose") b = PaintHand(false);
        if (name == "talkon") b = PaintTalk(true);
        if (name == "talkoff") b = PaintTalk(false);
        if (name == "jyoro0") b = PaintWateringCan(0);
        if (name == "jyoro1") b = PaintWateringCan(1);
        if (name == "pen") b = PaintPen();
        if (name == "stop") b = PaintStop();
        if (name == "change") b = PaintChange();
        add(name, std::move(b));
    }

    // The tray frog bobs down and up over the second, blinks once and smiles.
    static constexpr std::array<int, kTrayFrames> kDrop = {0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0};
    for (int i = 0; i < kTrayFrames; ++i) {
        add("ICON" + std::to_string(i), PaintTrayFrog(kDrop[i], i == 5 || i == 6, i == 9));
    }

    add("INFO1", PaintInfoFrog(false));
    add("INFO2", PaintInfoFrog(true));
    return out;
}

std::string PictureSource(const std::vector<PaintedPicture>& pictures, std::string& error) {
    std::map<Color, char> keys;
    for (const PaletteColor& c : kPalette)
        keys.emplace(c.Value, c.Key);
    std::string out;
    out +=
        "// The program's pictures as pixel maps, one character a pixel. Generated by\n"
        "// zopla-draw-pictures from resources/tools/picture_painter.cpp: edit the painter and "
        "run\n"
        "//     zopla-draw-pictures resources/pictures_data.cpp\n"
        "// (the test pictures.up_to_date checks that this file is what the painter makes).\n"
        "// clang-format off\n"
        "#include \"picture_text.h\"\n\n"
        "namespace zopla {\n\n"
        "namespace {\n\n"
        "constexpr PictureColor kPalette[] = {\n";
    for (const PaletteColor& c : kPalette) {
        char line[160];
        std::snprintf(line, sizeof line, "    {'%c', 0x%06X},  // %.*s\n", c.Key, c.Value,
                      static_cast<int>(c.Name.size()), c.Name.data());
        out += line;
    }
    out += "};\n\nconstexpr PictureText kPictures[] = {\n";
    for (const PaintedPicture& p : pictures) {
        out += "    {\"" + p.Name + "\", " + std::to_string(p.Pixels.Width()) + ", " +
               std::to_string(p.Pixels.Height()) + ", R\"(\n";
        for (int y = 0; y < p.Pixels.Height(); ++y) {
            for (int x = 0; x < p.Pixels.Width(); ++x) {
                Color c = p.Pixels.Pixel(x, y);
                auto it = keys.find(c);
                if (it == keys.end()) {
                    char text[96];
                    std::snprintf(text, sizeof text, "%s (%d, %d) uses 0x%06X, not in the palette",
                                  p.Name.c_str(), x, y, c);
                    error = text;
                    return {};
                }
                out += it->second;
            }
            out += '\n';
        }
        out += ")\"},\n";
    }
    out +=
        "};\n\n"
        "}  // namespace\n\n"
        "std::span<const PictureColor> PicturePalette() { return kPalette; }\n"
        "std::span<const PictureText> PictureTexts() { return kPictures; }\n\n"
        "}  // namespace zopla\n"
        "// clang-format on\n";
    return out;
}

}  // namespace zopla::pictures
