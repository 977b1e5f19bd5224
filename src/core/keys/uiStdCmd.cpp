#include "keys/uiStdCmd.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace bv {

namespace {

struct KeyTables {
    std::array<TKeyboardInfoTable, kKeyTableRows> standard;
    std::array<TKeyboardInfoTable, kKeyTableRows> extended;
};

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string hex(int value, int digits)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

void setRow(std::array<TKeyboardInfoTable, kKeyTableRows>& table, int vk, const char* name, int hid,
    const char* description, int flag)
{
    TKeyboardInfoTable& row = table[static_cast<std::size_t>(vk)];
    row.VKName = name;
    row.HIDCode = hid;
    row.KeyDescription = description;
    row.Extended = flag;
}

KeyTables buildTables()
{
    KeyTables t;
    for (int i = 0; i < kKeyTableRows; ++i) {
        for (auto* table : { &t.standard, &t.extended }) {
            TKeyboardInfoTable& row = (*table)[static_cast<std::size_t>(i)];
            row.VKName = "VK_UNDEFINED_" + hex(i, 3);
            row.VKCode = i;
            row.ScanCode = 0;
            row.Extended = table == &t.standard ? kKeyFlagStandard : kKeyFlagExtended;
            row.HIDCode = -1;
            row.KeyDescription = "UNDEFINED_" + hex(i, 3);
        }
    }

    auto& s = t.standard;
    const auto key = [&s](int vk, const char* name, int hid, const char* description) {
        setRow(s, vk, name, hid, description, kKeyFlagStandard);
    };
    const auto always = [&s](int vk, const char* name, int hid, const char* description) {
        setRow(s, vk, name, hid, description, kKeyFlagExtended);
    };

    for (int d = 0; d <= 9; ++d) {
        const std::string digit(1, static_cast<char>('0' + d));
        key(0x30 + d, ("VK_" + digit).c_str(), d == 0 ? 0x27 : 0x1E + d - 1, digit.c_str());
        key(0x60 + d, ("VK_NUMPAD" + digit).c_str(), d == 0 ? 0x62 : 0x59 + d - 1, ("NUMPAD " + digit).c_str());
    }
    for (int l = 0; l < 26; ++l) {
        const std::string letter(1, static_cast<char>('A' + l));
        key(0x41 + l, ("VK_" + letter).c_str(), 0x04 + l, letter.c_str());
    }
    for (int f = 1; f <= 24; ++f) {
        const std::string name = "F" + std::to_string(f);
        key(0x70 + f - 1, ("VK_" + name).c_str(), f <= 12 ? 0x3A + f - 1 : 0x68 + f - 13, name.c_str());
    }

    const auto undefined = [&key](int vk) { key(vk, ("VK_UNDEFINED_" + hex(vk, 2)).c_str(), -1, "Undefined"); };
    const int undefinedRanges[][2] = { { 0x05, 0x07 }, { 0x0A, 0x0B }, { 0x0E, 0x0F }, { 0x15, 0x1A }, { 0x1C, 0x1F },
        { 0x3A, 0x40 }, { 0x5E, 0x5F }, { 0x88, 0x8F }, { 0x92, 0x9F }, { 0xE0, 0xE0 } };
    for (const auto& r : undefinedRanges)
        for (int vk = r[0]; vk <= r[1]; ++vk)
            undefined(vk);

    key(0x00, "VK_NULL", -1, "");
    key(0x01, "VK_LBUTTON", -1, "Mouse Left Click");
    key(0x02, "VK_RBUTTON", -1, "Mouse Right Click");
    key(0x03, "VK_CANCEL", -1, "Control Break");
    key(0x04, "VK_MBUTTON", -1, "Mouse Middle Click");
    key(0x08, "VK_BACK", 0x2A, "BACKSPACE");
    key(0x09, "VK_TAB", 0x2B, "TAB");
    key(0x0C, "VK_CLEAR", 0x9C, "CLEAR");
    key(0x0D, "VK_RETURN", 0x28, "ENTER");
    key(0x10, "VK_SHIFT", -1, "SHIFT");
    key(0x11, "VK_CONTROL", -1, "CTRL");
    key(0x12, "VK_MENU", -1, "ALT");
    key(0x13, "VK_PAUSE", 0x48, "PAUSE");
    key(0x14, "VK_CAPITAL", 0x39, "CAPS LOCK");
    key(0x1B, "VK_ESCAPE", 0x29, "ESC");
    key(0x20, "VK_SPACE", 0x2C, "SPACEBAR");
    // Without the extended flag these arrive from the numeric keypad.
    key(0x21, "VK_PRIOR", 0x61, "PAGE UP");
    key(0x22, "VK_NEXT", 0x5B, "PAGE DOWN");
    key(0x23, "VK_END", 0x59, "END");
    key(0x24, "VK_HOME", 0x5F, "HOME");
    key(0x25, "VK_LEFT", 0x5C, "LEFT ARROW");
    key(0x26, "VK_UP", 0x60, "UP ARROW");
    key(0x27, "VK_RIGHT", 0x5E, "RIGHT ARROW");
    key(0x28, "VK_DOWN", 0x5A, "DOWN ARROW");
    key(0x29, "VK_SELECT", -1, "SELECT");
    key(0x2A, "VK_PRINT", -1, "PRINT");
    key(0x2B, "VK_EXECUTE", -1, "EXECUTE");
    always(0x2C, "VK_SNAPSHOT", 0x46, "PRINT SCREEN");
    key(0x2D, "VK_NUMPAD0_INSERT", 0x62, "Keypad 0 Insert");
    key(0x2E, "VK_DELETE", 0x63, "Keypad DEL");
    key(0x2F, "VK_HELP", -1, "HELP");
    always(0x5B, "VK_LWIN", 0xE3, "L WIN");
    always(0x5C, "VK_RWIN", 0xE7, "R WIN");
    always(0x5D, "VK_APP", 0x65, "APP");
    key(0x6A, "VK_MULTIPLY", 0x55, "Multiply");
    key(0x6B, "VK_ADD", 0x57, "Add");
    key(0x6C, "VK_SEPARATOR", 0x97, "Separator");
    key(0x6D, "VK_SUBTRACT", 0x56, "Subtract");
    key(0x6E, "VK_DECIMAL", 0x63, "Decimal");
    always(0x6F, "VK_DIVIDE", 0x54, "Divide");
    always(0x90, "VK_NUMLOCK", 0x53, "NUM LOCK");
    key(0x91, "VK_SCROLL", 0x47, "Scroll Lock");
    key(0xA0, "VK_LSHIFT", 0xE1, "L SHIFT");
    always(0xA1, "VK_RSHIFT", 0xE5, "R SHIFT");
    key(0xA2, "VK_LCONTROL", 0xE0, "L CTRL");
    always(0xA3, "VK_RCONTROL", 0xE4, "R CTRL");
    key(0xA4, "VK_LMENU", 0xE2, "L ALT");
    always(0xA5, "VK_RMENU", 0xE6, "R ALT");
    always(0xA6, "VK_BROWSER_BACK", 0x224, "BROWSER_BACK");
    always(0xA7, "VK_BROWSER_FORWARD", 0x225, "BROWSER_FORWARD");
    always(0xA8, "VK_BROWSER_REFRESH", 0x227, "BROWSER_REFRESH");
    always(0xA9, "VK_BROWSER_STOP", 0x226, "BROWSER_STOP");
    always(0xAA, "VK_BROWSER_SEARCH", 0x221, "BROWSER_SEARCH");
    always(0xAB, "VK_BROWSER_FAVORITES", 0x22A, "BROWSER_FAVORITES");
    always(0xAC, "VK_BROWSER_HOME", 0x223, "BROWSER_HOME");
    always(0xAD, "VK_VOLUME_MUTE", 0xE2, "VOLUME_MUTE");
    always(0xAE, "VK_VOLUME_DOWN", 0xEA, "VOLUME_DOWN");
    always(0xAF, "VK_VOLUME_UP", 0xE9, "VOLUME_UP");
    always(0xB0, "VK_MEDIA_NEXT_TRACK", 0xB5, "MEDIA_NEXT_TRACK");
    always(0xB1, "VK_MEDIA_PREV_TRACK", 0xB6, "MEDIA_PREV_TRACK");
    always(0xB2, "VK_MEDIA_STOP", 0xB7, "MEDIA_STOP");
    always(0xB3, "VK_MEDIA_PLAY_PAUSE", 0xCD, "MEDIA_PLAY_PAUSE");
    always(0xB4, "VK_LAUNCH_MAIL", 0x18A, "LAUNCH_MAIL");
    always(0xB5, "VK_LAUNCH_MEDIA_SELECT", 0x183, "LAUNCH_MEDIA_SELECT");
    always(0xB6, "VK_LAUNCH_APP1", 0x194, "LAUNCH_APP1");
    always(0xB7, "VK_LAUNCH_APP2", 0x192, "LAUNCH_APP2");
    key(0xBA, "VK_OEM_1", 0x33, ";:");
    key(0xBB, "VK_OEM_PLUS", 0x2E, "+=");
    key(0xBC, "VK_OEM_COMMA", 0x36, ",<");
    key(0xBD, "VK_OEM_MINUS", 0x2D, "-_");
    key(0xBE, "VK_OEM_PERIOD", 0x37, ".>");
    key(0xBF, "VK_OEM_2", 0x38, "/?");
    key(0xC0, "VK_OEM_3", 0x35, "~`");
    key(0xDB, "VK_OEM_4", 0x2F, "[{");
    key(0xDC, "VK_OEM_5", 0x31, "\\|");
    key(0xDD, "VK_OEM_6", 0x30, "]}");
    key(0xDE, "VK_OEM_7", 0x34, "'\"");
    key(0xDF, "VK_OEM_8", -1, "None");
    key(0xE1, "VK_OEM_AX", -1, "AX");
    key(0xE2, "VK_OEM_102", -1, "\\|");

    // The extended variants of keys that exist in both forms.
    const auto ext = [&t](int vk, const char* name, int hid, const char* description) {
        setRow(t.extended, vk, name, hid, description, kKeyFlagExtended);
    };
    ext(0x0D, "VK_RETURN", 0x58, "ENTER");
    ext(0x21, "VK_PRIOR", 0x4B, "PAGE UP");
    ext(0x22, "VK_NEXT", 0x4E, "PAGE DOWN");
    ext(0x23, "VK_END", 0x4D, "END");
    ext(0x24, "VK_HOME", 0x4A, "HOME");
    ext(0x25, "VK_LEFT", 0x50, "LEFT ARROW");
    ext(0x26, "VK_UP", 0x52, "UP ARROW");
    ext(0x27, "VK_RIGHT", 0x4F, "RIGHT ARROW");
    ext(0x28, "VK_DOWN", 0x51, "DOWN ARROW");
    ext(0x2D, "VK_INSERT", 0x49, "INS");
    ext(0x2E, "VK_DELETE", 0x4C, "DEL");
    return t;
}

// Built on the first lookup and never changed; a function-local static is safe to reach first
// from any thread.
const KeyTables& tables()
{
    static const KeyTables t = buildTables();
    return t;
}

} // namespace

