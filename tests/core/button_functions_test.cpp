// Menu choices turned into stored slot functions: the table's rows and codes, the primary-button
// rule, the limit of five macros, and buttons following an edited macro list.

#include "keys/uiStdCmd.h"
#include "settings/record_text.h"
#include "ui/button_functions.h"
#include "ui/function_menus.h"
#include "ui/macro_list_edits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace bv;

namespace {

std::unique_ptr<TMOUSEPROFILEINFO> gameProfile(const std::vector<std::string>& macroNames = {})
{
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    std::memset(static_cast<void*>(p.get()), 0, sizeof *p);
    p->ConfigInfo.ButtonCount = kGameButtonCount;
    for (std::size_t i = 0; i < macroNames.size(); ++i) {
        TMACROKEYINFO& m = p->MacroKeyInfoList.MacroInfos[i];
        SetRecordText(m.szMacroName, macroNames[i]);
        m.MacroListCount = int(i) + 1; // tells the copies apart
        m.nMacroIndex = std::uint16_t(i);
    }
    p->MacroKeyInfoList.nMacroInfoCount = std::uint16_t(macroNames.size());
    return p;
}

TBUTTONFUNCINFO zeroEntry()
{
    TBUTTONFUNCINFO e;
    std::memset(static_cast<void*>(&e), 0, sizeof e);
    return e;
}

std::string macroName(const TBUTTONFUNCINFO& e)
{
    return RecordText(e.MacroKeyInfo.szMacroName);
}

} // namespace

