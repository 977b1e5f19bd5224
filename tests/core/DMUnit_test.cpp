#include "settings/DMUnit.h"

#include "platform/registry.h"
#include "platform/usage_and_page.h"
#include "settings/record_text.h"
#include "settings/store_error.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>

using namespace bv;
namespace fs = std::filesystem;

namespace {

constexpr auto HKCU = platform::RootKey::CurrentUser;
const std::string kKey = "software\\BrisvaneGMMouse";

std::vector<std::uint8_t> fileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

template <typename Record> Record recordFrom(const std::vector<std::uint8_t>& bytes)
{
    Record r;
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    std::memcpy(static_cast<void*>(&r), bytes.data(), std::min(bytes.size(), sizeof r));
    return r;
}

bool allZero(const void* p, std::size_t n)
{
    const auto* b = static_cast<const std::uint8_t*>(p);
    return std::all_of(b, b + n, [](std::uint8_t x) { return x == 0; });
}

class ProfileManagerTest : public ::testing::Test {
protected:
    std::unique_ptr<TDM> start(const std::string& lang = "0409")
    {
        DMEnvironment env;
        env.Registry = registry.get();
        env.DocumentsFolder = test::utf8(home / "Documents");
        env.ProgramFolder = test::utf8(home / "program");
        env.OSDefaultLang = lang;
        auto dm = std::make_unique<TDM>(env);
        dm->DataModuleCreate();
        return dm;
    }
    fs::path docs() const { return home / "Documents" / "Brisvane Gaming Mouse"; }
    fs::path profileFile(int n) const { return docs() / ("BVProfile" + std::to_string(n) + ".pfd"); }
    std::vector<std::uint8_t> registryValue(const std::string& name) const
    {
        return registry->readBinary(HKCU, kKey, name).value_or(std::vector<std::uint8_t> {});
    }

    test::TempDir home;
    std::unique_ptr<platform::Registry> registry = platform::openMemoryRegistry();
};

TEST_F(ProfileManagerTest, FirstStartWritesFactoryRecordsAndFiles)
{
    auto dm = start();
    EXPECT_TRUE(dm->StartupProblems().empty());
    EXPECT_EQ(dm->ProfileGroupIndex(), 0);
    EXPECT_EQ(dm->ProfileIndex(), 0);
    EXPECT_EQ(MouseUsageAndPage.UsagePage, 0xFFA0);
    EXPECT_EQ(MouseUsageAndPage.Usage, 1);

    const auto group = recordFrom<TProfileSettingGroup>(registryValue("BVProfileSettingGroup.pfd"));
    EXPECT_EQ(registryValue("BVProfileSettingGroup.pfd").size(), sizeof(TProfileSettingGroup));
    EXPECT_EQ(group.ProfileIndexOfProfileGroup[0], 0);
    EXPECT_EQ(group.ProfileIndexOfProfileGroup[1], 1);
    EXPECT_EQ(RecordText(group.ProfileSettingList[2].FileName), "BVProfile3.pfd");
    EXPECT_EQ(RecordText(group.ProfileSettingList[2].FilePath), test::utf8(docs()));
    EXPECT_EQ(RecordText(group.ProfileSettingList[2].MacroPath), test::utf8(docs() / "BVProfile3_Macros"));
    EXPECT_EQ(RecordText(group.ProfileSettingList[2].KeyPath), kKey);
    EXPECT_EQ(group.ProfileSettingList[2].StorageType, 1);

    const auto all = recordFrom<TALLGAMESINFO>(registryValue("BVPROFILE.pfd"));
    EXPECT_EQ(registryValue("BVPROFILE.pfd").size(), sizeof(TALLGAMESINFO));
    EXPECT_EQ(all.Allgameset[0].nState, 1);
    EXPECT_EQ(all.CurrentLanguage, 0);

    const std::uint8_t colours[5][3]
        = { { 255, 0, 0 }, { 0, 0, 255 }, { 255, 255, 0 }, { 0, 96, 96 }, { 255, 0, 255 } };
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        const auto bytes = fileBytes(profileFile(n));
        ASSERT_EQ(bytes.size(), sizeof(TMOUSEPROFILEINFO));
        const auto p = recordFrom<TMOUSEPROFILEINFO>(bytes);
        EXPECT_EQ(p.ProfileHeader.FFileVersion, 258);
        EXPECT_EQ(p.ConfigInfo.LEDConfig.R, colours[n - 1][0]);
        EXPECT_EQ(p.ConfigInfo.LEDConfig.G, colours[n - 1][1]);
        EXPECT_EQ(p.ConfigInfo.LEDConfig.B, colours[n - 1][2]);
        EXPECT_FALSE(registry->valueExists(HKCU, kKey, "BVProfile" + std::to_string(n) + ".pfd"))
            << "file profiles are not written to the registry at start-up";
    }
    // The folder now exists, so the components can write their files on the first Apply.
    EXPECT_EQ(dm->SaveBackAllProfileInfoToFile(), 5);
}

