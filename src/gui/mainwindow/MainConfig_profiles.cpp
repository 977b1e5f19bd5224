// Profiles, modes and the Apply flow: what a switch tells the mouse at once, and the order in
// which Apply, Cancel and Reset All store the profiles and write the mouse.

#include "mainwindow/MainConfig.h"

#include "device/Function_Solmarchs.h"
#include "device/apply_sequence.h"
#include "device/config_image.h"
#include "device/uiHIDData.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/HelpUnit.h"
#include "mainwindow/button_menus.h"
#include "platform/atomic_file.h"
#include "settings/uiProfile.h"
#include "toolkit/function_menu.h"
#include "settings/DMUnit.h"
#include "settings/app_settings.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/translation.h"

#include <QCoreApplication>

namespace bv::gui {

namespace {

constexpr const char* kPresetProfileName = "BVPresetProfile1.pfd";

} // namespace

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

void TBrisvaneCfgMain::BtnLoadProfile1Click()
{
    // Shown without an item ID, so the last ID given to any menu stays the pre-selection.
    ShowMenuTree(*uiMenuEx3Popup, uiMenuEx3, BtnLoadProfile, std::nullopt, [this](std::optional<std::uint32_t> id) {
        if (id)
            uiMenuEx3ItemsClick(*id);
    });
}

void TBrisvaneCfgMain::uiMenuEx3ItemsClick(std::uint32_t id)
{
    switch (id) {
    case 1:
        LoadPresetProfile(FEnv.ProgramFolder / kPresetProfileName);
        break;
    case 2:
        LoadProfileFromFile(FProfilePath);
        break;
    case 3:
        SaveProfileToFile(FProfilePath);
        break;
    default:
        break;
    }
}

namespace {

// A version-258 profile of the right size; anything else is passed over without a word.
bool IsProfileFile(const std::filesystem::path& file)
{
    try {
        const auto bytes = platform::readFile(file, 16u * 1024u * 1024u);
        return bytes && IsAcceptableProfileImage(*bytes);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void TBrisvaneCfgMain::TakeLoadedProfile(const std::string& file)
{
    DM().LoadCurrentProfileInfoFromFile(file);
    try {
        DM().SaveCurrentProfileInfoToRegistry();
        DM().SaveBackToProfileGroupSettingInfo();
        DM().SaveProfileGroupSettingInfoToRegistry();
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
    BuildMacroSubMenu();
    FullRefresh();
}

void TBrisvaneCfgMain::LoadPresetProfile(const std::filesystem::path& file)
{
    if (!IsProfileFile(file))
        return;
    const auto text = file.u8string();
    TakeLoadedProfile(std::string(text.begin(), text.end()));
}

void TBrisvaneCfgMain::LoadProfileFromFile(const std::string& folder)
{
    if (!FEnv.UserDialogs)
        return;
    const auto file = FEnv.UserDialogs->OpenProfileFileName(this, WithTrailingSeparator(folder));
    if (!file || file->empty() || !IsProfileFile(std::filesystem::path(std::u8string(file->begin(), file->end()))))
        return;
    // The profile now lives in that file; a name too long for the record keeps its own file, and
    // the loaded values are still taken.
    DM().ChangeCurrentProfileFileNameAndPath(*file);
    TakeLoadedProfile(*file);
}

void TBrisvaneCfgMain::SaveProfileToFile(const std::string& folder)
{
    if (!FEnv.UserDialogs)
        return;
    const auto file = FEnv.UserDialogs->SaveProfileFileName(this, WithTrailingSeparator(folder));
    if (!file || file->empty())
        return;
    bool saved = false;
    try {
        saved = DM().SaveCurrentProfileInfoToFile(*file);
    } catch (const std::exception&) {
        saved = false;
    }
    if (!saved)
        FEnv.UserDialogs->ShowMessageDialog(
            this, Tr("Warning"), Tr("No permission to save file!please change directory!"), QString());
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
