// bvmon's tray layer over fakes: records, switching, focus source and clock.
#include "monitor_app.h"
#include "monitor_fakes.h"

#include "platform/monitor_link.h"
#include "ui/uiLanguage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>
#include <stdexcept>

using namespace bv;
using namespace bv::monitor;
using namespace bv::monitor_app;
using namespace bv::test;

namespace {

class FakeSwitching final : public MonitorSwitching {
public:
    explicit FakeSwitching(MonitorRecords& r)
        : records(r)
    {
    }
    int CurrentMode() const override { return records.Mode; }
    int CurrentProfile() const override { return records.CurrentProfile(); }
    bool ConfiguratorRunning() const override { return configurator; }
    bool SwitchProfile(int k) override
    {
        profiles.push_back(k);
        if (!error.empty())
            return false;
        records.ModeProfiles[records.Mode] = k;
        return true;
    }
    bool SwitchMode(int g) override
    {
        modes.push_back(g);
        if (!error.empty())
            return false;
        records.Mode = g;
        return true;
    }
    bool EditProfile(int k, const ProfileEdit& edit) override
    {
        edits.push_back(k);
        if (!error.empty())
            return false;
        auto config = std::make_unique<TMOUSECONFIGINFO>();
        WriteProfileApplications(*config, records.Applications[k]);
        config->UseCPIOnScreenFlyShow = records.CPIOnScreen[k];
        edit(*config);
        records.Applications[k] = ReadProfileApplications(*config);
        records.CPIOnScreen[k] = config->UseCPIOnScreenFlyShow != 0;
        return true;
    }
    util::UserText LastError() const override { return { error, {} }; }

    MonitorRecords& records;
    bool configurator = false;
    std::string error;
    std::vector<int> profiles, modes, edits;
};

} // namespace

class MonitorAppTest : public QObject {
    Q_OBJECT

    MonitorRecords records;
    std::unique_ptr<FakeSwitching> switching;
    FakeClock clock;
    TuiLanguage language;
    QStringList told;
    platform::FocusWatcher::Handler focus;
    int watchersStarted = 0;
    bool watcherFails = false;
    bool autostart = false;
    bool autostartFails = false;
    QStringList browsed, running; // what the program choosers answer, front first

    MonitorEnvironment environment()
    {
        MonitorEnvironment env;
        env.LoadRecords = [this] {
            if (records.Language < 0)
                throw std::runtime_error("registry unreadable");
            return records;
        };
        env.Switching = switching.get();
        env.Clock = &clock;
        env.Language = &language;
        env.AutostartOn = [this] { return autostart; };
        env.SetAutostart = [this](bool on) {
            if (autostartFails)
                throw std::runtime_error("read-only folder");
            autostart = on;
        };
        env.StartFocusWatcher = [this](platform::FocusWatcher::Handler handler) {
            ++watchersStarted;
            platform::FocusWatchStart start;
            if (watcherFails) {
                start.Error = "There is no X display to tell which window has the focus.";
                return start;
            }
            focus = std::move(handler);
            start.Watcher = std::make_unique<FakeWatcher>();
            return start;
        };
        env.Tell = [this](const QString& text) { told << text; };
        env.Programs.Browse = [this](QWidget*) { return browsed.isEmpty() ? QString() : browsed.takeFirst(); };
        env.Programs.PickRunning = [this](QWidget*) { return running.isEmpty() ? QString() : running.takeFirst(); };
        env.TrayAvailable = false;
        return env;
    }

private slots:
    void initTestCase() { QVERIFY(language.LoadFromFolder(BV_BUILD_DIR)); }

    void init()
    {
        records = MonitorRecords {};
        records.Mode = 1;
        records.ModeProfiles = { 0, 2 };
        switching = std::make_unique<FakeSwitching>(records);
        told.clear();
        focus = nullptr;
        watchersStarted = 0;
        watcherFails = autostart = autostartFails = false;
        browsed.clear();
        running.clear();
    }

    void menuShowsTheRecordsInTheirLanguageAndFollowsAChange()
    {
        records.Language = 1; // Simplified Chinese
        MonitorApp app(environment());
        QVERIFY(app.ModeAction(1)->isChecked());
        QVERIFY(app.ProfileAction(2)->isChecked());
        QCOMPARE(app.ModeAction(0)->text(), QStringLiteral("模式 1"));
        QCOMPARE(app.QuitAction()->text(), QStringLiteral("退出"));
        QCOMPARE(told.size(), 1); // no tray here: said once
        QVERIFY(told[0].contains(QStringLiteral("bvmon")));

        records.Language = 0;
        records.ModeProfiles[1] = 4;
        app.OnMessage({ platform::MSG_LANGUAGE_CHANGED, 0, 0 });
        QCOMPARE(app.ModeAction(0)->text(), QStringLiteral("Mode 1"));
        QCOMPARE(app.OpenAction()->text(), QStringLiteral("Open configurator"));
        QCOMPARE(app.ToolTip(), QStringLiteral("bvmon\nMode 2: PROFILE5"));
        QVERIFY(app.ProfileAction(4)->isChecked());
        QCOMPARE(told.size(), 1); // the missing tray is told once

        records.Language = -1; // the store cannot be read: told, and the last records stay
        app.OnMessage({ platform::MSG_SETTINGS_CHANGED, 0, 0 });
        QCOMPARE(told.size(), 2);
        QVERIFY(app.ProfileAction(4)->isChecked());
    }

