#pragma once
// A HID backend made of emulated devices: each one offers its report descriptor and answers
// transfers; the backend presents one interface per top-level collection, as Windows does.

#include "platform/hid_backend.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace bv {

/// The firmware side of one emulated device. Must be safe to call from several threads.
class VirtualHidDevice {
public:
    virtual ~VirtualHidDevice() = default;

    virtual HidAttributes attributes() const = 0;
    virtual std::vector<std::uint8_t> reportDescriptor() const = 0;
    /// False while the device is unplugged: it is not enumerated and cannot be opened.
    [[nodiscard]] virtual bool plugged() const { return true; }

    [[nodiscard]] virtual std::uint32_t setFeature(std::span<const std::uint8_t> report) = 0;
    [[nodiscard]] virtual std::uint32_t getFeature(std::span<std::uint8_t> report) = 0;
    [[nodiscard]] virtual std::uint32_t writeOutput(std::span<const std::uint8_t> report);
    /// Waits up to `timeoutMs` for an input report. The default has none to give.
    virtual HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs);
};

class VirtualHidBackend : public HidBackend {
public:
    explicit VirtualHidBackend(std::vector<std::shared_ptr<VirtualHidDevice>> devices = {});

    /// Adds a device; it is enumerated after those added before.
    void add(std::shared_ptr<VirtualHidDevice> device);

    [[nodiscard]] std::optional<std::vector<HidInterface>> enumerate() override;
    HidOpenResult open(const HidInterface& itf, HidOpenMode mode) override;

private:
    std::shared_ptr<VirtualHidDevice> device(std::size_t index) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<VirtualHidDevice>> devices_;
};

} // namespace bv
