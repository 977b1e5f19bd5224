// The X11 focus watcher against a real X server (run under xvfb-run): real windows, whose
// active-window and process-ID properties the test sets as a window manager would.
#include "platform/focus_watcher.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace bv::platform;

namespace {

// The test's own connection: it plays the window manager.
class FakeWindowManager {
public:
    FakeWindowManager()
    {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c))
            return;
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        active = atom("_NET_ACTIVE_WINDOW");
        pid = atom("_NET_WM_PID");
        supported = atom("_NET_SUPPORTED");
    }
    ~FakeWindowManager() { xcb_disconnect(c); }
    bool ok() const { return !xcb_connection_has_error(c); }

    xcb_atom_t atom(const char* name)
    {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(r);
        return a;
    }
    void announceActiveWindow()
    {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, supported, XCB_ATOM_ATOM, 32, 1, &active);
        xcb_flush(c);
    }
    void withdrawAnnouncement()
    {
        xcb_delete_property(c, root, supported);
        xcb_flush(c);
    }
    // A mapped window; `owner` 0 leaves it without a process ID.
    xcb_window_t window(std::uint32_t owner)
    {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
            XCB_COPY_FROM_PARENT, 0, nullptr);
        if (owner)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, pid, XCB_ATOM_CARDINAL, 32, 1, &owner);
        xcb_map_window(c, w);
        xcb_flush(c);
        return w;
    }
    void activate(xcb_window_t w)
    {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, active, XCB_ATOM_WINDOW, 32, 1, &w);
        xcb_flush(c);
    }

    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t active = 0, pid = 0, supported = 0;
};

// A child program that waits, so that its window belongs to another process.
struct Child {
    pid_t pid = 0;
    Child()
    {
        char* argv[] = { const_cast<char*>("sleep"), const_cast<char*>("60"), nullptr };
        if (posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ) != 0)
            pid = 0;
    }
    ~Child()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

// Waits for the watcher's events and dispatches them until `seen` holds `count` entries.
void Await(FocusWatcher& watcher, const std::vector<std::string>& seen, std::size_t count)
{
    for (int i = 0; i < 50 && seen.size() < count; ++i) {
        pollfd p { watcher.WaitHandle(), POLLIN, 0 };
        ::poll(&p, 1, 100);
        ASSERT_TRUE(watcher.Dispatch()) << watcher.Error();
    }
}

// The X server resets when its last client leaves, and a connection made during the reset fails:
// one connection stays open for the whole run.
class KeepServer : public ::testing::Environment {
public:
    void SetUp() override { FConnection = xcb_connect(nullptr, nullptr); }
    void TearDown() override { xcb_disconnect(FConnection); }

private:
    xcb_connection_t* FConnection = nullptr;
};

const auto* const kKeepServer = ::testing::AddGlobalTestEnvironment(new KeepServer);

} // namespace

TEST(X11FocusWatcher, ReportsTheProgramOfEachWindowThatTakesTheFocus)
{
    FakeWindowManager wm;
    ASSERT_TRUE(wm.ok()) << "no X display (run under xvfb-run)";
    wm.announceActiveWindow();
    Child child;
    ASSERT_GT(child.pid, 0);
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const std::string sleep = std::filesystem::canonical("/proc/" + std::to_string(child.pid) + "/exe").string();

    const xcb_window_t mine = wm.window(static_cast<std::uint32_t>(::getpid()));
    const xcb_window_t theirs = wm.window(static_cast<std::uint32_t>(child.pid));
    const xcb_window_t nobodys = wm.window(0);
    wm.activate(mine);

    std::vector<std::string> seen;
    FocusWatchStart start = StartFocusWatcher([&](const std::string& program) { seen.push_back(program); });
    ASSERT_TRUE(start.Watcher) << start.Error;
    FocusWatcher& watcher = *start.Watcher;
    EXPECT_EQ(watcher.FocusedProgram(), self);

    wm.activate(theirs);
    Await(watcher, seen, 1);
    wm.activate(theirs); // the same again tells nothing new
    wm.activate(nobodys);
    Await(watcher, seen, 2);
    wm.activate(mine);
    Await(watcher, seen, 3);
    EXPECT_EQ(seen, (std::vector<std::string> { sleep, "", self }));
}

TEST(X11FocusWatcher, SaysSoWhereTheFocusCannotBeSeen)
{
    FakeWindowManager wm;
    ASSERT_TRUE(wm.ok()) << "no X display (run under xvfb-run)";
    wm.withdrawAnnouncement();
    FocusWatchStart start = StartFocusWatcher([](const std::string&) {});
    EXPECT_FALSE(start.Watcher);
    EXPECT_NE(start.Error.find("_NET_ACTIVE_WINDOW"), std::string::npos) << start.Error;

    const std::string display = std::getenv("DISPLAY");
    ::unsetenv("DISPLAY");
    ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    start = StartFocusWatcher([](const std::string&) {});
    ::setenv("DISPLAY", display.c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(start.Watcher);
    EXPECT_NE(start.Error.find("Wayland"), std::string::npos) << start.Error;
}

TEST(X11FocusWatcher, PropertyValuesAndExeLinksAreReadWithCare)
{
    const std::uint8_t four[] = { 0x2A, 0, 0, 0 };
    EXPECT_EQ(SingleCardinal(32, four), 42u);
    EXPECT_EQ(SingleCardinal(8, four), std::nullopt);
    EXPECT_EQ(SingleCardinal(32, std::span<const std::uint8_t>(four, 3)), std::nullopt);
    EXPECT_EQ(ProgramFromExeLink("/opt/game/game (deleted)"), "/opt/game/game");
    EXPECT_EQ(ProgramFromExeLink(" (deleted)"), " (deleted)");
}
