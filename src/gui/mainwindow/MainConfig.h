#pragma once
// TBrisvaneCfgMain: the main configuration window. It shows the current profile of the profile
// manager in its panels, keeps the language, and talks with the monitor program.

#include "mainwindow/button_menus.h"
#include "platform/device_notification.h"
#include "platform/monitor_link.h"
#include "settings/pubunit_solmarch.h"
#include "settings/system_mouse_params.h"
#include "toolkit/frameless_window.h"
#include "ui/uiCommandSetting.h"
#include "ui/uiLanguage.h"
#include "util/user_text.h"

#include <QPixmap>
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

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;
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

class BusyIndicator;
class CaptionButton;
class Dialogs;
class FunctionMenu;
class LanguageBox;
class NumberBox;
class PictureBox;
class SlotLeaders;
class SvgPicture;
class TrackBar;

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

/// The controls of one sensitivity level.
struct TCPILevelControls {
    CaptionButton* Level = nullptr;
    NumberBox* X = nullptr;
    NumberBox* Y = nullptr;
};

struct TCPINumberBoxes {
    NumberBox* X = nullptr;
    NumberBox* Y = nullptr;
    NumberBox* XY = nullptr; // never shown
};

struct TLightColour {
    std::uint32_t Color = 0; // ARGB
    QPixmap Picture;
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

    // Top bar.
    LanguageBox* PopBoxLanguage;
    CaptionButton* BSBTNHELP;
    CaptionButton* BSBTNMIN;
    CaptionButton* BtnClose;
    // Left area.
    SvgPicture* ImageMouse;
    CaptionButton* BtnSet1;
    CaptionButton* BtnSet2;
    CaptionButton* BtnSet3;
    CaptionButton* BtnSet4;
    CaptionButton* BtnSet5;
    CaptionButton* BtnSet6;
    CaptionButton* BtnSet7;
    CaptionButton* BtnSet8;
    CaptionButton* Btnset9;
    CaptionButton* BSBTNMODE1;
    CaptionButton* BSBTNMODE2;
    CaptionButton* BtnLoadProfile;
    CaptionButton* BtnProfile1;
    CaptionButton* BtnProfile2;
    CaptionButton* BtnProfile3;
    CaptionButton* BtnProfile4;
    CaptionButton* BtnProfile5;
    // Bottom bar.
    CaptionButton* BSBTNAPPLY;
    CaptionButton* BSBTNCANCEL;
    CaptionButton* BSBTNOK;
    CaptionButton* BSBTNRESTOREDEFAULTS;
    BusyIndicator* APPLYAniIndicator;
    // Right area.
    QTabWidget* TabControlMain;
    QWidget* TabGeneral;
    QWidget* TabLight;
    QWidget* TabAdvanced;
    // "General": sensitivity and report rate.
    CaptionButton* DPI1;
    CaptionButton* dpi2;
    CaptionButton* DPI3;
    CaptionButton* DPI4;
    NumberBox* X1;
    NumberBox* Y1;
    NumberBox* XY1;
    NumberBox* X2;
    NumberBox* Y2;
    NumberBox* XY2;
    NumberBox* X3;
    NumberBox* Y3;
    NumberBox* XY3;
    NumberBox* X4;
    NumberBox* Y4;
    NumberBox* XY4;
    QCheckBox* CHKApplyDiffirentXY;
    QCheckBox* CHKApplyAccelaration;
    CaptionButton* BSBTNSENSDEFAULTS;
    QButtonGroup* REPORTRATERADIO;
    QRadioButton* RD125HZ;
    QRadioButton* RD250HZ;
    QRadioButton* RD500HZ;
    QRadioButton* RD1000HZ;
    // "Light".
    QButtonGroup* LIGHTSSPEEDGROUPRADIO;
    QRadioButton* rlow;
    QRadioButton* rMedium;
    QRadioButton* rHigh;
    QRadioButton* rClose;
    PictureBox* C1;
    PictureBox* C2;
    PictureBox* C3;
    PictureBox* C4;
    PictureBox* C5;
    PictureBox* C6;
    PictureBox* ImageLightColor;
    CaptionButton* BSBTNADVDEFAULTS;
    // "Advanced".
    TrackBar* TrackBarDoubleClickSpeed;
    TrackBar* TrackBarPointerSpeed;
    QCheckBox* CHKENHANCEPOINTER;
    QButtonGroup* SCROLLSPEEDGROUP;
    QRadioButton* RDSCROLL;
    QRadioButton* RDSCROLLONEPAGE;
    TrackBar* TRACKBARSCROLLSPEED;
    SvgPicture* imageTest;

