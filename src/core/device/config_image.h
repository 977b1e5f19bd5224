#pragma once
// A profile as one configuration set of the mouse: button, macro, light and CPI blocks.

#include "device/Function_Solmarchs.h"
#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bv {

/// The blocks of one set, ready to be written.
struct TConfigurationImage {
    TButtonBlock Buttons {};
    TMacroArea Macros {};
    TLightBlock Light {};
    TCPIBlock CPI {};
    std::uint8_t ReportRate = 8;
    /// What travels differently from the profile (a dropped loop marker, a value out of range).
    std::vector<util::UserText> Notes;
};

/// One memory write of an image: where, what, and which block it is (for messages).
struct TDeviceWrite {
    std::uint16_t Address = 0;
    std::vector<std::uint8_t> Data;
    std::string What;
};

/// The button block of a working copy; false, with `error` set and the block untouched, when
/// the buttons use more distinct macros than the mouse has slots.
[[nodiscard]] bool EncodeButtonBlock(
    const TMOUSEPROFILEINFO& profile, TButtonBlock& block, util::UserText* error = nullptr);
void EncodeCPIBlock(const TMOUSEPROFILEINFO& profile, TCPIBlock& block);
void EncodeLightBlock(const TLEDCONFIG& light, TLightBlock& block);
/// The polling interval in ms: 125 Hz → 8, 250 → 4, 500 → 2, 1000 → 1; any other rate as 125 Hz.
std::uint8_t ReportRateCode(const TMOUSEPROFILEINFO& profile);

/// The working copy that the mouse receives: buttons 3 and 4 exchanged, eight entries, entry 7 code 13.
void PrepareWorkingCopy(TMOUSEPROFILEINFO& profile);

/// Brings every field the mouse reads into the range the mouse knows, so a damaged profile never
/// reaches it as it is; adds a note for each value changed. Buttons are counted from 1, as the
/// window shows them.
void ClampDeviceFields(TMOUSEPROFILEINFO& profile, std::vector<util::UserText>& notes);

/// Builds every block of `profile` for the mouse; nullopt with `error` set when it cannot be written.
[[nodiscard]] std::optional<TConfigurationImage> EncodeConfigurationImage(
    const TMOUSEPROFILEINFO& profile, util::UserText* error = nullptr);

/// The memory writes of an image into set 0 or 1, in the order they are sent.
std::vector<TDeviceWrite> ConfigurationImageWrites(const TConfigurationImage& image, int set);

/// Writes the blocks of an encoded image into set 0 or 1 (buttons, macro slots, light, CPI), with
/// the message queue serviced before and after: exactly the writes of ConfigurationImageWrites.
/// Every write is sent; returns the error of the first that failed (kHidErrorInvalidRequest,
/// nothing sent, for another set), 0 when the mouse took them all.
[[nodiscard]] std::uint32_t WriteConfigurationBlocks(
    TuiHIDData& hid, const TConfigurationImage& image, int set, const DeviceSequenceHooks& hooks);

} // namespace bv
