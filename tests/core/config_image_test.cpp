#include "device/config_image.h"

#include "device/apply_sequence.h"
#include "device/config_decoder.h"
#include "device/macro_encoding.h"
#include "device/shortcut_tables.h"
#include "device/virtual_hid_backend.h"
#include "device/virtual_mouse.h"
#include "keys/uiStdCmd.h"
#include "settings/DMUnit.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

using namespace bv;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<TMOUSEPROFILEINFO> factoryProfile(int index = 0)
{
    std::vector<std::uint8_t> image(sizeof(TMOUSEPROFILEINFO), 0);
    uiProfileGame1RestoreToDefault(image);
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(p.get()), image.data(), image.size());
    p->ConfigInfo.LEDConfig = ProfileLedColour(index, p->ConfigInfo.LEDConfig);
    return p;
}

TMACROKEY key(int vk, int state, int ext = 0)
{
    return { 4, static_cast<std::uint16_t>(state), static_cast<std::uint8_t>(vk), static_cast<std::uint8_t>(ext) };
}

TMACROKEY delay(unsigned ms)
{
    return { 6, 0, static_cast<std::uint8_t>(ms & 0xFF), static_cast<std::uint8_t>(ms >> 8) };
}

// Adds a macro to the profile's list and returns its number.
std::uint16_t addMacro(TMOUSEPROFILEINFO& p, std::vector<TMACROKEY> actions, std::uint16_t loops = 0)
{
    auto& list = p.MacroKeyInfoList;
    const std::uint16_t n = list.nMacroInfoCount++;
    TMACROKEYINFO& m = list.MacroInfos[n];
    std::memset(static_cast<void*>(&m), 0, sizeof m);
    m.nMacroIndex = n;
    m.nLoopCount = loops;
    m.MacroListCount = static_cast<std::int32_t>(actions.size());
    std::copy(actions.begin(), actions.end(), m.MacroList);
    m.szMacroName[0] = static_cast<char16_t>(u'A' + n);
    return n;
}

void assignMacro(TMOUSEPROFILEINFO& p, int button, std::uint16_t macro)
{
    auto& b = p.ConfigInfo.ButtonFuncInfo[button];
    b.MacroKeyInfo = p.MacroKeyInfoList.MacroInfos[macro];
    b.FuncKind = kFuncKindMacro;
    b.DeviceCode = 17;
    b.MenuID = static_cast<std::uint32_t>(kMacroMenuIDBase + macro);
}

Bytes entry(const TConfigurationImage& image, int i)
{
    return Bytes(image.Buttons.begin() + 1 + 4 * i, image.Buttons.begin() + 5 + 4 * i);
}

Bytes slotBytes(const TConfigurationImage& image, int slot, int from, int count)
{
    const auto* s = image.Macros.data() + kMacroSlotSize * slot + from;
    return Bytes(s, s + count);
}

// ---- button block ----------------------------------------------------------

struct ButtonCase {
    const char* name;
    void (*assign)(TBUTTONFUNCINFO&);
    Bytes expected; // code, p1, p2, p3 of device entry 0
};

void PrintTo(const ButtonCase& c, std::ostream* os)
{
    *os << c.name;
}

class ButtonEntryTest : public ::testing::TestWithParam<ButtonCase> { };

