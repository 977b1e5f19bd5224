// bvctl profile set, import, macro-add and macro-remove, checked against the bytes of the files
// they write.
#include "bvctl_runner.h"
#include "keys/uiStdCmd.h"
#include "profile_json.h"
#include "settings/record_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace bv;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

using namespace bv::test;

void writeMacro(const fs::path& p, const std::string& name, std::vector<TMACROKEY> actions)
{
    TMACROKEYINFO m {};
    // A name of 50 units fills the field without a terminator.
    const std::u16string units = util::utf8ToUtf16(name);
    std::copy(units.begin(), units.end(), m.szMacroName);
    m.MacroListCount = int(actions.size());
    std::copy(actions.begin(), actions.end(), m.MacroList);
    std::vector<std::uint8_t> bytes(sizeof m);
    std::memcpy(bytes.data(), &m, bytes.size());
    writeBytes(p, bytes);
}

class ProfileEditCli : public BvctlHomeTest {
protected:
    fs::path factory(int index = 0, const std::string& name = "p.pfd")
    {
        const fs::path file = tmp / name;
        const auto r = bvctl({ "profile", "new", "--index", std::to_string(index), "-o", file.string() });
        EXPECT_EQ(r.code, 0) << r.err;
        return file;
    }
    RunResult set(const fs::path& file, std::vector<std::string> options)
    {
        options.insert(options.begin(), { "profile", "set", file.string() });
        return bvctl(options);
    }
    Json show(const fs::path& file)
    {
        const auto r = bvctl({ "profile", "show", file.string() });
        EXPECT_EQ(r.code, 0) << r.err;
        return parseJson(r);
    }
};

} // namespace

