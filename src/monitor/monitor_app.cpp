#include "monitor_app.h"

#include "applications_dialog.h"
#include "monitor_text.h"
#include "settings/cpi_levels.h"
#include "ui/uiLanguage.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>

#include <chrono>
#include <exception>

namespace bv::monitor_app {

namespace {

const char* const kModeNames[2] = { "Mode 1", "Mode 2" };
const char* const kProfileNames[5] = { "PROFILE1", "PROFILE2", "PROFILE3", "PROFILE4", "PROFILE5" };
const char* const kConfiguratorRuns = "Close the configurator to switch here: it holds the settings while it runs.";

enum Told { NoTray, NoFocus, LoadFailed, FocusLost };

// Often enough to follow the DPI button, rarely enough to cost nothing measurable.
constexpr int kCPIPollMs = 250;
constexpr int kCPIShownMs = 1000;

} // namespace

/// The follower switches as the menu does, and a failure reaches the user the same way.
class MonitorApp::FollowerSwitching final : public monitor::ProfileSwitching {
public:
    explicit FollowerSwitching(MonitorApp& app)
        : FApp(app)
    {
    }
    int CurrentMode() const override { return FApp.FEnv.Switching->CurrentMode(); }
    int CurrentProfile() const override { return FApp.FEnv.Switching->CurrentProfile(); }
    bool ConfiguratorRunning() const override { return FApp.FEnv.Switching->ConfiguratorRunning(); }
    bool SwitchProfile(int profile) override
    {
        if (FApp.FEnv.Switching->SwitchProfile(profile))
            return true;
        FApp.TellSwitchFailure();
        return false;
    }

private:
    MonitorApp& FApp;
};

MonitorApp::MonitorApp(MonitorEnvironment env, QObject* parent)
    : QObject(parent)
    , FEnv(std::move(env))
{
    FFollowerSwitching = std::make_unique<FollowerSwitching>(*this);
    FFollower = std::make_unique<monitor::FocusFollower>(*FFollowerSwitching, *FEnv.Clock);
    FMenu = std::make_unique<QMenu>();
    FMenu->setToolTipsVisible(true);
    auto* modes = new QActionGroup(FMenu.get());
    for (int g = 0; g < 2; ++g) {
        FModes[g] = FMenu->addAction(QString());
        FModes[g]->setCheckable(true);
        modes->addAction(FModes[g]);
        connect(FModes[g], &QAction::triggered, this, [this, g] { ChooseMode(g); });
    }
    FMenu->addSeparator();
    auto* profiles = new QActionGroup(FMenu.get());
    for (int k = 0; k < 5; ++k) {
        FProfiles[k] = FMenu->addAction(QString());
        FProfiles[k]->setCheckable(true);
        profiles->addAction(FProfiles[k]);
        connect(FProfiles[k], &QAction::triggered, this, [this, k] { ChooseProfile(k); });
    }
    FMenu->addSeparator();
    FOpen = FMenu->addAction(QString());
    connect(FOpen, &QAction::triggered, this, [this] {
        if (FEnv.OpenConfigurator)
            FEnv.OpenConfigurator();
    });
    FApplications = FMenu->addAction(QString());
    connect(FApplications, &QAction::triggered, this, &MonitorApp::OpenApplications);
    FPause = FMenu->addAction(QString());
    FPause->setCheckable(true);
    connect(FPause, &QAction::toggled, this, [this](bool paused) {
        FFollower->SetPaused(paused);
        UpdateFocusWatching();
    });
    FCPIOnScreen = FMenu->addAction(QString());
    FCPIOnScreen->setCheckable(true);
    FCPIOnScreen->setVisible(static_cast<bool>(FEnv.ReadCPILevel));
    connect(FCPIOnScreen, &QAction::triggered, this, [this](bool on) { SetCPIOnScreen(on); });
    FAutostart = FMenu->addAction(QString());
    FAutostart->setCheckable(true);
    FAutostart->setVisible(static_cast<bool>(FEnv.SetAutostart));
    connect(FAutostart, &QAction::triggered, this, [this](bool on) { ToggleAutostart(on); });
    FMenu->addSeparator();
    FQuit = FMenu->addAction(QString());
    connect(FQuit, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(FMenu.get(), &QMenu::aboutToShow, this, &MonitorApp::RefreshAvailability);

    FTickTimer = new QTimer(this);
    FTickTimer->setSingleShot(true);
    connect(FTickTimer, &QTimer::timeout, this, [this] {
        FFollower->Tick();
        Reload(); // shows what the follower switched to; the rules are the same, so nothing re-arms
    });

    FCPIPoll = new QTimer(this);
    FCPIPoll->setInterval(kCPIPollMs);
    connect(FCPIPoll, &QTimer::timeout, this, &MonitorApp::PollCPILevel);
    FCPIHide = new QTimer(this);
    FCPIHide->setSingleShot(true);
    FCPIHide->setInterval(kCPIShownMs);
    FCPIDisplay = std::make_unique<QLabel>();
    FCPIDisplay->setWindowFlags(
        Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    FCPIDisplay->setAttribute(Qt::WA_ShowWithoutActivating);
    FCPIDisplay->setAlignment(Qt::AlignCenter);
    FCPIDisplay->setStyleSheet(
        QStringLiteral("QLabel { background: #202428; color: #f0f0f0; border: 1px solid #e0483c; padding: 10px 18px; "
                       "font-size: 18px; }"));
    connect(FCPIHide, &QTimer::timeout, FCPIDisplay.get(), &QWidget::hide);

    if (FEnv.TrayAvailable) {
        // Read as PNG and nothing else: a reader free to guess loads every image plugin to ask it.
        QIcon logo;
        for (const int ratio : { 1, 2 }) {
            QImageReader reader(
                ratio == 1 ? QStringLiteral(":/monitor/logo.png") : QStringLiteral(":/monitor/logo@2x.png"), "PNG");
            reader.setAutoDetectImageFormat(false);
            QPixmap picture = QPixmap::fromImage(reader.read());
            picture.setDevicePixelRatio(ratio);
            if (!picture.isNull())
                logo.addPixmap(picture);
        }
        FTray = std::make_unique<QSystemTrayIcon>(logo);
        FTray->setContextMenu(FMenu.get());
        connect(FTray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger && FEnv.OpenConfigurator)
                FEnv.OpenConfigurator();
        });
        FTray->show();
    }
    Reload();
    if (!FEnv.TrayAvailable)
        TellOnce(NoTray,
            Tr("There is no system tray on this desktop: bvmon runs without its icon, and profiles still follow the "
               "applications."));
}

MonitorApp::~MonitorApp()
{
    delete FApplicationsDialog; // it stores through the switching, which may go with this
}

void MonitorApp::Reload()
{
    try {
        FRecords = FEnv.LoadRecords();
    } catch (const std::exception& e) {
        TellOnce(
            LoadFailed, Tr("The settings could not be loaded.") + QLatin1Char('\n') + QString::fromStdString(e.what()));
    }
    if (FEnv.Language && FRecords.Language >= 0 && FRecords.Language < FEnv.Language->LanguageCount()) {
        const std::string shortID = FEnv.Language->GetLanguageShortIDByIndex(FRecords.Language);
        if (shortID != FEnv.Language->LanguageName())
            FEnv.Language->SetLang(shortID);
    }
    FFollower->SetRules(FRecords.Rules());
    Retranslate();
    ShowRecords();
    UpdateFocusWatching();
    ScheduleTick();
    // The records may name another set or profile now: the next read is the new starting point,
    // not a change made on the mouse.
    FLastCPILevel.reset();
    UpdateCPIPolling();
}

void MonitorApp::OnMessage(const platform::WindowMessage& message)
{
    switch (message.Msg) {
    case platform::MSG_SETTINGS_CHANGED:
    case platform::MSG_LANGUAGE_CHANGED:
        // The configurator stored the language before telling; the record is the one truth.
        Reload();
        break;
    case platform::MSG_CLOSE_CONFIG:
        // A request to close, as the configurator takes it: scripts and tests end the monitor so.
        QCoreApplication::quit();
        break;
    default:
        break;
    }
}

void MonitorApp::Retranslate()
{
    for (int g = 0; g < 2; ++g)
        FModes[g]->setText(Tr(kModeNames[g]));
    for (int k = 0; k < 5; ++k)
        FProfiles[k]->setText(Tr(kProfileNames[k]));
    FOpen->setText(Tr("Open configurator"));
    FApplications->setText(Tr("Profiles for applications…"));
    FPause->setText(Tr("Pause switching by application"));
    FCPIOnScreen->setText(Tr("Show the CPI level on screen"));
    FAutostart->setText(Tr("Start at login"));
    FQuit->setText(Tr("Quit"));
}

void MonitorApp::ShowRecords()
{
    FModes[FRecords.Mode]->setChecked(true);
    FProfiles[FRecords.CurrentProfile()]->setChecked(true);
    {
        const QSignalBlocker block(FCPIOnScreen);
        FCPIOnScreen->setChecked(FRecords.CPIOnScreen[FRecords.CurrentProfile()]);
    }
    if (FEnv.AutostartOn) {
        const QSignalBlocker block(FAutostart);
        FAutostart->setChecked(FEnv.AutostartOn());
    }
    FToolTip = QStringLiteral("bvmon\n%1: %2")
                   .arg(Tr(kModeNames[FRecords.Mode]), Tr(kProfileNames[FRecords.CurrentProfile()]));
    if (FTray)
        FTray->setToolTip(FToolTip);
    RefreshAvailability();
}

void MonitorApp::RefreshAvailability()
{
    const bool running = FEnv.Switching->ConfiguratorRunning();
    for (QAction* a : FModes) {
        a->setEnabled(!running);
        a->setToolTip(running ? Tr(kConfiguratorRuns) : QString());
    }
    for (QAction* a : FProfiles) {
        a->setEnabled(!running);
        a->setToolTip(running ? Tr(kConfiguratorRuns) : QString());
    }
    // Both store into the profiles, which the configurator would store over on its next Apply.
    for (QAction* a : { FApplications, FCPIOnScreen }) {
        a->setEnabled(!running);
        a->setToolTip(running ? Tr(kConfiguratorRuns) : QString());
    }
    // The configurator may have changed the records; what it left is shown, and the focused
    // program counts again.
    if (FConfiguratorWasRunning && !running) {
        FConfiguratorWasRunning = false;
        Reload();
        FFollower->Reconsider();
        ScheduleTick();
    }
    FConfiguratorWasRunning = running;
}

void MonitorApp::ChooseMode(int g)
{
    if (FEnv.Switching->ConfiguratorRunning()) {
        RefreshAvailability();
        ShowRecords();
        return;
    }
    if (!FEnv.Switching->SwitchMode(g))
        TellSwitchFailure();
    Reload();
}

void MonitorApp::ChooseProfile(int k)
{
    if (FEnv.Switching->ConfiguratorRunning()) {
        RefreshAvailability();
        ShowRecords();
        return;
    }
    if (!FEnv.Switching->SwitchProfile(k))
        TellSwitchFailure();
    Reload();
}

void MonitorApp::TellSwitchFailure()
{
    Say(Tr(FEnv.Switching->LastError()));
}

void MonitorApp::OpenApplications()
{
    if (FEnv.Switching->ConfiguratorRunning()) {
        RefreshAvailability();
        return;
    }
    if (FApplicationsDialog) {
        FApplicationsDialog->raise();
        FApplicationsDialog->activateWindow();
        return;
    }
    FApplicationsDialog = new ApplicationsDialog(FRecords, FRecords.CurrentProfile(), *FEnv.Switching, FEnv.Programs);
    FApplicationsDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(FApplicationsDialog, &QDialog::accepted, this, &MonitorApp::Reload);
    FApplicationsDialog->show();
}

void MonitorApp::SetCPIOnScreen(bool on)
{
    if (FEnv.Switching->ConfiguratorRunning()) {
        RefreshAvailability();
        ShowRecords();
        return;
    }
    if (!FEnv.Switching->EditProfile(
            FRecords.CurrentProfile(), [on](TMOUSECONFIGINFO& c) { c.UseCPIOnScreenFlyShow = on ? 1 : 0; }))
        TellSwitchFailure();
    Reload();
}

bool MonitorApp::PollingCPI() const
{
    return FCPIPoll->isActive();
}

void MonitorApp::UpdateCPIPolling()
{
    const bool wanted = FEnv.ReadCPILevel && FRecords.CPIOnScreen[FRecords.CurrentProfile()];
    if (!wanted)
        FCPIPoll->stop();
    else if (!FCPIPoll->isActive())
        FCPIPoll->start();
}

void MonitorApp::PollCPILevel()
{
    // The configurator talks to the mouse while it runs; a level it sets is its own business.
    if (FEnv.Switching->ConfiguratorRunning()) {
        FLastCPILevel.reset();
        return;
    }
    const std::optional<int> level = FEnv.ReadCPILevel();
    if (level && FLastCPILevel && *level != *FLastCPILevel)
        ShowCPILevel(*level);
    FLastCPILevel = level;
}

void MonitorApp::ShowCPILevel(int level)
{
    QString text = Tr(util::UserText { "CPI level %1", { std::to_string(level + 1) } });
    if (level >= 0 && level < kCPILevelsUsed) {
        const CPILevelEntry used = DeviceCPILevel(FRecords.Levels[FRecords.CurrentProfile()][level]);
        text += QStringLiteral(": %1 CPI").arg(used.X);
    }
    FCPIDisplay->setText(text);
    FCPIDisplay->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        FCPIDisplay->move(
            area.center().x() - FCPIDisplay->width() / 2, area.bottom() - FCPIDisplay->height() - area.height() / 10);
    }
    FCPIDisplay->show();
    FCPIHide->start();
}

