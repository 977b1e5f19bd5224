#include "mainwindow/button_panel.h"

#include "dialogs/Dialogs.h"
#include "keys/uiStdCmd.h"
#include "mainwindow/button_captions.h"
#include "mainwindow/button_menus.h"
#include "mainwindow/slot_leaders.h"
#include "settings/DMUnit.h"
#include "settings/record_text.h"
#include "toolkit/caption_button.h"
#include "toolkit/function_menu.h"
#include "toolkit/picture.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"
#include "ui/button_functions.h"

#include <QEvent>

#include <optional>
#include <utility>

namespace bv::gui {

namespace {

/// Shows a button slot's hint each time the pointer enters it, so it follows the slot's function.
class SlotHintFilter final : public QObject {
public:
    SlotHintFilter(ButtonPanel& panel, int slot)
        : QObject(&panel)
        , FPanel(panel)
        , FSlot(slot)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Enter)
            FPanel.SetButtonHint(FSlot);
        return QObject::eventFilter(watched, event);
    }

private:
    ButtonPanel& FPanel;
    int FSlot;
};

constexpr std::int32_t kMenuRowHeight = 30;

/// Takes a capture dialog's record; false when it was cancelled.
template <typename Record> bool take(Record& out, const std::optional<Record>& answer)
{
    if (answer)
        out = *answer;
    return answer.has_value();
}

} // namespace

ButtonPanel::ButtonPanel(PanelContext context, QWidget* area, MenuTree& buttonMenu, const MenuTree& primaryButtonMenu,
    const MenuTree& wheelMenu, const QFont& itemFont)
    : QObject(area)
    , FContext(std::move(context))
    , uiMenuEx1(buttonMenu)
    , uiMenuExLRBUTTON(primaryButtonMenu)
    , uiMenuEx2(wheelMenu)
    , FItemFont(itemFont)
{
    setObjectName("ButtonPanel");
    // The mouse, seen from above, with its nine slots around it.
    const QRect mouse(151, 114, 160, 320);
    ImageMouse = new LitPicture("mouse", area);
    ImageMouse->setObjectName("ImageMouse");
    ImageMouse->setGeometry(mouse);

    FSlotLeaders = new SlotLeaders(area);
    FSlotLeaders->setGeometry(0, 56, 456, 470);

    struct SlotPlace {
        const char* Name;
        const char* Caption;
        bool Wheel;
        int Tag;
        bool Left;
        int CentreY;
        QPoint Anchor; // in the picture's own coordinates
    };
    const SlotPlace places[] = {
        { "BtnSet1", "1.Default", false, 0, true, 136, { 50, 58 } },
        { "BtnSet8", "8.Default", true, 0, true, 186, { 80, 44 } },
        { "BtnSet6", "6.Default", false, 5, true, 236, { 80, 104 } },
        { "BtnSet4", "4.Default", false, 3, true, 286, { 12, 146 } },
        { "BtnSet5", "5.Default", false, 4, true, 336, { 11, 186 } },
        { "BtnSet2", "2.Default", false, 1, false, 136, { 110, 58 } },
        { "BtnSet3", "3.Default", false, 2, false, 186, { 80, 62 } },
        { "Btnset9", "9.Default", true, 1, false, 236, { 80, 80 } },
        { "BtnSet7", "7.Default", false, 6, false, 286, { 80, 124 } },
    };
    for (const SlotPlace& s : places) {
        const QRect place(s.Left ? 16 : 326, s.CentreY - 15, 120, 30);
        CaptionButton* b = MakeButton(area, s.Name, s.Caption, "MySlotBtn", place);
        b->setProperty("tag", s.Tag);
        FSlotLeaders->AddLeader(b, mouse.topLeft() + s.Anchor - FSlotLeaders->pos());
        (s.Wheel ? FWheelConfigButtonSet : FConfigButtonSet)[s.Tag] = b;
    }

    uiMenuEx1Popup = new FunctionMenu(area);
    uiMenuExLRBUTTONPopup = new FunctionMenu(area);
    uiMenuEx2Popup = new FunctionMenu(area);
    uiMenuEx1Popup->setObjectName("uiMenuEx1Popup");
    uiMenuExLRBUTTONPopup->setObjectName("uiMenuExLRBUTTONPopup");
    uiMenuEx2Popup->setObjectName("uiMenuEx2Popup");
    for (FunctionMenu* popup : { uiMenuEx1Popup, uiMenuExLRBUTTONPopup, uiMenuEx2Popup }) {
        popup->Menu().UseCustomMenuParams = true;
        popup->Menu().Parameters.ItemHeight = kMenuRowHeight;
    }

    for (int s = 0; s < kGameButtonCount; ++s) {
        CaptionButton* b = FConfigButtonSet[s];
        b->installEventFilter(new SlotHintFilter(*this, s));
        if (s <= 1)
            connect(b, &QPushButton::clicked, this, [this, s] { BtnSet1Click(s); });
        else
            connect(b, &QPushButton::clicked, this, [this, s] { BtnSet3Click(s); });
    }
    for (int w = 0; w < 2; ++w)
        connect(FWheelConfigButtonSet[w], &QPushButton::clicked, this, [this, w] { BtnSet8Click(w); });
}

