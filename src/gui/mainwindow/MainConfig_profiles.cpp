// Profiles, modes and the Apply flow: what a switch tells the mouse at once, and the order in
// which Apply, Cancel and Reset All store the profiles and write the mouse.

#include "mainwindow/MainConfig.h"

#include "device/Function_Solmarchs.h"
#include "device/apply_sequence.h"
#include "device/uiHIDData.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/HelpUnit.h"
#include "mainwindow/profile_panel.h"
#include "platform/atomic_file.h"
#include "settings/DMUnit.h"
#include "settings/app_settings.h"
#include "settings/profile_actions.h"
#include "settings/store_error.h"
#include "settings/uiProfile.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/pending_events.h"
#include "toolkit/translation.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStringList>

#include <algorithm>

namespace bv::gui {

namespace {

constexpr const char* kPresetProfileName = "BVPresetProfile1.pfd";

} // namespace

DeviceSequenceHooks TBrisvaneCfgMain::SequenceHooks(std::int64_t monitorWParam, std::int64_t monitorLParam)
{
    DeviceSequenceHooks hooks;
    hooks.pause = [this](int ms) {
        ProcessPendingEvents();
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
    try {
        (void)SwitchToProfileAndStore(DM(), k);
    } catch (const StoreError& e) {
        ReportStoreFailures(e.Failures());
    }
    SystemMouseParams = SystemMouseParamsOf(DM().CurrentProfileInfo().ConfigInfo);
    BuildMacroSubMenu();
    FullRefresh();

    FLastChosenProfile = static_cast<std::uint8_t>(DM().AllProfileSettingInfo().CurrentGame);
    ReportDeviceFailure(ProfileSwitchSequence(*FHIDData, k, FLastChosenProfile, DM().CurrentProfileInfo().ConfigInfo));
    try {
        // Written only where the monitor made its key; without the monitor there is no one to tell.
        (void)SaveProfileIDToRegistry(DM().Registry(), k);
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
    SendToMonitor(platform::MSG_SETTINGS_CHANGED, 1, k);
    ProcessPendingEvents();
    FEnv.Pause(100);
}

void TBrisvaneCfgMain::BSBTNMODE1Click(int g)
{
    if (!TDM::IsProfileGroupIndexInRange(g))
        return;
    FProfiles->ShowMode(g);
    try {
        (void)SwitchToModeAndStore(DM(), g);
    } catch (const StoreError& e) {
        ReportStoreFailures(e.Failures());
    }
    BuildMacroSubMenu();
    FullRefresh();
    ReportDeviceFailure(ModeButtonSequence(*FHIDData, g, SequenceHooks(0, 0)));
}

void TBrisvaneCfgMain::BSBTNAPPLYClick()
{
    BSBTNAPPLY->setEnabled(false);
    ApplySettings();
    BSBTNAPPLY->setEnabled(true);
}

void TBrisvaneCfgMain::TellSystemSettingsRefused(QPointer<TBrisvaneCfgMain> window, std::vector<std::string> lines)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [window, lines = std::move(lines)] {
            if (!window || !window->FEnv.UserDialogs)
                return;
            QStringList text;
            for (const auto& line : lines)
                text << QString::fromStdString(line);
            window->FEnv.UserDialogs->ShowMessageDialog(
                window, Tr("Warning"), Tr("The system did not take these mouse settings:"), text.join('\n'));
        },
        Qt::QueuedConnection);
}

void TBrisvaneCfgMain::StartSystemMouseSettings()
{
    QPointer<TBrisvaneCfgMain> self(this);
    const bool started
        = StartApplySystemMouseParams(FEnv.MouseSettings, SystemMouseParams, [self](const SystemMouseParamsResult& r) {
              if (std::vector<std::string> failed = r.Failures(); !failed.empty())
                  TellSystemSettingsRefused(self, std::move(failed));
          });
    if (!started && FEnv.MouseSettings)
        TellSystemSettingsRefused(
            self, { "pointer precision, pointer speed, wheel scroll lines: no worker could be started" });
}

bool TBrisvaneCfgMain::ApplySettings()
{
    // Everything is kept on the computer first, whether or not the mouse is there. Each store is
    // tried on its own, so one that fails never costs the others.
    std::vector<std::string> failed;
    try {
        StoreProfilesForApply(DM());
    } catch (const StoreError& e) {
        failed = e.Failures();
    }
    // A failed store leaves the changes marked, so OK stays and Cancel still offers to keep them.
    SettingsChanged = !failed.empty();
    FLastApplyOutcome = failed.empty() ? ApplyOutcome::Done : ApplyOutcome::StoreFailed;
    ReportStoreFailures(failed);

    StartSystemMouseSettings();

    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    if (!FHIDData->IsDeviceExist(*request)) {
        if (FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(
                this, Tr("Warning"), Tr("    Please connect your mouse device before apply new settings!"), QString());
        if (FLastApplyOutcome == ApplyOutcome::Done)
            FLastApplyOutcome = ApplyOutcome::NoMouse;
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
    if (result.Refused()) {
        // A profile the mouse cannot hold (more than five macros on buttons): nothing was sent.
        SettingsChanged = true;
        FLastApplyOutcome = ApplyOutcome::Refused;
        if (FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(this, Tr("Warning"), Tr(result.Error), QString());
        return false;
    }
    if (!result.Written) {
        // The mouse may hold a mix of old and new settings; only another Apply mends that.
        SettingsChanged = true;
        FLastApplyOutcome = ApplyOutcome::NotTaken;
        if (FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(this, Tr("Warning"),
                Tr("The mouse did not take all settings. Connect it and press Apply again."),
                QString::fromStdString(result.FailedSteps.front()));
        return false;
    }
    if (!result.Notes.empty() && FEnv.UserDialogs)
        FEnv.UserDialogs->ShowMessageDialog(
            this, Tr("Warning"), Tr("The mouse took the settings with these changes:"), TrLines(result.Notes));
    return FLastApplyOutcome == ApplyOutcome::Done;
}

bool TBrisvaneCfgMain::AskSaveOnCancel()
{
    if (!SettingsChanged || !FEnv.UserDialogs)
        return true;
    const int answer = FEnv.UserDialogs->ShowMessageDialog(this, QStringLiteral("Warning"),
        QStringLiteral("The settings was changed, save the current setting anyway?"), QString());
    if (answer != kMessageOK)
        return true;
    StoreBatch stores;
    stores.Try("The current profile and language", [this] { DM().SaveBackAllProfileSettingInfo(); });
    stores.Try("The current profile", [this] { DM().SaveCurrentProfileInfoToRegistry(); });
    stores.Try("The profiles", [this] { DM().SaveBackAllProfileInfo(); });
    stores.Try("The profile files", [this] { DM().SaveBackAllProfileInfoToFile(); });
    // The modes too: a profile chosen since start-up is kept with them.
    stores.Try("The modes", [this] { DM().SaveProfileGroupSettingInfoToRegistry(); });
    if (!stores.Failed())
        return true;
    ReportStoreFailures(stores.Failures());
    return false;
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
    try {
        if (!DM().LoadCurrentProfileInfoFromFile(file))
            return;
    } catch (const std::exception& e) {
        if (FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(
                this, Tr("Warning"), Tr("The settings could not be loaded."), QString::fromStdString(e.what()));
        return;
    }
    StoreBatch stores;
    stores.Try("The current profile", [this] { DM().SaveCurrentProfileInfoToRegistry(); });
    stores.Try("The modes", [this] { DM().SaveProfileGroupSettingInfoToRegistry(); });
    ReportStoreFailures(stores.Failures());
    BuildMacroSubMenu();
    FullRefresh();
    // The profile's own file and the mouse get it on Apply; until then OK and Cancel must know.
    SettingsChanged = true;
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
    (void)DM().ChangeCurrentProfileFileNameAndPath(*file);
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
    THelpForm* shown = nullptr;
    // A target the desktop cannot open is named, so the user can open it by hand.
    auto open = [this, &shown](const std::string& target, const char* failure) {
        if (!FEnv.OpenDocument(target) && FEnv.UserDialogs)
            FEnv.UserDialogs->ShowMessageDialog(shown, Tr("Warning"), Tr(failure), QString::fromStdString(target));
    };
    // Without a manual for the language or in English, OPEN is disabled.
    std::function<void()> openManual;
    if (auto manual = HelpFileToOpen(DM().GetOtherConfig(), uiLanguage1.LanguageName(), FEnv.ProgramFolder)) {
        const auto text = manual->make_preferred().u8string();
        openManual = [open, target = std::string(text.begin(), text.end())] {
            open(target, "The user manual could not be opened.");
        };
    }
    THelpForm form(this, std::move(openManual),
        [open](const QString& address) { open(address.toStdString(), "The web address could not be opened."); });
    shown = &form;
    form.FLanguage = &uiLanguage1;
    if (FEnv.UserDialogs)
        FEnv.UserDialogs->ShowModal(form);
}

} // namespace bv::gui