TEST_P(ButtonEntryTest, EncodesCodeAndParameters)
{
    auto p = factoryProfile();
    GetParam().assign(p->ConfigInfo.ButtonFuncInfo[0]);
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(entry(*image, 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Functions, ButtonEntryTest,
    ::testing::Values(ButtonCase { "Click", [](TBUTTONFUNCINFO&) {}, { 1, 0, 0, 0 } },
        ButtonCase { "FireKey",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 18;
                b.FireKey = { 3, 300 };
            },
            { 18, 3, 44, 1 } },
        ButtonCase { "CtrlC",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 15;
                b.ComboKey = { 'C', 0, 0, 0, kModifierCtrl };
            },
            { 15, 0x01, 6, 0 } },
        ButtonCase { "AltShiftTabWithSecondKey",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 15;
                b.ComboKey = { 9, 0, 'A', 0, kModifierAlt | kModifierShift };
            },
            { 15, 0x06, 0x2B, 4 } },
        ButtonCase { "SingleKeyA",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 16;
                b.SingleKey = { 'A', 0 };
            },
            { 16, 0, 4, 0 } },
        ButtonCase { "BrowserKeyDoesNotFitAByte",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 16;
                b.SingleKey = { 0xA6, 1 }; // browser back: a consumer usage above 255
            },
            { 16, 0, 0, 0 } },
        ButtonCase { "MediaPlayPause",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 14;
                b.MediaKey = { 0xCD, 0, 0 };
            },
            { 14, 0, 0xCD, 0 } },
        ButtonCase { "MediaUsageAboveAByteIsNoKey",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 14;
                b.MediaKey = { 0x183, 0, 0 }; // would name 0x83 on the mouse
            },
            { 14, 0, 0, 0 } },
        ButtonCase { "Raw",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 19;
                b.RawCode[0] = 0x20;
                b.RawCode[2] = 7;
            },
            { 19, 0x20, 0, 7 } },
        ButtonCase { "DPIPlusIgnoresStaleParameters",
            [](TBUTTONFUNCINFO& b) {
                b.DeviceCode = 9;
                b.FireKey = { 9, 9 };
            },
            { 9, 0, 0, 0 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ButtonBlock, FactoryProfileGivesEightEntriesWithSideButtonsExchanged)
{
    auto p = factoryProfile();
    ASSERT_EQ(p->ConfigInfo.ButtonCount, 7);
    p->ConfigInfo.ButtonFuncInfo[7].DeviceCode = 2; // whatever the profile holds there
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Buttons[0], 8);
    EXPECT_EQ(entry(*image, 3), (Bytes { 4, 0, 0, 0 })) << "device entry 3 is the profile's button 4 (Backward)";
    EXPECT_EQ(entry(*image, 4), (Bytes { 5, 0, 0, 0 })) << "device entry 4 is the profile's button 3 (Forward)";
    EXPECT_EQ(entry(*image, 7), (Bytes { 13, 0, 0, 0 }));
    EXPECT_TRUE(std::all_of(image->Buttons.begin() + 33, image->Buttons.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(p->ConfigInfo.ButtonFuncInfo[3].DeviceCode, 5u) << "the profile itself is not changed";
}

// ---- CPI, light, report rate ------------------------------------------------

TEST(CPIBlock, LevelsAreSentAsStepCodes)
{
    auto p = factoryProfile();
    auto& c = p->ConfigInfo;
    c.CurrentCPIIndex = 2;
    c.CPIState[0] = { 400, 800, 1 };
    c.CPIState[1] = { 3500, 3500, 0 };
    c.CPIState[2] = { 0, 1200, 1 };
    c.CPIState[3] = { 100, 100, 1 };
    TCPIBlock block;
    EncodeCPIBlock(*p, block);
    EXPECT_EQ(block[0], 4);
    EXPECT_EQ(block[1], 2);
    EXPECT_EQ(Bytes(block.begin() + 2, block.begin() + 14), (Bytes { 1, 3, 3, 0, 0, 0, 1, 1, 1, 1, 1, 1 }));
    EXPECT_EQ(block[31], 0);
}

TEST(LightBlock, ColoursAreInvertedGreenBlueRed)
{
    TLightBlock block;
    EncodeLightBlock({ 255, 0, 0, 2, 3, 9 }, block);
    EXPECT_EQ(Bytes(block.begin(), block.end()), (Bytes { 255, 255, 0, 2, 3, 9 }));
    EncodeLightBlock({ 0, 96, 96, 0, 0, 0 }, block);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 3), (Bytes { 159, 159, 255 }));
}

TEST(ReportRate, CodesAreThePollingIntervals)
{
    auto p = factoryProfile();
    const std::pair<std::uint16_t, std::uint8_t> cases[]
        = { { 125, 8 }, { 250, 4 }, { 500, 2 }, { 1000, 1 }, { 300, 8 }, { 0, 8 } };
    for (const auto& [hz, code] : cases) {
        p->ConfigInfo.ReportRate = hz;
        EXPECT_EQ(ReportRateCode(*p), code) << hz;
    }
}

// A version-258 profile can still hold values the mouse was never meant to read: each is brought
// into its range on the way out, and the note says what changed.
struct OutOfRange {
    const char* name;
    void (*damage)(TMOUSEPROFILEINFO&);
    bool (*sent)(const TConfigurationImage&);
    const char* note;
};

void PrintTo(const OutOfRange& c, std::ostream* os)
{
    *os << c.name;
}

class OutOfRangeTest : public ::testing::TestWithParam<OutOfRange> { };

TEST_P(OutOfRangeTest, IsClampedAndNoted)
{
    auto p = factoryProfile();
    const auto clean = EncodeConfigurationImage(*p);
    ASSERT_TRUE(clean);
    EXPECT_TRUE(clean->Notes.empty()) << "a factory profile needs no change";

    GetParam().damage(*p);
    const auto before = *p;
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_TRUE(GetParam().sent(*image));
    ASSERT_EQ(image->Notes.size(), 1u);
    EXPECT_EQ(image->Notes[0].English(), GetParam().note);
    EXPECT_EQ(std::memcmp(&before, p.get(), sizeof before), 0) << "the profile itself is not changed";
}

