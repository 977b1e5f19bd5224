#include "bvctl_runner.h"
#include "settings/macro_records.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

using namespace bv;
using Json = nlohmann::ordered_json;

namespace {

using namespace bv::test;

class KeysCli : public BvctlHomeTest { };

TEST_F(KeysCli, KeysListsBothFlagsOfEveryCode)
{
    const auto r = bvctl({ "keys" });
    ASSERT_EQ(r.code, 0) << r.err;
    const Json out = parseJson(r);
    EXPECT_EQ(out["schema"], 1);
    const Json& j = out["items"];
    ASSERT_EQ(j.size(), 510u);
    EXPECT_EQ(j[0], (Json { { "vk", 0 }, { "extended", 0 }, { "name", "" }, { "hid", 0 } }));
    EXPECT_EQ(j[2 * 0x0D], (Json { { "vk", 13 }, { "extended", 0 }, { "name", "ENTER" }, { "hid", 0x28 } }));
    EXPECT_EQ(j[2 * 0x0D + 1], (Json { { "vk", 13 }, { "extended", 1 }, { "name", "ENTER" }, { "hid", 0x58 } }));
    EXPECT_EQ(j[2 * 0xB4 + 1]["hid"], 0x18A);
    EXPECT_EQ(j[2 * 0xDE]["name"], "'\"");
    EXPECT_EQ(j[509]["vk"], 254);
    EXPECT_EQ(j[509]["extended"], 1);
}

TEST_F(KeysCli, MacroShowDecodesTheActions)
{
    TMACROKEYINFO m {};
    const TMACROKEY actions[] = { { 4, 1, 0xA3, 1 }, { 6, 0, 0x2C, 0x01 }, { 4, 0, 0xA3, 1 }, { 1, 1, 1, 0 },
        { 5, 1, 0xCD, 0 }, { 9, 0, 1, 2 } };
    std::copy(std::begin(actions), std::end(actions), m.MacroList);
    m.MacroList[6] = { 4, 1, 'Z', 0 }; // beyond the count: not shown
    m.MacroListCount = 6;
    m.nLoopCount = 3;
    m.nAutoAddDelay = 1;
    const char16_t name[] = u"Reload";
    std::copy(std::begin(name), std::end(name), m.szMacroName);
    const auto* p = reinterpret_cast<const std::uint8_t*>(&m);
    writeBytes(tmp / "m.macro", { p, p + sizeof m });

    const auto r = bvctl({ "macro", "show", (tmp / "m.macro").string() });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Json j = parseJson(r);
    EXPECT_EQ(j["szMacroName"], "Reload");
    EXPECT_EQ(j["MacroListCount"], 6);
    EXPECT_EQ(j["nLoopCount"], 3);
    EXPECT_EQ(j["Version"], 0);
    EXPECT_EQ(j["VersionValid"], false);
    const Json& list = j["MacroList"];
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0]["kind"], "key");
    EXPECT_EQ(list[0]["state"], "press");
    EXPECT_EQ(list[0]["name"], "R CTRL");
    EXPECT_EQ(list[0]["nKeyExtended"], 1);
    EXPECT_EQ(list[1]["kind"], "delay");
    EXPECT_EQ(list[1]["delay_ms"], 300);
    EXPECT_EQ(list[2]["state"], "release");
    EXPECT_EQ(list[3]["kind"], "mouse button");
    EXPECT_EQ(list[3]["name"], "Mouse Left Click");
    EXPECT_EQ(list[4]["MediaKey"], 0xCD);
    EXPECT_EQ(list[5]["kind"], "unknown");
    EXPECT_EQ(list[5]["VALUE2"], 2);

    // The placeholder layout of a new macro is accepted as the current version.
    std::vector<std::uint8_t> placeholder(892, 0);
    placeholder[780] = 'a';
    placeholder[880] = 0x02;
    placeholder[881] = 0x01;
    writeBytes(tmp / "a.macro", placeholder);
    const Json a = parseJson(bvctl({ "macro", "show", (tmp / "a.macro").string() }));
    EXPECT_EQ(a["Version"], 258);
    EXPECT_EQ(a["VersionValid"], true);
    EXPECT_EQ(a["szMacroName"], "a");
    EXPECT_EQ(a["MacroList"].size(), 0u);
}

TEST_F(KeysCli, MacroShowRefusesWhatIsNotAMacroRecord)
{
    struct Case {
        const char* file;
        std::size_t size;
        const char* says;
    };
    const Case cases[] = {
        { "short.macro", 891, "891 bytes" },
        { "empty.macro", 0, "0 bytes" },
        { "long.macro", 893, "longer than a macro record" },
        { "missing.macro", 0, "does not exist" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        if (std::string(c.file) != "missing.macro")
            writeBytes(tmp / c.file, std::vector<std::uint8_t>(c.size, 0));
        const auto r = bvctl({ "macro", "show", (tmp / c.file).string() });
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

TEST_F(KeysCli, MacroShowWarnsAboutADamagedCount)
{
    std::vector<std::uint8_t> bytes(892, 0);
    bytes[768] = 0xFF; // MacroListCount 255
    writeBytes(tmp / "d.macro", bytes);
    const auto r = bvctl({ "macro", "show", (tmp / "d.macro").string() });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("warning: "), std::string::npos);
    EXPECT_NE(r.err.find("255"), std::string::npos) << r.err;
    const Json j = parseJson(r);
    EXPECT_EQ(j["MacroListCount"], 255);
    EXPECT_EQ(j["MacroList"].size(), 128u);

    EXPECT_EQ(bvctl({ "macro" }).code, 1);
    EXPECT_EQ(bvctl({ "macro", "show" }).code, 1);
}

} // namespace
