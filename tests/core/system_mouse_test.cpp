#include "platform/system_mouse.h"
#include "platform_scoped_env.h"
#include "settings/system_mouse_params.h"
#include "temp_dir.h"
#include "util/uiThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/run_process.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#endif

using namespace bv;
using namespace bv::platform;

namespace {

// Remembers every call in order; answers Applied unless told otherwise.
class FakeMouseSettings final : public SystemMouseSettings {
public:
    std::vector<std::string> Calls;
    SettingResult Answer;

protected:
    SettingResult DoSetDoubleClickTime(std::uint32_t ms) override
    {
        return record("double-click " + std::to_string(ms));
    }
    SettingResult DoSetMouseAcceleration(const MouseAcceleration& v) override
    {
        return record("acceleration " + std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]));
    }
    SettingResult DoSetMouseSpeed(std::int32_t s) override { return record("speed " + std::to_string(s)); }
    SettingResult DoSetWheelScrollLines(std::uint32_t l) override { return record("wheel " + std::to_string(l)); }

private:
    SettingResult record(std::string call)
    {
        Calls.push_back(std::move(call));
        return Answer;
    }
};

} // namespace

TEST(SystemMouseParams, HandsAccelerationSpeedAndWheelToTheSystemInThatOrder)
{
    struct Case {
        TSystemMouseParams params;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        { { 10, 3, 0 }, { "acceleration 0,0,0", "speed 10", "wheel 3" } },
        { { 1, 20, 1 }, { "acceleration 7,0,1", "speed 1", "wheel 20" } },
        { { 20, 1, 2 }, { "acceleration 4,6,2", "speed 20", "wheel 1" } },
        { { 5, 5, 3 }, { "acceleration 4,0,1", "speed 5", "wheel 5" } },
        // Damaged profiles: no read outside the table, no speed the system refuses, no wheel that
        // stops scrolling everywhere.
        { { 0, 0, 4 }, { "acceleration 0,0,0", "speed 1", "wheel 1" } },
        { { 99, -3, -1 }, { "acceleration 0,0,0", "speed 20", "wheel 1" } },
    };
    for (const auto& c : cases) {
        FakeMouseSettings fake;
        ApplySystemMouseParams(fake, c.params);
        EXPECT_EQ(fake.Calls, c.calls) << c.params.PointerSpeed << "/" << c.params.WheelLines << "/"
                                       << c.params.AccelerationIndex;
    }
}

TEST(SystemMouseParams, TheWorkerUsesItsOwnCopyAndRecordsWhatWasAsked)
{
    auto fake = std::make_shared<FakeMouseSettings>();
    fake->Answer = { SettingStatus::Unsupported, "not here" };
    TSystemMouseParams params { 12, 7, 1 };
    ASSERT_TRUE(StartApplySystemMouseParams(fake, params));
    params = { 1, 1, 0 }; // the caller goes on with its own values
    TuiThread::WaitForAll();

    EXPECT_EQ(fake->Calls, (std::vector<std::string> { "acceleration 7,0,1", "speed 12", "wheel 7" }));
    const RequestedMouseSettings asked = fake->Requested();
    EXPECT_EQ(asked.PointerSpeed, 12);
    EXPECT_EQ(asked.WheelScrollLines, 7u);
    EXPECT_EQ(asked.Acceleration, (MouseAcceleration { 7, 0, 1 }));
    EXPECT_FALSE(asked.DoubleClickTime);
    EXPECT_FALSE(StartApplySystemMouseParams(nullptr, params));
}

// Two quick Applies: the second worker waits for the first, so the system ends with the newer values.
TEST(SystemMouseParams, WorkersFinishInTheOrderTheyWereStarted)
{
    class GatedSettings final : public SystemMouseSettings {
    public:
        std::mutex Lock;
        std::condition_variable Changed;
        bool Released = false;
        std::vector<std::int32_t> Speeds;

    protected:
        SettingResult DoSetDoubleClickTime(std::uint32_t) override { return {}; }
        SettingResult DoSetMouseAcceleration(const MouseAcceleration&) override { return {}; }
        SettingResult DoSetMouseSpeed(std::int32_t s) override
        {
            std::unique_lock lock(Lock);
            Speeds.push_back(s);
            Changed.notify_all();
            // The first Apply's worker is held up, as by a slow desktop.
            if (s == 5)
                Changed.wait(lock, [this] { return Released; });
            return {};
        }
        SettingResult DoSetWheelScrollLines(std::uint32_t) override { return {}; }
    };
    auto settings = std::make_shared<GatedSettings>();
    ASSERT_TRUE(StartApplySystemMouseParams(settings, { 5, 3, 0 }));
    {
        std::unique_lock lock(settings->Lock);
        settings->Changed.wait(lock, [&] { return !settings->Speeds.empty(); });
    }
    ASSERT_TRUE(StartApplySystemMouseParams(settings, { 9, 3, 0 }));
    {
        // Room for the second worker to overtake, were it allowed to.
        std::unique_lock lock(settings->Lock);
        settings->Changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return settings->Speeds.size() > 1; });
        settings->Released = true;
        settings->Changed.notify_all();
    }
    TuiThread::WaitForAll();
    EXPECT_EQ(settings->Speeds, (std::vector<std::int32_t> { 5, 9 }));
    EXPECT_EQ(settings->Requested().PointerSpeed, 9);
}

