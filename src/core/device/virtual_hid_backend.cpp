#include "device/virtual_hid_backend.h"

#include "platform/hid_hardware_ids.h"
#include "platform/hid_report_descriptor.h"

#include <chrono>
#include <thread>

namespace bv {

namespace {

// token = device index << 16 | collection index
constexpr unsigned kCollectionBits = 16;

class VirtualHidHandle : public HidDevice {
public:
    VirtualHidHandle(std::shared_ptr<VirtualHidDevice> device, HidTopCollection collection)
        : device_(std::move(device))
        , collection_(std::move(collection))
    {
    }

    bool attributes(HidAttributes& out) override
    {
        if (!device_->plugged())
            return false;
        out = device_->attributes();
        return true;
    }
    std::optional<HidCaps> capabilities() override { return collection_.caps; }
    std::uint32_t setFeature(std::span<const std::uint8_t> report) override { return device_->setFeature(report); }
    std::uint32_t getFeature(std::span<std::uint8_t> report) override { return device_->getFeature(report); }
    std::uint32_t writeOutput(std::span<const std::uint8_t> report) override { return device_->writeOutput(report); }
    HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        return device_->readInput(buffer, timeoutMs);
    }
    std::size_t maxInputUsageListLength() override { return MaxInputUsageListLength(collection_); }
    std::vector<USAGE_AND_PAGE> inputUsagesOn(std::span<const std::uint8_t> report, std::size_t limit) override
    {
        return InputUsagesOn(collection_, report, limit);
    }

private:
    std::shared_ptr<VirtualHidDevice> device_;
    HidTopCollection collection_;
};

} // namespace

std::uint32_t VirtualHidDevice::writeOutput(std::span<const std::uint8_t>)
{
    return kHidErrorRejected;
}

HidReadResult VirtualHidDevice::readInput(std::span<std::uint8_t>, int timeoutMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return {};
}

VirtualHidBackend::VirtualHidBackend(std::vector<std::shared_ptr<VirtualHidDevice>> devices)
    : devices_(std::move(devices))
{
}

void VirtualHidBackend::add(std::shared_ptr<VirtualHidDevice> device)
{
    std::lock_guard lock(mutex_);
    devices_.push_back(std::move(device));
}

std::shared_ptr<VirtualHidDevice> VirtualHidBackend::device(std::size_t index) const
{
    std::lock_guard lock(mutex_);
    return index < devices_.size() ? devices_[index] : nullptr;
}

std::optional<std::vector<HidInterface>> VirtualHidBackend::enumerate()
{
    std::vector<std::shared_ptr<VirtualHidDevice>> devices;
    {
        std::lock_guard lock(mutex_);
        devices = devices_;
    }
    std::vector<HidInterface> out;
    for (std::size_t d = 0; d < devices.size(); ++d) {
        const auto& dev = devices[d];
        if (!dev->plugged())
            continue;
        const auto parsed = ParseHidReportDescriptor(dev->reportDescriptor());
        const HidAttributes a = dev->attributes();
        const std::string path = "virtual/" + std::to_string(d);
        if (!parsed.ok) {
            HidInterface itf;
            itf.path = path;
            itf.hardwareIds = WindowsHidHardwareIds({ a.VendorID, a.ProductID, a.VersionNumber, {}, {}, 0, 0 });
            itf.problem = "its report descriptor is malformed (" + parsed.error + ")";
            itf.token = std::uint64_t { d } << kCollectionBits | 0xFFFF;
            out.push_back(std::move(itf));
            continue;
        }
        const auto& collections = parsed.descriptor.collections;
        for (std::size_t c = 0; c < collections.size() && c < 0xFFFF; ++c) {
            const bool several = collections.size() > 1;
            HidHardwareIdSource src { a.VendorID, a.ProductID, a.VersionNumber, {}, {}, collections[c].caps.UsagePage,
                collections[c].caps.Usage };
            if (several)
                src.collectionNumber = static_cast<std::uint8_t>(c + 1);
            HidInterface itf;
            itf.path = several ? path + "&col" + (c + 1 < 10 ? "0" : "") + std::to_string(c + 1) : path;
            itf.hardwareIds = WindowsHidHardwareIds(src);
            itf.knownCaps = collections[c].caps;
            itf.token = std::uint64_t { d } << kCollectionBits | c;
            out.push_back(std::move(itf));
        }
    }
    return out;
}

HidOpenResult VirtualHidBackend::open(const HidInterface& itf, HidOpenMode)
{
    HidOpenResult r;
    const auto dev = device(static_cast<std::size_t>(itf.token >> kCollectionBits));
    if (!dev || !dev->plugged()) {
        r.error = kHidErrorNoDevice;
        r.why = "the device has been unplugged";
        return r;
    }
    const std::size_t c = static_cast<std::size_t>(itf.token & 0xFFFF);
    const auto parsed = ParseHidReportDescriptor(dev->reportDescriptor());
    if (!parsed.ok || c >= parsed.descriptor.collections.size()) {
        r.error = kHidErrorInvalidRequest;
        r.why = itf.problem.empty() ? "the device's report descriptor has changed" : itf.problem;
        return r;
    }
    r.device = std::make_unique<VirtualHidHandle>(dev, parsed.descriptor.collections[c]);
    return r;
}

} // namespace bv
