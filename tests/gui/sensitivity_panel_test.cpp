// The sensitivity panel: what the level buttons, the X and Y boxes, the two options and
// "Defaults" store in the current profile, and what the panel shows afterwards.

#include "gui_fixture.h"

#include "mainwindow/MainConfig.h"
#include "toolkit/caption_button.h"
#include "toolkit/glow.h"
#include "toolkit/number_box.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

TMOUSECONFIGINFO& Config(WindowRig& rig)
{
    return rig.dm->CurrentProfileInfo().ConfigInfo;
}

/// The current profile's saved-back image, which is what profile switches and Apply see.
std::unique_ptr<TMOUSEPROFILEINFO> Stored(WindowRig& rig)
{
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    if (!rig.dm->ReadProfileInfo(*p, rig.dm->ProfileIndex()))
        return nullptr;
    return p;
}

bool Same(const CPILevelEntry& a, const CPILevelEntry& b)
{
    return a.X == b.X && a.Y == b.Y && a.State == b.State;
}

/// The levels, the current level and the options of the working copy are in the stored image.
bool StoredMatchesWorkingCopy(WindowRig& rig)
{
    const auto stored = Stored(rig);
    if (!stored)
        return false;
    const TMOUSECONFIGINFO& s = stored->ConfigInfo;
    const TMOUSECONFIGINFO& c = Config(rig);
    for (int n = 0; n < kCPILevelsUsed; ++n)
        if (!Same(s.CPIState[n], c.CPIState[n]) || !Same(s.HWCPIState[n], c.HWCPIState[n]))
            return false;
    return s.CurrentCPIIndex == c.CurrentCPIIndex && s.CPILevel == c.CPILevel
        && s.ApplyDiffirentXY == c.ApplyDiffirentXY && s.ApplyAccelaration == c.ApplyAccelaration;
}

/// Types a value into a box and confirms it, as a user does.
void Type(NumberBox* box, int value)
{
    box->selectAll();
    QTest::keyClicks(box, QString::number(value));
    QTest::keyClick(box, Qt::Key_Return);
}

int GlowingLevel(const TBrisvaneCfgMain& w)
{
    int glowing = -1;
    for (int n = 0; n < kCPILevelsUsed; ++n) {
        const TCPINumberBoxes& boxes = w.Sensitivity().CPINumberBoxes()[n];
        if (IsGlowing(boxes.X) != IsGlowing(boxes.Y))
            return -2;
        if (IsGlowing(boxes.X))
            glowing = glowing == -1 ? n : -2;
    }
    return glowing;
}

const std::uint16_t kFactoryCPI[4] = { 400, 800, 1600, 3500 };
const std::uint16_t kFactorySteps[4] = { 500, 750, 1500, 3500 };

} // namespace

class SensitivityPanelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void aTypedValueStoresTheLevelAndItsDeviceStep_data();
    void aTypedValueStoresTheLevelAndItsDeviceStep();
    void levelButtonsTakeLevelsOutAndBackButKeepOne();
    void levelsStoredDisabledAreEnabledByTheReleasingClick();
    void optionsAreStoredByUserAndRefreshButNotAtStartUp();
    void defaultsRestoreLevelsAndRateAndSelectLevelTwo();
};

void SensitivityPanelTest::aTypedValueStoresTheLevelAndItsDeviceStep_data()
{
    QTest::addColumn<bool>("separate");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("step");

    QTest::newRow("linked Y3") << false << "Y3" << 1200 << 1200 << 1200 << 1250;
    QTest::newRow("separate Y3") << true << "Y3" << 1200 << 1600 << 1200 << 1500;
    QTest::newRow("separate Y1, larger axis") << true << "Y1" << 800 << 400 << 800 << 750;
    QTest::newRow("linked X1, lowest") << false << "X1" << 100 << 100 << 100 << 250;
    QTest::newRow("separate X4, below Y") << true << "X4" << 200 << 200 << 3500 << 3500;
    // Beyond the box's range: clamped, never cut to the digits that fit (5000 is not 500).
    QTest::newRow("linked X2, too high") << false << "X2" << 5000 << 3500 << 3500 << 3500;
}

