// The key feed that stands in for the system-wide keyboard hook on Linux.

#include "macros/uiHook.h"
#include "toolkit/key_event_feed.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

#include <memory>
#include <vector>

using namespace bv;
using namespace bv::gui;
using bv::platform::FedKeyboardHook;
using bv::platform::TKBDLLHOOKSTRUCT;

namespace {

constexpr quint32 kEvdevB = 48; // linux/input-event-codes.h KEY_B

} // namespace

class KeyEventFeedTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void blockedKeysNeverReachTheFocusedWidget();
    void nothingIsFedWhileNoRecorderHasTheHook();
    void shortcutsWaitWhileARecorderHasTheKeyboard();
    void aHeldKeyRecordsOnePressAndOneRelease();
    void virtualKeysOfKeyEvents();

private:
    QWindow* window() { return FEdit->windowHandle(); }

    std::uint32_t FNow = 1000;
    std::unique_ptr<FedKeyboardHook> FHook;
    std::unique_ptr<KeyEventFeed> FFeed;
    std::unique_ptr<QLineEdit> FEdit;
    std::vector<TKBDLLHOOKSTRUCT> FSeen;
};

void KeyEventFeedTest::init()
{
    FHook = std::make_unique<FedKeyboardHook>([this] { return FNow; });
    FFeed = std::make_unique<KeyEventFeed>(*FHook);
    qApp->installEventFilter(FFeed.get());
    FEdit = std::make_unique<QLineEdit>();
    FEdit->show();
    FEdit->activateWindow();
    FEdit->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(FEdit.get()));
    FSeen.clear();
}

void KeyEventFeedTest::cleanup()
{
    FEdit.reset();
    FFeed.reset(); // removes itself from the application's filters
    FHook.reset();
}

void KeyEventFeedTest::blockedKeysNeverReachTheFocusedWidget()
{
    QVERIFY(FHook->Enable([this](const TKBDLLHOOKSTRUCT& e, bool& blocked) {
        FSeen.push_back(e);
        blocked = e.vkCode == 'B';
    }));
    QTest::keyClick(window(), Qt::Key_A);
    QTest::keyClick(window(), Qt::Key_B);
    QTest::keyClick(window(), Qt::Key_Delete);
    QCOMPARE(FEdit->text(), QString("a"));

    QCOMPARE(FSeen.size(), std::size_t(6)); // each press and release once
    QCOMPARE(FSeen[0].vkCode, 0x41u);
    QCOMPARE(FSeen[0].flags, 0u);
    QCOMPARE(FSeen[1].flags, platform::kHookFlagReleased);
    QCOMPARE(FSeen[2].vkCode, 0x42u);
    QCOMPARE(FSeen[4].vkCode, 0x2Eu);
    QCOMPARE(FSeen[4].flags, platform::kHookFlagExtended);

    // The event's own time stamp, so a busy window does not squeeze the delays between keys;
    // the tick count only for an event without one.
    FSeen.clear();
    for (const ulong stamp : { 5000ul, 5250ul, 0ul }) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, QString("c"));
        press.setTimestamp(stamp);
        QApplication::sendEvent(window(), &press);
    }
    QCOMPARE(FSeen.size(), std::size_t(3));
    QCOMPARE(FSeen[0].time, 5000u);
    QCOMPARE(FSeen[1].time, 5250u);
    QCOMPARE(FSeen[2].time, 1000u);
}

void KeyEventFeedTest::nothingIsFedWhileNoRecorderHasTheHook()
{
    TuiHook recorder(FHook.get());
    recorder.OnRecordKeyboardSingleKey = [this](int, std::uint32_t, int, int, const std::string&, bool& blocked) {
        FSeen.emplace_back();
        blocked = true;
    };
    QVERIFY(recorder.RecordKeyboardSingleKey());
    recorder.StopRecordKeyboardSingleKey();
    QTest::keyPress(window(), Qt::Key_Shift);
    QTest::keyClick(window(), Qt::Key_B);
    QVERIFY(FSeen.empty());
    QVERIFY(!FHook->IsModifierDown(platform::ModifierKey::Shift));
    QCOMPARE(FEdit->text(), QString("b"));
    QTest::keyRelease(window(), Qt::Key_Shift);
}

