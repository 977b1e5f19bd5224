#include "settings/DMUnit.h"

#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/locale.h"
#include "platform/usage_and_page.h"
#include "settings/cpi_steps.h"
#include "settings/record_text.h"
#include "settings/store_error.h"
#include "util/utf8_path.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace bv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGroupValueName = "BVProfileSettingGroup.pfd";
constexpr const char* kAllGamesValueName = "BVPROFILE.pfd";
constexpr const char* kDefaultGameValueName = "VKM2210ProfileDef.pfd";
constexpr const char* kTestValueName = "VKM2210ProfileTest.pfd";
constexpr const char* kDocumentsSubfolder = "Brisvane Gaming Mouse";
constexpr const char* kModesLabel = "The modes";
constexpr const char* kAllGamesLabel = "The current profile and language";

std::string profileLabel(int i)
{
    return "Profile " + std::to_string(i + 1);
}

template <typename Record> std::unique_ptr<Record> zeroRecord()
{
    auto r = std::make_unique<Record>();
    std::memset(static_cast<void*>(r.get()), 0, sizeof(Record));
    return r;
}

// Edits a record image in place through a full-size copy, so fields past a short image are safe.
template <typename Record, typename Edit> void editImage(std::vector<std::uint8_t>& image, Edit edit)
{
    if (image.size() < sizeof(Record))
        image.resize(sizeof(Record), 0);
    auto record = std::make_unique<Record>();
    std::memcpy(static_cast<void*>(record.get()), image.data(), sizeof(Record));
    edit(*record);
    std::memcpy(image.data(), record.get(), sizeof(Record));
}

struct FactoryCPILevel {
    std::uint16_t X, Y;
};
constexpr FactoryCPILevel kFactoryCPILevels[kCPILevelsUsed]
    = { { 400, 400 }, { 800, 800 }, { 1600, 1600 }, { 3500, 3500 } };

// The language a fresh install starts in, from the system's language ID.
int defaultLanguageIndex(const std::string& osLang)
{
    return osLang == "0804" ? 1 : osLang == "0404" ? 2 : 0;
}

void setFactoryCPILevels(TMOUSECONFIGINFO& c)
{
    for (int n = 0; n < 10; ++n) {
        c.CPIState[n] = CPILevelEntry { 0, 0, 0 };
        c.HWCPIState[n] = CPILevelEntry { 0, 0, 0 };
    }
    for (int n = 0; n < kCPILevelsUsed; ++n) {
        const auto& f = kFactoryCPILevels[n];
        c.CPIState[n] = CPILevelEntry { f.X, f.Y, 1 };
        const std::uint16_t hw = NearestDeviceCPI(std::max(f.X, f.Y));
        c.HWCPIState[n] = CPILevelEntry { hw, hw, 1 };
    }
}

void setSlotFunction(TBUTTONFUNCINFO& slot, std::uint16_t index, std::uint16_t row, std::uint8_t kind,
    std::uint32_t deviceCode, std::uint32_t menuID)
{
    slot.nButtonIndex = index;
    slot.nMenuRow = row;
    slot.FuncKind = kind;
    slot.DeviceCode = deviceCode;
    slot.MenuID = menuID;
}

bool unsafeFileName(const std::string& name)
{
    return name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos
        || name.find('\\') != std::string::npos;
}

std::string describe(const std::exception& e)
{
    return e.what();
}

// A folder that names its place outright: relative folders land wherever the program was
// started, and ".." can lead anywhere.
bool unsafeFolder(const std::string& folder)
{
    const fs::path p = util::PathFromUtf8(folder);
    if (!p.is_absolute())
        return true;
    return std::any_of(p.begin(), p.end(), [](const fs::path& part) { return part == ".."; });
}

constexpr std::int64_t kProfileImageSize = static_cast<std::int64_t>(sizeof(TMOUSEPROFILEINFO));

// A stored profile image must hold a whole record; what lies past it belongs to no field and is
// dropped. False, image unchanged, for a shorter image.
bool takeWholeProfile(TuiProfile& c)
{
    if (c.Size() < kProfileImageSize)
        return false;
    c.SetSize(kProfileImageSize);
    return true;
}

} // namespace

DMEnvironment DMEnvironment::FromSystem(platform::Registry& registry)
{
    DMEnvironment env;
    env.Registry = &registry;
    env.DocumentsFolder = util::Utf8FromPath(platform::userDocumentsFolder());
    env.ProgramFolder = util::Utf8FromPath(platform::programFolder());
    env.OSDefaultLang = platform::osDefaultLangId();
    return env;
}

