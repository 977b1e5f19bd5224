// One whole Apply against the virtual mouse: our own work, and the same with the pauses the
// sequence requires, so the first can be read as a fraction of the second.
#include "device/apply_sequence.h"
#include "device/virtual_hid_backend.h"
#include "device/virtual_mouse.h"
#include "settings/DMUnit.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using namespace bv;

std::unique_ptr<TMOUSEPROFILEINFO> profileWithMacros(int index)
{
    std::vector<std::uint8_t> image(sizeof(TMOUSEPROFILEINFO), 0);
    uiProfileGame1RestoreToDefault(image);
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(p.get()), image.data(), image.size());
    p->ConfigInfo.LEDConfig = ProfileLedColour(index, p->ConfigInfo.LEDConfig);
    // Five full macros on five buttons: the largest image the mouse takes.
    auto& list = p->MacroKeyInfoList;
    for (int m = 0; m < 5; ++m) {
        auto& macro = list.MacroInfos[m];
        macro.nMacroIndex = static_cast<std::uint16_t>(m);
        macro.MacroListCount = 127;
        macro.nLoopCount = 2;
        for (int k = 0; k < 127; ++k)
            macro.MacroList[k] = { 4, static_cast<std::uint16_t>(k % 2), static_cast<std::uint8_t>('A' + m), 0 };
        auto& b = p->ConfigInfo.ButtonFuncInfo[m];
        b.FuncKind = kFuncKindMacro;
        b.DeviceCode = 17;
        b.MacroKeyInfo = macro;
    }
    list.nMacroInfoCount = 5;
    return p;
}

class Profiles final : public ApplyProfiles {
public:
    Profiles()
    {
        modes[0] = profileWithMacros(0);
        modes[1] = profileWithMacros(1);
    }
    TMOUSEPROFILEINFO& CurrentProfile() override { return *modes[0]; }
    void StoreBackCurrentProfile() override { }
    void ReadModeProfile(int mode, TMOUSEPROFILEINFO& out) override { out = *modes[mode]; }
    int ActiveMode() const override { return 0; }
    std::unique_ptr<TMOUSEPROFILEINFO> modes[2];
};

void runApply(benchmark::State& state, bool realPauses)
{
    auto mouse = std::make_shared<VirtualMouse>();
    TuiHIDData hid(std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { mouse }));
    Profiles profiles;
    ApplyHooks hooks;
    if (realPauses)
        hooks.Sequence.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    else
        hooks.Sequence.pause = [](int) {};
    for (auto _ : state) {
        auto result = ApplyDeviceSequence(hid, profiles, 0, hooks);
        benchmark::DoNotOptimize(result.Written);
    }
}

void BM_ApplyWork(benchmark::State& state)
{
    runApply(state, false);
}
BENCHMARK(BM_ApplyWork)->Unit(benchmark::kMillisecond);

void BM_ApplyWithPauses(benchmark::State& state)
{
    runApply(state, true);
}
BENCHMARK(BM_ApplyWithPauses)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
