#pragma once
// The mouse with its nine slots: each slot shows its function, opens its function menu beside it,
// and the choice becomes the slot's function in the current profile.

#include "mainwindow/panel_context.h"
#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <string>

class QFont;
class QWidget;

namespace bv::gui {

class CaptionButton;
class FunctionMenu;
class MenuTree;
class SlotLeaders;
class LitPicture;

class ButtonPanel final : public QObject {
    Q_OBJECT

public:
    /// Places the mouse and its slots on `area`. The menus and their item font are the window's
    /// (the font follows the language); the panel keeps the macro sub-menu of `buttonMenu` current.
    ButtonPanel(PanelContext context, QWidget* area, MenuTree& buttonMenu, const MenuTree& primaryButtonMenu,
        const MenuTree& wheelMenu, const QFont& itemFont);

    /// Shows the current profile's functions in the slots.
    void Refresh();
    /// Rebuilds the "Macro" sub-menu from the current profile's macros.
    void BuildMacroSubMenu();
    /// The hint of a button slot: its key or combination written out, otherwise none.
    void SetButtonHint(int slot);
    /// The mouse drawing's light: the profile's colour, breathing at its speed, or off.
    void ShowLight(const TLEDCONFIG& led);

    const std::array<CaptionButton*, 10>& ConfigButtonSet() const { return FConfigButtonSet; }
    const std::array<CaptionButton*, 10>& WheelConfigButtonSet() const { return FWheelConfigButtonSet; }
    std::int32_t CurrentMacro() const { return FCurrentMacro; }
    const std::string& MacroPath() const { return FMacroPath; }
    void SetMacroPath(std::string path) { FMacroPath = std::move(path); }

private:
    void BtnSet1Click(int tag);
    void BtnSet3Click(int tag);
    void BtnSet8Click(int tag);
    void uiMenuEx1ItemsClick(std::uint32_t id);
    void uiMenuEx2ItemsClick(std::uint32_t id);
    void ShowSlotMenu(FunctionMenu& popup, const MenuTree& tree, QWidget* target, std::uint32_t selected,
        void (ButtonPanel::*chosen)(std::uint32_t));
    void SetButtonCaption(int slot, std::int64_t id);
    void SetWheelButtonCaption(int slot, std::int64_t id);
    void AssignButtonFunction(std::uint32_t id);
    void AssignWheelFunction(std::uint32_t id);
    void OpenMacroManager(int slot);
    /// Tells why a choice was refused (the macro limit, a key the mouse cannot send).
    void WarnRefusal(const util::UserText& why);
    TDM& DM() { return *FContext.DM; }

    PanelContext FContext;
    MenuTree& uiMenuEx1;
    const MenuTree& uiMenuExLRBUTTON;
    const MenuTree& uiMenuEx2;
    const QFont& FItemFont;
    FunctionMenu* uiMenuEx1Popup = nullptr;
    FunctionMenu* uiMenuExLRBUTTONPopup = nullptr;
    FunctionMenu* uiMenuEx2Popup = nullptr;

    LitPicture* ImageMouse = nullptr;
    SlotLeaders* FSlotLeaders = nullptr;
    std::array<CaptionButton*, 10> FConfigButtonSet {}; // BtnSet1..BtnSet7
    std::array<CaptionButton*, 10> FWheelConfigButtonSet {}; // BtnSet8, Btnset9
    std::int32_t FPlaceButtonTag = 0;
    std::int32_t FPlaceWheelButtonTag = 0;
    std::int32_t FCurrentMacro = 0;
    std::string FMacroPath;
};

} // namespace bv::gui
