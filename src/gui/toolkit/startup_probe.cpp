#include "toolkit/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace bv::gui {

namespace {

class FirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            // The painted frame reaches the screen when the event loop next runs.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("shown %lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
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
    if (!qEnvironmentVariableIsEmpty("BV_STARTUP_PROBE"))
        ReportFirstPaint(window);
}

} // namespace bv::gui
