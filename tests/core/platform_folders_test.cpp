#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/locale.h"

#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace bv;
using namespace bv::platform;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> folderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string fileText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

#ifndef _WIN32 // XDG folders and the account database are POSIX rules
// ---- documents and program folders -------------------------------------------

class FoldersTest : public ::testing::Test {
protected:
    FoldersTest()
    {
        fs::create_directories(home / ".config");
        env.set("HOME", home.string());
        env.set("XDG_CONFIG_HOME", std::nullopt);
    }
    void writeUserDirs(const std::string& text, const fs::path& configHome) const
    {
        std::ofstream(configHome / "user-dirs.dirs") << text;
    }

    test::TempDir dir;
    fs::path home = dir / "home";
    platform_test::ScopedEnv env;
};

TEST_F(FoldersTest, DocumentsFromUserDirs)
{
    struct Case {
        const char* what;
        std::string text;
        std::string expected; // below HOME unless absolute
    };
    const Case cases[] = {
        { "below home", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "Dokumente" },
        { "absolute", "XDG_DOCUMENTS_DIR=\"/data/docs\"\n", "/data/docs" },
        { "blanks and escapes", "  XDG_DOCUMENTS_DIR = \"$HOME/My \\\"Docs\\\\\"\n", "My \"Docs\\" },
        { "last one wins",
            "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "B" },
        { "disabled as $HOME/", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "Documents" },
        { "disabled as $HOME", "XDG_DOCUMENTS_DIR=\"$HOME\"\n", "Documents" },
        { "relative refused", "XDG_DOCUMENTS_DIR=\"docs\"\n", "Documents" },
        { "unquoted refused", "XDG_DOCUMENTS_DIR=$HOME/docs\n", "Documents" },
        { "other variable", "XDG_DOCUMENTS_DIRS=\"$HOME/docs\"\n", "Documents" },
        { "$HOMEx is not $HOME", "XDG_DOCUMENTS_DIR=\"$HOMEx/docs\"\n", "Documents" },
        { "comment", "# XDG_DOCUMENTS_DIR=\"$HOME/docs\"\n", "Documents" },
    };
    for (const auto& c : cases) {
        writeUserDirs(c.text, home / ".config");
        EXPECT_EQ(userDocumentsFolder(), c.expected[0] == '/' ? fs::path(c.expected) : home / c.expected) << c.what;
    }
}

TEST_F(FoldersTest, DocumentsFollowXdgConfigHomeOnlyWhenAbsolute)
{
    EXPECT_EQ(userDocumentsFolder(), home / "Documents");

    fs::create_directories(dir / "cfg");
    writeUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/FromCfg\"\n", dir / "cfg");
    writeUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/FromHome\"\n", home / ".config");
    env.set("XDG_CONFIG_HOME", (dir / "cfg").string());
    EXPECT_EQ(userDocumentsFolder(), home / "FromCfg");
    env.set("XDG_CONFIG_HOME", "cfg");
    EXPECT_EQ(userDocumentsFolder(), home / "FromHome");
}

TEST_F(FoldersTest, WithoutHomeTheAccountDatabaseDecides)
{
    env.set("XDG_CONFIG_HOME", dir.str()); // keeps the real user-dirs.dirs out of reach
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    const fs::path expected = fs::path(account->pw_dir) / "Documents";
    env.set("HOME", std::nullopt);
    EXPECT_EQ(userDocumentsFolder(), expected);
    env.set("HOME", "");
    EXPECT_EQ(userDocumentsFolder(), expected);
}

TEST_F(FoldersTest, ProgramFolderFromEnvironmentOrExecutable)
{
    env.set("BV_PROGRAM_DIR", dir.str());
    EXPECT_EQ(programFolder(), dir.path());

    env.set("BV_PROGRAM_DIR", "");
    const fs::path exeFolder = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path found = programFolder();
    EXPECT_TRUE(found == exeFolder || found == (exeFolder / "../share/bvconfig").lexically_normal()) << found;
}

#endif

// ---- language ----------------------------------------------------------------

