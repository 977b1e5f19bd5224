#ifndef _WIN32 // the runtime folder is POSIX's
// The folder for locks and sockets when XDG_RUNTIME_DIR is not set: /tmp/bvconfig-<uid> only when
// it is ours, otherwise a folder in the user's own tree, and the user is told.
#include "platform/runtime_dir.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace bv::platform::runtime;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const fs::path& p)
{
    struct stat st { };
    ::lstat(p.c_str(), &st);
    return st.st_mode & 0777;
}

} // namespace

TEST(RuntimeFolder, TheSharedNameIsUsedOnlyWhenItIsOurs)
{
    const std::string name = "bvconfig-" + std::to_string(::getuid());
    struct Case {
        const char* what;
        void (*prepare)(const fs::path& tmp, const std::string& name);
        bool shared; // the /tmp folder is used
    };
    const Case cases[] = {
        { "missing: made private", [](const fs::path&, const std::string&) {}, true },
        { "ours and private",
            [](const fs::path& tmp, const std::string& name) {
                fs::create_directory(tmp / name, tmp);
                ::chmod((tmp / name).c_str(), 0700);
            },
            true },
        { "open to others",
            [](const fs::path& tmp, const std::string& name) {
                fs::create_directory(tmp / name);
                ::chmod((tmp / name).c_str(), 0777);
            },
            false },
        { "a link",
            [](const fs::path& tmp, const std::string& name) {
                fs::create_directory(tmp / "elsewhere");
                ::chmod((tmp / "elsewhere").c_str(), 0700);
                fs::create_directory_symlink(tmp / "elsewhere", tmp / name);
            },
            false },
        { "a file", [](const fs::path& tmp, const std::string& name) { std::ofstream(tmp / name) << "x"; }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bv::test::TempDir tmp, home;
        c.prepare(tmp.path(), name);
        std::string error, warning;
        const fs::path fallback = home / ".config" / "bvconfig" / "runtime";
        const auto folder = runtimeFolderIn(tmp.path(), fallback, &error, &warning);
        ASSERT_TRUE(folder) << error;
        EXPECT_EQ(*folder, c.shared ? tmp / name : fallback);
        EXPECT_EQ(modeOf(*folder), 0700u);
        EXPECT_EQ(warning.empty(), c.shared) << warning;
        if (!c.shared) {
            EXPECT_NE(
                warning.find("is not a private folder of this user; using " + fallback.string()), std::string::npos)
                << warning;
        }
    }

    // Nothing usable at all: said so, and no folder.
    bv::test::TempDir tmp;
    fs::create_directory(tmp / name);
    ::chmod((tmp / name).c_str(), 0777);
    std::ofstream(tmp / "file") << "x";
    std::string error;
    EXPECT_FALSE(runtimeFolderIn(tmp.path(), tmp / "file" / "runtime", &error, nullptr));
    EXPECT_NE(error.find("is not a private folder of this user"), std::string::npos) << error;
}
#endif