INSTANTIATE_TEST_SUITE_P(Fields, OutOfRangeTest,
    ::testing::Values(OutOfRange { "CPILevel", [](TMOUSEPROFILEINFO& p) { p.ConfigInfo.CPILevel = 99; },
                          [](const TConfigurationImage& i) { return i.CPI[0] == 4; },
                          "CPILevel is 99, which the mouse cannot take; 4 is sent." },
        OutOfRange { "CurrentCPIIndex", [](TMOUSEPROFILEINFO& p) { p.ConfigInfo.CurrentCPIIndex = -3; },
            [](const TConfigurationImage& i) { return i.CPI[1] == 0; },
            "CurrentCPIIndex is -3, which the mouse cannot take; 0 is sent." },
        OutOfRange { "LevelState", [](TMOUSEPROFILEINFO& p) { p.ConfigInfo.CPIState[2].State = 7; },
            [](const TConfigurationImage& i) { return i.CPI[2 + 3 * 2] == 1; },
            "CPIState[2].State is 7, which the mouse cannot take; 1 is sent." },
        OutOfRange { "BreathSpeed", [](TMOUSEPROFILEINFO& p) { p.ConfigInfo.LEDConfig.BREATH_SPEED = 202; },
            [](const TConfigurationImage& i) { return i.Light[4] == 3; },
            "BREATH_SPEED is 202, which the mouse cannot take; 3 is sent." },
        OutOfRange { "Brightness", [](TMOUSEPROFILEINFO& p) { p.ConfigInfo.LEDConfig.BRIGHT_LEVEL = 9; },
            [](const TConfigurationImage& i) { return i.Light[3] == 3; },
            "BRIGHT_LEVEL is 9, which the mouse cannot take; 3 is sent." },
        OutOfRange { "ReportRate", [](TMOUSEPROFILEINFO& p) { p.ConfigInfo.ReportRate = 300; },
            [](const TConfigurationImage& i) { return i.ReportRate == 8; },
            "ReportRate is 300, which the mouse cannot take; 125 is sent." },
        OutOfRange { "UnknownCode",
            [](TMOUSEPROFILEINFO& p) {
                p.ConfigInfo.ButtonFuncInfo[5].DeviceCode = 77;
                p.ConfigInfo.ButtonFuncInfo[5].MediaKey.nKeyValue1 = 0xE9;
            },
            [](const TConfigurationImage& i) {
                return Bytes(i.Buttons.begin() + 21, i.Buttons.begin() + 25) == Bytes { 14, 0, 0, 0 };
            },
            "Button 6 has the unknown function code 77; it is sent as Disable." },
        OutOfRange { "FireCount",
            [](TMOUSEPROFILEINFO& p) {
                p.ConfigInfo.ButtonFuncInfo[2].DeviceCode = 18;
                p.ConfigInfo.ButtonFuncInfo[2].FireKey = { 0, 40 };
            },
            [](const TConfigurationImage& i) {
                return Bytes(i.Buttons.begin() + 9, i.Buttons.begin() + 13) == Bytes { 18, 1, 40, 0 };
            },
            "Button 3: FireKey.nLoopCount is 0, which the mouse cannot take; 1 is sent." },
        OutOfRange { "FireDelay",
            [](TMOUSEPROFILEINFO& p) {
                p.ConfigInfo.ButtonFuncInfo[0].DeviceCode = 18;
                p.ConfigInfo.ButtonFuncInfo[0].FireKey = { 3, 0 };
            },
            [](const TConfigurationImage& i) {
                return Bytes(i.Buttons.begin() + 1, i.Buttons.begin() + 5) == Bytes { 18, 3, 1, 0 };
            },
            "Button 1: FireKey.DelyValue is 0, which the mouse cannot take; 1 is sent." },
        // Stored data that holds a consumer key as a keyboard key: 0 goes out, never the usage's
        // low byte (VOLUME_MUTE's 0xE2 would be Left Alt).
        OutOfRange { "ConsumerSingleKey",
            [](TMOUSEPROFILEINFO& p) {
                p.ConfigInfo.ButtonFuncInfo[2].DeviceCode = 16;
                p.ConfigInfo.ButtonFuncInfo[2].SingleKey = { 0xAD, 1 };
            },
            [](const TConfigurationImage& i) {
                return Bytes(i.Buttons.begin() + 9, i.Buttons.begin() + 13) == Bytes { 16, 0, 0, 0 };
            },
            "Button 3: the key VOLUME_MUTE cannot be sent as a keyboard key; nothing is sent for it." },
        OutOfRange { "ConsumerInCombination",
            [](TMOUSEPROFILEINFO& p) {
                p.ConfigInfo.ButtonFuncInfo[5].DeviceCode = 15;
                p.ConfigInfo.ButtonFuncInfo[5].ComboKey = { 'C', 0, 0xB3, 1, kModifierCtrl };
            },
            [](const TConfigurationImage& i) {
                return Bytes(i.Buttons.begin() + 21, i.Buttons.begin() + 25) == Bytes { 15, 0x01, 0x06, 0 };
            },
            "Button 6: the key MEDIA_PLAY_PAUSE cannot be sent as a keyboard key; nothing is sent for it." }),
    [](const auto& info) { return std::string(info.param.name); });

