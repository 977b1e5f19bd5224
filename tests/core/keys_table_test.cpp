#include "keys/uiStdCmd.h"

#include <gtest/gtest.h>

using namespace bv;

namespace {

TEST(KeyTable, LookupsPickTheRowByCodeAndFlag)
{
    struct Case {
        int vk, ext, hid;
        const char* name;
    };
    const Case cases[] = {
        // Keys that exist in both forms: the flag picks the keypad or the separate block.
        { 0x0D, 0, 0x28, "ENTER" },
        { 0x0D, 1, 0x58, "ENTER" },
        { 0x0D, 224, 0x28, "ENTER" },
        { 0x0D, 225, 0x58, "ENTER" },
        { 0x21, 0, 0x61, "PAGE UP" },
        { 0x21, 1, 0x4B, "PAGE UP" },
        { 0x2D, 0, 0x62, "Keypad 0 Insert" },
        { 0x2D, 1, 0x49, "INS" },
        { 0x2E, 1, 0x4C, "DEL" },
        // Always-extended keys answer the same with either flag.
        { 0x5B, 0, 0xE3, "L WIN" },
        { 0x5B, 1, 0xE3, "L WIN" },
        { 0xA3, 1, 0xE4, "R CTRL" },
        { 0x6F, 225, 0x54, "Divide" },
        // Consumer usages are returned whole, even when they do not fit a byte.
        { 0xB3, 1, 0xCD, "MEDIA_PLAY_PAUSE" },
        { 0xB4, 1, 0x18A, "LAUNCH_MAIL" },
        // Ordinary keys and the generated ranges.
        { 0x30, 0, 0x27, "0" },
        { 0x31, 0, 0x1E, "1" },
        { 0x39, 0, 0x26, "9" },
        { 0x41, 0, 0x04, "A" },
        { 0x5A, 0, 0x1D, "Z" },
        { 0x60, 0, 0x62, "NUMPAD 0" },
        { 0x69, 0, 0x61, "NUMPAD 9" },
        { 0x70, 0, 0x3A, "F1" },
        { 0x7B, 0, 0x45, "F12" },
        { 0x7C, 0, 0x68, "F13" },
        { 0x87, 0, 0x73, "F24" },
        { 0xC0, 0, 0x35, "~`" },
        { 0xDE, 0, 0x34, "'\"" },
        { 0xDC, 0, 0x31, "\\|" },
        // No HID code, placeholders and codes outside the table.
        { 0x10, 0, 0, "SHIFT" },
        { 0x00, 0, 0, "" },
        { 0x05, 0, 0, "Undefined" },
        { 0xE0, 0, 0, "Undefined" },
        { 0xB8, 0, 0, "UNDEFINED_0B8" },
        { 0xFE, 0, 0, "UNDEFINED_0FE" },
        // A key with only a standard form looked up as extended finds the extended placeholder.
        { 0x41, 1, 0, "UNDEFINED_041" },
        // Any other flag uses the extended table.
        { 0x0D, 2, 0x58, "ENTER" },
        { 0x5B, 2, 0, "UNDEFINED_05B" },
        { 0xFF, 0, 0, "" },
        { -1, 0, 0, "" },
        { 1000, 1, 0, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "vk " << c.vk << " ext " << c.ext);
        EXPECT_EQ(GetKeyHidCode(c.vk, c.ext), c.hid);
        EXPECT_EQ(GetKeyName(c.vk, c.ext), c.name);
    }
}

TEST(KeyTable, EveryRowIsBuiltFromItsCode)
{
    for (bool extended : { false, true }) {
        for (int vk = 0; vk < kKeyTableRows; ++vk) {
            const TKeyboardInfoTable* row = GetKeyTableRow(vk, extended);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->VKCode, vk);
            EXPECT_EQ(row->ScanCode, 0);
            if (extended) {
                EXPECT_EQ(row->Extended, kKeyFlagExtended) << vk;
            }
        }
    }
    EXPECT_EQ(GetKeyTableRow(255, false), nullptr);
    EXPECT_EQ(GetKeyTableRow(-1, true), nullptr);

    // Untouched rows keep the constructed placeholder; listed gaps carry the two-digit form.
    EXPECT_EQ(GetKeyTableRow(0xB8, false)->VKName, "VK_UNDEFINED_0B8");
    EXPECT_EQ(GetKeyTableRow(0x41, true)->VKName, "VK_UNDEFINED_041");
    EXPECT_EQ(GetKeyTableRow(0x41, true)->HIDCode, -1);
    EXPECT_EQ(GetKeyTableRow(0x07, false)->VKName, "VK_UNDEFINED_07");
    EXPECT_EQ(GetKeyTableRow(0x9F, false)->VKName, "VK_UNDEFINED_9F");
    EXPECT_EQ(GetKeyTableRow(0x0D, false)->VKName, "VK_RETURN");
    EXPECT_EQ(GetKeyTableRow(0x2D, true)->VKName, "VK_INSERT");
    EXPECT_EQ(GetKeyTableRow(0x2C, false)->Extended, kKeyFlagExtended);
    EXPECT_EQ(GetKeyTableRow(0x0D, false)->Extended, kKeyFlagStandard);
    EXPECT_EQ(GetKeyTableRow(0xA2, false)->Extended, kKeyFlagStandard);
}

TEST(KeyTable, ModifierTextAndHidByte)
{
    struct Case {
        unsigned flags;
        const char* text;
        std::uint8_t hid;
    };
    const Case cases[] = {
        { 0, "", 0x00 }, { 1, "Alt+", 0x04 }, { 2, "Ctrl+", 0x01 }, { 4, "Shift+", 0x02 }, { 8, "WIN+", 0x08 },
        { 6, "Ctrl+Shift+", 0x03 }, { 15, "Alt+Ctrl+Shift+WIN+", 0x0F },
        { 0xF0 | 1, "Alt+", 0x04 }, // bits above Win are ignored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(GetModifierText(c.flags), c.text);
        EXPECT_EQ(GetHidModifier(c.flags), c.hid);
    }
}

} // namespace
