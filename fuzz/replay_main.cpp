// Runs a fuzz target over every file of its corpus (or the files named), so the
// corpus and the crash regressions run as an ordinary test without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
int runFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    int failures = 0;
    int runs = 0;
    // The empty input always runs: it is the smallest case every parser must survive.
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(p)) {
                if (e.is_regular_file()) {
                    failures += runFile(e.path());
                    ++runs;
                }
            }
        } else if (std::filesystem::exists(p)) {
            failures += runFile(p);
            ++runs;
        }
    }
    std::printf("replayed %d inputs\n", runs + 1);
    return failures == 0 ? 0 : 1;
}
