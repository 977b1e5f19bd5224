#include "platform/running_programs.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

using namespace bv::platform;

namespace {

std::uint32_t OwnProcess()
{
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<std::uint32_t>(::getpid());
#endif
}

} // namespace

TEST(RunningPrograms, ListThisTestOnceAmongTheProgramsRunningNow)
{
    const std::string self = ProgramOfProcess(OwnProcess());
    ASSERT_FALSE(self.empty());
    EXPECT_NE(self.find("bvcore_tests"), std::string::npos) << self;

    const std::vector<std::string> programs = RunningPrograms();
    EXPECT_EQ(std::count(programs.begin(), programs.end(), self), 1);
    EXPECT_TRUE(std::is_sorted(programs.begin(), programs.end()));
    EXPECT_EQ(ProgramOfProcess(0), "");
}