TLEDCONFIG ProfileLedColour(int AProfileIndex, TLEDCONFIG base)
{
    static constexpr std::uint8_t kColours[kProfileCount][3]
        = { { 255, 0, 0 }, { 0, 0, 255 }, { 255, 255, 0 }, { 0, 96, 96 }, { 255, 0, 255 } };
    if (AProfileIndex < 0 || AProfileIndex >= kProfileCount)
        return base;
    base.R = kColours[AProfileIndex][0];
    base.G = kColours[AProfileIndex][1];
    base.B = kColours[AProfileIndex][2];
    return base;
}

void uiProfileGame1RestoreToDefault(std::vector<std::uint8_t>& AStream)
{
    editImage<TMOUSEPROFILEINFO>(AStream, [](TMOUSEPROFILEINFO& p) {
        p.ProfileHeader.FFileVersion = kProfileVersion;
        auto& c = p.ConfigInfo;
        c.ButtonCount = kGameButtonCount;
        for (int s = 0; s < 10; ++s)
            std::memset(static_cast<void*>(&c.ButtonFuncInfo[s]), 0, offsetof(TBUTTONFUNCINFO, nButtonIndex));
        c.VWheelSpeed = 3;
        c.HWVWheelValue = 1;
        c.WheelLedOnOff = 1;
        c.DoubleClickSpeed = 550;
        c.PointerSpeed = 10;
        c.PointerAcceleration = 0;
        c.ReportRate = 125;
        c.CPILevel = kCPILevelsUsed;
        c.LEDConfig.R = 255;
        c.LEDConfig.G = 0;
        c.LEDConfig.B = 0;
        c.LEDConfig.BRIGHT_LEVEL = 2;
        c.LEDConfig.BREATH_SPEED = 2;
        setFactoryCPILevels(c);
        c.CurrentCPIIndex = 1;
        for (int n = 0; n < kCPILevelsUsed; ++n)
            c.UseDiffentXY[n] = 1;
        p.MacroKeyInfoList.nMacroInfoCount = 0;
        c.ApplyCPISettingEachProfile = 1;
        c.ApplyAccelaration = 0;
        c.ApplyDiffirentXY = 0;
        c.FireKeySpeed = 10;
        c.FireKeyCount = 2;

        auto* b = c.ButtonFuncInfo;
        setSlotFunction(b[0], 0, 0, kFuncKindMouse, 1, 1); // Click
        setSlotFunction(b[1], 1, 1, kFuncKindMouse, 2, 2); // Right Click
        setSlotFunction(b[2], 2, 2, kFuncKindMouse, 3, 3); // Middle Button
        setSlotFunction(b[3], 3, 3, kFuncKindMouse, 5, 4); // Forward
        setSlotFunction(b[4], 4, 4, kFuncKindMouse, 4, 5); // Backward
        setSlotFunction(b[5], 5, 30, kFuncKindDPI, 9, 13); // DPI +
        setSlotFunction(b[6], 6, 31, kFuncKindDPI, 10, 14); // DPI -
        setSlotFunction(c.VWheelButtonFuncInfo[0], 0, 0, kFuncKindMouse, 11, 1); // Wheel Up
        setSlotFunction(c.VWheelButtonFuncInfo[1], 1, 1, kFuncKindMouse, 12, 2); // Wheel Down
    });
}

void uiProfileTestRestoreToDefault(std::vector<std::uint8_t>& AStream)
{
    if (AStream.empty())
        return;
    std::fill(AStream.begin(), AStream.end(), 0);
    editImage<TMOUSEPROFILEINFO>(AStream, [](TMOUSEPROFILEINFO& p) {
        p.ProfileHeader.FFileVersion = kProfileVersion;
        auto& c = p.ConfigInfo;
        c.ButtonCount = 8;
        for (int s = 0; s < 5; ++s)
            setSlotFunction(c.ButtonFuncInfo[s], static_cast<std::uint16_t>(s), static_cast<std::uint16_t>(s),
                kFuncKindMouse, FunctionMenuTable[static_cast<std::size_t>(s)].DeviceCode, 0);
        static constexpr std::uint8_t kRaw[3] = { 0x20, 0x40, 0x80 };
        for (int s = 5; s < 8; ++s) {
            auto& slot = c.ButtonFuncInfo[s];
            setSlotFunction(slot, static_cast<std::uint16_t>(s), 14, kFuncKindRaw, 19, 0);
            slot.RawCode[0] = kRaw[s - 5];
            slot.RawCode[1] = 0;
            slot.RawCode[2] = 0;
        }
    });
}

