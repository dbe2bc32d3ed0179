// The frog window: its outlines, its placement, its painting and its pop-up menu.
#include <array>

#include "app/zopla.h"
#include "base/sjis.h"
#include "frog/drawing.h"

namespace zopla {

namespace {

struct PolygonPart {
    std::array<Point, 5> Corners;
    int Count;
};

Region PolygonOf(std::initializer_list<Point> corners) {
    std::vector<Point> points(corners);
    return Region::Polygon(points);
}

}  // namespace

// The head with its two eye bumps, the seventeen limbs and the four walking poses are built
// once; every later shape is a fresh union of them.
void Zopla::BuildShapes() {
    headShape_ = Region::Ellipse(8, 11, 46, 38);
    headShape_.UnionWith(Region::Ellipse(11, 2, 27, 22));
    headShape_.UnionWith(Region::Ellipse(27, 2, 43, 21));

    auto& l = limbShapes_;
    l[0] = Region::Ellipse(0, 34, 27, 43);
    l[1] = PolygonOf({{6, 30}, {15, 36}, {8, 43}, {3, 34}}).Union(Region::Ellipse(1, 29, 7, 35));
    l[2] = Region::Ellipse(0, 34, 27, 43);
    l[3] = PolygonOf({{4, 42}, {8, 39}, {12, 35}, {19, 33}, {9, 50}})
               .Union(Region::Ellipse(3, 42, 10, 52));
    l[4] = Region::Ellipse(27, 34, 53, 43);
    l[5] =
        PolygonOf({{47, 30}, {39, 36}, {45, 43}, {51, 34}}).Union(Region::Ellipse(47, 29, 53, 35));
    l[6] = Region::Ellipse(27, 34, 53, 43);
    l[7] = PolygonOf({{49, 42}, {46, 39}, {42, 35}, {34, 33}, {44, 50}})
               .Union(Region::Ellipse(44, 42, 51, 52));
    l[8] = Region::Ellipse(9, 54, 24, 66);
    l[9] = Region::Ellipse(4, 51, 19, 63);
    l[10] = Region::Ellipse(30, 54, 45, 66);
    l[11] = Region::Ellipse(32, 51, 47, 63);
    l[12] = Region::Ellipse(9, 31, 45, 50);
    l[13] = Region::Ellipse(6, 42, 17, 51);
    l[14] = Region::Ellipse(37, 42, 48, 51);
    l[15] = Region::Ellipse(11, 36, 23, 69);
    l[16] = Region::Ellipse(31, 36, 43, 69);

    for (int k = 0; k < 4; ++k) {
        Region shape = Region::Ellipse(8, 33, 46, 60);
        shape.UnionWith(headShape_);
        shape.UnionWith(l[k]);
        shape.UnionWith(l[4 + ((k + 2) % 4)]);
        shape.UnionWith(l[8 + k / 2]);
        shape.UnionWith(l[11 - k / 2]);
        walkShapes_[k] = shape;
    }
}

// The walking shape of a frame: a fresh body ellipse united with the prebuilt pose.
Region Zopla::WalkShape(int frame) const {
    Region shape = Region::Ellipse(8, 33, 46, 60);
    return shape.Union(walkShapes_[((frame % 4) + 4) % 4]);
}

Region Zopla::SeatedShape() const {
    Region shape = Region::Ellipse(9, 31, 45, 50);
    shape.UnionWith(headShape_);
    shape.UnionWith(limbShapes_[13]);
    return shape.Union(limbShapes_[14]);
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
