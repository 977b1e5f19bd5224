// The single-key, combination and fire-key dialogs: what they capture, what they return, and that
// their recorder holds the keyboard hook only while they are shown.

#include "gui_fixture.h"

#include "dialogs/SingleKeyfrm.h"
#include "dialogs/combofrm.h"
#include "dialogs/fireset.h"
#include "keys/uiStdCmd.h"
#include "toolkit/caption_button.h"
#include "toolkit/key_event_feed.h"
#include "toolkit/number_box.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;
using bv::platform::kHookFlagExtended;
using bv::platform::kHookFlagReleased;

// Comparisons and printing of the records, found by QCOMPARE beside the records.
namespace bv {

bool operator==(const TSINGLEKEYINFO& a, const TSINGLEKEYINFO& b)
{
    return a.nKeyValue1 == b.nKeyValue1 && a.nKey1Extended == b.nKey1Extended;
}

bool operator==(const TCOMBOKEYINFO& a, const TCOMBOKEYINFO& b)
{
    return a.nKeyValue1 == b.nKeyValue1 && a.nKey1Extended == b.nKey1Extended && a.nKeyValue2 == b.nKeyValue2
        && a.nKey2Extended == b.nKey2Extended && a.nModifier == b.nModifier;
}

bool operator==(const TFIREKEYINFO& a, const TFIREKEYINFO& b)
{
    return a.nLoopCount == b.nLoopCount && a.DelyValue == b.DelyValue;
}

char* toString(const TSINGLEKEYINFO& k)
{
    return QTest::toString(QString("{%1, %2}").arg(k.nKeyValue1, 0, 16).arg(k.nKey1Extended));
}

char* toString(const TCOMBOKEYINFO& k)
{
    return QTest::toString(QString("{%1, %2, %3, %4, mod %5}")
                               .arg(k.nKeyValue1, 0, 16)
                               .arg(k.nKey1Extended)
                               .arg(k.nKeyValue2, 0, 16)
                               .arg(k.nKey2Extended)
                               .arg(k.nModifier));
}

char* toString(const TFIREKEYINFO& k)
{
    return QTest::toString(QString("{%1, %2}").arg(k.nLoopCount).arg(k.DelyValue));
}

} // namespace bv

namespace {

QString keyName(int vk, int extended)
{
    return QString::fromStdString(GetKeyName(vk, extended));
}

} // namespace

class KeyCaptureDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void singleKeyTakesTheLastKeyEventAndLetsItPass();
    void singleKeyCapturesTheKeysThatWouldCommandADialog();
    void consumerKeysAreMediaFunctionsOrRefused();
    void comboKeyCapturesModifiersAndKeysPressedTogether();
    void comboKeyTextOfAStoredCombination();
    void fireSettingsStartFromTheRecordOrTheDefaults();
    void theRecorderHoldsTheHookOnlyWhileShown();
    void theSeamReturnsARecordOnlyOnOk();
    void screenshots();

private:
    // Shows `dialog` as the user sees it and gives it the keyboard.
    void showActive(QDialog& dialog);

    std::unique_ptr<FedKeyboard> FKeys;
};

