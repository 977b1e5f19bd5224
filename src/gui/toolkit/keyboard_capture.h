#pragma once
// While a key recorder listens, the keys the desktop keeps for itself (Alt+Tab, Alt+F4, Super,
// Print, media keys) should reach it too. On X11 an active keyboard grab does that; on Wayland,
// where an ordinary window has no grab, the compositor is asked to let its shortcuts wait for the
// recording window, where it offers keyboard-shortcuts-inhibit.

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace bv::gui {

/// Holds the keyboard for a recorder from construction to destruction: the grab, and on Wayland
/// the compositor's shortcuts inhibited for the widget's window while that window is on screen.
class KeyboardCapture : public QObject {
    Q_OBJECT

public:
    explicit KeyboardCapture(QWidget* widget);
    ~KeyboardCapture() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Follows the window's surface: a window shown again gets a new one.
    void FollowSurface();
    void ReleaseSurface();

    QPointer<QWidget> FWidget;
    QPointer<QWindow> FWindow;
    void* FSurface = nullptr; // the wl_surface inhibited
};

} // namespace bv::gui
