// Feeds arbitrary bytes through every path that loads a stored image: the mode record, the
// current-profile record, a game profile from the registry and one from its file, then runs the
// operations that read those images back.
#include "platform/registry.h"
#include "settings/DMUnit.h"
#include "settings/store_error.h"
#include "work_folder.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using bv::platform::RootKey;

const char* kKey = "software\\BrisvaneGMMouse";

const fs::path& workFolder()
{
    return bvfuzz::workFolder("profile");
}

bv::DMEnvironment environment(bv::platform::Registry& registry)
{
    return {&registry, (workFolder() / "Documents").string(), (workFolder() / "program").string(), "0409"};
}

// A valid set of stored records to patch, so that inputs reach past the first sanity checks.
std::vector<std::uint8_t> factoryValue(const char* name)
{
    static std::unique_ptr<bv::platform::Registry> registry;
    if (!registry) {
        registry = bv::platform::openMemoryRegistry();
        bv::TDM dm(environment(*registry));
        dm.DataModuleCreate();
        dm.ProfileSettingGroup().ProfileSettingList[1].StorageType = 0;
        dm.SaveProfileGroupSettingInfoToRegistry();
        dm.SaveBackAllProfileInfoToRegistry();
    }
    return registry->readBinary(RootKey::CurrentUser, kKey, name).value_or(std::vector<std::uint8_t>{});
}

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

    std::error_code ec;
    fs::remove_all(workFolder() / "Documents", ec);
    auto registry = bv::platform::openMemoryRegistry();
    registry->createKey(RootKey::CurrentUser, kKey);
    const char* names[] = {"BVProfileSettingGroup.pfd", "BVPROFILE.pfd", "BVProfile2.pfd"};
    for (const char* name : names)
        if (auto v = factoryValue(name); !v.empty())
            registry->writeBinary(RootKey::CurrentUser, kKey, name, v);

    switch (mode & 0x03) {
    case 0:
        registry->writeBinary(RootKey::CurrentUser, kKey, names[0], image(names[0]));
        break;
    case 1:
        registry->writeBinary(RootKey::CurrentUser, kKey, names[1], image(names[1]));
        break;
    case 2:
        registry->writeBinary(RootKey::CurrentUser, kKey, names[2], image(names[2]));
        break;
    case 3: {
        const auto folder = workFolder() / "Documents" / "Brisvane Gaming Mouse";
        fs::create_directories(folder);
        const auto bytes = image(names[2]);
        std::ofstream(folder / "BVProfile1.pfd", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        break;
    }
    }

    bv::TDM dm(environment(*registry));
    dm.DataModuleCreate();
    dm.SwitchToProfileGroup(1);
    dm.SwitchToProfileGroup(0);
    for (int i = 0; i < bv::kProfileCount; ++i) {
        dm.SwitchToProfile(i);
        dm.RestoreCurrentProfileInfoToDefault();
    }
    // A store the input makes impossible (a file left alone as unreadable) is reported, not a crash.
    bv::StoreBatch stores;
    stores.Try("profiles", [&] { dm.SaveBackAllProfileInfoToRegistry(); });
    stores.Try("files", [&] { dm.SaveBackAllProfileInfoToFile(); });
    stores.Try("modes", [&] { dm.SaveProfileGroupSettingInfoToRegistry(); });
    stores.Try("current profile", [&] { dm.SaveBackAllProfileSettingInfo(); });
    dm.LoadCurrentProfileInfoFromRegistry();
    return 0;
}