TEST_F(ProfileEditCli, EachOptionChangesItsFieldsAndPrintsThem)
{
    using Check = std::function<void(const TMOUSECONFIGINFO&)>;
    struct Case {
        std::vector<std::string> options;
        Check check;
        const char* changedField; // one of the JSON pointers printed
    };
    const Case cases[] = {
        { { "--button", "3=Copy" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[2].MenuID, 802u);
                EXPECT_EQ(c.ButtonFuncInfo[2].ComboKey.nKeyValue1, 'C');
                EXPECT_EQ(c.ButtonFuncInfo[2].ComboKey.nModifier, kModifierCtrl);
                EXPECT_EQ(c.ButtonFuncInfo[2].DeviceCode, 15u);
            },
            "/ConfigInfo/ButtonFuncInfo/2/MenuID" },
        { { "--button", "2=Click" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[1].DeviceCode, 1u);
                EXPECT_EQ(c.ButtonFuncInfo[0].DeviceCode, 1u) << "both may click";
            },
            "/ConfigInfo/ButtonFuncInfo/1/MenuID" },
        { { "--button", "1=right click" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[0].DeviceCode, 2u);
                EXPECT_EQ(c.ButtonFuncInfo[1].DeviceCode, 1u) << "button 2 became the left click";
            },
            "/ConfigInfo/ButtonFuncInfo/1/DeviceCode" },
        { { "--button", "4=key:F5" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[3].MenuID, 6u);
                EXPECT_EQ(c.ButtonFuncInfo[3].SingleKey.nKeyValue1, 0x74);
                EXPECT_EQ(c.ButtonFuncInfo[3].FuncKind, 8);
            },
            "/ConfigInfo/ButtonFuncInfo/3/SingleKey/nKeyValue1" },
        { { "--button", "4=key:13,1" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[3].SingleKey.nKeyValue1, 13);
                EXPECT_EQ(c.ButtonFuncInfo[3].SingleKey.nKey1Extended, 1);
            },
            "/ConfigInfo/ButtonFuncInfo/3/SingleKey/nKey1Extended" },
        { { "--button", "5=key:VOLUME_MUTE" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[4].MenuID, 1007u) << "a media key becomes the Media item";
                EXPECT_EQ(c.ButtonFuncInfo[4].MediaKey.nKeyValue1, 0xE2);
            },
            "/ConfigInfo/ButtonFuncInfo/4/MenuID" },
        { { "--button", "6=combo:Ctrl+Shift+A+B" },
            [](const TMOUSECONFIGINFO& c) {
                const auto& k = c.ButtonFuncInfo[5].ComboKey;
                EXPECT_EQ(c.ButtonFuncInfo[5].MenuID, 7u);
                EXPECT_EQ(k.nModifier, kModifierCtrl | kModifierShift);
                EXPECT_EQ(k.nKeyValue1, 'A');
                EXPECT_EQ(k.nKeyValue2, 'B');
            },
            "/ConfigInfo/ButtonFuncInfo/5/ComboKey/nKeyValue2" },
        { { "--button", "7=fire:60,3" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ButtonFuncInfo[6].FireKey.DelyValue, 60);
                EXPECT_EQ(c.ButtonFuncInfo[6].FireKey.nLoopCount, 3);
                EXPECT_EQ(c.ButtonFuncInfo[6].DeviceCode, 18u);
            },
            "/ConfigInfo/ButtonFuncInfo/6/FireKey/DelyValue" },
        { { "--button", "7=DPI Switch" },
            [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.ButtonFuncInfo[6].DeviceCode, 8u); },
            "/ConfigInfo/ButtonFuncInfo/6/MenuID" },
        { { "--wheel", "down=Volume -" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.VWheelButtonFuncInfo[1].MenuID, 4u);
                EXPECT_EQ(c.VWheelButtonFuncInfo[1].DeviceCode, 12u) << "the slot keeps its code";
            },
            "/ConfigInfo/VWheelButtonFuncInfo/1/MenuID" },
        { { "--cpi", "3=1200" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.CPIState[2].X, 1200);
                EXPECT_EQ(c.CPIState[2].Y, 1200);
                EXPECT_EQ(c.HWCPIState[2].X, 1250);
            },
            "/ConfigInfo/CPIState/2/X" },
        { { "--xy", "separate", "--cpi", "1=400,800" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.ApplyDiffirentXY, 1);
                EXPECT_EQ(c.CPIState[0].Y, 800);
                EXPECT_EQ(c.HWCPIState[0].X, 750);
            },
            "/ConfigInfo/CPIState/0/Y" },
        { { "--cpi", "1=off" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.CPIState[0].State, 0);
                EXPECT_EQ(c.HWCPIState[0].State, 0);
                EXPECT_EQ(c.CurrentCPIIndex, 1);
            },
            "/ConfigInfo/CPIState/0/State" },
        { { "--rate", "500" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.ReportRate, 500); },
            "/ConfigInfo/ReportRate" },
        { { "--breathing", "closed" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.WheelLedOnOff, 0);
                EXPECT_EQ(c.LEDConfig.BRIGHT_LEVEL, 0);
            },
            "/ConfigInfo/WheelLedOnOff" },
        { { "--color", "teal" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.LEDConfig.G, 96); },
            "/ConfigInfo/LEDConfig/G" },
        { { "--color", "6" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.LEDConfig.B, 255); },
            "/ConfigInfo/LEDConfig/B" },
        { { "--color", "1,2,3" },
            [](const TMOUSECONFIGINFO& c) {
                EXPECT_EQ(c.LEDConfig.R, 1);
                EXPECT_EQ(c.LEDConfig.G, 2);
                EXPECT_EQ(c.LEDConfig.B, 3);
            },
            "/ConfigInfo/LEDConfig/R" },
        { { "--double-click", "300" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.DoubleClickSpeed, 300); },
            "/ConfigInfo/DoubleClickSpeed" },
        { { "--pointer-speed", "20" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.PointerSpeed, 20); },
            "/ConfigInfo/PointerSpeed" },
        { { "--precision", "on" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.PointerAcceleration, 1); },
            "/ConfigInfo/PointerAcceleration" },
        { { "--scroll-lines", "page" }, [](const TMOUSECONFIGINFO& c) { EXPECT_EQ(c.VWheelSpeed, 20); },
            "/ConfigInfo/VWheelSpeed" },
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options[0] + " " + c.options[1]);
        const fs::path file = factory(0, "p" + std::to_string(n++) + ".pfd");
        const auto r = set(file, c.options);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const Json out = parseJson(r);
        EXPECT_EQ(out["schema"], 1);
        EXPECT_EQ(out["file"], file.string());
        ASSERT_TRUE(out["changed"].contains(c.changedField)) << out["changed"].dump();
        // What is printed is what the file now holds.
        const Json after = show(file);
        for (const auto& [pointer, change] : out["changed"].items())
            EXPECT_EQ(after.at(Json::json_pointer(pointer)), change["to"]) << pointer;
        c.check(readProfile(file)->ConfigInfo);
    }
}

