#include "toolkit/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace bv::gui {

namespace {

long long nowNs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<long long>(std::chrono::nanoseconds(now).count());
}

bool probed()
{
    static const bool on = !qEnvironmentVariableIsEmpty("BV_STARTUP_PROBE");
    return on;
}

class FirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            std::printf("phase painted %lld\n", nowNs());
            // The painted frame reaches the screen when the event loop next runs.
            QTimer::singleShot(0, [] {
                std::printf("shown %lld\n", nowNs());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool FSeen = false;
};

} // namespace

void ReportFirstPaint(QWidget* window)
{
    window->installEventFilter(new FirstPaint(window));
}

void ReportFirstPaintWhenProbed(QWidget* window)
{
    if (probed())
        ReportFirstPaint(window);
}

void StartupPhase(const char* name)
{
    if (probed())
        std::printf("phase %s %lld\n", name, nowNs());
}

} // namespace bv::gui
