#include "settings/uiProfile.h"

#include "platform/registry.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

using namespace bv;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<std::uint8_t>(rng());
    return v;
}

std::vector<std::uint8_t> fileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        profile.SetRootKey(platform::RootKey::CurrentUser);
        profile.SetKeyPath("software\\BrisvaneGMMouse");
        profile.SetFileName("BVProfile1.pfd");
    }
    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openMemoryRegistry();
    TuiProfile profile { *registry };
};

TEST_F(ProfileStoreTest, WriteNeverShrinksAndReadCopiesWhatTheImageHolds)
{
    std::vector<std::uint8_t> big(200, 0xAA), small(100, 0x55), out(300, 0xEE);
    profile.Write(big.data(), 200);
    profile.Write(small.data(), 100);
    EXPECT_EQ(profile.Size(), 200);
    EXPECT_EQ(profile.Read(out.data(), 300), 200);
    EXPECT_EQ(out[99], 0x55);
    EXPECT_EQ(out[100], 0xAA);
    EXPECT_EQ(out[200], 0xEE) << "bytes past the image stay as they were";
}

TEST_F(ProfileStoreTest, RegistryLoadTakesTheStoredSize)
{
    std::vector<std::uint8_t> image(109888, 1);
    profile.Write(image.data(), static_cast<std::int64_t>(image.size()));
    const auto stored = randomBytes(50, 1);
    ASSERT_TRUE(registry->createKey(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse"));
    registry->writeBinary(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "BVProfile1.pfd", stored);
    ASSERT_TRUE(profile.LoadStreamFromRegistry());
    EXPECT_EQ(profile.Image(), stored);
}

TEST_F(ProfileStoreTest, ImagesRoundTripByteForByte)
{
    const auto image = randomBytes(109888, 7);
    profile.Write(image.data(), static_cast<std::int64_t>(image.size()));
    profile.SetFilePath(dir.str());
    ASSERT_TRUE(profile.SaveStreamToRegistry());
    ASSERT_TRUE(profile.SaveStreamToFile());
    EXPECT_EQ(fileBytes(dir / "BVProfile1.pfd"), image);

    TuiProfile fromRegistry(*registry), fromFile(*registry);
    fromRegistry.SetRootKey(platform::RootKey::CurrentUser);
    fromRegistry.SetKeyPath("SOFTWARE\\brisvanegmmouse"); // names are case-insensitive
    fromRegistry.SetFileName("bvprofile1.PFD");
    ASSERT_TRUE(fromRegistry.LoadStreamFromRegistry());
    EXPECT_EQ(fromRegistry.Image(), image);
    fromFile.SetFilePath(dir.str());
    fromFile.SetFileName("BVProfile1.pfd");
    ASSERT_TRUE(fromFile.LoadStreamFromFile());
    EXPECT_EQ(fromFile.Image(), image);
}

TEST_F(ProfileStoreTest, MissingTargetsGiveFalseAndLeaveTheImage)
{
    std::vector<std::uint8_t> image(10, 3);
    profile.Write(image.data(), 10);
    EXPECT_FALSE(profile.LoadStreamFromRegistry()) << "no value yet";
    EXPECT_FALSE(profile.LoadStreamFromFile()) << "no folder set";
    EXPECT_FALSE(profile.LoadStreamFromFile(test::utf8(dir / "absent.pfd")));
    EXPECT_FALSE(profile.SaveStreamToFile()) << "empty folder writes nothing";
    EXPECT_EQ(profile.Image(), image);

    TuiProfile noRoot(*registry);
    noRoot.SetKeyPath("software\\BrisvaneGMMouse");
    noRoot.SetFileName("x");
    EXPECT_FALSE(noRoot.SaveStreamToRegistry());
    EXPECT_FALSE(registry->valueExists(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "x"));
}

TEST_F(ProfileStoreTest, FolderRules)
{
    profile.SetFilePath(dir.str());
    EXPECT_EQ(profile.FilePath(), dir.str() + test::kSep) << "a separator is appended";
    profile.SetFilePath(test::utf8(dir / "missing"));
    EXPECT_EQ(profile.FilePath(), dir.str() + test::kSep) << "a folder that does not exist is ignored";

    const auto target = dir / "new" / "deeper" / "p.pfd";
    std::vector<std::uint8_t> image(5, 9);
    profile.Write(image.data(), 5);
    ASSERT_TRUE(profile.SaveStreamToFile(test::utf8(target)));
    EXPECT_EQ(fileBytes(target), image);
    EXPECT_EQ(profile.FilePath(), dir.str() + test::kSep) << "a named save keeps the component's own file";

    ASSERT_TRUE(profile.PreSaveStreamToFile(test::utf8(dir / "pre" / "q.pfd")));
    EXPECT_TRUE(fs::is_directory(dir / "pre"));
    EXPECT_EQ(profile.FilePath(), test::utf8(dir / "pre") + test::kSep);
    EXPECT_EQ(profile.FileName(), "q.pfd");
}

TEST_F(ProfileStoreTest, VetoCancelsWithoutTouchingAnything)
{
    std::vector<std::uint8_t> image(8, 4);
    profile.Write(image.data(), 8);
    profile.SetFilePath(dir.str());
    const auto veto = [](const std::vector<std::uint8_t>&, bool& go) { go = false; };
    profile.OnBeforeSaveToRegistry = veto;
    profile.OnBeforeSaveToFile = veto;
    profile.OnBeforeLoadFromRegistry = veto;
    profile.OnBeforeLoadFromFile = veto;
    int after = 0;
    profile.OnAfterSaveToFile = [&](const std::vector<std::uint8_t>&) { ++after; };

    EXPECT_FALSE(profile.SaveStreamToRegistry());
    EXPECT_FALSE(profile.SaveStreamToFile());
    EXPECT_FALSE(profile.SaveStreamToFile(test::utf8(dir / "x.pfd")));
    EXPECT_FALSE(registry->keyExists(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse"));
    EXPECT_FALSE(fs::exists(dir / "BVProfile1.pfd"));
    EXPECT_FALSE(fs::exists(dir / "x.pfd"));

    std::ofstream(dir / "BVProfile1.pfd") << "other";
    EXPECT_FALSE(profile.LoadStreamFromFile());
    EXPECT_FALSE(profile.LoadStreamFromRegistry());
    EXPECT_EQ(profile.Image(), image);
    EXPECT_EQ(after, 0);
}

TEST_F(ProfileStoreTest, StoreErrorsAreThrownNotTurnedIntoFalse)
{
    ASSERT_TRUE(registry->createKey(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse"));
    registry->writeDword(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "BVProfile1.pfd", 7);
    EXPECT_THROW((void)profile.LoadStreamFromRegistry(), std::system_error);

    fs::create_directory(dir / "BVProfile1.pfd"); // exists, but is no file
    profile.SetFilePath(dir.str());
    EXPECT_THROW((void)profile.LoadStreamFromFile(), std::filesystem::filesystem_error);
    EXPECT_THROW((void)profile.SaveStreamToFile(), std::filesystem::filesystem_error);
    EXPECT_TRUE(fs::is_directory(dir / "BVProfile1.pfd"));
}

TEST_F(ProfileStoreTest, RestoreToDefaultRunsTheOwnersHandlerInPlace)
{
    std::vector<std::uint8_t> image(16, 0);
    profile.Write(image.data(), 16);
    profile.RestoreToDefault(); // no handler: nothing happens
    profile.OnRestoreToDefault = [](std::vector<std::uint8_t>& s) { s[3] = 42; };
    profile.RestoreToDefault();
    EXPECT_EQ(profile.Image()[3], 42);
    EXPECT_EQ(profile.Size(), 16);
}

} // namespace