TEST_F(ProfileManagerTest, FactoryGameProfileHoldsExactlyItsFactoryValues)
{
    auto dm = start();
    const TMOUSEPROFILEINFO& p = dm->CurrentProfileInfo();
    const auto& c = p.ConfigInfo;
    EXPECT_EQ(c.ButtonCount, 7);
    EXPECT_EQ(c.VWheelSpeed, 3);
    EXPECT_EQ(c.HWVWheelValue, 1);
    EXPECT_EQ(c.WheelLedOnOff, 1);
    EXPECT_EQ(c.DoubleClickSpeed, 550);
    EXPECT_EQ(c.PointerSpeed, 10);
    EXPECT_EQ(c.ReportRate, 125);
    EXPECT_EQ(c.CPILevel, 4);
    EXPECT_EQ(c.CurrentCPIIndex, 1);
    EXPECT_EQ(c.LEDConfig.BRIGHT_LEVEL, 2);
    EXPECT_EQ(c.LEDConfig.BREATH_SPEED, 2);
    EXPECT_EQ(c.FireKeySpeed, 10);
    EXPECT_EQ(c.FireKeyCount, 2);
    EXPECT_EQ(c.ApplyCPISettingEachProfile, 1);
    const std::uint16_t cpi[4] = { 400, 800, 1600, 3500 }, hw[4] = { 500, 750, 1500, 3500 };
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(c.CPIState[n].X, cpi[n]);
        EXPECT_EQ(c.CPIState[n].Y, cpi[n]);
        EXPECT_EQ(c.HWCPIState[n].X, hw[n]);
        EXPECT_EQ(c.HWCPIState[n].Y, hw[n]);
        EXPECT_EQ(c.HWCPIState[n].State, 1);
        EXPECT_EQ(c.UseDiffentXY[n], 1);
    }
    struct Slot {
        const TBUTTONFUNCINFO& info;
        int index, row, kind, code, menu;
    };
    const Slot slots[] = {
        { c.ButtonFuncInfo[0], 0, 0, 1, 1, 1 },
        { c.ButtonFuncInfo[1], 1, 1, 1, 2, 2 },
        { c.ButtonFuncInfo[2], 2, 2, 1, 3, 3 },
        { c.ButtonFuncInfo[3], 3, 3, 1, 5, 4 },
        { c.ButtonFuncInfo[4], 4, 4, 1, 4, 5 },
        { c.ButtonFuncInfo[5], 5, 30, 0, 9, 13 },
        { c.ButtonFuncInfo[6], 6, 31, 0, 10, 14 },
        { c.VWheelButtonFuncInfo[0], 0, 0, 1, 11, 1 },
        { c.VWheelButtonFuncInfo[1], 1, 1, 1, 12, 2 },
    };
    for (const auto& s : slots) {
        EXPECT_EQ(s.info.nButtonIndex, s.index);
        EXPECT_EQ(s.info.nMenuRow, s.row);
        EXPECT_EQ(s.info.FuncKind, s.kind);
        EXPECT_EQ(s.info.DeviceCode, static_cast<std::uint32_t>(s.code));
        EXPECT_EQ(s.info.MenuID, static_cast<std::uint32_t>(s.menu));
    }
    // Nothing the factory values do not name is set.
    EXPECT_TRUE(allZero(&p.FunctionList, sizeof p.FunctionList));
    EXPECT_TRUE(allZero(&c.ApplicationList, sizeof c.ApplicationList));
    EXPECT_TRUE(allZero(&c.ButtonFuncInfo[7], sizeof(TBUTTONFUNCINFO) * 8));
    EXPECT_TRUE(allZero(&p.MacroKeyInfoList, sizeof p.MacroKeyInfoList));
    EXPECT_TRUE(allZero(&p.OtherConfig, sizeof p.OtherConfig));
    EXPECT_EQ(c.UseDiffentXY[4], 0);
}

TEST_F(ProfileManagerTest, FactoryProfilesOfOneIndexAreIdentical)
{
    auto a = start();
    test::TempDir otherHome;
    auto otherRegistry = platform::openMemoryRegistry();
    DMEnvironment env { otherRegistry.get(), test::utf8(home / "Documents"), "", "0409" };
    TDM b(env);
    b.DataModuleCreate();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(a->ProfileComponent(i).Image(), b.ProfileComponent(i).Image()) << i;
}

TEST_F(ProfileManagerTest, ModesRememberTheirOwnProfile)
{
    auto dm = start();
    ASSERT_TRUE(dm->SwitchToProfileGroup(1));
    EXPECT_EQ(dm->ProfileIndex(), 1);
    ASSERT_TRUE(dm->SwitchToProfile(3));
    dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[dm->ProfileGroupIndex()] = 3;
    ASSERT_TRUE(dm->SwitchToProfileGroup(0));
    EXPECT_EQ(dm->ProfileIndex(), 0);
    ASSERT_TRUE(dm->SwitchToProfileGroup(1));
    EXPECT_EQ(dm->ProfileIndex(), 3);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.LEDConfig.G, 96) << "profile 4's colour";
    EXPECT_EQ(dm->AllProfileSettingInfo().CurrentGame, 3);

    EXPECT_FALSE(dm->SwitchToProfileGroup(2));
    EXPECT_FALSE(dm->SwitchToProfile(5));
    EXPECT_FALSE(dm->SwitchToProfile(-1));
    EXPECT_EQ(dm->ProfileIndex(), 3);
}

