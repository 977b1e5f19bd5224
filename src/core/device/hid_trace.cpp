#include "device/hid_trace.h"

namespace bv {

namespace {

class TracedDevice : public HidDevice {
public:
    TracedDevice(std::unique_ptr<HidDevice> inner, HidTraceSink sink)
        : inner_(std::move(inner))
        , sink_(std::move(sink))
    {
    }

    bool attributes(HidAttributes& out) override { return inner_->attributes(out); }
    std::optional<HidCaps> capabilities() override { return inner_->capabilities(); }
    std::uint32_t setFeature(std::span<const std::uint8_t> report) override
    {
        sink_("SET " + HexString(report));
        return inner_->setFeature(report);
    }
    std::uint32_t getFeature(std::span<std::uint8_t> report) override
    {
        const std::uint32_t r = inner_->getFeature(report);
        if (r == 0)
            sink_("GET " + HexString(report));
        return r;
    }
    std::uint32_t writeOutput(std::span<const std::uint8_t> report) override { return inner_->writeOutput(report); }
    HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        return inner_->readInput(buffer, timeoutMs);
    }
    std::size_t maxInputUsageListLength() override { return inner_->maxInputUsageListLength(); }
    std::vector<USAGE_AND_PAGE> inputUsagesOn(std::span<const std::uint8_t> report, std::size_t limit) override
    {
        return inner_->inputUsagesOn(report, limit);
    }

private:
    std::unique_ptr<HidDevice> inner_;
    HidTraceSink sink_;
};

class TracingBackend : public HidBackend {
public:
    TracingBackend(std::shared_ptr<HidBackend> inner, HidTraceSink sink)
        : inner_(std::move(inner))
        , sink_(std::move(sink))
    {
    }

    std::optional<std::vector<HidInterface>> enumerate() override { return inner_->enumerate(); }
    HidOpenResult open(const HidInterface& itf, HidOpenMode mode) override
    {
        HidOpenResult r = inner_->open(itf, mode);
        if (r.device)
            r.device = std::make_unique<TracedDevice>(std::move(r.device), sink_);
        return r;
    }
    std::string describeError(std::uint32_t code) const override { return inner_->describeError(code); }

private:
    std::shared_ptr<HidBackend> inner_;
    HidTraceSink sink_;
};

} // namespace

std::shared_ptr<HidBackend> TraceFeatureReports(std::shared_ptr<HidBackend> inner, HidTraceSink sink)
{
    return std::make_shared<TracingBackend>(std::move(inner), std::move(sink));
}

std::string HexString(std::span<const std::uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        s.push_back(kDigits[b >> 4]);
        s.push_back(kDigits[b & 15]);
    }
    return s;
}

} // namespace bv