// ---- macros ---------------------------------------------------------------------

TEST(MacroAction, Records)
{
    struct Case {
        TMACROKEY action;
        Bytes expected;
    };
    const Case cases[] = {
        { key('A', 1), { 132, 4, 0 } }, { key('A', 0), { 4, 4, 0 } },
        { key(0x2E, 1, 1), { 132, 0x4C, 1 } }, // Delete, extended
        { delay(25), { 6, 2, 0 } }, { delay(35), { 6, 4, 0 } }, { delay(15), { 6, 2, 0 } },
        { delay(1000), { 6, 100, 0 } }, { delay(65535), { 6, 0x9A, 0x19 } },
        { { 1, 1, 0x01, 0x00 }, { 129, 1, 0 } }, // mouse button: value bytes as stored
        { { 5, 0, 0xCD, 0x00 }, { 5, 0xCD, 0 } }, // media key
        { { 4, 2, 'A', 0 }, { 0, 0, 0 } }, // a state that is neither press nor release
        { { 4, 1, 0xA6, 1 }, { 132, 0, 1 } }, // a usage above one byte is no key
        { { 4, 1, 0xAD, 1 }, { 132, 0, 1 } }, // VOLUME_MUTE: a consumer usage, never Left Alt's 0xE2
        { { 4, 1, 0xAF, 1 }, { 132, 0, 1 } }, // VOLUME_UP likewise
    };
    for (const auto& c : cases) {
        const auto r = EncodeMacroAction(c.action);
        EXPECT_EQ(Bytes(r.begin(), r.end()), c.expected) << c.action.nKeyType << "/" << int(c.action.VALUE1);
    }
}

TEST(MacroArea, SlotsFollowButtonOrderAndSkipUnusedMacros)
{
    auto p = factoryProfile();
    for (int i = 0; i < 10; ++i)
        addMacro(*p, { key('A' + i, 1), key('A' + i, 0) });
    assignMacro(*p, 2, 5);
    assignMacro(*p, 0, 9);
    assignMacro(*p, 6, 9); // the same macro on a second button
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(entry(*image, 0), (Bytes { 17, 0, 6, 0 }));
    EXPECT_EQ(entry(*image, 2), (Bytes { 17, 1, 6, 0 }));
    EXPECT_EQ(entry(*image, 6), (Bytes { 17, 0, 6, 0 }));
    EXPECT_EQ(slotBytes(*image, 0, 0, 6), (Bytes { 132, 0x0D, 0, 4, 0x0D, 0 })) << "macro 9 plays J";
    EXPECT_EQ(slotBytes(*image, 1, 0, 3), (Bytes { 132, 0x09, 0 })) << "macro 5 plays F";
    EXPECT_EQ(MacroAreaLength(image->Macros, 2), 0u);

    const auto writes = ConfigurationImageWrites(*image, 1);
    std::vector<std::uint16_t> addresses;
    for (const auto& w : writes)
        addresses.push_back(w.Address);
    EXPECT_EQ(addresses, (std::vector<std::uint16_t> { 2448, 2513, 2897, 4049, 4481, 2376 }))
        << "buttons, slots 0 and 1, slot 4 always, light, CPI";
    EXPECT_EQ(writes[3].Data, Bytes(384, 0));
}

TEST(MacroArea, LoopMarkerFollowsTheActions)
{
    auto p = factoryProfile();
    assignMacro(*p, 1, addMacro(*p, { key('A', 1), delay(30), key('A', 0) }, 2));
    const auto image = EncodeConfigurationImage(*p);
    EXPECT_EQ(entry(*image, 1), (Bytes { 17, 0, 12, 0 }));
    EXPECT_EQ(slotBytes(*image, 0, 9, 3), (Bytes { 7, 2, 0 }));
    EXPECT_TRUE(image->Notes.empty());
}

