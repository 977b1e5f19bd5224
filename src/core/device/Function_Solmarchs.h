#pragma once
// The mouse's protocol: a command packet framed into a feature report of the vendor collection,
// the memory exchanges built on it, the five commands, the memory map, and the short command
// sequences of the main window.
//
// Wire form of a packet: report ID, header bytes 0 to 6, the data, zeros to the report size.
// The report is the smallest of 16, 64, 1024, 2048, 4096 bytes (IDs 2 to 6) that holds data + 8.
// A memory read is two transfers: the request in report 2, then the report that holds the data.

#include "device/uiHIDData.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace bv {

#pragma pack(push, 1)
/// One command: header (code, then address and length or parameters) and the data area.
struct TCommandPacket {
    std::uint8_t Header[8];
    std::uint8_t Data[2048];
};
#pragma pack(pop)
static_assert(sizeof(TCommandPacket) == 2056);

/// Writes carry at most the data area; reads at most what fits it after a report header, since the
/// whole answer report is copied over the packet.
inline constexpr std::uint16_t kMaxWriteLength = 2048;
inline constexpr std::uint16_t kMaxReadLength = 2040;

enum TDeviceCommand : std::uint8_t {
    kCmdSettingsNotice = 1,
    kCmdMemoryWrite = 2,
    kCmdMemoryRead = 3,
    kCmdLightPreview = 4,
    kCmdUpdateBracket = 6,
};

// The memory map. Set 1 lies kSetStride above set 0; the first three bytes are shared.
inline constexpr std::uint16_t kSetStride = 0x900;
inline constexpr std::uint16_t kAddrWheelLight = 62;
inline constexpr std::uint16_t kAddrSetSelector = 64;
inline constexpr std::uint16_t kAddrReportRate = 69;
inline constexpr std::uint16_t kAddrCPIBlock = 72;
inline constexpr std::uint16_t kAddrButtonBlock = 144;
inline constexpr std::uint16_t kAddrMacroSlot0 = 209;
inline constexpr std::uint16_t kAddrLightBlock = 2177;
inline constexpr std::uint16_t kMacroSlotSize = 384;
inline constexpr int kMacroSlotCount = 5;

/// The address of a set-0 location in set `set` (0 or 1).
constexpr std::uint16_t SetAddress(std::uint16_t set0Address, int set)
{
    return static_cast<std::uint16_t>(set0Address + kSetStride * set);
}

using TLightBlock = std::array<std::uint8_t, 6>;
using TCPIBlock = std::array<std::uint8_t, 32>;
using TButtonBlock = std::array<std::uint8_t, 65>;
/// Button block: byte 0 the entry count, then kButtonEntryCount entries of four bytes.
inline constexpr int kButtonEntryCount = 16;

/// One button entry: the device code and three parameters. Codes 17 (macro: slot, length) and 18
/// (fire: count, delay) keep a 16-bit value little-endian in parameters 2 and 3.
struct TButtonEntry {
    std::uint8_t Code = 0;
    std::array<std::uint8_t, 3> Params {};

    std::uint16_t Word() const { return static_cast<std::uint16_t>(Params[1] | Params[2] << 8); }
    void SetWord(std::uint16_t value)
    {
        Params[1] = static_cast<std::uint8_t>(value & 0xFF);
        Params[2] = static_cast<std::uint8_t>(value >> 8);
    }
};

/// Entry `index` (0 .. kButtonEntryCount - 1) of a button block of at least 65 bytes.
inline TButtonEntry GetButtonEntry(std::span<const std::uint8_t> block, int index)
{
    const auto at = static_cast<std::size_t>(1 + 4 * index);
    return { block[at], { block[at + 1], block[at + 2], block[at + 3] } };
}

inline void PutButtonEntry(TButtonBlock& block, int index, const TButtonEntry& entry)
{
    const auto at = static_cast<std::size_t>(1 + 4 * index);
    block[at] = entry.Code;
    for (std::size_t k = 0; k < 3; ++k)
        block[at + 1 + k] = entry.Params[k];
}
/// Five 384-byte slots, then each slot's device length as 32-bit little-endian at 1920 + 4 × slot.
using TMacroArea = std::array<std::uint8_t, 1940>;
inline constexpr std::size_t kMacroAreaLengthsOffset = 1920;

/// Report ID for n = data length + 8 bytes: 2 up to 16, 3 up to 64, 4 up to 1024, 5 up to 2048, else 6.
std::uint8_t ReportIdForLength(std::uint32_t n);
/// The report size (ID included) of IDs 2 to 6; 16 for any other ID.
[[nodiscard]] std::uint32_t ReportSizeForId(std::uint8_t reportId);