TEST(Locale, LangIdFromLocaleNames)
{
    const std::pair<const char*, const char*> cases[] = {
        { "en_US.UTF-8", "0409" },
        { "en_GB", "0809" },
        { "EN_gb.utf8", "0809" },
        { "zh_CN.UTF-8", "0804" },
        { "zh_SG", "1004" },
        { "zh_TW.Big5", "0404" },
        { "zh_HK.UTF-8", "0404" },
        { "zh_MO", "0404" },
        { "zh", "0804" },
        { "de_DE@euro", "0407" },
        { "de_CH.UTF-8", "0807" },
        { "de", "0407" },
        { "fr_FR", "040C" },
        { "fr_CA", "0C0C" },
        { "fr_SN", "040C" },
        { "es_ES", "0C0A" },
        { "es_PE", "0C0A" },
        { "it_IT", "0410" },
        { "ja_JP.eucJP", "0411" },
        { "ko_KR.UTF-8", "0412" },
        { "ru_RU.KOI8-R", "0419" },
        { "pt_BR", "0416" },
        { "pt_PT", "0816" },
        { "pt", "0416" },
        { "nl_NL", "0413" },
        { "pl_PL", "0415" },
        { "tr_TR", "041F" },
        { "sv_SE", "041D" },
        { "sr_RS", "281A" },
        { "sr_RS@latin", "241A" },
        { "ca_ES@valencia", "0403" },
        { "fil_PH", "0464" },
        { "C", "0409" },
        { "POSIX", "0409" },
        { "C.UTF-8", "0409" },
        { "", "0409" },
        { "xx_YY", "0409" },
        { "_", "0409" },
        { "@", "0409" },
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(langIdFromLocaleName(name), expected) << '"' << name << '"';
}

#ifndef _WIN32 // the locale variables decide only on POSIX
TEST(Locale, OsDefaultTakesTheFirstSetVariable)
{
    struct Case {
        std::optional<std::string> lcAll, lcMessages, lang;
        const char* expected;
    };
    const Case cases[] = {
        { "de_DE.UTF-8", "ja_JP.UTF-8", "fr_FR.UTF-8", "0407" },
        { "", "ja_JP.UTF-8", "fr_FR.UTF-8", "0411" },
        { std::nullopt, std::nullopt, "zh_TW.UTF-8", "0404" },
        { std::nullopt, std::nullopt, std::nullopt, "0409" },
    };
    for (const auto& c : cases) {
        platform_test::ScopedEnv env;
        env.set("LC_ALL", c.lcAll);
        env.set("LC_MESSAGES", c.lcMessages);
        env.set("LANG", c.lang);
        EXPECT_EQ(osDefaultLangId(), c.expected) << c.lang.value_or("unset");
    }
}
#endif

// ---- atomic files ---------------------------------------------------------------

class AtomicFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path target = dir / "profile.pfd";
};

TEST_F(AtomicFileTest, ReplacesContentWithoutLeftovers)
{
    writeFileAtomic(target, Bytes { 'o', 'l', 'd' });
    writeFileAtomic(target, Bytes { 'n', 'e', 'w', '!' });
    EXPECT_EQ(fileText(target), "new!");
    writeFileAtomic(target, Bytes {});
    EXPECT_EQ(fileText(target), "");
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string> { "profile.pfd" });
}

TEST_F(AtomicFileTest, FailedRenameKeepsTheOldTargetAndCleansUp)
{
    // rename() cannot put a file over a folder that holds something; root cannot either.
    fs::create_directories(target);
    std::ofstream(target / "keep") << "kept";
    try {
        writeFileAtomic(target, Bytes { 'n', 'e', 'w' });
        FAIL() << "write over a folder succeeded";
    } catch (const fs::filesystem_error& e) {
        EXPECT_EQ(e.path1(), target);
        EXPECT_TRUE(e.code()) << e.what();
    }
    EXPECT_EQ(fileText(target / "keep"), "kept");
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string> { "profile.pfd" });
}

