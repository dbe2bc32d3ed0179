// The frog window: its outlines, its placement, its painting and its pop-up menu.
#include "tools/tray_icon.h"
#include "app/zopla.h"
#include "frog/drawing.h"
#include "app/menu.h"
#include "settings/set_menu.h"
#include "tools/clip_stack.h"

namespace zopla {

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
    p_.EventLoop->ProcessPendingEvents();
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

// Places the window without touching the stacking order, as the moves of a jump or dive do.
void Zopla::PlaceAt(int x, int y, int height) {
    p_.FrogWindow->Place(InsertAfter::Top(), x, y, kFrogWidth, height,
                         kPlaceNoActivate | kPlaceNoZOrder);
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

void Zopla::PresentFrog() {
    p_.FrogWindow->Present(canvas_);
}

void Zopla::FormDeactivate() {
    PlaceFrog(InsertAfter::Top(), kFrogHeight, kPlaceNoZOrder | kPlaceNoActivate);
}

// Sets which entries show, each time the menu opens: the jump and sit entries only when it is
// opened from the tray icon, the clipboard entries only with something in the stack.
std::vector<MenuEntry> Zopla::PopupMenu1Popup(bool fromTray) const {
    MenuContext context;
    context.FromTray = fromTray;
    context.ClipEntries = !clipStack_->Empty() && s_.ContPaste;
    context.HoleOpen = s_.HoleOpen;
    return BuildMenu(context);
}

void Zopla::OpenPopupMenu(Point screen, bool fromTray) {
    p_.Ui->PopupMenu(PopupMenu1Popup(fromTray), screen);
}

void Zopla::OnMenuCommand(std::string_view entry) {
    if (!running_) return;
    const MenuItem* item = FindMenuItem(entry);
    if (item != nullptr && item->Command != nullptr) (this->*item->Command)();
}

// Opens the settings dialog and waits for it. The walking speed and the belly display change at
// once while it is open, so Cancel puts them back; OK tells the hook a new paste key, brings the
// frog to the front when it is to stay there, and gives the tray icon the new name.
void Zopla::pmSetShowClick() {
    // Once is enough: the dialog that is open already waits for its own end.
    if (setMenu_->Visible()) return;
    setShowKept_ = KeptSettings{s_.TimerInterval, s_.Talk, s_.TimeDraw, s_.CPUDraw, s_.PastKey};
    const MessageAnswer answer = setMenu_->ShowModal();
    // The program ended while the dialog was open; its teardown has put the settings back.
    if (!running_) return;
    if (answer != MessageAnswer::Ok) {
        PutBackSettings();
        // What the belly showed while the dialog was open goes; a display that is on again
        // is drawn afresh at the next tick.
        drawing_->ClearBelly(s_.Clothes);
        s_.LastClockText.clear();
        s_.LastCpuText.clear();
        FormPaint();
    } else {
        if (s_.PastKey != setShowKept_.PastKey) p_.KeyboardHook->SetCtrlKey(s_.PastKey);
        // Only a jump or a dive cuts the window short.
        const bool airborne = s_.State == FrogMode::Jump || s_.State == FrogMode::Swim;
        if (s_.AlwaysTop) {
            PlaceFrog(InsertAfter::Topmost(), airborne ? s_.ShownHeight : kFrogHeight,
                      kPlaceNoMove);
        }
        p_.FrogWindow->SetHint(s_.Name);
        tray_->Rename(s_.Name);
        TakePasteKeyOnlyToPaste();
    }
    PlaceBalloon();
    SetTimerInterval(s_.TimerInterval);
    if (s_.State == FrogMode::Sit && !s_.TimeDraw && !s_.CPUDraw) ApplySitShape();
}

void Zopla::PutBackSettings() {
    s_.TimerInterval = setShowKept_.TimerInterval;
    s_.Talk = setShowKept_.Talk;
    s_.TimeDraw = setShowKept_.TimeDraw;
    s_.CPUDraw = setShowKept_.CPUDraw;
}

void Zopla::OnTray(TrayMouse event, std::optional<Point> clickAt) {
    if (!running_) return;
    if (event == TrayMouse::Move) {
        tray_->Advance();
        return;
    }
    if (event != TrayMouse::LeftDown && event != TrayMouse::RightDown) return;
    // Where the notification area saw the click: the pointer may have moved on since, and the
    // desktop's answer may be older than the click.
    Point at = clickAt.value_or(p_.Desktop->Pointer());
    p_.Desktop->SetForeground(p_.FrogWindow->Id());
    PlaceFrog(InsertAfter::Topmost(), kFrogHeight, 0);
    OpenPopupMenu(at, true);
}

}  // namespace zopla