bool IsAcceptableProfileImage(const std::vector<std::uint8_t>& bytes, std::string* why)
{
    auto refuse = [&](std::string text) {
        if (why)
            *why = std::move(text);
        return false;
    };
    // A shorter or longer file would mix its bytes with those of the profile it replaces.
    if (bytes.size() != sizeof(TMOUSEPROFILEINFO))
        return refuse("the file holds " + std::to_string(bytes.size()) + " bytes, a profile holds "
            + std::to_string(sizeof(TMOUSEPROFILEINFO)));
    std::int32_t version = 0;
    std::memcpy(&version, bytes.data(), sizeof version);
    if (version != kProfileVersion)
        return refuse(
            "the profile version is " + std::to_string(version) + ", expected " + std::to_string(kProfileVersion));
    return true;
}

bool IsAcceptableProfileFile(const std::string& file, std::string* why)
{
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(util::PathFromUtf8(file), 16u * 1024u * 1024u);
    } catch (const std::exception& e) {
        if (why)
            *why = describe(e);
        return false;
    }
    if (!bytes) {
        if (why)
            *why = "the file does not exist";
        return false;
    }
    return IsAcceptableProfileImage(*bytes, why);
}

TDM::TDM(DMEnvironment env)
    : uiProfileAllSettingInfo(*env.Registry, env.files())
    , uiProfileGame1(*env.Registry, env.files())
    , uiProfileGame2(*env.Registry, env.files())
    , uiProfileGame3(*env.Registry, env.files())
    , uiProfileGame4(*env.Registry, env.files())
    , uiProfileGame5(*env.Registry, env.files())
    , uiProfileSettingGroup(*env.Registry, env.files())
    , uiProfileDefaultGame(*env.Registry, env.files())
    , uiProfileTest(*env.Registry, env.files())
    , FEnv(std::move(env))
    , FAllProfileSettingInfo(zeroRecord<TALLGAMESINFO>())
    , FProfileSettingGroup(zeroRecord<TProfileSettingGroup>())
    , FCurrentProfileInfo(zeroRecord<TMOUSEPROFILEINFO>())
    , FDefaultProfileInfo(zeroRecord<TMOUSEPROFILEINFO>())
    , FTestProfileInfo(zeroRecord<TMOUSEPROFILEINFO>())
{
    FDocumentsFolder = WithTrailingSeparator(FEnv.DocumentsFolder) + kDocumentsSubfolder;
    FProfileGroup = { &uiProfileGame1, &uiProfileGame2, &uiProfileGame3, &uiProfileGame4, &uiProfileGame5, nullptr };

    uiProfileSettingGroup.OnRestoreToDefault
        = [this](std::vector<std::uint8_t>& s) { uiProfileSettingGroupRestoreToDefault(s); };
    uiProfileAllSettingInfo.OnRestoreToDefault
        = [this](std::vector<std::uint8_t>& s) { uiProfileAllSettingInfoRestoreToDefault(s); };
    for (int i = 0; i < kProfileCount; ++i)
        FProfileGroup[static_cast<std::size_t>(i)]->OnRestoreToDefault = uiProfileGame1RestoreToDefault;
    uiProfileDefaultGame.OnRestoreToDefault = uiProfileGame1RestoreToDefault;
    uiProfileTest.OnRestoreToDefault = uiProfileTestRestoreToDefault;
}

void TDM::uiProfileSettingGroupRestoreToDefault(std::vector<std::uint8_t>& AStream) const
{
    editImage<TProfileSettingGroup>(AStream, [this](TProfileSettingGroup& g) {
        g.CurrentProfileGroup = 0;
        g.ProfileIndexOfProfileGroup[0] = 0;
        g.ProfileIndexOfProfileGroup[1] = 1;
        for (int n = 1; n <= kProfileCount; ++n) {
            auto& e = g.ProfileSettingList[n - 1];
            e.nState = 0;
            e.StorageType = 1;
            SetRecordText(e.FileName, "BVProfile" + std::to_string(n) + ".pfd");
            SetRecordText(e.KeyPath, kRegistryKeyPath);
            SetRecordText(e.FilePath, FDocumentsFolder);
            SetRecordText(
                e.MacroPath, WithTrailingSeparator(FDocumentsFolder) + "BVProfile" + std::to_string(n) + "_Macros");
        }
    });
}

void TDM::uiProfileAllSettingInfoRestoreToDefault(std::vector<std::uint8_t>& AStream) const
{
    editImage<TALLGAMESINFO>(AStream, [this](TALLGAMESINFO& a) {
        for (auto& e : a.Allgameset) {
            e.nState = 0;
            e.StorageType = 0;
            e.FilePath[0] = 0;
        }
        a.Allgameset[0].nState = 1;
        a.CurrentGame = 0;
        a.CurrentLanguage = defaultLanguageIndex(FEnv.OSDefaultLang);
    });
}

