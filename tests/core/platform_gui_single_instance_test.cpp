#include "platform/single_instance.h"
#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>

using bv::platform::SingleInstanceLock;
using Status = SingleInstanceLock::Status;

namespace {

// Each test gets its own runtime folder (POSIX) and its own mutex name (Windows).
struct SingleInstance : ::testing::Test {
    bv::test::TempDir runtime;
    bv::platform_test::ScopedEnv env;
    std::string name;

    void SetUp() override
    {
        env.set("XDG_RUNTIME_DIR", runtime.str());
        name = "bvtest-" + runtime.path().filename().string();
    }
};

} // namespace

TEST_F(SingleInstance, SecondLockIsRefusedUntilTheFirstIsReleased)
{
    {
        auto first = SingleInstanceLock::Acquire(name);
        ASSERT_EQ(first.status(), Status::Acquired) << first.error();
        auto second = SingleInstanceLock::Acquire(name);
        EXPECT_EQ(second.status(), Status::HeldByOther);
        EXPECT_TRUE(second.error().empty());
        // A refused attempt leaves the holder undisturbed.
        auto third = SingleInstanceLock::Acquire(name);
        EXPECT_EQ(third.status(), Status::HeldByOther);

        // Moving the lock keeps it held.
        SingleInstanceLock moved = std::move(first);
        EXPECT_EQ(SingleInstanceLock::Acquire(name).status(), Status::HeldByOther);
    }
    EXPECT_EQ(SingleInstanceLock::Acquire(name).status(), Status::Acquired);
}

TEST_F(SingleInstance, DifferentNamesDoNotMeet)
{
    auto a = SingleInstanceLock::Acquire(name + "-a");
    auto b = SingleInstanceLock::Acquire(name + "-b");
    EXPECT_EQ(a.status(), Status::Acquired);
    EXPECT_EQ(b.status(), Status::Acquired);
}

TEST_F(SingleInstance, UnusableNamesAreReportedNotTreatedAsAnotherInstance)
{
#ifdef _WIN32
    const char* const names[] = { "", "a\\b" }; // ".." and "a/b" are legal mutex names
#else
    const char* const names[] = { "", "..", "a/b" };
#endif
    for (const std::string bad : names) {
        auto lock = SingleInstanceLock::Acquire(bad);
        EXPECT_EQ(lock.status(), Status::Unavailable) << '"' << bad << '"';
        EXPECT_FALSE(lock.error().empty());
    }
}

#ifndef _WIN32
TEST_F(SingleInstance, WithoutRuntimeFolderAPrivateFolderInTmpIsUsed)
{
    env.set("XDG_RUNTIME_DIR", std::nullopt);
    auto first = SingleInstanceLock::Acquire(name);
    ASSERT_EQ(first.status(), Status::Acquired) << first.error();
    EXPECT_EQ(SingleInstanceLock::Acquire(name).status(), Status::HeldByOther);
    std::filesystem::remove(
        std::filesystem::path("/tmp") / ("bvconfig-" + std::to_string(::getuid())) / (name + ".lock"));
}
#endif

TEST_F(SingleInstance, IsHeldLooksWithoutTakingTheLock)
{
    EXPECT_FALSE(SingleInstanceLock::IsHeld(name)) << "never made";
    {
        auto holder = SingleInstanceLock::Acquire(name);
        ASSERT_EQ(holder.status(), Status::Acquired) << holder.error();
        EXPECT_TRUE(SingleInstanceLock::IsHeld(name));
    }
    EXPECT_FALSE(SingleInstanceLock::IsHeld(name)) << "released";
    auto after = SingleInstanceLock::Acquire(name);
    EXPECT_EQ(after.status(), Status::Acquired) << "a look leaves the lock free for the next start";
}
