// The macro editor and its create-macro dialog: the macro list, create and delete, recording with
// the delay and loop options, editing delays, and what OK, CANCEL and closing hand back and write.

#include "gui_fixture.h"

#include "core/macro_test_support.h"

#include "dialogs/SingleKeyfrm.h"
#include "dialogs/capture_dialog.h"
#include "dialogs/macrocreat.h"
#include "dialogs/macrofrm.h"
#include "keys/uiStdCmd.h"
#include "macros/macro_name.h"
#include "temp_dir.h"
#include "toolkit/caption_button.h"
#include "toolkit/key_event_feed.h"
#include "toolkit/number_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <vector>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;
using bv::platform::kHookFlagExtended;
using bv::platform::kHookFlagReleased;
using bv::test::macroList;

namespace {

constexpr int P = 1, R = 0;

TMACROKEY keyAction(int vk, int state, int extended = 0)
{
    return { kActionKey, static_cast<std::uint16_t>(state), static_cast<std::uint8_t>(vk),
        static_cast<std::uint8_t>(extended) };
}

TMACROKEY delayAction(int ms)
{
    return { kActionDelay, 0, static_cast<std::uint8_t>(ms & 0xFF), static_cast<std::uint8_t>(ms >> 8) };
}

TMACROKEYINFO macro(const std::string& name, const std::vector<TMACROKEY>& actions = {}, int autoDelay = 1,
    int loops = 0, int errors = 0)
{
    TMACROKEYINFO m {};
    SetMacroName(m, name);
    for (std::size_t i = 0; i < actions.size(); ++i)
        m.MacroList[i] = actions[i];
    m.MacroListCount = static_cast<std::int32_t>(actions.size());
    m.nAutoAddDelay = static_cast<std::uint16_t>(autoDelay);
    m.nLoopCount = static_cast<std::uint16_t>(loops);
    m.HaveErrors = errors > 0 ? 1 : 0;
    m.ErrorCount = errors;
    m.Version = kMacroVersion;
    return m;
}

// An action in a form QCOMPARE can show: kind, state, value.
QString text(const TMACROKEY& a)
{
    return QString("%1/%2/%3").arg(a.nKeyType).arg(a.nKeyState).arg(a.VALUE1 + 256 * a.VALUE2);
}

QStringList actions(const TMACROKEYINFO& m)
{
    QStringList out;
    for (int i = 0; i < m.MacroListCount; ++i)
        out << text(m.MacroList[i]);
    return out;
}

// The rows of the action list: kind, then the text of the key or delay column.
QStringList rows(const TFrmMacro& w)
{
    QStringList out;
    for (int i = 0; i < w.ListBoxMacroKey->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* r = w.ListBoxMacroKey->topLevelItem(i);
        const QString kind = r->data(0, kActionRowKindRole).toString();
        out << kind + ":" + (kind == "Delay" ? r->text(2) : r->text(1).trimmed());
    }
    return out;
}

QString name(const TMACROKEYINFO& m)
{
    return QString::fromStdString(MacroName(m));
}

QString keyName(int vk, int extended = 0)
{
    return QString::fromStdString(GetKeyName(vk, extended));
}

TMACROKEYINFO readMacroFile(const std::filesystem::path& file)
{
    TMACROKEYINFO m {};
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(&m), sizeof m);
    return m;
}

} // namespace

class MacroEditorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listShowsMacrosErrorsAndActions();
    void newMacroThroughTheCreateDialog();
    void createDialogChecksTheNameAndWritesThePlaceholder();
    void deleteAsksAndRemovesTheSelectedMacro();
    void recordingWithTheDelayOptions();
    void recordingControlsAndLimits();
    void loopCountAndDelayEditing();
    void typedNumbersCountWhenAButtonIsPressed();
    void rowsKeepOneHeightOnEveryOpening();
    void aRefusedKeyboardHookIsToldOnce();
    void closingThroughTheWindowManagerAsks();
    void okWritesTheMacroFilesAndHandsTheListBack();
    void cancelAndCloseLeaveTheListAsItWas();
    void theSeamReturnsTheListOnlyOnOk();
    void screenshot();

private:
    std::unique_ptr<TFrmMacro> open(const TMACROKEYINFOLIST& list, int index);
    // A key pressed at the current time and released `heldMs` later; returns whether both were swallowed.
    bool tap(int vk, std::uint32_t heldMs, int extended = 0);
    // Answers the create dialog with `name` and OK.
    void answerCreate(const QString& name);

    std::unique_ptr<FedKeyboard> FKeys;
    std::unique_ptr<ScriptedDialogs> FDialogs;
    std::unique_ptr<bv::test::TempDir> FHome;
    std::string FFolder;
};

void MacroEditorTest::initTestCase()
{
    UseProgramLook();
}

void MacroEditorTest::init()
{
    FKeys = std::make_unique<FedKeyboard>(10000);
    FDialogs = std::make_unique<ScriptedDialogs>();
    FHome = std::make_unique<bv::test::TempDir>();
    FFolder = bv::test::utf8(FHome->path() / "BVProfile1_Macros");
}

