#include "mainwindow/MainConfig.h"

#include "device/Function_Solmarchs.h"
#include "device/config_image.h"
#include "device/uiHIDData.h"
#include "device/uiHIDEvent.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/advanced_panel.h"
#include "mainwindow/button_panel.h"
#include "mainwindow/light_panel.h"
#include "mainwindow/profile_panel.h"
#include "mainwindow/sensitivity_panel.h"
#include "platform/shell_open.h"
#include "settings/DMUnit.h"
#include "settings/record_text.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/language_box.h"
#include "toolkit/pending_events.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/startup_probe.h"
#include "toolkit/theme.h"
#include "toolkit/translation.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <QStringList>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QtDebug>

namespace bv::gui {

namespace {

constexpr const char* kApplicationTitle = "Brisvane Gaming Mouse Config";

QString fromPath(const std::filesystem::path& p)
{
    const auto u8 = p.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), qsizetype(u8.size()));
}

} // namespace

TBrisvaneCfgMain::TBrisvaneCfgMain(MainWindowEnvironment env, QWidget* parent)
    : FramelessWindow(QSize(801, 638), parent)
    , FEnv(std::move(env))
{
    if (!FEnv.StartProgram)
        FEnv.StartProgram = [](const std::filesystem::path& program, const std::filesystem::path& folder) {
            std::string error;
            if (platform::StartProgram(program, folder, &error))
                return true;
            qWarning("%s could not be started: %s", program.string().c_str(), error.c_str());
            return false;
        };
    if (!FEnv.OpenDocument)
        FEnv.OpenDocument = [](const std::string& target) { return platform::ShellOpen(target); };
    if (!FEnv.Terminate)
        FEnv.Terminate = [] { QCoreApplication::quit(); };
    if (!FEnv.MouseSettings)
        FEnv.MouseSettings = platform::OpenSystemMouseSettings();
    if (!FEnv.Pause)
        FEnv.Pause = [](int ms) {
            ProcessPendingEvents();
            QThread::msleep(static_cast<unsigned long>(ms));
        };

    setWindowTitle(QStringLiteral("Brisvane_CONFIG_EX"));
    setFocusPolicy(Qt::StrongFocus);
    FHIDData = std::make_unique<TuiHIDData>(FEnv.Backend, FEnv.HidDeviceList);

    uiLanguage1.OnTranslateWindows = [] { RetranslateWindows(); };
    uiLanguage1.OnLanguageChanged
        = [this](TuiLanguage&, const std::string& shortID, const std::string&) { uiLanguage1LanguageChanged(shortID); };
    // Without a language file the window shows its English source texts.
    if (!uiLanguage1.LoadFromFolder(FEnv.ProgramFolder))
        qWarning("No language file could be loaded from the program folder; the window is in English.");
    StartupPhase("language file");

    CreateControls();
    StartupPhase("controls");
    // The window shows its caption itself; the title bar text stays the fixed caption.
    SetSourceText(this, "Brisvane_CONFIG_EX");
    RegisterRefreshCommands();
    ConnectHandlers();
    if (FEnv.ReceiveMessages)
        OpenMessageEndpoint();
    CreateDeviceNotifier();
    StartupPhase("links");
    InitMainWindow();
    StartupPhase("refresh");
}

TBrisvaneCfgMain::~TBrisvaneCfgMain()
{
    // The language component goes with the window: later re-translations must not call into it.
    uiLanguage1.OnTranslateWindows = nullptr;
    uiLanguage1.OnLanguageChanged = nullptr;
    // The watch ends before the descriptor it watches.
    delete FHIDEventNotifier;
}

void TBrisvaneCfgMain::RegisterRefreshCommands()
{
    auto add = [this](const char* name, std::function<void()> handler) {
        TuiCommand& command = uiCommandSetting1.Commands().Add(name);
        if (handler)
            command.OnExecute = [handler](TuiGetSet, void*, std::uint32_t) { handler(); };
    };
    add("SetButton", [this] { RefreshButtonCaptions(); });
    add("SetCPI", [this] {
        RefreshCPIPanel();
        SelectCPILevel(1);
    });
    add("SetMouseParam", [this] { RefreshMouseParams(); });
    add("SetProfileBtn", [this] { RefreshProfileButtons(); });
    add("SetReport", [this] { RefreshReportAndLight(); });
    add("SetLED", nullptr);
}

