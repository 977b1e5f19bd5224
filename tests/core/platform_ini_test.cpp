#include "platform/ini_file.h"
#include "util/utf16.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

using namespace bv;
using bv::platform::IniFile;

namespace {

std::string utf16LeFile(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

TEST(IniRules, LookupTable)
{
    struct Case {
        const char* what;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        { "plain", "[s]\nk=v", "s", "k", "v" },
        { "blanks around names and value", "  [ s ]  \n\t k \t=  v v \t\n", "s", "k", "v v" },
        { "first '=' splits", "[s]\nk=a=b", "s", "k", "a=b" },
        { "names ignore case", "[OtherConfig]\nNoLogo=1", "otherCONFIG", "NOLOGO", "1" },
        { "semicolon comment", "[s]\n;k=v", "s", "k", std::nullopt },
        { "hash comment", "[s]\n  #k=v", "s", "k", std::nullopt },
        { "comment only at line start", "[s]\nk=v ;note", "s", "k", "v ;note" },
        { "line without '='", "[s]\nk\n", "s", "k", std::nullopt },
        { "key before any section", "k=v\n[s]\n", "s", "k", std::nullopt },
        { "first duplicate key wins", "[s]\nk=1\nK=2", "s", "k", "1" },
        { "first duplicate section wins", "[s]\na=1\n[S]\na=2", "s", "a", "1" },
        { "keys of a later duplicate section are dropped", "[s]\na=1\n[S]\nb=2", "s", "b", std::nullopt },
        { "double quotes removed", "[s]\nk= \" a b \" ", "s", "k", " a b " },
        { "single quotes removed", "[s]\nk='x'", "s", "k", "x" },
        { "only one pair removed", "[s]\nk=\"\"x\"\"", "s", "k", "\"x\"" },
        { "unmatched quotes kept", "[s]\nk=\"x'", "s", "k", "\"x'" },
        { "lone quote kept", "[s]\nk=\"", "s", "k", "\"" },
        { "empty value", "[s]\nk=", "s", "k", "" },
        { "empty key ignored", "[s]\n=v", "s", "", std::nullopt },
        { "CR LF", "[s]\r\nk=v\r\nj=w\r\n", "s", "k", "v" },
        { "CR only", "[s]\rk=v\rj=w", "s", "j", "w" },
        { "text after ']' ignored", "[s] trailing\nk=v", "s", "k", "v" },
        { "unclosed '[' is not a section", "[s]\n[broken\nk=v", "s", "k", "v" },
        { "empty section name", "[]\nk=v", "", "k", "v" },
        { "invalid UTF-8 kept as bytes", "[s]\nk=\xFF\xC0\x80", "s", "k", "\xFF\xC0\x80" },
        { "UTF-8 BOM dropped", "\xEF\xBB\xBF[s]\nk=v", "s", "k", "v" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniFile::parse(c.text).value(c.section, c.key), c.expected) << c.what;
}

TEST(IniRules, SectionListsFirstSpellingsInFileOrder)
{
    const auto ini = IniFile::parse("[HelpFiles]\n0804=zh.pdf\n0409=en.pdf\n0804=other.pdf\n[Empty]\n");
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ini.section("helpfiles"), (Entries { { "0804", "zh.pdf" }, { "0409", "en.pdf" } }));
    EXPECT_TRUE(ini.hasSection("EMPTY"));
    EXPECT_TRUE(ini.section("Empty").empty());
    EXPECT_FALSE(ini.hasSection("Missing"));
    EXPECT_TRUE(ini.section("Missing").empty());
    EXPECT_EQ(ini.valueOr("Empty", "k", "fallback"), "fallback");
    EXPECT_EQ(ini.valueOr("HelpFiles", "0409", "fallback"), "en.pdf");
}

TEST(IniRules, IntValueTakesLeadingDigits)
{
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        { "12", 12 }, { "-5", -5 }, { "+7", 7 }, { "42abc", 42 }, { "\"15\"", 15 }, { "abc", -99 }, { "", -99 },
        { "-", -99 }, { " ", -99 }, { "0x10", 0 }, { "2147483647", 2147483647 },
        { "4294967295", -1 }, // wraps like Windows
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniFile::parse(std::string("[s]\nk=") + c.value).intValue("s", "k", -99), c.expected) << c.value;
    EXPECT_EQ(IniFile::parse("[s]\n").intValue("s", "k", -99), -99);
}

TEST(IniEncoding, Utf16LittleEndianWithBom)
{
    const std::string bytes
        = utf16LeFile(u"[HelpFiles]\r\n0404=\u8aaa\u660e.pdf\r\nmouse=\"\U0001F5B1\"\r\nbroken=a\xD800z\r\n") + "\x41";
    const auto ini = IniFile::parse(bytes);
    EXPECT_EQ(ini.value("helpfiles", "0404"), "\xE8\xAA\xAA\xE6\x98\x8E.pdf");
    EXPECT_EQ(ini.value("HelpFiles", "mouse"), "\xF0\x9F\x96\xB1");
    EXPECT_EQ(ini.value("HelpFiles", "broken"), "a\xEF\xBF\xBDz");
}

TEST(IniEncoding, Utf16BigEndianWithBom)
{
    const auto ini = IniFile::parse(std::string("\xFE\xFF\0[\0s\0]\0\n\0k\0=\0v", 16));
    EXPECT_EQ(ini.value("s", "k"), "v");
}

TEST(IniFileLoad, ReadsFilesAndTreatsMissingOnesAsEmpty)
{
    test::TempDir dir;
    std::ofstream(dir / "config.ini", std::ios::binary) << utf16LeFile(u"[OtherConfig]\r\nNoLogo=1\r\n");
    EXPECT_EQ(IniFile::load(dir / "config.ini").intValue("OtherConfig", "NoLogo", 0), 1);
    EXPECT_FALSE(IniFile::load(dir / "missing.ini").hasSection("OtherConfig"));
    EXPECT_FALSE(IniFile::load(dir.path()).hasSection("OtherConfig")); // a folder
}

// A quadratic parser (rescanning keys or sections, or clearing a grown hash set per section)
// would take minutes here.
TEST(IniFileLoad, LargeInputParsesInOnePass)
{
    constexpr int kCount = 200000;
    std::ostringstream text;
    text << "[big]\n";
    for (int i = 0; i < kCount; ++i)
        text << "key" << i << "=" << i << "\n";
    for (int i = 0; i < kCount; ++i)
        text << "[s" << i << "]\n[BIG]\nk=v\n";
    const auto ini = IniFile::parse(text.str());
    EXPECT_EQ(ini.section("big").size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(ini.intValue("big", "KEY199999", 0), 199999);
    EXPECT_EQ(ini.value("big", "k"), std::nullopt);
    EXPECT_TRUE(ini.hasSection("s199999"));
}

TEST(IniUtf16, ValidTextRoundTrips)
{
    const std::string utf8 = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x96\xB1";
    const std::u16string utf16 = u"a\u00E9\u65E5\U0001F5B1";
    EXPECT_EQ(util::utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(util::utf16ToUtf8(utf16), utf8);
}

TEST(IniUtf16, EachBrokenSequenceBecomesOneReplacement)
{
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string expected;
    };
    const Case cases[] = {
        { "overlong NUL", "\xC0\x80", u"\uFFFD\uFFFD" },
        { "truncated at end", "x\xE6\x97", u"x\uFFFD" },
        { "truncated before ASCII",
            "\xF0\x9F\x96"
            "a",
            u"\uFFFDa" },
        { "encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD" },
        { "above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD" },
        { "overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD" },
        { "stray continuation",
            "\x80"
            "a",
            u"\uFFFDa" },
        { "invalid lead", "\xFF", u"\uFFFD" },
        { "highest scalar", "\xF4\x8F\xBF\xBF", u"\U0010FFFF" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(util::utf8ToUtf16(c.utf8), c.expected) << c.what;
}

TEST(IniUtf16, UnpairedSurrogatesBecomeReplacements)
{
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(util::utf16ToUtf8(std::u16string { 0xD800, u'x' }), fffd + "x");
    EXPECT_EQ(util::utf16ToUtf8(std::u16string { 0xDC00, 0xD800 }), fffd + fffd);
    EXPECT_EQ(util::utf16ToUtf8(std::u16string { u'x', 0xDBFF }), "x" + fffd);
}

} // namespace
