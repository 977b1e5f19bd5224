#pragma once
// Profiles that follow the focused application: debounces the focus, picks the profile that the
// focused program's rules name, and brings back the profile that was there before when the focus
// moves on to a program in no list.

#include "monitor/application_rules.h"

#include <chrono>
#include <optional>
#include <string>

namespace bv::monitor {

using MonitorTime = std::chrono::steady_clock::time_point;

/// The time source; tests pass a fake one.
class MonitorClock {
public:
    virtual ~MonitorClock() = default;
    virtual MonitorTime Now() const = 0;
};

class SteadyMonitorClock final : public MonitorClock {
public:
    MonitorTime Now() const override { return std::chrono::steady_clock::now(); }
};

/// What the follower may look at and do: the same switching as the monitor's menu.
class ProfileSwitching {
public:
    virtual ~ProfileSwitching() = default;
    virtual int CurrentMode() const = 0;
    /// The profile that the current mode uses.
    virtual int CurrentProfile() const = 0;
    /// True while the configurator runs: then nothing is switched from outside it.
    virtual bool ConfiguratorRunning() const = 0;
    /// Makes `profile` the current mode's profile, in the records and in the mouse. False when it
    /// did not happen; the implementation tells the user why.
    [[nodiscard]] virtual bool SwitchProfile(int profile) = 0;
};

/// A focus that lasts less than this switches nothing.
inline constexpr std::chrono::milliseconds kFocusDebounce { 300 };

class FocusFollower {
public:
    FocusFollower(ProfileSwitching& switching, const MonitorClock& clock);

    /// New rules (the profiles were reloaded); when they differ, the focused program is judged again.
    void SetRules(ApplicationRules rules);
    const ApplicationRules& Rules() const { return FRules; }
    /// Paused: focus changes switch nothing and the profile in use stays. Resuming judges the
    /// focused program again.
    void SetPaused(bool paused);
    bool Paused() const { return FPaused; }

    /// The focus moved to `program` (its full path; empty when no program has the focus).
    void OnFocus(std::string program);
    /// Judges the focused program again, as if it had just taken the focus (after the
    /// configurator ended, for example).
    void Reconsider();
    /// Acts on a focus that has lasted long enough; call it at NextDeadline() or later.
    void Tick();
    /// When Tick has something to do; nullopt when nothing waits.
    [[nodiscard]] std::optional<MonitorTime> NextDeadline() const;

    /// The profile that comes back when the focus leaves the listed programs, if any.
    std::optional<int> ProfileToRestore() const;

private:
    void Decide(const std::string& program);

    struct Restore {
        int Mode = 0;
        int Profile = 0; // what was there before
        int SwitchedTo = 0; // what the follower made current
    };

    ProfileSwitching& FSwitching;
    const MonitorClock& FClock;
    ApplicationRules FRules;
    bool FPaused = false;
    std::string FFocused;
    std::optional<MonitorTime> FPendingSince;
    std::optional<Restore> FRestore;
};

} // namespace bv::monitor
