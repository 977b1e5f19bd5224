// Button assignment: each slot opens its function menu beside it, and the choice becomes the
// slot's function in the current profile.

#include "mainwindow/MainConfig.h"

#include "dialogs/Dialogs.h"
#include "keys/uiStdCmd.h"
#include "mainwindow/button_captions.h"
#include "settings/DMUnit.h"
#include "settings/record_text.h"
#include "toolkit/caption_button.h"
#include "toolkit/function_menu.h"
#include "toolkit/translation.h"
#include "ui/button_functions.h"

#include <QEvent>

namespace bv::gui {

namespace {

/// Shows a button slot's hint each time the pointer enters it, so it follows the slot's function.
class SlotHintFilter final : public QObject {
public:
    SlotHintFilter(TBrisvaneCfgMain& window, int slot)
        : QObject(&window)
        , FWindow(window)
        , FSlot(slot)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Enter)
            FWindow.SetButtonHint(FSlot);
        return QObject::eventFilter(watched, event);
    }

private:
    TBrisvaneCfgMain& FWindow;
    int FSlot;
};

constexpr std::int32_t kMenuRowHeight = 30;

} // namespace

void TBrisvaneCfgMain::CreateSlotMenus()
{
    uiMenuEx1Popup = new FunctionMenu(this);
    uiMenuExLRBUTTONPopup = new FunctionMenu(this);
    uiMenuEx2Popup = new FunctionMenu(this);
    uiMenuEx3Popup = new FunctionMenu(this);
    for (FunctionMenu* popup : { uiMenuEx1Popup, uiMenuExLRBUTTONPopup, uiMenuEx2Popup }) {
        popup->Menu().UseCustomMenuParams = true;
        popup->Menu().Parameters.ItemHeight = kMenuRowHeight;
    }
    CaptionButton* const buttons[] = { BtnSet1, BtnSet2, BtnSet3, BtnSet4, BtnSet5, BtnSet6, BtnSet7 };
    for (CaptionButton* b : buttons)
        b->installEventFilter(new SlotHintFilter(*this, b->property("tag").toInt()));
}

void TBrisvaneCfgMain::ShowSlotMenu(FunctionMenu& popup, const MenuTree& tree, QWidget* target, std::uint32_t selected,
    void (TBrisvaneCfgMain::*chosen)(std::uint32_t))
{
    popup.SetItemFont(uiMenuEx1ItemFont); // follows the language
    // The pop-ups are children of this window, and a destroyed menu drops its handler.
    ShowMenuTree(popup, tree, target, std::int64_t(selected), [this, chosen](std::optional<std::uint32_t> id) {
        if (id)
            (this->*chosen)(*id);
    });
}

void TBrisvaneCfgMain::BtnSet1Click(int tag)
{
    BtnSet3Click(tag);
}

void TBrisvaneCfgMain::BtnSet3Click(int tag)
{
    if (tag < 0 || tag >= kGameButtonCount || !FConfigButtonSet[tag])
        return;
    FPlaceButtonTag = tag;
    const bool primary = tag <= 1;
    ShowSlotMenu(primary ? *uiMenuExLRBUTTONPopup : *uiMenuEx1Popup, primary ? uiMenuExLRBUTTON : uiMenuEx1,
        FConfigButtonSet[tag], DM().CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[tag].MenuID,
        &TBrisvaneCfgMain::uiMenuEx1ItemsClick);
}

void TBrisvaneCfgMain::BtnSet8Click(int tag)
{
    if (tag < 0 || tag > 1 || !FWheelConfigButtonSet[tag])
        return;
    FPlaceWheelButtonTag = tag;
    ShowSlotMenu(*uiMenuEx2Popup, uiMenuEx2, FWheelConfigButtonSet[tag],
        DM().CurrentProfileInfo().ConfigInfo.VWheelButtonFuncInfo[tag].MenuID, &TBrisvaneCfgMain::uiMenuEx2ItemsClick);
}

void TBrisvaneCfgMain::uiMenuEx1ItemsClick(std::uint32_t id)
{
    AssignButtonFunction(id);
    SettingsChanged = true;
}

void TBrisvaneCfgMain::uiMenuEx2ItemsClick(std::uint32_t id)
{
    AssignWheelFunction(id);
    // A wheel change must reach the mouse like any other: without this OK would close without it.
    SettingsChanged = true;
}

