#include "mainwindow/profile_panel.h"

#include "mainwindow/button_menus.h"
#include "settings/DMUnit.h"
#include "toolkit/caption_button.h"
#include "toolkit/function_menu.h"
#include "toolkit/widget_makers.h"

#include <QButtonGroup>

#include <utility>

namespace bv::gui {

ProfilePanel::ProfilePanel(PanelContext context, QWidget* area, const MenuTree& presetMenu)
    : QObject(area)
    , FContext(std::move(context))
    , uiMenuEx3(presetMenu)
{
    setObjectName("ProfilePanel");
    BSBTNMODE1 = MakeButton(area, "BSBTNMODE1", "Mode 1", "MyMODEBtn", QRect(24, 66, 100, 30));
    BSBTNMODE2 = MakeButton(area, "BSBTNMODE2", "Mode 2", "MyMODEBtn", QRect(130, 66, 100, 30));
    BtnLoadProfile = MakeButton(area, "BtnLoadProfile", "PRESET", "MyPresetBtn", QRect(338, 66, 100, 30));
    connect(BSBTNMODE1, &QPushButton::clicked, this, [this] { emit ModeClicked(0); });
    connect(BSBTNMODE2, &QPushButton::clicked, this, [this] { emit ModeClicked(1); });
    connect(BtnLoadProfile, &QPushButton::clicked, this, &ProfilePanel::BtnLoadProfile1Click);
    uiMenuEx3Popup = new FunctionMenu(area);
    uiMenuEx3Popup->setObjectName("uiMenuEx3Popup");

    MakeRule(area, QRect(24, 472, 414, 1));
    FProfileButtons = new QButtonGroup(area);
    FProfileButtons->setExclusive(true);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "BtnProfile" + QByteArray::number(i + 1);
        CaptionButton* b = MakeButton(area, name.constData(), "PROFILE" + QString::number(i + 1), "MyProfileBtn",
            QRect(24 + i * 84, 490, 78, 40));
        b->SetStaysPressed(true);
        b->setProperty("tag", i);
        FProfileButtons->addButton(b, i);
        FProfiles[i] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { emit ProfileClicked(i); });
    }
}

void ProfilePanel::ShowMode(int g)
{
    BSBTNMODE1->SetStyleName(g == 0 ? "MyMODEBtnA" : "MyMODEBtn");
    BSBTNMODE2->SetStyleName(g == 1 ? "MyMODEBtnA" : "MyMODEBtn");
}

void ProfilePanel::SetCaptionPointSize(int points)
{
    // Through the style sheet: a font set on the button is replaced when the window is polished.
    for (CaptionButton* b : FProfiles)
        b->setStyleSheet(QStringLiteral("font-size: %1pt;").arg(points));
}

void ProfilePanel::Refresh()
{
    ShowMode(FContext.DM->ProfileGroupIndex());
    // An exclusive group keeps one button pressed; releasing all needs it open for a moment.
    FProfileButtons->setExclusive(false);
    for (CaptionButton* b : FProfiles)
        b->setChecked(false);
    FProfileButtons->setExclusive(true);
    const int profile = FContext.DM->ProfileIndex();
    if (TDM::IsProfileIndexInRange(profile))
        FProfiles[profile]->setChecked(true);
}

void ProfilePanel::BtnLoadProfile1Click()
{
    // Shown without an item ID, so the last ID given to any menu stays the pre-selection.
    ShowMenuTree(*uiMenuEx3Popup, uiMenuEx3, BtnLoadProfile, std::nullopt, [this](std::optional<std::uint32_t> id) {
        if (id)
            emit PresetChosen(*id);
    });
}

} // namespace bv::gui
