#pragma once
// TBrisvaneCfgMain: the main configuration window. It shows the current profile of the profile
// manager in its panels, keeps the language, and talks with the monitor program.

#include "mainwindow/button_menus.h"
#include "mainwindow/panel_context.h"
#include "platform/device_notification.h"
#include "platform/monitor_link.h"
#include "settings/pubunit_solmarch.h"
#include "settings/system_mouse_params.h"
#include "toolkit/frameless_window.h"
#include "ui/uiCommandSetting.h"
#include "ui/uiLanguage.h"
#include "util/user_text.h"

#include <QFont>
#include <QPointer>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QSocketNotifier;
class QTabWidget;
class QTimer;

namespace bv {
class HidBackend;
class TDM;
class TuiHIDData;
class TuiHIDEvent;
struct DeviceSequenceHooks;
} // namespace bv

namespace bv::gui {

class AdvancedPanel;
class BusyIndicator;
class ButtonPanel;
class CaptionButton;
class Dialogs;
class LanguageBox;
class LightPanel;
class ProfilePanel;
class SensitivityPanel;

/// What the main window needs from the program; tests pass their own.
struct MainWindowEnvironment {
    TDM* DM = nullptr;
    std::shared_ptr<bv::HidBackend> Backend;
    std::vector<std::string> HidDeviceList; // accepted hardware IDs; empty accepts all
    gui::Dialogs* UserDialogs = nullptr;
    platform::MonitorLink* Monitor = nullptr; // none: nothing is sent
    std::filesystem::path ProgramFolder; // ui.local and the images folder
    std::filesystem::path ExecutableFolder; // where the monitor program lies
    /// Receive the monitor's messages for the window class "TBrisvaneCfgMain".
    bool ReceiveMessages = true;
    /// Opens uiHIDEvent1's notification window; default: the system's device notices.
    platform::DeviceNotificationFactory DeviceNotices;
    /// Starts a program detached (program, working folder); default: the platform's.
    std::function<bool(const std::filesystem::path&, const std::filesystem::path&)> StartProgram;
    /// Opens a document or a web address (UTF-8) with the desktop's application; default: the
    /// platform's.
    std::function<bool(const std::string&)> OpenDocument;
    /// Ends the application; default: leave the event loop.
    std::function<void()> Terminate;
    /// The system's mouse settings (double-click time at once, the rest on Apply); default: the
    /// system's own.
    std::shared_ptr<platform::SystemMouseSettings> MouseSettings;
    /// Why a plugged-in mouse cannot be opened by this user (its node, with the rule's state), when
    /// it cannot; none: not asked (the virtual mouse, tests).
    std::function<std::optional<std::pair<util::UserText, util::UserText>>()> WhyMouseDenied;
    /// Waits `ms` for the mouse between device steps while the window stays responsive;
    /// default: handle pending events, then sleep.
    std::function<void(int ms)> Pause;
};

/// The monitor program, started from the program's own folder.
#ifdef _WIN32
inline constexpr const char* kMonitorProgramName = "bvmon.exe";
#else
inline constexpr const char* kMonitorProgramName = "bvmon";
#endif

class TBrisvaneCfgMain : public FramelessWindow {
    Q_OBJECT

public:
    /// Builds the window and runs InitMainWindow. Without the mouse the window tells the user and
    /// ends the application: check IsTerminating() before showing it.
    explicit TBrisvaneCfgMain(MainWindowEnvironment env, QWidget* parent = nullptr);
    ~TBrisvaneCfgMain() override;

    /// True once the window has asked the application to end.
    bool IsTerminating() const { return FTerminating; }

    /// How the last ApplySettings ended.
    enum class ApplyOutcome { Done, StoreFailed, NoMouse, Refused, NotTaken };
    ApplyOutcome LastApplyOutcome() const { return FLastApplyOutcome; }

    // Program-wide state of the window's unit.
    bool SettingsChanged = false;
    TSystemMouseParams SystemMouseParams;

    // Components.
    TuiHIDData& uiHIDData1() { return *FHIDData; }
    TuiHIDEvent& uiHIDEvent1() { return *FHIDEvent; }
    TuiLanguage uiLanguage1;
    TuiCommandSetting uiCommandSetting1;
    MenuTree uiMenuEx1 { ButtonMenuCaptions() };
    MenuTree uiMenuExLRBUTTON { PrimaryButtonMenuCaptions() };
    MenuTree uiMenuEx2 { WheelMenuCaptions() };
    MenuTree uiMenuEx3 { PresetMenuCaptions() };
    /// The item font of the function menus, which follows the language.
    QFont uiMenuEx1ItemFont;

    // The panels the window is made of.
    ButtonPanel& Buttons() const { return *FButtons; }
    SensitivityPanel& Sensitivity() const { return *FSensitivity; }
    LightPanel& Light() const { return *FLight; }
    AdvancedPanel& Advanced() const { return *FAdvanced; }
    ProfilePanel& Profiles() const { return *FProfiles; }

    // Start-up and language.
    void FillLanguageList();
    void ApplyLanguage();
    void LaunchOrRaiseMonitor();

    // Refreshing the panels from the current profile; a refresh shows what is stored and never
    // writes into the profile.
    /// Runs every refresh command of uiCommandSetting1.
    void FullRefresh();
    void RefreshButtonCaptions();
    void RefreshCPIPanel();
    void SelectCPILevel(int level);
    void RefreshMouseParams();
    void RefreshProfileButtons();
    void RefreshReportAndLight();
    void BuildMacroSubMenu();
    /// Shows the current profile's light on the mouse (no presence test).
    void PreviewLightOnDevice();