void ButtonPanel::BuildMacroSubMenu()
{
    gui::BuildMacroSubMenu(uiMenuEx1, DM().CurrentProfileInfo().MacroKeyInfoList);
}

void ButtonPanel::SetButtonCaption(int slot, std::int64_t id)
{
    if (slot < 0 || slot >= int(FConfigButtonSet.size()) || !FConfigButtonSet[slot])
        return;
    const TBUTTONFUNCINFO& entry = DM().CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[slot];
    SetPlainText(FConfigButtonSet[slot], QString::fromStdString(ButtonCaption(uiMenuEx1, entry, id)));
}

void ButtonPanel::SetWheelButtonCaption(int slot, std::int64_t id)
{
    if (slot < 0 || slot >= int(FWheelConfigButtonSet.size()) || !FWheelConfigButtonSet[slot])
        return;
    SetPlainText(FWheelConfigButtonSet[slot], QString::fromStdString(WheelCaption(uiMenuEx2, id)));
}

void ButtonPanel::Refresh()
{
    BuildMacroSubMenu();
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    for (int s = 0; s < c.ButtonCount && s < kGameButtonCount; ++s)
        SetButtonCaption(s, SlotMenuID(c.ButtonFuncInfo[s]));
    for (int w = 0; w < 2; ++w)
        SetWheelButtonCaption(w, SlotMenuID(c.VWheelButtonFuncInfo[w]));
}

void ButtonPanel::ShowSlotMenu(FunctionMenu& popup, const MenuTree& tree, QWidget* target, std::uint32_t selected,
    void (ButtonPanel::*chosen)(std::uint32_t))
{
    popup.SetItemFont(FItemFont); // follows the language
    // The pop-ups are children of the window, and a destroyed menu drops its handler.
    ShowMenuTree(popup, tree, target, std::int64_t(selected), [this, chosen](std::optional<std::uint32_t> id) {
        if (id)
            (this->*chosen)(*id);
    });
}

void ButtonPanel::BtnSet1Click(int tag)
{
    BtnSet3Click(tag);
}

void ButtonPanel::BtnSet3Click(int tag)
{
    if (tag < 0 || tag >= kGameButtonCount || !FConfigButtonSet[tag])
        return;
    FPlaceButtonTag = tag;
    const bool primary = tag <= 1;
    ShowSlotMenu(primary ? *uiMenuExLRBUTTONPopup : *uiMenuEx1Popup, primary ? uiMenuExLRBUTTON : uiMenuEx1,
        FConfigButtonSet[tag], DM().CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[tag].MenuID,
        &ButtonPanel::uiMenuEx1ItemsClick);
}

void ButtonPanel::BtnSet8Click(int tag)
{
    if (tag < 0 || tag > 1 || !FWheelConfigButtonSet[tag])
        return;
    FPlaceWheelButtonTag = tag;
    ShowSlotMenu(*uiMenuEx2Popup, uiMenuEx2, FWheelConfigButtonSet[tag],
        DM().CurrentProfileInfo().ConfigInfo.VWheelButtonFuncInfo[tag].MenuID, &ButtonPanel::uiMenuEx2ItemsClick);
}