void MonitorApp::ToggleAutostart(bool on)
{
    try {
        if (FEnv.SetAutostart)
            FEnv.SetAutostart(on);
    } catch (const std::exception& e) {
        Say(Tr("Start at login could not be changed.") + QLatin1Char('\n') + QString::fromStdString(e.what()));
    }
    ShowRecords();
}

void MonitorApp::UpdateFocusWatching()
{
    const bool wanted = !FFollower->Paused() && FFollower->Rules().Active();
    if (!wanted) {
        FWatcherNotifier.reset();
        FWatcher.reset();
        return;
    }
    if (FWatcher || !FEnv.StartFocusWatcher)
        return;
    platform::FocusWatchStart start = FEnv.StartFocusWatcher([this](const std::string& program) {
        FFollower->OnFocus(program);
        ScheduleTick();
    });
    if (!start.Watcher) {
        TellOnce(NoFocus,
            Tr("Profiles cannot follow the applications here: the focused program cannot be seen.") + QLatin1Char('\n')
                + Tr(start.Error));
        return;
    }
    FWatcher = std::move(start.Watcher);
    FFollower->OnFocus(FWatcher->FocusedProgram());
    if (FWatcher->WaitHandle() >= 0) {
        FWatcherNotifier = std::make_unique<QSocketNotifier>(FWatcher->WaitHandle(), QSocketNotifier::Read);
        connect(FWatcherNotifier.get(), &QSocketNotifier::activated, this, &MonitorApp::OnFocusEvents);
    }
    ScheduleTick();
}

void MonitorApp::OnFocusEvents()
{
    if (FWatcher && !FWatcher->Dispatch()) {
        TellOnce(FocusLost, Tr(FWatcher->Error()));
        FWatcherNotifier.reset();
        FWatcher.reset();
    }
}

void MonitorApp::ScheduleTick()
{
    const auto deadline = FFollower->NextDeadline();
    if (!deadline) {
        FTickTimer->stop();
        return;
    }
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - FEnv.Clock->Now());
    FTickTimer->start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count())));
}

void MonitorApp::TellOnce(int which, const QString& text)
{
    if (FTold[which])
        return;
    FTold[which] = true;
    Say(text);
}

void MonitorApp::Say(const QString& text)
{
    if (FTray)
        FTray->showMessage(QStringLiteral("bvmon"), text, QSystemTrayIcon::Warning);
    if (FEnv.Tell)
        FEnv.Tell(text);
}

} // namespace bv::monitor_app
