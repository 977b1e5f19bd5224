// Button assignment on the main window: each slot's menu, what a choice stores in the profile,
// the capture dialogs and their Cancel, the primary-button rule, macros and their limit, the
// macro manager, the wheel slots, and the mouse holding an assignment after Apply.

#include "gui_fixture.h"

#include "toolkit/translation.h"
#include "ui/button_functions.h"

#include "device/config_image.h"
#include "keys/uiStdCmd.h"
#include "mainwindow/MainConfig.h"
#include "settings/record_text.h"
#include "toolkit/caption_button.h"
#include "toolkit/function_menu.h"
#include "ui/uiMenuEx.h"

#include <QApplication>
#include <QEvent>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

/// Clicks a slot and chooses `id` in the menu it opened there.
void choose(CaptionButton* slot, FunctionMenu* menu, std::uint32_t id)
{
    slot->click();
    QVERIFY(menu->IsShown());
    QVERIFY(menu->ChooseItem(id));
    QVERIFY(!menu->IsShown());
}

/// The item ID of the row the open menu shows selected, 0 for none.
std::uint32_t preselected(const FunctionMenu* menu)
{
    const TuiMenuBox* box = menu->OpenLevel(0);
    if (!box)
        return 0;
    for (const TuiMenuBoxItem& row : box->Rows())
        if (row.IsSelected)
            return row.ItemID;
    return 0;
}

QString hintOf(CaptionButton* slot)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(slot, &enter);
    return slot->toolTip();
}

std::unique_ptr<TMOUSEPROFILEINFO> storedCurrent(TDM& dm)
{
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    dm.ReadProfileInfo(*p, dm.ProfileIndex());
    return p;
}

const TBUTTONFUNCINFO& button(TDM& dm, int slot)
{
    return dm.CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[slot];
}

/// Gives the current profile these macros, stored as the window would find them.
void setMacros(TBrisvaneCfgMain& w, TDM& dm, const std::vector<std::string>& names)
{
    TMACROKEYINFOLIST& list = dm.CurrentProfileInfo().MacroKeyInfoList;
    std::memset(static_cast<void*>(&list), 0, sizeof list);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SetRecordText(list.MacroInfos[i].szMacroName, names[i]);
        list.MacroInfos[i].nMacroIndex = std::uint16_t(i);
    }
    list.nMacroInfoCount = std::uint16_t(names.size());
    dm.SaveBackToCurrentProfileInfo();
    w.BuildMacroSubMenu();
}

MacroEditorResult editedMacros(const std::vector<std::string>& names, int current)
{
    MacroEditorResult r;
    std::memset(static_cast<void*>(&r.Macros), 0, sizeof r.Macros);
    for (std::size_t i = 0; i < names.size(); ++i)
        SetRecordText(r.Macros.MacroInfos[i].szMacroName, names[i]);
    r.Macros.nMacroInfoCount = std::uint16_t(names.size());
    r.CurrentMacro = current;
    return r;
}

} // namespace

class ButtonAssignmentTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void init() { TuiMenuEx::SetSelectedMenuID(0); }
    void eachSlotOpensItsMenuBesideItWithItsFunctionSelected();
    void plainFunctionsAreStoredAndCaptioned_data();
    void plainFunctionsAreStoredAndCaptioned();
    void captureDialogsStoreOnlyOnOK();
    void dialogResultsFollowTheAssignmentRules();
    void primaryButtonsAlwaysKeepALeftClick();
    void macrosFromTheSubMenuAndTheirLimit();
    void macroManagerEditsTheListAndButtonsFollow();
    void wheelSlotsTakeTheirOwnFunctions();
    void applyWritesTheAssignmentIntoTheMouse();
};

