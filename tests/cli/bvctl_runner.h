#pragma once
// Runs the real bvctl binary in a home of its own, capturing its output and exit code, and reads
// and writes the profile files it works on.

#include "settings/pubunit_solmarch.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace bv::test {

struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

inline std::string readText(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void writeBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

/// The profile record in a file bvctl wrote; a file of another size fails the test.
inline std::unique_ptr<TMOUSEPROFILEINFO> readProfile(const std::filesystem::path& p)
{
    const std::string bytes = readText(p);
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    EXPECT_EQ(bytes.size(), sizeof(TMOUSEPROFILEINFO)) << p;
    std::memcpy(static_cast<void*>(profile.get()), bytes.data(), std::min(bytes.size(), sizeof(TMOUSEPROFILEINFO)));
    return profile;
}

inline void writeProfile(const std::filesystem::path& p, const TMOUSEPROFILEINFO& profile)
{
    std::vector<std::uint8_t> bytes(sizeof profile);
    std::memcpy(bytes.data(), &profile, bytes.size());
    writeBytes(p, bytes);
}

/// Runs bvctl with only the given environment; output goes through files, so a large JSON
/// document cannot block the child on a full pipe.
inline RunResult runBvctl(
    const std::vector<std::string>& env, const std::vector<std::string>& args, const std::filesystem::path& captureDir)
{
    const auto outFile = captureDir / "stdout";
    const auto errFile = captureDir / "stderr";
    std::vector<std::string> argStrings { BVCTL_PATH };
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = env;
    std::vector<char*> envp;
    for (auto& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argStrings[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    RunResult r;
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << argStrings[0] << ": " << std::strerror(rc);
        return r;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (WIFEXITED(status))
        r.code = WEXITSTATUS(status);
    else
        ADD_FAILURE() << "bvctl died from signal " << WTERMSIG(status);
    r.out = readText(outFile);
    r.err = readText(errFile);
    return r;
}

inline nlohmann::ordered_json parseJson(const RunResult& r)
{
    try {
        return nlohmann::ordered_json::parse(r.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "stdout is not JSON (" << e.what() << "):\n" << r.out;
        return {};
    }
}

/// A test whose bvctl runs see a fresh home of their own; the real home is never reachable.
class BvctlHomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(home());
        std::filesystem::create_directories(tmp / "capture");
        std::filesystem::create_directories(tmp / "run");
    }

    std::filesystem::path home() const { return tmp / "home"; }

    /// Extra variables (e.g. "BV_VIRTUAL_MOUSE=...") join the isolated environment.
    RunResult bvctl(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) const
    {
        std::vector<std::string> env { "HOME=" + home().string(), "XDG_CONFIG_HOME=" + (home() / ".config").string(),
            "XDG_RUNTIME_DIR=" + (tmp / "run").string() };
        for (const char* name : { "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS" })
            if (const char* v = std::getenv(name))
                env.push_back(std::string(name) + "=" + v);
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        return runBvctl(env, args, tmp / "capture");
    }

    TempDir tmp;
};

} // namespace bv::test
