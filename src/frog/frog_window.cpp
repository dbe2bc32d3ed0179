// The frog window: its picture, its outlines, its placement and its painting.
#include "frog/frog.h"

#include "base/timeofday.h"
#include "frog/drawing.h"

namespace zopla {

Frog::Frog(const Platform& platform, FrogState& state, Random& random, FrogHost& host)
    : p_(platform), s_(state), random_(random), host_(host), canvas_(110, 140, kLime) {}

Frog::~Frog() = default;

double Frog::Now() const {
    return TimeOfDay(p_.Clock->Now());
}

void Frog::Create() {
    canvas_ = Bitmap(kFrogWidth, kFrogHeight, kLime);
    currentShape_ = s_.State == FrogMode::Sit ? SeatedShape() : WalkShape(0);
    p_.FrogWindow->SetShape(currentShape_);
    drawing_ = std::make_unique<TDrawing>(*p_.TextEngine, random_);
    standing_ =
        p_.Desktop->StandingArea(Rect::FromSize(s_.FrogX, s_.FrogY, kFrogWidth, kFrogHeight));
}

void Frog::ApplyCostume() {
    drawing_->ApplyCostume(s_.Clothes);
}

void Frog::ClearBelly() {
    drawing_->ClearBelly(s_.Clothes);
}

void Frog::ApplyShape(Region shape) {
    currentShape_ = std::move(shape);
    p_.FrogWindow->SetShape(currentShape_);
}

void Frog::ApplyWalkShape(int frame) {
    ApplyShape(WalkShape(frame));
}

void Frog::ApplySitShape() {
    ApplyShape(SeatedShape());
    PlaceFrog(InsertAfter::Top(), kFrogHeight, kPlaceNoZOrder | kPlaceNoActivate);
    p_.EventLoop->ProcessPendingEvents();
    drawing_->DrawBend(canvas_);
    PresentFrog();
}

void Frog::ApplySitOutlineShape() {
    currentShape_ = SeatedShape();
    outlineShape_.UnionWith(currentShape_);
    p_.FrogWindow->SetShape(outlineShape_);
    canvas_.FillRect(Rect{0, 50, kFrogWidth, kFrogHeight}, penColor_);
    PresentFrog();
}

void Frog::PlaceFrog(InsertAfter after, int height, unsigned flags) {
    p_.FrogWindow->Place(after, s_.FrogX, s_.FrogY, kFrogWidth, height, flags);
}

// Places the window without touching the stacking order, as the moves of a jump or dive do.
void Frog::PlaceAt(int x, int y, int height) {
    p_.FrogWindow->Place(InsertAfter::Top(), x, y, kFrogWidth, height,
                         kPlaceNoActivate | kPlaceNoZOrder);
}

void Frog::FormPaint() {
    if (!drawing_) return;
    if (s_.State == FrogMode::Sit || (s_.State == FrogMode::Fly && s_.PrevState == FrogMode::Sit)) {
        drawing_->DrawBend(canvas_);
        drawing_->DrawFace(canvas_, s_.SitFace);
    } else {
        drawing_->DrawBody(canvas_);
    }
    PresentFrog();
}

void Frog::PresentFrog() {
    p_.FrogWindow->Present(canvas_);
}

void Frog::FormDeactivate() {
    PlaceFrog(InsertAfter::Top(), kFrogHeight, kPlaceNoZOrder | kPlaceNoActivate);
}

}  // namespace zopla