void ButtonPanel::uiMenuEx1ItemsClick(std::uint32_t id)
{
    AssignButtonFunction(id);
    FContext.Changed();
}

void ButtonPanel::uiMenuEx2ItemsClick(std::uint32_t id)
{
    AssignWheelFunction(id);
    // A wheel change must reach the mouse like any other: without this OK would close without it.
    FContext.Changed();
}

void ButtonPanel::AssignButtonFunction(std::uint32_t id)
{
    const int s = FPlaceButtonTag;
    if (s < 0 || s >= kGameButtonCount)
        return;
    if (s > 1 && id == kMacroManagerMenuID) {
        OpenMacroManager(s);
        return;
    }

    // The dialogs work on a copy: Cancel leaves the slot as it was.
    TMOUSEPROFILEINFO& profile = DM().CurrentProfileInfo();
    const TBUTTONFUNCINFO& entry = profile.ConfigInfo.ButtonFuncInfo[s];
    ButtonFunction f { id };
    Dialogs* dialogs = FContext.UserDialogs;
    QWidget* parent = FContext.Window;
    bool answered = true;
    if (s > 1) {
        switch (id) {
        case kMenuSingleKey:
            answered = dialogs && take(f.SingleKey, dialogs->EditSingleKey(parent, entry.SingleKey));
            break;
        case kMenuComboKey:
            answered = dialogs && take(f.ComboKey, dialogs->EditComboKey(parent, entry.ComboKey));
            break;
        case kMenuFireKey:
            answered
                = dialogs && take(f.FireKey, dialogs->EditFireKey(parent, FireKeyProposal(entry, profile.ConfigInfo)));
            break;
        default:
            if (ParentMenuOf(id) == kMenuMacro)
                FCurrentMacro = int(id - kMacroMenuIDBase);
        }
    }
    if (!answered)
        return;

    const ButtonAssignment r = bv::AssignButtonFunction(profile, s, f);
    if (!r.Assigned()) {
        WarnRefusal(r.Refusal);
        return;
    }
    if (r.OtherPrimary >= 0)
        SetButtonCaption(r.OtherPrimary, kMenuClick);
    DM().SaveBackToCurrentProfileInfo();
    SetButtonCaption(s, r.MenuID);
}

void ButtonPanel::OpenMacroManager(int slot)
{
    TMOUSEPROFILEINFO& profile = DM().CurrentProfileInfo();
    FCurrentMacro = MacroIndexOfName(profile.MacroKeyInfoList, profile.ConfigInfo.ButtonFuncInfo[slot].MacroKeyInfo);
    const int index = DM().ProfileIndex();
    if (TDM::IsProfileIndexInRange(index))
        FMacroPath = RecordText(DM().ProfileSettingGroup().ProfileSettingList[index].MacroPath);
    if (!FContext.UserDialogs)
        return;
    const auto edited
        = FContext.UserDialogs->EditMacros(FContext.Window, profile.MacroKeyInfoList, FCurrentMacro, FMacroPath);
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
    Refresh();
    if (refused)
        WarnRefusal(TooManyMacrosText());
}

void ButtonPanel::WarnRefusal(const util::UserText& why)
{
    if (FContext.UserDialogs)
        FContext.UserDialogs->ShowMessageDialog(FContext.Window, Tr("Warning!"), Tr(why), QString());
}

void ButtonPanel::AssignWheelFunction(std::uint32_t id)
{
    const int w = FPlaceWheelButtonTag;
    if (w < 0 || w > 1)
        return;
    if (!bv::AssignWheelFunction(DM().CurrentProfileInfo().ConfigInfo.VWheelButtonFuncInfo[w], id))
        return;
    DM().SaveBackToCurrentProfileInfo();
    SetWheelButtonCaption(w, id);
}

void ButtonPanel::ShowLight(const TLEDCONFIG& led)
{
    int period = 0; // a breath, by the profile's speed
    switch (led.BREATH_SPEED) {
    case 1:
        period = 4000;
        break;
    case 3:
        period = 1200;
        break;
    default:
        period = 2500;
        break;
    }
    ImageMouse->SetLight(led.BRIGHT_LEVEL != 0 ? QColor(led.R, led.G, led.B) : QColor(), period);
}

void ButtonPanel::SetButtonHint(int slot)
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
