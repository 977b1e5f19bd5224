// Handlers of the panels. Each is connected to its controls so that the refreshes run them the
// way a user's change does; what a panel does with a change is added with that panel.

#include "mainwindow/MainConfig.h"

#include "settings/DMUnit.h"
#include "toolkit/picture.h"
#include "toolkit/track_bar.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QRadioButton>

#include <utility>

namespace bv::gui {

void TBrisvaneCfgMain::DoReportRateAndLightChangeEvent(QRadioButton* sender)
{
    if (Quiet())
        return;
    TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    const std::pair<QRadioButton*, std::uint16_t> rates[]
        = { { RD125HZ, 125 }, { RD250HZ, 250 }, { RD500HZ, 500 }, { RD1000HZ, 1000 } };
    bool isRate = false;
    for (const auto& [radio, hz] : rates)
        isRate = isRate || radio == sender;
    if (isRate) {
        for (const auto& [radio, hz] : rates)
            if (radio->isChecked())
                c.ReportRate = hz;
        DM().SaveBackToCurrentProfileInfo();
        SettingsChanged = true;
        return;
    }

    TLEDCONFIG& led = c.LEDConfig;
    if (sender == rClose) {
        const bool closed = rClose->isChecked();
        c.WheelLedOnOff = closed ? 0 : 1;
        led.BRIGHT_LEVEL = closed ? 0 : 3;
        led.BREATH_SPEED = closed ? 0 : 1;
    } else {
        c.WheelLedOnOff = 1;
        if (led.BRIGHT_LEVEL == 0)
            led.BRIGHT_LEVEL = 3;
        const std::pair<QRadioButton*, std::uint8_t> speeds[] = { { rlow, 1 }, { rMedium, 2 }, { rHigh, 3 } };
        for (const auto& [radio, speed] : speeds)
            if (radio->isChecked())
                led.BREATH_SPEED = speed;
    }
    PreviewLightOnDevice();
    QCoreApplication::processEvents();
    FEnv.Pause(100);
    DM().SaveBackToCurrentProfileInfo();
    SettingsChanged = true;
}

void TBrisvaneCfgMain::DOLightColorSelectionEvent(int tag)
{
    if (Quiet() || tag < 0 || tag >= int(FLight_Colors.size()))
        return;
    const std::uint32_t argb = FLight_Colors[tag].Color;
    ImageLightColor->SetPicture(FLight_Colors[tag].Picture);
    PictureBox* const swatches[] = { C1, C2, C3, C4, C5, C6 };
    for (int k = 0; k < 6; ++k)
        swatches[k]->SetRinged(k == tag);
    TLEDCONFIG& led = DM().CurrentProfileInfo().ConfigInfo.LEDConfig;
    led.R = std::uint8_t(argb >> 16);
    led.G = std::uint8_t(argb >> 8);
    led.B = std::uint8_t(argb);
    DM().SaveBackToCurrentProfileInfo();
    SettingsChanged = true;
    PreviewLightOnDevice();
}

void TBrisvaneCfgMain::DOSpeedValueChangedEvent(QObject* sender)
{
    if (Quiet())
        return;
    TMOUSECONFIGINFO& c = DM().CurrentProfileInfo().ConfigInfo;
    if (RDSCROLL->isChecked()) {
        c.VWheelSpeed = std::uint16_t(TRACKBARSCROLLSPEED->Value());
        SystemMouseParams.WheelLines = TRACKBARSCROLLSPEED->Value();
        TRACKBARSCROLLSPEED->setEnabled(true);
    }
    if (RDSCROLLONEPAGE->isChecked()) {
        c.VWheelSpeed = 20;
        SystemMouseParams.WheelLines = 20;
        TRACKBARSCROLLSPEED->setEnabled(false);
    }
    if (sender == TrackBarDoubleClickSpeed) {
        c.DoubleClickSpeed = std::uint16_t(TrackBarDoubleClickSpeed->Maximum() + TrackBarDoubleClickSpeed->Minimum()
            - TrackBarDoubleClickSpeed->Value());
        ScheduleDoubleClickTime(c.DoubleClickSpeed);
    }
    if (sender == TrackBarPointerSpeed) {
        c.PointerSpeed = std::uint16_t(TrackBarPointerSpeed->Value());
        SystemMouseParams.PointerSpeed = TrackBarPointerSpeed->Value();
    }
    if (sender == CHKENHANCEPOINTER) {
        c.PointerAcceleration = CHKENHANCEPOINTER->isChecked() ? 1 : 0;
        SystemMouseParams.AccelerationIndex = c.PointerAcceleration;
    }
    DM().SaveBackToCurrentProfileInfo();
    // Kept in the profile, so OK must apply it and Cancel must ask.
    SettingsChanged = true;
}

void TBrisvaneCfgMain::BSBTNADVDEFAULTSClick()
{
    DM().RestoreToDefaultLightAndReportAdvancedSetting();
    DM().SaveBackToCurrentProfileInfo();
    RefreshReportAndLight();
    // The defaults include the sensitivity panel's options; its check boxes show them too.
    RefreshCPIPanel();
    SettingsChanged = true;
}

void TBrisvaneCfgMain::imageTestDblClick()
{
    imageTest->StartSpin();
}

} // namespace bv::gui
