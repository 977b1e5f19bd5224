#include "platform/shell_open.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using namespace bv::platform;
namespace fs = std::filesystem;

namespace {

void writeScript(const fs::path& p, const std::string& body)
{
    std::ofstream(p) << "#!/bin/sh\n" << body;
    fs::permissions(p, fs::perms::owner_all);
}

// The started program runs on its own; wait for what it leaves behind.
std::string waitForFile(const fs::path& p)
{
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(p);
        std::stringstream text;
        text << in.rdbuf();
        if (in && text.str().find('\n') != std::string::npos)
            return text.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

} // namespace

TEST(StartProgram, RunsTheProgramInItsFolderWithoutWaiting)
{
    bv::test::TempDir dir;
    const auto program = dir / "bvmon";
    writeScript(program, "sleep 1\npwd > started.txt\n");
    std::string error;
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(StartProgram(program, dir.path(), &error)) << error;
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(900)) << "nothing waits for it";
    EXPECT_EQ(waitForFile(dir / "started.txt"), fs::canonical(dir.path()).string() + "\n");
}

TEST(StartProgram, ReportsWhatCannotBeStarted)
{
    bv::test::TempDir dir;
    std::ofstream(dir / "plain") << "not a program";
    writeScript(dir / "broken", "");
    fs::permissions(dir / "broken", fs::perms::owner_read | fs::perms::owner_write);
    std::ofstream(dir / "badformat") << "\x7f"
                                        "ELF garbage";
    fs::permissions(dir / "badformat", fs::perms::owner_all);
    for (const char* name : { "missing", "plain", "broken", "badformat" }) {
        std::string error;
        EXPECT_FALSE(StartProgram(dir / name, dir.path(), &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    writeScript(dir / "ok", "true\n");
    std::string error;
    EXPECT_FALSE(StartProgram(dir / "ok", dir / "no-such-folder", &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(ShellOpen, HandsTheTargetToXdgOpenAsOneArgumentWithoutAShell)
{
    bv::test::TempDir dir;
    bv::platform_test::ScopedEnv env;
    writeScript(dir / "xdg-open", "printf '%s|%s\\n' \"$#\" \"$1\" > \"" + dir.str() + "/args.txt\"\n");
    env.set("PATH", dir.str());
    const std::string target = "https://example.invalid/a b?x=1&y=$(touch pwned);`id`";
    std::string error;
    ASSERT_TRUE(ShellOpen(target, &error)) << error;
    EXPECT_EQ(waitForFile(dir / "args.txt"), "1|" + target + "\n");
    EXPECT_FALSE(fs::exists(dir / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST(ShellOpen, WithoutXdgOpenSaysWhatIsMissing)
{
    bv::test::TempDir dir;
    bv::platform_test::ScopedEnv env;
    env.set("PATH", dir.str());
    std::string error;
    EXPECT_FALSE(ShellOpen("/tmp/manual.pdf", &error));
    EXPECT_NE(error.find("xdg-open"), std::string::npos) << error;
}
#endif
