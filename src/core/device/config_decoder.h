#pragma once
// Reads a configuration set back out of the mouse's memory: the inverse of the image encoder, so
// a user (and the tests) can see what the mouse holds.

#include "device/Function_Solmarchs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace bv {

/// A key as the mouse holds it (HID usage) and the virtual key it comes from.
struct DecodedKey {
    std::uint8_t HidCode = 0;
    int VirtualKey = -1; // -1 when no key of the table has this usage
    int Extended = 0;
};

/// One of the button block's entries with its parameters read by code.
struct DecodedButton {
    std::uint8_t DeviceCode = 0;
    std::array<std::uint8_t, 3> Params {};
    std::uint16_t Modifier = 0; // code 15: the program's modifier bits (Alt 1, Ctrl 2, Shift 4, Win 8)
    DecodedKey Key1, Key2; // code 15: both keys; code 16: Key1
    std::uint16_t MediaUsage = 0; // code 14
    int MacroSlot = -1; // code 17
    std::uint16_t MacroLength = 0;
    std::uint16_t FireCount = 0; // code 18
    std::uint16_t FireDelay = 0;
};

struct DecodedCPILevel {
    std::uint8_t State = 0;
    std::uint8_t CodeX = 0, CodeY = 0;
    std::uint16_t CPI = 0; // the sensor step of the code; 0 for code 0
};

/// One macro action as the mouse plays it.
struct DecodedAction {
    std::uint8_t Kind = 0;
    std::uint8_t State = 0;
    std::array<std::uint8_t, 2> Value {};
    DecodedKey Key; // kind 4
    std::uint32_t DelayMs = 0; // kind 6, in the mouse's 10 ms units
    std::uint16_t Loops = 0; // kind 7
};

struct DecodedMacroSlot {
    int Slot = 0;
    std::uint16_t Length = 0; // bytes, from the button that plays it
    std::vector<DecodedAction> Actions;
};

struct DecodedLight {
    std::uint8_t R = 0, G = 0, B = 0, BRIGHT_LEVEL = 0, BREATH_SPEED = 0, BREATH_SECOND = 0;
};

struct DecodedSet {
    std::uint8_t EntryCount = 0;
    std::vector<DecodedButton> Buttons; // the entries the count names (at most 16)
    std::uint8_t CPILevel = 0;
    std::uint8_t CurrentCPIIndex = 0;
    std::array<DecodedCPILevel, 10> Levels {};
    DecodedLight Light;
    std::uint8_t ReportRateCode = 0;
    int ReportRateHz = 0; // 0 for a code the program does not write
    std::vector<DecodedMacroSlot> Macros; // slots that a button plays, in slot order
};

struct DecodedShared {
    bool WheelLightOn = false;
    std::uint8_t WheelValue = 0;
    std::uint8_t SetSelector = 0;
};

DecodedKey DecodeKey(std::uint8_t hidCode, int extendedHint);
DecodedAction DecodeMacroAction(std::span<const std::uint8_t, 3> record);
DecodedLight DecodeLightBlock(std::span<const std::uint8_t> block);
int ReportRateHz(std::uint8_t code);

/// A set (0 or 1) out of a memory image of at least both sets; nullopt for a smaller image.
[[nodiscard]] std::optional<DecodedSet> DecodeConfigurationSet(std::span<const std::uint8_t> memory, int set);
[[nodiscard]] std::optional<DecodedShared> DecodeSharedBytes(std::span<const std::uint8_t> memory);

} // namespace bv
