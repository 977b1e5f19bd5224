// The whole monitor on the virtual mouse: the tray layer with the real switching over a profile
// manager of its own, a focus source and a clock driven by the test. What counts is what the
// mouse's memory holds afterwards.
#include "core_switching.h"
#include "monitor_app.h"
#include "monitor_fakes.h"

#include "device/config_image.h"
#include "device/uiHIDData.h"
#include "device/virtual_hid_backend.h"
#include "device/virtual_mouse.h"
#include "platform/monitor_link.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "settings/DMUnit.h"
#include "settings/app_settings.h"
#include "temp_dir.h"
#include "ui/uiLanguage.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

using namespace bv;
using namespace bv::monitor;
using namespace bv::monitor_app;
using namespace bv::test;

namespace {

constexpr const char* kGame = "/opt/games/arena/arena";

} // namespace

class MonitorSwitchingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> home;
    std::unique_ptr<platform::Registry> registry;
    std::shared_ptr<VirtualMouse> mouse;
    std::shared_ptr<VirtualHidBackend> backend;
    std::unique_ptr<CoreSwitching> switching;
    FakeClock clock;
    TuiLanguage language;
    platform::FocusWatcher::Handler focus;
    QStringList told;

    DMEnvironment records() const
    {
        DMEnvironment env;
        env.Registry = registry.get();
        env.DocumentsFolder = test::utf8(home->path() / "Documents");
        env.ProgramFolder = BV_BUILD_DIR;
        env.OSDefaultLang = "0409";
        return env;
    }

    MonitorEnvironment environment()
    {
        MonitorEnvironment env;
        env.LoadRecords = [this] { return switching->LoadRecords(); };
        env.Switching = switching.get();
        env.Clock = &clock;
        env.Language = &language;
        env.StartFocusWatcher = [this](platform::FocusWatcher::Handler handler) {
            focus = std::move(handler);
            platform::FocusWatchStart start;
            auto watcher = std::make_unique<FakeWatcher>();
            watcher->focused = "/usr/bin/xterm";
            start.Watcher = std::move(watcher);
            return start;
        };
        env.ReadCPILevel = [this] { return switching->ReadCPILevel(); };
        env.Tell = [this](const QString& text) { told << text; };
        env.TrayAvailable = false;
        return env;
    }

    /// True when configuration set `set` holds what Apply writes for stored profile `profile`.
    /// The current CPI level is the mouse's own, so that byte may differ.
    bool setHolds(int set, int profile) const
    {
        TDM dm(records());
        dm.DataModuleCreate();
        auto record = std::make_unique<TMOUSEPROFILEINFO>();
        if (!dm.ReadProfileInfo(*record, profile))
            return false;
        const auto image = EncodeConfigurationImage(*record);
        if (!image)
            return false;
        VirtualMouseState state = mouse->state();
        for (TDeviceWrite& w : ConfigurationImageWrites(*image, set)) {
            if (w.What == "CPI block")
                w.Data[1] = state.memory[w.Address + 1];
            if (!std::equal(w.Data.begin(), w.Data.end(), state.memory.begin() + w.Address))
                return false;
        }
        return true;
    }

    std::uint8_t selector() const { return mouse->state().memory[kAddrSetSelector]; }