TEST(MacroArea, AFullMacroDropsItsLoopMarkerInSlotAndButtonAlike)
{
    auto p = factoryProfile();
    std::vector<TMACROKEY> actions;
    for (int i = 0; i < 64; ++i) {
        actions.push_back(key('B', 1));
        actions.push_back(key('B', 0));
    }
    assignMacro(*p, 0, addMacro(*p, actions, 5));
    addMacro(*p, { key('C', 1) });
    assignMacro(*p, 1, 1);
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(entry(*image, 0), (Bytes { 17, 0, 0x80, 0x01 })) << "384 bytes";
    EXPECT_EQ(MacroAreaLength(image->Macros, 0), 384u);
    EXPECT_EQ(slotBytes(*image, 1, 0, 3), (Bytes { 132, 6, 0 })) << "the next slot is untouched";
    ASSERT_EQ(image->Notes.size(), 1u);
    EXPECT_NE(image->Notes[0].English().find("once instead of 5 times"), std::string::npos);
}

TEST(MacroArea, TheButtonsLengthFollowsTheMacroThatFillsTheSlot)
{
    auto p = factoryProfile();
    std::vector<TMACROKEY> ten(10, key('A', 1));
    assignMacro(*p, 0, addMacro(*p, ten));
    p->ConfigInfo.ButtonFuncInfo[0].MacroKeyInfo.MacroListCount = 30; // a stale copy in the button
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(entry(*image, 0), (Bytes { 17, 0, 30, 0 }));
    EXPECT_EQ(MacroAreaLength(image->Macros, 0), 30u);
}

TEST(MacroArea, AConsumerKeyStoredAsAKeyIsSentAsNothingAndNoted)
{
    auto p = factoryProfile();
    assignMacro(*p, 2, addMacro(*p, { key(0xAE, 1, 1), key(0xAE, 0, 1), key('B', 1) }));
    const auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(slotBytes(*image, 0, 0, 3), (Bytes { 132, 0, 1 })) << "VOLUME_DOWN's 0xEA would be a keyboard key";
    ASSERT_EQ(image->Notes.size(), 1u) << "one note for the press";
    EXPECT_NE(image->Notes[0].English().find("the key VOLUME_DOWN cannot be sent"), std::string::npos)
        << image->Notes[0].English();
}

TEST(MacroArea, StoredCountsOutsideTheirRangeAreClamped)
{
    auto p = factoryProfile();
    assignMacro(*p, 0, addMacro(*p, { key('A', 1) }));
    p->MacroKeyInfoList.MacroInfos[0].MacroListCount = 100000;
    p->ConfigInfo.ButtonFuncInfo[0].MacroKeyInfo.MacroListCount = 100000;
    auto image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(MacroAreaLength(image->Macros, 0), 384u);
    EXPECT_EQ(entry(*image, 0), (Bytes { 17, 0, 0x80, 0x01 }));

    p->MacroKeyInfoList.MacroInfos[0].MacroListCount = -5;
    p->ConfigInfo.ButtonFuncInfo[0].MacroKeyInfo.MacroListCount = -5;
    p->MacroKeyInfoList.nMacroInfoCount = 60000;
    image = EncodeConfigurationImage(*p);
    ASSERT_TRUE(image);
    EXPECT_EQ(entry(*image, 0), (Bytes { 17, 0, 0, 0 }));
}

TEST(MacroArea, MoreThanFiveMacrosOnButtonsAreRefused)
{
    auto p = factoryProfile();
    for (int i = 0; i < 6; ++i)
        assignMacro(*p, i, addMacro(*p, { key('A', 1) }));
    util::UserText error;
    EXPECT_FALSE(EncodeConfigurationImage(*p, &error));
    EXPECT_NE(error.English().find("6 different macros"), std::string::npos) << error.English();

    // A sixth macro on an entry that no device button plays is simply not sent.
    auto q = factoryProfile();
    for (int i = 0; i < 5; ++i)
        assignMacro(*q, i, addMacro(*q, { key('A', 1) }));
    assignMacro(*q, 9, addMacro(*q, { key('Z', 1) }));
    const auto image = EncodeConfigurationImage(*q);
    ASSERT_TRUE(image);
    for (int s = 0; s < 5; ++s)
        EXPECT_EQ(slotBytes(*image, s, 0, 1), Bytes { 132 });
}

// ---- shortcut tables ----------------------------------------------------------------