    QTimer* Timer2;

    // Components.
    TuiHIDData& uiHIDData1() { return *FHIDData; }
    TuiHIDEvent& uiHIDEvent1() { return *FHIDEvent; }
    TuiLanguage uiLanguage1;
    TuiCommandSetting uiCommandSetting1;
    MenuTree uiMenuEx1 = MenuTree::ButtonMenu();
    MenuTree uiMenuExLRBUTTON = MenuTree::PrimaryButtonMenu();
    MenuTree uiMenuEx2 = MenuTree::WheelMenu();
    MenuTree uiMenuEx3 = MenuTree::PresetMenu();
    /// The pop-ups that show uiMenuEx1, uiMenuExLRBUTTON and uiMenuEx2 beside the slots.
    FunctionMenu* uiMenuEx1Popup = nullptr;
    FunctionMenu* uiMenuExLRBUTTONPopup = nullptr;
    FunctionMenu* uiMenuEx2Popup = nullptr;
    FunctionMenu* uiMenuEx3Popup = nullptr; // PRESET
    void uiMenuEx3ItemsClick(std::uint32_t id);
    /// The item font of uiMenuEx1, which follows the language.
    QFont uiMenuEx1ItemFont;

    // Start-up and language.
    void FillLanguageList();
    void ApplyLanguage();
    void LaunchOrRaiseMonitor();

    // Refreshing the panels from the current profile.
    /// Runs every refresh command of uiCommandSetting1.
    void FullRefresh();
    void RefreshButtonCaptions();
    void RefreshCPIPanel();
    void SelectCPILevel(int level);
    void RefreshMouseParams();
    void RefreshProfileButtons();
    void RefreshReportAndLight();
    void BuildMacroSubMenu();
    void SetButtonCaption(int slot, std::int64_t id);
    void SetWheelButtonCaption(int slot, std::int64_t id);
    /// The hint of a button slot: its key or combination written out, otherwise none.
    void SetButtonHint(int slot);
    /// A choice of uiMenuEx1 or uiMenuExLRBUTTON for slot FPlaceButtonTag.
    void uiMenuEx1ItemsClick(std::uint32_t id);
    /// A choice of uiMenuEx2 for wheel slot FPlaceWheelButtonTag.
    void uiMenuEx2ItemsClick(std::uint32_t id);
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

    // The window's state, for the panels and for tests.
    const std::array<CaptionButton*, 10>& ConfigButtonSet() const { return FConfigButtonSet; }
    const std::array<CaptionButton*, 10>& WheelConfigButtonSet() const { return FWheelConfigButtonSet; }
    const std::array<TCPINumberBoxes, 4>& CPINumberBoxes() const { return FCPI_NBOX_INFO; }
    const std::array<TCPILevelControls, 4>& CPILevelControls() const { return FCPILevelControls; }
    const std::array<TLightColour, 6>& LightColours() const { return FLight_Colors; }
    std::int32_t CurrentMacro() const { return FCurrentMacro; }
    bool Initialising() const { return FInitlizing; }
    std::uint8_t LastChosenProfile() const { return FLastChosenProfile; }
    const std::string& MacroPath() const { return FMacroPath; }
    const std::string& ProfilePath() const { return FProfilePath; }
    std::array<CaptionButton*, 5> ProfileButtons() const;

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

