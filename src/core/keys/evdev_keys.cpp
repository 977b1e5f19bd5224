#include "keys/evdev_keys.h"

#include <algorithm>
#include <iterator>

namespace bv {

namespace {

struct Row {
    std::uint16_t evdev;
    std::uint8_t vk;
    bool extended;
};

// The evdev codes are the Linux input codes (linux/input-event-codes.h), kept here as numbers so
// that the map builds on every system. The extended flags are the ones the Windows low-level
// hook reports: keys with the E0 scan-code prefix, and Num Lock.
constexpr Row kRows[] = {
    { 1, 0x1B, false }, // ESC
    { 2, 0x31, false }, // 1 .. 9
    { 3, 0x32, false }, { 4, 0x33, false }, { 5, 0x34, false }, { 6, 0x35, false }, { 7, 0x36, false },
    { 8, 0x37, false }, { 9, 0x38, false }, { 10, 0x39, false }, { 11, 0x30, false }, // 0
    { 12, 0xBD, false }, // MINUS
    { 13, 0xBB, false }, // EQUAL
    { 14, 0x08, false }, // BACKSPACE
    { 15, 0x09, false }, // TAB
    { 16, 'Q', false }, { 17, 'W', false }, { 18, 'E', false }, { 19, 'R', false }, { 20, 'T', false },
    { 21, 'Y', false }, { 22, 'U', false }, { 23, 'I', false }, { 24, 'O', false }, { 25, 'P', false },
    { 26, 0xDB, false }, // LEFTBRACE
    { 27, 0xDD, false }, // RIGHTBRACE
    { 28, 0x0D, false }, // ENTER
    { 29, 0xA2, false }, // LEFTCTRL
    { 30, 'A', false }, { 31, 'S', false }, { 32, 'D', false }, { 33, 'F', false }, { 34, 'G', false },
    { 35, 'H', false }, { 36, 'J', false }, { 37, 'K', false }, { 38, 'L', false }, { 39, 0xBA, false }, // SEMICOLON
    { 40, 0xDE, false }, // APOSTROPHE
    { 41, 0xC0, false }, // GRAVE
    { 42, 0xA0, false }, // LEFTSHIFT
    { 43, 0xDC, false }, // BACKSLASH
    { 44, 'Z', false }, { 45, 'X', false }, { 46, 'C', false }, { 47, 'V', false }, { 48, 'B', false },
    { 49, 'N', false }, { 50, 'M', false }, { 51, 0xBC, false }, // COMMA
    { 52, 0xBE, false }, // DOT
    { 53, 0xBF, false }, // SLASH
    { 54, 0xA1, false }, // RIGHTSHIFT (no E0 prefix)
    { 55, 0x6A, false }, // KPASTERISK
    { 56, 0xA4, false }, // LEFTALT
    { 57, 0x20, false }, // SPACE
    { 58, 0x14, false }, // CAPSLOCK
    { 59, 0x70, false }, // F1 .. F10
    { 60, 0x71, false }, { 61, 0x72, false }, { 62, 0x73, false }, { 63, 0x74, false }, { 64, 0x75, false },
    { 65, 0x76, false }, { 66, 0x77, false }, { 67, 0x78, false }, { 68, 0x79, false }, { 69, 0x90, true }, // NUMLOCK
    { 70, 0x91, false }, // SCROLLLOCK
    { 71, 0x67, false }, // KP7
    { 72, 0x68, false }, // KP8
    { 73, 0x69, false }, // KP9
    { 74, 0x6D, false }, // KPMINUS
    { 75, 0x64, false }, // KP4
    { 76, 0x65, false }, // KP5
    { 77, 0x66, false }, // KP6
    { 78, 0x6B, false }, // KPPLUS
    { 79, 0x61, false }, // KP1
    { 80, 0x62, false }, // KP2
    { 81, 0x63, false }, // KP3
    { 82, 0x60, false }, // KP0
    { 83, 0x6E, false }, // KPDOT
    { 86, 0xE2, false }, // 102ND
    { 87, 0x7A, false }, // F11
    { 88, 0x7B, false }, // F12
    { 96, 0x0D, true }, // KPENTER
    { 97, 0xA3, true }, // RIGHTCTRL
    { 98, 0x6F, true }, // KPSLASH
    { 99, 0x2C, true }, // SYSRQ (Print Screen)
    { 100, 0xA5, true }, // RIGHTALT
    { 102, 0x24, true }, // HOME
    { 103, 0x26, true }, // UP
    { 104, 0x21, true }, // PAGEUP
    { 105, 0x25, true }, // LEFT
    { 106, 0x27, true }, // RIGHT
    { 107, 0x23, true }, // END
    { 108, 0x28, true }, // DOWN
    { 109, 0x22, true }, // PAGEDOWN
    { 110, 0x2D, true }, // INSERT
    { 111, 0x2E, true }, // DELETE
    { 113, 0xAD, true }, // MUTE
    { 114, 0xAE, true }, // VOLUMEDOWN
    { 115, 0xAF, true }, // VOLUMEUP
    { 119, 0x13, false }, // PAUSE
    { 121, 0x6C, false }, // KPCOMMA
    { 125, 0x5B, true }, // LEFTMETA
    { 126, 0x5C, true }, // RIGHTMETA
    { 127, 0x5D, true }, // COMPOSE (the menu key)
    { 128, 0xA9, true }, // STOP (AC Stop)
    { 139, 0x5D, true }, // MENU
    { 140, 0xB7, true }, // CALC
    { 144, 0xB6, true }, // FILE (AL Local Machine Browser)
    { 155, 0xB4, true }, // MAIL
    { 156, 0xAB, true }, // BOOKMARKS
    { 157, 0xB6, true }, // COMPUTER
    { 158, 0xA6, true }, // BACK
    { 159, 0xA7, true }, // FORWARD
    { 163, 0xB0, true }, // NEXTSONG
    { 164, 0xB3, true }, // PLAYPAUSE
    { 165, 0xB1, true }, // PREVIOUSSONG
    { 166, 0xB2, true }, // STOPCD
    { 171, 0xB5, true }, // CONFIG (AL Consumer Control Configuration)
    { 172, 0xAC, true }, // HOMEPAGE
    { 173, 0xA8, true }, // REFRESH
    { 183, 0x7C, false }, // F13 .. F24
    { 184, 0x7D, false }, { 185, 0x7E, false }, { 186, 0x7F, false }, { 187, 0x80, false }, { 188, 0x81, false },
    { 189, 0x82, false }, { 190, 0x83, false }, { 191, 0x84, false }, { 192, 0x85, false }, { 193, 0x86, false },
    { 194, 0x87, false }, { 217, 0xAA, true }, // SEARCH
    { 226, 0xB5, true }, // MEDIA
};

// The keypad without Num Lock: the navigation keys, without the extended flag that tells the
// separate block apart.
constexpr Row kKeypadNumLockOff[] = {
    { 71, 0x24, false }, // HOME
    { 72, 0x26, false }, // UP
    { 73, 0x21, false }, // PRIOR
    { 75, 0x25, false }, // LEFT
    { 76, 0x0C, false }, // CLEAR
    { 77, 0x27, false }, // RIGHT
    { 79, 0x23, false }, // END
    { 80, 0x28, false }, // DOWN
    { 81, 0x22, false }, // NEXT
    { 82, 0x2D, false }, // INSERT
    { 83, 0x2E, false }, // DELETE
};

constexpr bool sortedByCode(const Row* first, const Row* last)
{
    for (const Row* r = first; r + 1 < last; ++r)
        if (r[0].evdev >= r[1].evdev)
            return false;
    return true;
}
static_assert(sortedByCode(std::begin(kRows), std::end(kRows)));
static_assert(sortedByCode(std::begin(kKeypadNumLockOff), std::end(kKeypadNumLockOff)));

std::optional<VirtualKey> find(const Row* first, const Row* last, std::uint32_t code)
{
    const Row* row = std::lower_bound(first, last, code, [](const Row& r, std::uint32_t c) { return r.evdev < c; });
    if (row == last || row->evdev != code)
        return std::nullopt;
    return VirtualKey { row->vk, row->extended };
}

} // namespace

std::optional<VirtualKey> EvdevToVirtualKey(std::uint32_t evdevCode, bool numLock)
{
    if (!numLock)
        if (auto key = find(std::begin(kKeypadNumLockOff), std::end(kKeypadNumLockOff), evdevCode))
            return key;
    return find(std::begin(kRows), std::end(kRows), evdevCode);
}

} // namespace bv
