// A save into a folder that holds many other files (a state file in /tmp, a documents folder):
// the save itself, and the same with the folder swept for stale temporaries on every save, as
// it was before the sweep ran once per file and process.
#include "platform/atomic_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path dir;
    explicit Folder(int others)
        : dir(
            fs::temp_directory_path() / ("bvbench-atomic-" + std::to_string(::getpid()) + "-" + std::to_string(others)))
    {
        fs::create_directories(dir);
        for (int i = 0; i < others; ++i)
            std::ofstream(dir / ("other" + std::to_string(i)));
    }
    ~Folder()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void save(benchmark::State& state, bool sweepEverySave)
{
    const Folder folder(static_cast<int>(state.range(0)));
    const fs::path target = folder.dir / "mouse.state";
    const std::vector<std::uint8_t> data(4096, 0x5A);
    for (auto _ : state) {
        if (sweepEverySave)
            bv::platform::removeStaleTemporaries(target);
        bv::platform::writeFileAtomic(target, data);
    }
}

void BM_Save(benchmark::State& state)
{
    save(state, false);
}
void BM_SaveSweepingEverySave(benchmark::State& state)
{
    save(state, true);
}

BENCHMARK(BM_Save)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveSweepingEverySave)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