void MacroEditorTest::cleanup()
{
    FKeys.reset();
    FDialogs.reset();
    FHome.reset();
}

std::unique_ptr<TFrmMacro> MacroEditorTest::open(const TMACROKEYINFOLIST& list, int index)
{
    auto w = std::make_unique<TFrmMacro>(*FDialogs, &FKeys->Hook);
    w->SetMacroKeyInfoList(list);
    w->SetMacroListIndex(index);
    w->SetMacroPath(FFolder);
    w->FillMacroList();
    w->show();
    return w;
}

bool MacroEditorTest::tap(int vk, std::uint32_t heldMs, int extended)
{
    const std::uint32_t ext = extended ? kHookFlagExtended : 0;
    const bool pressed = FKeys->Hook.Feed(static_cast<std::uint32_t>(vk), 0, ext);
    FKeys->Now += heldMs;
    const bool released = FKeys->Hook.Feed(static_cast<std::uint32_t>(vk), 0, ext | kHookFlagReleased);
    return pressed && released;
}

void MacroEditorTest::answerCreate(const QString& name)
{
    FDialogs->DuringModal = [name](QDialog& d) {
        auto* creat = qobject_cast<TFrmCreat*>(&d);
        if (!creat)
            return 0;
        creat->TextboxMacroName->setText(name);
        creat->BtnOK->click();
        return creat->result();
    };
}

void MacroEditorTest::listShowsMacrosErrorsAndActions()
{
    const auto list = macroList({
        macro("Alpha", { keyAction('A', P), delayAction(120), keyAction('A', R) }, 1, 3),
        // Recorded without delays: its stored delay has no row. A mouse button and an error.
        macro("Beta",
            { keyAction(0xA3, P, 1), delayAction(40), { kActionMouseButton, 1, 1, 0 }, keyAction(0xA3, P, 1) }, 0, 0,
            1),
        macro("Gamma"),
    });
    auto w = open(*list, 1);
    QCOMPARE(w->windowTitle(), QString("Macro Manager"));
    QCOMPARE(w->ListBoxMacroList->count(), 3);
    QVERIFY(w->ListBoxMacroList->isEnabled());
    QCOMPARE(w->ListBoxMacroList->currentRow(), 1);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(w->ListBoxMacroList->item(i)->data(kMacroRowErrorRole).toBool(), i == 1);
    QVERIFY(!w->ListBoxMacroList->item(1)->icon().isNull());
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString("Beta"));
    QVERIFY(!w->TextBoxSelectedMacroName->isEnabled());
    QCOMPARE(rows(*w),
        (QStringList { "KeyDown:" + keyName(0xA3, 1), "Mouse:Mouse Left Click", "KeyDown:" + keyName(0xA3, 1) }));
    QVERIFY(!w->BtnAutoDelay->isChecked());
    QVERIFY(!w->BtnMacroLoop->isChecked());
    QCOMPARE(w->BoxMacroLoop->value(), 0);
    QVERIFY(!w->BoxMacroLoop->isEnabled());
    QVERIFY(w->BSBTNDELETEMACRO->isEnabled());

    // Selecting another row makes it current and shows its actions, loop count and total delay.
    w->ListBoxMacroList->setCurrentRow(0);
    QCOMPARE(w->MacroClass().MacroListIndex(), 0);
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString("Alpha"));
    QCOMPARE(rows(*w), (QStringList { "KeyDown:" + keyName('A'), "Delay:120", "KeyUp:" + keyName('A') }));
    QVERIFY(w->BtnAutoDelay->isChecked());
    QVERIFY(w->BtnMacroLoop->isChecked());
    QCOMPARE(w->BoxMacroLoop->value(), 3);
    QVERIFY(w->BoxMacroLoop->isEnabled());
    QVERIFY(w->LabelAllDelayTime->text().contains("120"));
    QCOMPARE(int(w->MacroClass().MacroKeyInfos()[0].nLoopCount), 3); // showing it stored nothing

    // No row selected: Delete is off and the name box empty.
    w->ListBoxMacroList->clearSelection();
    QVERIFY(!w->BSBTNDELETEMACRO->isEnabled());
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString());

    // An index that is not in the list leaves the first macro current.
    auto other = open(*list, 7);
    QCOMPARE(other->ListBoxMacroList->currentRow(), 0);

    // No macros: both lists empty, the macro list disabled.
    auto empty = open(*macroList({}), 0);
    QCOMPARE(empty->ListBoxMacroList->count(), 0);
    QVERIFY(!empty->ListBoxMacroList->isEnabled());
    QVERIFY(!empty->BSBTNDELETEMACRO->isEnabled());
    QCOMPARE(empty->ListBoxMacroKey->topLevelItemCount(), 0);
}