TuiProfile& TDM::ProfileComponent(int AProfileIndex)
{
    return const_cast<TuiProfile&>(std::as_const(*this).ProfileComponent(AProfileIndex));
}

const TuiProfile& TDM::ProfileComponent(int AProfileIndex) const
{
    if (!IsProfileIndexInRange(AProfileIndex))
        throw std::out_of_range("there is no game profile " + std::to_string(AProfileIndex));
    return *FProfileGroup[static_cast<std::size_t>(AProfileIndex)];
}

void TDM::MakeFactoryProfile(int i)
{
    TuiProfile& component = ProfileComponent(i);
    component.RestoreToDefault();
    auto record = zeroRecord<TMOUSEPROFILEINFO>();
    component.Read(record.get(), sizeof(TMOUSEPROFILEINFO));
    record->ConfigInfo.LEDConfig = ProfileLedColour(i, record->ConfigInfo.LEDConfig);
    component.Write(record.get(), sizeof(TMOUSEPROFILEINFO));
}

std::string TDM::groupDamage() const
{
    const auto& g = *FProfileSettingGroup;
    if (uiProfileSettingGroup.Size() < static_cast<std::int64_t>(sizeof(TProfileSettingGroup)))
        return "it holds " + std::to_string(uiProfileSettingGroup.Size()) + " bytes instead of "
            + std::to_string(sizeof(TProfileSettingGroup));
    if (!IsProfileGroupIndexInRange(g.CurrentProfileGroup))
        return "its mode is " + std::to_string(g.CurrentProfileGroup);
    for (int m = 0; m < kModeCount; ++m)
        if (!IsProfileIndexInRange(g.ProfileIndexOfProfileGroup[m]))
            return "mode " + std::to_string(m + 1) + " names profile index "
                + std::to_string(g.ProfileIndexOfProfileGroup[m]);
    for (int i = 0; i < kProfileCount; ++i) {
        const auto& e = g.ProfileSettingList[i];
        if (e.StorageType <= 1 && unsafeFileName(RecordText(e.FileName)))
            return "profile " + std::to_string(i + 1) + " has the file name \"" + RecordText(e.FileName) + "\"";
        if (e.StorageType == 1 && unsafeFolder(RecordText(e.FilePath)))
            return "profile " + std::to_string(i + 1) + " has the folder \"" + RecordText(e.FilePath) + "\"";
        if (e.StorageType <= 1 && unsafeFolder(RecordText(e.MacroPath)))
            return "profile " + std::to_string(i + 1) + " has the macro folder \"" + RecordText(e.MacroPath) + "\"";
    }
    return {};
}

void TDM::loadGroupRecord()
{
    auto& c = uiProfileSettingGroup;
    c.SetRootKey(platform::RootKey::CurrentUser);
    c.SetFileName(kGroupValueName);
    c.SetKeyPath(kRegistryKeyPath);
    auto zero = zeroRecord<TProfileSettingGroup>();
    c.SetSize(0);
    c.Write(zero.get(), sizeof(TProfileSettingGroup));

    bool loaded = false;
    try {
        loaded = c.LoadStreamFromRegistry();
    } catch (const std::exception& e) {
        problem(std::string("The stored modes could not be read (") + describe(e) + "); factory modes are used.");
    }
    if (!loaded) {
        c.SetSize(0);
        c.Write(zero.get(), sizeof(TProfileSettingGroup));
        c.RestoreToDefault();
        storeAtStartup(c, kModesLabel);
    }
    c.Read(FProfileSettingGroup.get(), sizeof(TProfileSettingGroup));

    if (const std::string damage = groupDamage(); !damage.empty()) {
        problem("The stored modes were damaged (" + damage + "); factory modes are used.");
        c.SetSize(0);
        c.Write(zero.get(), sizeof(TProfileSettingGroup));
        c.RestoreToDefault();
        storeAtStartup(c, kModesLabel);
        std::memcpy(static_cast<void*>(FProfileSettingGroup.get()), zero.get(), sizeof(TProfileSettingGroup));
        c.Read(FProfileSettingGroup.get(), sizeof(TProfileSettingGroup));
    }
    FProfileGroupIndex = FProfileSettingGroup->CurrentProfileGroup;
    FProfileIndex = FProfileSettingGroup->ProfileIndexOfProfileGroup[FProfileGroupIndex];
}

