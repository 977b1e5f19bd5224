// The real Windows registry behind the profile store (Windows builds only).
#ifdef _WIN32
#include "platform/registry.h"
#include "settings/DMUnit.h"
#include "settings/uiProfile.h"

#include <gtest/gtest.h>

#include <random>

using namespace bv;
using platform::RootKey;

namespace {

const std::string kTestKey = "software\\BrisvaneGMMouse-test";

TEST(WindowsRegistry, ProfileImageRoundTripsByteForByte)
{
    auto registry = platform::openUserRegistry();
    std::mt19937 rng(11);
    std::vector<std::uint8_t> image(sizeof(TMOUSEPROFILEINFO));
    for (auto& b : image)
        b = static_cast<std::uint8_t>(rng());

    TuiProfile out(*registry);
    out.SetRootKey(RootKey::CurrentUser);
    out.SetKeyPath(kTestKey);
    out.SetFileName("BVProfile1.pfd");
    out.Write(image.data(), static_cast<std::int64_t>(image.size()));
    ASSERT_TRUE(out.SaveStreamToRegistry());

    TuiProfile in(*registry);
    in.SetRootKey(RootKey::CurrentUser);
    in.SetKeyPath("SOFTWARE\\brisvanegmmouse-TEST");
    in.SetFileName("bvprofile1.PFD");
    ASSERT_TRUE(in.LoadStreamFromRegistry());
    EXPECT_EQ(in.Image(), image);
}

TEST(WindowsRegistry, TypesAndMissingValues)
{
    auto registry = platform::openUserRegistry();
    ASSERT_TRUE(registry->createKey(RootKey::CurrentUser, kTestKey));
    registry->writeDword(RootKey::CurrentUser, kTestKey, "ProfileID", 3);
    EXPECT_EQ(registry->readDword(RootKey::CurrentUser, kTestKey, "profileid"), 3u);
    EXPECT_THROW(registry->readBinary(RootKey::CurrentUser, kTestKey, "ProfileID"), std::system_error);
    EXPECT_EQ(registry->readBinary(RootKey::CurrentUser, kTestKey, "absent"), std::nullopt);
    EXPECT_FALSE(registry->keyExists(RootKey::CurrentUser, kTestKey + "\\absent"));
    EXPECT_THROW(registry->writeDword(RootKey::CurrentUser, kTestKey + "\\absent", "x", 1), std::system_error);
}

} // namespace
#endif
