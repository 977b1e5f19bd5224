// bvconfig: the mouse's configuration program.

#include "device/device_selection.h"
#include "device/udev_rule.h"
#include "device/uiHIDData.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/MainConfig.h"
#include "platform/folders.h"
#include "platform/hid_access.h"
#include "platform/monitor_link.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "settings/DMUnit.h"
#include "toolkit/key_event_feed.h"
#include "toolkit/startup_probe.h"
#include "toolkit/theme.h"
#include "toolkit/translation.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

std::filesystem::path toPath(const QString& s)
{
    const QByteArray u8 = s.toUtf8();
    return std::filesystem::path(std::u8string(u8.begin(), u8.end()));
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace bv;
    using namespace bv::gui;

    // A second start ends at once, without a word and without touching the first.
    auto instance = platform::SingleInstanceLock::Acquire(platform::kConfigWindowClass);
    if (instance.status() == platform::SingleInstanceLock::Status::HeldByOther)
        return 0;
    if (instance.status() == platform::SingleInstanceLock::Status::Unavailable)
        std::fprintf(stderr, "bvconfig: running without the single-instance lock: %s\n", instance.error().c_str());

    StartupPhase("process");
    QApplication app(argc, argv);
    StartupPhase("application");
    QApplication::setApplicationName("bvconfig");
    QApplication::setOrganizationName("Brisvane");
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brisvane.bvconfig"));
    ApplyTheme(app);
    StartupPhase("theme");
    KeyEventFeed::InstallForApplication(app);
    ModalDialogs dialogs;

    // The profile manager comes first: the window shows what it loaded.
    std::unique_ptr<platform::Registry> registry;
    std::unique_ptr<TDM> DM;
    DeviceLink link;
    try {
        registry = platform::openUserRegistry();
        DM = std::make_unique<TDM>(DMEnvironment::FromSystem(*registry));
        DM->DataModuleCreate();
        link = OpenDeviceLink(DeviceSelectionFromEnvironment());
    } catch (const std::exception& e) {
        dialogs.ShowMessageDialog(
            nullptr, Tr("Warning"), Tr("The settings could not be loaded."), QString::fromStdString(e.what()));
        return 1;
    }
    for (const std::string& problem : DM->StartupProblems())
        std::fprintf(stderr, "bvconfig: %s\n", problem.c_str());
    StartupPhase("profiles");

    auto monitor = platform::OpenSystemMonitorLink();
    MainWindowEnvironment env;
    env.DM = DM.get();
    env.Backend = link.backend;
    env.HidDeviceList = TuiHIDData::LoadHidDeviceList(platform::programFolder());
    env.UserDialogs = &dialogs;
    env.Monitor = monitor.get();
    env.ProgramFolder = platform::programFolder();
    env.ExecutableFolder = toPath(QCoreApplication::applicationDirPath());
    if (!link.virtualMouse)
        env.WhyMouseDenied = []() -> std::optional<std::pair<util::UserText, util::UserText>> {
            const auto node = DeniedMouseNode(platform::InspectHidNodes());
            if (!node)
                return std::nullopt;
            return std::make_pair(DeniedMouseText(*node), DeniedMouseAdvice(platform::FindInstalledUdevRule()));
        };

    TBrisvaneCfgMain window(std::move(env));
    if (window.IsTerminating())
        return 0;
    ReportFirstPaintWhenProbed(&window);
    window.show();
    StartupPhase("show");
    // What start-up replaced with factory values (a damaged record, an unreadable file) is told
    // once the window stands, in the stored language.
    if (!DM->StartupProblems().empty()) {
        QStringList problems;
        for (const std::string& problem : DM->StartupProblems())
            problems << QString::fromStdString(problem);
        QTimer::singleShot(0, &window, [&dialogs, &window, problems] {
            dialogs.ShowMessageDialog(
                &window, Tr("Warning"), Tr("The settings could not be loaded."), problems.join('\n'));
        });
    }
    return app.exec();
}