TEST(ShortcutTables, RowsAndBounds)
{
    TCOMBOKEYINFO combo {};
    ASSERT_TRUE(GetBasicShortcut(1, combo));
    EXPECT_EQ(combo.nKeyValue1, 'C');
    EXPECT_EQ(combo.nModifier, kModifierCtrl);
    ASSERT_TRUE(GetAdvancedShortcut(1, combo));
    EXPECT_EQ(combo.nKeyValue1, 115);
    EXPECT_EQ(combo.nModifier, kModifierAlt);
    ASSERT_TRUE(GetAdvancedShortcut(5, combo));
    EXPECT_EQ(combo.nKeyValue1, 'L');
    EXPECT_EQ(combo.nModifier, kModifierWin);
    ASSERT_TRUE(GetBasicShortcut(8, combo));
    EXPECT_EQ(combo.nKeyValue1, 0) << "unlisted rows are zero";

    THID_CODE_INFO media {};
    ASSERT_TRUE(GetMediaKey(0, media));
    EXPECT_EQ(media.nKeyValue1, 0xCD);
    ASSERT_TRUE(GetMediaKey(6, media));
    EXPECT_EQ(media.nKeyValue1, 0xE2);

    combo = { 1, 2, 3, 4, 5 };
    EXPECT_FALSE(GetBasicShortcut(50, combo));
    EXPECT_FALSE(GetAdvancedShortcut(-1, combo));
    EXPECT_EQ(combo.nModifier, 5) << "a row outside the table leaves the record";
    media = { 7, 7, 7 };
    EXPECT_FALSE(GetMediaKey(99, media));
    EXPECT_EQ(media.nKeyValue1, 7);
}

// ---- the whole Apply against the virtual mouse ---------------------------------------

class FileProfiles final : public ApplyProfiles {
public:
    std::unique_ptr<TMOUSEPROFILEINFO> mode[2];
    int active = 1;
    TMOUSEPROFILEINFO& CurrentProfile() override { return *mode[active]; }
    void StoreBackCurrentProfile() override { }
    void ReadModeProfile(int m, TMOUSEPROFILEINFO& out) override { out = *mode[m]; }
    int ActiveMode() const override { return active; }
};

class ApplyTest : public ::testing::Test {
protected:
    std::shared_ptr<VirtualMouse> mouse = std::make_shared<VirtualMouse>();
    TuiHIDData hid { std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { mouse }) };
    std::vector<int> pauses;
    int monitorNotices = 0;
    ApplyHooks hooks { { [this](int ms) { pauses.push_back(ms); }, [this] { ++monitorNotices; } }, {} };
};

TEST_F(ApplyTest, TwoProfilesWithMacrosDecodeBackToTheirSettings)
{
    FileProfiles profiles;
    profiles.mode[0] = factoryProfile(0);
    profiles.mode[1] = factoryProfile(3);
    auto& a = *profiles.mode[0];
    a.ConfigInfo.ReportRate = 1000;
    a.ConfigInfo.ButtonFuncInfo[2].DeviceCode = 15;
    a.ConfigInfo.ButtonFuncInfo[2].ComboKey = { 'V', 0, 0, 0, kModifierCtrl | kModifierShift };
    assignMacro(a, 3, addMacro(a, { key('Q', 1), delay(120), key('Q', 0) }, 3));
    auto& b = *profiles.mode[1];
    b.ConfigInfo.CPIState[2] = { 1300, 400, 1 };
    b.ConfigInfo.WheelLedOnOff = 0;
    b.ConfigInfo.HWVWheelValue = 5;
    assignMacro(b, 0, addMacro(b, { key(0x2E, 1, 1), key(0x2E, 0, 1) }));
    // The mouse sits in set 1 at CPI level 2; Apply keeps that level for the current profile.
    EXPECT_EQ(WriteDeviceByte(hid, 1, kAddrSetSelector), 0u);
    EXPECT_EQ(WriteDeviceByte(hid, 2, SetAddress(kAddrCPIBlock, 1) + 1), 0u);

    const auto result = ApplyDeviceSequence(hid, profiles, 3, hooks);
    ASSERT_TRUE(result.Written) << result.Error.English();
    EXPECT_EQ(result.CurrentCPIIndex, 2);
    EXPECT_EQ(b.ConfigInfo.CurrentCPIIndex, 2);

    const auto state = mouse->state();
    EXPECT_EQ(state.bracketOpens, 1u);
    EXPECT_EQ(state.bracketCloses, 1u);
    EXPECT_FALSE(state.bracketOpen);
    EXPECT_EQ(state.notice, (std::array<std::uint8_t, 2> { 1, 3 }));
    EXPECT_EQ(monitorNotices, 1);
    EXPECT_EQ(state.memory[kAddrReportRate], 8 * 16 + 1);

    const auto shared = DecodeSharedBytes(state.memory);
    EXPECT_EQ(shared->SetSelector, 1);
    EXPECT_FALSE(shared->WheelLightOn);
    EXPECT_EQ(shared->WheelValue, 5);

    const auto set0 = DecodeConfigurationSet(state.memory, 0);
    ASSERT_TRUE(set0);
    EXPECT_EQ(set0->ReportRateHz, 1000);
    EXPECT_EQ(set0->Light.R, 255);
    EXPECT_EQ(set0->Light.G, 0);
    EXPECT_EQ(set0->Buttons[2].Modifier, kModifierCtrl | kModifierShift);
    EXPECT_EQ(set0->Buttons[2].Key1.VirtualKey, 'V');
    EXPECT_EQ(set0->Buttons[4].DeviceCode, 17) << "profile button 3 is device entry 4";
    ASSERT_EQ(set0->Macros.size(), 1u);
    const auto& actions = set0->Macros[0].Actions;
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].Key.VirtualKey, 'Q');
    EXPECT_EQ(actions[0].State, 1);
    EXPECT_EQ(actions[1].DelayMs, 120u);
    EXPECT_EQ(actions[3].Kind, 7);
    EXPECT_EQ(actions[3].Loops, 3);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(set0->Levels[k].CPI, a.ConfigInfo.HWCPIState[k].X) << k;
        EXPECT_EQ(set0->Levels[k].State, 1);
    }

    const auto set1 = DecodeConfigurationSet(state.memory, 1);
    ASSERT_TRUE(set1);
    EXPECT_EQ(set1->ReportRateHz, 125);
    EXPECT_EQ(set1->Light.G, 96);
    EXPECT_EQ(set1->CurrentCPIIndex, 2);
    EXPECT_EQ(set1->Levels[2].CPI, 1250);
    ASSERT_EQ(set1->Macros.size(), 1u);
    EXPECT_EQ(set1->Macros[0].Actions[0].Key.VirtualKey, 0x2E);
    EXPECT_EQ(set1->Macros[0].Actions[0].Key.Extended, 1);
    EXPECT_EQ(set1->Buttons[7].DeviceCode, 13);
}

