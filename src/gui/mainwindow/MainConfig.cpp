#include "mainwindow/MainConfig.h"

#include "device/Function_Solmarchs.h"
#include "device/config_image.h"
#include "device/uiHIDData.h"
#include "device/uiHIDEvent.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/button_captions.h"
#include "mainwindow/slot_leaders.h"
#include "platform/shell_open.h"
#include "settings/DMUnit.h"
#include "settings/record_text.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/glow.h"
#include "toolkit/language_box.h"
#include "toolkit/number_box.h"
#include "toolkit/picture.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/theme.h"
#include "toolkit/track_bar.h"
#include "toolkit/translation.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
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
            return platform::StartProgram(program, folder);
        };
    if (!FEnv.OpenDocument)
        FEnv.OpenDocument = [](const std::string& target) { return platform::ShellOpen(target); };
    if (!FEnv.Terminate)
        FEnv.Terminate = [] { QCoreApplication::quit(); };
    if (!FEnv.MouseSettings)
        FEnv.MouseSettings = platform::OpenSystemMouseSettings();
    if (!FEnv.Pause)
        FEnv.Pause = [](int ms) {
            QCoreApplication::processEvents();
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

    CreateControls();
    // The window shows its caption itself; the title bar text stays the fixed caption.
    SetSourceText(this, "Brisvane_CONFIG_EX");
    RegisterRefreshCommands();
    ConnectHandlers();
    if (FEnv.ReceiveMessages)
        OpenMessageEndpoint();
    CreateDeviceNotifier();
    InitMainWindow();
}

TBrisvaneCfgMain::~TBrisvaneCfgMain()
{
    // A double-click time still waiting for the bar to rest is the user's last choice.
    if (FDoubleClickTimer && FDoubleClickTimer->isActive())
        FlushDoubleClickTime();
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

    for (CaptionButton* b : { BtnSet1, BtnSet2 })
        connect(b, &QPushButton::clicked, this, [this, b] { BtnSet1Click(b->property("tag").toInt()); });
    for (CaptionButton* b : { BtnSet3, BtnSet4, BtnSet5, BtnSet6, BtnSet7 })
        connect(b, &QPushButton::clicked, this, [this, b] { BtnSet3Click(b->property("tag").toInt()); });
    for (CaptionButton* b : { BtnSet8, Btnset9 })
        connect(b, &QPushButton::clicked, this, [this, b] { BtnSet8Click(b->property("tag").toInt()); });
    CreateSlotMenus();
    for (CaptionButton* b : { BSBTNMODE1, BSBTNMODE2 })
        connect(b, &QPushButton::clicked, this, [this, b] { BSBTNMODE1Click(b->property("tag").toInt()); });
    for (CaptionButton* b : ProfileButtons())
        connect(b, &QPushButton::clicked, this, [this, b] { BtnProfile1Click(b->property("tag").toInt()); });
    connect(BtnLoadProfile, &QPushButton::clicked, this, &TBrisvaneCfgMain::BtnLoadProfile1Click);

    for (CaptionButton* b : { DPI1, dpi2, DPI3, DPI4 })
        connect(b, &QPushButton::clicked, this, [this, b] { DODPIStateValueChangedEvent(b->property("tag").toInt()); });
    for (NumberBox* n : { X1, Y1, X2, Y2, X3, Y3, X4, Y4 }) {
        connect(n, &QSpinBox::valueChanged, this, [this, n] { DOCpiValueChangeEvent(n); });
        connect(n, &NumberBox::clicked, this, [this, n] { X1Click(n->property("tag").toInt()); });
    }
    for (QCheckBox* c : { CHKApplyDiffirentXY, CHKApplyAccelaration })
        connect(c, &QCheckBox::toggled, this, [this, c] { DOCpiAdvanceItemChangeEvent(c); });
    connect(BSBTNSENSDEFAULTS, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNSENSDEFAULTSClick);

    for (QRadioButton* r : { RD125HZ, RD250HZ, RD500HZ, RD1000HZ, rlow, rMedium, rHigh, rClose })
        connect(r, &QRadioButton::toggled, this, [this, r] { DoReportRateAndLightChangeEvent(r); });
    for (PictureBox* c : { C1, C2, C3, C4, C5, C6 })
        connect(c, &PictureBox::clicked, this, [this, c] { DOLightColorSelectionEvent(c->property("tag").toInt()); });
    connect(BSBTNADVDEFAULTS, &QPushButton::clicked, this, &TBrisvaneCfgMain::BSBTNADVDEFAULTSClick);

    for (TrackBar* t : { TrackBarDoubleClickSpeed, TrackBarPointerSpeed, TRACKBARSCROLLSPEED })
        connect(t, &TrackBar::ValueChanged, this, [this, t] { DOSpeedValueChangedEvent(t); });
    connect(CHKENHANCEPOINTER, &QCheckBox::toggled, this, [this] { DOSpeedValueChangedEvent(CHKENHANCEPOINTER); });
    for (QRadioButton* r : { RDSCROLL, RDSCROLLONEPAGE })
        connect(r, &QRadioButton::toggled, this, [this, r] { DOSpeedValueChangedEvent(r); });
    connect(imageTest, &SvgPicture::doubleClicked, this, &TBrisvaneCfgMain::imageTestDblClick);
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

    FConfigButtonSet = { BtnSet1, BtnSet2, BtnSet3, BtnSet4, BtnSet5, BtnSet6, BtnSet7 };
    FWheelConfigButtonSet = { BtnSet8, Btnset9 };
    FCPI_NBOX_INFO = { { { X1, Y1, XY1 }, { X2, Y2, XY2 }, { X3, Y3, XY3 }, { X4, Y4, XY4 } } };
    FCPILevelControls = { { { DPI1, X1, Y1 }, { dpi2, X2, Y2 }, { DPI3, X3, Y3 }, { DPI4, X4, Y4 } } };
    // FLight_Colors is filled with the swatches when they are made.

    FillLanguageList();
    ApplyLanguage();

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

    FCurrentMacro = 0;
    TabControlMain->setCurrentWidget(TabGeneral);
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    SystemMouseParams = { c.PointerSpeed, c.VWheelSpeed, c.PointerAcceleration };
    const int profile = DM().ProfileIndex();
    if (TDM::IsProfileIndexInRange(profile)) {
        const TPROFILESETTING& where = DM().ProfileSettingGroup().ProfileSettingList[profile];
        FProfilePath = RecordText(where.FilePath);
        FMacroPath = RecordText(where.MacroPath);
    }
    BuildMacroSubMenu();
    FullRefresh();
    ReplaceScreenCursors(fromPath(FEnv.ProgramFolder / "images"));
    ApplyScreenCursors(this);
    SettingsChanged = false;
    FInitlizing = false;
    LaunchOrRaiseMonitor();
}

