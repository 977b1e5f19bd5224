#include "settings/app_settings.h"

#include "platform/registry.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace bv;

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    void writeIni(const std::string& text) { std::ofstream(dir / "config.ini") << text; }
    void touch(const std::string& name) { std::ofstream(dir / name) << "manual"; }
    test::TempDir dir;
};

TEST_F(AppSettingsTest, MissingFileGivesDefaults)
{
    const auto config = ReadOtherConfig(dir.path());
    EXPECT_EQ(config.Nologo, 0);
    EXPECT_TRUE(config.HelpFile.empty());
}

TEST_F(AppSettingsTest, ReadsNoLogoAndNonEmptyHelpFiles)
{
    writeIni("[otherconfig]\nNOLOGO = 1\n[HelpFiles]\n0409=manual_en.pdf\n0804=manual_zh.pdf\n0404=\n");
    const auto config = ReadOtherConfig(dir.path());
    EXPECT_EQ(config.Nologo, 1);
    ASSERT_EQ(config.HelpFile.size(), 2u);
    EXPECT_EQ(config.HelpFile[1].ShortID, "0804");
    EXPECT_EQ(config.HelpFile[1].FileName, "manual_zh.pdf");
}

TEST_F(AppSettingsTest, HelpFileFollowsTheLanguageThenEnglish)
{
    writeIni("[HelpFiles]\n0409=manual_en.pdf\n0804=manual_zh.pdf\n0407=missing.pdf\n");
    touch("manual_en.pdf");
    touch("manual_zh.pdf");
    const auto config = ReadOtherConfig(dir.path());
    EXPECT_EQ(HelpFileToOpen(config, "0804", dir.path()), dir / "manual_zh.pdf");
    EXPECT_EQ(HelpFileToOpen(config, "0404", dir.path()), dir / "manual_en.pdf");
    EXPECT_EQ(HelpFileToOpen(config, "0407", dir.path()), std::nullopt) << "a named file that is absent opens nothing";

    const auto noEnglish = ReadOtherConfig(dir.path() / "nowhere");
    EXPECT_EQ(HelpFileToOpen(noEnglish, "0404", dir.path()), std::nullopt);
}

TEST(ProfileIDTest, WrittenOnlyWhenTheKeyExists)
{
    auto registry = platform::openMemoryRegistry();
    EXPECT_FALSE(SaveProfileIDToRegistry(*registry, 2));
    EXPECT_FALSE(registry->keyExists(platform::RootKey::CurrentUser, kRegistryKeyPath));

    ASSERT_TRUE(registry->createKey(platform::RootKey::CurrentUser, kRegistryKeyPath));
    EXPECT_TRUE(SaveProfileIDToRegistry(*registry, 2));
    EXPECT_EQ(registry->readDword(platform::RootKey::CurrentUser, kRegistryKeyPath, "ProfileID"), 2u);
}

} // namespace
