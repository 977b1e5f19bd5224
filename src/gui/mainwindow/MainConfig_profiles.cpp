// Profiles, modes and the Apply flow: what a switch tells the mouse at once, and the order in
// which Apply, Cancel and Reset All store the profiles and write the mouse.

#include "mainwindow/MainConfig.h"

#include "device/Function_Solmarchs.h"
#include "device/apply_sequence.h"
#include "device/config_image.h"
#include "device/uiHIDData.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/HelpUnit.h"
#include "settings/DMUnit.h"
#include "settings/app_settings.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/translation.h"

#include <QCoreApplication>

namespace bv::gui {

DeviceSequenceHooks TBrisvaneCfgMain::SequenceHooks(std::int64_t monitorWParam, std::int64_t monitorLParam)
{
    DeviceSequenceHooks hooks;
    hooks.pause = [this](int ms) {
        QCoreApplication::processEvents();
        FEnv.Pause(ms);
    };
    hooks.tellMonitor = [this, monitorWParam, monitorLParam] {
        SendToMonitor(platform::MSG_SETTINGS_CHANGED, monitorWParam, monitorLParam);
    };
    return hooks;
}

void TBrisvaneCfgMain::BtnProfile1Click(int k)
{
    if (!TDM::IsProfileIndexInRange(k))
        return;
    DM().SwitchToProfile(k);
    try {
        DM().SaveBackAllProfileSettingInfo();
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
    BuildMacroSubMenu();
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    SystemMouseParams = {c.PointerSpeed, c.VWheelSpeed, c.PointerAcceleration};

    TProfileSettingGroup& group = DM().ProfileSettingGroup();
    const int mode = group.CurrentProfileGroup;
    if (TDM::IsProfileGroupIndexInRange(mode)) {
        group.ProfileIndexOfProfileGroup[mode] = k;
        DM().SaveBackToProfileGroupSettingInfo();
        DM().SwitchToProfileGroup(mode);
    }
    BuildMacroSubMenu();
    FullRefresh();

    const std::int32_t game = DM().AllProfileSettingInfo().CurrentGame;
    FLastChosenProfile = static_cast<std::uint8_t>(game);
    TLightBlock light {};
    EncodeLightBlock(DM().CurrentProfileInfo().ConfigInfo.LEDConfig, light);
    const TMOUSECONFIGINFO& now = DM().CurrentProfileInfo().ConfigInfo;
    ProfileButtonSequence(*FHIDData, k, static_cast<std::uint8_t>(game), light, now.HWVWheelValue, now.WheelLedOnOff);
    try {
        SaveProfileIDToRegistry(DM().Registry(), k);
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
    SendToMonitor(platform::MSG_SETTINGS_CHANGED, 1, k);
    QCoreApplication::processEvents();
    FEnv.Pause(100);
}

void TBrisvaneCfgMain::BSBTNMODE1Click(int g)
{
    if (!TDM::IsProfileGroupIndexInRange(g))
        return;
    BSBTNMODE1->SetStyleName(g == 0 ? "MyMODEBtnA" : "MyMODEBtn");
    BSBTNMODE2->SetStyleName(g == 1 ? "MyMODEBtnA" : "MyMODEBtn");
    DM().SwitchToProfileGroup(g);
    DM().SaveBackToProfileGroupSettingInfo();
    try {
        DM().SaveProfileGroupSettingInfoToRegistry();
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
    BuildMacroSubMenu();
    FullRefresh();
    ModeButtonSequence(*FHIDData, g, SequenceHooks(0, 0));
}

void TBrisvaneCfgMain::BSBTNAPPLYClick()
{
    BSBTNAPPLY->setEnabled(false);
    ApplySettings();
    BSBTNAPPLY->setEnabled(true);
}

bool TBrisvaneCfgMain::ApplySettings()
{
    // Everything is kept on the computer first, whether or not the mouse is there.
    bool stored = true;
    try {
        DM().SaveBackToCurrentProfileInfo();
        DM().SaveCurrentProfileInfoToRegistry();
        DM().SaveCurrentProfileInfoToFile();
        DM().SaveBackAllProfileInfoToFile();
        DM().SaveBackAllProfileInfoToRegistry();
        DM().SaveBackToProfileGroupSettingInfo();
        DM().SaveProfileGroupSettingInfoToRegistry();
    } catch (const std::exception& e) {
        stored = false;
        ReportStoreFailure(e);
    }
    // A failed store leaves the changes marked, so Cancel still offers to keep them.
    SettingsChanged = !stored;

    StartApplySystemMouseParams(FEnv.MouseSettings, SystemMouseParams);

    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    if (!FHIDData->IsDeviceExist(*request)) {
        if (FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(this, Tr("Warning"),
                Tr("    Please connect your mouse device before apply new settings!"), QString());
        return false;
    }

    DMApplyProfiles profiles(DM());
    ApplyHooks hooks;
    hooks.Sequence = SequenceHooks(0, 0);
    hooks.Busy = [this](bool busy) {
        if (busy)
            APPLYAniIndicator->Start();
        else
            APPLYAniIndicator->Stop();
    };
    const ApplyResult result = ApplyDeviceSequence(*FHIDData, profiles, FLastChosenProfile, hooks);
    if (!result.Written) {
        // A profile the mouse cannot hold (more than five macros on buttons): nothing was sent.
        if (FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(this, Tr("Warning"), QString::fromStdString(result.Error), QString());
        return false;
    }
    return true;
}

void TBrisvaneCfgMain::AskSaveOnCancel()
{
    if (!SettingsChanged || !FEnv.UserDialogs)
        return;
    const int answer = FEnv.UserDialogs->ShowMessageDialog(
        this, QStringLiteral("Warning"), QStringLiteral("The settings was changed, save the current setting anyway?"), QString());
    if (answer != kMessageOK)
        return;
    try {
        DM().SaveBackAllProfileSettingInfo();
        DM().SaveCurrentProfileInfoToRegistry();
        DM().SaveBackAllProfileInfo();
        DM().SaveBackAllProfileInfoToFile();
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
}

void TBrisvaneCfgMain::BSBTNRESTOREDEFAULTSClick()
{
    if (!FEnv.UserDialogs)
        return;
    const int answer = FEnv.UserDialogs->ShowMessageDialog(this, QStringLiteral("Reset This Profile"),
        QStringLiteral("Are you sure you want to reset this profile ?"),
        QStringLiteral("Reset the current profile back to factory setting."));
    if (answer != kMessageOK)
        return;
    DM().RestoreCurrentProfileInfoToDefault();
    BuildMacroSubMenu();
    FullRefresh();
    SettingsChanged = true;
}

void TBrisvaneCfgMain::BSBTNHELPClick()
{
    THelpForm form(
        this,
        [this] {
            const auto manual = HelpFileToOpen(DM().GetOtherConfig(), uiLanguage1.LanguageName(), FEnv.ProgramFolder);
            if (manual) {
                const auto text = manual->u8string();
                FEnv.OpenDocument(std::string(text.begin(), text.end()));
            }
        },
        [this](const QString& address) { FEnv.OpenDocument(address.toStdString()); });
    form.FLanguage = &uiLanguage1;
    if (FEnv.UserDialogs)
        FEnv.UserDialogs->ShowModal(form);
}

} // namespace bv::gui