TEST_F(ProfileManagerTest, EditsSurviveASwitchOnlyWhenStoredBack)
{
    auto dm = start();
    dm->CurrentProfileInfo().ConfigInfo.PointerSpeed = 17;
    dm->SwitchToProfile(2);
    dm->SwitchToProfile(0);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.PointerSpeed, 10);

    dm->CurrentProfileInfo().ConfigInfo.PointerSpeed = 17;
    dm->SaveBackToCurrentProfileInfo();
    dm->SwitchToProfile(2);
    dm->SwitchToProfile(0);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.PointerSpeed, 17);
}

TEST_F(ProfileManagerTest, ApplySequenceSurvivesARestartByteForByte)
{
    auto dm = start();
    dm->ProfileSettingGroup().ProfileSettingList[1].StorageType = 0; // profile 2 from the registry
    // Every byte, the unread ones included, must come back as it was.
    std::mt19937 rng(3);
    std::vector<std::uint8_t> noise(sizeof(TMOUSEPROFILEINFO));
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(rng());
    std::memcpy(&dm->CurrentProfileInfo(), noise.data(), noise.size());
    dm->CurrentProfileInfo().ProfileHeader.FFileVersion = 258;
    const auto expected = std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&dm->CurrentProfileInfo()),
        reinterpret_cast<const std::uint8_t*>(&dm->CurrentProfileInfo()) + sizeof(TMOUSEPROFILEINFO));
    dm->SaveBackToCurrentProfileInfo();
    TMOUSEPROFILEINFO second;
    dm->ReadProfileInfo(second, 1);
    second.ConfigInfo.ReportRate = 1000;
    dm->SaveBackToProfileInfo(second, 1);

    dm->SaveCurrentProfileInfoToRegistry();
    dm->SaveCurrentProfileInfoToFile();
    EXPECT_EQ(dm->SaveBackAllProfileInfoToFile(), 5);
    dm->SaveBackAllProfileInfoToRegistry();
    dm->SaveProfileGroupSettingInfoToRegistry();
    dm.reset();

    auto again = start();
    EXPECT_TRUE(again->StartupProblems().empty());
    EXPECT_EQ(again->ProfileComponent(0).Image(), expected);
    EXPECT_EQ(fileBytes(profileFile(1)), expected);
    TMOUSEPROFILEINFO loaded;
    again->ReadProfileInfo(loaded, 1);
    EXPECT_EQ(loaded.ConfigInfo.ReportRate, 1000);
    EXPECT_EQ(again->ProfileSettingGroup().ProfileSettingList[1].StorageType, 0);
}

TEST_F(ProfileManagerTest, RegistryProfileMissingIsMadeButNotWritten)
{
    {
        auto dm = start();
        dm->ProfileSettingGroup().ProfileSettingList[4].StorageType = 0;
        dm->SaveProfileGroupSettingInfoToRegistry();
    }
    auto dm = start();
    TMOUSEPROFILEINFO p;
    ASSERT_TRUE(dm->ReadProfileInfo(p, 4));
    EXPECT_EQ(p.ConfigInfo.LEDConfig.R, 255);
    EXPECT_EQ(p.ConfigInfo.LEDConfig.B, 255);
    EXPECT_FALSE(registry->valueExists(HKCU, kKey, "BVProfile5.pfd"));
}

TEST_F(ProfileManagerTest, OtherStorageTypeLeavesAZeroProfile)
{
    {
        auto dm = start();
        dm->ProfileSettingGroup().ProfileSettingList[2].StorageType = 7;
        dm->SaveProfileGroupSettingInfoToRegistry();
    }
    auto dm = start();
    EXPECT_TRUE(allZero(dm->ProfileComponent(2).Image().data(), dm->ProfileComponent(2).Image().size()));
}

struct GroupDamage {
    const char* name;
    void (*damage)(std::vector<std::uint8_t>&);
};

void PrintTo(const GroupDamage& d, std::ostream* os)
{
    *os << d.name;
}

class DamagedGroupTest : public ProfileManagerTest, public ::testing::WithParamInterface<GroupDamage> { };