void ButtonAssignmentTest::eachSlotOpensItsMenuBesideItWithItsFunctionSelected()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();

    Control<CaptionButton>(w, "BtnSet4")->click(); // factory: Forward
    QVERIFY(Control<FunctionMenu>(w, "uiMenuEx1Popup")->IsShown());
    QCOMPARE(int(Control<FunctionMenu>(w, "uiMenuEx1Popup")->OpenLevel(0)->Rows().size()), 16);
    QCOMPARE(preselected(Control<FunctionMenu>(w, "uiMenuEx1Popup")), 4u);
    const QRect box = Control<FunctionMenu>(w, "uiMenuEx1Popup")->OpenLevel(0)->geometry();
    QCOMPARE(box.left(),
        Control<CaptionButton>(w, "BtnSet4")
            ->mapToGlobal(QPoint(Control<CaptionButton>(w, "BtnSet4")->width(), 0))
            .x());
    // Dismissed: nothing changes.
    Control<FunctionMenu>(w, "uiMenuEx1Popup")->CloseMenu();
    QCOMPARE(button(*rig.dm, 3).MenuID, 4u);
    QVERIFY(!w->SettingsChanged);

    Control<CaptionButton>(w, "BtnSet2")->click(); // the primary buttons offer only the two clicks
    QVERIFY(Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup")->IsShown());
    QCOMPARE(int(Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup")->OpenLevel(0)->Rows().size()), 2);
    QCOMPARE(preselected(Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup")), 2u);
    QVERIFY(!Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup")->ChooseItem(3));
    Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup")->CloseMenu();

    Control<CaptionButton>(w, "Btnset9")->click(); // factory: Wheel Down
    QVERIFY(Control<FunctionMenu>(w, "uiMenuEx2Popup")->IsShown());
    QCOMPARE(int(Control<FunctionMenu>(w, "uiMenuEx2Popup")->OpenLevel(0)->Rows().size()), 6);
    QCOMPARE(preselected(Control<FunctionMenu>(w, "uiMenuEx2Popup")), 2u);
    Control<FunctionMenu>(w, "uiMenuEx2Popup")->CloseMenu();
    QVERIFY(!w->SettingsChanged);
}

void ButtonAssignmentTest::plainFunctionsAreStoredAndCaptioned_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("caption");
    QTest::newRow("click") << 6 << 1 << 0 << 1 << 1 << "Click";
    QTest::newRow("backward") << 2 << 5 << 4 << 1 << 4 << "Backward";
    QTest::newRow("copy") << 3 << 802 << 8 << 3 << 15 << "Copy";
    QTest::newRow("show desktop") << 4 << 905 << 19 << 3 << 15 << "Show Desktop";
    QTest::newRow("volume up") << 5 << 1005 << 25 << 10 << 14 << "Volume Up";
    QTest::newRow("dpi switch") << 2 << 12 << 29 << 0 << 8 << "DPI Switch";
    QTest::newRow("disable") << 6 << 16 << 33 << 10 << 14 << "Disable";
}

void ButtonAssignmentTest::plainFunctionsAreStoredAndCaptioned()
{
    QFETCH(int, slot);
    QFETCH(int, id);
    QFETCH(int, row);
    QFETCH(int, kind);
    QFETCH(int, device);
    QFETCH(QString, caption);
    WindowRig rig;
    auto w = rig.Start();
    CaptionButton* control = w->Buttons().ConfigButtonSet()[slot];

    choose(control, Control<FunctionMenu>(w, "uiMenuEx1Popup"), std::uint32_t(id));
    const TBUTTONFUNCINFO& e = button(*rig.dm, slot);
    QCOMPARE(int(e.nMenuRow), row);
    QCOMPARE(int(e.FuncKind), kind);
    QCOMPARE(int(e.DeviceCode), device);
    QCOMPARE(int(e.MenuID), id);
    QCOMPARE(control->text(), caption);
    QVERIFY(w->SettingsChanged);
    const auto stored = storedCurrent(*rig.dm);
    QVERIFY(std::memcmp(&stored->ConfigInfo.ButtonFuncInfo[slot], &e, sizeof e) == 0);

    // The next showing selects the new function (a sub-item's when its sub-menu opens).
    if (id < 100) {
        control->click();
        QCOMPARE(preselected(Control<FunctionMenu>(w, "uiMenuEx1Popup")), std::uint32_t(id));
        Control<FunctionMenu>(w, "uiMenuEx1Popup")->CloseMenu();
    }
}

void ButtonAssignmentTest::captureDialogsStoreOnlyOnOK()
{
    WindowRig rig;
    auto w = rig.Start();
    auto& d = rig.dialogs;
    const TBUTTONFUNCINFO factory = button(*rig.dm, 3);

    // Cancel in each dialog: the slot keeps its function, though the window counts it as a change.
    d.SingleKeyAnswers = { std::nullopt };
    d.ComboKeyAnswers = { std::nullopt };
    d.FireKeyAnswers = { std::nullopt };
    for (std::uint32_t id : { 6u, 7u, 15u })
        choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), id);
    QCOMPARE(d.SingleKeyCalls.size(), std::size_t(1));
    QCOMPARE(d.ComboKeyCalls.size(), std::size_t(1));
    QCOMPARE(d.FireKeyCalls.size(), std::size_t(1));
    QVERIFY(std::memcmp(&button(*rig.dm, 3), &factory, sizeof factory) == 0);
    QVERIFY(std::memcmp(&storedCurrent(*rig.dm)->ConfigInfo.ButtonFuncInfo[3], &factory, sizeof factory) == 0);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet4")->text(), QString("Forward"));
    QVERIFY(w->SettingsChanged);
    // A new fire key starts from the profile's proposal.
    QCOMPARE(int(d.FireKeyCalls[0].DelyValue), 10);
    QCOMPARE(int(d.FireKeyCalls[0].nLoopCount), 2);

    // Single key.
    const QString f5 = QString::fromStdString(GetKeyName(0x74, 0));
    d.SingleKeyAnswers = { TSINGLEKEYINFO { 0x74, 0 } };
    choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 6);
    QCOMPARE(int(button(*rig.dm, 3).FuncKind), 8);
    QCOMPARE(int(button(*rig.dm, 3).DeviceCode), 16);
    QCOMPARE(int(button(*rig.dm, 3).SingleKey.nKeyValue1), 0x74);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet4")->text(), "<" + f5 + ">");
    QCOMPARE(hintOf(Control<CaptionButton>(w, "BtnSet4")), "Single Key: <" + f5 + ">");
    // The dialog opens on the key the slot has.
    d.SingleKeyAnswers = { std::nullopt };
    choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 6);
    QCOMPARE(int(d.SingleKeyCalls.back().nKeyValue1), 0x74);
    QCOMPARE(int(button(*rig.dm, 3).SingleKey.nKeyValue1), 0x74);

    // A captured Play/Pause is the Media menu's Play/Pause, caption and all: the mouse then sends
    // the consumer usage, never Play/Pause's low byte as a keyboard key.
    d.SingleKeyAnswers = { TSINGLEKEYINFO { 0xB3, 1 } };
    choose(Control<CaptionButton>(w, "BtnSet3"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 6);
    TBUTTONFUNCINFO asMenu = factory;
    QVERIFY(AssignMenuFunction(asMenu, 1001));
    QCOMPARE(int(button(*rig.dm, 2).DeviceCode), 14);
    QCOMPARE(int(button(*rig.dm, 2).MenuID), 1001);
    QCOMPARE(int(button(*rig.dm, 2).MediaKey.nKeyValue1), 0xCD);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet3")->text(), Tr("Play/Pause"));

    // A combination too long for the slot is cut there, but not in the hint.
    const TCOMBOKEYINFO longCombo { 0x41, 0, 0x70, 0, std::uint16_t(kModifierCtrl | kModifierAlt | kModifierShift) };
    d.ComboKeyAnswers = { longCombo };
    choose(Control<CaptionButton>(w, "BtnSet5"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 7);
    QCOMPARE(int(button(*rig.dm, 4).FuncKind), 3);
    QCOMPARE(int(button(*rig.dm, 4).DeviceCode), 15);
    QCOMPARE(int(button(*rig.dm, 4).ComboKey.nKeyValue2), 0x70);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet5")->text(), QString("<Alt+Ctrl..."));
    QCOMPARE(hintOf(Control<CaptionButton>(w, "BtnSet5")), QString("Combo Key: <Alt+Ctrl+Shift+A+F1>"));
    QCOMPARE(hintOf(Control<CaptionButton>(w, "BtnSet6")), QString()); // DPI +: no hint

    // Fire key: stored, and offered again as it is next time.
    d.FireKeyAnswers = { TFIREKEYINFO { 7, 40 }, std::nullopt };
    choose(Control<CaptionButton>(w, "BtnSet6"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 15);
    choose(Control<CaptionButton>(w, "BtnSet6"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 15);
    const TBUTTONFUNCINFO& fire = button(*rig.dm, 5);
    QCOMPARE(int(fire.FuncKind), 5);
    QCOMPARE(int(fire.DeviceCode), 18);
    QCOMPARE(int(fire.FireKey.nLoopCount), 7);
    QCOMPARE(int(fire.FireKey.DelyValue), 40);
    QCOMPARE(int(d.FireKeyCalls.back().DelyValue), 40);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet6")->text(), QString("Fire Key..."));
    QVERIFY(std::memcmp(&storedCurrent(*rig.dm)->ConfigInfo.ButtonFuncInfo[5], &fire, sizeof fire) == 0);
}

void ButtonAssignmentTest::dialogResultsFollowTheAssignmentRules()
{
    WindowRig rig;
    auto w = rig.Start();
    auto& d = rig.dialogs;
    CaptionButton* slot4 = Control<CaptionButton>(w, "BtnSet4");
    CaptionButton* slot5 = Control<CaptionButton>(w, "BtnSet5");
    FunctionMenu* menu = Control<FunctionMenu>(w, "uiMenuEx1Popup");

    // A profile from elsewhere may hold a key the mouse cannot send: OK on it changes nothing, and
    // the window says why instead of dropping the choice without a word.
    AssignSingleKey(rig.dm->CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[3], { 0xA6, 0 }); // BROWSER_BACK
    rig.dm->SaveBackToCurrentProfileInfo();
    const TBUTTONFUNCINFO before = button(*rig.dm, 3);
    d.SingleKeyAnswers = { TSINGLEKEYINFO { 0xA6, 0 } };
    choose(slot4, menu, 6);
    QCOMPARE(d.Calls.size(), std::size_t(1));
    QCOMPARE(d.Calls[0].Title, QString("Warning!"));
    QCOMPARE(d.Calls[0].Text, "The mouse cannot send the key " + QString::fromStdString(GetKeyName(0xA6, 0)) + ".");
    QVERIFY(std::memcmp(&button(*rig.dm, 3), &before, sizeof before) == 0);

    // OK in the combination dialog before any key was pressed keeps what it opened with; for a slot
    // that had no combination that is none, and it is stored like any other.
    d.ComboKeyAnswers = { TCOMBOKEYINFO {} };
    choose(slot5, menu, 7);
    QCOMPARE(d.Calls.size(), std::size_t(1));
    QCOMPARE(button(*rig.dm, 4).MenuID, std::uint32_t(kMenuComboKey));
    QCOMPARE(int(button(*rig.dm, 4).FuncKind), 3);
    QCOMPARE(int(button(*rig.dm, 4).ComboKey.nKeyValue1), 0);
    QCOMPARE(slot5->text(), QString("Combo Key"));
}

void ButtonAssignmentTest::primaryButtonsAlwaysKeepALeftClick()
{
    WindowRig rig;
    auto w = rig.Start();

    choose(Control<CaptionButton>(w, "BtnSet1"), Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup"), 2);
    QCOMPARE(button(*rig.dm, 0).MenuID, 2u);
    QCOMPARE(button(*rig.dm, 1).MenuID, 1u);
    QCOMPARE(button(*rig.dm, 1).DeviceCode, 1u);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet1")->text(), QString("Right Click"));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet2")->text(), QString("Click"));
    QCOMPARE(storedCurrent(*rig.dm)->ConfigInfo.ButtonFuncInfo[1].MenuID, 1u);
    QVERIFY(w->SettingsChanged);

    choose(Control<CaptionButton>(w, "BtnSet2"), Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup"), 2);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet1")->text(), QString("Click"));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet2")->text(), QString("Right Click"));

    // A left click changes only its own button.
    choose(Control<CaptionButton>(w, "BtnSet2"), Control<FunctionMenu>(w, "uiMenuExLRBUTTONPopup"), 1);
    QCOMPARE(button(*rig.dm, 0).MenuID, 1u);
    QCOMPARE(button(*rig.dm, 1).MenuID, 1u);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet2")->text(), QString("Click"));
}

void ButtonAssignmentTest::macrosFromTheSubMenuAndTheirLimit()
{
    WindowRig rig;
    auto w = rig.Start();
    setMacros(*w, *rig.dm, { "m0", "m1", "m2", "m3", "m4", "m5" });

    // The same macro on every slot counts once.
    for (CaptionButton* slot : { Control<CaptionButton>(w, "BtnSet3"), Control<CaptionButton>(w, "BtnSet4"),
             Control<CaptionButton>(w, "BtnSet5"), Control<CaptionButton>(w, "BtnSet6"),
             Control<CaptionButton>(w, "BtnSet7") })
        choose(slot, Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1102);
    QVERIFY(rig.dialogs.Calls.empty());
    QCOMPARE(Control<CaptionButton>(w, "BtnSet7")->text(), QString("Macro #1"));
    QCOMPARE(RecordText(button(*rig.dm, 6).MacroKeyInfo.szMacroName), std::string("m0"));
    QCOMPARE(int(storedCurrent(*rig.dm)->ConfigInfo.ButtonFuncInfo[6].DeviceCode), 17);
    QCOMPARE(w->Buttons().CurrentMacro(), 0);

    // Four more distinct ones fill the five; a profile may carry a sixth on an entry beyond the
    // slots, and then one more on a slot is refused.
    choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1103);
    choose(Control<CaptionButton>(w, "BtnSet5"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1104);
    choose(Control<CaptionButton>(w, "BtnSet6"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1105);
    choose(Control<CaptionButton>(w, "BtnSet7"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1106);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet7")->text(), QString("Macro #5"));
    QVERIFY(rig.dialogs.Calls.empty());
    TBUTTONFUNCINFO& beyond = rig.dm->CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[7];
    beyond.FuncKind = kFuncKindMacro;
    beyond.MacroKeyInfo.nMacroIndex = 5;
    rig.dm->SaveBackToCurrentProfileInfo();
    // Slot 2 going from m0 (on no other slot) to m5 (already counted) keeps five: allowed.
    choose(Control<CaptionButton>(w, "BtnSet3"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1107);
    QVERIFY(rig.dialogs.Calls.empty());
    QCOMPARE(Control<CaptionButton>(w, "BtnSet3")->text(), QString("Macro #6"));
    // Back to m0 while m5 stays on the entry beyond would make six: refused, the slot keeps m5.
    choose(Control<CaptionButton>(w, "BtnSet3"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1102);
    QCOMPARE(rig.dialogs.Calls.size(), std::size_t(1));
    QCOMPARE(rig.dialogs.Calls[0].Title, QString("Warning!"));
    QCOMPARE(rig.dialogs.Calls[0].Text, QString("You can assign macros to buttons shall not exceed 5 ."));
    QCOMPARE(rig.dialogs.Calls[0].SecondLine, QString());
    QCOMPARE(button(*rig.dm, 2).MenuID, 1107u);
    QCOMPARE(storedCurrent(*rig.dm)->ConfigInfo.ButtonFuncInfo[2].MenuID, 1107u);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet3")->text(), QString("Macro #6"));
}

void ButtonAssignmentTest::macroManagerEditsTheListAndButtonsFollow()
{
    WindowRig rig;
    auto w = rig.Start();
    auto& d = rig.dialogs;
    setMacros(*w, *rig.dm, { "a", "b" });
    choose(Control<CaptionButton>(w, "BtnSet3"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1102); // a
    choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1103); // b

    // Cancel: nothing changes.
    choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1101);
    QCOMPARE(d.MacroEditorCalls.size(), std::size_t(1));
    QCOMPARE(d.MacroEditorCalls[0].CurrentMacro, 1); // the slot's own macro
    QCOMPARE(int(d.MacroEditorCalls[0].Macros.nMacroInfoCount), 2);
    const int profile = rig.dm->ProfileIndex();
    QCOMPARE(d.MacroEditorCalls[0].MacroFolder,
        RecordText(rig.dm->ProfileSettingGroup().ProfileSettingList[profile].MacroPath));
    QCOMPARE(button(*rig.dm, 3).MenuID, 1103u);

    // "a" deleted, "b" now first and chosen: BtnSet3 is disabled, BtnSet4 keeps b at its new place.
    d.MacroAnswers = { editedMacros({ "b" }, 0) };
    choose(Control<CaptionButton>(w, "BtnSet4"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1101);
    const auto stored = storedCurrent(*rig.dm);
    for (const TMOUSEPROFILEINFO* p : { &rig.dm->CurrentProfileInfo(), stored.get() }) {
        QCOMPARE(int(p->MacroKeyInfoList.nMacroInfoCount), 1);
        const TBUTTONFUNCINFO& gone = p->ConfigInfo.ButtonFuncInfo[2];
        QCOMPARE(gone.MenuID, 0u);
        QCOMPARE(int(gone.nMenuRow), 33);
        QCOMPARE(int(gone.FuncKind), 10);
        QCOMPARE(int(gone.DeviceCode), 14);
        const TBUTTONFUNCINFO& kept = p->ConfigInfo.ButtonFuncInfo[3];
        QCOMPARE(kept.MenuID, 1102u);
        QCOMPARE(int(kept.MacroKeyInfo.nMacroIndex), 0);
        QCOMPARE(RecordText(kept.MacroKeyInfo.szMacroName), std::string("b"));
    }
    QCOMPARE(Control<CaptionButton>(w, "BtnSet3")->text(), QString("Disable"));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet4")->text(), QString("Macro #1"));
    QCOMPARE(w->Buttons().CurrentMacro(), 0);
    const auto& subs = w->uiMenuEx1.Items()[kMacroMenuPosition - 1].SubItems;
    QCOMPARE(int(subs.size()), 2);
    QCOMPARE(QString::fromStdString(subs[1].Caption), QString("Macro<b>"));

    // Opened from a slot without a macro and closed with a macro chosen: the slot takes it.
    d.MacroAnswers = { editedMacros({ "b", "c" }, 1) };
    choose(Control<CaptionButton>(w, "BtnSet7"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1101);
    QCOMPARE(d.MacroEditorCalls.back().CurrentMacro, -1);
    QCOMPARE(button(*rig.dm, 6).MenuID, 1103u);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet7")->text(), QString("Macro #2"));

    // Every macro deleted: the slot that opened the editor and every macro button are disabled.
    d.MacroAnswers = { editedMacros({}, -1) };
    choose(Control<CaptionButton>(w, "BtnSet5"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 1101);
    for (int s : { 3, 4, 6 })
        QCOMPARE(int(button(*rig.dm, s).nMenuRow), 33);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet7")->text(), QString("Disable"));
    QCOMPARE(int(w->uiMenuEx1.Items()[kMacroMenuPosition - 1].SubItems.size()), 1);
}

void ButtonAssignmentTest::wheelSlotsTakeTheirOwnFunctions()
{
    WindowRig rig;
    auto w = rig.Start();

    choose(Control<CaptionButton>(w, "BtnSet8"), Control<FunctionMenu>(w, "uiMenuEx2Popup"), 3);
    const TBUTTONFUNCINFO& up = rig.dm->CurrentProfileInfo().ConfigInfo.VWheelButtonFuncInfo[0];
    QCOMPARE(int(up.nMenuRow), 2);
    QCOMPARE(int(up.FuncKind), 1);
    QCOMPARE(up.MenuID, 3u);
    QCOMPARE(up.DeviceCode, 11u); // the slot's own code
    QCOMPARE(Control<CaptionButton>(w, "BtnSet8")->text(), QString("Volume +"));
    QCOMPARE(storedCurrent(*rig.dm)->ConfigInfo.VWheelButtonFuncInfo[0].MenuID, 3u);
    // A wheel change alone is a change to apply, like any other.
    QVERIFY(w->SettingsChanged);
    QCOMPARE(hintOf(Control<CaptionButton>(w, "BtnSet8")), QString());

    choose(Control<CaptionButton>(w, "Btnset9"), Control<FunctionMenu>(w, "uiMenuEx2Popup"), 6);
    QCOMPARE(Control<CaptionButton>(w, "Btnset9")->text(), QString("Forward"));
    QCOMPARE(rig.dm->CurrentProfileInfo().ConfigInfo.VWheelButtonFuncInfo[1].DeviceCode, 12u);
}

void ButtonAssignmentTest::applyWritesTheAssignmentIntoTheMouse()
{
    WindowRig rig;
    auto w = rig.Start();
    const auto before = storedCurrent(*rig.dm);
    const int set = rig.dm->ProfileGroupIndex();

    rig.dialogs.ComboKeyAnswers = { TCOMBOKEYINFO { 0x43, 0, 0, 0, std::uint16_t(kModifierCtrl) } };
    choose(Control<CaptionButton>(w, "BtnSet5"), Control<FunctionMenu>(w, "uiMenuEx1Popup"), 7);
    choose(Control<CaptionButton>(w, "BtnSet8"), Control<FunctionMenu>(w, "uiMenuEx2Popup"), 4);
    Control<CaptionButton>(w, "BSBTNAPPLY")->click();

    const VirtualMouseState s = rig.mouse->state();
    QVERIFY(MouseHoldsProfile(s, *storedCurrent(*rig.dm), set));
    QVERIFY(!MouseHoldsProfile(s, *before, set));
    QVERIFY(!w->SettingsChanged);
}

QTEST_MAIN(ButtonAssignmentTest)
#include "button_assignment_test.moc"
