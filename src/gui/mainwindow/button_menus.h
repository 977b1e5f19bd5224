#pragma once
// The main window's function menus as item trees: the captions (English sources) of
// ui/function_menus.h with their item IDs, and the "Macro" sub-menu built from a profile.

#include "settings/pubunit_solmarch.h"
#include "ui/function_menus.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace bv {
class TuiMenuEx;
}

namespace bv::gui {

class FunctionMenu;

struct MenuItem {
    std::string Caption;
    std::uint32_t ItemID = 0;
    std::vector<MenuItem> SubItems;
};

class MenuTree {
public:
    /// Top-level captions, each with its sub-item captions (the menus of ui/function_menus.h);
    /// IDs are given by position.
    explicit MenuTree(const MenuCaptions& items);

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

/// Makes a menu's items those of `tree`: rows are added or removed at the end of each level and
/// captions replaced, so each level keeps its last chosen row while it still exists.
void LoadMenuTree(TuiMenuEx& menu, const MenuTree& tree);

/// Shows `tree` at the right-centre of `target` with `selectedMenuID` pre-selected (without one,
/// the ID last given to any menu) and calls `closed` once: with the chosen item ID, or nothing
/// when the menu was dismissed. Returns at once.
void ShowMenuTree(FunctionMenu& menu, const MenuTree& tree, QWidget* target, std::optional<std::int64_t> selectedMenuID,
    std::function<void(std::optional<std::uint32_t>)> closed);

} // namespace bv::gui
