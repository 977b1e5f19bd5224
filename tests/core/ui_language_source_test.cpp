#include "temp_dir.h"
#include "ui/language_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace bv;
using ::testing::HasSubstr;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

const char* const kEnglish = "# the source list\n"
                             "@id 0409\n"
                             "@position 0\n"
                             "@source\n"
                             "\n"
                             "\"OK\"\n"
                             "\"Apply\"\n";

std::string Chinese(const std::string& entries)
{
    return "@id 0804\n@position 1\n" + entries;
}

void WriteText(const std::filesystem::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string BuildError(const std::vector<LanguageSource>& sources)
{
    try {
        BuildLanguageFile(sources);
    } catch (const LanguageSourceError& e) {
        return e.what();
    }
    ADD_FAILURE() << "built";
    return {};
}

} // namespace

TEST(LanguageSource, ParsesDirectivesEntriesAndEscapes)
{
    const std::string text = "\xEF\xBB\xBF# comment\r\n"
                             "  @id 0c04  \r\n"
                             "@position 2\r\n"
                             "\"    Four spaces\" = \"  kept  \"\r\n"
                             "\t\"Say \\\"hi\\\"\"=\"a\\\\b\"\r\n"
                             "\"Empty\" = \"\"\r\n"
                             "\"Ein=Aus\" = \"x=y\"";
    EXPECT_THROW(ParseLanguageSource(text, "t.lang"), LanguageSourceError) << "a source text cannot hold '='";

    const std::string good = text.substr(0, text.find("\"Ein")) + "\"Eins\" = \"x=y\"";
    const LanguageSource s = ParseLanguageSource(good, "t.lang");
    EXPECT_EQ(s.ShortID, "0c04");
    EXPECT_EQ(s.Position, 2);
    EXPECT_FALSE(s.IsSourceList);
    EXPECT_EQ(s.Entries,
        (Entries { { "    Four spaces", "  kept  " }, { "Say \"hi\"", "a\\b" }, { "Empty", "" }, { "Eins", "x=y" } }));

    const LanguageSource list = ParseLanguageSource(kEnglish, "en.lang");
    EXPECT_TRUE(list.IsSourceList);
    EXPECT_EQ(list.Entries, (Entries { { "OK", "OK" }, { "Apply", "Apply" } }));
}

TEST(LanguageSource, RejectsWhatCannotBeBuiltWithFileAndLine)
{
    struct Case {
        const char* name;
        std::string text;
        const char* why;
    };
    const std::string head = "@id 0804\n@position 1\n";
    const Case cases[] = {
        { "no id", "@position 1\n\"A\" = \"B\"\n", "t.lang: the file has no @id line" },
        { "no position", "@id 0804\n", "no @position line" },
        { "bad id", "@id 804\n", "t.lang:1: @id needs four hex digits" },
        { "id twice", head + "@id 0404\n", "t.lang:3: @id is given twice" },
        { "bad position", "@position -1\n", "t.lang:1: @position needs a number" },
        { "unknown directive", head + "@lang 0804\n", "t.lang:3: unknown directive @lang" },
        { "unquoted", head + "Apply = \"A\"\n", "t.lang:3: expected a text in double quotes" },
        { "open quote", head + "\"Apply = \"A\"\n", "t.lang:3: the text has no translation" },
        { "unterminated", head + "\"Apply\" = \"A\n", "t.lang:3: the text has no closing double quote" },
        { "bad escape", head + "\"A\\n\" = \"B\"\n", "t.lang:3: only \\\" and \\\\ may follow" },
        { "tab inside", head + "\"A\tB\" = \"C\"\n", "t.lang:3: the text holds a control character" },
        { "no translation", head + "\"Apply\"\n", "t.lang:3: the text has no translation" },
        { "empty source", head + "\"\" = \"x\"\n", "t.lang:3: the source text is empty" },
        { "equals in source", head + "\"a=b\" = \"x\"\n", "t.lang:3: a source text cannot hold an equals sign" },
        { "duplicate", head + "\"A\" = \"x\"\n\n\"A\" = \"y\"\n", "t.lang:5: \"A\" is listed twice" },
        { "junk after", head + "\"A\" = \"x\" ;\n", "t.lang:3: unexpected text after the entry: ;" },
        { "translation in source list", "@source\n\"A\" = \"x\"\n", "t.lang:2: the source list holds bare texts" },
        { "source after texts", head + "\"A\" = \"x\"\n@source\n", "t.lang:4: @source must come before the texts" },
        { "invalid UTF-8", head + "\"A\" = \"\xC3\x28\"\n", "t.lang: the file is not valid UTF-8" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ParseLanguageSource(c.text, "t.lang");
            ADD_FAILURE() << "accepted";
        } catch (const LanguageSourceError& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.why));
        }
    }
}