/// Frames the packet and sends it to the mouse's collection. 0 when sent. A memory command whose
/// length exceeds the data area is refused without sending anything.
[[nodiscard]] std::uint32_t SendCommandReport(TuiHIDData& hid, const TCommandPacket& packet);
/// The read exchange: request, then fetch. On 0 the packet holds the answer (header bytes 0 to 6
/// from the report, byte 7 zero, the data area from report byte 8 on). Refuses lengths above
/// kMaxReadLength without sending anything.
[[nodiscard]] std::uint32_t QueryCommandReport(TuiHIDData& hid, TCommandPacket& packet);

/// Writes Length bytes to the mouse's memory; 0 when written or for length 0, else the error
/// (kHidErrorInvalidRequest, nothing sent, above kMaxWriteLength).
[[nodiscard]] std::uint32_t WriteDeviceMemory(
    TuiHIDData& hid, const void* Source, std::uint16_t Length, std::uint16_t Address);
/// Reads Length bytes; 0 on success, else the error. Destination is untouched on failure.
[[nodiscard]] std::uint32_t ReadDeviceMemory(
    TuiHIDData& hid, void* Destination, std::uint16_t Length, std::uint16_t Address);

// The fixed-size operations; each returns 0 when the mouse took it, else the error.
[[nodiscard]] std::uint32_t SendUpdateBracket(TuiHIDData& hid, std::uint8_t phase, std::uint8_t second);
[[nodiscard]] std::uint32_t SendSettingsNotice(TuiHIDData& hid, std::uint8_t first, std::uint8_t second);
/// Shows bytes 0 to 4 of a light block; the sixth is not part of the preview.
[[nodiscard]] std::uint32_t SendLightPreview(TuiHIDData& hid, const TLightBlock& block);
[[nodiscard]] std::uint32_t WriteDeviceByte(TuiHIDData& hid, std::uint8_t value, std::uint16_t address);
[[nodiscard]] std::uint32_t ReadDeviceByte(TuiHIDData& hid, std::uint8_t& destination, std::uint16_t address);
/// The wheel light byte: bit 7 the wheel light (any non-zero `on` is on), bits 0 to 6 the low
/// bits of `value`.
[[nodiscard]] std::uint8_t WheelLightByte(int value, int on);
/// Writes WheelLightByte(value, on).
[[nodiscard]] std::uint32_t WriteWheelLightByte(TuiHIDData& hid, int value, int on, std::uint16_t address);
[[nodiscard]] std::uint32_t WriteLightBlock(TuiHIDData& hid, const TLightBlock& block, std::uint16_t address);
[[nodiscard]] std::uint32_t WriteCPIBlock(TuiHIDData& hid, const TCPIBlock& block, std::uint16_t address);
[[nodiscard]] std::uint32_t ReadCPIBlock(TuiHIDData& hid, TCPIBlock& destination, std::uint16_t address);
[[nodiscard]] std::uint32_t WriteButtonBlock(TuiHIDData& hid, const TButtonBlock& block, std::uint16_t address);

/// The CPI level the mouse is at: byte 1 of the CPI block of the set the selector names.
/// On failure Index is unchanged and the error is returned.
[[nodiscard]] std::uint32_t ReadCurrentCPIIndex(TuiHIDData& hid, std::int32_t& Index);

/// What the window's sequences need besides the device.
struct DeviceSequenceHooks {
    std::function<void(int ms)> pause; // services the message queue and waits `ms`
    std::function<void()> tellMonitor; // tells the monitor program that the mouse changed
};

// The sequences send every step even after one failed, as Apply does, and return the error of the
// first failed step (0 when the mouse took them all).

/// Mode button: bracket, set selector, settings notice (1, 1), monitor, pause 100 ms, bracket closed.
/// Nothing (0) for a mode other than 0 or 1.
[[nodiscard]] std::uint32_t ModeButtonSequence(TuiHIDData& hid, int modeIndex, const DeviceSequenceHooks& hooks);
/// Profile button: set selector, settings notice (1, currentGame), then the light preview sequence.
/// Nothing (0) for a profile index outside 0 to 4.
[[nodiscard]] std::uint32_t ProfileButtonSequence(
    TuiHIDData& hid, int profileIndex, std::uint8_t currentGame, const TLightBlock& light, int wheelValue, int wheelOn);
/// Light preview: bracket, preview, wheel light byte, bracket closed.
[[nodiscard]] std::uint32_t LightPreviewSequence(
    TuiHIDData& hid, const TLightBlock& light, int wheelValue, int wheelOn);

} // namespace bv
