#include "monitor/focus_follower.h"

namespace bv::monitor {

FocusFollower::FocusFollower(ProfileSwitching& switching, const MonitorClock& clock)
    : FSwitching(switching)
    , FClock(clock)
{
}

void FocusFollower::SetRules(ApplicationRules rules)
{
    if (rules == FRules)
        return;
    FRules = std::move(rules);
    Reconsider();
}

void FocusFollower::SetPaused(bool paused)
{
    if (paused == FPaused)
        return;
    FPaused = paused;
    // The user took over: what is in use now stays, even when the focus moves on.
    FRestore.reset();
    FPendingSince.reset();
    if (!paused)
        Reconsider();
}

void FocusFollower::OnFocus(std::string program)
{
    FFocused = std::move(program);
    FPendingSince = FClock.Now();
}

void FocusFollower::Reconsider()
{
    FPendingSince = FClock.Now();
}

std::optional<MonitorTime> FocusFollower::NextDeadline() const
{
    if (!FPendingSince || FPaused)
        return std::nullopt;
    return *FPendingSince + kFocusDebounce;
}

void FocusFollower::Tick()
{
    const auto deadline = NextDeadline();
    if (!deadline || FClock.Now() < *deadline)
        return;
    FPendingSince.reset();
    Decide(FFocused);
}

std::optional<int> FocusFollower::ProfileToRestore() const
{
    if (!FRestore)
        return std::nullopt;
    return FRestore->Profile;
}

void FocusFollower::Decide(const std::string& program)
{
    if (FPaused)
        return;
    if (FSwitching.ConfiguratorRunning()) {
        // The configurator owns the records while it runs; whatever it does there is the user's
        // choice, so nothing is brought back afterwards either.
        FRestore.reset();
        return;
    }
    const int mode = FSwitching.CurrentMode();
    const int current = FSwitching.CurrentProfile();
    // A profile chosen by hand (or another mode) since the follower switched is left alone.
    if (FRestore && (FRestore->Mode != mode || FRestore->SwitchedTo != current))
        FRestore.reset();

    const std::optional<int> target = FRules.Active() ? FRules.ProfileFor(program) : std::nullopt;
    if (target) {
        if (*target == current) {
            if (!FRestore)
                FRestore = Restore { mode, current, current };
            return;
        }
        if (!FSwitching.SwitchProfile(*target))
            return;
        const int before = FRestore ? FRestore->Profile : current;
        FRestore = Restore { mode, before, *target };
        return;
    }
    if (!FRestore)
        return;
    const Restore restore = *FRestore;
    FRestore.reset();
    if (restore.Profile != current)
        (void)FSwitching.SwitchProfile(restore.Profile); // a failure is told by the switcher itself
}

} // namespace bv::monitor
