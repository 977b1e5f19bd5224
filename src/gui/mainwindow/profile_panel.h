#pragma once
// The two modes, the five profiles of the current mode and the PRESET menu. What a switch does
// to the records and the mouse is the window's: the panel shows the choice and reports it.

#include "mainwindow/panel_context.h"

#include <QObject>

#include <array>
#include <cstdint>

class QButtonGroup;
class QWidget;

namespace bv::gui {

class CaptionButton;
class FunctionMenu;
class MenuTree;

class ProfilePanel final : public QObject {
    Q_OBJECT

public:
    /// Places the mode buttons and PRESET above the mouse and the profile buttons below it, on
    /// `area`. `presetMenu` is the window's.
    ProfilePanel(PanelContext context, QWidget* area, const MenuTree& presetMenu);

    /// Shows the current mode and profile.
    void Refresh();
    /// Marks mode `g` as the current one.
    void ShowMode(int g);
    /// The size of the profile captions, which depends on the language.
    void SetCaptionPointSize(int points);

    std::array<CaptionButton*, 5> ProfileButtons() const { return FProfiles; }

signals:
    void ModeClicked(int mode);
    void ProfileClicked(int profile);
    /// An item of the PRESET menu was chosen.
    void PresetChosen(std::uint32_t id);

private:
    void BtnLoadProfile1Click();

    PanelContext FContext;
    const MenuTree& uiMenuEx3;
    FunctionMenu* uiMenuEx3Popup = nullptr;
    CaptionButton* BSBTNMODE1 = nullptr;
    CaptionButton* BSBTNMODE2 = nullptr;
    CaptionButton* BtnLoadProfile = nullptr;
    std::array<CaptionButton*, 5> FProfiles {}; // BtnProfile1..BtnProfile5
    QButtonGroup* FProfileButtons = nullptr;
};

} // namespace bv::gui
