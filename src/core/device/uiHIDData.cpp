#include "device/uiHIDData.h"

#include "platform/hid_devices.h"
#include "platform/ini_file.h"
#include "util/ascii.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace bv {

namespace {

constexpr int kMaxHidDeviceListEntries = 101;
// Most usages that one report is asked for when the parsed-data event is computed.
constexpr std::size_t kMaxUsagesPerReport = 100;
// How long one reader poll waits for an input report before it looks at the stop signal again.
constexpr int kReaderPollMs = 1;

bool matches(const HidCaps& caps, USAGE_AND_PAGE up)
{
    return caps.Usage == up.Usage && caps.UsagePage == up.UsagePage;
}

} // namespace

struct TuiHIDData::Reader {
    std::string deviceId;
    std::string path;
    std::unique_ptr<HidDevice> device;
    std::size_t inputLength = 0;
    std::uint64_t generation = 0;
    std::thread thread;
};

TuiHIDData::TuiHIDData(std::shared_ptr<HidBackend> backend, std::vector<std::string> hidDeviceList)
    : FBackend(std::move(backend))
    , FHidDeviceList(std::move(hidDeviceList))
{
    FInvoker = [this](const std::function<void()>& event) {
        std::lock_guard lock(FEventMutex);
        event();
    };
    FDebugOutput = [](const std::string& text) { platform::hidDebugString(text); };
}

TuiHIDData::~TuiHIDData()
{
    HidStopRead();
    // A reader that called HidStopRead from its own event is still listed; it has ended by now or
    // ends at its next poll.
    std::vector<std::unique_ptr<Reader>> rest;
    {
        std::lock_guard lock(FReadersMutex);
        rest.swap(FReaders);
    }
    for (auto& r : rest)
        if (r->thread.joinable())
            r->thread.join();
}

std::vector<std::string> TuiHIDData::ReadHidDeviceList(const platform::IniFile& ini)
{
    std::vector<std::string> list;
    for (int n = 1; n <= kMaxHidDeviceListEntries; ++n) {
        const auto value = ini.value("IncludeHIDDeviceList", "id" + std::to_string(n));
        if (!value || value->empty())
            break;
        list.push_back(*value);
    }
    return list;
}

std::vector<std::string> TuiHIDData::LoadHidDeviceList(const std::filesystem::path& programFolder)
{
    return ReadHidDeviceList(platform::IniFile::load(programFolder / "config.ini"));
}

bool TuiHIDData::IsAcceptedHardwareId(const std::vector<std::string>& hardwareIds) const
{
    if (FHidDeviceList.empty())
        return true;
    for (const auto& wanted : FHidDeviceList)
        for (const auto& id : hardwareIds)
            if (util::SameIgnoringAsciiCase(wanted, id))
                return true;
    return false;
}

template <class Act> void TuiHIDData::search(Act&& act)
{
    const auto interfaces = FBackend->enumerate();
    if (!interfaces)
        return;
    for (const auto& itf : *interfaces) {
        if (!IsAcceptedHardwareId(itf.hardwareIds))
            continue;
        auto opened = FBackend->open(itf, HidOpenMode::Transfer);
        if (!opened.device)
            continue;
        HidAttributes attributes;
        if (!opened.device->attributes(attributes))
            continue;
        const auto caps = opened.device->capabilities();
        if (!caps)
            continue;
        act(itf, *opened.device, *caps);
        // The device closes here, before the next interface is opened.
    }
}

bool TuiHIDData::IsDeviceExist(const THIDDataParam& ReportData)
{
    bool found = false;
    search([&](const HidInterface&, HidDevice&, const HidCaps& caps) {
        if (matches(caps, ReportData.UsageAndPage))
            found = true;
    });
    return found;
}

std::uint32_t TuiHIDData::noteTransfer(std::uint32_t result)
{
    if (result != 0) {
        ++FFailedTransfers;
        FLastTransferError = result;
    }
    return result;
}

std::uint32_t TuiHIDData::HidFindAndSetFeatureReport(THIDDataParam& ReportData)
{
    const std::uint32_t size = ReportData.Data.DATASIZE;
    if (size == 0 || size > kHidMaxReportSize)
        return noteTransfer(kHidErrorInvalidRequest);
    std::uint32_t result = kHidErrorNoDevice;
    search([&](const HidInterface&, HidDevice& device, const HidCaps& caps) {
        if (!matches(caps, ReportData.UsageAndPage) || caps.FeatureReportByteLength < size)
            return;
        result = device.setFeature({ ReportData.Data.bytes(), size });
    });
    return noteTransfer(result);
}