void TBrisvaneCfgMain::ConnectHandlers()
{
    connect(BtnClose, &QPushButton::clicked, this, &TBrisvaneCfgMain::BtnCloseClick);
    connect(BSBTNMIN, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNMINClick);
    connect(BSBTNCANCEL, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNCANCELClick);
    connect(BSBTNOK, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNOKClick);
    connect(BSBTNAPPLY, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNAPPLYClick);
    connect(BSBTNRESTOREDEFAULTS, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNRESTOREDEFAULTSClick);
    connect(BSBTNHELP, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNHELPClick);
    connect(Timer2, &QTimer::timeout, this, &TBrisvaneCfgMain::Timer2Timer);
    connect(PopBoxLanguage, &QComboBox::currentIndexChanged, this, &TBrisvaneCfgMain::PopBoxLanguageChange);

    connect(FProfiles, &ProfilePanel::ModeClicked, this, &TBrisvaneCfgMain::BSBTNMODE1Click);
    connect(FProfiles, &ProfilePanel::ProfileClicked, this, &TBrisvaneCfgMain::BtnProfile1Click);
    connect(FProfiles, &ProfilePanel::PresetChosen, this, &TBrisvaneCfgMain::uiMenuEx3ItemsClick);
    connect(FSensitivity, &SensitivityPanel::DefaultsRestored, this, [this] {
        // The rate follows the levels back to its default.
        DM().RestoreToDefaultReportRateSetting();
        DM().SaveBackToCurrentProfileInfo();
        RefreshReportAndLight();
    });
    // The light's defaults include the sensitivity panel's options; its check boxes show them too.
    connect(FLight, &LightPanel::DefaultsRestored, this, [this] { RefreshCPIPanel(); });
}

void TBrisvaneCfgMain::OpenMessageEndpoint()
{
    FEndpoint = std::make_unique<platform::MessageEndpoint>(
        platform::kConfigWindowClass, [this](const platform::WindowMessage& m) { HandleWindowMessage(m); });
    if (!FEndpoint->IsOpen()) {
        qWarning("The monitor program cannot reach this window: %s", FEndpoint->Error().c_str());
        FEndpoint.reset();
        return;
    }
    if (FEndpoint->WaitHandle() >= 0) {
        FEndpointNotifier = new QSocketNotifier(FEndpoint->WaitHandle(), QSocketNotifier::Read, this);
        connect(FEndpointNotifier, &QSocketNotifier::activated, this, [this] { FEndpoint->Dispatch(); });
    }
}

void TBrisvaneCfgMain::CreateDeviceNotifier()
{
    FHIDEvent = std::make_unique<TuiHIDEvent>(std::string(), FEnv.DeviceNotices);
    FHIDEvent->OnDeviceArrival = [this](TuiHIDEvent&) { uiHIDEvent1DeviceArrival(); };
    FHIDEvent->OnHandlerFailed
        = [](const std::string& what) { qWarning("A device notice could not be handled: %s", what.c_str()); };
    if (!FHIDEvent->Error().empty())
        qWarning("Plugged-in devices go unnoticed: %s", FHIDEvent->Error().c_str());
    // Windows delivers through the thread's message loop; POSIX needs its descriptor watched.
    if (FHIDEvent->WaitHandle() >= 0) {
        FHIDEventNotifier = new QSocketNotifier(FHIDEvent->WaitHandle(), QSocketNotifier::Read, this);
        connect(FHIDEventNotifier, &QSocketNotifier::activated, this, [this] { FHIDEvent->Dispatch(); });
    }
}

bool TBrisvaneCfgMain::IsReceivingMessages() const
{
    return FEndpoint != nullptr;
}

void TBrisvaneCfgMain::InitMainWindow()
{
    FInitlizing = true;

    FillLanguageList();
    ApplyLanguage();
    StartupPhase("window language");

    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    if (!FHIDData->IsDeviceExist(*request)) {
        // A mouse that is there but may not be opened needs another remedy than plugging it in.
        const auto denied = FEnv.WhyMouseDenied ? FEnv.WhyMouseDenied() : std::nullopt;
        if (FEnv.UserDialogs) {
            if (denied)
                FEnv.UserDialogs->ShowMessageDialog(
                    this, Tr("No permission for the mouse"), Tr(denied->first), Tr(denied->second));
            else
                FEnv.UserDialogs->ShowMessageDialog(
                    this, Tr("No Device Found!"), Tr("Please connect your mouse device!"), QString());
        }
        Terminate();
        return;
    }

    TabControlMain->setCurrentWidget(TabGeneral);
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    SystemMouseParams = SystemMouseParamsOf(c);
    const int profile = DM().ProfileIndex();
    if (TDM::IsProfileIndexInRange(profile)) {
        const TPROFILESETTING& where = DM().ProfileSettingGroup().ProfileSettingList[profile];
        FProfilePath = RecordText(where.FilePath);
        FButtons->SetMacroPath(RecordText(where.MacroPath));
    }
    StartupPhase("mouse found");
    BuildMacroSubMenu();
    FullRefresh();
    StartupPhase("panels shown");
    ReplaceScreenCursors(fromPath(FEnv.ProgramFolder / "images"));
    ApplyScreenCursors(this);
    SettingsChanged = false;
    FInitlizing = false;
}