TEST_F(ProfileEditCli, RefusalsExitTwoWithTheReasonAndLeaveTheFileAlone)
{
    const fs::path file = factory();
    // Entries 7..9 count towards the five macros; a profile whose ninth entry holds one has room
    // for four more on the buttons.
    auto p = readProfile(file);
    p->MacroKeyInfoList.nMacroInfoCount = 6;
    for (int i = 0; i < 6; ++i)
        SetRecordText(p->MacroKeyInfoList.MacroInfos[i].szMacroName, "m" + std::to_string(i));
    p->ConfigInfo.ButtonFuncInfo[8].FuncKind = 4;
    p->ConfigInfo.ButtonFuncInfo[8].MacroKeyInfo.nMacroIndex = 5;
    writeProfile(file, *p);
    ASSERT_EQ(
        set(file,
            { "--button", "3=macro:m0", "--button", "4=macro:m1", "--button", "5=macro:m2", "--button", "6=macro:m3" })
            .code,
        0);
    const std::string before = readText(file);

    struct Case {
        std::vector<std::string> options;
        const char* message;
    };
    const Case cases[] = {
        { { "--button", "7=macro:m4" }, "You can assign macros to buttons shall not exceed 5 ." },
        { { "--button", "1=Copy" }, "Button 1 can only click or right-click" },
        { { "--button", "8=Click" }, "--button: \"8\" is not a number from 1 to 7" },
        { { "--button", "3=key:BROWSER_BACK" }, "The mouse cannot send the key BROWSER_BACK." },
        { { "--button", "3=combo:Ctrl+VOLUME_UP" }, "The mouse cannot send the key VOLUME_UP." },
        { { "--button", "3=key:ENTER" }, "\"ENTER\" names 2 keys: write key:13,0 (HID usage 40) or key:13,1" },
        { { "--button", "3=key:NoSuchKey" }, "is not the name of a key" },
        { { "--button", "3=Media" }, "is not a function of the button menu" },
        { { "--button", "3=Single Key" }, "needs its key: write key:NAME" },
        { { "--button", "3=macro:nope" }, "the profile has no macro named \"nope\"" },
        { { "--button", "3=fire:0,3" }, "The fire key takes 1 to 255 clicks" },
        { { "--wheel", "up=Copy" }, "is not a function of the wheel menu" },
        { { "--wheel", "left=Forward" }, "the wheel's directions are up and down" },
        { { "--cpi", "2=800,1600" }, "X and Y are linked in this profile" },
        { { "--cpi", "2=3600" }, "is not a number from 100 to 3500" },
        { { "--cpi", "5=800" }, "is not a number from 1 to 4" },
        { { "--cpi", "1=off", "--cpi", "2=off", "--cpi", "3=off", "--cpi", "4=off" },
            "Level 4 is the only enabled CPI level" },
        { { "--cpi", "1=off", "--cpi", "1=800" }, "level 1 is off" },
        { { "--rate", "300" }, "The report rate 300 Hz is not one of 125, 250, 500 and 1000 Hz." },
        { { "--breathing", "fast" }, "is none of low, medium, high and closed" },
        { { "--color", "purple" }, "is neither a swatch" },
        { { "--color", "1,2,300" }, "is not a number from 0 to 255" },
        { { "--double-click", "555" }, "not one of 200 to 900 ms in steps of 10" },
        { { "--pointer-speed", "0" }, "The pointer speed 0 is not one of 1 to 20." },
        { { "--precision", "maybe" }, "is neither on nor off" },
        { { "--scroll-lines", "11" }, "The wheel scrolls 1 to 10 lines or a page per notch, not 11 lines." },
        // A refusal late in the command undoes nothing written before it: nothing is written at all.
        { { "--rate", "1000", "--button", "1=Copy" }, "Button 1 can only click" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const auto r = set(file, c.options);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(readText(file) == before);
    }
    EXPECT_EQ(set(file, {}).code, 1) << "nothing to set is a usage error";
    const auto missing = set(tmp / "missing.pfd", { "--rate", "500" });
    EXPECT_EQ(missing.code, 2);
    EXPECT_FALSE(fs::exists(tmp / "missing.pfd"));
}

// Every profile that show prints comes back from import as the same JSON; the bytes that show
// leaves out are zero in a factory profile, so those files come back byte for byte.
TEST_F(ProfileEditCli, ShowImportShowIsExact)
{
    std::vector<fs::path> files;
    for (int i = 0; i < 5; ++i)
        files.push_back(factory(i, "factory" + std::to_string(i) + ".pfd"));

    const fs::path rich = factory(2, "rich.pfd");
    writeMacro(tmp / "a.macro", "Combo Ä", { { 4, 1, 'Q', 0 }, { 6, 0, 0x2C, 0x01 }, { 4, 0, 'Q', 0 } });
    writeMacro(tmp / "b.macro", std::string(50, 'M'), { { 1, 1, 1, 0 }, { 1, 0, 1, 0 } });
    ASSERT_EQ(bvctl({ "profile", "macro-add", rich.string(), (tmp / "a.macro").string() }).code, 0);
    ASSERT_EQ(bvctl({ "profile", "macro-add", rich.string(), (tmp / "b.macro").string() }).code, 0);
    const auto r = set(rich,
        { "--button", "2=Right Click", "--button", "3=macro:Combo Ä", "--button", "4=combo:Win+R", "--button",
            "5=key:F13", "--button", "6=fire:20,5", "--button", "7=Mute", "--wheel", "up=Backward", "--xy", "separate",
            "--cpi", "2=300,3400", "--cpi", "4=off", "--breathing", "low", "--color", "7,8,9" });
    ASSERT_EQ(r.code, 0) << r.err;
    // Fields no option reaches: signed values, texts, the counts beyond the arrays.
    auto p = readProfile(rich);
    p->ConfigInfo.HWVWheelValue = -5;
    p->ConfigInfo.CurrentCPIIndex = -1;
    p->ConfigInfo.HWheelButtonFuncInfo[1].RawCode[2] = 0x80;
    p->ConfigInfo.ButtonFuncInfo[14].MacroKeyInfo.MacroListCount = 4000;
    SetRecordText(p->ConfigInfo.ApplicationList[9].FilePath, "C:\\Spiele\\Größe.exe");
    SetRecordText(p->ConfigInfo.MacroPath.FilePath, "/home/ü/macros");
    writeProfile(rich, *p);
    files.push_back(rich);
    auto clamped = *p;
    clamped.MacroKeyInfoList.nMacroInfoCount = 900;
    writeProfile(tmp / "clamped.pfd", clamped);
    files.push_back(tmp / "clamped.pfd");

    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const auto shown = bvctl({ "profile", "show", file.string() });
        ASSERT_EQ(shown.code, 0) << shown.err;
        const fs::path json = tmp / (file.stem().string() + ".json");
        writeBytes(json, std::vector<std::uint8_t>(shown.out.begin(), shown.out.end()));
        const fs::path back = tmp / (file.stem().string() + ".back.pfd");
        const auto imported = bvctl({ "profile", "import", json.string(), "-o", back.string() });
        ASSERT_EQ(imported.code, 0) << imported.err;
        EXPECT_EQ(parseJson(imported), Json({ { "schema", 1 }, { "file", back.string() } }));
        EXPECT_EQ(bvctl({ "profile", "show", back.string() }).out, shown.out);
        if (file.stem().string().rfind("factory", 0) == 0) {
            EXPECT_TRUE(readText(back) == readText(file));
        }
    }
}

