#pragma once
// bvmon's tray icon and menu over the core's records, switching and focus follower.

#include "applications_dialog.h"
#include "monitor/focus_follower.h"
#include "monitor/monitor_records.h"
#include "platform/focus_watcher.h"
#include "platform/monitor_link.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QSocketNotifier;
class QSystemTrayIcon;
class QTimer;

namespace bv {
class TuiLanguage;
}

namespace bv::monitor_app {

/// What the monitor needs from the system; tests pass fakes.
struct MonitorEnvironment {
    /// Reads the stored records again; throws when they cannot be read.
    std::function<monitor::MonitorRecords()> LoadRecords;
    monitor::MonitorSwitching* Switching = nullptr;
    const monitor::MonitorClock* Clock = nullptr;
    TuiLanguage* Language = nullptr; // the language file, loaded
    std::function<void()> OpenConfigurator;
    std::function<bool()> AutostartOn;
    std::function<void(bool on)> SetAutostart; // throws when the entry cannot be changed
    std::function<platform::FocusWatchStart(platform::FocusWatcher::Handler)> StartFocusWatcher;
    ProgramChooser Programs; // how "Profiles for applications…" finds a program
    /// The mouse's current CPI level; nullopt when it cannot be read. None: no CPI on screen.
    std::function<std::optional<int>()> ReadCPILevel;
    /// Tells the user something once (tray balloon, else the error stream).
    std::function<void(const QString& text)> Tell;
    bool TrayAvailable = true;
};

class MonitorApp final : public QObject {
    Q_OBJECT
public:
    explicit MonitorApp(MonitorEnvironment env, QObject* parent = nullptr);
    ~MonitorApp() override;

    /// Reloads the records and shows them (MSG_SETTINGS_CHANGED, start-up).
    void Reload();
    /// A message sent to the monitor's window.
    void OnMessage(const platform::WindowMessage& message);

    QMenu* Menu() const { return FMenu.get(); }
    QString ToolTip() const { return FToolTip; }
    QAction* ModeAction(int g) const { return FModes[g]; }
    QAction* ProfileAction(int k) const { return FProfiles[k]; }
    QAction* PauseAction() const { return FPause; }
    QAction* AutostartAction() const { return FAutostart; }
    QAction* OpenAction() const { return FOpen; }
    QAction* ApplicationsAction() const { return FApplications; }
    /// "Profiles for applications…" while it is open.
    ApplicationsDialog* Applications() const { return FApplicationsDialog; }
    QAction* QuitAction() const { return FQuit; }
    QAction* CPIOnScreenAction() const { return FCPIOnScreen; }
    /// The small window that shows a new CPI level for a second.
    QLabel* CPIDisplay() const { return FCPIDisplay.get(); }
    bool PollingCPI() const;
    monitor::FocusFollower& Follower() { return *FFollower; }
    bool WatchingFocus() const { return FWatcher != nullptr; }

    /// Greys out the switching items while the configurator runs; run before the menu shows.
    void RefreshAvailability();

private:
    void Retranslate();
    void ShowRecords();
    void ChooseMode(int g);
    void ChooseProfile(int k);
    void ToggleAutostart(bool on);
    void UpdateFocusWatching();
    void OnFocusEvents();
    void ScheduleTick();
    void TellOnce(int which, const QString& text);
    void Say(const QString& text);
    void TellSwitchFailure();
    void OpenApplications();
    void SetCPIOnScreen(bool on);
    void UpdateCPIPolling();
    void PollCPILevel();
    void ShowCPILevel(int level);

    class FollowerSwitching;

    MonitorEnvironment FEnv;
    monitor::MonitorRecords FRecords;
    std::unique_ptr<FollowerSwitching> FFollowerSwitching;
    std::unique_ptr<monitor::FocusFollower> FFollower;
    std::unique_ptr<QMenu> FMenu;
    std::unique_ptr<QSystemTrayIcon> FTray;
    std::array<QAction*, 2> FModes {};
    std::array<QAction*, 5> FProfiles {};
    QAction* FOpen = nullptr;
    QAction* FApplications = nullptr;
    QAction* FPause = nullptr;
    QAction* FAutostart = nullptr;
    QAction* FCPIOnScreen = nullptr;
    QAction* FQuit = nullptr;
    QString FToolTip;
    std::unique_ptr<platform::FocusWatcher> FWatcher;
    std::unique_ptr<QSocketNotifier> FWatcherNotifier;
    QTimer* FTickTimer = nullptr;
    QTimer* FCPIPoll = nullptr;
    QTimer* FCPIHide = nullptr;
    std::unique_ptr<QLabel> FCPIDisplay;
    QPointer<ApplicationsDialog> FApplicationsDialog;
    std::optional<int> FLastCPILevel; // what the mouse was at when last read; none after a write
    bool FConfiguratorWasRunning = false;
    std::array<bool, 4> FTold {};
};

} // namespace bv::monitor_app