void TBrisvaneCfgMain::showEvent(QShowEvent* event)
{
    CentreOnScreen();
    FramelessWindow::showEvent(event);
    // No number box should start with a blinking cursor.
    setFocus(Qt::OtherFocusReason);
}

void TBrisvaneCfgMain::paintEvent(QPaintEvent* event)
{
    FramelessWindow::paintEvent(event);
    // Starting the monitor, a second program, would compete with the first frame for the
    // processor; it waits until the frame is out.
    if (!FMonitorAsked) {
        FMonitorAsked = true;
        QTimer::singleShot(0, this, &TBrisvaneCfgMain::LaunchOrRaiseMonitor);
    }
}

void TBrisvaneCfgMain::Terminate()
{
    FTerminating = true;
    FEnv.Terminate();
}

// ---- language -----------------------------------------------------------------------------

void TBrisvaneCfgMain::FillLanguageList()
{
    const QSignalBlocker quiet(PopBoxLanguage);
    PopBoxLanguage->clear();
    for (int i = 0; i < uiLanguage1.LanguageCount(); ++i) {
        const std::string name = TuiLanguage::GetLanguageLongNameByShortID(uiLanguage1.GetLanguageShortIDByIndex(i));
        if (!name.empty())
            PopBoxLanguage->addItem(QString::fromStdString(name));
    }
    const int current = DM().AllProfileSettingInfo().CurrentLanguage;
    if (uiLanguage1.GetLanguageIndexByShortID(uiLanguage1.LanguageName()) != current)
        uiLanguage1.SetLang(uiLanguage1.GetLanguageShortIDByIndex(current));
    PopBoxLanguage->setCurrentIndex(current >= 0 && current < PopBoxLanguage->count() ? current : 0);
}

void TBrisvaneCfgMain::ApplyLanguage()
{
    const int current = DM().AllProfileSettingInfo().CurrentLanguage;
    if (uiLanguage1.GetLanguageIndexByShortID(uiLanguage1.LanguageName()) != current)
        uiLanguage1.SetLang(uiLanguage1.GetLanguageShortIDByIndex(current));
    FProfiles->SetCaptionPointSize(uiLanguage1.LanguageName() == "0409" ? 11 : 10);
    FAdvanced->ShowValues();
    SetApplicationTitle(Tr(kApplicationTitle));
    RefreshButtonCaptions();
}

void TBrisvaneCfgMain::uiLanguage1LanguageChanged(const std::string& shortID)
{
    uiMenuEx1ItemFont = FunctionMenuItemFont(shortID);
    // Chinese texts need the glyph forms of their own script.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        ApplyLanguageFont(*app, shortID);
    // The standard dialogs (PRESET's files) speak the language too.
    if (!LoadToolkitTranslations(shortID, fromPath(FEnv.ProgramFolder / "translations")))
        qWarning("Qt's own translations for language %s are not installed; the file dialogs are in English.",
            shortID.c_str());
}

void TBrisvaneCfgMain::PopBoxLanguageChange(int index)
{
    if (index < 0)
        return;
    static const char* const kShortIDs[] = { "0409", "0804", "0404" };
    uiLanguage1.SetLang(index < 3 ? std::string(kShortIDs[index]) : uiLanguage1.GetLanguageShortIDByIndex(index));
    DM().AllProfileSettingInfo().CurrentLanguage = index;
    try {
        DM().SaveBackAllProfileSettingInfo();
    } catch (const std::exception& e) {
        ReportStoreFailure(e);
    }
    ApplyLanguage();
    SendToMonitor(platform::MSG_LANGUAGE_CHANGED, index, 0);
    SettingsChanged = true;
}

void TBrisvaneCfgMain::ReportStoreFailure(const std::exception& error)
{
    if (FEnv.UserDialogs)
        FEnv.UserDialogs->ShowMessageDialog(
            this, Tr("Warning"), Tr("The settings could not be stored."), QString::fromStdString(error.what()));
}

void TBrisvaneCfgMain::ReportDeviceFailure(std::uint32_t error)
{
    if (error == 0) {
        FDeviceFailureShown = false;
        return;
    }
    // A mouse that is not there hears everything on Apply, which says so. Once told, a run of
    // failures (one per colour step) says nothing more until a sequence goes through.
    if (error == kHidErrorNoDevice || FDeviceFailureShown || !FEnv.UserDialogs)
        return;
    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    if (!FHIDData->IsDeviceExist(*request))
        return;
    FDeviceFailureShown = true;
    FEnv.UserDialogs->ShowMessageDialog(this, Tr("Warning"),
        Tr("The mouse did not take all settings. Connect it and press Apply again."),
        QString::fromStdString(FHIDData->Backend().describeError(error)));
}

