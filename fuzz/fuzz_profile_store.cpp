// Feeds arbitrary bytes through every path that loads a stored image: the mode record, the
// current-profile record, a game profile from the registry and one from its file, and a value file
// of the registry stand-in, then runs the operations that read those images back. Files live in
// memory, so nothing touches the disk and every input starts from the same state.
#include "platform/file_system.h"
#include "platform/registry.h"
#include "settings/DMUnit.h"
#include "settings/store_error.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

namespace fs = std::filesystem;
using bv::platform::RootKey;

const char* kKey = "software\\BrisvaneGMMouse";
const fs::path kRegistry = "/registry";
// The registry stand-in's folder of kKey, and a value file's type header (REG_BINARY).
const fs::path kKeyFolder = kRegistry / "HKCU" / "software" / "BrisvaneGMMouse";
constexpr std::uint8_t kBinaryHeader[] = { 3, 0, 0, 0 };

bv::DMEnvironment environment(bv::platform::Registry& registry, bv::platform::FileSystem& files)
{
    bv::DMEnvironment env { &registry, "/Documents", "/nonexistent-bvfuzz-program", "0409" };
    env.Files = &files;
    return env;
}

// A valid set of stored records to patch, so that inputs reach past the first sanity checks.
std::vector<std::uint8_t> factoryValue(const char* name)
{
    static std::unique_ptr<bv::platform::Registry> registry;
    if (!registry) {
        static auto files = bv::platform::openMemoryFileSystem();
        registry = bv::platform::openMemoryRegistry();
        bv::TDM dm(environment(*registry, *files));
        dm.DataModuleCreate();
        dm.ProfileSettingGroup().ProfileSettingList[1].StorageType = 0;
        dm.SaveProfileGroupSettingInfoToRegistry();
        dm.SaveBackAllProfileInfoToRegistry();
    }
    return registry->readBinary(RootKey::CurrentUser, kKey, name).value_or(std::vector<std::uint8_t> {});
}

// A value the store cannot read is thrown, as the window expects; the profile must stay whole.
void reloadCurrentProfile(bv::TDM& dm)
{
    const std::vector<std::uint8_t> before = dm.ProfileComponent(dm.ProfileIndex()).Image();
    try {
        (void)dm.LoadCurrentProfileInfoFromRegistry();
    } catch (const std::exception&) {
        if (dm.ProfileComponent(dm.ProfileIndex()).Image() != before)
            __builtin_trap();
    }
}

// Every input allocates and frees a few profile images of over 100 KB. glibc hands blocks that
// size back to the kernel on each free, and the page faults that follow cost three quarters of
// the run's time; keeping them in the heap triples the executions per second.
[[maybe_unused]] const bool kHeapKept = [] {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    return true;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::uint8_t mode = data[0];
    const std::size_t offset = (static_cast<std::size_t>(data[1]) << 8 | data[2]) * 2;
    const std::uint8_t* payload = data + 3;
    const std::size_t payloadSize = size - 3;

    // Either the raw bytes are the stored image, or they patch a valid one at `offset`.
    auto image = [&](const char* name) {
        if (mode & 0x80)
            return std::vector<std::uint8_t>(payload, payload + payloadSize);
        auto v = factoryValue(name);
        if (offset < v.size())
            std::memcpy(v.data() + offset, payload, std::min(payloadSize, v.size() - offset));
        return v;
    };

    auto files = bv::platform::openMemoryFileSystem();
    auto registry = bv::platform::openFileRegistry(kRegistry, *files);
    (void)registry->createKey(RootKey::CurrentUser, kKey); // in memory: always made
    const char* names[] = { "BVProfileSettingGroup.pfd", "BVPROFILE.pfd", "BVProfile2.pfd" };
    for (const char* name : names)
        if (auto v = factoryValue(name); !v.empty())
            registry->writeBinary(RootKey::CurrentUser, kKey, name, v);

    switch (mode & 0x03) {
    case 0:
    case 1:
    case 2: {
        const char* name = names[mode & 0x03];
        // Bit 6: the value file itself, type header and all, as a damaged or foreign store holds it.
        if (mode & 0x40) {
            files->write(kKeyFolder / name, std::vector<std::uint8_t>(payload, payload + payloadSize));
        } else {
            auto bytes = image(name);
            bytes.insert(bytes.begin(), std::begin(kBinaryHeader), std::end(kBinaryHeader));
            files->write(kKeyFolder / name, bytes);
        }
        break;
    }
    case 3: {
        const fs::path folder = "/Documents/Brisvane Gaming Mouse";
        (void)bv::platform::createFolders(*files, folder);
        files->write(folder / "BVProfile1.pfd", image(names[2]));
        break;
    }
    }

    bv::TDM dm(environment(*registry, *files));
    dm.DataModuleCreate();
    dm.SwitchToProfileGroup(1);
    dm.SwitchToProfileGroup(0);
    for (int i = 0; i < bv::kProfileCount; ++i)
        dm.SwitchToProfile(i);
    // Bits 2-4 choose the profile brought back to factory values; each input pays for one.
    dm.SwitchToProfile((mode >> 2 & 7) % bv::kProfileCount);
    dm.RestoreCurrentProfileInfoToDefault();
    // Bit 5: the stores, on half of the inputs. A store the input makes impossible (a file left
    // alone as unreadable) is reported, not a crash.
    if (!(mode & 0x20)) {
        reloadCurrentProfile(dm);
        return 0;
    }
    bv::StoreBatch stores;
    stores.Try("profiles", [&] { dm.SaveBackAllProfileInfoToRegistry(); });
    stores.Try("files", [&] { dm.SaveBackAllProfileInfoToFile(); });
    stores.Try("modes", [&] { dm.SaveProfileGroupSettingInfoToRegistry(); });
    stores.Try("current profile", [&] { dm.SaveBackAllProfileSettingInfo(); });
    reloadCurrentProfile(dm);
    return 0;
}
