#include "settings/app_settings.h"

#include "platform/ini_file.h"
#include "util/ascii.h"
#include "util/utf8_path.h"

#include <algorithm>
#include <system_error>

namespace bv {

OtherConfig ReadOtherConfig(const std::filesystem::path& programFolder)
{
    const auto ini = platform::IniFile::load(programFolder / kSettingsFileName);
    OtherConfig config;
    config.Nologo = ini.intValue("OtherConfig", "NoLogo", 0);
    for (auto& [key, value] : ini.section("HelpFiles")) {
        if (!value.empty())
            config.HelpFile.push_back({ key, value });
    }
    return config;
}

std::optional<std::filesystem::path> HelpFileToOpen(
    const OtherConfig& config, const std::string& languageShortID, const std::filesystem::path& programFolder)
{
    auto find = [&](const std::string& id) -> const HelpFileEntry* {
        for (const auto& e : config.HelpFile)
            if (util::SameIgnoringAsciiCase(e.ShortID, id))
                return &e;
        return nullptr;
    };
    const HelpFileEntry* entry = find(languageShortID);
    if (!entry)
        entry = find("0409");
    if (!entry)
        return std::nullopt;
    const auto file = programFolder / util::PathFromUtf8(entry->FileName);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return std::nullopt;
    return file;
}

bool SaveProfileIDToRegistry(platform::Registry& registry, int index)
{
    if (!registry.keyExists(platform::RootKey::CurrentUser, kRegistryKeyPath))
        return false;
    registry.writeDword(
        platform::RootKey::CurrentUser, kRegistryKeyPath, "ProfileID", static_cast<std::uint32_t>(index));
    return true;
}

} // namespace bv