TEST_P(DamagedGroupTest, FallsBackToFactoryModesAndWritesThemBack)
{
    {
        auto dm = start();
        dm->SwitchToProfile(4);
        dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[0] = 4;
        dm->SaveProfileGroupSettingInfoToRegistry();
    }
    auto bytes = registryValue("BVProfileSettingGroup.pfd");
    GetParam().damage(bytes);
    registry->writeBinary(HKCU, kKey, "BVProfileSettingGroup.pfd", bytes);

    auto dm = start();
    ASSERT_EQ(dm->StartupProblems().size(), 1u);
    EXPECT_NE(dm->StartupProblems()[0].find("modes"), std::string::npos);
    EXPECT_EQ(dm->ProfileGroupIndex(), 0);
    EXPECT_EQ(dm->ProfileIndex(), 0);
    const auto stored = registryValue("BVProfileSettingGroup.pfd");
    ASSERT_EQ(stored.size(), sizeof(TProfileSettingGroup));
    EXPECT_EQ(recordFrom<TProfileSettingGroup>(stored).ProfileIndexOfProfileGroup[0], 0);
    EXPECT_EQ(dm->SaveBackAllProfileInfoToFile(), 5);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedGroupTest,
    ::testing::Values(GroupDamage { "ModeOutOfRange", [](std::vector<std::uint8_t>& b) { b[0] = 2; } },
        GroupDamage { "NegativeMode", [](std::vector<std::uint8_t>& b) { std::memset(b.data(), 0xFF, 4); } },
        GroupDamage { "ProfileIndexOutOfRange", [](std::vector<std::uint8_t>& b) { b[8] = 5; } },
        GroupDamage { "ShortImage", [](std::vector<std::uint8_t>& b) { b.resize(100); } },
        GroupDamage { "FileNameLeavesTheFolder",
            [](std::vector<std::uint8_t>& b) {
                auto g = recordFrom<TProfileSettingGroup>(b);
                SetRecordText(g.ProfileSettingList[0].FileName, "../escape.pfd");
                std::memcpy(b.data(), &g, sizeof g);
            } },
        GroupDamage { "RelativeFolder",
            [](std::vector<std::uint8_t>& b) {
                auto g = recordFrom<TProfileSettingGroup>(b);
                SetRecordText(g.ProfileSettingList[3].FilePath, "");
                std::memcpy(b.data(), &g, sizeof g);
            } },
        GroupDamage { "FolderClimbsOut",
            [](std::vector<std::uint8_t>& b) {
                auto g = recordFrom<TProfileSettingGroup>(b);
                SetRecordText(
                    g.ProfileSettingList[1].FilePath, RecordText(g.ProfileSettingList[1].FilePath) + "/../..");
                std::memcpy(b.data(), &g, sizeof g);
            } },
        GroupDamage { "RelativeMacroFolder",
            [](std::vector<std::uint8_t>& b) {
                auto g = recordFrom<TProfileSettingGroup>(b);
                SetRecordText(g.ProfileSettingList[2].MacroPath, "BVProfile3_Macros");
                std::memcpy(b.data(), &g, sizeof g);
            } },
        GroupDamage { "MacroFolderClimbsOut",
            [](std::vector<std::uint8_t>& b) {
                auto g = recordFrom<TProfileSettingGroup>(b);
                SetRecordText(
                    g.ProfileSettingList[4].MacroPath, RecordText(g.ProfileSettingList[4].MacroPath) + "/../../x");
                std::memcpy(b.data(), &g, sizeof g);
            } }),
    [](const auto& info) { return std::string(info.param.name); });

