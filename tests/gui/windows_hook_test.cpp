// Windows only: keys that the system delivers (SendInput) reach the macro recorder through the
// real low-level keyboard hook, not through a fed one.

#include "gui_fixture.h"

#include "core/macro_test_support.h"

#include "dialogs/macrofrm.h"
#include "macros/macro_name.h"
#include "platform/keyboard_hook.h"
#include "temp_dir.h"
#include "toolkit/caption_button.h"

#include <QTreeWidget>
#include <QtTest>

#include <windows.h>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

bool sendKey(WORD vk, bool release)
{
    INPUT in {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return SendInput(1, &in, sizeof in) == 1;
}

} // namespace

class WindowsHookTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void aKeySentThroughTheSystemIsRecorded();
};

void WindowsHookTest::aKeySentThroughTheSystemIsRecorded()
{
    ScriptedDialogs dialogs;
    bv::test::TempDir home;
    TMACROKEYINFO target {};
    SetMacroName(target, "Target");
    target.Version = kMacroVersion;

    TFrmMacro w(dialogs, &platform::SystemKeyboardHook());
    w.SetMacroKeyInfoList(*bv::test::macroList({ target }));
    w.SetMacroListIndex(0);
    w.SetMacroPath(bv::test::utf8(home.path() / "BVProfile1_Macros"));
    w.FillMacroList();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    w.BtnMacroStart->click();
    QVERIFY(w.IsRecording());
    QVERIFY(platform::SystemKeyboardHook().IsEnabled());
    QVERIFY(sendKey('A', false));
    QVERIFY(sendKey('A', true));
    // The hook runs in this thread's message loop: the rows appear once events are processed.
    QTRY_VERIFY_WITH_TIMEOUT(w.ListBoxMacroKey->topLevelItemCount() >= 2, 5000);
    w.BtnMacroStop->click();
    QVERIFY(!platform::SystemKeyboardHook().IsEnabled());

    const TMACROKEYINFO stored = w.MacroClass().MacroKeyInfos()[0];
    QVERIFY(stored.MacroListCount >= 2);
    const TMACROKEY first = stored.MacroList[0];
    const TMACROKEY last = stored.MacroList[stored.MacroListCount - 1];
    QCOMPARE(int(first.nKeyType), int(kActionKey));
    QCOMPARE(int(first.VALUE1), int('A'));
    QCOMPARE(int(first.nKeyState), 1);
    QCOMPARE(int(last.VALUE1), int('A'));
    QCOMPARE(int(last.nKeyState), 0);
}

QTEST_MAIN(WindowsHookTest)
#include "windows_hook_test.moc"