TEST(ButtonFunctions, PlainMenuItemsStoreTheirRowKindAndDeviceCode)
{
    struct Case {
        std::uint32_t id;
        int row;
        int kind;
        std::uint32_t device;
    };
    const Case cases[] = {
        { 1, 0, 1, 1 },
        { 2, 1, 1, 2 },
        { 3, 2, 1, 3 },
        { 4, 3, 1, 5 },
        { 5, 4, 1, 4 },
        { 801, 7, 3, 15 },
        { 808, 14, 3, 15 },
        { 901, 15, 3, 15 },
        { 906, 20, 3, 15 },
        { 1001, 21, 10, 14 },
        { 1007, 27, 10, 14 },
        { 12, 29, 0, 8 },
        { 13, 30, 0, 9 },
        { 14, 31, 0, 10 },
        { 16, 33, 10, 14 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        TBUTTONFUNCINFO e = zeroEntry();
        e.MediaKey = { 1, 2, 3 };
        ASSERT_TRUE(AssignMenuFunction(e, c.id));
        EXPECT_EQ(e.nMenuRow, c.row);
        EXPECT_EQ(e.FuncKind, c.kind);
        EXPECT_EQ(e.DeviceCode, c.device);
        EXPECT_EQ(e.MenuID, c.id);
    }
}

TEST(ButtonFunctions, ShortcutsAndMediaKeysCarryTheirKeys)
{
    TBUTTONFUNCINFO e = zeroEntry();
    ASSERT_TRUE(AssignMenuFunction(e, 801)); // Cut
    EXPECT_EQ(e.ComboKey.nModifier, 2);
    EXPECT_EQ(e.ComboKey.nKeyValue1, 'X');
    EXPECT_EQ(e.ComboKey.nKeyValue2, 0);
    ASSERT_TRUE(AssignMenuFunction(e, 902)); // Close Window
    EXPECT_EQ(e.ComboKey.nModifier, 1);
    EXPECT_EQ(e.ComboKey.nKeyValue1, 115);
    ASSERT_TRUE(AssignMenuFunction(e, 906)); // Lock PC
    EXPECT_EQ(e.ComboKey.nModifier, 8);
    EXPECT_EQ(e.ComboKey.nKeyValue1, 'L');

    e.MediaKey = { 1, 2, 3 };
    ASSERT_TRUE(AssignMenuFunction(e, 1001)); // Play/Pause
    EXPECT_EQ(e.MediaKey.nKeyValue1, 0xCD);
    EXPECT_EQ(e.MediaKey.nKeyValue2, 0);
    EXPECT_EQ(e.MediaKey.nModifier, 0);
    ASSERT_TRUE(AssignMenuFunction(e, 1007)); // Mute
    EXPECT_EQ(e.MediaKey.nKeyValue1, 0xE2);
    ASSERT_TRUE(AssignMenuFunction(e, 16)); // Disable clears the media key
    EXPECT_EQ(e.MediaKey.nKeyValue1, 0);
}

TEST(ButtonFunctions, ItemsNeedingMoreDataOrUnknownLeaveTheEntryAlone)
{
    // Single key, combo, the macro item and its sub-items, fire key, and IDs that no item has:
    // none may index the table with a row it does not have.
    for (std::uint32_t id : { 0u, 6u, 7u, 8u, 11u, 15u, 17u, 99u, 800u, 809u, 907u, 1008u, 1101u, 1102u, 1199u }) {
        SCOPED_TRACE(id);
        TBUTTONFUNCINFO e = zeroEntry();
        e.MenuID = 3;
        e.nMenuRow = 2;
        e.DeviceCode = 3;
        EXPECT_FALSE(AssignMenuFunction(e, id));
        EXPECT_EQ(e.MenuID, 3u);
        EXPECT_EQ(e.nMenuRow, 2);
        EXPECT_EQ(e.DeviceCode, 3u);
    }
}

TEST(ButtonFunctions, DialogFunctionsStoreTheirRecords)
{
    TBUTTONFUNCINFO e = zeroEntry();
    AssignSingleKey(e, { 65, 0 });
    EXPECT_EQ(e.nMenuRow, 5);
    EXPECT_EQ(e.FuncKind, 8);
    EXPECT_EQ(e.DeviceCode, 16u);
    EXPECT_EQ(e.MenuID, 6u);
    EXPECT_EQ(e.SingleKey.nKeyValue1, 65);

    AssignComboKey(e, { 112, 0, 113, 0, 6 });
    EXPECT_EQ(e.nMenuRow, 6);
    EXPECT_EQ(e.FuncKind, 3);
    EXPECT_EQ(e.DeviceCode, 15u);
    EXPECT_EQ(e.MenuID, 7u);
    EXPECT_EQ(e.ComboKey.nKeyValue2, 113);

    AssignFireKey(e, { 7, 40 });
    EXPECT_EQ(e.nMenuRow, 32);
    EXPECT_EQ(e.FuncKind, 5);
    EXPECT_EQ(e.DeviceCode, 18u);
    EXPECT_EQ(e.MenuID, 15u);
    EXPECT_EQ(e.FireKey.nLoopCount, 7);
    EXPECT_EQ(e.FireKey.DelyValue, 40);
}

TEST(ButtonFunctions, FireKeyDialogStartsFromTheProfileOnlyForANewFireKey)
{
    auto p = gameProfile();
    p->ConfigInfo.FireKeySpeed = 120;
    p->ConfigInfo.FireKeyCount = 9;
    TBUTTONFUNCINFO e = zeroEntry();
    TFIREKEYINFO f = FireKeyProposal(e, p->ConfigInfo);
    EXPECT_EQ(f.DelyValue, 120);
    EXPECT_EQ(f.nLoopCount, 9);
    e.FireKey = { 3, 55 };
    f = FireKeyProposal(e, p->ConfigInfo);
    EXPECT_EQ(f.DelyValue, 55);
    EXPECT_EQ(f.nLoopCount, 3);
}

TEST(ButtonFunctions, ARightClickOnOnePrimaryButtonLeavesTheOtherALeftClick)
{
    auto p = gameProfile();
    TMOUSECONFIGINFO& c = p->ConfigInfo;
    ASSERT_TRUE(AssignMenuFunction(c.ButtonFuncInfo[0], 1));
    ASSERT_TRUE(AssignMenuFunction(c.ButtonFuncInfo[1], 2));

    EXPECT_EQ(AssignPrimaryButton(c, 0, 2), 1);
    EXPECT_EQ(c.ButtonFuncInfo[0].MenuID, 2u);
    EXPECT_EQ(c.ButtonFuncInfo[0].DeviceCode, 2u);
    EXPECT_EQ(c.ButtonFuncInfo[1].MenuID, 1u);
    EXPECT_EQ(c.ButtonFuncInfo[1].nMenuRow, 0);
    EXPECT_EQ(c.ButtonFuncInfo[1].DeviceCode, 1u);

    EXPECT_EQ(AssignPrimaryButton(c, 1, 2), 0);
    EXPECT_EQ(c.ButtonFuncInfo[0].MenuID, 1u);
    EXPECT_EQ(c.ButtonFuncInfo[1].MenuID, 2u);

    // A left click changes only its own button: both may click.
    EXPECT_EQ(AssignPrimaryButton(c, 1, 1), -1);
    EXPECT_EQ(c.ButtonFuncInfo[0].MenuID, 1u);
    EXPECT_EQ(c.ButtonFuncInfo[1].MenuID, 1u);

    // Other slots and other functions are not the primary buttons' to take.
    EXPECT_EQ(AssignPrimaryButton(c, 2, 2), -1);
    EXPECT_EQ(AssignPrimaryButton(c, 0, 3), -1);
    EXPECT_EQ(c.ButtonFuncInfo[2].MenuID, 0u);
    EXPECT_EQ(c.ButtonFuncInfo[0].MenuID, 1u);
}

TEST(ButtonFunctions, AtMostFiveDistinctMacrosOnTheButtons)
{
    auto p = gameProfile({ "m0", "m1", "m2", "m3", "m4", "m5" });
    // One macro on all of slots 2..6 counts once.
    for (int s = 2; s <= 6; ++s)
        ASSERT_EQ(AssignMacro(*p, s, 0), MacroAssignment::Assigned);
    EXPECT_EQ(CountAssignedMacros(p->ConfigInfo), 1);
    const TBUTTONFUNCINFO& e = p->ConfigInfo.ButtonFuncInfo[2];
    EXPECT_EQ(e.MenuID, 1102u);
    EXPECT_EQ(e.nMenuRow, 28);
    EXPECT_EQ(e.FuncKind, 4);
    EXPECT_EQ(e.DeviceCode, 17u);
    EXPECT_EQ(macroName(e), "m0");

    for (int s = 3; s <= 6; ++s)
        ASSERT_EQ(AssignMacro(*p, s, s - 2), MacroAssignment::Assigned);
    // Unused button entries up to 9 count too.
    ASSERT_EQ(AssignMacro(*p, 9, 4), MacroAssignment::Assigned);
    EXPECT_EQ(CountAssignedMacros(p->ConfigInfo), 5);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[6].MacroKeyInfo.nMacroIndex, 4);

    // A sixth one is refused and the slot keeps its function; re-using one of the five is not.
    ASSERT_TRUE(AssignMenuFunction(p->ConfigInfo.ButtonFuncInfo[1], 2));
    EXPECT_EQ(AssignMacro(*p, 1, 5), MacroAssignment::TooManyMacros);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[1].MenuID, 2u);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[1].FuncKind, 1);
    EXPECT_EQ(AssignMacro(*p, 1, 3), MacroAssignment::Assigned);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[1].MenuID, 1105u);
}

