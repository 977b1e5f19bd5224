#pragma once
// TDM: the profile manager. Owns the five game profiles, the two modes and the program options,
// hands the current profile to the windows as a working copy and stores it back.

#include "platform/registry.h"
#include "settings/app_settings.h"
#include "settings/pubunit_solmarch.h"
#include "settings/uiProfile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace bv {

/// What the profile manager needs from the system; tests pass their own.
struct DMEnvironment {
    platform::Registry* Registry = nullptr;
    std::string DocumentsFolder; // the user's documents folder (UTF-8)
    std::string ProgramFolder; // holds config.ini
    std::string OSDefaultLang; // four hex digits, e.g. "0409"
    platform::FileSystem* Files = nullptr; // profile files; the disk when null

    platform::FileSystem& files() const { return Files ? *Files : platform::diskFileSystem(); }

    /// The real user registry, folders and language.
    static DMEnvironment FromSystem(platform::Registry& registry);
};

/// The program's languages (English, Simplified and Traditional Chinese), by CurrentLanguage.
inline constexpr int kLanguageCount = 3;

/// The factory LED colour of a game profile index (red, blue, yellow, teal, magenta).
TLEDCONFIG ProfileLedColour(int AProfileIndex, TLEDCONFIG base);

/// Factory values of a game profile, written in place; a short image is first zero-filled to a full profile.
void uiProfileGame1RestoreToDefault(std::vector<std::uint8_t>& AStream);
/// Factory values of the test profile; nothing happens to an empty image.
void uiProfileTestRestoreToDefault(std::vector<std::uint8_t>& AStream);

/// Checks that a file can be loaded as a profile: exactly one profile record with version 258.
/// On refusal, `why` (when given) says what is wrong.
[[nodiscard]] bool IsAcceptableProfileFile(const std::string& file, std::string* why = nullptr);
/// The same check on bytes already read.
[[nodiscard]] bool IsAcceptableProfileImage(const std::vector<std::uint8_t>& bytes, std::string* why = nullptr);

class TDM {
public:
    /// Sets up the nine store components; nothing is loaded until DataModuleCreate.
    explicit TDM(DMEnvironment env);
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    /// Start-up: loads the group record, the all-games record and the five game profiles, making
    /// factory values where something is missing, then selects the stored mode and reads config.ini.
    void DataModuleCreate();
    void LoadAllProfiles() { DataModuleCreate(); }
    /// Problems met during start-up (damaged records, unreadable files), for the user to see.
    const std::vector<std::string>& StartupProblems() const { return FStartupProblems; }

    [[nodiscard]] static bool IsProfileGroupIndexInRange(int AProfileGroupIndex)
    {
        return AProfileGroupIndex >= 0 && AProfileGroupIndex < kModeCount;
    }
    [[nodiscard]] static bool IsProfileIndexInRange(int AProfileIndex)
    {
        return AProfileIndex >= 0 && AProfileIndex < kProfileCount;
    }

    bool SwitchToProfileGroup(int AProfileGroupIndex);
    bool SwitchToProfile(int AProfileIndex);
    bool ReadProfileInfo(TMOUSEPROFILEINFO& AProfileInfo, int AProfileIndex) const;
    [[nodiscard]] bool ReadCurrentProfileInfo();
    /// Reloads the current profile from its registry value; false, changing nothing, when the value
    /// is missing or shorter than a profile. Throws, changing nothing, when the store cannot be read.
    [[nodiscard]] bool LoadCurrentProfileInfoFromRegistry();
    [[nodiscard]] bool LoadCurrentProfileInfoFromFile(const std::string& AFile);
    [[nodiscard]] bool LoadProfileInfoFromRegistry(int AProfileIndex);
    void LoadProfileGroupSettingInfoFromRegistry();
    void LoadAllProfileInfoFromRegistry();
    void SaveBackToCurrentProfileInfo();
    bool SaveBackToProfileInfo(const TMOUSEPROFILEINFO& AProfileInfo, int AProfileIndex);
    // The stores below throw StoreError, naming the record and why, when it could not be stored.
    // Those that store several records try every one before they throw.

