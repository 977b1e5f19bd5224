// Handlers of the panels. Each is connected to its controls so that the refreshes run them the
// way a user's change does; what a panel does with a change is added with that panel.

#include "mainwindow/MainConfig.h"

#include "toolkit/picture.h"

namespace bv::gui {

void TBrisvaneCfgMain::BtnSet1Click(int) {}
void TBrisvaneCfgMain::BtnSet3Click(int) {}
void TBrisvaneCfgMain::BtnSet8Click(int) {}

void TBrisvaneCfgMain::DODPIStateValueChangedEvent(int) {}
void TBrisvaneCfgMain::DOCpiValueChangeEvent(NumberBox*) {}
void TBrisvaneCfgMain::DOCpiAdvanceItemChangeEvent(QCheckBox*) {}
void TBrisvaneCfgMain::BSBTNSENSDEFAULTSClick() {}

void TBrisvaneCfgMain::X1Click(int tag)
{
    SelectCPILevel(tag);
}

void TBrisvaneCfgMain::DoReportRateAndLightChangeEvent(QRadioButton*) {}
void TBrisvaneCfgMain::DOLightColorSelectionEvent(int) {}
void TBrisvaneCfgMain::DOSpeedValueChangedEvent(QObject*) {}
void TBrisvaneCfgMain::BSBTNADVDEFAULTSClick() {}

void TBrisvaneCfgMain::imageTestDblClick()
{
    imageTest->StartSpin();
}

void TBrisvaneCfgMain::BtnProfile1Click(int) {}
void TBrisvaneCfgMain::BSBTNMODE1Click(int) {}
void TBrisvaneCfgMain::BtnLoadProfile1Click() {}
void TBrisvaneCfgMain::BSBTNAPPLYClick() {}
void TBrisvaneCfgMain::BSBTNRESTOREDEFAULTSClick() {}
void TBrisvaneCfgMain::BSBTNHELPClick() {}
void TBrisvaneCfgMain::AskSaveOnCancel() {}

bool TBrisvaneCfgMain::ApplySettings()
{
    return false;
}

} // namespace bv::gui