TEST(ButtonFunctions, OnlyAMacroOfTheListCanBeAssigned)
{
    auto p = gameProfile({ "m0" });
    for (int index : { -1, 1, 20, 97 }) {
        SCOPED_TRACE(index);
        EXPECT_EQ(AssignMacro(*p, 2, index), MacroAssignment::NoSuchMacro);
        EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[2].MenuID, 0u);
    }
    p->MacroKeyInfoList.nMacroInfoCount = 60000; // damaged: only the stored slots exist
    EXPECT_EQ(AssignMacro(*p, 2, 21), MacroAssignment::NoSuchMacro);
    EXPECT_EQ(AssignMacro(*p, 15, 0), MacroAssignment::NoSuchMacro);
}

TEST(ButtonFunctions, ButtonsFollowTheirMacrosByName)
{
    auto p = gameProfile({ "a", "b", "c" });
    ASSERT_EQ(AssignMacro(*p, 2, 0), MacroAssignment::Assigned); // a: deleted below
    ASSERT_EQ(AssignMacro(*p, 3, 2), MacroAssignment::Assigned); // c: moves to the front
    ASSERT_EQ(AssignMacro(*p, 4, 1), MacroAssignment::Assigned); // b: renamed
    ASSERT_TRUE(AssignMenuFunction(p->ConfigInfo.ButtonFuncInfo[5], 3));

    auto edited = gameProfile({ "c", "b2" });
    p->MacroKeyInfoList = edited->MacroKeyInfoList;
    FollowMacroList(*p);

    const auto& b = p->ConfigInfo.ButtonFuncInfo;
    for (int s : { 2, 4 }) {
        SCOPED_TRACE(s);
        EXPECT_EQ(b[s].MenuID, 0u);
        EXPECT_EQ(b[s].nMenuRow, 33);
        EXPECT_EQ(b[s].FuncKind, 10);
        EXPECT_EQ(b[s].DeviceCode, 14u);
    }
    EXPECT_EQ(b[3].MenuID, 1102u);
    EXPECT_EQ(b[3].MacroKeyInfo.nMacroIndex, 0);
    EXPECT_EQ(b[3].MacroKeyInfo.MacroListCount, 1); // the list's copy, not the old one
    EXPECT_EQ(b[5].MenuID, 3u);
    EXPECT_EQ(MacroIndexOfName(p->MacroKeyInfoList, b[3].MacroKeyInfo), 0);

    // A damaged button count stays inside the slots.
    p->ConfigInfo.ButtonCount = 1000;
    p->ConfigInfo.ButtonFuncInfo[14].nMenuRow = 28;
    FollowMacroList(*p);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[14].nMenuRow, 33);
}

