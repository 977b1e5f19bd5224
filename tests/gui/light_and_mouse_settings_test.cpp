// The Light tab, the report rate and the Advanced tab: what each change stores, previews on the
// mouse and hands to the system.

#include "gui_fixture.h"

#include "mainwindow/MainConfig.h"
#include "toolkit/caption_button.h"
#include "toolkit/language_box.h"
#include "toolkit/picture.h"
#include "toolkit/track_bar.h"
#include "util/uiThread.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

// The wheel light byte: bit 7 on/off.
constexpr std::uint16_t kWheelLightAddress = 62;

const TMOUSECONFIGINFO& Config(WindowRig& rig)
{
    return rig.dm->CurrentProfileInfo().ConfigInfo;
}

} // namespace

class LightAndMouseSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void breathingClosedTurnsTheLightOffAndHighSpeedBackOn();
    void aSwatchSetsTheColourAndPreviewsIt();
    void reportRateIsStoredWithoutTouchingTheMouse();
    void advancedTabStoresItsValuesAndSetsOnlyTheDoubleClickTimeAtOnce();
    void defaultsRestoreLightAndReportRate();
    void trackBarsMoveFromTheKeyboardAndShowTheirValues();
    void theMouseDrawingShowsTheLight();
};

void LightAndMouseSettingsTest::breathingClosedTurnsTheLightOffAndHighSpeedBackOn()
{
    WindowRig rig;
    auto w = rig.Start();
    QVERIFY(!w->SettingsChanged);

    Control<QRadioButton>(w, "rClose")->click();
    QCOMPARE(int(Config(rig).WheelLedOnOff), 0);
    QCOMPARE(int(Config(rig).LEDConfig.BRIGHT_LEVEL), 0);
    QCOMPARE(int(Config(rig).LEDConfig.BREATH_SPEED), 0);
    VirtualMouseState s = rig.mouse->state();
    QVERIFY(s.previewShown);
    QCOMPARE(int(s.preview[3]), 0);
    QCOMPARE(int(s.preview[4]), 0);
    QCOMPARE(s.memory[kWheelLightAddress] & 0x80, 0);
    QVERIFY(!s.bracketOpen);
    QVERIFY(w->SettingsChanged);

    Control<QRadioButton>(w, "rHigh")->click();
    QCOMPARE(int(Config(rig).WheelLedOnOff), 1);
    QCOMPARE(int(Config(rig).LEDConfig.BRIGHT_LEVEL), 3);
    QCOMPARE(int(Config(rig).LEDConfig.BREATH_SPEED), 3);
    s = rig.mouse->state();
    QCOMPARE(int(s.preview[3]), 3);
    QCOMPARE(int(s.preview[4]), 3);
    QCOMPARE(s.memory[kWheelLightAddress] & 0x80, 0x80);
    // Each breathing change waits 100 ms for the mouse; two handlers ran for each click.
    QCOMPARE(rig.pauses, (std::vector<int> { 100, 100, 100, 100 }));
    // The change is in the profile's stored image too, not only in the working copy.
    auto stored = std::make_unique<TMOUSEPROFILEINFO>();
    QVERIFY(rig.dm->ReadProfileInfo(*stored, rig.dm->ProfileIndex()));
    QCOMPARE(int(stored->ConfigInfo.LEDConfig.BREATH_SPEED), 3);
}

void LightAndMouseSettingsTest::aSwatchSetsTheColourAndPreviewsIt()
{
    WindowRig rig;
    auto w = rig.Start();
    QTest::mouseClick(Control<PictureBox>(w, "C4"), Qt::LeftButton);
    const TLEDCONFIG led = Config(rig).LEDConfig;
    QCOMPARE(int(led.R), 0);
    QCOMPARE(int(led.G), 96);
    QCOMPARE(int(led.B), 96);
    const VirtualMouseState s = rig.mouse->state();
    // The device takes the colour inverted, green first.
    QCOMPARE(int(s.preview[0]), 255 - 96);
    QCOMPARE(int(s.preview[1]), 255 - 96);
    QCOMPARE(int(s.preview[2]), 255);
    QVERIFY(w->SettingsChanged);
    QCOMPARE(
        Control<PictureBox>(w, "ImageLightColor")->Picture().toImage(), w->Light().LightColours()[3].Picture.toImage());
}

void LightAndMouseSettingsTest::reportRateIsStoredWithoutTouchingTheMouse()
{
    WindowRig rig;
    auto w = rig.Start();
    const VirtualMouseState before = rig.mouse->state();
    Control<QRadioButton>(w, "RD500HZ")->click();
    QCOMPARE(int(Config(rig).ReportRate), 500);
    QVERIFY(w->SettingsChanged);
    QVERIFY(rig.mouse->state() == before);
}

