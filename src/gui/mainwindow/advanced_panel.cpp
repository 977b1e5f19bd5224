#include "mainwindow/advanced_panel.h"

#include "settings/DMUnit.h"
#include "settings/profile_options.h"
#include "toolkit/picture.h"
#include "toolkit/track_bar.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <utility>

namespace bv::gui {

namespace {

TrackBar* trackBar(QWidget* parent, const char* name, int minimum, int maximum, int step, QRect place)
{
    auto* t = new TrackBar(parent);
    t->setObjectName(name);
    t->SetLimits(minimum, maximum, step);
    t->setGeometry(place);
    return t;
}

QLabel* valueLabel(QWidget* parent, const char* name, QRect place)
{
    QLabel* l = MakeLabel(parent, name, QString(), place, "value");
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

} // namespace

AdvancedPanel::AdvancedPanel(PanelContext context, QWidget* t, TSystemMouseParams& params,
    std::shared_ptr<platform::SystemMouseSettings> settings, RefusalReport refused)
    : QObject(t)
    , FContext(std::move(context))
    , FParams(params)
    , FSettings(std::move(settings))
    , FRefused(std::move(refused))
{
    setObjectName("AdvancedPanel");
    MakeLabel(t, "LabelDoubleClickSpeed", "Double Click Speed", QRect(14, 14, 288, 20));
    TrackBarDoubleClickSpeed = trackBar(
        t, "TrackBarDoubleClickSpeed", kDoubleClickMin, kDoubleClickMax, kDoubleClickStep, QRect(14, 40, 222, 24));
    FDoubleClickValue = valueLabel(t, "LabelDoubleClickValue", QRect(240, 40, 62, 24));

    MakeLabel(t, "LabelPointerSpeed", "Pointer Speed", QRect(14, 80, 288, 20));
    TrackBarPointerSpeed
        = trackBar(t, "TrackBarPointerSpeed", kPointerSpeedMin, kPointerSpeedMax, 1, QRect(14, 106, 222, 24));
    FPointerSpeedValue = valueLabel(t, "LabelPointerSpeedValue", QRect(240, 106, 62, 24));
    CHKENHANCEPOINTER = MakeCheck(t, "CHKENHANCEPOINTER", "Enhance pointer precision", QRect(14, 138, 288, 24));

    MakeRule(t, QRect(14, 176, 288, 1));
    SCROLLSPEEDGROUP = new QButtonGroup(t);
    SCROLLSPEEDGROUP->setObjectName("SCROLLSPEEDGROUP");
    RDSCROLL = MakeRadio(t, SCROLLSPEEDGROUP, "RDSCROLL", "Scroll Speed", QRect(14, 190, 288, 24));
    TRACKBARSCROLLSPEED
        = trackBar(t, "TRACKBARSCROLLSPEED", kScrollLinesMin, kScrollLinesMax, 1, QRect(36, 218, 200, 24));
    FScrollValue = valueLabel(t, "LabelScrollSpeedValue", QRect(240, 218, 62, 24));
    RDSCROLLONEPAGE = MakeRadio(t, SCROLLSPEEDGROUP, "RDSCROLLONEPAGE", "Scroll for one page", QRect(14, 248, 288, 24));

    MakeRule(t, QRect(14, 286, 288, 1));
    MakeLabel(t, "LabelTestArea", "Test area", QRect(14, 298, 288, 20));
    auto* testArea = new QWidget(t);
    testArea->setObjectName("ListTestArea");
    testArea->setProperty("bvRole", "well");
    testArea->setGeometry(14, 324, 288, 144);
    imageTest = new Picture("test_target", testArea);
    imageTest->setObjectName("imageTest");
    imageTest->setCursor(Qt::PointingHandCursor);
    imageTest->setGeometry(96, 24, 96, 96);

    FDoubleClickTimer = new QTimer(this);
    FDoubleClickTimer->setSingleShot(true);
    FDoubleClickTimer->setInterval(150);
    connect(FDoubleClickTimer, &QTimer::timeout, this, &AdvancedPanel::FlushDoubleClickTime);

    for (TrackBar* bar : { TrackBarDoubleClickSpeed, TrackBarPointerSpeed, TRACKBARSCROLLSPEED })
        connect(bar, &TrackBar::ValueChanged, this, [this, bar] {
            ShowValues();
            DOSpeedValueChangedEvent(bar);
        });
    ShowValues();
    connect(CHKENHANCEPOINTER, &QCheckBox::toggled, this, [this] { DOSpeedValueChangedEvent(CHKENHANCEPOINTER); });
    for (QRadioButton* r : { RDSCROLL, RDSCROLLONEPAGE })
        connect(r, &QRadioButton::toggled, this, [this, r] { DOSpeedValueChangedEvent(r); });
    connect(imageTest, &Picture::doubleClicked, this, &AdvancedPanel::imageTestDblClick);
}

AdvancedPanel::~AdvancedPanel()
{
    if (FDoubleClickTimer->isActive())
        FlushDoubleClickTime();
}

void AdvancedPanel::ShowValues()
{
    SetPlainText(FDoubleClickValue, QString::number(DoubleClickTimeShown()) + ' ' + Tr("ms"));
    SetPlainText(FPointerSpeedValue, QString::number(TrackBarPointerSpeed->Value()));
    SetPlainText(FScrollValue, QString::number(TRACKBARSCROLLSPEED->Value()) + ' ' + Tr("lines"));
}

std::uint32_t AdvancedPanel::DoubleClickTimeShown() const
{
    // The bar runs from slow on the left to fast on the right.
    return std::uint32_t(
        TrackBarDoubleClickSpeed->Maximum() + TrackBarDoubleClickSpeed->Minimum() - TrackBarDoubleClickSpeed->Value());
}

void AdvancedPanel::Refresh()
{
    const ShowingProfile showing(FShowing);
    const TMOUSECONFIGINFO& c = FContext.DM->CurrentProfileInfo().ConfigInfo;
    if (c.VWheelSpeed >= kScrollOnePage) {
        RDSCROLLONEPAGE->setChecked(true);
        TRACKBARSCROLLSPEED->setEnabled(false);
        FScrollValue->setEnabled(false);
    } else {
        TRACKBARSCROLLSPEED->SetValue(c.VWheelSpeed);
        RDSCROLL->setChecked(true);
        TRACKBARSCROLLSPEED->setEnabled(true);
        FScrollValue->setEnabled(true);
    }
    const int before = TrackBarDoubleClickSpeed->Value();
    TrackBarDoubleClickSpeed->SetValue(
        TrackBarDoubleClickSpeed->Minimum() + TrackBarDoubleClickSpeed->Maximum() - c.DoubleClickSpeed);
    // The profile's double-click time is the system's from the moment the profile is shown.
    if (!FContext.Starting() && TrackBarDoubleClickSpeed->Value() != before)
        ScheduleDoubleClickTime(DoubleClickTimeShown());
    TrackBarPointerSpeed->SetValue(c.PointerSpeed);
    CHKENHANCEPOINTER->setChecked(c.PointerAcceleration == 1);
    FParams = { TrackBarPointerSpeed->Value(), std::int32_t(c.VWheelSpeed), std::int32_t(c.PointerAcceleration) };
}

void AdvancedPanel::DOSpeedValueChangedEvent(QObject* sender)
{
    if (Quiet())
        return;
    // The bars offer only what the profile takes, so none of these is refused.
    TMOUSECONFIGINFO& c = FContext.DM->CurrentProfileInfo().ConfigInfo;
    if (RDSCROLL->isChecked()) {
        (void)SetScrollLines(c, TRACKBARSCROLLSPEED->Value());
        FParams.WheelLines = c.VWheelSpeed;
        TRACKBARSCROLLSPEED->setEnabled(true);
        FScrollValue->setEnabled(true);
    }
    if (RDSCROLLONEPAGE->isChecked()) {
        (void)SetScrollLines(c, kScrollOnePage);
        FParams.WheelLines = c.VWheelSpeed;
        TRACKBARSCROLLSPEED->setEnabled(false);
        FScrollValue->setEnabled(false);
    }
    if (sender == TrackBarDoubleClickSpeed) {
        (void)SetDoubleClickSpeed(c, int(DoubleClickTimeShown()));
        ScheduleDoubleClickTime(c.DoubleClickSpeed);
    }
    if (sender == TrackBarPointerSpeed) {
        (void)SetPointerSpeed(c, TrackBarPointerSpeed->Value());
        FParams.PointerSpeed = c.PointerSpeed;
    }
    if (sender == CHKENHANCEPOINTER) {
        SetPointerPrecision(c, CHKENHANCEPOINTER->isChecked());
        FParams.AccelerationIndex = c.PointerAcceleration;
    }
    FContext.DM->SaveBackToCurrentProfileInfo();
    // Kept in the profile, so OK must apply it and Cancel must ask.
    FContext.Changed();
}

void AdvancedPanel::imageTestDblClick()
{
    imageTest->StartSpin();
}

void AdvancedPanel::ScheduleDoubleClickTime(std::uint32_t milliseconds)
{
    FPendingDoubleClickTime = milliseconds;
    FDoubleClickTimer->start();
}

void AdvancedPanel::FlushDoubleClickTime()
{
    FDoubleClickTimer->stop();
    if (!FSettings)
        return;
    RefusalReport refused = FRefused;
    const bool started
        = StartSetDoubleClickTime(FSettings, FPendingDoubleClickTime, [refused](const platform::SettingResult& r) {
              if (r.Status == platform::SettingStatus::Failed && refused)
                  refused({ "double-click time: " + r.Detail });
          });
    if (!started && refused)
        refused({ "double-click time: no worker could be started" });
}

} // namespace bv::gui