// An older program cut a name inside a two-unit character: the record still matches itself, unit
// for unit, so its button keeps the macro.
TEST(ButtonFunctions, ANameCutInsideACharacterStillMatchesItself)
{
    auto p = gameProfile({ "x", "y" });
    TMACROKEYINFO& cut = p->MacroKeyInfoList.MacroInfos[1];
    for (int i = 0; i < kMacroNameUnits - 1; ++i)
        cut.szMacroName[i] = u'a';
    cut.szMacroName[kMacroNameUnits - 1] = char16_t(0xD83D); // the high half of an emoji
    ASSERT_EQ(AssignMacro(*p, 3, 1), MacroAssignment::Assigned);
    EXPECT_EQ(MacroIndexOfName(p->MacroKeyInfoList, p->ConfigInfo.ButtonFuncInfo[3].MacroKeyInfo), 1);
    FollowMacroList(*p);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[3].DeviceCode, 17u);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[3].MenuID, 1103u);
}

TEST(ButtonFunctions, WheelSlotsKeepTheirOwnDeviceCode)
{
    TBUTTONFUNCINFO e = zeroEntry();
    e.DeviceCode = 12;
    for (std::uint32_t id = 1; id <= 6; ++id) {
        ASSERT_TRUE(AssignWheelFunction(e, id));
        EXPECT_EQ(e.nMenuRow, id - 1);
        EXPECT_EQ(e.FuncKind, 1);
        EXPECT_EQ(e.MenuID, id);
        EXPECT_EQ(e.DeviceCode, 12u);
    }
    EXPECT_FALSE(AssignWheelFunction(e, 0));
    EXPECT_FALSE(AssignWheelFunction(e, 7));
    EXPECT_EQ(e.MenuID, 6u);
}

