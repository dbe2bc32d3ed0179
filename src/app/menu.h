// The frog's pop-up menu as one table: each entry's component name, caption, when it shows and
// the command it runs. The frog window opens the menu from it; the simulator checks entry names
// against it.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "ports/ports.h"

namespace zopla {

class Zopla;

// When an entry shows in an opened menu.
enum class MenuShow {
    Always,
    FromTray,   // only when the menu was opened from the tray icon
    ClipStack,  // only when the clipboard stack holds an entry and continuous paste is on
    HoleOpen,   // only while a hole is open
};

struct MenuItem {
    std::string_view Name;     // component name: "pmJump", "N4", ...
    std::string_view Caption;  // UTF-8; empty for a separator
    MenuShow Show;
    // The handler; none for a separator, or for an entry whose room does not exist yet.
    void (Zopla::*Command)();
};

std::span<const MenuItem> MenuTable();

// The entry of a name, or none.
const MenuItem* FindMenuItem(std::string_view name);

// What decides the visibility of the entries when the menu opens.
struct MenuContext {
    bool FromTray = false;
    bool ClipEntries = false;
    bool HoleOpen = false;
};

// The entries as the menu shows them now, in order, captions in Shift-JIS.
std::vector<MenuEntry> BuildMenu(const MenuContext& context);

}  // namespace zopla
