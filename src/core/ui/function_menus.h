#pragma once
// The English captions of the main window's function menus, by item ID: the k-th top-level item
// has ID k, the m-th sub-item of item k the ID k × 100 + m. The window shows them translated; bvctl
// takes them as function names.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bv {

/// Top-level captions in order, each with its sub-item captions.
using MenuCaptions = std::vector<std::pair<std::string, std::vector<std::string>>>;

/// uiMenuEx1, the menu of button slots 2..6. The "Macro" item holds only "Macro Manager"; the
/// macros of a profile follow it at run time.
const MenuCaptions& ButtonMenuCaptions();
/// uiMenuExLRBUTTON, the menu of the two primary buttons.
const MenuCaptions& PrimaryButtonMenuCaptions();
/// uiMenuEx2, the menu of the wheel slots.
const MenuCaptions& WheelMenuCaptions();
/// uiMenuEx3, the PRESET button's menu.
const MenuCaptions& PresetMenuCaptions();

/// The ID of the item of `menu` captioned `caption` (ASCII case ignored), among the items that
/// choose something: an item with sub-items only opens them and is not found.
[[nodiscard]] std::optional<std::uint32_t> MenuIDOfCaption(const MenuCaptions& menu, std::string_view caption);

/// The caption of item `id` of `menu`, empty when the menu has no such item.
std::string CaptionOfMenuID(const MenuCaptions& menu, std::uint32_t id);

} // namespace bv