// A captured media or volume key is the Media menu's function, exactly as chosen there; other
// consumer keys cannot be sent at all; keyboard keys stay single keys.
TEST(ButtonFunctions, CapturedKeysThatAreMediaKeysBecomeMediaFunctions)
{
    struct Case {
        TSINGLEKEYINFO key;
        bool taken;
        std::uint32_t menuID;
    };
    const Case cases[] = {
        { { 0xB3, 1 }, true, 1001 }, // Play/Pause
        { { 0xB2, 1 }, true, 1002 }, // Stop
        { { 0xB0, 1 }, true, 1004 }, // Next
        { { 0xAD, 0 }, true, 1007 }, // Mute, looked up without the extended flag
        { { 0xA6, 1 }, false, 0 }, // Browser Back: no Media item
        { { 0xB4, 1 }, false, 0 }, // Launch Mail
        { { 'A', 0 }, true, 6 },
    };
    for (const auto& c : cases) {
        TBUTTONFUNCINFO entry {};
        TBUTTONFUNCINFO chosen {};
        std::uint32_t id = 0;
        EXPECT_EQ(AssignCapturedKey(entry, c.key, &id), c.taken) << c.key.nKeyValue1;
        if (!c.taken) {
            EXPECT_EQ(std::memcmp(&entry, &chosen, sizeof entry), 0) << "unchanged";
            continue;
        }
        EXPECT_EQ(id, c.menuID) << c.key.nKeyValue1;
        if (c.menuID > 1000) {
            ASSERT_TRUE(AssignMenuFunction(chosen, c.menuID));
            EXPECT_EQ(std::memcmp(&entry, &chosen, sizeof entry), 0) << "as if chosen from the menu";
        } else {
            EXPECT_EQ(entry.DeviceCode, 16u);
        }
    }
}

