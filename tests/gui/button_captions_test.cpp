// The texts of the button and wheel slots, and the function menus' item IDs.

#include "keys/uiStdCmd.h"
#include "mainwindow/button_captions.h"
#include "mainwindow/button_menus.h"
#include "settings/record_text.h"

#include <QtTest>

#include <cstring>

using namespace bv;
using namespace bv::gui;

namespace {

TBUTTONFUNCINFO Entry(std::uint16_t row, std::uint32_t menuID)
{
    TBUTTONFUNCINFO e;
    std::memset(&e, 0, sizeof e);
    e.nMenuRow = row;
    e.MenuID = menuID;
    return e;
}

} // namespace

class ButtonCaptionsTest : public QObject {
    Q_OBJECT

private slots:
    void menuIDsFollowPositions();
    void captionOfEachKindOfFunction();
    void comboTextIsCutOnlyOnTheSlot();
    void macroSubMenuFollowsTheProfile();
};

void ButtonCaptionsTest::menuIDsFollowPositions()
{
    const MenuTree menu(ButtonMenuCaptions());
    QCOMPARE(int(menu.Items().size()), 16);
    QCOMPARE(menu.Items()[7].SubItems[7].ItemID, 808u);
    QCOMPARE(menu.Items()[8].SubItems[5].ItemID, 906u);
    QCOMPARE(menu.Items()[9].SubItems[6].ItemID, 1007u);
    struct Case {
        std::int64_t Id;
        const char* Caption;
    } cases[] = { { 1, "Click" }, { 16, "Disable" }, { 17, "" }, { 0, "" }, { -3, "" }, { 801, "Cut" }, { 808, "Save" },
        { 809, "" }, { 1007, "Mute" }, { 1101, "Macro Manager" }, { 1200, "" }, { 80101, "" } };
    for (const Case& c : cases)
        QCOMPARE(QString::fromStdString(menu.CaptionOfID(c.Id)), QString(c.Caption));
    QCOMPARE(QString::fromStdString(MenuTree(WheelMenuCaptions()).CaptionOfID(3)), QString("Volume +"));
    QCOMPARE(QString::fromStdString(MenuTree(PresetMenuCaptions()).CaptionOfID(2)), QString("Load from file"));
    QCOMPARE(int(MenuTree(PrimaryButtonMenuCaptions()).Items().size()), 2);
}

void ButtonCaptionsTest::captionOfEachKindOfFunction()
{
    const MenuTree menu(ButtonMenuCaptions());
    TBUTTONFUNCINFO single = Entry(5, 6);
    single.SingleKey = { 0x70, 0 };
    TBUTTONFUNCINFO singleUnset = Entry(0, 6); // chosen but its key never captured
    TBUTTONFUNCINFO macro = Entry(kMacroMenuRow, 1104);
    macro.MacroKeyInfo.nMacroIndex = 2;
    TBUTTONFUNCINFO manager = Entry(kMacroMenuRow, 11);
    struct Case {
        TBUTTONFUNCINFO Entry;
        std::int64_t Id;
        QString Caption;
    } cases[] = {
        { Entry(0, 1), 1, "Click" },
        { Entry(30, 13), 13, "DPI +" },
        { Entry(12, 805), 805, "Find" },
        { single, 6, "<" + QString::fromStdString(GetKeyName(0x70, 0)) + ">" },
        { singleUnset, 6, "Single Key" },
        { macro, 1104, "Macro #3" },
        { manager, 11, "Macro #1" },
        { Entry(0, 0), 0, "" },
    };
    for (const Case& c : cases)
        QCOMPARE(QString::fromStdString(ButtonCaption(menu, c.Entry, c.Id)), c.Caption);

    QCOMPARE(SlotMenuID(Entry(33, 0)), std::int64_t(16));
    QCOMPARE(SlotMenuID(Entry(33, 7)), std::int64_t(7));
    QCOMPARE(QString::fromStdString(WheelCaption(MenuTree(WheelMenuCaptions()), 6)), QString("Forward"));
    QCOMPARE(QString::fromStdString(WheelCaption(MenuTree(WheelMenuCaptions()), 0)), QString());
}

void ButtonCaptionsTest::comboTextIsCutOnlyOnTheSlot()
{
    const MenuTree menu(ButtonMenuCaptions());
    const unsigned ctrlAltShift = kModifierCtrl | kModifierAlt | kModifierShift;
    struct Case {
        TCOMBOKEYINFO Combo;
        QString Full, Slot;
    } cases[] = {
        // One key: no brackets.
        { { 0x43, 0, 0, 0, std::uint16_t(kModifierCtrl) }, "Ctrl+C", "Ctrl+C" },
        // Two keys: in brackets; longer than 12 characters: cut to 9 and "...".
        { { 0x41, 0, 0x70, 0, std::uint16_t(ctrlAltShift) }, "<Alt+Ctrl+Shift+A+F1>", "<Alt+Ctrl..." },
        { { 0x41, 0, 0x42, 0, std::uint16_t(kModifierCtrl) }, "<Ctrl+A+B>", "<Ctrl+A+B>" },
    };
    for (const Case& c : cases) {
        TBUTTONFUNCINFO e = Entry(6, 7);
        e.ComboKey = c.Combo;
        QCOMPARE(QString::fromStdString(ComboKeyText(c.Combo)), c.Full);
        QCOMPARE(QString::fromStdString(ButtonCaption(menu, e, 7)), c.Slot);
    }
    // The caption of row 6 only: another row shows the menu text.
    TBUTTONFUNCINFO other = Entry(0, 7);
    QCOMPARE(QString::fromStdString(ButtonCaption(menu, other, 7)), QString("Combo Key"));
}

void ButtonCaptionsTest::macroSubMenuFollowsTheProfile()
{
    MenuTree menu(ButtonMenuCaptions());
    auto list = std::make_unique<TMACROKEYINFOLIST>();
    std::memset(list.get(), 0, sizeof *list);
    BuildMacroSubMenu(menu, *list);
    QCOMPARE(int(menu.Items()[kMacroMenuPosition - 1].SubItems.size()), 1);

    list->nMacroInfoCount = 2;
    SetRecordText(list->MacroInfos[0].szMacroName, "Reload");
    SetRecordText(list->MacroInfos[1].szMacroName, "Combo 2");
    BuildMacroSubMenu(menu, *list);
    const auto& subs = menu.Items()[kMacroMenuPosition - 1].SubItems;
    QCOMPARE(int(subs.size()), 3);
    QCOMPARE(subs[0].ItemID, 1101u);
    QCOMPARE(QString::fromStdString(subs[2].Caption), QString("Macro<Combo 2>"));
    QCOMPARE(subs[2].ItemID, 1103u);

    // A damaged count never reaches past the list.
    list->nMacroInfoCount = 60000;
    BuildMacroSubMenu(menu, *list);
    QCOMPARE(int(menu.Items()[kMacroMenuPosition - 1].SubItems.size()), 1 + kMacroListSlots);
}

QTEST_MAIN(ButtonCaptionsTest)
#include "button_captions_test.moc"
