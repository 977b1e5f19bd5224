#pragma once
// VirtualMouse: the mouse's firmware as the program sees it, for tests and for running without the
// hardware.
//
// Two top-level collections: the vendor collection (page 0xFFA0, usage 1) with feature reports 2 to 6
// of 16, 64, 1024, 2048 and 4096 bytes (ID included), and an ordinary mouse (report 1: five buttons,
// X, Y, wheel). A feature report must have exactly the size of its ID; byte 1 is the command:
//   1 settings notice (bytes 2, 3 remembered)     2 memory write (address, length, data from byte 8)
//   3 memory read request (address, length)       4 light preview (bytes 2 to 6 kept as the live LED)
//   6 update bracket (byte 2: 0 opens, 1 closes)  other codes are acknowledged and ignored.
// Firmware choices where the protocol is silent:
//   - memory is 4608 bytes (both configuration sets), all zero until written;
//   - a write or read request reaching past the memory, or a write whose data does not fit its
//     report, is stalled (the transfer fails) and changes nothing;
//   - fetching a feature report answers the last read request: the request header echoed in bytes
//     1 to 7, then as much of the data as the report holds, zeros after; without a request the
//     report is all zero after its ID. A read request stays current until the next one.
//
// With a state file, every transfer reads the file first and every change is written back
// atomically, so separate processes share one mouse. Faults can be injected for tests.

#include "device/virtual_hid_backend.h"
#include "platform/file_lock.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace bv {

/// Everything the mouse remembers; this is what the state file holds.
struct VirtualMouseState {
    static constexpr std::size_t kMemorySize = 0x1200;

    std::array<std::uint8_t, kMemorySize> memory {};
    bool previewShown = false;
    std::array<std::uint8_t, 5> preview {}; // the live LED state from the last light preview
    std::array<std::uint8_t, 2> notice {}; // parameters of the last settings notice
    std::uint32_t noticeCount = 0;
    bool bracketOpen = false;
    std::uint32_t bracketOpens = 0;
    std::uint32_t bracketCloses = 0;
    bool readPending = false;
    std::uint16_t readAddress = 0;
    std::uint16_t readLength = 0;

    bool operator==(const VirtualMouseState&) const = default;
};

/// The state file: "BVVM", a 16-bit version (1), then the fields above, little-endian.
std::vector<std::uint8_t> EncodeVirtualMouseState(const VirtualMouseState& state);
/// nullopt with `why` set when the bytes are not a state file this program can read.
[[nodiscard]] std::optional<VirtualMouseState> DecodeVirtualMouseState(
    std::span<const std::uint8_t> bytes, std::string& why);

/// A state file that cannot be used.
struct VirtualMouseStateError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct VirtualMouseFaults {
    std::uint64_t failTransfer = 0; // this feature transfer (counted from 1) fails; 0: none
    std::uint64_t unplugAfter = 0; // unplugged once this many transfers are done; 0: never
    std::uint16_t featureReportLimit = 4096; // the descriptor declares no feature report longer
};

class VirtualMouse : public VirtualHidDevice {
public:
    static constexpr std::uint16_t kVendorId = 0xB5A0;
    static constexpr std::uint16_t kProductId = 0x0C0F;
    static constexpr std::uint16_t kVersion = 0x0100;

    /// A mouse kept in memory only.
    VirtualMouse();
    /// A mouse kept in `stateFile`, shared with other processes; a missing file is a blank mouse.
    /// Throws VirtualMouseStateError when the file exists but cannot be used.
    explicit VirtualMouse(std::filesystem::path stateFile);

    /// Sets the faults and restarts the transfer count.
    void setFaults(const VirtualMouseFaults& faults);
    void unplug();
    void plug();
    /// Queues an input report (ID first) for readers of the mouse collection.
    void pushInputReport(std::vector<std::uint8_t> report);

    /// The state as of now (read from the state file first, when there is one).
    VirtualMouseState state() const;
    std::uint64_t transferCount() const;
    /// Why the last transfer failed inside the mouse (state file problems), empty otherwise.
    std::string lastProblem() const;
    const std::optional<std::filesystem::path>& stateFile() const { return stateFile_; }

    /// Declared size (ID included) of a feature report, 0 for an ID the mouse does not have.
    std::uint16_t featureReportSize(std::uint8_t reportId) const;

    HidAttributes attributes() const override;
    std::vector<std::uint8_t> reportDescriptor() const override;
    [[nodiscard]] bool plugged() const override;
    [[nodiscard]] std::uint32_t setFeature(std::span<const std::uint8_t> report) override;
    [[nodiscard]] std::uint32_t getFeature(std::span<std::uint8_t> report) override;
    HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) override;

private:
    [[nodiscard]] bool pluggedLocked() const;
    /// 0 to go on, else the transfer's result; with a state file, `shared` holds its lock.
    [[nodiscard]] std::uint32_t beginTransfer(std::optional<platform::FileLock>& shared);
    [[nodiscard]] bool load() const; // from the state file; false (with problem_ set) when unusable
    [[nodiscard]] bool save();

    std::optional<std::filesystem::path> stateFile_;
    mutable std::mutex mutex_;
    std::condition_variable inputArrived_;
    mutable VirtualMouseState state_;
    mutable std::string problem_;
    VirtualMouseFaults faults_;
    std::uint64_t transfers_ = 0;
    bool unplugged_ = false;
    std::deque<std::vector<std::uint8_t>> input_;
};

} // namespace bv