TEST_F(ApplyTest, AProfileTheMouseCannotHoldStopsApplyBeforeAnyTransfer)
{
    FileProfiles profiles;
    profiles.mode[0] = factoryProfile(0);
    profiles.mode[1] = factoryProfile(1);
    for (int i = 0; i < 6; ++i)
        assignMacro(*profiles.mode[1], i, addMacro(*profiles.mode[1], { key('A', 1) }));
    const auto result = ApplyDeviceSequence(hid, profiles, 0, hooks);
    EXPECT_FALSE(result.Written);
    EXPECT_TRUE(result.Refused());
    EXPECT_EQ(result.Error.Source.rfind("Mode %1: ", 0), 0u) << "the window translates the whole sentence";
    EXPECT_NE(result.Error.English().find("Mode 2: The buttons play 6"), std::string::npos) << result.Error.English();
    EXPECT_EQ(mouse->transferCount(), 0u);
}

TEST_F(ApplyTest, AnAbsentMouseTakesNoHarmAndIsReported)
{
    mouse->unplug();
    FileProfiles profiles;
    profiles.mode[0] = factoryProfile(0);
    profiles.mode[1] = factoryProfile(1);
    const auto result = ApplyDeviceSequence(hid, profiles, 0, hooks);
    EXPECT_FALSE(result.Written);
    EXPECT_FALSE(result.Refused());
    ASSERT_FALSE(result.FailedSteps.empty());
    EXPECT_EQ(result.FailedSteps.front(), "opening update bracket");
    EXPECT_EQ(result.FirstError, kHidErrorNoDevice);
    EXPECT_EQ(result.CurrentCPIIndex, 0) << "a failed read keeps level 0";
    EXPECT_EQ(profiles.mode[1]->ConfigInfo.CurrentCPIIndex, 0);
}

// A mouse that goes away after any number of transfers, or fails any one of them, is never
// reported as written, and the report names the step that failed first.
TEST_F(ApplyTest, EveryTransferThatFailsIsReported)
{
    FileProfiles profiles;
    profiles.mode[0] = factoryProfile(0);
    profiles.mode[1] = factoryProfile(1);
    assignMacro(*profiles.mode[0], 2, addMacro(*profiles.mode[0], { key('A', 1), key('A', 0) }));
    ASSERT_TRUE(ApplyDeviceSequence(hid, profiles, 0, hooks).Written);
    const std::uint64_t total = mouse->transferCount();
    ASSERT_GT(total, 10u);

    std::set<std::string> firstSteps;
    for (std::uint64_t n = 1; n <= total; ++n) {
        for (const bool unplug : { true, false }) {
            VirtualMouseFaults faults;
            if (unplug)
                faults.unplugAfter = n - 1; // 0 would mean never: transfer 1 is handled below
            else
                faults.failTransfer = n;
            mouse->plug();
            mouse->setFaults(faults);
            if (unplug && n == 1)
                mouse->unplug();
            const auto result = ApplyDeviceSequence(hid, profiles, 0, hooks);
            const bool readOnly = !unplug && (n == 2 || n == 3 || n == 4 || n == 5);
            if (readOnly) {
                // The read of the current CPI level: a note, the writes all went through.
                EXPECT_TRUE(result.Written) << n;
                EXPECT_FALSE(result.Notes.empty()) << n;
                continue;
            }
            EXPECT_FALSE(result.Written) << (unplug ? "unplugged after " : "failed transfer ") << n;
            ASSERT_FALSE(result.FailedSteps.empty()) << n;
            if (!unplug) {
                EXPECT_EQ(result.FailedSteps.size(), 1u) << n;
            }
            firstSteps.insert(result.FailedSteps.front());
        }
    }
    for (const char* step : { "opening update bracket", "Mode 1 button block", "Mode 1 macro slot 1",
             "Mode 1 macro slot 5", "Mode 1 light block", "Mode 2 CPI block", "report rates", "set selector",
             "wheel light", "settings notice", "closing update bracket" })
        EXPECT_TRUE(firstSteps.count(step)) << step;
}