TEST(SystemMouseSettings, TheDemoSwitchKeepsTheSystemsSettings)
{
    platform_test::ScopedEnv env;
    env.set("BV_KEEP_SYSTEM_MOUSE", "1");
    auto settings = OpenSystemMouseSettings();
    const SettingResult r = settings->SetDoubleClickTime(250);
    EXPECT_EQ(r.Status, SettingStatus::Unsupported);
    EXPECT_NE(r.Detail.find("BV_KEEP_SYSTEM_MOUSE"), std::string::npos);
    EXPECT_EQ(settings->Requested().DoubleClickTime, 250u);
}

#ifndef _WIN32

namespace {

std::string readAll(const std::filesystem::path& p)
{
    std::ifstream in(p);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// A stand-in for gsettings: logs its arguments, then behaves as `body` says.
struct FakeGsettings {
    test::TempDir dir;
    std::filesystem::path program = dir / "gsettings";
    std::filesystem::path log = dir / "calls.log";

    explicit FakeGsettings(const std::string& body)
    {
        std::ofstream(program) << "#!/bin/sh\necho \"$*\" >> '" << log.string() << "'\n" << body << "\n";
        ::chmod(program.c_str(), 0755);
    }
    std::string calls() const { return readAll(log); }
};

// Keeps what is set, one file per key beside the log, and prints it back.
constexpr const char* kWritable = R"(d=$(dirname "$0")
case "$1" in writable) echo true;; set) echo "$4" > "$d/$3";; get) cat "$d/$3";; esac; exit 0)";

} // namespace

TEST(GsettingsMouseSettings, WritesTheDesktopsMouseKeysAndAsksOnce)
{
    FakeGsettings gsettings(kWritable);
    auto settings = OpenGsettingsMouseSettings(gsettings.program);

    EXPECT_EQ(settings->SetDoubleClickTime(350).Status, SettingStatus::Applied);
    const auto r = ApplySystemMouseParams(*settings, { 15, 20, 1 });
    EXPECT_EQ(r.Acceleration.Status, SettingStatus::Applied);
    EXPECT_EQ(r.PointerSpeed.Status, SettingStatus::Applied);
    EXPECT_EQ(r.WheelLines.Status, SettingStatus::Unsupported) << "no desktop key for lines per notch";
    EXPECT_EQ(settings->SetMouseAcceleration({ 0, 0, 0 }).Status, SettingStatus::Applied);

    EXPECT_EQ(gsettings.calls(),
        "writable org.gnome.desktop.peripherals.mouse double-click\n"
        "set org.gnome.desktop.peripherals.mouse double-click 350\n"
        "get org.gnome.desktop.peripherals.mouse double-click\n"
        "set org.gnome.desktop.peripherals.mouse accel-profile 'adaptive'\n"
        "get org.gnome.desktop.peripherals.mouse accel-profile\n"
        "set org.gnome.desktop.peripherals.mouse speed 0.5000\n"
        "get org.gnome.desktop.peripherals.mouse speed\n"
        "set org.gnome.desktop.peripherals.mouse accel-profile 'flat'\n"
        "get org.gnome.desktop.peripherals.mouse accel-profile\n");
    EXPECT_EQ(settings->Requested().WheelScrollLines, 20u) << "kept even though the desktop cannot take it";
}