void TBrisvaneCfgMain::AssignButtonFunction(std::uint32_t id)
{
    const int s = FPlaceButtonTag;
    if (s < 0 || s >= kGameButtonCount)
        return;
    TMOUSECONFIGINFO& config = DM().CurrentProfileInfo().ConfigInfo;

    if (s <= 1) {
        if (id != kMenuClick && id != kMenuRightClick)
            return;
        const int other = AssignPrimaryButton(config, s, id);
        if (other >= 0)
            SetButtonCaption(other, kMenuClick);
        DM().SaveBackToCurrentProfileInfo();
        SetButtonCaption(s, id);
        return;
    }

    if (id == kMacroManagerMenuID) {
        OpenMacroManager(s);
        return;
    }
    if (ParentMenuOf(id) == kMenuMacro) {
        ChooseMacro(s, id);
        return;
    }

    // The dialogs work on a copy: Cancel leaves the slot as it was.
    TBUTTONFUNCINFO entry = config.ButtonFuncInfo[s];
    Dialogs* dialogs = FEnv.UserDialogs;
    switch (id) {
    case kMenuSingleKey: {
        const auto key = dialogs ? dialogs->EditSingleKey(this, entry.SingleKey) : std::nullopt;
        if (!key || !AssignCapturedKey(entry, *key, &id))
            return;
        break;
    }
    case kMenuComboKey: {
        const auto combo = dialogs ? dialogs->EditComboKey(this, entry.ComboKey) : std::nullopt;
        if (!combo)
            return;
        AssignComboKey(entry, *combo);
        break;
    }
    case kMenuFireKey: {
        const auto fire = dialogs ? dialogs->EditFireKey(this, FireKeyProposal(entry, config)) : std::nullopt;
        if (!fire)
            return;
        AssignFireKey(entry, *fire);
        break;
    }
    default:
        if (!AssignMenuFunction(entry, id))
            return;
    }
    DM().CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[s] = entry;
    DM().SaveBackToCurrentProfileInfo();
    SetButtonCaption(s, id);
}

void TBrisvaneCfgMain::ChooseMacro(int slot, std::uint32_t id)
{
    const int m = int(id - kMacroMenuIDBase);
    switch (AssignMacro(DM().CurrentProfileInfo(), slot, m)) {
    case MacroAssignment::Assigned:
        FCurrentMacro = m;
        DM().SaveBackToCurrentProfileInfo();
        SetButtonCaption(slot, id);
        break;
    case MacroAssignment::TooManyMacros:
        FCurrentMacro = m;
        WarnTooManyMacros();
        break;
    case MacroAssignment::NoSuchMacro:
        break;
    }
}

void TBrisvaneCfgMain::OpenMacroManager(int slot)
{
    TMOUSEPROFILEINFO& profile = DM().CurrentProfileInfo();
    FCurrentMacro = MacroIndexOfName(profile.MacroKeyInfoList, profile.ConfigInfo.ButtonFuncInfo[slot].MacroKeyInfo);
    const int index = DM().ProfileIndex();
    if (TDM::IsProfileIndexInRange(index))
        FMacroPath = RecordText(DM().ProfileSettingGroup().ProfileSettingList[index].MacroPath);
    if (!FEnv.UserDialogs)
        return;
    const auto edited = FEnv.UserDialogs->EditMacros(this, profile.MacroKeyInfoList, FCurrentMacro, FMacroPath);
    if (!edited)
        return;

    TMOUSEPROFILEINFO& current = DM().CurrentProfileInfo();
    current.MacroKeyInfoList = edited->Macros;
    FCurrentMacro = edited->CurrentMacro;
    // The other buttons follow their macros first, so the limit counts the macros as they now are.
    FollowMacroList(current);
    bool refused = false;
    switch (FCurrentMacro < 0 ? MacroAssignment::NoSuchMacro : AssignMacro(current, slot, FCurrentMacro)) {
    case MacroAssignment::Assigned:
        break;
    case MacroAssignment::TooManyMacros:
        refused = true;
        break;
    case MacroAssignment::NoSuchMacro:
        DisableButtonFunction(current.ConfigInfo.ButtonFuncInfo[slot]);
        break;
    }
    DM().SaveBackToCurrentProfileInfo();
    RefreshButtonCaptions();
    if (refused)
        WarnTooManyMacros();
}

void TBrisvaneCfgMain::WarnTooManyMacros()
{
    if (FEnv.UserDialogs)
        FEnv.UserDialogs->ShowMessageDialog(
            this, Tr("Warning!"), Tr("You can assign macros to buttons shall not exceed 5 ."), QString());
}

void TBrisvaneCfgMain::AssignWheelFunction(std::uint32_t id)
{
    const int w = FPlaceWheelButtonTag;
    if (w < 0 || w > 1)
        return;
    if (!bv::AssignWheelFunction(DM().CurrentProfileInfo().ConfigInfo.VWheelButtonFuncInfo[w], id))
        return;
    DM().SaveBackToCurrentProfileInfo();
    SetWheelButtonCaption(w, id);
}

void TBrisvaneCfgMain::SetButtonHint(int slot)
{
    if (slot < 0 || slot >= kGameButtonCount || !FConfigButtonSet[slot])
        return;
    const TBUTTONFUNCINFO& entry = DM().CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[slot];
    QString hint;
    if (entry.nMenuRow == kSingleKeyMenuRow)
        hint = Tr("Single Key") + ": <"
            + QString::fromStdString(GetKeyName(entry.SingleKey.nKeyValue1, entry.SingleKey.nKey1Extended)) + ">";
    else if (entry.nMenuRow == kComboKeyMenuRow)
        hint = Tr("Combo Key") + ": " + QString::fromStdString(ComboKeyText(entry.ComboKey));
    FConfigButtonSet[slot]->setToolTip(hint);
}

} // namespace bv::gui