private slots:
    void initTestCase() { QVERIFY(language.LoadFromFolder(BV_BUILD_DIR)); }

    void init()
    {
        home = std::make_unique<test::TempDir>();
        // The locks of this run only: another test's configurator must not grey this monitor.
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(home->path().string()));
        registry = platform::openMemoryRegistry();
        mouse = std::make_shared<VirtualMouse>();
        backend = std::make_shared<VirtualHidBackend>();
        backend->add(mouse);
        SwitchingLinks links;
        links.Records = records();
        links.Backend = backend;
        switching = std::make_unique<CoreSwitching>(std::move(links));
        told.clear();
        focus = nullptr;
    }

    void aListedProgramsFocusPutsItsProfileIntoTheMouseAndLeavingBringsTheOldOneBack()
    {
        QVERIFY(switching->SwitchMode(1)); // mode 2 uses PROFILE2 from the factory
        QVERIFY(switching->EditProfile(2, [](TMOUSECONFIGINFO& c) { (void)AddApplication(c, kGame); }));
        MonitorApp app(environment());
        told.clear(); // no tray here
        QVERIFY(app.WatchingFocus());

        focus(kGame);
        clock.now += kFocusDebounce;
        QTRY_VERIFY(setHolds(1, 2));
        QCOMPARE(selector(), 1); // the mouse still uses mode 2's set
        QVERIFY(!setHolds(1, 1));
        QCOMPARE(app.ToolTip(), QStringLiteral("bvmon\nMode 2: PROFILE3"));

        focus("/usr/bin/xterm");
        clock.now += kFocusDebounce;
        QTRY_VERIFY(setHolds(1, 1));
        QCOMPARE(selector(), 1);
        QVERIFY(setHolds(0, 0)); // mode 1's set was written with its own profile each time
        QCOMPARE(app.ToolTip(), QStringLiteral("bvmon\nMode 2: PROFILE2"));
        QVERIFY(told.isEmpty());
    }

    void theMenuSwitchesTheRecordsAndTheMouse()
    {
        MonitorApp app(environment());
        told.clear(); // no tray here
        app.ProfileAction(3)->trigger();
        QVERIFY(setHolds(0, 3));
        QCOMPARE(selector(), 0);
        QCOMPARE(switching->LoadRecords().ModeProfiles, (std::array<int, 2> { 3, 1 }));
        QCOMPARE(registry->readDword(platform::RootKey::CurrentUser, kRegistryKeyPath, "ProfileID").value_or(9), 3u);

        app.ModeAction(1)->trigger();
        QCOMPARE(selector(), 1);
        QCOMPARE(switching->LoadRecords().Mode, 1);
        QVERIFY(app.ProfileAction(1)->isChecked());
        QVERIFY2(told.isEmpty(), qPrintable(told.join('|')));
    }

    void theCPILevelIsReadFromTheSetInUseButNotWhileBvctlTalksToTheMouse()
    {
        QVERIFY(switching->SwitchMode(1));
        TuiHIDData hid(backend);
        QCOMPARE(WriteDeviceByte(hid, 3, kAddrCPIBlock + 1), 0u); // set 0 at another level
        QCOMPARE(WriteDeviceByte(hid, 2, kAddrCPIBlock + kSetStride + 1), 0u);
        QCOMPARE(switching->ReadCPILevel(), std::optional<int>(2));
        {
            auto bvctl = platform::SingleInstanceLock::Acquire("bvctl-settings");
            QCOMPARE(switching->ReadCPILevel(), std::optional<int>());
        }
        mouse->unplug();
        QCOMPARE(switching->ReadCPILevel(), std::optional<int>());
    }

    void aFailureIsToldAndNothingIsWrittenBesideTheConfigurator()
    {
        MonitorApp app(environment());
        told.clear(); // no tray here
        mouse->setFaults({ .failTransfer = 8 });
        app.ProfileAction(4)->trigger();
        QVERIFY2(told.size() == 1, qPrintable(told.join('|')));
        QVERIFY(told[0].contains(QStringLiteral("did not take")));
        QCOMPARE(switching->LoadRecords().CurrentProfile(), 4); // stored all the same

        mouse->setFaults({});
        const VirtualMouseState before = mouse->state();
        auto configurator = platform::SingleInstanceLock::Acquire(platform::kConfigWindowClass);
        QCOMPARE(configurator.status(), platform::SingleInstanceLock::Status::Acquired);
        app.RefreshAvailability();
        QVERIFY(!app.ProfileAction(1)->isEnabled());
        QVERIFY(!switching->SwitchProfile(1));
        QVERIFY(!switching->SwitchMode(1));
        QVERIFY(QString::fromStdString(switching->LastError().Source).contains(QStringLiteral("configurator")));
        QVERIFY(mouse->state() == before);
        QCOMPARE(switching->LoadRecords().CurrentProfile(), 4);
    }
};

QTEST_MAIN(MonitorSwitchingTest)
#include "monitor_switching_test.moc"
