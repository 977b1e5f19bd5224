#pragma once
// The profile manager as one bvctl run sees it: the user's registry and documents folder, loaded
// as the window loads them at start-up, with the window kept from starting while bvctl changes
// what it would load.

#include "commands.h"

#include "device/apply_sequence.h"
#include "platform/monitor_link.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "settings/DMUnit.h"

#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace bv::cli {

/// The profile manager after start-up; its problems are printed as warnings.
struct ProfileManagerSession {
    std::unique_ptr<platform::Registry> registry;
    std::unique_ptr<TDM> dm;
};

inline ProfileManagerSession StartProfileManager()
{
    ProfileManagerSession s;
    s.registry = platform::openUserRegistry();
    s.dm = std::make_unique<TDM>(DMEnvironment::FromSystem(*s.registry));
    s.dm->DataModuleCreate();
    for (const auto& problem : s.dm->StartupProblems())
        std::cerr << "warning: " << problem << '\n';
    return s;
}

/// Held while bvctl changes the stored modes, profiles or the mouse as the window would: one bvctl
/// at a time, and never beside the window, which would store its own view over ours.
class WindowExcluded {
public:
    /// Throws BadInput while the configurator runs; waits up to 30 s for another bvctl.
    explicit WindowExcluded(const std::string& what)
    {
        using namespace std::chrono_literals;
        for (auto waited = 0ms;; waited += 50ms) {
            own_.emplace(platform::SingleInstanceLock::Acquire("bvctl-settings"));
            if (own_->status() != platform::SingleInstanceLock::Status::HeldByOther)
                break;
            if (waited >= 30s)
                throw BadInput(
                    "another bvctl has been changing the settings for 30 seconds; try again when it is done");
            std::this_thread::sleep_for(50ms);
        }
        window_.emplace(platform::SingleInstanceLock::Acquire(platform::kConfigWindowClass));
        switch (window_->status()) {
        case platform::SingleInstanceLock::Status::HeldByOther:
            throw BadInput("bvconfig is running: close it before bvctl " + what
                + ", or use its window; both changing the settings at once would lose one's changes");
        case platform::SingleInstanceLock::Status::Unavailable:
            std::cerr << "warning: cannot tell whether bvconfig is running: " << window_->error() << '\n';
            break;
        case platform::SingleInstanceLock::Status::Acquired:
            break;
        }
    }

private:
    std::optional<platform::SingleInstanceLock> own_;
    std::optional<platform::SingleInstanceLock> window_;
};

/// Tells the monitor program, when it runs, that the mouse changed.
inline void TellMonitor(std::int64_t wParam, std::int64_t lParam)
{
    auto link = platform::OpenSystemMonitorLink();
    // No monitor running is the usual case: it reads the stored values when it starts.
    if (link)
        (void)link->Send(platform::kMonitorWindowClass, { platform::MSG_SETTINGS_CHANGED, wParam, lParam });
}

/// The sequences' pauses, and the monitor told with these parameters.
inline DeviceSequenceHooks CliSequenceHooks(std::int64_t wParam, std::int64_t lParam)
{
    DeviceSequenceHooks hooks;
    hooks.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    hooks.tellMonitor = [wParam, lParam] { TellMonitor(wParam, lParam); };
    return hooks;
}

/// "0x0040".
std::string hexAddress(std::uint16_t a);

/// What --verify found, as JSON, and the sentence for stderr when the mouse differs.
inline nlohmann::ordered_json VerifyJson(const VerifyResult& v)
{
    nlohmann::ordered_json differing = nlohmann::ordered_json::array();
    for (const auto& d : v.Differing)
        differing.push_back({ { "first", d.First }, { "last", d.Last }, { "what", d.What } });
    return { { "matches", v.Matches() }, { "differing", differing }, { "unread", v.Unread } };
}

/// Empty when the mouse holds what was written.
std::string VerifyProblem(const VerifyResult& v, const std::string& readError);

} // namespace bv::cli