// The current profile and language: a short value starts from factory values, fields outside
// their ranges are mended; each is reported and written back.
TEST_F(ProfileManagerTest, ADamagedCurrentProfileAndLanguageIsMendedAndReported)
{
    struct Case {
        const char* name;
        void (*damage)(std::vector<std::uint8_t>&);
        int language; // what the record holds afterwards: the factory language for "0404"
    };
    const Case cases[] = {
        { "short", [](std::vector<std::uint8_t>& b) { b.resize(100); }, 2 },
        { "language 77",
            [](std::vector<std::uint8_t>& b) {
                auto a = recordFrom<TALLGAMESINFO>(b);
                a.CurrentLanguage = 77;
                a.CurrentGame = 3;
                std::memcpy(b.data(), &a, sizeof a);
            },
            2 },
        { "random bytes",
            [](std::vector<std::uint8_t>& b) {
                std::mt19937 rng(7);
                for (auto& x : b)
                    x = static_cast<std::uint8_t>(rng());
            },
            2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start("0404");
        auto bytes = registryValue("BVPROFILE.pfd");
        c.damage(bytes);
        registry->writeBinary(HKCU, kKey, "BVPROFILE.pfd", bytes);
        auto dm = start("0404");
        ASSERT_EQ(dm->StartupProblems().size(), 1u);
        EXPECT_NE(dm->StartupProblems()[0].find("current profile and language were damaged"), std::string::npos)
            << dm->StartupProblems()[0];
        EXPECT_EQ(dm->AllProfileSettingInfo().CurrentLanguage, c.language);
        const auto stored = registryValue("BVPROFILE.pfd");
        ASSERT_EQ(stored.size(), sizeof(TALLGAMESINFO));
        EXPECT_EQ(recordFrom<TALLGAMESINFO>(stored).CurrentLanguage, c.language) << "written back";
        EXPECT_TRUE(start("0404")->StartupProblems().empty()) << "the next start is clean";
    }
}

TEST_F(ProfileManagerTest, WrongTypedRecordsAreReportedAndReplaced)
{
    start();
    registry->writeDword(HKCU, kKey, "BVPROFILE.pfd", 1);
    registry->writeDword(HKCU, kKey, "BVProfileSettingGroup.pfd", 1);
    auto dm = start();
    EXPECT_EQ(dm->StartupProblems().size(), 2u);
    EXPECT_EQ(registryValue("BVPROFILE.pfd").size(), sizeof(TALLGAMESINFO));
    EXPECT_EQ(registryValue("BVProfileSettingGroup.pfd").size(), sizeof(TProfileSettingGroup));
}

TEST_F(ProfileManagerTest, UnreadableProfileFileIsReportedAndNeverOverwritten)
{
    start();
    fs::remove(profileFile(2));
    fs::create_directory(profileFile(2)); // exists, cannot be read as a file
    std::ofstream(profileFile(2) / "keep") << "user data";

    auto dm = start();
    ASSERT_EQ(dm->StartupProblems().size(), 1u);
    EXPECT_NE(dm->StartupProblems()[0].find("BVProfile2.pfd"), std::string::npos);
    TMOUSEPROFILEINFO p;
    dm->ReadProfileInfo(p, 1);
    EXPECT_EQ(p.ConfigInfo.LEDConfig.B, 255) << "factory values in memory";

    // Kept safe, but never silently: the user learns that this profile's changes miss its file.
    try {
        dm->SaveBackAllProfileInfoToFile();
        ADD_FAILURE() << "the skipped file must be reported";
    } catch (const StoreError& e) {
        ASSERT_EQ(e.Failures().size(), 1u);
        EXPECT_NE(e.Failures()[0].find("BVProfile2.pfd"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(profileFile(1)).size(), sizeof(TMOUSEPROFILEINFO)) << "the others are written";
    dm->SwitchToProfile(1);
    EXPECT_THROW(dm->SaveCurrentProfileInfoToFile(), StoreError);
    EXPECT_TRUE(fs::is_regular_file(profileFile(2) / "keep"));
}

TEST_F(ProfileManagerTest, ProfileFileAcceptance)
{
    auto dm = start();
    const auto good = fileBytes(profileFile(1));
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool accepted;
    };
    auto wrongVersion = good;
    wrongVersion[0] = 0x03;
    auto longer = good;
    longer.push_back(0);
    const Case cases[] = {
        { "good", good, true },
        { "version 259", wrongVersion, false },
        { "truncated", std::vector<std::uint8_t>(good.begin(), good.begin() + 1000), false },
        { "too long", longer, false },
        { "empty", {}, false },
    };
    for (const auto& c : cases) {
        const auto path = home / (std::string(c.name) + ".pfd");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
        std::string why;
        EXPECT_EQ(IsAcceptableProfileFile(test::utf8(path), &why), c.accepted) << c.name;
        EXPECT_EQ(why.empty(), c.accepted) << c.name;
    }
    EXPECT_FALSE(IsAcceptableProfileFile(test::utf8(home / "absent.pfd")));
}

TEST_F(ProfileManagerTest, LoadingAProfileFileMovesTheCurrentProfile)
{
    auto dm = start();
    dm->SwitchToProfile(2);
    const auto source = home / "elsewhere" / "Mine.pfd";
    fs::create_directories(source.parent_path());
    fs::copy_file(profileFile(5), source);

    ASSERT_TRUE(IsAcceptableProfileFile(test::utf8(source)));
    ASSERT_TRUE(dm->ChangeCurrentProfileFileNameAndPath(test::utf8(source)));
    ASSERT_TRUE(dm->LoadCurrentProfileInfoFromFile(test::utf8(source)));
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.LEDConfig.G, 0);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.LEDConfig.B, 255);
    const auto& setting = dm->ProfileSettingGroup().ProfileSettingList[2];
    EXPECT_EQ(RecordText(setting.FileName), "Mine.pfd");
    EXPECT_EQ(RecordText(setting.FilePath), test::utf8(source.parent_path()) + test::kSep);
    EXPECT_EQ(dm->ProfileComponent(2).FilePath(), test::utf8(source.parent_path()) + test::kSep);
}

TEST_F(ProfileManagerTest, OverlongFileNameIsRefusedWithNothingChanged)
{
    auto dm = start();
    const auto before = dm->ProfileSettingGroup().ProfileSettingList[0];
    const std::string name21 = "ABCDEFGHIJKLMNOPQ.pfd"; // 21 characters
    ASSERT_EQ(name21.size(), 21u);
    EXPECT_FALSE(dm->ChangeCurrentProfileFileNameAndPath(test::utf8(home.path() / test::fromUtf8(name21))));
    EXPECT_EQ(std::memcmp(&before, &dm->ProfileSettingGroup().ProfileSettingList[0], sizeof before), 0);
    EXPECT_EQ(dm->ProfileComponent(0).FileName(), "BVProfile1.pfd");

    const std::string name20 = "中文名字的配置文件啊啊啊啊啊啊.pfd"; // 20 UTF-16 units
    EXPECT_TRUE(dm->ChangeCurrentProfileFileNameAndPath(test::utf8(home.path() / test::fromUtf8(name20))));
    EXPECT_EQ(RecordText(dm->ProfileSettingGroup().ProfileSettingList[0].FileName), name20);
}