void TBrisvaneCfgMain::ReportStoreFailures(const std::vector<std::string>& failures)
{
    if (failures.empty() || !FEnv.UserDialogs)
        return;
    QStringList lines;
    for (const auto& f : failures)
        lines << QString::fromStdString(f);
    FEnv.UserDialogs->ShowMessageDialog(this, Tr("Warning"), Tr("The settings could not be stored."), lines.join('\n'));
}

// ---- refresh ------------------------------------------------------------------------------

void TBrisvaneCfgMain::FullRefresh()
{
    uiCommandSetting1.SetData(&DM().AllProfileSettingInfo(), sizeof(TALLGAMESINFO));
}

void TBrisvaneCfgMain::BuildMacroSubMenu()
{
    FButtons->BuildMacroSubMenu();
}

void TBrisvaneCfgMain::RefreshButtonCaptions()
{
    FButtons->Refresh();
}

void TBrisvaneCfgMain::RefreshCPIPanel()
{
    FSensitivity->Refresh();
}

void TBrisvaneCfgMain::SelectCPILevel(int level)
{
    FSensitivity->SelectCPILevel(level);
}

void TBrisvaneCfgMain::RefreshMouseParams()
{
    FAdvanced->Refresh();
}

void TBrisvaneCfgMain::RefreshProfileButtons()
{
    FProfiles->Refresh();
}

void TBrisvaneCfgMain::RefreshReportAndLight()
{
    FLight->Refresh();
    FButtons->ShowLight(DM().CurrentProfileInfo().ConfigInfo.LEDConfig);
}

void TBrisvaneCfgMain::PreviewLightOnDevice()
{
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    FButtons->ShowLight(c.LEDConfig);
    TLightBlock block {};
    EncodeLightBlock(c.LEDConfig, block);
    ReportDeviceFailure(LightPreviewSequence(*FHIDData, block, c.HWVWheelValue, c.WheelLedOnOff));
}

// ---- the monitor program ------------------------------------------------------------------

void TBrisvaneCfgMain::SendToMonitor(std::uint32_t msg, std::int64_t wParam, std::int64_t lParam)
{
    // No monitor running is the usual case: it reads the stored values when it starts.
    if (FEnv.Monitor)
        (void)FEnv.Monitor->Send(platform::kMonitorWindowClass, { msg, wParam, lParam });
}

void TBrisvaneCfgMain::LaunchOrRaiseMonitor()
{
    if (FEnv.Monitor && FEnv.Monitor->WindowExists(platform::kMonitorWindowClass)) {
        // Gone since it was found: the next start of the configurator starts it again.
        (void)FEnv.Monitor->BringToFront(platform::kMonitorWindowClass);
        return;
    }
    const std::filesystem::path program = FEnv.ExecutableFolder / kMonitorProgramName;
    std::error_code ec;
    if (!FEnv.ExecutableFolder.empty() && std::filesystem::is_regular_file(program, ec))
        (void)FEnv.StartProgram(program, FEnv.ExecutableFolder); // tells why itself; the window goes on
}

void TBrisvaneCfgMain::HandleWindowMessage(const platform::WindowMessage& message)
{
    switch (message.Msg) {
    case platform::MSG_CLOSE_CONFIG:
        Terminate();
        break;
    case platform::MSG_LANGUAGE_CHANGED:
        ApplyLanguage();
        break;
    case platform::MSG_RELOAD_PROFILE:
        try {
            if (!DM().LoadCurrentProfileInfoFromRegistry())
                qWarning("The current profile's stored value is missing or short; the profile is kept as it was.");
        } catch (const std::exception& e) {
            qWarning("The current profile could not be read again: %s", e.what());
        }
        break;
    default:
        break;
    }
}

// ---- close paths --------------------------------------------------------------------------

void TBrisvaneCfgMain::BtnCloseClick()
{
    close();
}

void TBrisvaneCfgMain::BSBTNMINClick()
{
    showMinimized();
}

void TBrisvaneCfgMain::BSBTNCANCELClick()
{
    if (AskSaveOnCancel())
        close();
}

void TBrisvaneCfgMain::BSBTNOKClick()
{
    BSBTNOK->setEnabled(false);
    if (!SettingsChanged) {
        close();
    } else if (ApplySettings()) {
        Timer2->start();
    } else if (FLastApplyOutcome == ApplyOutcome::NoMouse) {
        // The stores are done and the user was told to connect the mouse.
        close();
    }
    // Otherwise the window stays, so that what the message advises can be done.
    BSBTNOK->setEnabled(true);
}

void TBrisvaneCfgMain::Timer2Timer()
{
    Timer2->stop();
    close();
}

void TBrisvaneCfgMain::uiHIDEvent1DeviceArrival()
{
    BSBTNAPPLY->setEnabled(true);
}

} // namespace bv::gui