const TKeyboardInfoTable* GetKeyTableRow(int vk, bool extendedTable)
{
    if (vk < 0 || vk >= kKeyTableRows)
        return nullptr;
    const auto& t = tables();
    return &(extendedTable ? t.extended : t.standard)[static_cast<std::size_t>(vk)];
}

const TKeyboardInfoTable* GetKeyRow(int vk, int ext)
{
    if (ext == kKeyFlagExtended)
        ext = 1;
    else if (ext == kKeyFlagStandard)
        ext = 0;
    const TKeyboardInfoTable* standard = GetKeyTableRow(vk, false);
    if (!standard)
        return nullptr;
    if (ext == 0)
        return standard;
    // Keys that exist only as extended keys live in the standard table.
    if (ext == 1 && standard->Extended == kKeyFlagExtended)
        return standard;
    return GetKeyTableRow(vk, true);
}

int GetKeyHidCode(int vk, int ext)
{
    const TKeyboardInfoTable* row = GetKeyRow(vk, ext);
    return row && row->HIDCode != -1 ? row->HIDCode : 0;
}

// VK_BROWSER_BACK .. VK_LAUNCH_APP2, in both lookups: the table gives them consumer usages.
constexpr int kFirstConsumerVk = 0xA6;
constexpr int kLastConsumerVk = 0xB7;