TEST_F(ProfileManagerTest, RestoringAProfileKeepsWhatTheFactoryValuesDoNotName)
{
    auto dm = start();
    auto& p = dm->CurrentProfileInfo();
    p.MacroKeyInfoList.nMacroInfoCount = 2;
    p.MacroKeyInfoList.MacroInfos[0].szMacroName[0] = u'M';
    p.ConfigInfo.ButtonFuncInfo[12].DeviceCode = 77;
    p.ConfigInfo.ButtonFuncInfo[2].MenuID = 1001;
    p.ConfigInfo.LEDConfig.BREATH_SECOND = 9;
    dm->SaveBackToCurrentProfileInfo();
    dm->SwitchToProfile(0);

    dm->RestoreCurrentProfileInfoToDefault();
    EXPECT_EQ(p.MacroKeyInfoList.nMacroInfoCount, 0);
    EXPECT_EQ(p.MacroKeyInfoList.MacroInfos[0].szMacroName[0], u'M');
    EXPECT_EQ(p.ConfigInfo.ButtonFuncInfo[12].DeviceCode, 77u);
    EXPECT_EQ(p.ConfigInfo.ButtonFuncInfo[2].MenuID, 3u);
    EXPECT_EQ(p.ConfigInfo.LEDConfig.BREATH_SECOND, 9);
    EXPECT_EQ(p.ConfigInfo.LEDConfig.R, 255);
    EXPECT_EQ(dm->ProfileComponent(0).Image().size(), sizeof(TMOUSEPROFILEINFO));
}

TEST_F(ProfileManagerTest, StoredProfilesOfTheWrongSizeStartFromFactoryValues)
{
    {
        auto dm = start();
        dm->ProfileSettingGroup().ProfileSettingList[0].StorageType = 0;
        dm->SaveProfileGroupSettingInfoToRegistry();
        // Another profile's bytes would show through the end of a short one.
        dm->CurrentProfileInfo().MacroKeyInfoList.nMacroInfoCount = 3;
        dm->SaveBackToCurrentProfileInfo();
    }
    registry->writeBinary(HKCU, kKey, "BVProfile1.pfd", std::vector<std::uint8_t>(50, 0x11));
    const std::vector<std::uint8_t> shortFile(1000, 0x22);
    {
        std::ofstream(profileFile(2), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(shortFile.data()), 1000);
    }
    auto dm = start();
    ASSERT_EQ(dm->StartupProblems().size(), 2u);
    EXPECT_NE(dm->StartupProblems()[0].find("50 bytes"), std::string::npos);
    EXPECT_EQ(dm->ProfileComponent(0).Size(), static_cast<std::int64_t>(sizeof(TMOUSEPROFILEINFO)));
    EXPECT_EQ(dm->CurrentProfileInfo().ProfileHeader.FFileVersion, 258);
    EXPECT_EQ(dm->CurrentProfileInfo().MacroKeyInfoList.nMacroInfoCount, 0);
    TMOUSEPROFILEINFO second;
    dm->ReadProfileInfo(second, 1);
    EXPECT_EQ(second.ConfigInfo.LEDConfig.B, 255) << "factory blue";
    EXPECT_THROW(dm->SaveBackAllProfileInfoToFile(), StoreError);
    EXPECT_EQ(fileBytes(profileFile(2)), shortFile) << "the short file is left untouched";

    dm->RestoreCurrentProfileInfoToDefault();
    EXPECT_EQ(dm->ProfileComponent(0).Size(), static_cast<std::int64_t>(sizeof(TMOUSEPROFILEINFO)));
}

// Stored images longer than a profile keep their first record: nothing the user set is replaced
// by factory values.
TEST_F(ProfileManagerTest, LongerStoredProfilesKeepTheirFirstRecord)
{
    std::vector<std::uint8_t> first, second;
    {
        auto dm = start();
        dm->ProfileSettingGroup().ProfileSettingList[0].StorageType = 0;
        dm->SaveProfileGroupSettingInfoToRegistry();
        dm->CurrentProfileInfo().ConfigInfo.PointerSpeed = 17;
        dm->SaveCurrentProfileInfoToRegistry();
        first = dm->ProfileComponent(0).Image();
        dm->SwitchToProfile(1);
        dm->CurrentProfileInfo().ConfigInfo.ReportRate = 500;
        dm->SaveBackToCurrentProfileInfo();
        dm->SaveCurrentProfileInfoToFile();
        second = dm->ProfileComponent(1).Image();
    }
    auto longer = [](std::vector<std::uint8_t> bytes) {
        bytes.resize(bytes.size() + 4096, 0x5A);
        return bytes;
    };
    registry->writeBinary(HKCU, kKey, "BVProfile1.pfd", longer(first));
    {
        const auto bytes = longer(second);
        std::ofstream(profileFile(2), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    auto dm = start();
    EXPECT_TRUE(dm->StartupProblems().empty());
    EXPECT_EQ(dm->ProfileComponent(0).Image(), first);
    EXPECT_EQ(dm->ProfileComponent(1).Image(), second);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.PointerSpeed, 17);
}

TEST_F(ProfileManagerTest, ReloadFromTheRegistryTakesOnlyAWholeProfile)
{
    auto dm = start();
    dm->ProfileSettingGroup().ProfileSettingList[0].StorageType = 0;
    dm->CurrentProfileInfo().ConfigInfo.PointerSpeed = 4;
    dm->SaveCurrentProfileInfoToRegistry();
    auto stored = dm->ProfileComponent(0).Image();

    // Unsaved edits and the stored image stay when the value is refused.
    dm->CurrentProfileInfo().ConfigInfo.PointerSpeed = 9;
    registry->writeBinary(HKCU, kKey, "BVProfile1.pfd", std::vector<std::uint8_t>(50, 0x11));
    EXPECT_FALSE(dm->LoadCurrentProfileInfoFromRegistry());
    EXPECT_EQ(dm->ProfileComponent(0).Image(), stored);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.PointerSpeed, 9);

    auto changed = stored;
    changed[offsetof(TMOUSEPROFILEINFO, ConfigInfo) + offsetof(TMOUSECONFIGINFO, PointerSpeed)] = 12;
    auto longer = changed;
    longer.resize(longer.size() + 10, 0x33);
    registry->writeBinary(HKCU, kKey, "BVProfile1.pfd", longer);
    EXPECT_TRUE(dm->LoadCurrentProfileInfoFromRegistry());
    EXPECT_EQ(dm->ProfileComponent(0).Image(), changed);
    EXPECT_EQ(dm->CurrentProfileInfo().ConfigInfo.PointerSpeed, 12);
}

