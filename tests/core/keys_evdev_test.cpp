#include "keys/evdev_keys.h"
#include "keys/uiStdCmd.h"

#include <gtest/gtest.h>

#include <string>

using namespace bv;

namespace {

TEST(EvdevKeys, MapsToTheVirtualKeyAndFlagOfWindows)
{
    struct Case {
        std::uint32_t evdev;
        bool numLock;
        std::optional<VirtualKey> expected;
        const char* name; // the key table's name for it
    };
    const Case cases[] = {
        { 30, true, VirtualKey { 'A', false }, "A" },
        { 44, true, VirtualKey { 'Z', false }, "Z" },
        { 11, true, VirtualKey { '0', false }, "0" },
        { 2, true, VirtualKey { '1', false }, "1" },
        { 59, true, VirtualKey { 0x70, false }, "F1" },
        { 88, true, VirtualKey { 0x7B, false }, "F12" },
        { 183, true, VirtualKey { 0x7C, false }, "F13" },
        { 194, true, VirtualKey { 0x87, false }, "F24" },
        // Enter and the navigation block: the flag tells the keypad's from the separate keys.
        { 28, true, VirtualKey { 0x0D, false }, "ENTER" },
        { 96, true, VirtualKey { 0x0D, true }, "ENTER" },
        { 110, true, VirtualKey { 0x2D, true }, "INS" },
        { 111, true, VirtualKey { 0x2E, true }, "DEL" },
        { 102, true, VirtualKey { 0x24, true }, "HOME" },
        { 109, true, VirtualKey { 0x22, true }, "PAGE DOWN" },
        { 103, true, VirtualKey { 0x26, true }, "UP ARROW" },
        // The keypad, with and without Num Lock.
        { 82, true, VirtualKey { 0x60, false }, "NUMPAD 0" },
        { 73, true, VirtualKey { 0x69, false }, "NUMPAD 9" },
        { 83, true, VirtualKey { 0x6E, false }, "Decimal" },
        { 82, false, VirtualKey { 0x2D, false }, "Keypad 0 Insert" },
        { 83, false, VirtualKey { 0x2E, false }, "Keypad DEL" },
        { 71, false, VirtualKey { 0x24, false }, "HOME" },
        { 98, true, VirtualKey { 0x6F, true }, "Divide" },
        { 55, true, VirtualKey { 0x6A, false }, "Multiply" },
        { 69, true, VirtualKey { 0x90, true }, "NUM LOCK" },
        // Modifiers, left and right; the right Shift has no extended flag on Windows.
        { 42, true, VirtualKey { 0xA0, false }, "L SHIFT" },
        { 54, true, VirtualKey { 0xA1, false }, "R SHIFT" },
        { 29, true, VirtualKey { 0xA2, false }, "L CTRL" },
        { 97, true, VirtualKey { 0xA3, true }, "R CTRL" },
        { 56, true, VirtualKey { 0xA4, false }, "L ALT" },
        { 100, true, VirtualKey { 0xA5, true }, "R ALT" },
        { 125, true, VirtualKey { 0x5B, true }, "L WIN" },
        { 126, true, VirtualKey { 0x5C, true }, "R WIN" },
        { 127, true, VirtualKey { 0x5D, true }, "APP" },
        { 99, true, VirtualKey { 0x2C, true }, "PRINT SCREEN" },
        { 41, true, VirtualKey { 0xC0, false }, "~`" },
        { 86, true, VirtualKey { 0xE2, false }, "\\|" },
        // Media and browser keys.
        { 113, true, VirtualKey { 0xAD, true }, "VOLUME_MUTE" },
        { 164, true, VirtualKey { 0xB3, true }, "MEDIA_PLAY_PAUSE" },
        { 158, true, VirtualKey { 0xA6, true }, "BROWSER_BACK" },
        { 155, true, VirtualKey { 0xB4, true }, "LAUNCH_MAIL" },
        { 140, true, VirtualKey { 0xB7, true }, "LAUNCH_APP2" },
        // Keys without a virtual key.
        { 0, true, std::nullopt, "" },
        { 84, true, std::nullopt, "" },
        { 0x2FF, true, std::nullopt, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("evdev " + std::to_string(c.evdev) + (c.numLock ? "" : " without Num Lock"));
        const std::optional<VirtualKey> key = EvdevToVirtualKey(c.evdev, c.numLock);
        ASSERT_EQ(key.has_value(), c.expected.has_value());
        if (key) {
            EXPECT_EQ(int(key->vk), int(c.expected->vk));
            EXPECT_EQ(key->extended, c.expected->extended);
            EXPECT_EQ(GetKeyName(key->vk, key->extended), c.name);
        }
    }
}

TEST(EvdevKeys, EveryMappedKeyHasANameInTheKeyTable)
{
    // A wrong extended flag would land on a placeholder row of the table.
    for (std::uint32_t code = 0; code < 0x300; ++code) {
        for (const bool numLock : { true, false }) {
            const std::optional<VirtualKey> key = EvdevToVirtualKey(code, numLock);
            if (!key)
                continue;
            const std::string name = GetKeyName(key->vk, key->extended);
            EXPECT_FALSE(name.empty() || name == "Undefined" || name.starts_with("UNDEFINED_"))
                << "evdev " << code << " gives " << int(key->vk) << (key->extended ? " extended" : "") << ": " << name;
        }
    }
}

} // namespace