// One entry point for a menu choice with what its dialog captured: each refusal leaves the profile
// byte for byte as it was and says why.
TEST(ButtonFunctions, AssignButtonFunctionRefusesWhatTheWindowRefuses)
{
    struct Case {
        const char* what;
        int slot;
        ButtonFunction f;
        const char* refusal; // start of the message, empty when assigned
    };
    ButtonFunction browserKey { kMenuSingleKey };
    browserKey.SingleKey = { 0xA6, 0 }; // BROWSER_BACK: a consumer key of no Media item
    ButtonFunction comboWithVolume { kMenuComboKey };
    comboWithVolume.ComboKey = { 'A', 0, 0xAF, 0, kModifierCtrl };
    ButtonFunction comboOfModifier { kMenuComboKey };
    comboOfModifier.ComboKey = { 0x12, 0, 0, 0, kModifierCtrl };
    ButtonFunction fireTooFast { kMenuFireKey };
    fireTooFast.FireKey = { 3, 0 };
    ButtonFunction fireTooMany { kMenuFireKey };
    fireTooMany.FireKey = { 256, 10 };
    const Case cases[] = {
        { "copy on button 1", 0, { 801 }, "Button 1 can only click" },
        { "disable on button 2", 1, { kMenuDisable }, "Button 2 can only click" },
        { "no button 8", 7, { kMenuClick }, "There is no button 8." },
        { "browser key", 3, browserKey, "The mouse cannot send the key BROWSER_BACK." },
        { "volume in a combination", 3, comboWithVolume, "The mouse cannot send the key VOLUME_UP." },
        { "modifier as a key", 3, comboOfModifier, "ALT is a modifier" },
        { "fire without delay", 3, fireTooFast, "The fire key takes 1 to 255" },
        { "fire with 256 clicks", 3, fireTooMany, "The fire key takes 1 to 255" },
        { "a macro the list lacks", 3, { kMacroMenuIDBase + 2 }, "The profile has no macro 3." },
        { "macro manager", 3, { kMacroManagerMenuID }, "Menu item 1101 is no function" },
        { "the Basic submenu itself", 3, { kMenuBasic }, "Menu item 8 is no function" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto p = gameProfile({ "m1", "m2" });
        const auto before = *p;
        const ButtonAssignment r = AssignButtonFunction(*p, c.slot, c.f);
        EXPECT_FALSE(r.Assigned());
        EXPECT_EQ(r.Refusal.English().rfind(c.refusal, 0), 0u) << r.Refusal.English();
        EXPECT_EQ(std::memcmp(&before, p.get(), sizeof before), 0);
    }
}

TEST(ButtonFunctions, AssignButtonFunctionFollowsTheWindowsRules)
{
    auto p = gameProfile({ "m0", "m1", "m2", "m3", "m4", "m5" });
    TMOUSECONFIGINFO& c = p->ConfigInfo;

    // A right click on button 2 keeps button 1 the left click, and says so.
    ButtonAssignment r = AssignButtonFunction(*p, 0, { kMenuRightClick });
    ASSERT_TRUE(r.Assigned());
    EXPECT_EQ(r.OtherPrimary, 1);
    EXPECT_EQ(c.ButtonFuncInfo[1].MenuID, kMenuClick);

    // A captured volume key becomes the Media menu's "Volume Up".
    ButtonFunction volume { kMenuSingleKey };
    volume.SingleKey = { 0xAF, 0 };
    r = AssignButtonFunction(*p, 2, volume);
    ASSERT_TRUE(r.Assigned());
    EXPECT_EQ(r.MenuID, 1005u);
    EXPECT_EQ(c.ButtonFuncInfo[2].MenuID, 1005u);
    EXPECT_EQ(c.ButtonFuncInfo[2].MediaKey.nKeyValue1, 0xE9);

    // The combination dialog's OK before any key was pressed keeps what it opened with, even
    // nothing: that is stored as it is, like any other combination.
    ButtonFunction noKey { kMenuComboKey };
    noKey.ComboKey = { 0, 0, 0, 0, kModifierCtrl };
    ASSERT_TRUE(AssignButtonFunction(*p, 4, noKey).Assigned());
    EXPECT_EQ(c.ButtonFuncInfo[4].MenuID, std::uint32_t(kMenuComboKey));
    EXPECT_EQ(c.ButtonFuncInfo[4].ComboKey.nModifier, kModifierCtrl);
    EXPECT_EQ(c.ButtonFuncInfo[4].ComboKey.nKeyValue1, 0);

    ButtonFunction fire { kMenuFireKey };
    fire.FireKey = { 4, 60 };
    ASSERT_TRUE(AssignButtonFunction(*p, 3, fire).Assigned());
    EXPECT_EQ(c.ButtonFuncInfo[3].FireKey.nLoopCount, 4);
    EXPECT_EQ(c.ButtonFuncInfo[3].DeviceCode, std::uint32_t(kCodeFire));

    // Entries 7..9 count towards the limit too: with a macro there, slots 2..5 take four more and
    // a sixth distinct macro on slot 6 is refused with the window's message.
    ASSERT_EQ(AssignMacro(*p, 8, 5), MacroAssignment::Assigned);
    for (int slot = 2; slot <= 5; ++slot)
        ASSERT_TRUE(AssignButtonFunction(*p, slot, { kMacroMenuIDBase + std::uint32_t(slot - 2) }).Assigned());
    const auto before = *p;
    r = AssignButtonFunction(*p, 6, { kMacroMenuIDBase + 4 });
    EXPECT_EQ(r.Refusal.English(), "You can assign macros to buttons shall not exceed 5 .");
    EXPECT_EQ(std::memcmp(&before, p.get(), sizeof before), 0);
}

TEST(FunctionMenus, CaptionsNameTheItemsThatChooseAFunction)
{
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Click"), 1u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "right click"), 2u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Copy"), 802u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Lock PC"), 906u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Volume Up"), 1005u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "DPI +"), 13u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Disable"), 16u);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Macro Manager"), kMacroManagerMenuID);
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Media"), std::nullopt) << "a submenu chooses nothing";
    EXPECT_EQ(MenuIDOfCaption(ButtonMenuCaptions(), "Volume +"), std::nullopt);
    EXPECT_EQ(MenuIDOfCaption(WheelMenuCaptions(), "Volume +"), 3u);
    EXPECT_EQ(CaptionOfMenuID(ButtonMenuCaptions(), 1007), "Mute");
    EXPECT_EQ(CaptionOfMenuID(ButtonMenuCaptions(), 1008), "");
    EXPECT_EQ(CaptionOfMenuID(WheelMenuCaptions(), 6), "Forward");
    // Every item that stores a function has the row the table gives it.
    for (const auto& [caption, subs] : ButtonMenuCaptions())
        for (const std::string& name : subs.empty() ? std::vector<std::string> { caption } : subs) {
            const auto id = MenuIDOfCaption(ButtonMenuCaptions(), name);
            ASSERT_TRUE(id) << name;
            if (*id != kMacroManagerMenuID) {
                EXPECT_EQ(FunctionMenuTable[std::size_t(FunctionMenuRowOfID(*id))].MenuID, *id) << name;
            }
        }
}

