#include "monitor/application_rules.h"

#include "settings/record_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace bv;
using namespace bv::monitor;

namespace {

std::unique_ptr<TMOUSECONFIGINFO> emptyConfig()
{
    auto c = std::make_unique<TMOUSECONFIGINFO>();
    std::memset(static_cast<void*>(c.get()), 0, sizeof(TMOUSECONFIGINFO));
    return c;
}

ProfileApplications listing(std::vector<std::string> paths, bool on = true)
{
    return ProfileApplications { on, std::move(paths) };
}

} // namespace

TEST(ApplicationRules, PathsCompareAsTheSystemDoes)
{
    struct Case {
        const char* entry;
        const char* program;
        PathCompare compare;
        bool matches;
    };
    const Case cases[] = {
        { "/usr/games/quake", "/usr/games/quake", PathCompare::Posix, true },
        { "/usr/games/Quake", "/usr/games/quake", PathCompare::Posix, false },
        { "/usr/games/quake", "/opt/games/quake", PathCompare::Posix, false },
        { "quake", "/usr/games/quake", PathCompare::Posix, true }, // a bare name matches any folder
        { "quake", "/usr/games/quake2", PathCompare::Posix, false },
        { "  \"/usr/games/quake\" ", "/usr/games/quake", PathCompare::Posix, true }, // pasted with quotes
        { "games\\quake", "/usr/games/quake", PathCompare::Posix, false }, // '\' is a plain letter here
        { "", "/usr/games/quake", PathCompare::Posix, false },
        { "quake", "", PathCompare::Posix, false },
        { "C:\\Games\\Quake.EXE", "c:/games/quake.exe", PathCompare::Windows, true },
        { "quake.exe", "C:\\Games\\QUAKE.exe", PathCompare::Windows, true },
        { "C:quake.exe", "C:\\Games\\quake.exe", PathCompare::Windows, false }, // a drive, not a bare name
        { "D:\\Games\\quake.exe", "C:\\Games\\quake.exe", PathCompare::Windows, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplicationMatches(c.entry, c.program, c.compare), c.matches) << c.entry << " vs " << c.program;
}

TEST(ApplicationRules, ProfileForPrefersFullPathsThenTheLowestProfileAndSkipsSwitchedOff)
{
    const ApplicationRules rules(
        {
            listing({ "game" }), // profile 0: by name
            listing({ "/opt/x/game" }), // profile 1: by path
            listing({ "/opt/off" }, false), // profile 2: switched off
            listing({ "editor", "/usr/bin/editor" }),
            listing({ "editor" }),
        },
        PathCompare::Posix);
    EXPECT_TRUE(rules.Active());
    EXPECT_EQ(rules.ProfileFor("/opt/x/game"), 1);
    EXPECT_EQ(rules.ProfileFor("/elsewhere/game"), 0);
    EXPECT_EQ(rules.ProfileFor("/opt/off"), std::nullopt);
    EXPECT_EQ(rules.ProfileFor("/usr/local/bin/editor"), 3);
    EXPECT_EQ(rules.ProfileFor("/usr/bin/shell"), std::nullopt);

    EXPECT_FALSE(ApplicationRules({ listing({}), listing({ "x" }, false) }).Active());
}

TEST(ApplicationRules, EditsKeepTheListWithoutGapsAndRefuseWhatItCannotHold)
{
    auto c = emptyConfig();
    EXPECT_EQ(AddApplication(*c, "/usr/bin/a", PathCompare::Posix), ApplicationEdit::Done);
    EXPECT_EQ(c->AutoSwitchProfileWhenAppRun, 1) << "the first program switches the profile on";
    SetAutoSwitch(*c, false);
    EXPECT_EQ(AddApplication(*c, "/usr/bin/b", PathCompare::Posix), ApplicationEdit::Done);
    EXPECT_EQ(c->AutoSwitchProfileWhenAppRun, 0) << "later ones leave the switch as the user set it";

    EXPECT_EQ(AddApplication(*c, " /usr/bin/a ", PathCompare::Posix), ApplicationEdit::AlreadyListed);
    EXPECT_EQ(AddApplication(*c, "   ", PathCompare::Posix), ApplicationEdit::Empty);
    EXPECT_EQ(AddApplication(*c, std::string(513, 'x'), PathCompare::Posix), ApplicationEdit::TooLong);
    EXPECT_EQ(AddApplication(*c, std::string(512, 'x'), PathCompare::Posix), ApplicationEdit::Done);

    // A record written elsewhere with a gap: the edit closes it.
    ASSERT_TRUE(SetRecordText(c->ApplicationList[6].FilePath, "/usr/bin/g"));
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(AddApplication(*c, "/p" + std::to_string(i), PathCompare::Posix), ApplicationEdit::Done);
    EXPECT_EQ(AddApplication(*c, "/p9", PathCompare::Posix), ApplicationEdit::ListFull);
    EXPECT_EQ(RecordText(c->ApplicationList[3].FilePath), "/usr/bin/g");
    EXPECT_EQ(ReadProfileApplications(*c).Paths.size(), 10u);

    EXPECT_EQ(RemoveApplication(*c, "/usr/bin/b", PathCompare::Posix), ApplicationEdit::Done);
    EXPECT_EQ(RemoveApplication(*c, "/usr/bin/b", PathCompare::Posix), ApplicationEdit::NotListed);
    EXPECT_EQ(RecordText(c->ApplicationList[1].FilePath), std::string(512, 'x'));
    EXPECT_EQ(RecordText(c->ApplicationList[9].FilePath), "");

    auto w = emptyConfig();
    ASSERT_EQ(AddApplication(*w, "C:\\Games\\Q.exe", PathCompare::Windows), ApplicationEdit::Done);
    EXPECT_EQ(AddApplication(*w, "c:/games/q.EXE", PathCompare::Windows), ApplicationEdit::AlreadyListed);
    EXPECT_EQ(RemoveApplication(*w, "c:/games/q.EXE", PathCompare::Windows), ApplicationEdit::Done);

    // The dialog's edit in one: the list and the switch as given, every later entry emptied.
    WriteProfileApplications(*c, listing({ "/a", "/b" }, false));
    EXPECT_EQ(ReadProfileApplications(*c), listing({ "/a", "/b" }, false));
    EXPECT_EQ(RecordText(c->ApplicationList[2].FilePath), "");
}