void MacroEditorTest::newMacroThroughTheCreateDialog()
{
    auto w = open(*macroList({ macro("Alpha", { keyAction('A', P), keyAction('A', R) }) }), 0);

    answerCreate("Reload");
    w->BSBTNNEWMACRO->click();
    QCOMPARE(FDialogs->ModalWindows, (std::vector<QString> { "FrmCreat" }));
    QCOMPARE(w->ListBoxMacroList->count(), 2);
    QCOMPARE(w->ListBoxMacroList->currentRow(), 1);
    QCOMPARE(w->ListBoxMacroList->item(1)->text(), QString("Reload"));
    QCOMPARE(w->MacroClass().MacroListIndex(), 1);
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString("Reload"));
    QCOMPARE(w->ListBoxMacroKey->topLevelItemCount(), 0);
    const auto placeholder = bv::test::fromUtf8(FFolder) / "Reload.macro";
    QVERIFY(std::filesystem::exists(placeholder));
    QCOMPARE(readMacroFile(placeholder).Version, kMacroVersion);

    // An existing name selects that macro; an empty name or CANCEL creates nothing.
    answerCreate("Alpha");
    w->BSBTNNEWMACRO->click();
    QCOMPARE(w->ListBoxMacroList->count(), 2);
    QCOMPARE(w->ListBoxMacroList->currentRow(), 0);
    QCOMPARE(w->MacroClass().MacroListIndex(), 0);
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString("Alpha"));
    answerCreate("");
    w->BSBTNNEWMACRO->click();
    FDialogs->DuringModal = [](QDialog& d) {
        static_cast<TFrmCreat&>(d).BtnCANCEL->click();
        return d.result();
    };
    w->BSBTNNEWMACRO->click();
    QCOMPARE(w->ListBoxMacroList->count(), 2);
    QVERIFY(FDialogs->Calls.empty());

    // The twentieth macro is the last: a 21st is refused before the create dialog comes up.
    std::vector<TMACROKEYINFO> twenty;
    for (int i = 0; i < 20; ++i)
        twenty.push_back(macro("M" + std::to_string(i)));
    auto full = open(*macroList(twenty), 0);
    FDialogs->ModalWindows.clear();
    full->BSBTNNEWMACRO->click();
    QVERIFY(FDialogs->ModalWindows.empty());
    QCOMPARE(FDialogs->Calls.size(), std::size_t(1));
    QCOMPARE(FDialogs->Calls[0].Title, QString("Warning"));
    QCOMPARE(FDialogs->Calls[0].Text, QString("You can create macros shall not exceed 20 ."));
    QCOMPARE(FDialogs->Calls[0].SecondLine, QString());
    QCOMPARE(full->ListBoxMacroList->count(), 20);
}

void MacroEditorTest::createDialogChecksTheNameAndWritesThePlaceholder()
{
    const auto folder = bv::test::fromUtf8(FFolder);

    // Enter released in the name box is OK; the name is cut to 50 characters.
    {
        TFrmCreat dialog(FFolder, *FDialogs);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.TextboxMacroName->hasFocus());
        const QString longName = QString(60, QChar('x'));
        QTest::keyClicks(dialog.TextboxMacroName, longName);
        QTest::keyClick(dialog.TextboxMacroName, Qt::Key_Return);
        QCOMPARE(dialog.result(), kMessageOK);
        QVERIFY(dialog.MacroName() == std::string(50, 'x'));
        QVERIFY(std::filesystem::exists(folder / (std::string(50, 'x') + ".macro")));
    }

    // A name that cannot name a file is refused and the dialog stays; nothing is written.
    {
        TFrmCreat dialog(FFolder, *FDialogs);
        dialog.show();
        dialog.TextboxMacroName->setText("a:b");
        dialog.BtnOK->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(FDialogs->Calls.size(), std::size_t(1));
        QCOMPARE(FDialogs->Calls[0].Text, QString("This name cannot be used for a macro."));
        QVERIFY(FDialogs->Calls[0].SecondLine.contains(':'));
        dialog.BtnCANCEL->click();
        QCOMPARE(dialog.result(), kMessageCancel);
    }

    // An existing macro file is never replaced by an empty placeholder.
    const auto kept = folder / "Kept.macro";
    const TMACROKEYINFO stored = macro("Kept", { keyAction('K', P), keyAction('K', R) });
    {
        std::ofstream out(kept, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&stored), sizeof stored);
    }
    TFrmCreat again(FFolder, *FDialogs);
    again.TextboxMacroName->setText("Kept");
    again.BtnOK->click();
    QCOMPARE(again.result(), kMessageOK);
    QCOMPARE(readMacroFile(kept).MacroListCount, 2);

    // A folder that cannot be made is told; the name still goes back, as the macro lives in the profile.
    FDialogs->Calls.clear();
    {
        std::ofstream blocker(folder / "file");
    }
    TFrmCreat blocked(bv::test::utf8(folder / "file" / "sub"), *FDialogs);
    blocked.TextboxMacroName->setText("Solo");
    blocked.BtnOK->click();
    QCOMPARE(blocked.result(), kMessageOK);
    QVERIFY(blocked.MacroName() == "Solo");
    QCOMPARE(FDialogs->Calls.size(), std::size_t(1));
    QCOMPARE(FDialogs->Calls[0].Text, QString("The macro file could not be written."));
}

