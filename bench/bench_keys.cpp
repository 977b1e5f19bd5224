// Costs the macro editor pays on every edit: key-name lookups while rendering, the error check
// after each action operation, and writing every macro file when the editor closes.
#include "keys/uiStdCmd.h"
#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::unique_ptr<bv::TMACROKEYINFOLIST> fullList()
{
    auto list = std::make_unique<bv::TMACROKEYINFOLIST>();
    std::memset(static_cast<void*>(list.get()), 0, sizeof *list);
    for (int m = 0; m < bv::kMacroListMax; ++m) {
        bv::TMACROKEYINFO& macro = list->MacroInfos[m];
        bv::SetMacroName(macro, "macro " + std::to_string(m));
        macro.MacroListCount = bv::kMacroActionsMax;
        for (int i = 0; i < bv::kMacroActionsMax; ++i)
            macro.MacroList[i] = { bv::kActionKey, static_cast<std::uint16_t>(i % 2 == 0),
                static_cast<std::uint8_t>(0x41 + (i / 2) % 26), static_cast<std::uint8_t>(i % 5 == 0) };
    }
    list->nMacroInfoCount = bv::kMacroListMax;
    return list;
}

// One full render of a 128-action macro: a name per action.
void BM_KeyNamesOfAFullMacro(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < bv::kMacroActionsMax; ++i)
            benchmark::DoNotOptimize(bv::GetKeyName(0x41 + i % 26, i % 2));
}
BENCHMARK(BM_KeyNamesOfAFullMacro);

void BM_CheckErrorsFullMacro(benchmark::State& state)
{
    auto list = fullList();
    bv::TuiMacroClass model(*list);
    for (auto _ : state)
        benchmark::DoNotOptimize(model.CurrentMacroAction()->CheckErrors());
}
BENCHMARK(BM_CheckErrorsFullMacro);

void BM_CheckAllErrorsTwentyFullMacros(benchmark::State& state)
{
    auto list = fullList();
    bv::TuiMacroClass model(*list);
    for (auto _ : state)
        model.CheckAllErrors();
}
BENCHMARK(BM_CheckAllErrorsTwentyFullMacros);

// Closing the editor with OK: twenty files, each written and flushed to disk.
void BM_SaveTwentyMacroFiles(benchmark::State& state)
{
    const fs::path folder = fs::temp_directory_path() / ("bvbench-macros-" + std::to_string(::getpid()));
    auto list = fullList();
    for (auto _ : state)
        bv::TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*list, folder.string());
    fs::remove_all(folder);
}
BENCHMARK(BM_SaveTwentyMacroFiles)->Unit(benchmark::kMillisecond);

} // namespace