TEST_F(ProfileEditCli, ImportRefusesJsonThatIsNotAShownProfileAndNamesTheField)
{
    const Json good = show(factory());
    using Edit = std::function<void(Json&)>;
    struct Case {
        Edit edit;
        const char* message;
    };
    const Case cases[] = {
        { [](Json& j) { j.erase("schema"); }, "/schema is missing" },
        { [](Json& j) { j["schema"] = 2; }, "/schema must be 1" },
        { [](Json& j) { j["ConfigInfo"].erase("ReportRate"); }, "/ConfigInfo/ReportRate is missing" },
        { [](Json& j) { j["ConfigInfo"]["Colour"] = 1; }, "/ConfigInfo/Colour is not a field of this record" },
        { [](Json& j) { j["ConfigInfo"]["ReportRate"] = 70000; }, "/ConfigInfo/ReportRate is out of range" },
        { [](Json& j) { j["ConfigInfo"]["HWVWheelValue"] = -129; }, "/ConfigInfo/HWVWheelValue is out of range" },
        { [](Json& j) { j["ConfigInfo"]["PointerSpeed"] = 1.5; }, "/ConfigInfo/PointerSpeed must be a whole number" },
        { [](Json& j) { j["ConfigInfo"]["PointerSpeed"] = "10"; }, "/ConfigInfo/PointerSpeed must be a whole number" },
        { [](Json& j) { j["ConfigInfo"]["LEDConfig"]["R"] = 256; }, "/ConfigInfo/LEDConfig/R is out of range" },
        { [](Json& j) { j["ConfigInfo"]["ButtonFuncInfo"].erase(14); },
            "/ConfigInfo/ButtonFuncInfo must hold 15 entries, not 14" },
        { [](Json& j) { j["ConfigInfo"]["ButtonFuncInfo"][3]["MacroKeyInfo"]["MacroListCount"] = 2; },
            "/ConfigInfo/ButtonFuncInfo/3/MacroKeyInfo/MacroList must hold 2 entries, not 0" },
        { [](Json& j) { j["ConfigInfo"]["MacroPath"] = std::string(514, 'x'); },
            "/ConfigInfo/MacroPath is too long: 514 UTF-16 units, the field holds 513" },
        { [](Json& j) { j["ConfigInfo"]["MacroPath"] = std::string("a\0b", 3); },
            "/ConfigInfo/MacroPath holds a zero" },
        { [](Json& j) { j["ProfileHeader"]["FFileVersion"] = 257; }, "/ProfileHeader/FFileVersion must be 258" },
        { [](Json& j) { j["MacroKeyInfoList"]["nMacroInfoCount"] = 1; },
            "/MacroKeyInfoList/MacroInfos must hold 1 entries, not 0" },
        { [](Json& j) { j["MacroKeyInfoList"]["nMacroInfoCountClamped"] = true; },
            "/MacroKeyInfoList/nMacroInfoCountClamped must be left out" },
        { [](Json& j) { j["ConfigInfo"]["CPIState"] = Json::object(); }, "/ConfigInfo/CPIState must be a list" },
        { [](Json& j) { j = Json::array({ 1 }); }, "/ must be an object" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Json j = good;
        c.edit(j);
        const fs::path json = tmp / "in.json";
        const std::string text = j.dump();
        writeBytes(json, std::vector<std::uint8_t>(text.begin(), text.end()));
        const auto r = bvctl({ "profile", "import", json.string(), "-o", (tmp / "out.pfd").string() });
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(tmp / "out.pfd"));
    }
    writeBytes(tmp / "in.json", { '{', '"' });
    EXPECT_NE(bvctl({ "profile", "import", (tmp / "in.json").string(), "-o", (tmp / "out.pfd").string() })
                  .err.find("is not JSON"),
        std::string::npos);
}