void LightAndMouseSettingsTest::advancedTabStoresItsValuesAndSetsOnlyTheDoubleClickTimeAtOnce()
{
    WindowRig rig;
    auto w = rig.Start();

    // Every step of the bar is stored at once; the system gets the time once the bar rests, in
    // one call off the window's thread.
    for (int value = 300; value <= 900; value += 10)
        Control<TrackBar>(w, "TrackBarDoubleClickSpeed")->SetValue(value);
    QCOMPARE(int(Config(rig).DoubleClickSpeed), 200);
    QTRY_COMPARE(rig.mouseSettings->Requested().DoubleClickTime, std::optional<std::uint32_t>(200));
    TuiThread::WaitForAll();
    QCOMPARE(rig.mouseSettings->DoubleClickCalls.load(), 1);
    QVERIFY(!rig.mouseSettings->DoubleClickOnMakersThread);

    Control<QRadioButton>(w, "RDSCROLLONEPAGE")->click();
    QCOMPARE(int(Config(rig).VWheelSpeed), 20);
    QCOMPARE(w->SystemMouseParams.WheelLines, 20);
    QVERIFY(!Control<TrackBar>(w, "TRACKBARSCROLLSPEED")->isEnabled());

    Control<QRadioButton>(w, "RDSCROLL")->click();
    Control<TrackBar>(w, "TRACKBARSCROLLSPEED")->SetValue(7);
    QCOMPARE(int(Config(rig).VWheelSpeed), 7);
    QCOMPARE(w->SystemMouseParams.WheelLines, 7);
    QVERIFY(Control<TrackBar>(w, "TRACKBARSCROLLSPEED")->isEnabled());

    Control<TrackBar>(w, "TrackBarPointerSpeed")->SetValue(15);
    QCOMPARE(int(Config(rig).PointerSpeed), 15);
    QCOMPARE(w->SystemMouseParams.PointerSpeed, 15);

    Control<QCheckBox>(w, "CHKENHANCEPOINTER")->setChecked(!Control<QCheckBox>(w, "CHKENHANCEPOINTER")->isChecked());
    QCOMPARE(int(Config(rig).PointerAcceleration), Control<QCheckBox>(w, "CHKENHANCEPOINTER")->isChecked() ? 1 : 0);
    QCOMPARE(w->SystemMouseParams.AccelerationIndex, int(Config(rig).PointerAcceleration));

    // These reach the system with Apply; they are kept in the profile, so OK must apply them.
    QVERIFY(w->SettingsChanged);
    const auto asked = rig.mouseSettings->Requested();
    QVERIFY(!asked.PointerSpeed && !asked.WheelScrollLines && !asked.Acceleration);
}

void LightAndMouseSettingsTest::defaultsRestoreLightAndReportRate()
{
    WindowRig rig;
    auto w = rig.Start();
    Control<QRadioButton>(w, "RD1000HZ")->click();
    Control<QRadioButton>(w, "rHigh")->click();
    QTest::mouseClick(Control<PictureBox>(w, "C6"), Qt::LeftButton);

    w->SettingsChanged = false;
    QVERIFY(!Control<QCheckBox>(w, "CHKApplyAccelaration")->isChecked());

    Control<CaptionButton>(w, "BSBTNADVDEFAULTS")->click();
    const TMOUSECONFIGINFO& c = Config(rig);
    // Kept in the profile, so OK applies it and Cancel asks; the panel shows the options it set.
    QVERIFY(w->SettingsChanged);
    QCOMPARE(int(c.ApplyAccelaration), 1);
    QVERIFY(Control<QCheckBox>(w, "CHKApplyAccelaration")->isChecked());
    QCOMPARE(int(c.FireKeySpeed), 5);
    QCOMPARE(int(c.ReportRate), 125);
    QCOMPARE(int(c.LEDConfig.BRIGHT_LEVEL), 2);
    QCOMPARE(int(c.LEDConfig.BREATH_SPEED), 2);
    QCOMPARE(int(c.LEDConfig.R), 255);
    QCOMPARE(int(c.LEDConfig.G), 0);
    QCOMPARE(int(c.LEDConfig.B), 0);
    QVERIFY(Control<QRadioButton>(w, "RD125HZ")->isChecked());
    QVERIFY(Control<QRadioButton>(w, "rMedium")->isChecked());
    const VirtualMouseState s = rig.mouse->state();
    QCOMPARE(int(s.preview[2]), 0); // red, inverted
    QCOMPARE(int(s.preview[3]), 2);
    QCOMPARE(s.memory[kWheelLightAddress] & 0x80, 0x80);
}