void TDM::loadAllGamesRecord()
{
    auto& c = uiProfileAllSettingInfo;
    c.SetRootKey(platform::RootKey::CurrentUser);
    c.SetFileName(kAllGamesValueName);
    c.SetKeyPath(kRegistryKeyPath);
    c.SetSize(0);
    c.Write(FAllProfileSettingInfo.get(), sizeof(TALLGAMESINFO));
    bool loaded = false;
    try {
        loaded = c.LoadStreamFromRegistry();
    } catch (const std::exception& e) {
        problem(std::string("The stored current profile and language could not be read (") + describe(e)
            + "); factory values are used.");
    }
    // A value shorter than the record would leave the rest of it zero: start from factory values.
    if (loaded && c.Size() < static_cast<std::int64_t>(sizeof(TALLGAMESINFO))) {
        problem("The stored current profile and language were damaged (they hold " + std::to_string(c.Size())
            + " bytes instead of " + std::to_string(sizeof(TALLGAMESINFO)) + "); factory values are used.");
        loaded = false;
    }
    if (!loaded) {
        c.SetSize(0);
        auto zero = zeroRecord<TALLGAMESINFO>();
        c.Write(zero.get(), sizeof(TALLGAMESINFO));
        c.RestoreToDefault();
        storeAtStartup(c, kAllGamesLabel);
    }
    c.Read(FAllProfileSettingInfo.get(), sizeof(TALLGAMESINFO));

    // Fields outside their ranges are mended one by one; the rest of the record is kept.
    auto& a = *FAllProfileSettingInfo;
    std::string damage;
    if (!IsProfileIndexInRange(a.CurrentGame)) {
        damage = "current profile index " + std::to_string(a.CurrentGame);
        a.CurrentGame = FProfileIndex;
    }
    if (a.CurrentLanguage < 0 || a.CurrentLanguage >= kLanguageCount) {
        damage += (damage.empty() ? "" : ", ") + std::string("language index ") + std::to_string(a.CurrentLanguage);
        a.CurrentLanguage = defaultLanguageIndex(FEnv.OSDefaultLang);
    }
    if (!damage.empty()) {
        problem("The stored current profile and language were damaged (" + damage + "); they are mended.");
        c.Write(FAllProfileSettingInfo.get(), sizeof(TALLGAMESINFO));
        storeAtStartup(c, kAllGamesLabel);
    }
}

void TDM::loadGameProfile(int i)
{
    TuiProfile& c = ProfileComponent(i);
    const TPROFILESETTING& setting = FProfileSettingGroup->ProfileSettingList[i];
    c.SetRootKey(platform::RootKey::CurrentUser);
    c.SetFileName(RecordText(setting.FileName));
    const std::string folder = RecordText(setting.FilePath);
    c.SetFilePath(folder);
    c.SetKeyPath(kRegistryKeyPath);
    auto zero = zeroRecord<TMOUSEPROFILEINFO>();
    c.SetSize(0);
    c.Write(zero.get(), sizeof(TMOUSEPROFILEINFO));

    const std::string label = "Profile " + std::to_string(i + 1);
    if (setting.StorageType == 0) {
        bool loaded = false;
        try {
            loaded = c.LoadStreamFromRegistry();
        } catch (const std::exception& e) {
            problem(
                label + " could not be read from the settings store (" + describe(e) + "); factory values are used.");
        }
        if (loaded && !takeWholeProfile(c)) {
            problem(label + ": the stored profile holds " + std::to_string(c.Size()) + " bytes instead of "
                + std::to_string(sizeof(TMOUSEPROFILEINFO)) + "; factory values are used.");
            loaded = false;
        }
        if (!loaded) {
            c.SetSize(0);
            c.Write(zero.get(), sizeof(TMOUSEPROFILEINFO));
            MakeFactoryProfile(i);
        }
        return;
    }
    if (setting.StorageType != 1)
        return;

    const std::string fullName = WithTrailingSeparator(folder) + RecordText(setting.FileName);
    if (FEnv.files().kind(util::PathFromUtf8(fullName)) == platform::EntryKind::None) {
        MakeFactoryProfile(i);
        try {
            if (!c.SaveStreamToFile(fullName))
                problem(label + ": the folder of \"" + fullName + "\" could not be created.");
        } catch (const std::exception& e) {
            problem(label + ": \"" + fullName + "\" could not be written (" + describe(e) + ").");
        }
        // The folder may only exist now; without it the component would never write its file.
        c.SetFilePath(folder);
        return;
    }
    try {
        if (!c.LoadStreamFromFile(fullName)) {
            // Gone since it was looked for: made again, as a missing file is.
            MakeFactoryProfile(i);
            if (!c.SaveStreamToFile(fullName))
                problem(label + ": the folder of \"" + fullName + "\" could not be created.");
        } else if (!takeWholeProfile(c)) {
            // Read into a whole record, a short image would mix with the bytes of another profile.
            const auto size = c.Size();
            c.SetSize(0);
            c.Write(zero.get(), sizeof(TMOUSEPROFILEINFO));
            MakeFactoryProfile(i);
            FUnreadableFiles.insert(fullName);
            problem(label + ": \"" + fullName + "\" holds " + std::to_string(size) + " bytes instead of "
                + std::to_string(sizeof(TMOUSEPROFILEINFO))
                + "; factory values are used and the file is left untouched.");
        }
    } catch (const std::exception& e) {
        // Keep the user's file as it is: it may hold the only copy of their settings.
        c.SetSize(0);
        c.Write(zero.get(), sizeof(TMOUSEPROFILEINFO));
        MakeFactoryProfile(i);
        FUnreadableFiles.insert(fullName);
        problem(label + ": \"" + fullName + "\" could not be read (" + describe(e)
            + "); factory values are used and the file is left untouched.");
    }
}

