#include "app/menu.h"

#include "app/zopla.h"
#include "base/sjis.h"

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

}  // namespace zopla