// The macro editor's limits when a whole macro joins or leaves the list.
TEST(MacroListEdits, AddAndRemoveKeepTheListsLimitsAndTheButtons)
{
    auto p = gameProfile({ "alpha", "beta" });
    auto macro = [](const std::string& name) {
        TMACROKEYINFO m {};
        SetRecordText(m.szMacroName, name);
        m.MacroListCount = 1;
        m.MacroList[0] = { 4, 1, 'A', 0 };
        return m;
    };
    util::UserText why;
    ASSERT_TRUE(AddMacroToProfile(*p, macro("gamma"), &why)) << why.English();
    EXPECT_EQ(p->MacroKeyInfoList.nMacroInfoCount, 3);
    EXPECT_EQ(p->MacroKeyInfoList.MacroInfos[2].nMacroIndex, 2);

    struct Refused {
        TMACROKEYINFO m;
        const char* message;
    };
    TMACROKEYINFO damaged = macro("delta");
    damaged.MacroListCount = 500;
    const Refused refused[] = {
        { macro("beta"), "The profile already has a macro named \"beta\"." },
        { macro("a/b"), "This name cannot be used for a macro" },
        { macro(""), "This name cannot be used for a macro" },
        { damaged, "The macro" },
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.message);
        const auto before = *p;
        EXPECT_FALSE(AddMacroToProfile(*p, r.m, &why));
        EXPECT_EQ(why.English().rfind(r.message, 0), 0u) << why.English();
        EXPECT_EQ(std::memcmp(&before, p.get(), sizeof before), 0);
    }
    for (int i = 3; i < kMacroListMax; ++i)
        ASSERT_TRUE(AddMacroToProfile(*p, macro("m" + std::to_string(i))));
    EXPECT_FALSE(AddMacroToProfile(*p, macro("twenty-first"), &why));
    EXPECT_EQ(why.English(), "You can create macros shall not exceed 20 .");

    // Button 3 on "alpha", button 4 on "gamma": removing "alpha" disables button 3 and moves
    // button 4 along with "gamma".
    ASSERT_EQ(AssignMacro(*p, 2, 0), MacroAssignment::Assigned);
    ASSERT_EQ(AssignMacro(*p, 3, 2), MacroAssignment::Assigned);
    ASSERT_TRUE(RemoveMacroFromProfile(*p, "alpha", &why));
    EXPECT_EQ(p->MacroKeyInfoList.nMacroInfoCount, kMacroListMax - 1);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[2].nMenuRow, kDisableMenuRow);
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[3].MenuID, kMacroMenuIDBase + 1);
    EXPECT_EQ(macroName(p->ConfigInfo.ButtonFuncInfo[3]), "gamma");
    EXPECT_FALSE(RemoveMacroFromProfile(*p, "alpha", &why));
    EXPECT_EQ(why.English(), "The profile has no macro named \"alpha\".");
}