TEST(LanguageSource, BuildsSortedTablesInPositionOrder)
{
    const std::vector<LanguageSource> sources = {
        ParseLanguageSource("@id 0404\n@position 2\n\"OK\" = \"確定\"\n\"Apply\" = \"套用\"\n", "tw.lang"),
        ParseLanguageSource(kEnglish, "en.lang"),
        ParseLanguageSource(Chinese("\"Apply\" = \"应用\"\n\"OK\" = \"\"\n"), "cn.lang"),
    };
    const LanguageFile file = BuildLanguageFile(sources);
    const LanguageFile expected {
        { "Apply", "OK" },
        {
            { "0409", { "Apply=Apply", "OK=OK" } },
            { "0804", { "Apply=应用", "OK=" } },
            { "0404", { "Apply=套用", "OK=確定" } },
        },
    };
    EXPECT_EQ(file, expected);
}

TEST(LanguageSource, BuildListsEveryProblem)
{
    const auto english = ParseLanguageSource(kEnglish, "en.lang");

    const std::string incomplete
        = BuildError({ english, ParseLanguageSource(Chinese("\"OK\" = \"确定\"\n\"Help\" = \"帮助\"\n"), "cn.lang") });
    EXPECT_THAT(incomplete, HasSubstr("cn.lang: no translation for \"Apply\""));
    EXPECT_THAT(incomplete, HasSubstr("cn.lang: \"Help\" is not in the source list en.lang"));

    const auto cn = ParseLanguageSource(Chinese("\"OK\" = \"确定\"\n\"Apply\" = \"应用\"\n"), "cn.lang");
    auto samePosition = cn;
    samePosition.Name = "cn2.lang";
    samePosition.ShortID = "0804";
    const std::string clash = BuildError({ english, cn, samePosition });
    EXPECT_THAT(clash, HasSubstr("cn2.lang: @position 1 leaves a gap or repeats one"));
    EXPECT_THAT(clash, HasSubstr("cn2.lang: @id 0804 is also the ID of cn.lang"));

    auto gap = cn;
    gap.Position = 5;
    EXPECT_THAT(BuildError({ english, gap }), HasSubstr("@position 5 leaves a gap"));

    auto upper = cn;
    upper.ShortID = "0c04";
    auto lower = cn;
    lower.ShortID = "0C04";
    lower.Position = 2;
    EXPECT_THAT(BuildError({ english, upper, lower }), HasSubstr("@id 0C04 is also the ID of"));

    auto secondList = english;
    secondList.Name = "en2.lang";
    secondList.ShortID = "0809";
    secondList.Position = 1;
    EXPECT_THAT(BuildError({ english, secondList }), HasSubstr("en2.lang: a second @source file besides en.lang"));
    EXPECT_THAT(BuildError({ cn }), HasSubstr("no file says @source"));
    EXPECT_THAT(BuildError({}), HasSubstr("there are no language files"));
}

TEST(LanguageSource, ReadsTheLangFilesOfAFolder)
{
    bv::test::TempDir dir;
    EXPECT_THROW(ReadLanguageSources(dir / "missing"), LanguageSourceError);
    EXPECT_THROW(ReadLanguageSources(dir.path()), LanguageSourceError) << "no .lang files";

    WriteText(dir / "b.lang", Chinese("\"OK\" = \"确定\"\n\"Apply\" = \"应用\"\n"));
    WriteText(dir / "a.lang", kEnglish);
    WriteText(dir / "notes.txt", "not a language");
    const auto sources = ReadLanguageSources(dir.path());
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].ShortID, "0409");
    EXPECT_EQ(sources[1].ShortID, "0804");
    EXPECT_THAT(sources[1].Name, HasSubstr("b.lang"));

    WriteText(dir / "c.lang", "@id 0404\n@position 2\n\"OK\"\n");
    try {
        ReadLanguageSources(dir.path());
        ADD_FAILURE() << "accepted";
    } catch (const LanguageSourceError& e) {
        EXPECT_THAT(e.what(), HasSubstr((dir / "c.lang").string() + ":3: the text has no translation"));
    }
}
