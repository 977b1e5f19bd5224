#pragma once
// The monitor tests' clock and focus source.

#include "monitor/focus_follower.h"
#include "platform/focus_watcher.h"

#include <string>

namespace bv::test {

class FakeClock final : public monitor::MonitorClock {
public:
    monitor::MonitorTime Now() const override { return now; }
    monitor::MonitorTime now {};
};

/// Reports `focused` when asked; the test calls the handler for each focus change.
class FakeWatcher final : public platform::FocusWatcher {
public:
    std::string FocusedProgram() override { return focused; }
    int WaitHandle() const override { return -1; }
    bool Dispatch() override { return true; }
    const std::string& Error() const override { return error; }
    std::string focused = "/usr/bin/shell";
    std::string error;
};

} // namespace bv::test