void LightAndMouseSettingsTest::trackBarsMoveFromTheKeyboardAndShowTheirValues()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Control<QTabWidget>(w, "TabControlMain")->setCurrentIndex(2);
    const auto shown = [&w](const char* label) { return Control<QLabel>(w, label)->text(); };
    const auto press = [&w](const char* bar, Qt::Key key) {
        TrackBar* b = Control<TrackBar>(w, bar);
        b->setFocus();
        QTest::keyClick(b, key);
    };

    // The double-click bar runs from slow to fast: a step right is 10 ms less.
    const int before = Config(rig).DoubleClickSpeed;
    QCOMPARE(shown("LabelDoubleClickValue"), QString("%1 ms").arg(before));
    press("TrackBarDoubleClickSpeed", Qt::Key_Right);
    QCOMPARE(int(Config(rig).DoubleClickSpeed), before - 10);
    QCOMPARE(shown("LabelDoubleClickValue"), QString("%1 ms").arg(before - 10));
    // Page Down: a tenth of the range (700 ms) towards slow.
    press("TrackBarDoubleClickSpeed", Qt::Key_PageDown);
    QCOMPARE(int(Config(rig).DoubleClickSpeed), before + 60);

    Control<TrackBar>(w, "TrackBarPointerSpeed")->SetValue(10);
    press("TrackBarPointerSpeed", Qt::Key_PageUp);
    QCOMPARE(int(Config(rig).PointerSpeed), 12);
    QCOMPARE(shown("LabelPointerSpeedValue"), QString("12"));

    Control<TrackBar>(w, "TRACKBARSCROLLSPEED")->SetValue(3);
    press("TRACKBARSCROLLSPEED", Qt::Key_Left);
    QCOMPARE(int(Config(rig).VWheelSpeed), 2);
    QCOMPARE(shown("LabelScrollSpeedValue"), QString("2 lines"));
    Control<QRadioButton>(w, "RDSCROLLONEPAGE")->click();
    QVERIFY(!Control<QLabel>(w, "LabelScrollSpeedValue")->isEnabled());

    // The units follow the language.
    Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(1);
    QCOMPARE(shown("LabelScrollSpeedValue"), QString::fromUtf8("2 行"));
    QCOMPARE(shown("LabelDoubleClickValue"), QString::fromUtf8("%1 毫秒").arg(before + 60));
}

namespace {

/// How many pixels of the drawing are mostly of one colour channel.
int PixelsOf(const QImage& image, int channel)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            const int v[3] = { c.red(), c.green(), c.blue() };
            if (v[channel] > 150 && v[(channel + 1) % 3] < 90 && v[(channel + 2) % 3] < 90)
                ++n;
        }
    return n;
}

int RedPixels(const QImage& image)
{
    return PixelsOf(image, 0);
}
int GreenPixels(const QImage& image)
{
    return PixelsOf(image, 1);
}

} // namespace

void LightAndMouseSettingsTest::theMouseDrawingShowsTheLight()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto* drawing = Control<LitPicture>(w, "ImageMouse");
    QCOMPARE(drawing->LightColour(), QColor(255, 0, 0)); // the factory profile's red
    QVERIFY(RedPixels(drawing->Drawn()) > 100);

    QTest::mouseClick(Control<PictureBox>(w, "C3"), Qt::LeftButton); // green
    QCOMPARE(drawing->LightColour(), QColor(0, 255, 0));
    const QImage green = drawing->Drawn();
    QVERIFY(GreenPixels(green) > 100);
    QCOMPARE(RedPixels(green), 0);

    // The breath follows the speed, and the drawing breathes only while it is shown.
    Control<QRadioButton>(w, "rHigh")->click();
    QCOMPARE(drawing->BreathPeriod(), 1200);
    QVERIFY(drawing->IsBreathing());
    Control<QRadioButton>(w, "rlow")->click();
    QCOMPARE(drawing->BreathPeriod(), 4000);
    w->hide();
    QVERIFY(!drawing->IsBreathing());
    w->show();
    QVERIFY(drawing->IsBreathing());

    Control<QRadioButton>(w, "rClose")->click();
    QVERIFY(!drawing->LightColour().isValid());
    QVERIFY(!drawing->IsBreathing());
    const QImage off = drawing->Drawn();
    QCOMPARE(GreenPixels(off) + RedPixels(off), 0);

    // A profile shown by a switch shows its own light.
    Control<CaptionButton>(w, "BtnProfile2")->click();
    QCOMPARE(drawing->LightColour(), QColor(Config(rig).LEDConfig.R, Config(rig).LEDConfig.G, Config(rig).LEDConfig.B));
}

QTEST_MAIN(LightAndMouseSettingsTest)
#include "light_and_mouse_settings_test.moc"
