// The window's own controls (the top and bottom bars and the tabs) and the panels it is made of.

#include "mainwindow/MainConfig.h"

#include "mainwindow/advanced_panel.h"
#include "mainwindow/button_panel.h"
#include "mainwindow/light_panel.h"
#include "mainwindow/profile_panel.h"
#include "mainwindow/sensitivity_panel.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/images.h"
#include "toolkit/language_box.h"
#include "toolkit/picture.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QLabel>
#include <QTabWidget>
#include <QTimer>

namespace bv::gui {

namespace {

constexpr QSize kWindowSize(801, 638);

} // namespace

void TBrisvaneCfgMain::CreateControls()
{
    setObjectName("BrisvaneCfgMain");
    CreateTopBar();
    CreatePanels();
    CreateBottomBar();
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(500);
}

void TBrisvaneCfgMain::CreateTopBar()
{
    auto* logo = new Picture("logo", this);
    logo->setObjectName("ImageLogo");
    logo->setGeometry(18, 11, 30, 30);

    FAppTitle = MakeLabel(this, "LabelAppTitle", "Brisvane Gaming Mouse Config", QRect(58, 10, 420, 32), "title");

    PopBoxLanguage = new LanguageBox(this);
    PopBoxLanguage->setObjectName("PopBoxLanguage");
    PopBoxLanguage->setCursor(Qt::PointingHandCursor);
    PopBoxLanguage->setFocusPolicy(Qt::NoFocus);
    PopBoxLanguage->setGeometry(548, 13, 132, 26);

    BSBTNHELP = MakeButton(this, "BSBTNHELP", {}, "MyTitleBtn", QRect(690, 12, 28, 28));
    BSBTNHELP->setIcon(ProgramIcon("help"));
    BSBTNMIN = MakeButton(this, "BSBTNMIN", {}, "MyTitleBtn", QRect(722, 12, 28, 28));
    BSBTNMIN->setIcon(ProgramIcon("minimize"));
    BtnClose = MakeButton(this, "BtnClose", {}, "MyCloseBtn", QRect(754, 12, 28, 28));
    BtnClose->setIcon(ProgramIcon("close"));
    for (auto* b : { BSBTNHELP, BSBTNMIN, BtnClose })
        b->setIconSize(QSize(14, 14));

    MakeRule(this, QRect(1, 52, kWindowSize.width() - 2, 1));
}

PanelContext TBrisvaneCfgMain::MakePanelContext()
{
    PanelContext c;
    c.DM = FEnv.DM;
    c.UserDialogs = FEnv.UserDialogs;
    c.Window = this;
    c.Starting = [this] { return FInitlizing; };
    c.Changed = [this] { SettingsChanged = true; };
    c.Pause = FEnv.Pause;
    return c;
}

void TBrisvaneCfgMain::CreatePanels()
{
    FProfiles = new ProfilePanel(MakePanelContext(), this, uiMenuEx3);
    FButtons = new ButtonPanel(MakePanelContext(), this, uiMenuEx1, uiMenuExLRBUTTON, uiMenuEx2, uiMenuEx1ItemFont);

    TabControlMain = new QTabWidget(this);
    TabControlMain->setObjectName("TabControlMain");
    TabControlMain->setGeometry(458, 64, 326, 510);
    TabControlMain->setFocusPolicy(Qt::NoFocus);
    TabControlMain->tabBar()->setExpanding(true);
    TabGeneral = new QWidget;
    TabGeneral->setObjectName("TabGeneral");
    TabLight = new QWidget;
    TabLight->setObjectName("TabLight");
    TabAdvanced = new QWidget;
    TabAdvanced->setObjectName("TabAdvanced");
    TabControlMain->addTab(TabGeneral, QString());
    TabControlMain->addTab(TabLight, QString());
    TabControlMain->addTab(TabAdvanced, QString());
    SetSourceTabText(TabControlMain, 0, "General");
    SetSourceTabText(TabControlMain, 1, "Light");
    SetSourceTabText(TabControlMain, 2, "Advanced");

    FSensitivity = new SensitivityPanel(MakePanelContext(), TabGeneral);
    FLight = new LightPanel(MakePanelContext(), TabGeneral, TabLight, [this] { PreviewLightOnDevice(); });
    QPointer<TBrisvaneCfgMain> self(this);
    FAdvanced = new AdvancedPanel(MakePanelContext(), TabAdvanced, SystemMouseParams, FEnv.MouseSettings,
        [self](std::vector<std::string> lines) { TellSystemSettingsRefused(self, std::move(lines)); });
}

void TBrisvaneCfgMain::CreateBottomBar()
{
    MakeRule(this, QRect(1, 582, kWindowSize.width() - 2, 1));
    BSBTNRESTOREDEFAULTS
        = MakeButton(this, "BSBTNRESTOREDEFAULTS", "Reset All", "MyBottomBtn", QRect(24, 594, 120, 32));
    APPLYAniIndicator = new BusyIndicator(this);
    APPLYAniIndicator->setObjectName("APPLYAniIndicator");
    APPLYAniIndicator->setGeometry(470, 596, 28, 28);
    BSBTNOK = MakeButton(this, "BSBTNOK", "OK", "MyPrimaryBtn", QRect(508, 594, 88, 32));
    BSBTNCANCEL = MakeButton(this, "BSBTNCANCEL", "Cancel", "MyBottomBtn", QRect(602, 594, 88, 32));
    BSBTNAPPLY = MakeButton(this, "BSBTNAPPLY", "Apply", "MyBottomBtn", QRect(696, 594, 88, 32));
}

} // namespace bv::gui