std::uint32_t TuiHIDData::HidFindAndGetFeatureReport(THIDDataParam& ReportData)
{
    const std::uint32_t size = ReportData.Data.DATASIZE;
    if (size == 0 || size > kHidMaxReportSize)
        return noteTransfer(kHidErrorInvalidRequest);
    std::uint32_t result = kHidErrorNoDevice;
    std::vector<std::uint8_t> buffer;
    search([&](const HidInterface&, HidDevice& device, const HidCaps& caps) {
        if (!matches(caps, ReportData.UsageAndPage) || caps.FeatureReportByteLength < size)
            return;
        // A fresh buffer each time, so a device that answers short leaves zeros, not a previous report.
        buffer.assign(kHidMaxReportSize, 0);
        buffer[0] = ReportData.Data.ReportID;
        result = device.getFeature({ buffer.data(), size });
        if (result == 0)
            std::memcpy(ReportData.Data.bytes(), buffer.data(), size);
    });
    return noteTransfer(result);
}

std::uint32_t TuiHIDData::HidFindAndWriteDevice(THIDDataParam& ReportData)
{
    const std::uint32_t size = ReportData.Data.DATASIZE;
    // DATASIZE + 1 bytes must still lie inside ReportID and DATAReally.
    if (size >= kHidMaxReportSize)
        return 0;
    std::uint32_t written = 0;
    search([&](const HidInterface&, HidDevice& device, const HidCaps& caps) {
        if (!matches(caps, ReportData.UsageAndPage) || caps.OutputReportByteLength < size)
            return;
        if (device.writeOutput({ ReportData.Data.bytes(), size + 1 }) == 0)
            written = 1;
    });
    return written;
}

std::optional<std::vector<HidInterfaceReport>> TuiHIDData::DescribeInterfaces()
{
    const auto interfaces = FBackend->enumerate();
    if (!interfaces)
        return std::nullopt;
    std::vector<HidInterfaceReport> reports;
    for (const auto& itf : *interfaces) {
        HidInterfaceReport r;
        r.itf = itf;
        r.caps = itf.knownCaps;
        r.accepted = IsAcceptedHardwareId(itf.hardwareIds);
        auto opened = FBackend->open(itf, HidOpenMode::Transfer);
        HidAttributes attributes;
        if (!opened.device) {
            r.openError = opened.error;
            r.error = !opened.why.empty() ? opened.why : FBackend->describeError(opened.error);
        } else if (!opened.device->attributes(attributes)) {
            r.error = "the device does not answer the request for its attributes";
        } else if (const auto caps = opened.device->capabilities()) {
            r.caps = caps;
        } else {
            r.error = "the device's capabilities cannot be read";
        }
        reports.push_back(std::move(r));
    }
    return reports;
}

void TuiHIDData::SetMainThreadInvoker(MainThreadInvoker invoker)
{
    if (invoker)
        FInvoker = std::move(invoker);
}

void TuiHIDData::SetDebugOutput(std::function<void(const std::string&)> output)
{
    FDebugOutput = std::move(output);
}

void TuiHIDData::raise(const std::function<void()>& event)
{
    if (FastOnData)
        event();
    else
        FInvoker(event);
}

bool TuiHIDData::stopRequested(std::uint64_t generation)
{
    std::lock_guard lock(FStopMutex);
    return FGeneration != generation;
}

void TuiHIDData::HidFindAndReadDevice(USAGE_AND_PAGE UsageAndPage)
{
    std::uint64_t generation;
    {
        std::lock_guard lock(FStopMutex);
        generation = FGeneration;
    }
    search([&](const HidInterface& itf, HidDevice&, const HidCaps& caps) {
        if (!matches(caps, UsageAndPage))
            return;
        auto opened = FBackend->open(itf, HidOpenMode::Read);
        if (!opened.device)
            return;
        const auto readCaps = opened.device->capabilities();
        // A collection without input reports has nothing to read.
        if (!readCaps || readCaps->InputReportByteLength == 0)
            return;
        auto reader = std::make_unique<Reader>();
        reader->deviceId = itf.hardwareIds.empty() ? std::string() : itf.hardwareIds.front();
        reader->path = itf.path;
        reader->device = std::move(opened.device);
        reader->inputLength = readCaps->InputReportByteLength;
        reader->generation = generation;
        Reader* raw = reader.get();
        std::lock_guard lock(FReadersMutex);
        FReaders.push_back(std::move(reader));
        raw->thread = std::thread([this, raw] { readLoop(*raw); });
    });
}