void MacroEditorTest::deleteAsksAndRemovesTheSelectedMacro()
{
    // Two macros share a name, as stored data may have them: the selected one goes.
    auto w = open(*macroList({ macro("Twin", { keyAction('1', P), keyAction('1', R) }), macro("Solo"),
                      macro("Twin", { keyAction('3', P), keyAction('3', R) }) }),
        2);
    FDialogs->Answers = { kMessageCancel };
    w->BSBTNDELETEMACRO->click();
    QCOMPARE(FDialogs->Calls.size(), std::size_t(1));
    QCOMPARE(FDialogs->Calls[0].Title, QString("Delete"));
    QCOMPARE(FDialogs->Calls[0].Text, QString("Are your sure you want to delete this macro?"));
    QCOMPARE(FDialogs->Calls[0].SecondLine, QString());
    QCOMPARE(w->ListBoxMacroList->count(), 3);

    w->BSBTNDELETEMACRO->click(); // answered OK
    QCOMPARE(w->ListBoxMacroList->count(), 2);
    const auto& left = w->MacroClass().MacroKeyInfos();
    QCOMPARE(actions(left[0]), (QStringList { text(keyAction('1', P)), text(keyAction('1', R)) }));
    QCOMPARE(name(left[1]), QString("Solo"));
    // The last one went: the new last one is selected.
    QCOMPARE(w->ListBoxMacroList->currentRow(), 1);
    QCOMPARE(w->MacroClass().MacroListIndex(), 1);
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString("Solo"));

    // Deleting the first selects the one now in its place; deleting the only one empties the list.
    w->ListBoxMacroList->setCurrentRow(0);
    w->BSBTNDELETEMACRO->click();
    QCOMPARE(w->ListBoxMacroList->count(), 1);
    QCOMPARE(w->ListBoxMacroList->currentRow(), 0);
    QCOMPARE(w->TextBoxSelectedMacroName->text(), QString("Solo"));
    w->BSBTNDELETEMACRO->click();
    QCOMPARE(w->ListBoxMacroList->count(), 0);
    QVERIFY(!w->ListBoxMacroList->isEnabled());
    QVERIFY(!w->BSBTNDELETEMACRO->isEnabled());
    QCOMPARE(w->MacroClass().MacroListIndex(), -1);
    QCOMPARE(w->ListBoxMacroKey->topLevelItemCount(), 0);
}

void MacroEditorTest::recordingWithTheDelayOptions()
{
    const auto key = [](int vk, int state, int ext = 0) { return text(keyAction(vk, state, ext)); };
    const auto delay = [](int ms) { return text(delayAction(ms)); };
    const struct {
        const char* name;
        bool autoDelay, custom;
        int fixed;
        QStringList expected;
    } cases[] = {
        // A held 2 s (repeats add nothing), B pressed 3 ms later and held 120 ms, right Ctrl 40 s later.
        { "recorded delays", true, false, 0,
            { key('A', P), delay(2000), key('A', R), delay(10), key('B', P), delay(120), key('B', R), delay(40000),
                key(0xA3, P, 1), delay(15), key(0xA3, R, 1) } },
        { "default delay", true, true, 50,
            { key('A', P), delay(50), key('A', R), delay(50), key('B', P), delay(50), key('B', R), delay(50),
                key(0xA3, P, 1), delay(50), key(0xA3, R, 1) } },
        { "no delays", false, false, 0,
            { key('A', P), key('A', R), key('B', P), key('B', R), key(0xA3, P, 1), key(0xA3, R, 1) } },
    };
    for (const auto& c : cases) {
        auto w = open(*macroList({ macro("Old", { keyAction('Z', P), keyAction('Z', R) }, 0, 0), macro("Target") }), 1);
        // Set the options as the user does: the toggles keep each other consistent.
        w->BtnCustomDelay->setChecked(c.custom);
        if (c.custom) {
            QVERIFY(w->BtnAutoDelay->isChecked());
            QVERIFY(w->NumBoxDelay->isEnabled());
            w->NumBoxDelay->setValue(c.fixed);
        }
        w->BtnAutoDelay->setChecked(c.autoDelay);
        if (!c.autoDelay) {
            QVERIFY(!w->BtnCustomDelay->isChecked());
            QVERIFY(!w->NumBoxDelay->isEnabled());
        }

        w->BtnMacroStart->click();
        QVERIFY2(w->IsRecording(), c.name);
        QVERIFY(FKeys->Hook.IsEnabled());
        QVERIFY(FKeys->Hook.Feed('A', 0x1E, 0));
        for (int repeat = 0; repeat < 4; ++repeat) {
            FKeys->Now += 500;
            QVERIFY(FKeys->Hook.Feed('A', 0x1E, 0));
        }
        QVERIFY(FKeys->Hook.Feed('A', 0x1E, kHookFlagReleased));
        FKeys->Now += 3;
        QVERIFY(tap('B', 120));
        FKeys->Now += 40000;
        QVERIFY(tap(0xA3, 15, 1));
        // The live rows show what will be stored.
        QCOMPARE(w->ListBoxMacroKey->topLevelItemCount(), int(c.expected.size()));
        QVERIFY(w->lableTotalActions->text().contains(QString::number(c.expected.size())));

        w->BtnMacroStop->click();
        QVERIFY(!w->IsRecording());
        QVERIFY(!FKeys->Hook.IsEnabled());
        const TMACROKEYINFO stored = w->MacroClass().MacroKeyInfos()[1];
        QCOMPARE(actions(stored), c.expected);
        QCOMPARE(int(stored.nAutoAddDelay), c.autoDelay ? 1 : 0);
        QCOMPARE(name(stored), QString("Target"));
        QCOMPARE(stored.HaveErrors, 0);
        QCOMPARE(w->ListBoxMacroKey->topLevelItemCount(), int(c.expected.size()));
        // The other macro is untouched.
        QCOMPARE(actions(w->MacroClass().MacroKeyInfos()[0]), (QStringList { key('Z', P), key('Z', R) }));
    }
}

