#include "settings/app_settings.h"

#include "platform/ini_file.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace bv {

namespace {
bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

OtherConfig ReadOtherConfig(const std::filesystem::path& programFolder)
{
    const auto ini = platform::IniFile::load(programFolder / kSettingsFileName);
    OtherConfig config;
    config.Nologo = ini.intValue("OtherConfig", "NoLogo", 0);
    for (auto& [key, value] : ini.section("HelpFiles")) {
        if (!value.empty())
            config.HelpFile.push_back({key, value});
    }
    return config;
}

std::optional<std::filesystem::path> HelpFileToOpen(const OtherConfig& config, const std::string& languageShortID,
                                                    const std::filesystem::path& programFolder)
{
    auto find = [&](const std::string& id) -> const HelpFileEntry* {
        for (const auto& e : config.HelpFile)
            if (sameIgnoringCase(e.ShortID, id))
                return &e;
        return nullptr;
    };
    const HelpFileEntry* entry = find(languageShortID);
    if (!entry)
        entry = find("0409");
    if (!entry)
        return std::nullopt;
    const auto file = programFolder / std::filesystem::path(std::u8string(entry->FileName.begin(), entry->FileName.end()));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return std::nullopt;
    return file;
}

bool SaveProfileIDToRegistry(platform::Registry& registry, int index)
{
    if (!registry.keyExists(platform::RootKey::CurrentUser, kRegistryKeyPath))
        return false;
    registry.writeDword(platform::RootKey::CurrentUser, kRegistryKeyPath, "ProfileID", static_cast<std::uint32_t>(index));
    return true;
}

} // namespace bv
