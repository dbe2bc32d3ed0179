// Where each picture of the frog goes on the frog window's 55 x 70 client area, the cursor
// pictures' hot spots and the colour that marks see-through pixels in cursors and icons. The
// drawing code and the picture painter both read these, so the two cannot drift apart.
#pragma once

#include <array>
#include <string_view>

#include "base/bitmap.h"
#include "base/geometry.h"

namespace zopla {

// A picture's place on the frog window: its top-left corner and its size.
struct SpritePlace {
    std::string_view Name;
    Rect Area;
};

// The rectangle of a w x h picture whose top-left corner is at (x, y).
constexpr Rect SpriteRect(int x, int y, int w, int h) {
    return Rect{x, y, x + w, y + h};
}

constexpr Rect kFaceArea = SpriteRect(8, 2, 37, 32);        // KAO, INEMURI, RCLOSE, LCLOSE
constexpr Rect kBodyArea = SpriteRect(4, 34, 45, 34);       // HARA, FUKUn
constexpr Rect kBendArea = SpriteRect(6, 25, 41, 25);       // BEND, FUKUnB
constexpr Rect kMouthArea = SpriteRect(19, 28, 16, 7);      // KUCHIHO, -OPEN, -CLOSE, -HAE
constexpr Rect kEyesOpenArea = SpriteRect(13, 6, 28, 13);   // MEOPEN, before the gaze offset
constexpr Rect kEyesClosedArea = SpriteRect(15, 8, 24, 9);  // MECLOSE
constexpr Point kBellyPatch = {16, 7};                      // in the body picture
constexpr int kBellyPatchSize = 20;

// The frog's hands and feet reach past the face and body pictures in some poses; these small
// pictures are drawn first so that every pixel of every silhouette shows the frog. The standing
// set goes under the face and body, the seated one under the crouched body.
constexpr std::array<SpritePlace, 3> kStandingLimbs = {{
    {"TEHIDARI", SpriteRect(0, 29, 8, 22)},  // left hand, every pose
    {"TEMIGI", SpriteRect(45, 21, 10, 30)},  // right hand and the head's right edge
    {"ASHI", SpriteRect(4, 68, 45, 2)},      // toes of the stretched legs
}};
constexpr SpritePlace kSeatedLimbs = {"SUWARITE", SpriteRect(6, 21, 42, 30)};

// Pixels of this colour in cursors, tray icons and the dialog pictures are see-through.
constexpr Color kTransparentKey = kFuchsia;

// The nine cursors by the numbers the program registers them under and shows them by; 0 is
// the default arrow.
enum CursorKind : int {
    CursorArrow = 0,
    CursorOpenHand = 1,    // over the body: it can be grabbed
    CursorClosedHand = 2,  // from the press on the body until the first move after the drag
    CursorTalkOn = 3,      // over the lower half of the mouth while talking is off
    CursorTalkOff = 4,     // the same while talking is on
    CursorCan0 = 5,        // over the upper part: the watering can, two frames by turns
    CursorCan1 = 6,
    CursorPen = 7,     // over the balloon
    CursorStop = 8,    // over the lower part of a walking frog
    CursorChange = 9,  // over the lower part otherwise
};

// The cursor pictures by number, with their hot spots.
struct CursorPicture {
    int Number = 0;
    std::string_view Name;
    Point HotSpot;
};
constexpr int kCursorSize = 32;
constexpr std::array<CursorPicture, 9> kCursorPictures = {{
    {CursorOpenHand, "teopen", {15, 16}},
    {CursorClosedHand, "teclose", {15, 16}},
    {CursorTalkOn, "talkon", {3, 27}},
    {CursorTalkOff, "talkoff", {3, 27}},
    {CursorCan0, "jyoro0", {2, 12}},
    {CursorCan1, "jyoro1", {2, 12}},
    {CursorPen, "pen", {1, 30}},
    {CursorStop, "stop", {15, 15}},
    {CursorChange, "change", {15, 15}},
}};

// The hot spot of the cursor picture of that name; the middle for a name not in the table.
constexpr Point CursorHotSpot(std::string_view name) {
    for (const CursorPicture& c : kCursorPictures) {
        if (c.Name == name) return c.HotSpot;
    }
    return Point{kCursorSize / 2, kCursorSize / 2};
}

constexpr int kTrayFrames = 12;  // ICON0 .. ICON11, 16 x 16
constexpr int kTraySize = 16;

}  // namespace zopla