void KeyCaptureDialogsTest::initTestCase()
{
    UseProgramLook();
    // The dialogs behind the seam listen on the process's hook, fed as in the program.
    KeyEventFeed::InstallForApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

void KeyCaptureDialogsTest::init()
{
    FKeys = std::make_unique<FedKeyboard>(5000);
}

void KeyCaptureDialogsTest::cleanup()
{
    FKeys.reset();
}

void KeyCaptureDialogsTest::showActive(QDialog& dialog)
{
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

void KeyCaptureDialogsTest::singleKeyTakesTheLastKeyEventAndLetsItPass()
{
    TFrmSingleKey dialog(TSINGLEKEYINFO { 'Q', 0 }, &FKeys->Hook);
    QCOMPARE(dialog.TextSingle->text(), keyName('Q', 0));
    QVERIFY(dialog.TextSingle->isReadOnly());
    showActive(dialog);
    QWindow* window = dialog.windowHandle();

    // Releases count as well: Shift held around A leaves Shift.
    QTest::keyPress(window, Qt::Key_Shift);
    QTest::keyPress(window, Qt::Key_A, Qt::ShiftModifier);
    QCOMPARE(dialog.SingleKey(), (TSINGLEKEYINFO { 'A', 0 }));
    QCOMPARE(dialog.TextSingle->text(), keyName('A', 0));
    QTest::keyRelease(window, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyRelease(window, Qt::Key_Shift);
    QCOMPARE(dialog.SingleKey(), (TSINGLEKEYINFO { 0xA0, 0 }));
    QCOMPARE(dialog.TextSingle->text(), keyName(0xA0, 0));

    // An extended key keeps its flag and its own name; no event is swallowed.
    QVERIFY(!FKeys->Hook.Feed(0xA3, 0x1D, kHookFlagExtended));
    QVERIFY(!FKeys->Hook.Feed(0xA3, 0x1D, kHookFlagExtended | kHookFlagReleased));
    QCOMPARE(dialog.SingleKey(), (TSINGLEKEYINFO { 0xA3, 1 }));
    QCOMPARE(dialog.TextSingle->text(), keyName(0xA3, 1));
    QVERIFY(dialog.TextSingle->text() != keyName(0xA2, 0));

    dialog.BTNOK->click();
    QCOMPARE(dialog.result(), kMessageOK);
    QCOMPARE(dialog.SingleKey(), (TSINGLEKEYINFO { 0xA3, 1 }));
}

void KeyCaptureDialogsTest::singleKeyCapturesTheKeysThatWouldCommandADialog()
{
    // Escape, Enter and Space are keys a button may send: they are captured, and the dialog
    // stays open until a button ends it.
    const struct {
        Qt::Key key;
        std::uint16_t vk;
    } cases[] = { { Qt::Key_Escape, 0x1B }, { Qt::Key_Return, 0x0D }, { Qt::Key_Space, 0x20 }, { Qt::Key_Tab, 0x09 } };
    TFrmSingleKey dialog(TSINGLEKEYINFO {}, &FKeys->Hook);
    showActive(dialog);
    for (const auto& c : cases) {
        QTest::keyClick(dialog.windowHandle(), c.key);
        QVERIFY2(dialog.isVisible(), qPrintable(keyName(c.vk, 0)));
        QCOMPARE(dialog.SingleKey(), (TSINGLEKEYINFO { c.vk, 0 }));
    }
    dialog.BTNCANCEL->click();
    QCOMPARE(dialog.result(), kMessageCancel);
}

void KeyCaptureDialogsTest::consumerKeysAreMediaFunctionsOrRefused()
{
    // A media key is taken (the button then gets the Media function); a browser key the mouse
    // cannot send is refused in the hint's place, in the window's language, and the key stays.
    TFrmSingleKey single(TSINGLEKEYINFO { 'Q', 0 }, &FKeys->Hook);
    showActive(single);
    const QString hint = single.LabelHint->text();
    QTest::keyClick(single.windowHandle(), Qt::Key_Back);
    QCOMPARE(single.SingleKey(), (TSINGLEKEYINFO { 'Q', 0 }));
    QCOMPARE(single.TextSingle->text(), keyName('Q', 0));
    QCOMPARE(single.LabelHint->text(), "The mouse cannot send the key " + keyName(0xA6, 1) + ".");
    QTest::keyClick(single.windowHandle(), Qt::Key_VolumeMute);
    QCOMPARE(single.SingleKey(), (TSINGLEKEYINFO { 0xAD, 1 }));
    QCOMPARE(single.LabelHint->text(), hint);

    TFrmCombo combo(TCOMBOKEYINFO { 'C', 0, 0, 0, kModifierCtrl }, &FKeys->Hook);
    single.BTNCANCEL->click();
    showActive(combo);
    QTest::keyClick(combo.windowHandle(), Qt::Key_VolumeUp, Qt::ControlModifier);
    QCOMPARE(combo.ComboKey(), (TCOMBOKEYINFO { 'C', 0, 0, 0, kModifierCtrl }));
    QCOMPARE(combo.LabelHint->text(), "The mouse cannot send the key " + keyName(0xAF, 1) + ".");
    combo.BTNCANCEL->click();
}

void KeyCaptureDialogsTest::comboKeyCapturesModifiersAndKeysPressedTogether()
{
    TFrmCombo dialog(TCOMBOKEYINFO {}, &FKeys->Hook);
    QCOMPARE(dialog.TextCombo->text(), QString());
    showActive(dialog);
    QWindow* window = dialog.windowHandle();

    // A modifier alone captures nothing; with a key it joins, in the recorder's order.
    QTest::keyPress(window, Qt::Key_Control);
    QCOMPARE(dialog.ComboKey(), (TCOMBOKEYINFO {}));
    QCOMPARE(dialog.TextCombo->text(), QString());
    QTest::keyRelease(window, Qt::Key_Control);
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(dialog.ComboKey(), (TCOMBOKEYINFO { 'A', 0, 0, 0, kModifierCtrl | kModifierAlt }));
    QCOMPARE(dialog.TextCombo->text(), "Ctrl+Alt+" + keyName('A', 0));

    // Two keys within 100 ms are one combination; a key later starts a new one. Presses are
    // swallowed, releases pass.
    FKeys->Now += 1000;
    QVERIFY(FKeys->Hook.Feed('B', 0x30, 0));
    FKeys->Now += 100;
    QVERIFY(FKeys->Hook.Feed('C', 0x2E, 0));
    QVERIFY(!FKeys->Hook.Feed('B', 0x30, kHookFlagReleased));
    QCOMPARE(dialog.ComboKey(), (TCOMBOKEYINFO { 'B', 0, 'C', 0, 0 }));
    QCOMPARE(dialog.TextCombo->text(), keyName('B', 0) + "+" + keyName('C', 0));
    FKeys->Now += 200;
    QVERIFY(FKeys->Hook.Feed(0x2E, 0x53, kHookFlagExtended));
    QCOMPARE(dialog.ComboKey(), (TCOMBOKEYINFO { 0x2E, 1, 0, 0, 0 }));
    QCOMPARE(dialog.TextCombo->text(), keyName(0x2E, 1));

    // Escape is captured, not a command to the dialog.
    FKeys->Now += 200;
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.ComboKey(), (TCOMBOKEYINFO { 0x1B, 0, 0, 0, 0 }));

    dialog.BTNOK->click();
    QCOMPARE(dialog.result(), kMessageOK);
}

void KeyCaptureDialogsTest::comboKeyTextOfAStoredCombination()
{
    const struct {
        TCOMBOKEYINFO combo;
        QString expected;
    } cases[] = {
        { {}, "" },
        // The stored form lists the modifiers Alt, Ctrl, Shift, WIN: not the recorder's order.
        { { 'A', 0, 0, 0, kModifierCtrl | kModifierAlt }, "Alt+Ctrl+" + keyName('A', 0) },
        { { 'A', 0, 'B', 0, 15 }, "Alt+Ctrl+Shift+WIN+" + keyName('A', 0) + "+" + keyName('B', 0) },
        { { 0x2E, 1, 0x24, 1, kModifierShift }, "Shift+" + keyName(0x2E, 1) + "+" + keyName(0x24, 1) },
        // Key 2 of code 0 is no key, whatever its flag; without key 1 the modifiers are not shown.
        { { 'A', 0, 0, 1, kModifierWin }, "WIN+" + keyName('A', 0) },
        { { 0, 0, 'B', 0, kModifierCtrl }, "+" + keyName('B', 0) },
    };
    for (const auto& c : cases) {
        QCOMPARE(ComboKeyText(c.combo), c.expected);
        TFrmCombo dialog(c.combo, &FKeys->Hook);
        QCOMPARE(dialog.TextCombo->text(), c.expected);
    }
}

void KeyCaptureDialogsTest::fireSettingsStartFromTheRecordOrTheDefaults()
{
    const struct {
        TFIREKEYINFO record;
        int fire, delay;
    } cases[] = {
        { { 0, 0 }, 2, 60 }, { { 0, 200 }, 2, 60 }, { { 5, 100 }, 5, 100 },
        { { 300, 0 }, 255, 1 }, // outside the limits: the nearest value the box takes
    };
    for (const auto& c : cases) {
        TFrmFire dialog(c.record);
        QCOMPARE(dialog.NumBoxFire->value(), c.fire);
        QCOMPARE(dialog.NumboxDelay->value(), c.delay);
        QCOMPARE(dialog.NumBoxFire->minimum(), 1);
        QCOMPARE(dialog.NumboxDelay->maximum(), 255);
        QCOMPARE(dialog.FireKeyInfo(), c.record); // only OK changes the record
    }

    // OK takes what the boxes show, a number still being typed included.
    TFrmFire dialog(TFIREKEYINFO {});
    showActive(dialog);
    dialog.NumBoxFire->SetValue(9);
    dialog.NumboxDelay->setFocus();
    auto* typing = dialog.NumboxDelay->findChild<QLineEdit*>();
    typing->selectAll();
    QTest::keyClicks(typing, "17");
    dialog.BTNOK->click();
    QCOMPARE(dialog.result(), kMessageOK);
    QCOMPARE(dialog.FireKeyInfo(), (TFIREKEYINFO { 9, 17 }));

    // The fire dialog takes keys as any dialog does: Escape cancels.
    TFrmFire escaped(TFIREKEYINFO { 4, 40 });
    showActive(escaped);
    QTest::keyClick(escaped.windowHandle(), Qt::Key_Escape);
    QVERIFY(!escaped.isVisible());
    QCOMPARE(escaped.result(), kMessageCancel);
    QCOMPARE(escaped.FireKeyInfo(), (TFIREKEYINFO { 4, 40 }));
}

void KeyCaptureDialogsTest::theRecorderHoldsTheHookOnlyWhileShown()
{
    for (const bool combo : { false, true }) {
        std::unique_ptr<KeyCaptureDialog> dialog;
        if (combo)
            dialog = std::make_unique<TFrmCombo>(TCOMBOKEYINFO {}, &FKeys->Hook);
        else
            dialog = std::make_unique<TFrmSingleKey>(TSINGLEKEYINFO {}, &FKeys->Hook);
        QVERIFY(!FKeys->Hook.IsEnabled());
        showActive(*dialog);
        QVERIFY(FKeys->Hook.IsEnabled());
        QVERIFY(FKeys->Hook.Owner() != nullptr);
        // The keyboard is grabbed while the dialog listens, so the desktop's own keys come here.
        QCOMPARE(QWidget::keyboardGrabber(), dialog.get());

        dialog->findChild<CaptionButton*>("BTNCANCEL")->click();
        QVERIFY(!FKeys->Hook.IsEnabled());
        QCOMPARE(QWidget::keyboardGrabber(), nullptr);
        // Keys after the dialog closed reach nobody's recorder and pass.
        QVERIFY(!FKeys->Hook.Feed('Z', 0, 0));
        const auto* text = dialog->findChild<QLineEdit*>(combo ? "TextCombo" : "TextSingle");
        QCOMPARE(text->text(), QString());
    }

    // Closing the window ends it as CANCEL and releases the hook too.
    TFrmSingleKey dialog(TSINGLEKEYINFO {}, &FKeys->Hook);
    showActive(dialog);
    dialog.close();
    QCOMPARE(dialog.result(), kMessageCancel);
    QVERIFY(!FKeys->Hook.IsEnabled());
    QCOMPARE(QWidget::keyboardGrabber(), nullptr);
}

void KeyCaptureDialogsTest::theSeamReturnsARecordOnlyOnOk()
{
    // Each dialog run modally through the real seam: a key is pressed (or a value set), then the
    // dialog ends by a button or by closing its window.
    if (!platform::SystemFedKeyboardHook())
        QSKIP("the process hook here is the system's own, which the test cannot feed");
    enum class End { Ok, Cancel, Close };
    const auto end = [](CaptureDialog& d, End how) {
        if (how == End::Ok)
            d.BTNOK->click();
        else if (how == End::Cancel)
            d.BTNCANCEL->click();
        else
            d.close();
    };
    ModalDialogs dialogs;
    platform::KeyboardHook& hook = platform::SystemKeyboardHook();
    for (const End how : { End::Ok, End::Cancel, End::Close }) {
        const bool ok = how == End::Ok;
        bool hookHeld = false;

        WhenModalShown<CaptureDialog>([&](CaptureDialog& d) {
            hookHeld = hook.IsEnabled();
            QTest::keyClick(d.windowHandle(), Qt::Key_B);
            end(d, how);
        });
        const std::optional<TSINGLEKEYINFO> single = dialogs.EditSingleKey(nullptr, TSINGLEKEYINFO { 'Q', 0 });
        QVERIFY(hookHeld);
        QVERIFY(!hook.IsEnabled());
        QCOMPARE(single.has_value(), ok);
        if (ok)
            QCOMPARE(*single, (TSINGLEKEYINFO { 'B', 0 }));

        WhenModalShown<CaptureDialog>([&](CaptureDialog& d) {
            hookHeld = hook.IsEnabled();
            QTest::keyClick(d.windowHandle(), Qt::Key_B, Qt::ShiftModifier);
            end(d, how);
        });
        const std::optional<TCOMBOKEYINFO> combo = dialogs.EditComboKey(nullptr, TCOMBOKEYINFO { 'Q', 0, 0, 0, 2 });
        QVERIFY(hookHeld);
        QVERIFY(!hook.IsEnabled());
        QCOMPARE(combo.has_value(), ok);
        if (ok)
            QCOMPARE(*combo, (TCOMBOKEYINFO { 'B', 0, 0, 0, kModifierShift }));

        WhenModalShown<CaptureDialog>([&](CaptureDialog& d) {
            static_cast<TFrmFire&>(d).NumBoxFire->SetValue(7);
            end(d, how);
        });
        const std::optional<TFIREKEYINFO> fire = dialogs.EditFireKey(nullptr, TFIREKEYINFO { 0, 0 });
        QCOMPARE(fire.has_value(), ok);
        if (ok)
            QCOMPARE(*fire, (TFIREKEYINFO { 7, 60 }));
    }
}

void KeyCaptureDialogsTest::screenshots()
{
    QWidget owner;
    owner.setGeometry(100, 80, 801, 638);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    TFrmSingleKey single(TSINGLEKEYINFO { 0xA3, 1 }, &FKeys->Hook, &owner);
    TFrmCombo combo(TCOMBOKEYINFO { 'S', 0, 0, 0, kModifierCtrl | kModifierShift }, &FKeys->Hook, &owner);
    TFrmFire fire(TFIREKEYINFO {}, &owner);
    const struct {
        CaptureDialog* dialog;
        const char* file;
    } shots[] = { { &single, "capture-single-key" }, { &combo, "capture-combo-key" }, { &fire, "capture-fire" } };
    for (const auto& s : shots) {
        QCOMPARE(s.dialog->size(), QSize(478, 292));
        QVERIFY(s.dialog->windowFlags() & Qt::FramelessWindowHint);
        s.dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.dialog));
        QVERIFY((s.dialog->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
        QVERIFY(s.dialog->grab().save(ScreenshotFolder() + "/" + s.file + ".png"));
        s.dialog->hide();
    }
}

QTEST_MAIN(KeyCaptureDialogsTest)
#include "key_capture_dialogs_test.moc"