    void menuSwitchesUnlessTheConfiguratorRuns()
    {
        MonitorApp app(environment());
        app.ProfileAction(3)->trigger();
        app.ModeAction(0)->trigger();
        QCOMPARE(switching->profiles, std::vector<int> { 3 });
        QCOMPARE(switching->modes, std::vector<int> { 0 });
        QVERIFY(app.ModeAction(0)->isChecked());
        QCOMPARE(app.ToolTip(), QStringLiteral("bvmon\nMode 1: PROFILE1"));

        switching->error = "The mouse did not take all settings. Connect it and press Apply again.";
        app.ProfileAction(1)->trigger();
        QCOMPARE(told.last(), QString::fromStdString(switching->error));
        QVERIFY(app.ProfileAction(0)->isChecked()); // the menu shows what the records hold

        switching->error.clear();
        switching->configurator = true;
        app.RefreshAvailability();
        for (int k = 0; k < 5; ++k) {
            QVERIFY(!app.ProfileAction(k)->isEnabled());
            QVERIFY(app.ProfileAction(k)->toolTip().contains(QStringLiteral("configurator")));
        }
        QVERIFY(!app.ModeAction(1)->isEnabled());
        QVERIFY(!app.CPIOnScreenAction()->isEnabled());
        QVERIFY(app.QuitAction()->isEnabled());
        switching->configurator = false;
        app.RefreshAvailability();
        QVERIFY(app.ProfileAction(4)->isEnabled());
        QVERIFY(!app.ProfileAction(4)->toolTip().contains(QStringLiteral("configurator")));
    }

    void focusIsWatchedOnlyWhileSomeProfileFollowsAProgram()
    {
        MonitorApp app(environment());
        QCOMPARE(watchersStarted, 0);
        records.Applications[3] = { true, { "/opt/game/game" } };
        app.OnMessage({ platform::MSG_SETTINGS_CHANGED, 0, 0 });
        QVERIFY(app.WatchingFocus());

        focus("/opt/game/game");
        clock.now += kFocusDebounce;
        QTRY_COMPARE(switching->profiles, std::vector<int> { 3 });
        QTRY_COMPARE(app.ToolTip(), QStringLiteral("bvmon\nMode 2: PROFILE4"));
        focus("/usr/bin/shell");
        clock.now += kFocusDebounce;
        QTRY_COMPARE(switching->profiles, (std::vector<int> { 3, 2 }));

        app.PauseAction()->trigger();
        QVERIFY(!app.WatchingFocus());
        app.PauseAction()->trigger();
        QVERIFY(app.WatchingFocus());
    }

    void aFocusThatCannotBeSeenIsToldOnceAndTheRestWorks()
    {
        watcherFails = true;
        records.Applications[0] = { true, { "game" } };
        MonitorApp app(environment());
        app.OnMessage({ platform::MSG_SETTINGS_CHANGED, 0, 0 });
        QVERIFY(!app.WatchingFocus());
        QCOMPARE(told.filter(QStringLiteral("no X display")).size(), 1);
        app.ProfileAction(1)->trigger();
        QCOMPARE(switching->profiles, std::vector<int> { 1 });
    }