// One file that cannot be written never costs the others, and every failure is named.
TEST_F(ProfileManagerTest, EveryProfileFileIsTriedAndEveryFailureReported)
{
    auto dm = start();
    for (int n : { 2, 4 }) {
        fs::remove(profileFile(n));
        fs::create_directories(profileFile(n) / "in the way");
    }
    for (int i = 0; i < 5; ++i) {
        TMOUSEPROFILEINFO p;
        dm->ReadProfileInfo(p, i);
        p.ConfigInfo.PointerSpeed = 15;
        dm->SaveBackToProfileInfo(p, i);
    }
    try {
        dm->SaveBackAllProfileInfoToFile();
        ADD_FAILURE() << "two files could not be written";
    } catch (const StoreError& e) {
        ASSERT_EQ(e.Failures().size(), 2u) << e.what();
        EXPECT_NE(e.Failures()[0].find("Profile 2"), std::string::npos) << e.Failures()[0];
        EXPECT_NE(e.Failures()[1].find("BVProfile4.pfd"), std::string::npos) << e.Failures()[1];
    }
    for (int n : { 1, 3, 5 })
        EXPECT_EQ(recordFrom<TMOUSEPROFILEINFO>(fileBytes(profileFile(n))).ConfigInfo.PointerSpeed, 15) << n;
}

// A registry whose key cannot be made: every store says so instead of passing for done.
class KeylessRegistry final : public platform::Registry {
public:
    bool keyExists(platform::RootKey, const std::string&) const override { return false; }
    bool createKey(platform::RootKey, const std::string&) override { return false; }
    bool valueExists(platform::RootKey, const std::string&, const std::string&) const override { return false; }
    std::optional<std::vector<std::uint8_t>> readBinary(
        platform::RootKey, const std::string&, const std::string&) const override
    {
        return std::nullopt;
    }
    std::optional<std::uint32_t> readDword(platform::RootKey, const std::string&, const std::string&) const override
    {
        return std::nullopt;
    }
    void writeBinary(platform::RootKey, const std::string&, const std::string&, std::span<const std::uint8_t>) override
    {
        ADD_FAILURE() << "written without a key";
    }
    void writeDword(platform::RootKey, const std::string&, const std::string&, std::uint32_t) override
    {
        ADD_FAILURE() << "written without a key";
    }
};

TEST_F(ProfileManagerTest, AKeyThatCannotBeCreatedIsAFailedStore)
{
    registry = std::make_unique<KeylessRegistry>();
    auto dm = start();
    ASSERT_EQ(dm->StartupProblems().size(), 2u) << "the modes and the current profile were not stored";
    EXPECT_NE(dm->StartupProblems()[0].find("cannot be created"), std::string::npos) << dm->StartupProblems()[0];

    const std::pair<const char*, std::function<void()>> stores[] = {
        { "profile", [&] { dm->SaveCurrentProfileInfoToRegistry(); } },
        { "all profiles", [&] { dm->SaveBackAllProfileInfoToRegistry(); } },
        { "current profile and language", [&] { dm->SaveBackAllProfileSettingInfo(); } },
        { "modes", [&] { dm->SaveProfileGroupSettingInfoToRegistry(); } },
        { "factory modes", [&] { dm->RestoreProfileSettingGroupToDefault(); } },
    };
    for (const auto& [name, store] : stores)
        EXPECT_THROW(store(), StoreError) << name;
    try {
        dm->SaveBackAllProfileInfoToRegistry();
    } catch (const StoreError& e) {
        EXPECT_EQ(e.Failures().size(), 5u) << "each profile is tried";
    }
}

TEST_F(ProfileManagerTest, ProfileIndicesOutsideTheFiveAreRefused)
{
    auto dm = start();
    for (int i : { -1, 5, 6 })
        EXPECT_THROW(dm->ProfileComponent(i), std::out_of_range) << i;
    TMOUSEPROFILEINFO p;
    EXPECT_FALSE(dm->ReadProfileInfo(p, 5));
    EXPECT_FALSE(dm->SaveProfileInfoToRegistry(5));
}

