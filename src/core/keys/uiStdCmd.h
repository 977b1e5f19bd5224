#pragma once
// The keyboard code table: virtual-key codes with their extended flag, USB HID usages and key
// names, and the conversions of the program's modifier set.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bv {

/// One row of the key table.
struct TKeyboardInfoTable {
    std::string VKName; // symbolic virtual-key name, e.g. "VK_RETURN"
    std::int32_t VKCode = 0; // virtual-key code, equal to the row's index
    std::int32_t ScanCode = 0; // always 0
    std::int32_t Extended = 224; // 224 looked up without the extended flag, 225 extended
    std::int32_t HIDCode = -1; // keyboard-page or consumer-page usage; -1 none
    std::string KeyDescription; // display name
};

inline constexpr int kKeyTableRows = 255;
/// The flag values a row carries; lookups also accept them in place of 0 and 1.
inline constexpr int kKeyFlagStandard = 224;
inline constexpr int kKeyFlagExtended = 225;

/// The program's modifier set (combination keys, capture dialogs).
enum ModifierBits : unsigned {
    kModifierAlt = 1,
    kModifierCtrl = 2,
    kModifierShift = 4,
    kModifierWin = 8,
};

/// The row that a lookup of `vk` with flag `ext` uses; nullptr for a code outside 0..254.
const TKeyboardInfoTable* GetKeyRow(int vk, int ext);
/// A row of the standard (`extendedTable` false) or extended table; nullptr outside 0..254.
const TKeyboardInfoTable* GetKeyTableRow(int vk, bool extendedTable);

/// HID usage of the key, 0 when it has none or the code is outside 0..254. Consumer-page usages
/// (browser and launch keys) may not fit a byte and are returned as they are.
int GetKeyHidCode(int vk, int ext);
/// True for the keys whose usage lies on the consumer page (volume, media, browser and launch
/// keys): the mouse sends them as media functions, never in a keyboard byte.
[[nodiscard]] bool IsConsumerKey(int vk, int ext);
/// The usage of the key as a keyboard key: 0 when it has none, is a consumer key or does not fit
/// the keyboard byte.
std::uint8_t GetKeyboardHidByte(int vk, int ext);
/// True for a key that has a usage but cannot go out in the keyboard byte: the mouse would send
/// nothing for it.
[[nodiscard]] bool HasNoKeyboardByte(int vk, int ext);
/// Display name of the consumer key with this usage ("VOLUME_MUTE"); "MEDIA 0x00E2" style for a
/// usage no key of the table has.
std::string GetConsumerUsageName(int usage);
/// Display name of the key, empty when the code is outside 0..254.
std::string GetKeyName(int vk, int ext);

/// True for the Shift, Ctrl, Alt and Win keys (generic, left and right): a combination holds them
/// as its modifier set, never as one of its keys.
[[nodiscard]] bool IsModifierKeyCode(int vk);

/// A key as the capture dialogs store it.
struct TableKey {
    int VirtualKey = 0;
    int Extended = 0; // 0 or 1
    bool operator==(const TableKey&) const = default;
};
/// Every key (code 0..254, without and then with the extended flag) whose display name is `name`,
/// ASCII letter case ignored; several keys can share a name (the main and the keypad Enter).
std::vector<TableKey> FindKeysByName(std::string_view name);
/// "Alt+", "Ctrl+", "Shift+", "WIN+" for the set bits, in this order.
std::string GetModifierText(unsigned flags);
/// The USB HID modifier byte of a modifier set; bits above Win are ignored.
std::uint8_t GetHidModifier(unsigned flags);

} // namespace bv
