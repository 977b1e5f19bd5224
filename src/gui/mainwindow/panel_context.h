#pragma once
// What every panel of the main window is given by the window that composes it.

#include <functional>

class QWidget;

namespace bv {
class TDM;
}

namespace bv::gui {

class Dialogs;

struct PanelContext {
    TDM* DM = nullptr;
    Dialogs* UserDialogs = nullptr; // none: nothing is asked or told
    QWidget* Window = nullptr; // the parent of the panel's dialogs
    /// True while the window sets itself up: the controls then show the profile, and what they
    /// report is not a change of the user's.
    std::function<bool()> Starting;
    /// The profile took a change that OK must apply and Cancel must ask about.
    std::function<void()> Changed;
    /// Waits for the mouse between device steps while the window stays responsive.
    std::function<void(int ms)> Pause;
};

/// Set while a panel shows the profile: its controls' change handlers (connected as a user's
/// change would run them) then leave the profile alone, so a refresh never writes.
class ShowingProfile {
public:
    explicit ShowingProfile(bool& flag)
        : FFlag(flag)
        , FWas(flag)
    {
        flag = true;
    }
    ~ShowingProfile() { FFlag = FWas; }
    ShowingProfile(const ShowingProfile&) = delete;
    ShowingProfile& operator=(const ShowingProfile&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

} // namespace bv::gui