    // The monitor program.
    /// What the window does with a message sent to its class.
    void HandleWindowMessage(const platform::WindowMessage& message);
    /// Tells the monitor program; nothing happens when it is not running.
    void SendToMonitor(std::uint32_t msg, std::int64_t wParam, std::int64_t lParam);
    /// The pauses of the device sequences, and the monitor notice they send.
    DeviceSequenceHooks SequenceHooks(std::int64_t monitorWParam, std::int64_t monitorLParam);
    /// Whether messages sent to the window class reach this window.
    bool IsReceivingMessages() const;

    // The window's state.
    bool Initialising() const { return FInitlizing; }
    std::uint8_t LastChosenProfile() const { return FLastChosenProfile; }
    const std::string& ProfilePath() const { return FProfilePath; }

public slots:
    // Close paths.
    void BtnCloseClick();
    void BSBTNMINClick();
    void BSBTNCANCELClick();
    void BSBTNOKClick();
    void Timer2Timer();
    /// A HID device arrived: Apply may be tried again.
    void uiHIDEvent1DeviceArrival();
    void PopBoxLanguageChange(int index);

    // What the profile panel's choices do to the records and the mouse.
    void BtnProfile1Click(int tag);
    void BSBTNMODE1Click(int tag);
    void uiMenuEx3ItemsClick(std::uint32_t id);

    void BSBTNAPPLYClick();
    void BSBTNRESTOREDEFAULTSClick();
    void BSBTNHELPClick();
    /// Offers to store the profiles when something changed; false when the user asked to store
    /// and a store failed, so the window stays open with the changes.
    bool AskSaveOnCancel();
    /// Stores everything and writes both modes into the mouse; true when every store succeeded
    /// and the mouse took every write.
    bool ApplySettings();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void InitMainWindow();
    void CreateControls();
    void CreateTopBar();
    void CreateBottomBar();
    void CreateTabs();
    void CreatePanels();
    void ConnectHandlers();
    PanelContext MakePanelContext();
    // PRESET: the factory preset and profile files.
    void LoadPresetProfile(const std::filesystem::path& file);
    void LoadProfileFromFile(const std::string& folder);
    void SaveProfileToFile(const std::string& folder);
    void TakeLoadedProfile(const std::string& file);
    void RegisterRefreshCommands();
    void OpenMessageEndpoint();
    void CreateDeviceNotifier();
    void uiLanguage1LanguageChanged(const std::string& shortID);
    void Terminate();
    void ReportStoreFailure(const std::exception& error);
    /// A switch or light preview the mouse did not take (`error` from the sequence; 0 for taken).
    void ReportDeviceFailure(std::uint32_t error);
    void ReportStoreFailures(const std::vector<std::string>& failures);
    /// Hands SystemMouseParams to the system on a worker and tells what it refused.
    void StartSystemMouseSettings();
    /// Shows the settings the system refused, on the window's thread, if `window` is still there.
    /// Safe to call from the workers.
    static void TellSystemSettingsRefused(QPointer<TBrisvaneCfgMain> window, std::vector<std::string> lines);
    TDM& DM() { return *FEnv.DM; }

    MainWindowEnvironment FEnv;
    std::unique_ptr<TuiHIDData> FHIDData;
    std::unique_ptr<TuiHIDEvent> FHIDEvent;
    QSocketNotifier* FHIDEventNotifier = nullptr;
    std::unique_ptr<platform::MessageEndpoint> FEndpoint;
    QSocketNotifier* FEndpointNotifier = nullptr;
    bool FTerminating = false;
    bool FMonitorAsked = false; // once the first frame is drawn

    // Top bar.
    QLabel* FAppTitle = nullptr;
    LanguageBox* PopBoxLanguage = nullptr;
    CaptionButton* BSBTNHELP = nullptr;
    CaptionButton* BSBTNMIN = nullptr;
    CaptionButton* BtnClose = nullptr;
    // The panels: the left area, and the tabs on the right.
    ProfilePanel* FProfiles = nullptr;
    ButtonPanel* FButtons = nullptr;
    QTabWidget* TabControlMain = nullptr;
    QWidget* TabGeneral = nullptr;
    QWidget* TabLight = nullptr;
    QWidget* TabAdvanced = nullptr;
    SensitivityPanel* FSensitivity = nullptr;
    LightPanel* FLight = nullptr;
    AdvancedPanel* FAdvanced = nullptr;
    // Bottom bar.
    CaptionButton* BSBTNRESTOREDEFAULTS = nullptr;
    BusyIndicator* APPLYAniIndicator = nullptr;
    CaptionButton* BSBTNOK = nullptr;
    CaptionButton* BSBTNCANCEL = nullptr;
    CaptionButton* BSBTNAPPLY = nullptr;
    QTimer* Timer2 = nullptr;

    bool FInitlizing = false;
    ApplyOutcome FLastApplyOutcome = ApplyOutcome::Done;
    std::uint8_t FLastChosenProfile = 0; // CurrentGame at the last profile click; Apply's notice
    bool FDeviceFailureShown = false; // until a sequence goes through again
    std::string FProfilePath;
};

} // namespace bv::gui
