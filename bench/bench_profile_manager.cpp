// Start-up and Apply-time costs of the profile manager on a real file tree.
#include "platform/registry.h"
#include "settings/DMUnit.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Home {
    Home()
        : root(fs::temp_directory_path() / ("bvbench-" + std::to_string(::getpid())))
    {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~Home() { fs::remove_all(root); }
    bv::DMEnvironment env(bv::platform::Registry& registry) const
    {
        return { &registry, (root / "Documents").string(), (root / "program").string(), "0409" };
    }
    fs::path root;
};

// The first start: factory records into the registry, five profile files written.
void BM_FirstStart(benchmark::State& state)
{
    Home home;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(home.root);
        fs::create_directories(home.root);
        auto registry = bv::platform::openFileRegistry(home.root / "registry");
        state.ResumeTiming();
        auto dm = std::make_unique<bv::TDM>(home.env(*registry));
        dm->DataModuleCreate();
        benchmark::DoNotOptimize(dm->ProfileIndex());
    }
}
BENCHMARK(BM_FirstStart)->Unit(benchmark::kMillisecond);

// Every later start: records and five profiles read back.
void BM_Start(benchmark::State& state)
{
    Home home;
    auto registry = bv::platform::openFileRegistry(home.root / "registry");
    bv::TDM(home.env(*registry)).DataModuleCreate();
    for (auto _ : state) {
        auto dm = std::make_unique<bv::TDM>(home.env(*registry));
        dm->DataModuleCreate();
        benchmark::DoNotOptimize(dm->ProfileIndex());
    }
}
BENCHMARK(BM_Start)->Unit(benchmark::kMillisecond);

// The storing half of Apply: current profile, five profile files and registry values, mode record.
void BM_ApplyStore(benchmark::State& state)
{
    Home home;
    auto registry = bv::platform::openFileRegistry(home.root / "registry");
    auto dm = std::make_unique<bv::TDM>(home.env(*registry));
    dm->DataModuleCreate();
    for (auto _ : state) {
        dm->SaveBackToCurrentProfileInfo();
        dm->SaveCurrentProfileInfoToRegistry();
        dm->SaveCurrentProfileInfoToFile();
        dm->SaveBackAllProfileInfoToFile();
        dm->SaveBackAllProfileInfoToRegistry();
        dm->SaveProfileGroupSettingInfoToRegistry();
    }
}
BENCHMARK(BM_ApplyStore)->Unit(benchmark::kMillisecond);

} // namespace
