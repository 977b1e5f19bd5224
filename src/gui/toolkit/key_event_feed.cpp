#include "toolkit/key_event_feed.h"

#include <QApplication>
#include <QKeyEvent>

namespace bv::gui {

namespace {

bool isModifierVk(std::uint8_t vk)
{
    return (vk >= 0xA0 && vk <= 0xA5) || vk == 0x5B || vk == 0x5C;
}

// Keypad keys that Qt reports as navigation keys are the keypad with Num Lock off.
bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Clear:
        return true;
    default:
        return false;
    }
}

std::optional<VirtualKey> fromQtKey(int key, bool keypad)
{
    const auto vk = [](int code, bool extended = false) {
        return std::optional<VirtualKey>(VirtualKey { static_cast<std::uint8_t>(code), extended });
    };
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return vk(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? vk(0x60 + key - Qt::Key_0) : vk(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vk(0x70 + key - Qt::Key_F1);
    // The separate navigation block is extended; the same keys on the keypad are not.
    const bool block = !keypad;
    switch (key) {
    case Qt::Key_Escape:
        return vk(0x1B);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk(0x09);
    case Qt::Key_Backspace:
        return vk(0x08);
    case Qt::Key_Return:
        return vk(0x0D);
    case Qt::Key_Enter:
        return vk(0x0D, true);
    case Qt::Key_Space:
        return vk(0x20);
    case Qt::Key_Insert:
        return vk(0x2D, block);
    case Qt::Key_Delete:
        return vk(0x2E, block);
    case Qt::Key_Home:
        return vk(0x24, block);
    case Qt::Key_End:
        return vk(0x23, block);
    case Qt::Key_PageUp:
        return vk(0x21, block);
    case Qt::Key_PageDown:
        return vk(0x22, block);
    case Qt::Key_Left:
        return vk(0x25, block);
    case Qt::Key_Up:
        return vk(0x26, block);
    case Qt::Key_Right:
        return vk(0x27, block);
    case Qt::Key_Down:
        return vk(0x28, block);
    case Qt::Key_Clear:
        return vk(0x0C);
    case Qt::Key_Shift:
        return vk(0xA0);
    case Qt::Key_Control:
        return vk(0xA2);
    case Qt::Key_Alt:
        return vk(0xA4);
    case Qt::Key_AltGr:
        return vk(0xA5, true);
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return vk(0x5B, true);
    case Qt::Key_Super_R:
        return vk(0x5C, true);
    case Qt::Key_Menu:
        return vk(0x5D, true);
    case Qt::Key_CapsLock:
        return vk(0x14);
    case Qt::Key_NumLock:
        return vk(0x90, true);
    case Qt::Key_ScrollLock:
        return vk(0x91);
    case Qt::Key_Pause:
        return vk(0x13);
    case Qt::Key_Print:
        return vk(0x2C, true);
    case Qt::Key_Asterisk:
        return vk(0x6A);
    case Qt::Key_Plus:
        return keypad ? vk(0x6B) : vk(0xBB);
    case Qt::Key_Minus:
        return keypad ? vk(0x6D) : vk(0xBD);
    case Qt::Key_Slash:
        return keypad ? vk(0x6F, true) : vk(0xBF);
    case Qt::Key_Period:
        return keypad ? vk(0x6E) : vk(0xBE);
    case Qt::Key_Equal:
        return vk(0xBB);
    case Qt::Key_Comma:
        return vk(0xBC);
    case Qt::Key_Semicolon:
        return vk(0xBA);
    case Qt::Key_Apostrophe:
        return vk(0xDE);
    case Qt::Key_QuoteLeft:
        return vk(0xC0);
    case Qt::Key_BracketLeft:
        return vk(0xDB);
    case Qt::Key_BracketRight:
        return vk(0xDD);
    case Qt::Key_Backslash:
        return vk(0xDC);
    case Qt::Key_VolumeMute:
        return vk(0xAD, true);
    case Qt::Key_VolumeDown:
        return vk(0xAE, true);
    case Qt::Key_VolumeUp:
        return vk(0xAF, true);
    case Qt::Key_MediaNext:
        return vk(0xB0, true);
    case Qt::Key_MediaPrevious:
        return vk(0xB1, true);
    case Qt::Key_MediaStop:
        return vk(0xB2, true);
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaTogglePlayPause:
        return vk(0xB3, true);
    case Qt::Key_Back:
        return vk(0xA6, true);
    case Qt::Key_Forward:
        return vk(0xA7, true);
    case Qt::Key_Refresh:
        return vk(0xA8, true);
    case Qt::Key_Stop:
        return vk(0xA9, true);
    case Qt::Key_Search:
        return vk(0xAA, true);
    case Qt::Key_Favorites:
        return vk(0xAB, true);
    case Qt::Key_HomePage:
        return vk(0xAC, true);
    case Qt::Key_LaunchMail:
        return vk(0xB4, true);
    case Qt::Key_Calculator:
        return vk(0xB7, true);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<VirtualKey> VirtualKeyOfEvent(const QKeyEvent& event)
{
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (event.nativeScanCode() > kXkbKeycodeOffset) {
        const bool numLock = !(keypad && isNavigationKey(event.key()));
        return EvdevToVirtualKey(event.nativeScanCode() - kXkbKeycodeOffset, numLock);
    }
    return fromQtKey(event.key(), keypad);
}

KeyEventFeed::KeyEventFeed(platform::FedKeyboardHook& hook, QObject* parent)
    : QObject(parent)
    , FHook(hook)
{
}

void KeyEventFeed::InstallForApplication(QApplication& app)
{
    platform::FedKeyboardHook* hook = platform::SystemFedKeyboardHook();
    if (!hook || app.findChild<KeyEventFeed*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app.installEventFilter(new KeyEventFeed(*hook, &app));
}

bool KeyEventFeed::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!FHook.IsEnabled())
        return false;
    if (type == QEvent::ShortcutOverride) {
        // No shortcut acts while a recorder has the keyboard: the key arrives as a plain press,
        // which the recorder may swallow.
        event->accept();
        return true;
    }
    // A key event reaches its window first and then travels through the widgets: feed it once,
    // at the window, where swallowing it keeps it from every widget.
    if (!watched->isWindowType())
        return false;

    const auto* key = static_cast<const QKeyEvent*>(event);
    const std::optional<VirtualKey> vk = VirtualKeyOfEvent(*key);
    if (!vk)
        return false;
    const bool release = type == QEvent::KeyRelease;
    // X11 and Wayland repeat a held key as release and press; the Windows hook sees only the
    // presses, and the recorders expect that.
    if (release && key->isAutoRepeat())
        return FBlockedKeys.contains(vk->vk);
    if (!isModifierVk(vk->vk)) {
        const Qt::KeyboardModifiers mods = key->modifiers();
        FHook.SyncModifiers(mods.testFlag(Qt::ShiftModifier), mods.testFlag(Qt::ControlModifier),
            mods.testFlag(Qt::AltModifier), mods.testFlag(Qt::MetaModifier));
    }
    const std::uint32_t flags
        = (vk->extended ? platform::kHookFlagExtended : 0u) | (release ? platform::kHookFlagReleased : 0u);
    // The event's own time: a busy window must not squeeze or stretch the recorded delays.
    const bool blocked = FHook.Feed(vk->vk, key->nativeScanCode(), flags, static_cast<std::uint32_t>(key->timestamp()));
    if (blocked && !release)
        FBlockedKeys.insert(vk->vk);
    else
        FBlockedKeys.erase(vk->vk);
    return blocked;
}

} // namespace bv::gui
