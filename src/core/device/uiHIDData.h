#pragma once
// TuiHIDData: finds the mouse among the HID interfaces and exchanges reports with it. Every request
// searches again: enumerate, accept by hardware ID, open, check the collection and the report length,
// act on every interface that passes, close. No handle is kept between requests.

#include "platform/hid_backend.h"
#include "platform/usage_and_page.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace bv {

namespace platform {
class IniFile;
}

#pragma pack(push, 1)
/// One report: the ID, then the data; DATASIZE counts from ReportID inclusive.
struct THidReallyData {
    std::uint8_t ReportID;
    std::uint8_t DATAReally[65535];
    std::uint32_t DATASIZE;

    /// The report as it travels: ReportID followed by DATAReally.
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(this); }
    const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(this); }
};
#pragma pack(pop)
static_assert(sizeof(THidReallyData) == 65540);
static_assert(offsetof(THidReallyData, DATAReally) == 1 && offsetof(THidReallyData, DATASIZE) == 65536);

/// The largest report a THidReallyData holds, ID included.
inline constexpr std::uint32_t kHidMaxReportSize = 65536;

/// One request. 64 KiB: allocate it, do not put it on a small stack.
struct THIDDataParam {
    USAGE_AND_PAGE UsageAndPage { 0, 0 };
    std::string DeviceID; // not consulted
    THidReallyData Data {};
    std::uint32_t DeviceHandle = 0; // no handle outlives a request; always 0
};

using TuiHIDDataReceived = std::function<void(const std::string& ADeviceID, const std::string& ADevicePath,
    std::uint8_t ReportID, const std::uint8_t* Data, std::uint16_t Size)>;
using TuiHIDParsedDataReceived = std::function<void(
    const std::string& ADeviceID, const std::string& ADevicePath, std::uint8_t ReportID, std::uint32_t ButtonData)>;
using TuiHIDDeviceNotConnected = std::function<void(const std::string& ADeviceID, const std::string& ADevicePath)>;

/// Runs a reader thread's event on the main thread and returns when it has run.
using MainThreadInvoker = std::function<void(const std::function<void()>&)>;

/// What `bvctl list` shows of one interface.
struct HidInterfaceReport {
    HidInterface itf;
    std::optional<HidCaps> caps; // from the opened interface, else what enumeration knew
    bool accepted = false; // passes the hardware-ID list
    std::string error; // why it could not be opened, empty when it could
    std::uint32_t openError = 0; // the system's error of the open, 0 when it opened
};

class TuiHIDData {
public:
    /// `hidDeviceList`: the accepted hardware IDs (empty accepts every interface).
    explicit TuiHIDData(std::shared_ptr<HidBackend> backend, std::vector<std::string> hidDeviceList = {});
    ~TuiHIDData();
    TuiHIDData(const TuiHIDData&) = delete;
    TuiHIDData& operator=(const TuiHIDData&) = delete;

    /// "id1".."id101" of section "IncludeHIDDeviceList", up to the first missing or empty key.
    static std::vector<std::string> ReadHidDeviceList(const platform::IniFile& ini);
    /// The same from config.ini in the program folder; no file gives an empty list.
    static std::vector<std::string> LoadHidDeviceList(const std::filesystem::path& programFolder);

    /// True when an accepted interface with the collection of `ReportData.UsageAndPage` can be opened.
    /// Report lengths do not matter.
    [[nodiscard]] bool IsDeviceExist(const THIDDataParam& ReportData);
    /// Sends Data (DATASIZE bytes from ReportID) to every accepted interface whose collection matches
    /// and whose feature report holds DATASIZE bytes. 0 when the last transfer succeeded, else its
    /// error; kHidErrorNoDevice when no interface passed.
    [[nodiscard]] std::uint32_t HidFindAndSetFeatureReport(THIDDataParam& ReportData);
    /// Fetches the feature report Data.ReportID (DATASIZE bytes) from every passing interface; each
    /// success is copied over Data, so the last successful interface wins. Result as for set.
    [[nodiscard]] std::uint32_t HidFindAndGetFeatureReport(THIDDataParam& ReportData);
    /// Writes DATASIZE + 1 bytes from ReportID as an output report to every matching interface whose
    /// output report length is at least DATASIZE. 1 when a write succeeded, else 0.
    [[nodiscard]] std::uint32_t HidFindAndWriteDevice(THIDDataParam& ReportData);
    /// Starts one reader thread per accepted interface of the collection.
    void HidFindAndReadDevice(USAGE_AND_PAGE UsageAndPage);
    /// Stops every reader thread and waits until they have ended.
    void HidStopRead();

    /// Every interface present, opened once to read its capabilities; for diagnostics.
    /// nullopt when the system cannot enumerate HID interfaces.
    [[nodiscard]] std::optional<std::vector<HidInterfaceReport>> DescribeInterfaces();

    /// Feature transfers (set or get) that failed since this component was made. The protocol's
    /// writes return nothing, so a sequence compares this before and after each step.
    std::uint64_t FailedTransfers() const { return FFailedTransfers.load(); }
    /// The error of the last failed feature transfer, 0 before any failed.
    [[nodiscard]] std::uint32_t LastTransferError() const { return FLastTransferError.load(); }

    [[nodiscard]] bool IsAcceptedHardwareId(const std::vector<std::string>& hardwareIds) const;
    const std::vector<std::string>& HidDeviceList() const { return FHidDeviceList; }
    HidBackend& Backend() { return *FBackend; }

    // Events. With FastOnData they run on the reader thread and must not touch the user interface;
    // otherwise they go through the main-thread invoker.
    bool FastOnData = false;
    TuiHIDDataReceived OnData;
    TuiHIDParsedDataReceived OnParsedData;
    TuiHIDDeviceNotConnected OnDeviceNotConnected;

    /// How events reach the main thread. The default runs them on the reader thread, one at a time.
    /// An invoker must not wait for a main thread that is itself inside HidStopRead.
    void SetMainThreadInvoker(MainThreadInvoker invoker);
    /// Where the reader's one diagnostic line goes (default: the platform's debug output).
    void SetDebugOutput(std::function<void(const std::string&)> output);

private:
    struct Reader;
    template <class Act> void search(Act&& act);
    void readLoop(Reader& reader);
    void dispatchReport(Reader& reader, std::span<const std::uint8_t> report);
    void raise(const std::function<void()>& event);
    [[nodiscard]] bool stopRequested(std::uint64_t generation);

    [[nodiscard]] std::uint32_t noteTransfer(std::uint32_t result);

    std::shared_ptr<HidBackend> FBackend;
    std::vector<std::string> FHidDeviceList;
    std::atomic<std::uint64_t> FFailedTransfers { 0 };
    std::atomic<std::uint32_t> FLastTransferError { 0 };

    MainThreadInvoker FInvoker;
    std::function<void(const std::string&)> FDebugOutput;
    std::mutex FEventMutex; // serialises events under the default invoker

    // The stop signal: HidStopRead moves the generation on; a reader ends when its own is past.
    std::mutex FStopMutex;
    std::condition_variable FStopCondition;
    std::uint64_t FGeneration = 0;

    std::mutex FReadersMutex;
    std::vector<std::unique_ptr<Reader>> FReaders;

    std::mutex FUsageMutex;
    std::vector<std::uint16_t> FPreviousUsages; // shared by every reader, as the button state is
};

} // namespace bv
