#include "toolkit/pending_events.h"

#include <QEventLoop>
#include <QTimer>

namespace bv::gui {

void ProcessPendingEvents()
{
    // The quit is queued behind everything posted so far; leaving the loop interrupts the
    // dispatcher's pass at once.
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace bv::gui