void TBrisvaneCfgMain::showEvent(QShowEvent* event)
{
    CentreOnScreen();
    FramelessWindow::showEvent(event);
    // No number box should start with a blinking cursor.
    setFocus(Qt::OtherFocusReason);
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
    const int size = uiLanguage1.LanguageName() == "0409" ? 11 : 10;
    for (CaptionButton* b : ProfileButtons()) {
        QFont f = b->font();
        f.setPointSize(size);
        b->setFont(f);
    }
    QGuiApplication::setApplicationDisplayName(Tr(kApplicationTitle));
    RefreshButtonCaptions();
}

void TBrisvaneCfgMain::uiLanguage1LanguageChanged(const std::string& shortID)
{
    uiMenuEx1ItemFont = FunctionMenuItemFont(shortID);
    // Chinese texts need the glyph forms of their own script.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        ApplyLanguageFont(*app, shortID);
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
    gui::BuildMacroSubMenu(uiMenuEx1, DM().CurrentProfileInfo().MacroKeyInfoList);
}

void TBrisvaneCfgMain::SetButtonCaption(int slot, std::int64_t id)
{
    if (slot < 0 || slot >= int(FConfigButtonSet.size()) || !FConfigButtonSet[slot])
        return;
    const TBUTTONFUNCINFO& entry = DM().CurrentProfileInfo().ConfigInfo.ButtonFuncInfo[slot];
    SetPlainText(FConfigButtonSet[slot], QString::fromStdString(ButtonCaption(uiMenuEx1, entry, id)));
}

void TBrisvaneCfgMain::SetWheelButtonCaption(int slot, std::int64_t id)
{
    if (slot < 0 || slot >= int(FWheelConfigButtonSet.size()) || !FWheelConfigButtonSet[slot])
        return;
    SetPlainText(FWheelConfigButtonSet[slot], QString::fromStdString(WheelCaption(uiMenuEx2, id)));
}

void TBrisvaneCfgMain::RefreshButtonCaptions()
{
    BuildMacroSubMenu();
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    for (int s = 0; s < c.ButtonCount && s < kGameButtonCount; ++s)
        SetButtonCaption(s, SlotMenuID(c.ButtonFuncInfo[s]));
    for (int w = 0; w < 2; ++w)
        SetWheelButtonCaption(w, SlotMenuID(c.VWheelButtonFuncInfo[w]));
}

void TBrisvaneCfgMain::RefreshCPIPanel()
{
    const RefreshScope refreshing(*this);
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    for (int level = 0; level < kCPILevelsUsed; ++level) {
        const TCPILevelControls& row = FCPILevelControls[level];
        const bool enabled = c.CPIState[level].State != 0;
        row.Level->SetStyleName(enabled ? "MyDPIBtnA" : "MyDPIBtn");
        // Pressed means disabled; following the profile lets one click always toggle a level.
        row.Level->setChecked(!enabled);
        row.X->SetValue(c.CPIState[level].X);
        row.Y->SetValue(c.CPIState[level].Y);
        row.X->setEnabled(enabled);
        row.Y->setEnabled(enabled);
    }
    CHKApplyDiffirentXY->setChecked(c.ApplyDiffirentXY == 1);
    CHKApplyAccelaration->setChecked(c.ApplyAccelaration == 1);
}