TEST_F(ProfileEditCli, MacrosJoinAndLeaveTheListWithTheirButtons)
{
    const fs::path file = factory();
    writeMacro(tmp / "one.macro", "one", { { 4, 1, 'A', 0 }, { 4, 0, 'A', 0 } });
    writeMacro(tmp / "two.macro", "two", { { 4, 1, 'B', 0 }, { 4, 0, 'B', 0 } });
    auto add = [&](const std::string& macro) {
        return bvctl({ "profile", "macro-add", file.string(), (tmp / macro).string() });
    };
    const auto first = add("one.macro");
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(parseJson(first)["changed"]["/MacroKeyInfoList/nMacroInfoCount"], Json({ { "from", 0 }, { "to", 1 } }));
    ASSERT_EQ(add("two.macro").code, 0);
    const auto again = add("two.macro");
    EXPECT_EQ(again.code, 2);
    EXPECT_NE(again.err.find("The profile already has a macro named \"two\"."), std::string::npos) << again.err;
    writeBytes(tmp / "short.macro", { 1, 2, 3 });
    EXPECT_NE(add("short.macro").err.find("is not a macro file: it has 3 bytes"), std::string::npos);

    ASSERT_EQ(set(file, { "--button", "3=macro:one", "--button", "4=macro:two" }).code, 0);
    const auto removed = bvctl({ "profile", "macro-remove", file.string(), "one" });
    ASSERT_EQ(removed.code, 0) << removed.err;
    const auto p = readProfile(file);
    EXPECT_EQ(p->MacroKeyInfoList.nMacroInfoCount, 1);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[2].nMenuRow, kDisableMenuRow) << "its button is disabled";
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[3].MenuID, kMacroMenuIDBase) << "the other follows its macro";
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[3].MacroKeyInfo.nMacroIndex, 0);
    const auto gone = bvctl({ "profile", "macro-remove", file.string(), "one" });
    EXPECT_EQ(gone.code, 2);
    EXPECT_NE(gone.err.find("The profile has no macro named \"one\"."), std::string::npos) << gone.err;

    // Twenty is the list's limit.
    for (int i = 2; i <= 20; ++i) {
        writeMacro(tmp / "n.macro", "n" + std::to_string(i), { { 4, 1, 'C', 0 } });
        ASSERT_EQ(add("n.macro").code, 0) << i;
    }
    writeMacro(tmp / "n.macro", "n21", { { 4, 1, 'C', 0 } });
    const auto full = add("n.macro");
    EXPECT_EQ(full.code, 2);
    EXPECT_NE(full.err.find("You can create macros shall not exceed 20 ."), std::string::npos) << full.err;
}
