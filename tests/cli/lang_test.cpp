#include "bvctl_runner.h"
#include "ui/language_source.h"
#include "ui/uiLanguage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace bv;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using ::testing::HasSubstr;

namespace {

using namespace bv::test;

void WriteText(const fs::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

class LangCommand : public BvctlHomeTest {
protected:
    void SetUp() override
    {
        BvctlHomeTest::SetUp();
        fs::create_directories(sources);
        WriteText(sources / "en.lang", "@id 0409\n@position 0\n@source\n\"OK\"\n\"Apply\"\n");
        WriteText(sources / "zh_CN.lang", "@id 0804\n@position 1\n\"OK\" = \"确定\"\n\"Apply\" = \"应用\"\n");
    }
    fs::path sources = tmp / "lang";
};

} // namespace

TEST_F(LangCommand, BuildThenDumpShowsTheFile)
{
    const fs::path file = tmp / "ui.local";
    const auto built = bvctl({ "lang", "build", sources.string(), "-o", file.string() });
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(built.err, "");
    EXPECT_EQ(Json::parse(built.out),
        Json::parse(R"({"schema":1,"file":")" + file.string()
            + R"(","sources":2,"languages":[{"id":"0409","lines":2},{"id":"0804","lines":2}]})"));

    const auto dumped = bvctl({ "lang", "dump", file.string() });
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    EXPECT_EQ(dumped.err, "");
    const Json expected = Json::parse(R"({
        "schema": 1,
        "sources": ["Apply", "OK"],
        "languages": [
            {"id": "0409", "lines": ["Apply=Apply", "OK=OK"]},
            {"id": "0804", "lines": ["Apply=应用", "OK=确定"]}
        ]})");
    EXPECT_EQ(Json::parse(dumped.out), expected);
}

TEST_F(LangCommand, BadSourcesFailWithTheirPlaceAndWriteNothing)
{
    WriteText(sources / "zh_TW.lang", "@id 0404\n@position 2\n\"OK\" = \"確定\"\n");
    const fs::path file = tmp / "ui.local";
    const auto r = bvctl({ "lang", "build", sources.string(), "-o", file.string() });
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("zh_TW.lang: no translation for \"Apply\""));
    EXPECT_FALSE(fs::exists(file));

    fs::remove(sources / "zh_TW.lang");
    const auto noFolder = bvctl({ "lang", "build", (tmp / "none").string(), "-o", file.string() });
    EXPECT_EQ(noFolder.code, 2);
    EXPECT_THAT(noFolder.err, HasSubstr((tmp / "none").string()));

    const fs::path unwritable = tmp / "no-such-folder" / "ui.local";
    const auto r2 = bvctl({ "lang", "build", sources.string(), "-o", unwritable.string() });
    EXPECT_EQ(r2.code, 2);
    EXPECT_EQ(r2.out, "");
    EXPECT_THAT(r2.err, HasSubstr(unwritable.string() + "\" cannot be written"));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(LangCommand, DumpRefusesWhatIsNotALanguageFile)
{
    const fs::path broken = tmp / "broken.local";
    WriteText(broken, std::string("\xFF\xFF\xFF\x7F", 4) + "AB");
    const fs::path missing = tmp / "missing.local";
    for (const auto& [file, why] : { std::pair { broken, std::string("its length is 2147483647") },
             std::pair { missing, std::string("does not exist") } }) {
        SCOPED_TRACE(file.string());
        const auto r = bvctl({ "lang", "dump", file.string() });
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_THAT(r.err, HasSubstr(file.string()));
        EXPECT_THAT(r.err, HasSubstr(why));
    }
}

TEST_F(LangCommand, UsageErrorsExitWithOne)
{
    const std::vector<std::vector<std::string>> cases = {
        { "lang" },
        { "lang", "dump" },
        { "lang", "build", sources.string() },
        { "lang", "build", "-o", (tmp / "x").string() },
        { "lang", "frobnicate" },
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        const auto r = bvctl(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

#ifdef BV_BUILT_LANGUAGE_FILE
namespace {
class ShippedLanguageFile : public BvctlHomeTest { };
} // namespace

// The file that ships beside the program is the one the sources describe.
TEST_F(ShippedLanguageFile, MatchesTheSourcesAndCoversEveryText)
{
    const LanguageFile shipped = ReadLanguageFile(BV_BUILT_LANGUAGE_FILE);
    EXPECT_EQ(shipped, BuildLanguageFile(ReadLanguageSources(BV_LANG_SOURCE_DIR)))
        << "ui.local is older than resources/lang; rebuild";

    const auto r = bvctl({ "lang", "dump", BV_BUILT_LANGUAGE_FILE });
    ASSERT_EQ(r.code, 0) << r.err;
    const Json j = Json::parse(r.out);
    ASSERT_EQ(j["languages"].size(), 3u);
    EXPECT_EQ(j["languages"][0]["id"], "0409");
    EXPECT_EQ(j["languages"][1]["id"], "0804");
    EXPECT_EQ(j["languages"][2]["id"], "0404");
    for (std::size_t language : { 1u, 2u }) {
        const auto& lines = j["languages"][language]["lines"];
        ASSERT_EQ(lines.size(), j["sources"].size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string line = lines[i];
            const std::string source = j["sources"][i];
            EXPECT_EQ(line.rfind(source + "=", 0), 0u) << line;
            EXPECT_GT(line.size(), source.size() + 1) << "empty translation: " << line;
        }
    }
}
#endif