    void SaveCurrentProfileInfoToRegistry();
    /// Writes the current profile to the named file (folder created); false when the folder cannot
    /// be created. Throws std::filesystem::filesystem_error when the file cannot be written.
    [[nodiscard]] bool SaveCurrentProfileInfoToFile(const std::string& AFile);
    /// Writes the current profile to its own file; true when written, false for a profile kept
    /// only in the registry. A file that could not be read at start-up is never overwritten.
    bool SaveCurrentProfileInfoToFile();
    [[nodiscard]] bool SaveProfileInfoToRegistry(int AProfileIndex);
    /// Writes one game profile to its own file, as SaveBackAllProfileInfoToFile does for each;
    /// false for a profile kept only in the registry or an index out of range.
    [[nodiscard]] bool SaveProfileInfoToFile(int AProfileIndex);
    void SaveBackAllProfileInfo();
    void SaveBackAllProfileInfoToRegistry();
    /// Writes each game profile to its own file; returns the number of files written.
    int SaveBackAllProfileInfoToFile();
    void SaveBackAllProfileSettingInfo();
    void SaveBackToProfileGroupSettingInfo();
    void SaveProfileGroupSettingInfoToRegistry();
    /// Gives the current profile a new file; refused (false, nothing changed) for a name longer
    /// than 20 characters.
    [[nodiscard]] bool ChangeCurrentProfileFileNameAndPath(const std::string& AProfileFilePath);
    void RestoreCurrentProfileInfoToDefault();
    [[nodiscard]] bool RestoreProfileInfoToDefault(int AProfileIndex);
    [[nodiscard]] bool RestoreProfileGroupToDefault(int AProfileGroupIndex);
    void RestoreProfileSettingGroupToDefault();
    void RestoreToDefaultCPISetting();
    void RestoreToDefaultLightAndReportAdvancedSetting();
    void RestoreToDefaultReportRateSetting();
    void InitTestDefaultValue();

    /// The program's documents folder: the user's documents folder + "Brisvane Gaming Mouse".
    const std::string& DocumentsFolder() const { return FDocumentsFolder; }

    int ProfileGroupIndex() const { return FProfileGroupIndex; }
    int ProfileIndex() const { return FProfileIndex; }
    TMOUSEPROFILEINFO& CurrentProfileInfo() { return *FCurrentProfileInfo; }
    const TMOUSEPROFILEINFO& CurrentProfileInfo() const { return *FCurrentProfileInfo; }
    TProfileSettingGroup& ProfileSettingGroup() { return *FProfileSettingGroup; }
    const TProfileSettingGroup& ProfileSettingGroup() const { return *FProfileSettingGroup; }
    TALLGAMESINFO& AllProfileSettingInfo() { return *FAllProfileSettingInfo; }
    const TALLGAMESINFO& AllProfileSettingInfo() const { return *FAllProfileSettingInfo; }
    const OtherConfig& GetOtherConfig() const { return FOtherConfig; }
    const TMOUSEPROFILEINFO& DefaultProfileInfo() const { return *FDefaultProfileInfo; }
    const TMOUSEPROFILEINFO& TestProfileInfo() const { return *FTestProfileInfo; }
    platform::Registry& Registry() { return *FEnv.Registry; }
    /// The store component of game profile 0..4; throws std::out_of_range for any other index.
    TuiProfile& ProfileComponent(int AProfileIndex);
    const TuiProfile& ProfileComponent(int AProfileIndex) const;

    TuiProfile uiProfileAllSettingInfo;
    TuiProfile uiProfileGame1;
    TuiProfile uiProfileGame2;
    TuiProfile uiProfileGame3;
    TuiProfile uiProfileGame4;
    TuiProfile uiProfileGame5;
    TuiProfile uiProfileSettingGroup;
    TuiProfile uiProfileDefaultGame;
    TuiProfile uiProfileTest;

private:
    void MakeFactoryProfile(int i);
    void uiProfileSettingGroupRestoreToDefault(std::vector<std::uint8_t>& AStream) const;
    void uiProfileAllSettingInfoRestoreToDefault(std::vector<std::uint8_t>& AStream) const;
    void loadGroupRecord();
    void loadAllGamesRecord();
    void loadGameProfile(int i);
    std::string groupDamage() const;
    [[nodiscard]] bool isProtected(const TuiProfile& component) const;
    void storeToRegistry(TuiProfile& c, const std::string& label);
    void storeAtStartup(TuiProfile& c, const std::string& label);
    [[nodiscard]] bool storeProfileFile(int i);
    void problem(std::string text) { FStartupProblems.push_back(std::move(text)); }

    DMEnvironment FEnv;
    std::string FDocumentsFolder;
    std::unique_ptr<TALLGAMESINFO> FAllProfileSettingInfo;
    std::array<TuiProfile*, 6> FProfileGroup {};
    std::unique_ptr<TProfileSettingGroup> FProfileSettingGroup;
    std::int32_t FProfileGroupIndex = 0;
    std::int32_t FProfileIndex = 0;
    std::unique_ptr<TMOUSEPROFILEINFO> FCurrentProfileInfo;
    OtherConfig FOtherConfig;
    std::unique_ptr<TMOUSEPROFILEINFO> FDefaultProfileInfo;
    std::unique_ptr<TMOUSEPROFILEINFO> FTestProfileInfo;
    std::vector<std::string> FStartupProblems;
    // Files that exist but could not be read at start-up: never overwritten in this run.
    std::set<std::string> FUnreadableFiles;
};

} // namespace bv
