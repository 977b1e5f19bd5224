#include "toolkit/keyboard_capture.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef BV_WAYLAND_INHIBIT
#include "platform/wayland_shortcuts_inhibit.h"

#include <QLoggingCategory>
#include <QPlatformSurfaceEvent>
#include <qpa/qplatformnativeinterface.h>
#endif

namespace bv::gui {

#ifdef BV_WAYLAND_INHIBIT
namespace {

// Off unless asked for (QT_LOGGING_RULES="bv.keyboard.info=true"): says whether the compositor
// let its shortcuts wait.
Q_LOGGING_CATEGORY(lcKeyboard, "bv.keyboard", QtWarningMsg)

// The program's one inhibit manager, made when a recorder first listens. A child of the
// application, so it is gone before the application closes the Wayland connection.
class SharedInhibit : public QObject {
public:
    explicit SharedInhibit(wl_display* display)
        : QObject(QCoreApplication::instance())
        , Inhibit(display)
    {
    }
    WaylandShortcutsInhibit Inhibit;
};

WaylandShortcutsInhibit* sharedInhibit()
{
    static QPointer<SharedInhibit> shared;
    static bool looked = false;
    if (!looked) {
        looked = true;
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        auto* display = native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")) : nullptr;
        if (!display)
            return nullptr;
        // No seat from Qt: the toolkit's lookup of it does not survive a compositor without one, and
        // the first seat announced, which is bound here, is the one the toolkit uses.
        shared = new SharedInhibit(display);
        if (!shared->Inhibit.Offered())
            qCInfo(lcKeyboard) << "The compositor does not offer keyboard-shortcuts-inhibit: its own shortcuts "
                                  "stay active while keys are recorded.";
    }
    return shared ? &shared->Inhibit : nullptr;
}

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void* surfaceOf(QWindow* window)
{
    if (!window || !window->handle())
        return nullptr;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? native->nativeResourceForWindow("surface", window) : nullptr;
}

} // namespace
#endif

KeyboardCapture::KeyboardCapture(QWidget* widget)
    : FWidget(widget)
{
    widget->grabKeyboard();
#ifdef BV_WAYLAND_INHIBIT
    if (!onWayland())
        return;
    FWindow = widget->window()->windowHandle();
    if (!FWindow)
        return;
    // A window shown again gets its surface only after its show event: it is followed from here.
    FWindow->installEventFilter(this);
    FollowSurface();
#endif
}

KeyboardCapture::~KeyboardCapture()
{
    ReleaseSurface();
    if (FWindow)
        FWindow->removeEventFilter(this);
    if (FWidget)
        FWidget->releaseKeyboard();
}

bool KeyboardCapture::eventFilter(QObject* watched, QEvent* event)
{
#ifdef BV_WAYLAND_INHIBIT
    if (watched == FWindow) {
        if (event->type() == QEvent::Expose)
            FollowSurface();
        else if (event->type() == QEvent::PlatformSurface
            && static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType()
                == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            ReleaseSurface();
    }
#endif
    return QObject::eventFilter(watched, event);
}

void KeyboardCapture::FollowSurface()
{
#ifdef BV_WAYLAND_INHIBIT
    void* surface = surfaceOf(FWindow);
    if (surface == FSurface)
        return;
    ReleaseSurface();
    WaylandShortcutsInhibit* inhibit = surface ? sharedInhibit() : nullptr;
    if (inhibit && inhibit->Inhibit(static_cast<wl_surface*>(surface))) {
        FSurface = surface;
        qCInfo(lcKeyboard) << "The compositor's shortcuts wait while" << FWidget.data() << "records keys.";
    }
#endif
}

void KeyboardCapture::ReleaseSurface()
{
#ifdef BV_WAYLAND_INHIBIT
    if (!FSurface)
        return;
    if (WaylandShortcutsInhibit* inhibit = sharedInhibit())
        inhibit->Release(static_cast<wl_surface*>(FSurface));
    FSurface = nullptr;
#endif
}

} // namespace bv::gui