    // Panel handlers, connected to their controls.
    void BtnSet1Click(int tag);
    void BtnSet3Click(int tag);
    void BtnSet8Click(int tag);
    void DODPIStateValueChangedEvent(int level);
    void DOCpiValueChangeEvent(bv::gui::NumberBox* box);
    void X1Click(int tag);
    void DOCpiAdvanceItemChangeEvent(QCheckBox* sender);
    void BSBTNSENSDEFAULTSClick();
    void DoReportRateAndLightChangeEvent(QRadioButton* sender);
    void DOLightColorSelectionEvent(int tag);
    void DOSpeedValueChangedEvent(QObject* sender);
    void imageTestDblClick();
    void BSBTNADVDEFAULTSClick();
    void BtnProfile1Click(int tag);
    void BSBTNMODE1Click(int tag);
    void BtnLoadProfile1Click();
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

private:
    void InitMainWindow();
    void CreateControls();
    void CreateTopBar();
    void CreateLeftArea();
    void CreateBottomBar();
    void CreateGeneralTab();
    void CreateLightTab();
    void CreateAdvancedTab();
    void ConnectHandlers();
    void CreateSlotMenus();
    // PRESET: the factory preset and profile files.
    void LoadPresetProfile(const std::filesystem::path& file);
    void LoadProfileFromFile(const std::string& folder);
    void SaveProfileToFile(const std::string& folder);
    void TakeLoadedProfile(const std::string& file);
    void ShowSlotMenu(FunctionMenu& popup, const MenuTree& tree, QWidget* target, std::uint32_t selected,
        void (TBrisvaneCfgMain::*chosen)(std::uint32_t));
    void AssignButtonFunction(std::uint32_t id);
    void AssignWheelFunction(std::uint32_t id);
    void ChooseMacro(int slot, std::uint32_t id);
    void OpenMacroManager(int slot);
    void WarnTooManyMacros();
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
    /// Asks for the system's double-click time once the track bar rests (every step would cost a
    /// call to the desktop's settings tool); the call runs on a worker.
    void ScheduleDoubleClickTime(std::uint32_t milliseconds);
    /// Sends a scheduled double-click time now (the window is going).
    void FlushDoubleClickTime();
    /// Refreshes run the controls' change handlers (as a user change would) with this set, so
    /// that a refresh shows what is stored and never writes into the profile.
    class RefreshScope {
    public:
        explicit RefreshScope(TBrisvaneCfgMain& window)
            : FWindow(window)
            , FWas(window.FRefreshing)
        {
            window.FRefreshing = true;
        }
        ~RefreshScope() { FWindow.FRefreshing = FWas; }
        RefreshScope(const RefreshScope&) = delete;
        RefreshScope& operator=(const RefreshScope&) = delete;

    private:
        TBrisvaneCfgMain& FWindow;
        bool FWas;
    };
    bool Quiet() const { return FInitlizing || FRefreshing; }
    TDM& DM() { return *FEnv.DM; }

    MainWindowEnvironment FEnv;
    std::unique_ptr<TuiHIDData> FHIDData;
    std::unique_ptr<TuiHIDEvent> FHIDEvent;
    QSocketNotifier* FHIDEventNotifier = nullptr;
    std::unique_ptr<platform::MessageEndpoint> FEndpoint;
    QSocketNotifier* FEndpointNotifier = nullptr;
    QButtonGroup* FProfileButtons = nullptr;
    SlotLeaders* FSlotLeaders = nullptr;
    QLabel* FAppTitle = nullptr;
    std::array<TCPILevelControls, 4> FCPILevelControls {};
    bool FTerminating = false;

    std::array<CaptionButton*, 10> FConfigButtonSet {};
    std::array<CaptionButton*, 10> FWheelConfigButtonSet {};
    std::array<TCPINumberBoxes, 4> FCPI_NBOX_INFO {};
    std::array<TLightColour, 6> FLight_Colors {};
    std::int32_t FPlaceButtonTag = 0;
    std::int32_t FPlaceWheelButtonTag = 0;
    std::int32_t FCurrentMacro = 0;
    bool FInitlizing = false;
    bool FRefreshing = false;
    ApplyOutcome FLastApplyOutcome = ApplyOutcome::Done;
    std::uint8_t FLastChosenProfile = 0; // CurrentGame at the last profile click; Apply's notice
    bool FDeviceFailureShown = false; // until a sequence goes through again
    QTimer* FDoubleClickTimer = nullptr;
    std::uint32_t FPendingDoubleClickTime = 0;
    std::string FMacroPath;
    std::string FProfilePath;
};

} // namespace bv::gui