void TBrisvaneCfgMain::SelectCPILevel(int level)
{
    for (int i = 0; i < kCPILevelsUsed; ++i) {
        SetGlow(FCPI_NBOX_INFO[i].X, i == level);
        SetGlow(FCPI_NBOX_INFO[i].Y, i == level);
    }
}

void TBrisvaneCfgMain::RefreshMouseParams()
{
    const RefreshScope refreshing(*this);
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    if (c.VWheelSpeed >= 20) {
        RDSCROLLONEPAGE->setChecked(true);
        TRACKBARSCROLLSPEED->setEnabled(false);
    } else {
        TRACKBARSCROLLSPEED->SetValue(c.VWheelSpeed);
        RDSCROLL->setChecked(true);
        TRACKBARSCROLLSPEED->setEnabled(true);
    }
    const int before = TrackBarDoubleClickSpeed->Value();
    TrackBarDoubleClickSpeed->SetValue(
        TrackBarDoubleClickSpeed->Minimum() + TrackBarDoubleClickSpeed->Maximum() - c.DoubleClickSpeed);
    // The profile's double-click time is the system's from the moment the profile is shown.
    if (!FInitlizing && TrackBarDoubleClickSpeed->Value() != before)
        ScheduleDoubleClickTime(TrackBarDoubleClickSpeed->Maximum() + TrackBarDoubleClickSpeed->Minimum()
            - TrackBarDoubleClickSpeed->Value());
    TrackBarPointerSpeed->SetValue(c.PointerSpeed);
    CHKENHANCEPOINTER->setChecked(c.PointerAcceleration == 1);
    SystemMouseParams
        = { TrackBarPointerSpeed->Value(), std::int32_t(c.VWheelSpeed), std::int32_t(c.PointerAcceleration) };
}

std::array<CaptionButton*, 5> TBrisvaneCfgMain::ProfileButtons() const
{
    return { BtnProfile1, BtnProfile2, BtnProfile3, BtnProfile4, BtnProfile5 };
}

void TBrisvaneCfgMain::RefreshProfileButtons()
{
    const RefreshScope refreshing(*this);
    const int mode = DM().ProfileGroupIndex();
    BSBTNMODE1->SetStyleName(mode == 0 ? "MyMODEBtnA" : "MyMODEBtn");
    BSBTNMODE2->SetStyleName(mode == 1 ? "MyMODEBtnA" : "MyMODEBtn");
    // An exclusive group keeps one button pressed; releasing all needs it open for a moment.
    FProfileButtons->setExclusive(false);
    for (CaptionButton* b : ProfileButtons())
        b->setChecked(false);
    FProfileButtons->setExclusive(true);
    const int profile = DM().ProfileIndex();
    if (TDM::IsProfileIndexInRange(profile))
        ProfileButtons()[profile]->setChecked(true);
}

void TBrisvaneCfgMain::RefreshReportAndLight()
{
    const RefreshScope refreshing(*this);
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    switch (c.ReportRate) {
    case 250:
        RD250HZ->setChecked(true);
        break;
    case 500:
        RD500HZ->setChecked(true);
        break;
    case 1000:
        RD1000HZ->setChecked(true);
        break;
    default:
        RD125HZ->setChecked(true);
        break;
    }

    const TLEDCONFIG& led = DM().CurrentProfileInfo().ConfigInfo.LEDConfig;
    if (led.BRIGHT_LEVEL != 0) {
        switch (led.BREATH_SPEED) {
        case 1:
            rlow->setChecked(true);
            break;
        case 3:
            rHigh->setChecked(true);
            break;
        default:
            rMedium->setChecked(true);
            break;
        }
    } else {
        rClose->setChecked(true);
    }

    const std::uint32_t argb = 0xFF000000u | std::uint32_t(led.R) << 16 | std::uint32_t(led.G) << 8 | led.B;
    int shown = -1;
    for (int k = 0; k < int(FLight_Colors.size()); ++k)
        if (FLight_Colors[k].Color == argb) {
            shown = k;
            break;
        }
    if (shown >= 0)
        PreviewLightOnDevice();
    ImageLightColor->SetPicture(FLight_Colors[shown >= 0 ? shown : 0].Picture);
    PictureBox* const swatches[] = { C1, C2, C3, C4, C5, C6 };
    for (int k = 0; k < 6; ++k)
        swatches[k]->SetRinged(k == shown);
}

void TBrisvaneCfgMain::PreviewLightOnDevice()
{
    const TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
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
        FEnv.StartProgram(program, FEnv.ExecutableFolder);
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
