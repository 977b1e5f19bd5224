#pragma once
// The program's own settings: config.ini beside the program and the "ProfileID" registry value.

#include "platform/registry.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace bv {

/// The registry key below HKEY_CURRENT_USER that holds every stored record.
inline constexpr const char* kRegistryKeyPath = "software\\BrisvaneGMMouse";
inline constexpr const char* kSettingsFileName = "config.ini";

/// One "HelpFiles" line: a language short ID and the manual's file name.
struct HelpFileEntry {
    std::string ShortID;
    std::string FileName;
};

/// Options read from config.ini at start-up.
struct OtherConfig {
    std::int32_t ShowNumLock = 0;
    std::int32_t ShowCapsLock = 0;
    std::int32_t ShowScrollLock = 0;
    std::int32_t ShowLockStatePop = 0;
    std::vector<HelpFileEntry> HelpFile;
    std::int32_t Nologo = 0;
};

/// Reads "OtherConfig"/"NoLogo" and the "HelpFiles" section of config.ini in the program folder.
/// A missing file or section gives the defaults.
OtherConfig ReadOtherConfig(const std::filesystem::path& programFolder);

/// The manual to open for a language: its own entry, else "0409"; nullopt when neither names a
/// file that exists in the program folder.
[[nodiscard]] std::optional<std::filesystem::path> HelpFileToOpen(
    const OtherConfig& config, const std::string& languageShortID, const std::filesystem::path& programFolder);

/// Stores the chosen profile for the monitor program; writes only when the key already exists.
/// Returns whether the value was written.
[[nodiscard]] bool SaveProfileIDToRegistry(platform::Registry& registry, int index);

} // namespace bv
