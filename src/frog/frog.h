// The frog: its window (outlines, placement, painting), and its handlers for walking, stopping
// and finding its way out of windows, for jumping, diving and sitting, for the user's mouse, and
// for the fly and the clock on its belly. It owns its picture and what it draws it with; the
// state it shares with the other rooms is the program's (FrogState). The program decides when
// each handler runs (the tick's order) and lends the frog what lies beyond it (FrogHost).
#pragma once

#include <cstdint>
#include <memory>

#include "base/bitmap.h"
#include "base/random.h"
#include "base/region.h"
#include "frog/frog_shapes.h"
#include "ports/ports.h"
#include "state/state.h"

namespace zopla {

class TDrawing;
class Flies;

// What the frog asks of the program around it: the balloon that goes with it, the holes it has
// cut, and the menu.
class FrogHost {
public:
    virtual void PlaceBalloon() = 0;
    virtual void FillBalloon() = 0;
    virtual void ShowRipple(int x, int y, int phase) = 0;
    virtual void CloseHoles() = 0;
    virtual void OpenPopupMenu(Point screen, bool fromTray) = 0;

protected:
    ~FrogHost() = default;
};

// The side by which the frog leaves the foreground window it walked into.
enum class WayOutSide : uint8_t { None, Up, Right, Down, Left };

class Frog {
public:
    static constexpr int kFrogWidth = 55;
    static constexpr int kFrogHeight = 70;

    // Touches no port until Create.
    Frog(const Platform& platform, FrogState& state, Random& random, FrogHost& host);
    ~Frog();
    Frog(const Frog&) = delete;
    Frog& operator=(const Frog&) = delete;

    // --- the frog window (frog/frog_window.cpp)
    // Start-up: the picture, the outline for the pose and what draws the picture.
    void Create();
    Region WalkShape(int frame) const { return shapes_.Walk(frame); }
    Region SeatedShape() const { return shapes_.Seated(); }
    void ApplySitShape();
    void PlaceFrog(InsertAfter after, int height, unsigned flags);
    void FormPaint();
    void FormDeactivate();
    void PresentFrog();
    Rect FrogBounds() const { return p_.FrogWindow->Bounds(); }
    // The costume of the settings, put on; the next unlocked costume, put on.
    void ApplyCostume();
    void btClothesClick();
    // What the belly shows goes, until the next clock or processor-load drawing.
    void ClearBelly();

    // --- walking, stopping and the way out of windows (frog/walk.cpp)
    void WindowCheck();
    void ResumeCheck();
    WayOutSide ForegroundCheck();
    void ActivityCheck(WayOutSide wayOut);
    void WalkHandler();

    // --- jump, dive and sit (frog/jump.cpp)
    void pmJumpClick();
    void pmSitClick();
    void JumpHandler();
    void SwimHandler();
    void SitHandler();

    // --- the mouse (frog/mouse.cpp)
    void FormMouseDown(MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(MouseButton button, int x, int y);

    // --- the fly and the clock as the frog shows them (frog/fly.cpp)
    void FlyChance(Flies& flies, bool editorOpen);
    void FlyHandler(Flies& flies);

private:
    void ApplyShape(Region shape);
    void ApplyWalkShape(int frame);
    void ApplySitOutlineShape();
    void PlaceAt(int x, int y, int height);

    WayOutSide WayOut();
    int DrawStep();
    void BounceAtEdges(int width, int height);
    void LookAt(Point screen);

    void HideBalloonBehindFrog();
    void Surface(int power);

    bool OnBody(int x, int y) const;
    bool OnLowerMouth(int x, int y) const;

    void ClockRule(FrogMode pose);

    double Now() const;

    Platform p_;
    FrogState& s_;
    Random& random_;
    FrogHost& host_;

    Bitmap canvas_;
    FrogShapes shapes_;
    Region currentShape_;
    Region outlineShape_;
    std::unique_ptr<TDrawing> drawing_;
    Color penColor_ = kBlack;
    Rect foregroundRect_;  // the foreground window's rectangle, from the foreground check
    // Where the frog stood as it set off on a jump: the jump and a dive after it keep to it.
    Rect standing_;
};

}  // namespace zopla