void TDM::DataModuleCreate()
{
    FStartupProblems.clear();
    FProfileGroupIndex = 0;
    loadGroupRecord();
    loadAllGamesRecord();
    for (int i = 0; i < kProfileCount; ++i)
        loadGameProfile(i);
    SwitchToProfileGroup(FProfileGroupIndex);
    MouseUsageAndPage = kMouseVendorCollection;
    FOtherConfig = ReadOtherConfig(util::PathFromUtf8(FEnv.ProgramFolder));
}

bool TDM::SwitchToProfileGroup(int AProfileGroupIndex)
{
    if (!IsProfileGroupIndexInRange(AProfileGroupIndex))
        return false;
    const int profile = FProfileSettingGroup->ProfileIndexOfProfileGroup[AProfileGroupIndex];
    if (!IsProfileIndexInRange(profile))
        return false;
    FProfileSettingGroup->CurrentProfileGroup = AProfileGroupIndex;
    FProfileGroupIndex = AProfileGroupIndex;
    FProfileIndex = profile;
    return SwitchToProfile(FProfileIndex);
}

bool TDM::SwitchToProfile(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex))
        return false;
    FProfileIndex = AProfileIndex;
    ProfileComponent(AProfileIndex).Read(FCurrentProfileInfo.get(), sizeof(TMOUSEPROFILEINFO));
    FAllProfileSettingInfo->CurrentGame = AProfileIndex;
    return true;
}

bool TDM::ReadProfileInfo(TMOUSEPROFILEINFO& AProfileInfo, int AProfileIndex) const
{
    if (!IsProfileIndexInRange(AProfileIndex))
        return false;
    ProfileComponent(AProfileIndex).Read(&AProfileInfo, sizeof(TMOUSEPROFILEINFO));
    return true;
}

bool TDM::ReadCurrentProfileInfo()
{
    ProfileComponent(FProfileIndex).Read(FCurrentProfileInfo.get(), sizeof(TMOUSEPROFILEINFO));
    return true;
}

bool TDM::LoadCurrentProfileInfoFromRegistry()
{
    TuiProfile& c = ProfileComponent(FProfileIndex);
    const std::vector<std::uint8_t> before = c.Image();
    if (!c.LoadStreamFromRegistry())
        return false;
    // The start-up rule: a value shorter than a profile would mix with the one it replaces.
    if (!takeWholeProfile(c)) {
        c.SetSize(0);
        c.Write(before.data(), static_cast<std::int64_t>(before.size()));
        return false;
    }
    c.Read(FCurrentProfileInfo.get(), sizeof(TMOUSEPROFILEINFO));
    return true;
}

bool TDM::LoadCurrentProfileInfoFromFile(const std::string& AFile)
{
    TuiProfile& c = ProfileComponent(FProfileIndex);
    const bool loaded = c.LoadStreamFromFile(AFile);
    c.Read(FCurrentProfileInfo.get(), sizeof(TMOUSEPROFILEINFO));
    return loaded;
}

bool TDM::LoadProfileInfoFromRegistry(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex))
        return false;
    return ProfileComponent(AProfileIndex).LoadStreamFromRegistry();
}

void TDM::LoadProfileGroupSettingInfoFromRegistry()
{
    loadGroupRecord();
}

void TDM::LoadAllProfileInfoFromRegistry()
{
    loadAllGamesRecord();
}