void MacroEditorTest::recordingControlsAndLimits()
{
    auto w = open(*macroList({ macro("Alpha"), macro("Beta") }), 0);

    // Start with no macro selected pops back up and records nothing.
    w->ListBoxMacroList->clearSelection();
    w->BtnMacroStart->click();
    QVERIFY(!w->BtnMacroStart->isChecked());
    QVERIFY(!w->IsRecording());
    QVERIFY(!FKeys->Hook.IsEnabled());
    QVERIFY(!FKeys->Hook.Feed('A', 0, 0));

    // While recording only Stop, OK and CANCEL (and the number boxes) work.
    w->ListBoxMacroList->setCurrentRow(0);
    w->BtnMacroStart->click();
    QVERIFY(w->BtnMacroStart->isChecked());
    QVERIFY(w->BtnMacroStop->isEnabled());
    for (QWidget* off :
        std::initializer_list<QWidget*> { w->BtnMacroStart, w->BSBTNNEWMACRO, w->BSBTNDELETEMACRO, w->BtnAutoDelay,
            w->BtnCustomDelay, w->BtnMacroLoop, w->BtnClose, w->BtnMin, w->ListBoxMacroList, w->ListBoxMacroKey })
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    QVERIFY(w->BtnOK->isEnabled());
    QVERIFY(w->BtnCANCEL->isEnabled());

    // A key still held at Stop is an error of the macro: the list shows the mark.
    QVERIFY(FKeys->Hook.Feed('Q', 0, 0));
    w->BtnMacroStop->click();
    QCOMPARE(actions(w->MacroClass().MacroKeyInfos()[0]), (QStringList { text(keyAction('Q', P)) }));
    QCOMPARE(w->MacroClass().MacroKeyInfos()[0].HaveErrors, 1);
    QVERIFY(w->ListBoxMacroList->item(0)->data(kMacroRowErrorRole).toBool());
    QVERIFY(!w->BtnMacroStart->isChecked());
    QVERIFY(!w->BtnMacroStop->isEnabled());
    for (QWidget* on :
        std::initializer_list<QWidget*> { w->BtnMacroStart, w->BSBTNNEWMACRO, w->BSBTNDELETEMACRO, w->BtnAutoDelay,
            w->BtnCustomDelay, w->BtnMacroLoop, w->BtnClose, w->BtnMin, w->ListBoxMacroList, w->ListBoxMacroKey })
        QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));

    // A long recording keeps its first 127 actions and says so.
    w->BtnAutoDelay->setChecked(true);
    w->BtnMacroStart->click();
    QVERIFY(w->LayoutActionsFull->isHidden());
    for (int i = 0; i < 40; ++i) {
        FKeys->Now += 20;
        tap('A' + i % 26, 30);
    }
    QVERIFY(w->LayoutActionsFull->isVisibleTo(w.get()));
    QCOMPARE(w->ListBoxMacroKey->topLevelItemCount(), 127);
    w->BtnMacroStop->click();
    const TMACROKEYINFO stored = w->MacroClass().MacroKeyInfos()[0];
    QCOMPARE(stored.MacroListCount, 127);
    QCOMPARE(stored.HaveErrors, 0); // the 127th action is a release
    QVERIFY(w->LayoutActionsFull->isVisibleTo(w.get()));
    QCOMPARE(w->ListBoxMacroKey->topLevelItemCount(), 127);
}

// What is typed into a box counts when a button is pressed next, without Enter; a number beyond
// the box's range is clamped, never cut to the digits that fit.
void MacroEditorTest::typedNumbersCountWhenAButtonIsPressed()
{
    auto w = open(*macroList({ macro("Alpha", { keyAction('A', P), keyAction('A', R) }), macro("Beta") }), 1);
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const auto typeInto = [](NumberBox* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    };
    w->BtnCustomDelay->setChecked(true);
    typeInto(w->NumBoxDelay, "50");
    QTest::mouseClick(w->BtnMacroStart, Qt::LeftButton);
    QVERIFY(w->IsRecording());
    QVERIFY(tap('K', 300));
    QTest::mouseClick(w->BtnMacroStop, Qt::LeftButton);
    QCOMPARE(actions(w->MacroClass().MacroKeyInfos()[1]),
        (QStringList { text(keyAction('K', P)), text(delayAction(50)), text(keyAction('K', R)) }));

    w->BtnMacroLoop->setChecked(true);
    typeInto(w->BoxMacroLoop, "300");
    QTest::mouseClick(w->BtnOK, Qt::LeftButton);
    QCOMPARE(w->BoxMacroLoop->value(), 255);
    QCOMPARE(int(w->MacroClass().MacroKeyInfos()[1].nLoopCount), 255);
    QCOMPARE(int(readMacroFile(FHome->path() / "BVProfile1_Macros" / "Beta.macro").nLoopCount), 255);
}

