#include "device/shortcut_tables.h"

#include "keys/uiStdCmd.h"

#include <array>

namespace bv {

namespace {

struct Tables {
    std::array<TCOMBOKEYINFO, kShortcutTableRows> basic {};
    std::array<TCOMBOKEYINFO, kShortcutTableRows> advanced {};
    std::array<THID_CODE_INFO, kShortcutTableRows> media {};
};

TCOMBOKEYINFO combo(std::uint16_t modifier, std::uint16_t vk)
{
    return { vk, 0, 0, 0, modifier };
}

const Tables& tables()
{
    static const Tables t = [] {
        Tables r;
        const std::uint16_t basicKeys[] = { 'X', 'C', 'V', 'A', 'F', 'N', 'P', 'S' };
        for (std::size_t i = 0; i < std::size(basicKeys); ++i)
            r.basic[i] = combo(kModifierCtrl, basicKeys[i]);
        r.advanced[0] = combo(kModifierAlt, 9); // Tab
        r.advanced[1] = combo(kModifierAlt, 115); // F4
        r.advanced[2] = combo(kModifierWin, 'E');
        r.advanced[3] = combo(kModifierWin, 'R');
        r.advanced[4] = combo(kModifierWin, 'D');
        r.advanced[5] = combo(kModifierWin, 'L');
        const int mediaKeys[] = { 179, 178, 177, 176, 175, 174, 173, 181 };
        for (std::size_t i = 0; i < std::size(mediaKeys); ++i)
            r.media[i] = { static_cast<std::uint16_t>(GetKeyHidCode(mediaKeys[i], 1)), 0, 0 };
        return r;
    }();
    return t;
}

template <typename Table, typename Row> bool lookup(const Table& table, int row, Row& out)
{
    if (row < 0 || row >= kShortcutTableRows)
        return false;
    out = table[static_cast<std::size_t>(row)];
    return true;
}

} // namespace

bool GetBasicShortcut(int row, TCOMBOKEYINFO& out)
{
    return lookup(tables().basic, row, out);
}

bool GetAdvancedShortcut(int row, TCOMBOKEYINFO& out)
{
    return lookup(tables().advanced, row, out);
}

bool GetMediaKey(int row, THID_CODE_INFO& out)
{
    return lookup(tables().media, row, out);
}

} // namespace bv
