#pragma once
// The texts that the button and wheel slots show for their functions.

#include "mainwindow/button_menus.h"
#include "settings/pubunit_solmarch.h"

#include <cstdint>
#include <string>

namespace bv::gui {

/// A combination as text: modifiers and first key, in angle brackets with "+" and the second key
/// when there is one.
std::string ComboKeyText(const TCOMBOKEYINFO& combo);

/// The caption of a button slot whose function has menu ID `id` (translated): the menu item's
/// caption, a single key as "<key>", a combination (cut to 9 characters and "..." beyond 12),
/// or "Macro #n" for a macro.
std::string ButtonCaption(const MenuTree& buttonMenu, const TBUTTONFUNCINFO& entry, std::int64_t id);

/// The caption of a wheel slot (translated).
std::string WheelCaption(const MenuTree& wheelMenu, std::int64_t id);

/// The menu ID a slot's function stands for: its MenuID, or when that is 0 the ID of its menu row.
std::int64_t SlotMenuID(const TBUTTONFUNCINFO& entry);

} // namespace bv::gui