// Every row of both lists has one height, selected or not, on the first opening and the later ones.
void MacroEditorTest::rowsKeepOneHeightOnEveryOpening()
{
    std::set<int> heights;
    for (int opening = 0; opening < 3; ++opening) {
        auto w = open(*macroList({ macro("Alpha", { keyAction('A', P), delayAction(40), keyAction('A', R) }),
                          macro("Beta"), macro("Gamma") }),
            0);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->ListBoxMacroList->setCurrentRow(1);
        w->ListBoxMacroList->setCurrentRow(0);
        w->ListBoxMacroKey->setCurrentItem(w->ListBoxMacroKey->topLevelItem(1));
        QApplication::processEvents();
        for (int i = 0; i < w->ListBoxMacroList->count(); ++i)
            heights.insert(w->ListBoxMacroList->visualItemRect(w->ListBoxMacroList->item(i)).height());
        for (int i = 0; i < w->ListBoxMacroKey->topLevelItemCount(); ++i)
            heights.insert(w->ListBoxMacroKey->visualItemRect(w->ListBoxMacroKey->topLevelItem(i)).height());
        // Rows follow each other without overlap.
        const QRect first = w->ListBoxMacroList->visualItemRect(w->ListBoxMacroList->item(0));
        const QRect second = w->ListBoxMacroList->visualItemRect(w->ListBoxMacroList->item(1));
        QCOMPARE(second.top(), first.bottom() + 1);
    }
    QCOMPARE(int(heights.size()), 1);
}

void MacroEditorTest::aRefusedKeyboardHookIsToldOnce()
{
    RefusingKeyboardHook refusing;
    TFrmMacro w(*FDialogs, &refusing);
    w.SetMacroKeyInfoList(*macroList({ macro("Alpha", { keyAction('A', P) }) }));
    w.SetMacroListIndex(0);
    w.SetMacroPath(FFolder);
    w.FillMacroList();
    w.show();
    w.BtnMacroStart->click();
    QVERIFY(!w.IsRecording());
    QVERIFY(!w.BtnMacroStart->isChecked());
    QCOMPARE(int(FDialogs->Calls.size()), 1);
    QCOMPARE(FDialogs->Calls[0].Text, QString(kKeyboardHookFailed));
    QCOMPARE(w.ListBoxMacroKey->topLevelItemCount(), 1); // the macro's actions are shown again

    // The capture dialogs say it once, when they stand, however often they are shown.
    TFrmSingleKey single(TSINGLEKEYINFO { 'Q', 0 }, &refusing);
    int told = 0;
    single.OnRecorderFailed = [&told](QWidget*) { ++told; };
    single.show();
    QTRY_COMPARE(told, 1);
    single.hide();
    single.show();
    QApplication::processEvents();
    QCOMPARE(told, 1);
}