TEST(GsettingsMouseSettings, ReportsWhatTheDesktopCannotTakeInsteadOfClaimingSuccess)
{
    struct Case {
        const char* name;
        const char* body; // empty: no program at all
        SettingStatus status;
        const char* detail;
    };
    const Case cases[] = {
        { "no gsettings", nullptr, SettingStatus::Unsupported, "not found" },
        { "no mouse schema", R"(echo "No such schema" >&2; exit 1)", SettingStatus::Unsupported, "No such schema" },
        // Without a session bus the write would only go to memory and be lost.
        { "memory backend", R"(echo "GLib-GIO-Message: Using the 'memory' GSettings backend." >&2; echo true)",
            SettingStatus::Unsupported, "memory" },
        { "locked key", "echo false", SettingStatus::Unsupported, "locked" },
        { "refused write", R"(case "$1" in writable) echo true;; *) echo "bad value" >&2; exit 1;; esac)",
            SettingStatus::Failed, "bad value" },
        // gsettings says yes, but the value is not there when read back.
        { "dropped write", R"(case "$1" in writable) echo true;; get) echo 0.0;; esac)", SettingStatus::Failed,
            "did not keep" },
    };
    for (const auto& c : cases) {
        FakeGsettings gsettings(c.body ? c.body : "");
        platform_test::ScopedEnv env;
        std::filesystem::path program = gsettings.program;
        if (!c.body) { // looked up along a PATH that does not have it
            std::filesystem::remove(gsettings.program);
            env.set("PATH", gsettings.dir.str());
            program.clear();
        }
        auto settings = OpenGsettingsMouseSettings(program);
        const SettingResult r = settings->SetMouseSpeed(3);
        EXPECT_EQ(r.Status, c.status) << c.name;
        EXPECT_NE(r.Detail.find(c.detail), std::string::npos) << c.name << ": " << r.Detail;
        EXPECT_EQ(settings->Requested().PointerSpeed, 3) << c.name;
    }
}

TEST(GsettingsMouseSettings, PointerSpeedKeepsTheDefaultInTheMiddleAndBothEnds)
{
    const std::pair<int, double> cases[]
        = { { 1, -1.0 }, { 10, 0.0 }, { 20, 1.0 }, { 15, 0.5 }, { 0, -1.0 }, { 99, 1.0 } };
    for (const auto& [speed, desktop] : cases)
        EXPECT_DOUBLE_EQ(DesktopPointerSpeed(speed), desktop) << speed;
}

TEST(RunProcess, CollectsOutputAndStopsAProgramThatHangs)
{
    const ProcessResult ok
        = RunProcess({ "/bin/sh", "-c", "echo out; echo err >&2; exit 3" }, std::chrono::seconds(10));
    EXPECT_TRUE(ok.Started);
    EXPECT_EQ(ok.ExitCode, 3);
    EXPECT_EQ(ok.Out, "out\n");
    EXPECT_EQ(ok.Err, "err\n");

    const ProcessResult hung = RunProcess({ "/bin/sh", "-c", "exec sleep 30" }, std::chrono::milliseconds(100));
    EXPECT_TRUE(hung.TimedOut);
    EXPECT_EQ(hung.ExitCode, -1);

    const ProcessResult missing = RunProcess({ "/nonexistent/program" }, std::chrono::seconds(1));
    EXPECT_FALSE(missing.Started);
    EXPECT_FALSE(missing.Error.empty());
}

#else

namespace {

// The user's settings before the test, put back afterwards: on a real desktop these tests change
// what every program sees.
struct SavedWindowsMouse {
    UINT doubleClick = GetDoubleClickTime();
    int accel[3] = {};
    int speed = 0;
    UINT lines = 0;
    SavedWindowsMouse()
    {
        SystemParametersInfoW(SPI_GETMOUSE, 0, accel, 0);
        SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0);
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    }
    ~SavedWindowsMouse()
    {
        SetDoubleClickTime(doubleClick);
        SystemParametersInfoW(SPI_SETMOUSE, 0, accel, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
            reinterpret_cast<void*>(static_cast<INT_PTR>(speed)), SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
};

} // namespace

TEST(WindowsMouseSettings, TheSystemReportsWhatWasSet)
{
    SavedWindowsMouse saved;
    auto settings = OpenSystemMouseSettings();
    ASSERT_EQ(settings->SetDoubleClickTime(350).Status, SettingStatus::Applied);
    const auto r = ApplySystemMouseParams(*settings, { 7, 20, 1 });
    EXPECT_EQ(r.Acceleration.Status, SettingStatus::Applied) << r.Acceleration.Detail;
    EXPECT_EQ(r.PointerSpeed.Status, SettingStatus::Applied) << r.PointerSpeed.Detail;
    EXPECT_EQ(r.WheelLines.Status, SettingStatus::Applied) << r.WheelLines.Detail;

    EXPECT_EQ(GetDoubleClickTime(), 350u);
    int accel[3] = { -1, -1, -1 };
    int speed = 0;
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, accel, 0));
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0));
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ((MouseAcceleration { accel[0], accel[1], accel[2] }), (MouseAcceleration { 7, 0, 1 }));
    EXPECT_EQ(speed, 7);
    EXPECT_EQ(lines, 20u);
}

#endif
