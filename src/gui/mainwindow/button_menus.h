#pragma once
// The items of the main window's function menus: captions (English sources) and item IDs, the
// k-th top-level item having ID k and the m-th sub-item of item k the ID k × 100 + m.

#include "settings/pubunit_solmarch.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bv::gui {

struct MenuItem {
    std::string Caption;
    std::uint32_t ItemID = 0;
    std::vector<MenuItem> SubItems;
};

class MenuTree {
public:
    /// Top-level captions, each with its sub-item captions; IDs are given by position.
    explicit MenuTree(const std::vector<std::pair<std::string, std::vector<std::string>>>& items);

    /// uiMenuEx1: the button slots 2..6.
    static MenuTree ButtonMenu();
    /// uiMenuExLRBUTTON: the two primary buttons.
    static MenuTree PrimaryButtonMenu();
    /// uiMenuEx2: the wheel slots.
    static MenuTree WheelMenu();
    /// uiMenuEx3: the PRESET button.
    static MenuTree PresetMenu();

    const std::vector<MenuItem>& Items() const { return FItems; }
    /// Replaces the sub-items of top-level item `position` (1-based), numbering them afresh.
    void SetSubItems(int position, const std::vector<std::string>& captions);

    /// The caption that stands for `id`: item id; sub-item id mod 100 of item id div 100; the
    /// third level likewise. Empty for id <= 0 and for positions the menu does not have.
    std::string CaptionOfID(std::int64_t id) const;

private:
    std::vector<MenuItem> FItems;
};

/// Position of the "Macro" item in the button menu.
inline constexpr int kMacroMenuPosition = 11;

/// Rebuilds the "Macro" sub-menu from a profile's macros: "Macro Manager", then per macro the
/// translation of "Macro" followed by "<name>".
void BuildMacroSubMenu(MenuTree& buttonMenu, const TMACROKEYINFOLIST& macros);

} // namespace bv::gui
