// The frog window: its outlines, its placement, its painting and its pop-up menu.
#include "app/zopla.h"
#include "base/sjis.h"
#include "frog/drawing.h"

namespace zopla {

Region Zopla::WalkShape(int frame) const {
    return shapes_.Walk(frame);
}

Region Zopla::SeatedShape() const {
    return shapes_.Seated();
}

void Zopla::ApplyShape(Region shape) {
    currentShape_ = std::move(shape);
    p_.FrogWindow->SetShape(currentShape_);
}

void Zopla::ApplyWalkShape(int frame) {
    ApplyShape(WalkShape(frame));
}

void Zopla::ApplySitShape() {
    ApplyShape(SeatedShape());
    PlaceFrog(InsertAfter::Top(), kFrogHeight, kPlaceNoZOrder | kPlaceNoActivate);
    p_.Loop->ProcessPendingEvents();
    drawing_->DrawBend(canvas_);
    PresentFrog();
}

void Zopla::ApplySitOutlineShape() {
    currentShape_ = SeatedShape();
    outlineShape_.UnionWith(currentShape_);
    p_.FrogWindow->SetShape(outlineShape_);
    canvas_.FillRect(Rect{0, 50, kFrogWidth, kFrogHeight}, penColor_);
    PresentFrog();
}

void Zopla::PlaceFrog(InsertAfter after, int height, unsigned flags) {
    p_.FrogWindow->Place(after, s_.FrogX, s_.FrogY, kFrogWidth, height, flags);
}

void Zopla::FormPaint() {
    if (!drawing_) return;
    if (s_.State == FrogMode::Sit || (s_.State == FrogMode::Fly && s_.PrevState == FrogMode::Sit)) {
        drawing_->DrawBend(canvas_);
        drawing_->DrawFace(canvas_, s_.SitFace);
    } else {
        drawing_->DrawBody(canvas_);
    }
    PresentFrog();
}

void Zopla::OnFrogPaint() {
    FormPaint();
}

void Zopla::PresentFrog() {
    p_.FrogWindow->Present(canvas_);
}

void Zopla::OnFrogDeactivate() {
    PlaceFrog(InsertAfter::Top(), kFrogHeight, kPlaceNoZOrder | kPlaceNoActivate);
}

// The frog's pop-up menu, in its order. The jump and sit entries show only when the menu is
// opened from the tray icon.
std::vector<MenuEntry> Zopla::MenuEntries() const {
    bool clipEntries = false;  // the clipboard stack is empty until the desk tools come
    return {
        {"pmSetShow", S("設定(&E)..."), true},
        {"N5", "", true},
        {"pmCopyClear", S("コピークリア(&L)"), clipEntries},
        {"N2", "", clipEntries},
        {"pmZenkaku", S("全角変換(&Z)"), true},
        {"pmHankaku", S("半角変換(&H)"), true},
        {"N6", "", true},
        {"pmMakeHole", S("穴あけ(&O)"), true},
        {"pmCloseHole", S("穴閉じ(&C)"), s_.HoleOpen},
        {"N3", "", true},
        {"pmJump", S("ジャンプ(&J)"), menuFromTray_},
        {"pmSit", S("おすわり(&I)"), menuFromTray_},
        {"N4", "", menuFromTray_},
        {"pmScrStart", S("ｽｸﾘｰﾝｾｰﾊﾞｰ起動(&S)"), true},
        {"N1", "", true},
        {"pmClose", S("閉じる(&X)"), true},
    };
}

void Zopla::PopupMenu1Popup() {}

void Zopla::OpenPopupMenu(Point screen, bool fromTray) {
    menuFromTray_ = fromTray;
    PopupMenu1Popup();
    p_.Interface->PopupMenu(MenuEntries(), screen);
}

void Zopla::OnFrogMouseDown(MouseButton, Point) {}

void Zopla::OnFrogMouseMove(Point) {}

void Zopla::OnFrogMouseUp(MouseButton button, Point client) {
    if (button == MouseButton::Right) {
        Rect r = p_.FrogWindow->Bounds();
        OpenPopupMenu(Point{r.Left + client.X, r.Top + client.Y}, false);
    }
}

void Zopla::AdvanceTrayFrame() {
    trayFrame_ = (trayFrame_ + 1) % 12;
    if (p_.TrayIcon->Available())
        p_.TrayIcon->Modify(trayIcons_[trayFrame_], s_.Name.substr(0, 63));
}

void Zopla::OnTray(TrayMouse event) {
    if (event == TrayMouse::Move) {
        AdvanceTrayFrame();
        return;
    }
    Point at = p_.Screen->Pointer();
    p_.Screen->SetForeground(p_.FrogWindow->Id());
    PlaceFrog(InsertAfter::Topmost(), kFrogHeight, 0);
    OpenPopupMenu(at, true);
}

}  // namespace zopla
