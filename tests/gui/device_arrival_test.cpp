// uiHIDEvent1 in the main window: the start timer and a plugged-in HID device re-enable Apply.

#include "gui_fixture.h"

#include "device/uiHIDEvent.h"
#include "toolkit/caption_button.h"

#include <QtTest>

#include <string>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

class DeviceArrivalTest : public QObject {
    Q_OBJECT

private slots:
    void arrivalsReEnableApply();
};

namespace {

std::string hidrawNotice(const std::string& action)
{
    using namespace std::string_literals;
    return action + "@/devices/virtual/misc/uhid/0003:046D:C52B.0009/hidraw/hidraw5\0ACTION="s + action
        + "\0SUBSYSTEM=hidraw\0DEVNAME=hidraw5\0SEQNUM=77\0"s;
}

} // namespace

void DeviceArrivalTest::arrivalsReEnableApply()
{
#ifdef _WIN32
    QSKIP("device notices are fed through a socket that plays the kernel, which Windows does not have");
#else
    WindowRig rig;
    const auto w = rig.Start();
    QVERIFY(!w->IsTerminating());
    QVERIFY(rig.kernelEnd >= 0);
    int arrivals = 0;
    const THIDNotifyEvent shown = w->uiHIDEvent1().OnDeviceArrival;
    w->uiHIDEvent1().OnDeviceArrival = [&](TuiHIDEvent& sender) {
        ++arrivals;
        shown(sender);
    };

    // The start timer's arrival, about 1.5 s after the window was made.
    Control<CaptionButton>(w, "BSBTNAPPLY")->setEnabled(false);
    QTRY_VERIFY(Control<CaptionButton>(w, "BSBTNAPPLY")->isEnabled());
    QCOMPARE(arrivals, 1);

    // Any HID device that comes re-enables Apply, and only an arrival does.
    Control<CaptionButton>(w, "BSBTNAPPLY")->setEnabled(false);
    for (const char* action : { "remove", "change", "add" }) {
        const std::string notice = hidrawNotice(action);
        QCOMPARE(::send(rig.kernelEnd, notice.data(), notice.size(), 0), ssize_t(notice.size()));
    }
    QTRY_VERIFY(Control<CaptionButton>(w, "BSBTNAPPLY")->isEnabled());
    QCOMPARE(arrivals, 2); // the start timer did not fire again
    QVERIFY(!w->SettingsChanged);
#endif
}

QTEST_MAIN(DeviceArrivalTest)
#include "device_arrival_test.moc"