void SensitivityPanelTest::aTypedValueStoresTheLevelAndItsDeviceStep()
{
    QFETCH(bool, separate);
    QFETCH(QString, box);
    QFETCH(int, value);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, step);

    WindowRig rig;
    auto w = rig.Start();
    QVERIFY(!Control<QCheckBox>(w, "CHKApplyDiffirentXY")->isChecked()); // the factory profile links X and Y
    if (separate)
        Control<QCheckBox>(w, "CHKApplyDiffirentXY")->click();
    QCOMPARE(Config(rig).ApplyDiffirentXY, separate ? 1 : 0);
    w->SettingsChanged = false;

    auto* edited = w->findChild<NumberBox*>(box);
    QVERIFY(edited);
    const int level = edited->property("tag").toInt();
    Type(edited, value);

    const TMOUSECONFIGINFO& c = Config(rig);
    QCOMPARE(int(c.CPIState[level].X), x);
    QCOMPARE(int(c.CPIState[level].Y), y);
    QCOMPARE(int(c.HWCPIState[level].X), step);
    QCOMPARE(int(c.HWCPIState[level].Y), step);
    QCOMPARE(int(c.HWCPIState[level].State), 1);
    for (int n = 0; n < kCPILevelsUsed; ++n)
        if (n != level) {
            QCOMPARE(c.CPIState[n].X, kFactoryCPI[n]);
            QCOMPARE(c.HWCPIState[n].X, kFactorySteps[n]);
        }
    // Both boxes show the level, the linked partner included.
    QCOMPARE(w->Sensitivity().CPINumberBoxes()[level].X->value(), x);
    QCOMPARE(w->Sensitivity().CPINumberBoxes()[level].Y->value(), y);
    QVERIFY(StoredMatchesWorkingCopy(rig));
    QVERIFY(w->SettingsChanged);
}

