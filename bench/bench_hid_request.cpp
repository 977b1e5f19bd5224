// What one device request costs as the system holds more HID devices: every request enumerates
// all of them again, reads their descriptors and opens each accepted one. The mouse is enumerated
// last, after N - 1 keyboards.
#include "../tests/core/device_fakes.h"
#include "../tests/temp_dir.h"
#include "device/Function_Solmarchs.h"
#include "device/virtual_mouse.h"

#include <benchmark/benchmark.h>

namespace {

std::vector<std::shared_ptr<bv::VirtualHidDevice>> devices(int count, const std::shared_ptr<bv::VirtualMouse>& mouse)
{
    std::vector<std::shared_ptr<bv::VirtualHidDevice>> out;
    for (int i = 1; i < count; ++i)
        out.push_back(std::make_shared<bv::test::PlainHidDevice>(
            bv::test::keyboardDescriptor(), bv::HidAttributes { 0x046D, static_cast<std::uint16_t>(0xC300 + i), 0 }));
    out.push_back(mouse);
    return out;
}

// One memory write: one set-feature request.
void BM_VirtualWriteByte(benchmark::State& state)
{
    auto mouse = std::make_shared<bv::VirtualMouse>();
    bv::TuiHIDData hid(std::make_shared<bv::VirtualHidBackend>(devices(static_cast<int>(state.range(0)), mouse)));
    bv::MouseUsageAndPage = bv::kMouseVendorCollection;
    for (auto _ : state)
        benchmark::DoNotOptimize(bv::WriteDeviceByte(hid, 1, bv::kAddrSetSelector));
    if (mouse->state().memory[bv::kAddrSetSelector] != 1)
        state.SkipWithError("the write did not reach the mouse");
}
BENCHMARK(BM_VirtualWriteByte)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

struct FakeSystem {
    explicit FakeSystem(int count)
        : tree(dir.path())
        , mouse(std::make_shared<bv::VirtualMouse>())
    {
        const auto all = devices(count, mouse);
        for (std::size_t i = 0; i < all.size(); ++i)
            tree.addNode(static_cast<unsigned>(i), all[i]);
        hid = std::make_unique<bv::TuiHIDData>(bv::platform::openHidrawBackend(tree.options()));
        bv::MouseUsageAndPage = bv::kMouseVendorCollection;
    }
    bv::test::TempDir dir;
    bv::test::FakeHidrawTree tree;
    std::shared_ptr<bv::VirtualMouse> mouse;
    std::unique_ptr<bv::TuiHIDData> hid;
};

void BM_HidrawWriteByte(benchmark::State& state)
{
    FakeSystem sys(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(bv::WriteDeviceByte(*sys.hid, 1, bv::kAddrSetSelector));
    if (sys.mouse->state().memory[bv::kAddrSetSelector] != 1)
        state.SkipWithError("the write did not reach the mouse");
}
BENCHMARK(BM_HidrawWriteByte)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

// One memory read: a request and a fetch, so two searches.
void BM_HidrawReadByte(benchmark::State& state)
{
    FakeSystem sys(static_cast<int>(state.range(0)));
    std::uint8_t value = 0;
    for (auto _ : state) {
        if (bv::ReadDeviceByte(*sys.hid, value, bv::kAddrSetSelector) != 0)
            state.SkipWithError("the read failed");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_HidrawReadByte)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

} // namespace