void TDM::SaveBackToCurrentProfileInfo()
{
    ProfileComponent(FProfileIndex).Write(FCurrentProfileInfo.get(), sizeof(TMOUSEPROFILEINFO));
}

bool TDM::SaveBackToProfileInfo(const TMOUSEPROFILEINFO& AProfileInfo, int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex))
        return false;
    ProfileComponent(AProfileIndex).Write(&AProfileInfo, sizeof(TMOUSEPROFILEINFO));
    return true;
}

void TDM::storeToRegistry(TuiProfile& c, const std::string& label)
{
    bool stored = false;
    try {
        stored = c.SaveStreamToRegistry();
    } catch (const std::exception& e) {
        throw StoreError(label + " could not be stored in the settings store (" + describe(e) + ").");
    }
    if (!stored)
        throw StoreError(label + " could not be stored: the settings key \"" + c.KeyPath() + "\" cannot be created.");
}

void TDM::storeAtStartup(TuiProfile& c, const std::string& label)
{
    try {
        storeToRegistry(c, label);
    } catch (const StoreError& e) {
        problem(e.what());
    }
}

bool TDM::storeProfileFile(int i)
{
    TuiProfile& c = ProfileComponent(i);
    const TPROFILESETTING& setting = FProfileSettingGroup->ProfileSettingList[i];
    const std::string label = profileLabel(i);
    if (isProtected(c))
        throw StoreError(label + ": \"" + c.FilePath() + c.FileName()
            + "\" was left untouched because it could not be read at start-up. Repair or move it and "
              "start the program again to keep this profile in its file.");
    bool saved = false;
    try {
        saved = c.SaveStreamToFile();
    } catch (const std::exception& e) {
        throw StoreError(
            label + " could not be saved to \"" + c.FilePath() + c.FileName() + "\" (" + describe(e) + ").");
    }
    // A profile kept in the registry has no file of its own to miss.
    if (!saved && setting.StorageType == 1)
        throw StoreError(
            label + " could not be saved: its folder \"" + RecordText(setting.FilePath) + "\" does not exist.");
    return saved;
}

void TDM::SaveCurrentProfileInfoToRegistry()
{
    SaveBackToCurrentProfileInfo();
    storeToRegistry(ProfileComponent(FProfileIndex), profileLabel(FProfileIndex));
}

bool TDM::SaveCurrentProfileInfoToFile(const std::string& AFile)
{
    return ProfileComponent(FProfileIndex).SaveStreamToFile(AFile);
}

bool TDM::isProtected(const TuiProfile& component) const
{
    return !component.FilePath().empty() && FUnreadableFiles.count(component.FilePath() + component.FileName()) > 0;
}

bool TDM::SaveCurrentProfileInfoToFile()
{
    return storeProfileFile(FProfileIndex);
}

bool TDM::SaveProfileInfoToRegistry(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex))
        return false;
    storeToRegistry(ProfileComponent(AProfileIndex), profileLabel(AProfileIndex));
    return true;
}

bool TDM::SaveProfileInfoToFile(int AProfileIndex)
{
    return IsProfileIndexInRange(AProfileIndex) && storeProfileFile(AProfileIndex);
}

void TDM::SaveBackAllProfileInfo()
{
    SaveBackAllProfileInfoToRegistry();
}

void TDM::SaveBackAllProfileInfoToRegistry()
{
    StoreBatch batch;
    for (int i = 0; i < kProfileCount; ++i)
        batch.Try(profileLabel(i), [&] { storeToRegistry(ProfileComponent(i), profileLabel(i)); });
    batch.ThrowIfFailed();
}

int TDM::SaveBackAllProfileInfoToFile()
{
    int written = 0;
    StoreBatch batch;
    for (int i = 0; i < kProfileCount; ++i)
        batch.Try(profileLabel(i), [&] {
            if (storeProfileFile(i))
                ++written;
        });
    batch.ThrowIfFailed();
    return written;
}

void TDM::SaveBackAllProfileSettingInfo()
{
    FAllProfileSettingInfo->CurrentGame = FProfileIndex;
    uiProfileAllSettingInfo.Write(FAllProfileSettingInfo.get(), sizeof(TALLGAMESINFO));
    storeToRegistry(uiProfileAllSettingInfo, kAllGamesLabel);
}

void TDM::SaveBackToProfileGroupSettingInfo()
{
    uiProfileSettingGroup.Write(FProfileSettingGroup.get(), sizeof(TProfileSettingGroup));
}

void TDM::SaveProfileGroupSettingInfoToRegistry()
{
    SaveBackToProfileGroupSettingInfo();
    storeToRegistry(uiProfileSettingGroup, kModesLabel);
}