    void theApplicationsDialogEditsEachProfileAndStoresOnlyWhatChanged()
    {
        records.Applications[0] = { false, { "/usr/bin/old" } };
        MonitorApp app(environment());
        QVERIFY(!app.WatchingFocus());
        app.ApplicationsAction()->trigger();
        ApplicationsDialog* dialog = app.Applications();
        QVERIFY(dialog);
        QCOMPARE(dialog->ProfileBox()->currentIndex(), 2); // mode 2's profile
        QCOMPARE(dialog->Programs()->count(), 0);

        browsed = { QStringLiteral("/opt/game/game"), QStringLiteral("/opt/game/game") };
        dialog->BrowseButton()->click();
        QCOMPARE(dialog->Programs()->item(0)->text(), QStringLiteral("/opt/game/game"));
        QVERIFY(dialog->AutoSwitchBox()->isChecked()); // the first program turns it on
        dialog->BrowseButton()->click();
        QCOMPARE(dialog->Programs()->count(), 1);
        QCOMPARE(dialog->Problem()->text(), QStringLiteral("The program is in the list already."));
        dialog->RunningButton()->click(); // cancelled: nothing
        QCOMPARE(dialog->Programs()->count(), 1);

        // Profile 1: one program added and removed again, so the profile stays as stored.
        dialog->ProfileBox()->setCurrentIndex(0);
        QCOMPARE(dialog->Programs()->count(), 1);
        QVERIFY(!dialog->AutoSwitchBox()->isChecked());
        running = { QStringLiteral("/usr/bin/editor") };
        dialog->RunningButton()->click();
        QVERIFY(!dialog->AutoSwitchBox()->isChecked()); // not the first program
        dialog->Programs()->setCurrentRow(1);
        dialog->RemoveButton()->click();
        QCOMPARE(dialog->Programs()->count(), 1);

        switching->error = "The profile could not be stored: read-only folder";
        dialog->accept();
        QVERIFY(app.Applications());
        QVERIFY(dialog->Problem()->text().contains(QStringLiteral("read-only folder")));
        switching->error.clear();
        switching->edits.clear();
        dialog->accept();
        QCOMPARE(switching->edits, std::vector<int> { 2 });
        QCOMPARE(records.Applications[2], (ProfileApplications { true, { "/opt/game/game" } }));
        QCOMPARE(records.Applications[0], (ProfileApplications { false, { "/usr/bin/old" } }));
        QVERIFY(app.WatchingFocus()); // the monitor follows the new list at once
    }

    void aNewCPILevelOnTheMouseShowsForASecondWhereTheProfileAsksForIt()
    {
        std::optional<int> level = 1;
        int reads = 0;
        records.Levels[2][2] = { 1750, 1750, 1 }; // mode 2 uses profile 3
        MonitorEnvironment env = environment();
        env.ReadCPILevel = [&] {
            ++reads;
            return level;
        };
        MonitorApp app(std::move(env));
        QVERIFY(!app.PollingCPI()); // the profile's option is off: the mouse is never asked
        app.CPIOnScreenAction()->trigger();
        QCOMPARE(switching->edits, std::vector<int> { 2 });
        QVERIFY(app.CPIOnScreenAction()->isChecked());
        QVERIFY(app.PollingCPI());

        QTRY_VERIFY(reads >= 1);
        QVERIFY(!app.CPIDisplay()->isVisible()); // the first read is where the mouse is, not a change
        level = 2;
        QTRY_VERIFY(app.CPIDisplay()->isVisible());
        QCOMPARE(app.CPIDisplay()->text(), QStringLiteral("CPI level 3: 1750 CPI"));
        QTRY_VERIFY_WITH_TIMEOUT(!app.CPIDisplay()->isVisible(), 2000);

        const int before = reads;
        QTest::qWait(1000);
        QVERIFY(reads - before <= 5); // at most four times a second

        switching->configurator = true;
        const int whileConfiguratorRuns = reads;
        level = std::nullopt; // an unplugged mouse shows nothing either
        QTest::qWait(600);
        QCOMPARE(reads, whileConfiguratorRuns);
        switching->configurator = false;
        QTRY_VERIFY(reads > whileConfiguratorRuns);
        QVERIFY(!app.CPIDisplay()->isVisible());
        level = 0;
        QTest::qWait(600);
        QVERIFY(!app.CPIDisplay()->isVisible()); // an unreadable level is no starting point

        app.CPIOnScreenAction()->trigger();
        QVERIFY(!app.PollingCPI());
    }

    void startAtLoginFollowsTheEntryAndReportsAFailure()
    {
        MonitorApp app(environment());
        QVERIFY(!app.AutostartAction()->isChecked());
        app.AutostartAction()->trigger();
        QVERIFY(autostart);
        QVERIFY(app.AutostartAction()->isChecked());
        autostartFails = true;
        app.AutostartAction()->trigger();
        QVERIFY(autostart);
        QVERIFY(app.AutostartAction()->isChecked()); // shows the entry as it is
        QVERIFY(told.last().contains(QStringLiteral("read-only folder")));

        // Where start at login cannot be reached, the item is not offered.
        MonitorEnvironment without = environment();
        without.AutostartOn = nullptr;
        without.SetAutostart = nullptr;
        MonitorApp plain(std::move(without));
        QVERIFY(app.AutostartAction()->isVisible());
        QVERIFY(!plain.AutostartAction()->isVisible());
    }
};

QTEST_MAIN(MonitorAppTest)
#include "monitor_app_test.moc"