#ifndef _WIN32 // creating links needs a privilege on Windows
TEST_F(AtomicFileTest, ALinkIsWrittenThroughAndStaysALink)
{
    fs::create_directories(dir / "real");
    const fs::path real = dir / "real" / "mine.pfd";
    writeFileAtomic(real, Bytes { 'o', 'l', 'd' });
    fs::create_symlink("real/mine.pfd", target); // relative, as users make them
    fs::create_symlink(target, dir / "second.pfd"); // a chain of two

    writeFileAtomic(dir / "second.pfd", Bytes { 'n', 'e', 'w' });
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(target)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "second.pfd")));
    EXPECT_EQ(fileText(real), "new");
    EXPECT_EQ(folderEntries(dir / "real"), std::vector<std::string> { "mine.pfd" }) << "no temporary left";

    // A link whose file is gone gets the file, where the link points.
    fs::remove(real);
    writeFileAtomic(target, Bytes { 'b', 'a', 'c', 'k' });
    EXPECT_EQ(fileText(real), "back");

    fs::create_symlink("loop.pfd", dir / "loop.pfd");
    EXPECT_THROW(writeFileAtomic(dir / "loop.pfd", Bytes { 1 }), fs::filesystem_error);
}
#endif

// Temporary files of saves that were killed go before the next save into the folder; anything
// that is not ours, or may still be in use, stays.
TEST_F(AtomicFileTest, StaleTemporariesOfThisFileAreRemovedBeforeASave)
{
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    const std::pair<std::string, bool> files[] = {
        { ".profile.pfd.ABC123", true }, // ours, stale
        { ".profile.pfd.83726151.tmp", true }, // ours as Windows names them, stale
        { ".other.pfd.ABC123", false }, // another file's
        { ".profile.pfd.AB-12", false }, // not our pattern
        { "profile.pfd.ABC123", false }, // not hidden: not ours
    };
    for (const auto& [name, stale] : files) {
        std::ofstream(dir / name) << "left";
        fs::last_write_time(dir / name, old);
    }
    std::ofstream(dir / ".profile.pfd.Fresh1") << "in use"; // written a moment ago: maybe another save's

    writeFileAtomic(target, Bytes { 'n', 'e', 'w' });
    for (const auto& [name, stale] : files)
        EXPECT_EQ(fs::exists(dir / name), !stale) << name;
    EXPECT_TRUE(fs::exists(dir / ".profile.pfd.Fresh1"));
    EXPECT_EQ(fileText(target), "new");
}

TEST_F(AtomicFileTest, MissingFolderIsAnErrorNotCreated)
{
    EXPECT_THROW(writeFileAtomic(dir / "absent" / "file", Bytes { 1 }), fs::filesystem_error);
    EXPECT_FALSE(fs::exists(dir / "absent"));
}

#ifndef _WIN32 // POSIX permission bits and umask
TEST_F(AtomicFileTest, PermissionsOfTheOldFileAndTheUmaskApply)
{
    const mode_t oldMask = ::umask(022);
    writeFileAtomic(target, Bytes { 1 });
    const auto fresh = fs::status(target).permissions();
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    writeFileAtomic(target, Bytes { 2 });
    const auto kept = fs::status(target).permissions();
    ::umask(oldMask);

    EXPECT_EQ(fresh, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(kept, fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST_F(AtomicFileTest, ReadFileOutcomes)
{
    writeFileAtomic(target, Bytes { 1, 2, 3, 4 });
    EXPECT_EQ(readFile(target), (Bytes { 1, 2, 3, 4 }));
    EXPECT_EQ(readFile(target, 4), (Bytes { 1, 2, 3, 4 }));
    EXPECT_THROW(readFile(target, 3), fs::filesystem_error);

    EXPECT_EQ(readFile(dir / "missing"), std::nullopt);
    EXPECT_EQ(readFile(target / "below-a-file"), std::nullopt);
    EXPECT_THROW(readFile(dir.path()), fs::filesystem_error);

#ifndef _WIN32
    // Files that report no size still read whole, and still obey the limit.
    const auto status = readFile("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_GT(status->size(), 100u);
    EXPECT_THROW(readFile("/proc/self/status", 100), fs::filesystem_error);
#endif
}

} // namespace