void SensitivityPanelTest::levelButtonsTakeLevelsOutAndBackButKeepOne()
{
    WindowRig rig;
    Config(rig).CPILevel = 0;
    rig.dm->SaveBackToCurrentProfileInfo();
    auto w = rig.Start();
    const auto& rows = w->Sensitivity().CPILevelControls();

    auto expectLevel = [&](int n, bool enabled) {
        QCOMPARE(int(Config(rig).CPIState[n].State), enabled ? 1 : 0);
        QCOMPARE(int(Config(rig).HWCPIState[n].State), enabled ? 1 : 0);
        QCOMPARE(rows[n].Level->StyleName(), QString(enabled ? "MyDPIBtnA" : "MyDPIBtn"));
        QCOMPARE(rows[n].Level->isChecked(), !enabled); // pressed means taken out
        QCOMPARE(rows[n].X->isEnabled(), enabled);
        QCOMPARE(rows[n].Y->isEnabled(), enabled);
    };
#define EXPECT_LEVEL(n, enabled)                                                                                       \
    do {                                                                                                               \
        expectLevel(n, enabled);                                                                                       \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

    for (int n = 0; n < 3; ++n) {
        rows[n].Level->click();
        EXPECT_LEVEL(n, false);
        QCOMPARE(Config(rig).CurrentCPIIndex, n + 1);
    }
    QCOMPARE(int(Config(rig).CPILevel), 4);
    QVERIFY(w->SettingsChanged);
    QVERIFY(StoredMatchesWorkingCopy(rig));

    // The last enabled level springs back.
    rows[3].Level->click();
    EXPECT_LEVEL(3, true);
    QCOMPARE(Config(rig).CurrentCPIIndex, 3);

    // Taking a level back in makes the first enabled level current, not the one clicked.
    rows[1].Level->click();
    EXPECT_LEVEL(1, true);
    QCOMPARE(Config(rig).CurrentCPIIndex, 1);
    rows[2].Level->click();
    EXPECT_LEVEL(2, true);
    QCOMPARE(Config(rig).CurrentCPIIndex, 1);
    EXPECT_LEVEL(0, false);
    QVERIFY(StoredMatchesWorkingCopy(rig));
#undef EXPECT_LEVEL
}

void SensitivityPanelTest::levelsStoredDisabledAreEnabledByTheReleasingClick()
{
    {
        // The buttons follow the profile (pressed = disabled), so one click always toggles.
        WindowRig rig;
        Config(rig).CPIState[2].State = 0;
        rig.dm->SaveBackToCurrentProfileInfo();
        auto w = rig.Start();
        QCOMPARE(Control<CaptionButton>(w, "DPI3")->StyleName(), QString("MyDPIBtn"));
        QVERIFY(Control<CaptionButton>(w, "DPI3")->isChecked());
        Control<CaptionButton>(w, "DPI3")->click();
        QVERIFY(!Control<CaptionButton>(w, "DPI3")->isChecked());
        QCOMPARE(int(Config(rig).CPIState[2].State), 1);
        QCOMPARE(Control<CaptionButton>(w, "DPI3")->StyleName(), QString("MyDPIBtnA"));
        Control<CaptionButton>(w, "DPI3")->click();
        QVERIFY(Control<CaptionButton>(w, "DPI3")->isChecked());
        QCOMPARE(int(Config(rig).CPIState[2].State), 0);
    }
    {
        // A profile without any enabled level: the refused press enables the clicked level
        // instead of leaving no way to enable one.
        WindowRig rig;
        for (int n = 0; n < kCPILevelsUsed; ++n)
            Config(rig).CPIState[n].State = 0;
        rig.dm->SaveBackToCurrentProfileInfo();
        auto w = rig.Start();
        Control<CaptionButton>(w, "dpi2")->click();
        QVERIFY(!Control<CaptionButton>(w, "dpi2")->isChecked());
        QCOMPARE(int(Config(rig).CPIState[1].State), 1);
        QCOMPARE(int(Config(rig).HWCPIState[1].State), 1);
        QCOMPARE(Config(rig).CurrentCPIIndex, 1);
        QVERIFY(Control<NumberBox>(w, "X2")->isEnabled());
        QVERIFY(StoredMatchesWorkingCopy(rig));
    }
}

void SensitivityPanelTest::optionsAreStoredByUserAndRefreshButNotAtStartUp()
{
    WindowRig rig;
    // An edit of the working copy that was never saved back: start-up must not save it, though
    // CHKApplyDiffirentXY changes while the window fills its controls.
    Config(rig).CPIState[0].X = 1700;
    auto w = rig.Start();
    QVERIFY(!Control<QCheckBox>(w, "CHKApplyDiffirentXY")->isChecked());
    QCOMPARE(int(Stored(rig)->ConfigInfo.CPIState[0].X), 400);
    QVERIFY(!w->SettingsChanged);
    Config(rig).CPIState[0].X = 400;

    Control<QCheckBox>(w, "CHKApplyAccelaration")->click();
    QCOMPARE(Config(rig).ApplyAccelaration, 1);
    QCOMPARE(Stored(rig)->ConfigInfo.ApplyAccelaration, 1);
    QVERIFY(w->SettingsChanged);
    Control<QCheckBox>(w, "CHKApplyAccelaration")->click();
    QCOMPARE(Stored(rig)->ConfigInfo.ApplyAccelaration, 0);

    // A refresh shows what the profile holds and writes nothing: no store, no changed flag.
    w->SettingsChanged = false;
    Config(rig).ApplyDiffirentXY = 1;
    Config(rig).CPIState[1].X = 2000;
    w->RefreshCPIPanel();
    QVERIFY(Control<QCheckBox>(w, "CHKApplyDiffirentXY")->isChecked());
    QCOMPARE(Stored(rig)->ConfigInfo.ApplyDiffirentXY, 0);
    QVERIFY(!w->SettingsChanged);
    QCOMPARE(Control<NumberBox>(w, "X2")->value(), 2000);
    QCOMPARE(int(Config(rig).HWCPIState[1].X), 750);

    // Changing the option leaves the stored values as they are.
    Control<QCheckBox>(w, "CHKApplyDiffirentXY")->click();
    QCOMPARE(Config(rig).ApplyDiffirentXY, 0);
    QCOMPARE(int(Config(rig).CPIState[1].X), 2000);
    QCOMPARE(int(Config(rig).CPIState[1].Y), 800);
}

void SensitivityPanelTest::defaultsRestoreLevelsAndRateAndSelectLevelTwo()
{
    WindowRig rig;
    TMOUSECONFIGINFO& c = Config(rig);
    c.CPIState[0] = { 1000, 2000, 1 };
    c.HWCPIState[0] = { 2000, 2000, 1 };
    c.CPIState[2].State = 0;
    c.CPIState[5] = { 900, 900, 1 }; // beyond the four levels
    c.CurrentCPIIndex = 3;
    rig.dm->SaveBackToCurrentProfileInfo();
    auto w = rig.Start();

    QTest::mouseClick(Control<NumberBox>(w, "X4"), Qt::LeftButton);
    QCOMPARE(GlowingLevel(*w), 3);
    QVERIFY(!w->SettingsChanged);

    Control<CaptionButton>(w, "BSBTNSENSDEFAULTS")->click();
    for (int n = 0; n < kCPILevelsUsed; ++n) {
        QVERIFY(Same(c.CPIState[n], { kFactoryCPI[n], kFactoryCPI[n], 1 }));
        QVERIFY(Same(c.HWCPIState[n], { kFactorySteps[n], kFactorySteps[n], 1 }));
        QCOMPARE(w->Sensitivity().CPINumberBoxes()[n].X->value(), int(kFactoryCPI[n]));
        QVERIFY(w->Sensitivity().CPINumberBoxes()[n].Y->isEnabled());
        QCOMPARE(int(c.UseDiffentXY[n]), 0);
    }
    QVERIFY(Same(c.CPIState[5], { 0, 0, 0 }));
    QCOMPARE(c.CurrentCPIIndex, 1);
    QCOMPARE(GlowingLevel(*w), 1);
    QVERIFY(StoredMatchesWorkingCopy(rig));
    // Kept in the profile, so OK applies it and Cancel asks.
    QVERIFY(w->SettingsChanged);

    // The report rate goes back to 125 Hz with the levels.
    Control<QRadioButton>(w, "RD1000HZ")->click();
    QCOMPARE(int(c.ReportRate), 1000);
    Control<CaptionButton>(w, "BSBTNSENSDEFAULTS")->click();
    QCOMPARE(int(c.ReportRate), 125);
    QVERIFY(Control<QRadioButton>(w, "RD125HZ")->isChecked());
    QVERIFY2(StoredMatchesWorkingCopy(rig), "the rate is stored with the levels");
}

QTEST_MAIN(SensitivityPanelTest)
#include "sensitivity_panel_test.moc"