void KeyEventFeedTest::shortcutsWaitWhileARecorderHasTheKeyboard()
{
    QAction save;
    save.setShortcut(QKeySequence("Ctrl+S"));
    save.setShortcutContext(Qt::WindowShortcut);
    FEdit->addAction(&save);
    QSignalSpy triggered(&save, &QAction::triggered);

    TuiHook recorder(FHook.get());
    QString combo;
    int modifier = -1;
    recorder.OnRecordKeyboardComboKey = [&](int, int, int, int, int m, const std::string& text) {
        combo = QString::fromStdString(text);
        modifier = m;
    };
    QVERIFY(recorder.RecordKeyboardComboKey());
    QTest::keyClick(window(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(combo, QString("Ctrl+S"));
    QCOMPARE(modifier, 2);
    QCOMPARE(triggered.count(), 0);

    recorder.StopRecordKeyboardComboKey();
    QTest::keyClick(window(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
}

void KeyEventFeedTest::aHeldKeyRecordsOnePressAndOneRelease()
{
    TMacroKeyHookList recorded;
    TuiHook recorder(FHook.get());
    recorder.OnRecordKeyboardMacroKeyEx = [](int, int, int, int, std::uint32_t, std::uint32_t, const std::string&,
                                              const std::string&, const TMacroKeyHookList&) {};
    recorder.OnStopRecordKeyboardMacroKey = [&recorded](const TMacroKeyHookList& list) { recorded = list; };
    QVERIFY(recorder.RecordKeyboardMacroKeyEx());

    // X11 repeats a held key as a release and a press, both marked as auto-repeat.
    const auto send = [this](QEvent::Type type, bool repeat, std::uint32_t at) {
        FNow = at;
        QKeyEvent event(type, Qt::Key_B, Qt::NoModifier, kEvdevB + kXkbKeycodeOffset, 'b', 0, "b", repeat);
        QCoreApplication::sendEvent(window(), &event);
    };
    send(QEvent::KeyPress, false, 1000);
    for (std::uint32_t t = 1500; t < 2500; t += 50) {
        send(QEvent::KeyRelease, true, t);
        send(QEvent::KeyPress, true, t);
    }
    send(QEvent::KeyRelease, false, 2600);
    recorder.StopRecordKeyboardMacroKeyEx();

    QCOMPARE(FEdit->text(), QString());
    QCOMPARE(recorded.size(), std::size_t(3));
    QCOMPARE(recorded[0].nKeyState, std::uint16_t(1));
    QCOMPARE(recorded[1].nKeyType, std::uint16_t(kMacroHookDelay));
    QCOMPARE(recorded[1].nKeyValue, std::uint16_t(1600));
    QCOMPARE(recorded[2].nKeyValue, std::uint16_t('B'));
    QCOMPARE(recorded[2].nKeyState, std::uint16_t(0));
}

void KeyEventFeedTest::virtualKeysOfKeyEvents()
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 evdev; // 0: no native scan code
        std::optional<VirtualKey> expected;
    };
    const Case cases[] = {
        { Qt::Key_A, Qt::NoModifier, 30, VirtualKey { 'A', false } },
        { Qt::Key_7, Qt::KeypadModifier, 71, VirtualKey { 0x67, false } },
        { Qt::Key_Home, Qt::KeypadModifier, 71, VirtualKey { 0x24, false } },
        { Qt::Key_Home, Qt::NoModifier, 102, VirtualKey { 0x24, true } },
        { Qt::Key_Enter, Qt::KeypadModifier, 96, VirtualKey { 0x0D, true } },
        { Qt::Key_Control, Qt::ControlModifier, 97, VirtualKey { 0xA3, true } },
        { Qt::Key_unknown, Qt::NoModifier, 84, std::nullopt },
        // Without a native code (offscreen, tests) the Qt key decides.
        { Qt::Key_A, Qt::NoModifier, 0, VirtualKey { 'A', false } },
        { Qt::Key_F24, Qt::NoModifier, 0, VirtualKey { 0x87, false } },
        { Qt::Key_Enter, Qt::KeypadModifier, 0, VirtualKey { 0x0D, true } },
        { Qt::Key_Return, Qt::NoModifier, 0, VirtualKey { 0x0D, false } },
        { Qt::Key_5, Qt::KeypadModifier, 0, VirtualKey { 0x65, false } },
        { Qt::Key_Delete, Qt::NoModifier, 0, VirtualKey { 0x2E, true } },
        { Qt::Key_Delete, Qt::KeypadModifier, 0, VirtualKey { 0x2E, false } },
        { Qt::Key_Slash, Qt::KeypadModifier, 0, VirtualKey { 0x6F, true } },
        { Qt::Key_Meta, Qt::MetaModifier, 0, VirtualKey { 0x5B, true } },
        { Qt::Key_Exclam, Qt::ShiftModifier, 0, std::nullopt },
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.evdev ? c.evdev + kXkbKeycodeOffset : 0, 0, 0);
        const std::optional<VirtualKey> vk = VirtualKeyOfEvent(event);
        QVERIFY2(vk == c.expected, qPrintable(QString("key %1 evdev %2").arg(c.key, 0, 16).arg(c.evdev)));
    }
}

QTEST_MAIN(KeyEventFeedTest)
#include "key_event_feed_test.moc"
