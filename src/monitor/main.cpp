// bvmon: the companion monitor of bvconfig. Tray icon, quick switching, start at login, and
// profiles that follow the focused application.

#include "core_switching.h"
#include "monitor_app.h"
#include "monitor_text.h"

#include "device/device_selection.h"
#include "device/uiHIDData.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "platform/monitor_link.h"
#include "platform/registry.h"
#include "platform/running_programs.h"
#include "platform/single_instance.h"
#include "settings/DMUnit.h"
#include "ui/uiLanguage.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QProcess>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace {

constexpr const char* kAutostartName = "bvmon";

#ifdef _WIN32
constexpr const char* kConfiguratorFile = "bvconfig.exe";
#else
constexpr const char* kConfiguratorFile = "bvconfig";
#endif

std::filesystem::path toPath(const QString& s)
{
    const QByteArray u8 = s.toUtf8();
    return std::filesystem::path(std::u8string(u8.begin(), u8.end()));
}

// bvmon --autostart on|off: switches start at login without starting the monitor.
int AutostartCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--autostart"));
    const QString value = at + 1 < args.size() ? args[at + 1] : QString();
    if (value != QLatin1String("on") && value != QLatin1String("off")) {
        std::fprintf(stderr, "usage: bvmon [--autostart on|off]\n");
        return 1;
    }
    try {
        bv::platform::SetAutostart(kAutostartName, value == QLatin1String("on"), toPath(app.applicationFilePath()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bvmon: start at login could not be switched %s: %s\n", qPrintable(value), e.what());
        return 2;
    }
    std::printf(
        "start at login: %s (%s)\n", qPrintable(value), bv::platform::AutostartLocation(kAutostartName).c_str());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace bv;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--autostart") == 0)
            return AutostartCommand(argc, argv);
        std::fprintf(stderr, "usage: bvmon [--autostart on|off]\n");
        return 1;
    }

    // A second start (the configurator starts the monitor each time) ends at once.
    auto instance = platform::SingleInstanceLock::Acquire(platform::kMonitorWindowClass);
    if (instance.status() == platform::SingleInstanceLock::Status::HeldByOther)
        return 0;
    if (instance.status() == platform::SingleInstanceLock::Status::Unavailable)
        std::fprintf(stderr, "bvmon: running without the single-instance lock: %s\n", instance.error().c_str());

    QApplication app(argc, argv);
    QApplication::setApplicationName("bvmon");
    QApplication::setOrganizationName("Brisvane");
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<platform::Registry> registry;
    try {
        registry = platform::openUserRegistry();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bvmon: the settings could not be opened: %s\n", e.what());
        return 2;
    }
    DeviceLink device;
    try {
        device = OpenDeviceLink(DeviceSelectionFromEnvironment());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bvmon: the mouse cannot be reached: %s\n", e.what());
        return 2;
    }
    TuiLanguage language;
    if (!language.LoadFromFolder(platform::programFolder()))
        std::fprintf(stderr, "bvmon: %s; the menu shows English\n", language.LastLoadError().c_str());

    monitor_app::SwitchingLinks links;
    links.Records = DMEnvironment::FromSystem(*registry);
    links.Backend = device.backend;
    links.HidDeviceList = TuiHIDData::LoadHidDeviceList(platform::programFolder());
    // A plain wait: events handled in the middle of a switch could start another one.
    links.Pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    monitor_app::CoreSwitching switching(std::move(links));
    monitor::SteadyMonitorClock clock;
    auto link = platform::OpenSystemMonitorLink();
    const QString configurator = QDir(QCoreApplication::applicationDirPath()).filePath(kConfiguratorFile);

    monitor_app::MonitorEnvironment env;
    env.LoadRecords = [&switching] { return switching.LoadRecords(); };
    env.Switching = &switching;
    env.Clock = &clock;
    env.Language = &language;
    env.OpenConfigurator = [&link, configurator] {
        if (platform::SingleInstanceLock::IsHeld(platform::kConfigWindowClass)
            && link->BringToFront(platform::kConfigWindowClass))
            return;
        if (!QProcess::startDetached(configurator, {}))
            std::fprintf(stderr, "bvmon: %s could not be started\n", qPrintable(configurator));
    };
    if (platform::AutostartReachable()) {
        env.AutostartOn = [] { return platform::IsAutostartOn(kAutostartName); };
        env.SetAutostart = [](bool on) {
            platform::SetAutostart(kAutostartName, on, toPath(QCoreApplication::applicationFilePath()));
        };
    }
    env.StartFocusWatcher
        = [](platform::FocusWatcher::Handler handler) { return platform::StartFocusWatcher(std::move(handler)); };
    env.ReadCPILevel = [&switching] { return switching.ReadCPILevel(); };
    env.Programs.Browse
        = [](QWidget* parent) { return QFileDialog::getOpenFileName(parent, monitor_app::Tr("Choose a program")); };
    env.Programs.PickRunning = [](QWidget* parent) {
        QStringList programs;
        for (const std::string& program : platform::RunningPrograms())
            programs << QString::fromStdString(program);
        bool ok = false;
        const QString chosen = QInputDialog::getItem(parent, monitor_app::Tr("Add running program…"),
            monitor_app::Tr("Choose a program"), programs, 0, false, &ok);
        return ok ? chosen : QString();
    };
    env.Tell = [](const QString& text) { std::fprintf(stderr, "bvmon: %s\n", qPrintable(text)); };
    env.TrayAvailable = QSystemTrayIcon::isSystemTrayAvailable();

    monitor_app::MonitorApp monitorApp(std::move(env));

    // The configurator's messages: MSG_SETTINGS_CHANGED, MSG_LANGUAGE_CHANGED.
    platform::MessageEndpoint endpoint(
        platform::kMonitorWindowClass, [&monitorApp](const platform::WindowMessage& m) { monitorApp.OnMessage(m); });
    std::unique_ptr<QSocketNotifier> messages;
    if (!endpoint.IsOpen())
        std::fprintf(stderr, "bvmon: the configurator's messages cannot be received: %s\n", endpoint.Error().c_str());
    else if (endpoint.WaitHandle() >= 0) {
        messages = std::make_unique<QSocketNotifier>(endpoint.WaitHandle(), QSocketNotifier::Read);
        QObject::connect(messages.get(), &QSocketNotifier::activated, [&endpoint] { endpoint.Dispatch(); });
    }
    return app.exec();
}