TEST_F(ApplyTest, WorksOnTheProfileManagerAndKeepsThePausesInOrder)
{
    test::TempDir home;
    auto registry = platform::openMemoryRegistry();
    DMEnvironment env { registry.get(), home.str(), home.str(), "0409" };
    TDM dm(env);
    dm.DataModuleCreate();
    dm.SwitchToProfileGroup(1);
    DMApplyProfiles profiles(dm);
    EXPECT_EQ(WriteDeviceByte(hid, 1, kAddrSetSelector), 0u);
    EXPECT_EQ(WriteDeviceByte(hid, 3, SetAddress(kAddrCPIBlock, 1) + 1), 0u);
    pauses.clear();
    ASSERT_TRUE(ApplyDeviceSequence(hid, profiles, 0, hooks).Written);
    TMOUSEPROFILEINFO stored;
    dm.ReadProfileInfo(stored, 1);
    EXPECT_EQ(stored.ConfigInfo.CurrentCPIIndex, 3) << "stored back before the images are built";
    EXPECT_EQ(pauses, (std::vector<int> { 100, 0, 0, 0, 100, 0, 0, 0, 0, 0, 50 }));
}

} // namespace

namespace {

// Apply keeps what it sent, so a read-back can name the bytes the mouse does not hold.
TEST_F(ApplyTest, VerifyNamesTheBytesTheMouseDoesNotHold)
{
    FileProfiles profiles;
    profiles.mode[0] = factoryProfile(0);
    profiles.mode[1] = factoryProfile(2);
    assignMacro(*profiles.mode[0], 2, addMacro(*profiles.mode[0], { key('A', 1), key('A', 0) }));
    const auto result = ApplyDeviceSequence(hid, profiles, 0, hooks);
    ASSERT_TRUE(result.Written);
    std::set<std::string> steps;
    for (const auto& w : result.Writes)
        steps.insert(w.What);
    for (const char* step : { "Mode 1 button block", "Mode 1 macro slot 1", "Mode 2 CPI block", "report rates",
             "set selector", "wheel light" })
        EXPECT_TRUE(steps.count(step)) << step;
    EXPECT_TRUE(VerifyDeviceWrites(hid, result.Writes).Matches());

    // Two neighbouring bytes of the mode 2 light block, and the set selector, changed behind Apply's back.
    const auto light = std::find_if(result.Writes.begin(), result.Writes.end(),
        [](const TDeviceWrite& w) { return w.What == "Mode 2 light block"; });
    ASSERT_NE(light, result.Writes.end());
    const std::uint8_t changed[] = { std::uint8_t(light->Data[1] ^ 0xFF), std::uint8_t(light->Data[2] ^ 0xFF) };
    ASSERT_EQ(WriteDeviceMemory(hid, changed, 2, std::uint16_t(light->Address + 1)), 0u);
    ASSERT_EQ(WriteDeviceByte(hid, std::uint8_t(profiles.active ^ 1), kAddrSetSelector), 0u);
    const VerifyResult v = VerifyDeviceWrites(hid, result.Writes);
    ASSERT_EQ(v.Differing.size(), 2u);
    EXPECT_EQ(v.Differing[0].First, light->Address + 1);
    EXPECT_EQ(v.Differing[0].Last, light->Address + 2);
    EXPECT_EQ(v.Differing[0].What, "Mode 2 light block");
    EXPECT_EQ(v.Differing[1].First, kAddrSetSelector);
    EXPECT_TRUE(v.Unread.empty());

    // A read that fails is no match either, and says which block it was.
    VirtualMouseFaults faults;
    faults.failTransfer = 1;
    mouse->setFaults(faults);
    const VerifyResult unread = VerifyDeviceWrites(hid, result.Writes);
    EXPECT_FALSE(unread.Matches());
    ASSERT_EQ(unread.Unread.size(), 1u);
    EXPECT_EQ(unread.Unread[0], result.Writes[0].What);
    EXPECT_NE(unread.FirstError, 0u);
}

} // namespace
