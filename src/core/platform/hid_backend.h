#pragma once
// The one transport the device search talks to: enumerate HID interfaces, open one, query its
// capabilities and exchange reports. Backends: hidraw (Linux), SetupAPI/HID.dll (Windows), virtual.

#include "platform/usage_and_page.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bv {

// Result codes are the host's own error codes, so a transfer failure reads the same whichever
// backend produced it. 0 always means success.
#ifdef _WIN32
inline constexpr std::uint32_t kHidErrorNoDevice = 1167; // ERROR_DEVICE_NOT_CONNECTED
inline constexpr std::uint32_t kHidErrorInvalidRequest = 87; // ERROR_INVALID_PARAMETER
inline constexpr std::uint32_t kHidErrorIo = 1117; // ERROR_IO_DEVICE
inline constexpr std::uint32_t kHidErrorRejected = 31; // ERROR_GEN_FAILURE: the device stalled the request
#else
inline constexpr std::uint32_t kHidErrorNoDevice = ENODEV;
inline constexpr std::uint32_t kHidErrorInvalidRequest = EINVAL;
inline constexpr std::uint32_t kHidErrorIo = EIO;
inline constexpr std::uint32_t kHidErrorRejected = EPIPE;
#endif

/// What a HID interface's top-level collection declares. Report lengths count the report-ID byte,
/// whether or not the device numbers its reports; 0 when the collection has no report of that kind.
struct HidCaps {
    std::uint16_t Usage = 0;
    std::uint16_t UsagePage = 0;
    std::uint16_t InputReportByteLength = 0;
    std::uint16_t OutputReportByteLength = 0;
    std::uint16_t FeatureReportByteLength = 0;
};

/// Vendor, product and version of the device behind an interface.
struct HidAttributes {
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
};

/// One HID interface (one top-level collection) as enumerated.
struct HidInterface {
    std::string path; // what the system calls it; shown to the user
    std::vector<std::string> hardwareIds; // Windows form, most specific first
    std::optional<HidCaps> knownCaps; // what the backend learned without opening it, if anything
    std::string problem; // why it cannot be used, when the backend knows already
    std::uint64_t token = 0; // the backend's own reference to the interface
};

/// Outcome of waiting for one input report.
struct HidReadResult {
    enum class Status { Data, Timeout, Gone, Failed };
    Status status = Status::Timeout;
    std::size_t length = 0; // bytes received, report ID first (Data only)
    std::uint32_t error = 0; // Gone and Failed
};

/// An opened interface. Closed when destroyed.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    [[nodiscard]] virtual bool attributes(HidAttributes& out) = 0;
    [[nodiscard]] virtual std::optional<HidCaps> capabilities() = 0;

    /// Sends a feature report (report ID first). 0 or the system error code.
    [[nodiscard]] virtual std::uint32_t setFeature(std::span<const std::uint8_t> report) = 0;
    /// Fetches the feature report whose ID is in report[0] into `report`. 0 or the error code.
    [[nodiscard]] virtual std::uint32_t getFeature(std::span<std::uint8_t> report) = 0;
    /// Sends an output report (report ID first). 0 or the error code.
    [[nodiscard]] virtual std::uint32_t writeOutput(std::span<const std::uint8_t> report) = 0;
    /// Waits up to `timeoutMs` for an input report; the report ID is always the first byte.
    virtual HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) = 0;

    /// How many button usages an input report of this collection can hold at most.
    virtual std::size_t maxInputUsageListLength() = 0;
    /// The button usages that are on in an input report (report ID first), at most `limit`.
    virtual std::vector<USAGE_AND_PAGE> inputUsagesOn(std::span<const std::uint8_t> report, std::size_t limit) = 0;
};

enum class HidOpenMode {
    Transfer, // set/get feature and output writes, one request at a time
    Read, // continuous input reads from a reader thread
};

struct HidOpenResult {
    std::unique_ptr<HidDevice> device; // null on failure
    std::uint32_t error = 0;
    std::string why; // a sentence for the user when the open failed
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    /// Every HID interface present now; nullopt when the system cannot be asked at all.
    [[nodiscard]] virtual std::optional<std::vector<HidInterface>> enumerate() = 0;
    virtual HidOpenResult open(const HidInterface& itf, HidOpenMode mode) = 0;
    /// A readable text for a result code of this backend.
    virtual std::string describeError(std::uint32_t code) const;
};

} // namespace bv