void TuiHIDData::HidStopRead()
{
    {
        std::lock_guard lock(FStopMutex);
        ++FGeneration;
    }
    FStopCondition.notify_all();

    std::vector<std::unique_ptr<Reader>> stopping;
    {
        std::lock_guard lock(FReadersMutex);
        // A reader that asks to stop from its own event cannot wait for itself; it stays listed.
        auto self = std::stable_partition(FReaders.begin(), FReaders.end(),
            [](const std::unique_ptr<Reader>& r) { return r->thread.get_id() == std::this_thread::get_id(); });
        std::move(self, FReaders.end(), std::back_inserter(stopping));
        FReaders.erase(self, FReaders.end());
    }
    for (auto& r : stopping)
        if (r->thread.joinable())
            r->thread.join();
}

void TuiHIDData::readLoop(Reader& reader)
{
    std::vector<std::uint8_t> report(reader.inputLength);
    while (!stopRequested(reader.generation)) {
        std::fill(report.begin(), report.end(), 0);
        const HidReadResult r = reader.device->readInput(report, kReaderPollMs);
        if (stopRequested(reader.generation))
            break;
        if (r.status == HidReadResult::Status::Data) {
            if (r.length > 0)
                dispatchReport(reader, std::span<const std::uint8_t>(report).first(std::min(r.length, report.size())));
        } else if (r.status == HidReadResult::Status::Gone) {
            if (FDebugOutput)
                FDebugOutput("ERROR_DEVICE_NOT_CONNECTED++++++++++++++++");
            if (OnDeviceNotConnected) {
                const std::string id = reader.deviceId;
                const std::string path = reader.path;
                raise([this, id, path] {
                    if (OnDeviceNotConnected)
                        OnDeviceNotConnected(id, path);
                });
            }
            break;
        } else if (r.status == HidReadResult::Status::Failed) {
            // Other failures are retried, but not in a tight loop.
            std::unique_lock lock(FStopMutex);
            FStopCondition.wait_for(
                lock, std::chrono::milliseconds(kReaderPollMs), [&] { return FGeneration != reader.generation; });
        }
    }
    reader.device.reset();
}

void TuiHIDData::dispatchReport(Reader& reader, std::span<const std::uint8_t> report)
{
    if (OnData) {
        const std::uint16_t size = static_cast<std::uint16_t>(std::min<std::size_t>(report.size() - 1, 0xFFFF));
        raise([&] {
            if (OnData)
                OnData(reader.deviceId, reader.path, report[0], report.data() + 1, size);
        });
    }
    if (!OnParsedData)
        return;

    std::uint32_t buttonData = 0;
    const std::size_t n = reader.device->maxInputUsageListLength();
    if (n != 0) {
        std::vector<std::uint16_t> current;
        for (const auto& u : reader.device->inputUsagesOn(report, kMaxUsagesPerReport))
            current.push_back(u.Usage);
        if (current.size() > n)
            current.resize(n);
        std::vector<std::uint16_t> released, pressed;
        {
            std::lock_guard lock(FUsageMutex);
            for (auto u : FPreviousUsages)
                if (std::find(current.begin(), current.end(), u) == current.end())
                    released.push_back(u);
            for (auto u : current)
                if (std::find(FPreviousUsages.begin(), FPreviousUsages.end(), u) == FPreviousUsages.end())
                    pressed.push_back(u);
            FPreviousUsages = current;
        }
        if (!released.empty())
            buttonData = released.front();
        else if (!pressed.empty())
            buttonData = static_cast<std::uint32_t>(pressed.front()) << 16;
    }
    raise([&] {
        if (OnParsedData)
            OnParsedData(reader.deviceId, reader.path, report[0], buttonData);
    });
}

} // namespace bv
