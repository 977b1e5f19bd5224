// The sensitivity panel of the "General" tab: four levels with their X and Y values, the level
// buttons that take a level in or out of the mouse's cycle, and the two options.

#include "mainwindow/MainConfig.h"

#include "settings/DMUnit.h"
#include "settings/cpi_levels.h"
#include "toolkit/caption_button.h"
#include "toolkit/number_box.h"

#include <QCheckBox>

namespace bv::gui {

void TBrisvaneCfgMain::DODPIStateValueChangedEvent(int level)
{
    if (Quiet() || level < 0 || level >= kCPILevelsUsed)
        return;
    TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    CaptionButton* button = FCPILevelControls[level].Level;
    // Released means enabled. The last enabled level stays: the refresh below springs it back.
    (void)SetCPILevelEnabled(c, level, !button->isChecked());
    NormaliseCPILevelStates(c);
    if (const int first = FirstEnabledCPILevel(c); first >= 0)
        c.CurrentCPIIndex = first;
    RefreshCPIPanel();
    c.CPILevel = kCPILevelsUsed;
    DM().SaveBackToCurrentProfileInfo();
    SettingsChanged = true;
}

void TBrisvaneCfgMain::DOCpiValueChangeEvent(NumberBox* box)
{
    if (Quiet() || !box)
        return;
    const int level = box->property("tag").toInt();
    const CPIAxis axis = box->objectName().contains('X') ? CPIAxis::X : CPIAxis::Y;
    SetCPILevelValue(DM().CurrentProfileInfo().ConfigInfo, level, axis, box->value());
    NormaliseCPILevelStates(DM().CurrentProfileInfo().ConfigInfo);
    DM().SaveBackToCurrentProfileInfo();
    RefreshCPIPanel();
    SettingsChanged = true;
}

void TBrisvaneCfgMain::X1Click(int tag)
{
    SelectCPILevel(tag);
}

void TBrisvaneCfgMain::DOCpiAdvanceItemChangeEvent(QCheckBox* sender)
{
    if (Quiet())
        return;
    TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    if (sender == CHKApplyDiffirentXY)
        c.ApplyDiffirentXY = CHKApplyDiffirentXY->isChecked() ? 1 : 0;
    else if (sender == CHKApplyAccelaration)
        c.ApplyAccelaration = CHKApplyAccelaration->isChecked() ? 1 : 0;
    DM().SaveBackToCurrentProfileInfo();
    SettingsChanged = true;
}

void TBrisvaneCfgMain::BSBTNSENSDEFAULTSClick()
{
    DM().RestoreToDefaultCPISetting();
    DM().SaveBackToCurrentProfileInfo();
    RefreshCPIPanel();
    SelectCPILevel(1);
    // The rate follows the levels back to its default.
    DM().RestoreToDefaultReportRateSetting();
    DM().SaveBackToCurrentProfileInfo();
    RefreshReportAndLight();
    // Kept in the profile, so OK must apply it and Cancel must ask.
    SettingsChanged = true;
}

} // namespace bv::gui