TEST_F(ProfileManagerTest, PartialDefaultsTouchOnlyTheirFields)
{
    auto dm = start();
    auto& c = dm->CurrentProfileInfo().ConfigInfo;
    c.CPIState[0] = { 1200, 100, 1 };
    c.ApplyDiffirentXY = 1;
    c.PointerSpeed = 3;
    c.ReportRate = 1000;
    dm->RestoreToDefaultCPISetting();
    EXPECT_EQ(c.CPIState[0].X, 400);
    EXPECT_EQ(c.HWCPIState[0].X, 500);
    EXPECT_EQ(c.UseDiffentXY[0], 0) << "unlike a new profile";
    EXPECT_EQ(c.ApplyDiffirentXY, 0);
    EXPECT_EQ(c.ReportRate, 1000);

    c.LEDConfig = { 1, 2, 3, 0, 0, 0 };
    c.FireKeySpeed = 200;
    dm->RestoreToDefaultLightAndReportAdvancedSetting();
    EXPECT_EQ(c.ReportRate, 125);
    EXPECT_EQ(c.FireKeySpeed, 5);
    EXPECT_EQ(c.ApplyAccelaration, 1);
    EXPECT_EQ(c.LEDConfig.R, 255);
    EXPECT_EQ(c.LEDConfig.BRIGHT_LEVEL, 2);
    EXPECT_EQ(c.PointerSpeed, 3);
}

TEST_F(ProfileManagerTest, RestoreModeProfile)
{
    auto dm = start();
    TMOUSEPROFILEINFO p;
    dm->ReadProfileInfo(p, 1);
    p.ConfigInfo.PointerSpeed = 2;
    dm->SaveBackToProfileInfo(p, 1);
    ASSERT_TRUE(dm->RestoreProfileGroupToDefault(1));
    dm->ReadProfileInfo(p, 1);
    EXPECT_EQ(p.ConfigInfo.PointerSpeed, 10);
    EXPECT_EQ(p.ConfigInfo.LEDConfig.B, 0) << "a component restore keeps red";
    EXPECT_FALSE(dm->RestoreProfileGroupToDefault(2));
}

TEST_F(ProfileManagerTest, FactoryLanguageFollowsTheSystem)
{
    const std::pair<const char*, int> cases[] = { { "0804", 1 }, { "0404", 2 }, { "0409", 0 }, { "0407", 0 } };
    for (const auto& [lang, index] : cases) {
        registry = platform::openMemoryRegistry();
        EXPECT_EQ(start(lang)->AllProfileSettingInfo().CurrentLanguage, index) << lang;
    }
}

TEST_F(ProfileManagerTest, TestProfileValues)
{
    auto dm = start();
    dm->InitTestDefaultValue();
    const auto& t = dm->TestProfileInfo().ConfigInfo;
    EXPECT_EQ(t.ButtonCount, 8);
    EXPECT_EQ(t.ButtonFuncInfo[3].DeviceCode, 5u);
    EXPECT_EQ(t.ButtonFuncInfo[3].MenuID, 0u);
    EXPECT_EQ(t.ButtonFuncInfo[7].FuncKind, 11);
    EXPECT_EQ(t.ButtonFuncInfo[7].DeviceCode, 19u);
    EXPECT_EQ(t.ButtonFuncInfo[7].RawCode[0], 0x80);
    EXPECT_EQ(t.VWheelButtonFuncInfo[0].DeviceCode, 0u);
    EXPECT_EQ(dm->DefaultProfileInfo().ConfigInfo.LEDConfig.R, 255);
    EXPECT_EQ(dm->DefaultProfileInfo().ConfigInfo.ButtonCount, 7);
    EXPECT_FALSE(registry->valueExists(HKCU, kKey, "VKM2210ProfileTest.pfd"));

    std::vector<std::uint8_t> empty;
    uiProfileTestRestoreToDefault(empty);
    EXPECT_TRUE(empty.empty());
}

} // namespace

// A batch runs every store whatever the others did, and a reason that several stores share is
// said once, in the order it first came.
TEST(StoreBatchTest, RunsEveryStoreAndKeepsEachReasonOnce)
{
    StoreBatch batch;
    int ran = 0;
    batch.Try("The profiles", [&] {
        ++ran;
        throw StoreError(std::vector<std::string> { "Disk full.", "Locked." });
    });
    batch.Try("The modes", [&] {
        ++ran;
        throw std::runtime_error("cannot write");
    });
    batch.Try("The current profile", [&] {
        ++ran;
        throw StoreError("Disk full.");
    });
    batch.Try("The files", [&] { ++ran; });
    EXPECT_EQ(ran, 4);
    EXPECT_EQ(batch.Failures(), (std::vector<std::string> { "Disk full.", "Locked.", "The modes: cannot write" }));
    try {
        batch.ThrowIfFailed();
        ADD_FAILURE() << "a failed batch must throw";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.Failures(), batch.Failures());
    }
}
