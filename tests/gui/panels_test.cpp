// The panels on their own, outside the window: a refresh shows the profile and reports no change,
// a user's change goes into the profile and is reported.

#include "gui_fixture.h"

#include "mainwindow/advanced_panel.h"
#include "mainwindow/light_panel.h"
#include "mainwindow/sensitivity_panel.h"
#include "toolkit/caption_button.h"
#include "toolkit/number_box.h"
#include "toolkit/track_bar.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QWidget>
#include <QtTest>

#include <cstring>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

struct PanelRig {
    WindowRig rig { 0, false };
    QWidget area;
    int changes = 0;

    PanelContext Context()
    {
        PanelContext c;
        c.DM = rig.dm.get();
        c.UserDialogs = &rig.dialogs;
        c.Window = &area;
        c.Starting = [] { return false; };
        c.Changed = [this] { ++changes; };
        c.Pause = [](int) {};
        return c;
    }
    TMOUSECONFIGINFO& Config() { return rig.dm->CurrentProfileInfo().ConfigInfo; }
    bool ProfileIs(const TMOUSECONFIGINFO& c) { return std::memcmp(&Config(), &c, sizeof c) == 0; }
};

} // namespace

class PanelsTest : public QObject {
    Q_OBJECT

private slots:
    void sensitivityShowsTheProfileAndStoresAChange();
    void lightShowsTheProfileAndPreviewsAChange();
    void advancedShowsTheProfileAndStoresAChange();
};

void PanelsTest::sensitivityShowsTheProfileAndStoresAChange()
{
    PanelRig p;
    SensitivityPanel panel(p.Context(), &p.area);
    p.Config().CPIState[2].X = 1800;
    p.Config().CPIState[3].State = 0;
    p.Config().ApplyAccelaration = 1;
    const TMOUSECONFIGINFO shown = p.Config();

    panel.Refresh();
    QCOMPARE(panel.CPILevelControls()[2].X->value(), 1800);
    QVERIFY(panel.CPILevelControls()[3].Level->isChecked()); // pressed: out of the cycle
    QVERIFY(Control<QCheckBox>(p.area, "CHKApplyAccelaration")->isChecked());
    QVERIFY(p.ProfileIs(shown));
    QCOMPARE(p.changes, 0);

    Control<QCheckBox>(p.area, "CHKApplyAccelaration")->click();
    QCOMPARE(int(p.Config().ApplyAccelaration), 0);
    QCOMPARE(p.changes, 1);
}

void PanelsTest::lightShowsTheProfileAndPreviewsAChange()
{
    PanelRig p;
    QWidget lightTab;
    int previews = 0;
    LightPanel panel(p.Context(), &p.area, &lightTab, [&previews] { ++previews; });
    p.Config().ReportRate = 500;
    p.Config().LEDConfig.BRIGHT_LEVEL = 0;
    const TMOUSECONFIGINFO shown = p.Config();

    panel.Refresh();
    QVERIFY(Control<QRadioButton>(p.area, "RD500HZ")->isChecked());
    QVERIFY(Control<QRadioButton>(lightTab, "rClose")->isChecked());
    QVERIFY(p.ProfileIs(shown));
    QCOMPARE(p.changes, 0);

    Control<QRadioButton>(lightTab, "rHigh")->click();
    QCOMPARE(int(p.Config().LEDConfig.BREATH_SPEED), 3);
    QCOMPARE(int(p.Config().WheelLedOnOff), 1);
    QVERIFY(p.changes > 0); // the radio left and the radio chosen both report
    QVERIFY(previews >= 1);
}

void PanelsTest::advancedShowsTheProfileAndStoresAChange()
{
    PanelRig p;
    TSystemMouseParams params {};
    std::vector<std::string> refused;
    AdvancedPanel panel(p.Context(), &p.area, params, nullptr,
        [&refused](std::vector<std::string> lines) { refused.insert(refused.end(), lines.begin(), lines.end()); });
    p.Config().VWheelSpeed = 20;
    p.Config().PointerSpeed = 7;
    const TMOUSECONFIGINFO shown = p.Config();

    panel.Refresh();
    QVERIFY(Control<QRadioButton>(p.area, "RDSCROLLONEPAGE")->isChecked());
    QVERIFY(!Control<TrackBar>(p.area, "TRACKBARSCROLLSPEED")->isEnabled());
    QCOMPARE(params.PointerSpeed, 7);
    QVERIFY(p.ProfileIs(shown));
    QCOMPARE(p.changes, 0);

    Control<TrackBar>(p.area, "TrackBarPointerSpeed")->SetValue(12);
    QCOMPARE(int(p.Config().PointerSpeed), 12);
    QCOMPARE(params.PointerSpeed, 12);
    QCOMPARE(p.changes, 1);
    QVERIFY(refused.empty());
}

QTEST_MAIN(PanelsTest)
#include "panels_test.moc"
