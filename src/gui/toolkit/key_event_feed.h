#pragma once
// Where the system has no low-level keyboard hook (Linux), the key recorders see the program's
// own key events: this application-wide filter hands them to the fed hook while a recorder has
// it, and swallows the ones the recorder blocks.

#include "keys/evdev_keys.h"
#include "platform/keyboard_hook.h"

#include <QObject>

#include <optional>
#include <set>

class QApplication;
class QKeyEvent;

namespace bv::gui {

/// The virtual key of a Qt key event: from its native scan code (X11 and Wayland key codes),
/// or, when the platform gives none, from the Qt key.
std::optional<VirtualKey> VirtualKeyOfEvent(const QKeyEvent& event);

class KeyEventFeed : public QObject {
    Q_OBJECT
public:
    explicit KeyEventFeed(platform::FedKeyboardHook& hook, QObject* parent = nullptr);

    /// Installs one feed on `app` for the system's fed hook; does nothing where the system
    /// delivers key events to the hook itself.
    static void InstallForApplication(QApplication& app);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::FedKeyboardHook& FHook;
    // Keys whose press was swallowed: their auto-repeat releases are swallowed too.
    std::set<std::uint8_t> FBlockedKeys;
};

} // namespace bv::gui