void MacroEditorTest::loopCountAndDelayEditing()
{
    const TMACROKEY media { kActionMediaKey, 1, 0xCD, 0 };
    auto w = open(*macroList({ macro("Alpha", { keyAction('A', P), media, delayAction(300), keyAction('A', R) }),
                      macro("Beta", {}, 1, 9) }),
        0);

    // The loop toggle and every change of the box store the count at once.
    w->BtnMacroLoop->setChecked(true);
    QVERIFY(w->BoxMacroLoop->isEnabled());
    QCOMPARE(w->BoxMacroLoop->value(), 1);
    const auto loops = [&w](int i) { return int(w->MacroClass().MacroKeyInfos()[std::size_t(i)].nLoopCount); };
    QCOMPARE(loops(0), 1);
    w->BoxMacroLoop->setValue(7); // as typed by the user
    QCOMPARE(loops(0), 7);
    w->BoxMacroLoop->setValue(300);
    QCOMPARE(loops(0), 255);
    w->BtnMacroLoop->setChecked(false);
    QCOMPARE(w->BoxMacroLoop->value(), 0);
    QCOMPARE(loops(0), 0);
    QCOMPARE(loops(1), 9);

    // A recording keeps the loop count shown.
    w->ListBoxMacroList->setCurrentRow(1);
    QVERIFY(w->BtnMacroLoop->isChecked());
    QCOMPARE(w->BoxMacroLoop->value(), 9);
    w->BtnMacroStart->click();
    w->BoxMacroLoop->setValue(4);
    tap('K', 50);
    w->BtnMacroStop->click();
    QCOMPARE(loops(1), 4);
    QCOMPARE(rows(*w), (QStringList { "KeyDown:" + keyName('K'), "Delay:50", "KeyUp:" + keyName('K') }));

    // Editing a delay: the media key has its own row, named by its consumer usage; the edit lands
    // on the delay's own action.
    w->ListBoxMacroList->setCurrentRow(0);
    QCOMPARE(rows(*w),
        (QStringList { "KeyDown:" + keyName('A'), "KeyDown:MEDIA_PLAY_PAUSE", "Delay:300", "KeyUp:" + keyName('A') }));
    const struct {
        QString typed;
        int stored;
    } edits[] = { { "75", 75 }, { "3", 10 }, { "70000", 65535 }, { "", 10 } };
    for (const auto& e : edits) {
        QTreeWidgetItem* delayRow = w->ListBoxMacroKey->topLevelItem(2);
        w->ListBoxMacroKey->setCurrentItem(delayRow);
        emit w->ListBoxMacroKey->itemDoubleClicked(delayRow, 2);
        QVERIFY(w->TextEditDelay->isVisible());
        w->TextEditDelay->setText(e.typed);
        QTest::keyClick(w->TextEditDelay, Qt::Key_Return);
        QVERIFY(!w->TextEditDelay->isVisible());
        const TMACROKEYINFO m = w->MacroClass().MacroKeyInfos()[0];
        QCOMPARE(actions(m),
            (QStringList {
                text(keyAction('A', P)), text(media), text(delayAction(e.stored)), text(keyAction('A', R)) }));
        QCOMPARE(rows(*w)[2], "Delay:" + QString::number(e.stored));
        QCOMPARE(w->ListBoxMacroKey->currentItem(), w->ListBoxMacroKey->topLevelItem(2));
    }

    // Leaving the box stores nothing; a key row does not open it.
    QTreeWidgetItem* delayRow = w->ListBoxMacroKey->topLevelItem(2);
    w->ListBoxMacroKey->setCurrentItem(delayRow);
    emit w->ListBoxMacroKey->itemDoubleClicked(delayRow, 2);
    w->TextEditDelay->setText("999");
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(w->TextEditDelay, &focusOut);
    QVERIFY(!w->TextEditDelay->isVisible());
    QCOMPARE(w->MacroClass().CurrentMacroAction()->GetDelayValue(2), 10);
    QTreeWidgetItem* keyRow = w->ListBoxMacroKey->topLevelItem(0);
    w->ListBoxMacroKey->setCurrentItem(keyRow);
    emit w->ListBoxMacroKey->itemDoubleClicked(keyRow, 1);
    QVERIFY(!w->TextEditDelay->isVisible());
}

void MacroEditorTest::okWritesTheMacroFilesAndHandsTheListBack()
{
    auto given = macroList({ macro("Alpha", { keyAction('A', P), keyAction('A', R) }), macro("Beta") });
    given->MacroInfos[7].MacroListCount = 77; // a stale slot past the count is handed back as it was
    auto w = open(*given, 0);

    // OK while recording stops the recorder and keeps the recording.
    w->ListBoxMacroList->setCurrentRow(1);
    w->BtnMacroStart->click();
    tap('B', 40);
    w->BtnOK->click();
    QVERIFY(!FKeys->Hook.IsEnabled());
    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), kMessageOK);
    QVERIFY(FDialogs->Calls.empty());

    const MacroEditorResult result = w->Result();
    QCOMPARE(result.CurrentMacro, 1);
    QCOMPARE(int(result.Macros.nMacroInfoCount), 2);
    QCOMPARE(result.Macros.MacroInfos[7].MacroListCount, 77);
    QCOMPARE(actions(result.Macros.MacroInfos[1]),
        (QStringList { text(keyAction('B', P)), text(delayAction(40)), text(keyAction('B', R)) }));
    const auto folder = bv::test::fromUtf8(FFolder);
    for (int i = 0; i < 2; ++i) {
        const TMACROKEYINFO& m = result.Macros.MacroInfos[i];
        const auto file = folder / (MacroName(m) + ".macro");
        QVERIFY(std::filesystem::exists(file));
        QCOMPARE(std::filesystem::file_size(file), std::uintmax_t(892));
        const TMACROKEYINFO onDisk = readMacroFile(file);
        QVERIFY(std::memcmp(&onDisk, &m, sizeof m) == 0);
    }

    // Files that cannot be written are told; the list still goes back, so nothing is lost.
    {
        std::ofstream blocker(folder / "file");
    }
    auto blocked = std::make_unique<TFrmMacro>(*FDialogs, &FKeys->Hook);
    blocked->SetMacroKeyInfoList(*given);
    blocked->SetMacroPath(bv::test::utf8(folder / "file" / "sub"));
    blocked->FillMacroList();
    blocked->show();
    blocked->BtnOK->click();
    QCOMPARE(blocked->result(), kMessageOK);
    QCOMPARE(FDialogs->Calls.size(), std::size_t(1));
    QCOMPARE(FDialogs->Calls[0].Title, QString("Warning"));
    QCOMPARE(FDialogs->Calls[0].Text, QString("The macro files could not be saved."));
    QVERIFY(FDialogs->Calls[0].SecondLine.contains("file"));
    QCOMPARE(int(blocked->Result().Macros.nMacroInfoCount), 2);
    QCOMPARE(blocked->Result().CurrentMacro, 0);
}