bool IsConsumerKey(int vk, int /*ext*/)
{
    return vk >= kFirstConsumerVk && vk <= kLastConsumerVk;
}

std::uint8_t GetKeyboardHidByte(int vk, int ext)
{
    if (IsConsumerKey(vk, ext))
        return 0;
    const int hid = GetKeyHidCode(vk, ext);
    return hid > 0 && hid <= 0xFF ? static_cast<std::uint8_t>(hid) : 0;
}

bool HasNoKeyboardByte(int vk, int ext)
{
    return GetKeyHidCode(vk, ext) != 0 && GetKeyboardHidByte(vk, ext) == 0;
}

std::string GetConsumerUsageName(int usage)
{
    for (int vk = kFirstConsumerVk; vk <= kLastConsumerVk; ++vk)
        if (GetKeyHidCode(vk, kKeyFlagExtended) == usage)
            return GetKeyName(vk, kKeyFlagExtended);
    return "MEDIA 0x" + hex(usage & 0xFFFF, 4);
}

std::string GetKeyName(int vk, int ext)
{
    const TKeyboardInfoTable* row = GetKeyRow(vk, ext);
    return row ? row->KeyDescription : std::string();
}

bool IsModifierKeyCode(int vk)
{
    return (vk >= 0x10 && vk <= 0x12) || vk == 0x5B || vk == 0x5C || (vk >= 0xA0 && vk <= 0xA5);
}

std::vector<TableKey> FindKeysByName(std::string_view name)
{
    std::vector<TableKey> keys;
    if (name.empty())
        return keys;
    for (int vk = 0; vk < kKeyTableRows; ++vk)
        for (int ext = 0; ext <= 1; ++ext)
            if (const TKeyboardInfoTable* row = GetKeyRow(vk, ext); row && sameIgnoringCase(row->KeyDescription, name))
                keys.push_back({ vk, ext });
    return keys;
}

std::string GetModifierText(unsigned flags)
{
    std::string text;
    if (flags & kModifierAlt)
        text += "Alt+";
    if (flags & kModifierCtrl)
        text += "Ctrl+";
    if (flags & kModifierShift)
        text += "Shift+";
    if (flags & kModifierWin)
        text += "WIN+";
    return text;
}

std::uint8_t GetHidModifier(unsigned flags)
{
    std::uint8_t hid = 0;
    if (flags & kModifierAlt)
        hid |= 0x04;
    if (flags & kModifierCtrl)
        hid |= 0x01;
    if (flags & kModifierShift)
        hid |= 0x02;
    if (flags & kModifierWin)
        hid |= 0x08;
    return hid;
}

} // namespace bv
