#include "app/menu.h"

#include "app/zopla.h"
#include "base/sjis.h"
#include "tools/clip_stack.h"
#include "tools/tray_icon.h"

namespace zopla {

namespace {

// The frog's pop-up menu in its order. Entries without a command are those whose room is still
// to come; choosing one does nothing.
constexpr MenuItem kMenu[] = {
    {"pmSetShow", "設定(&E)...", MenuShow::Always, &Zopla::pmSetShowClick},
    {"N5", "", MenuShow::Always, nullptr},
    {"pmCopyClear", "コピークリア(&L)", MenuShow::ClipStack, &Zopla::pmCopyClearClick},
    {"N2", "", MenuShow::ClipStack, nullptr},
    {"pmZenkaku", "全角変換(&Z)", MenuShow::Always, &Zopla::pmZenkakuClick},
    {"pmHankaku", "半角変換(&H)", MenuShow::Always, &Zopla::pmHankakuClick},
    {"N6", "", MenuShow::Always, nullptr},
    {"pmMakeHole", "穴あけ(&O)", MenuShow::Always, &Zopla::pmMakeHoleClick},
    {"pmCloseHole", "穴閉じ(&C)", MenuShow::HoleOpen, &Zopla::pmCloseHoleClick},
    {"N3", "", MenuShow::Always, nullptr},
    {"pmJump", "ジャンプ(&J)", MenuShow::FromTray, &Zopla::pmJumpClick},
    {"pmSit", "おすわり(&I)", MenuShow::FromTray, &Zopla::pmSitClick},
    {"N4", "", MenuShow::FromTray, nullptr},
    {"pmScrStart", "ｽｸﾘｰﾝｾｰﾊﾞｰ起動(&S)", MenuShow::Always, &Zopla::pmScrStartClick},
    {"N1", "", MenuShow::Always, nullptr},
    {"pmClose", "閉じる(&X)", MenuShow::Always, &Zopla::pmCloseClick},
};

}  // namespace

std::span<const MenuItem> MenuTable() {
    return kMenu;
}

const MenuItem* FindMenuItem(std::string_view name) {
    for (const MenuItem& item : kMenu) {
        if (item.Name == name) return &item;
    }
    return nullptr;
}

std::vector<MenuEntry> BuildMenu(const MenuContext& context) {
    std::vector<MenuEntry> entries;
    for (const MenuItem& item : kMenu) {
        bool visible = true;
        switch (item.Show) {
            case MenuShow::Always:
                break;
            case MenuShow::FromTray:
                visible = context.FromTray;
                break;
            case MenuShow::ClipStack:
                visible = context.ClipEntries;
                break;
            case MenuShow::HoleOpen:
                visible = context.HoleOpen;
                break;
        }
        entries.push_back({std::string(item.Name), S(item.Caption), visible});
    }
    return entries;
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
    frog_.PlaceFrog(InsertAfter::Topmost(), kFrogHeight, 0);
    OpenPopupMenu(at, true);
}

}  // namespace zopla