void MacroEditorTest::cancelAndCloseLeaveTheListAsItWas()
{
    auto w = open(*macroList({ macro("Alpha") }), 0);
    answerCreate("Reload");
    w->BSBTNNEWMACRO->click();

    // CANCEL while recording stops the recorder first, then asks; CANCEL in the question stays.
    w->BtnMacroStart->click();
    QVERIFY(FKeys->Hook.IsEnabled());
    FDialogs->Answers = { kMessageCancel, kMessageOK };
    w->BtnCANCEL->click();
    QVERIFY(!FKeys->Hook.IsEnabled());
    QVERIFY(!w->IsRecording());
    QVERIFY(w->isVisible());
    QCOMPARE(FDialogs->Calls.back().Title, QString("Warning"));
    QCOMPARE(FDialogs->Calls.back().Text, QString("Do you want to leave macro manager without saving?"));
    QCOMPARE(FDialogs->Calls.back().SecondLine, QString());

    // Escape asks the same question; OK leaves, cancelled. Only a .macro placeholder is on disk.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    QCOMPARE(FDialogs->Calls.size(), std::size_t(2));
    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), kMessageCancel);
    QVERIFY(!std::filesystem::exists(bv::test::fromUtf8(FFolder) / "Alpha.macro"));

    // The title bar's own close asks nothing.
    auto closed = open(*macroList({ macro("Alpha") }), 0);
    closed->BtnClose->click();
    QVERIFY(!closed->isVisible());
    QCOMPARE(closed->result(), kMessageCancel);
    QCOMPARE(FDialogs->Calls.size(), std::size_t(2));
}

// Alt+F4 during a recording is recorded where the keyboard is grabbed (X11); where the window
// manager closes the window anyway, the editor asks as CANCEL does and keeps the session's macros.
void MacroEditorTest::closingThroughTheWindowManagerAsks()
{
    auto w = open(*macroList({ macro("Alpha"), macro("Beta", { keyAction('B', P), keyAction('B', R) }) }), 0);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->BtnMacroStart->click();
    QCOMPARE(QWidget::keyboardGrabber(), w.get());
    QTest::keyClick(w->windowHandle(), Qt::Key_F4, Qt::AltModifier);
    QVERIFY2(w->isVisible(), "the keys go to the recorder");

    FDialogs->Answers = { kMessageCancel };
    w->close();
    QVERIFY(w->isVisible());
    QCOMPARE(FDialogs->Calls.back().Text, QString("Do you want to leave macro manager without saving?"));
    QVERIFY(!w->IsRecording());
    QCOMPARE(QWidget::keyboardGrabber(), nullptr);
    const QStringList recorded = actions(w->MacroClass().MacroKeyInfos()[0]);
    QVERIFY(recorded.contains(text(keyAction(0x73, P))));
    QVERIFY(recorded.contains(text(keyAction(0xA4, P))));

    FDialogs->Answers = { kMessageOK };
    w->close();
    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), kMessageCancel);
}

void MacroEditorTest::theSeamReturnsTheListOnlyOnOk()
{
    ModalDialogs dialogs;
    const auto given = macroList({ macro("Alpha"), macro("Beta", { keyAction('B', P), keyAction('B', R) }) });
    for (const bool ok : { false, true }) {
        QTimer::singleShot(0, [ok] {
            auto* w = qobject_cast<TFrmMacro*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QCOMPARE(w->ListBoxMacroList->currentRow(), 1);
            w->ListBoxMacroList->setCurrentRow(0);
            if (ok)
                w->BtnOK->click();
            else
                w->BtnClose->click();
        });
        const std::optional<MacroEditorResult> result = dialogs.EditMacros(nullptr, *given, 1, FFolder);
        QCOMPARE(result.has_value(), ok);
        QCOMPARE(std::filesystem::exists(bv::test::fromUtf8(FFolder) / "Beta.macro"), ok);
        if (ok) {
            QCOMPARE(result->CurrentMacro, 0);
            QCOMPARE(int(result->Macros.nMacroInfoCount), 2);
            QVERIFY(std::memcmp(&result->Macros, given.get(), sizeof *given) == 0);
        }
    }
}

void MacroEditorTest::screenshot()
{
    auto w = open(*macroList({ macro("Reload",
                                   { keyAction('R', P), delayAction(85), keyAction('R', R), delayAction(40),
                                       keyAction(0xA3, P, 1), delayAction(120), keyAction('C', P), delayAction(60),
                                       keyAction('C', R), delayAction(10), keyAction(0xA3, R, 1) },
                                   1, 3),
                      macro("Grenade", { keyAction('G', P) }, 1, 0, 1), macro("Sprint") }),
        0);
    QCOMPARE(w->size(), QSize(780, 600));
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(w->grab().save(ScreenshotFolder() + "/macro-editor.png"));
}

QTEST_MAIN(MacroEditorTest)
#include "macro_editor_test.moc"
