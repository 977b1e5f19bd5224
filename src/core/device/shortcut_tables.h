#pragma once
// The built-in shortcuts of the button menus: editing and system key combinations, media keys.

#include "settings/pubunit_solmarch.h"

namespace bv {

inline constexpr int kShortcutTableRows = 50;

/// Row of the "Basic" menu (Cut, Copy, ...); false and `out` unchanged for a row outside 0..49.
[[nodiscard]] bool GetBasicShortcut(int row, TCOMBOKEYINFO& out);
/// Row of the "Advanced" menu (Switch Window, ...); false and `out` unchanged outside 0..49.
[[nodiscard]] bool GetAdvancedShortcut(int row, TCOMBOKEYINFO& out);
/// Row of the "Media" menu as consumer usages; false and `out` unchanged outside 0..49.
[[nodiscard]] bool GetMediaKey(int row, THID_CODE_INFO& out);

} // namespace bv