bool TDM::ChangeCurrentProfileFileNameAndPath(const std::string& AProfileFilePath)
{
    const fs::path p = util::PathFromUtf8(AProfileFilePath);
    const std::string name = util::Utf8FromPath(p.filename());
    const std::string folder = util::Utf8FromPath(p.parent_path());
    // The record keeps at most 20 characters; a cut name would point at another file.
    if (unsafeFileName(name) || RecordTextUnits(name) > kFileNameUnits - 1)
        return false;
    TuiProfile& c = ProfileComponent(FProfileIndex);
    TPROFILESETTING& setting = FProfileSettingGroup->ProfileSettingList[FProfileIndex];
    const std::string storedFolder = WithTrailingSeparator(folder);
    if (RecordTextUnits(storedFolder) > kPathUnits - 1)
        return false;
    c.SetFileName(name);
    c.SetFilePath(folder);
    SetRecordText(setting.FileName, name);
    SetRecordText(setting.FilePath, storedFolder);
    return true;
}

void TDM::RestoreCurrentProfileInfoToDefault()
{
    TuiProfile& c = ProfileComponent(FProfileIndex);
    c.RestoreToDefault();
    c.Read(FCurrentProfileInfo.get(), sizeof(TMOUSEPROFILEINFO));
    FCurrentProfileInfo->ConfigInfo.LEDConfig
        = ProfileLedColour(FProfileIndex, FCurrentProfileInfo->ConfigInfo.LEDConfig);
    SaveBackToCurrentProfileInfo();
}

bool TDM::RestoreProfileInfoToDefault(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex))
        return false;
    ProfileComponent(AProfileIndex).RestoreToDefault();
    return true;
}

bool TDM::RestoreProfileGroupToDefault(int AProfileGroupIndex)
{
    if (!IsProfileGroupIndexInRange(AProfileGroupIndex))
        return false;
    const int profile = FProfileSettingGroup->ProfileIndexOfProfileGroup[AProfileGroupIndex];
    if (!IsProfileIndexInRange(profile))
        return false;
    if (profile == FProfileIndex) {
        RestoreCurrentProfileInfoToDefault();
        return true;
    }
    return RestoreProfileInfoToDefault(profile);
}

void TDM::RestoreProfileSettingGroupToDefault()
{
    uiProfileSettingGroup.RestoreToDefault();
    storeToRegistry(uiProfileSettingGroup, kModesLabel);
}

void TDM::RestoreToDefaultCPISetting()
{
    auto& c = FCurrentProfileInfo->ConfigInfo;
    setFactoryCPILevels(c);
    c.CurrentCPIIndex = 1;
    for (int n = 0; n < kCPILevelsUsed; ++n)
        c.UseDiffentXY[n] = 0;
    c.ApplyCPISettingEachProfile = 1;
    c.ApplyAccelaration = 0;
    c.ApplyDiffirentXY = 0;
}

void TDM::RestoreToDefaultLightAndReportAdvancedSetting()
{
    auto& c = FCurrentProfileInfo->ConfigInfo;
    c.ApplyCPISettingEachProfile = 1;
    c.ApplyAccelaration = 1;
    c.ApplyDiffirentXY = 0;
    c.FireKeySpeed = 5;
    c.FireKeyCount = 2;
    c.ReportRate = 125;
    c.LEDConfig.BRIGHT_LEVEL = 2;
    c.LEDConfig.BREATH_SPEED = 2;
    c.LEDConfig.R = 255;
    c.LEDConfig.G = 0;
    c.LEDConfig.B = 0;
    c.WheelLedOnOff = 1;
}

void TDM::RestoreToDefaultReportRateSetting()
{
    FCurrentProfileInfo->ConfigInfo.ReportRate = 125;
}

void TDM::InitTestDefaultValue()
{
    auto setup = [](TuiProfile& c, const char* name, TMOUSEPROFILEINFO& into) {
        c.SetRootKey(platform::RootKey::CurrentUser);
        c.SetKeyPath(kRegistryKeyPath);
        c.SetFileName(name);
        auto zero = zeroRecord<TMOUSEPROFILEINFO>();
        c.SetSize(0);
        c.Write(zero.get(), sizeof(TMOUSEPROFILEINFO));
        c.RestoreToDefault();
        c.Read(&into, sizeof(TMOUSEPROFILEINFO));
    };
    setup(uiProfileTest, kTestValueName, *FTestProfileInfo);
    setup(uiProfileDefaultGame, kDefaultGameValueName, *FDefaultProfileInfo);
}

} // namespace bv
