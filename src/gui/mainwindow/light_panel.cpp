#include "mainwindow/light_panel.h"

#include "settings/DMUnit.h"
#include "settings/profile_options.h"
#include "toolkit/caption_button.h"
#include "toolkit/pending_events.h"
#include "toolkit/picture.h"
#include "toolkit/widget_makers.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QRadioButton>

#include <utility>

namespace bv::gui {

LightPanel::LightPanel(PanelContext context, QWidget* generalTab, QWidget* t, std::function<void()> preview)
    : QObject(t)
    , FContext(std::move(context))
    , FPreview(std::move(preview))
{
    setObjectName("LightPanel");
    QWidget* g = generalTab;
    MakeRule(g, QRect(14, 284, 288, 1));
    MakeLabel(g, "LabelReportRate", "Mouse Report Rate", QRect(14, 298, 288, 20));
    REPORTRATERADIO = new QButtonGroup(g);
    REPORTRATERADIO->setObjectName("REPORTRATERADIO");
    RD125HZ = MakeRadio(g, REPORTRATERADIO, "RD125HZ", "125Hz", QRect(14, 328, 130, 24));
    RD250HZ = MakeRadio(g, REPORTRATERADIO, "RD250HZ", "250Hz", QRect(160, 328, 130, 24));
    RD500HZ = MakeRadio(g, REPORTRATERADIO, "RD500HZ", "500Hz", QRect(14, 358, 130, 24));
    RD1000HZ = MakeRadio(g, REPORTRATERADIO, "RD1000HZ", "1000Hz", QRect(160, 358, 130, 24));

    MakeLabel(t, "LabelBreathingState", "Breathing State", QRect(14, 14, 288, 20));
    LIGHTSSPEEDGROUPRADIO = new QButtonGroup(t);
    LIGHTSSPEEDGROUPRADIO->setObjectName("LIGHTSSPEEDGROUPRADIO");
    rlow = MakeRadio(t, LIGHTSSPEEDGROUPRADIO, "rlow", "Low Speed", QRect(14, 44, 140, 24));
    rMedium = MakeRadio(t, LIGHTSSPEEDGROUPRADIO, "rMedium", "Medium Speed", QRect(160, 44, 140, 24));
    rHigh = MakeRadio(t, LIGHTSSPEEDGROUPRADIO, "rHigh", "High Speed", QRect(14, 74, 140, 24));
    rClose = MakeRadio(t, LIGHTSSPEEDGROUPRADIO, "rClose", "Closed", QRect(160, 74, 140, 24));

    MakeRule(t, QRect(14, 114, 288, 1));
    MakeLabel(t, "LabelBreathingColor", "Breathing Color", QRect(14, 128, 288, 20));
    static_assert(kLightSwatches.size() == std::tuple_size_v<decltype(FLight_Colors)>);
    for (int i = 0; i < int(kLightSwatches.size()); ++i) {
        const LightSwatch& swatch = kLightSwatches[std::size_t(i)];
        FLight_Colors[i].Color = QColor(swatch.R, swatch.G, swatch.B).rgba();
        FLight_Colors[i].Picture = MakeColourPicture(QColor::fromRgba(FLight_Colors[i].Color), QSize(40, 40));
        auto* c = new PictureBox(t);
        c->setObjectName("C" + QString::number(i + 1));
        c->setProperty("tag", i);
        c->setCursor(Qt::PointingHandCursor);
        c->SetPicture(FLight_Colors[i].Picture);
        c->setGeometry(14 + i * 48, 158, 42, 42);
        FSwatches[i] = c;
        connect(c, &PictureBox::clicked, this, [this, i] { DOLightColorSelectionEvent(i); });
    }

    MakeRule(t, QRect(14, 222, 288, 1));
    MakeLabel(t, "LabelCurrentLightColor", "Current light color", QRect(14, 258, 180, 20));
    ImageLightColor = new PictureBox(t);
    ImageLightColor->setObjectName("ImageLightColor");
    ImageLightColor->setGeometry(206, 236, 64, 64);

    BSBTNADVDEFAULTS = MakeButton(t, "BSBTNADVDEFAULTS", "Defaults", "MyBottomBtn", QRect(214, 436, 88, 30));

    for (QRadioButton* r : { RD125HZ, RD250HZ, RD500HZ, RD1000HZ, rlow, rMedium, rHigh, rClose })
        connect(r, &QRadioButton::toggled, this, [this, r] { DoReportRateAndLightChangeEvent(r); });
    connect(BSBTNADVDEFAULTS, &QPushButton::clicked, this, &LightPanel::BSBTNADVDEFAULTSClick);
}

void LightPanel::Refresh()
{
    const ShowingProfile showing(FShowing);
    const TMOUSECONFIGINFO& c = FContext.DM->CurrentProfileInfo().ConfigInfo;
    switch (c.ReportRate) {
    case 250:
        RD250HZ->setChecked(true);
        break;
    case 500:
        RD500HZ->setChecked(true);
        break;
    case 1000:
        RD1000HZ->setChecked(true);
        break;
    default:
        RD125HZ->setChecked(true);
        break;
    }

    const TLEDCONFIG& led = c.LEDConfig;
    if (led.BRIGHT_LEVEL != 0) {
        switch (led.BREATH_SPEED) {
        case 1:
            rlow->setChecked(true);
            break;
        case 3:
            rHigh->setChecked(true);
            break;
        default:
            rMedium->setChecked(true);
            break;
        }
    } else {
        rClose->setChecked(true);
    }

    const int shown = LightSwatchOf(led);
    if (shown >= 0)
        FPreview();
    ShowColour(shown);
}

void LightPanel::ShowColour(int shown)
{
    ImageLightColor->SetPicture(FLight_Colors[shown >= 0 ? shown : 0].Picture);
    for (int k = 0; k < int(FSwatches.size()); ++k)
        FSwatches[k]->SetRinged(k == shown);
}

void LightPanel::DoReportRateAndLightChangeEvent(QRadioButton* sender)
{
    if (Quiet())
        return;
    TDM& dm = *FContext.DM;
    TMOUSECONFIGINFO& c = dm.CurrentProfileInfo().ConfigInfo;
    const std::pair<QRadioButton*, int> rates[]
        = { { RD125HZ, 125 }, { RD250HZ, 250 }, { RD500HZ, 500 }, { RD1000HZ, 1000 } };
    bool isRate = false;
    for (const auto& [radio, hz] : rates)
        isRate = isRate || radio == sender;
    if (isRate) {
        for (const auto& [radio, hz] : rates)
            if (radio->isChecked())
                (void)SetReportRate(c, hz);
        dm.SaveBackToCurrentProfileInfo();
        FContext.Changed();
        return;
    }

    // Runs for the radio left, then for the one chosen: leaving "Closed" turns the light on at the
    // low speed until the chosen speed comes; leaving a speed keeps the light on until "Closed" comes.
    if (sender == rClose) {
        SetBreathing(c, rClose->isChecked() ? Breathing::Closed : Breathing::Low);
    } else {
        SwitchLightOn(c);
        const std::pair<QRadioButton*, Breathing> speeds[]
            = { { rlow, Breathing::Low }, { rMedium, Breathing::Medium }, { rHigh, Breathing::High } };
        for (const auto& [radio, speed] : speeds)
            if (radio->isChecked())
                SetBreathing(c, speed);
    }
    FPreview();
    ProcessPendingEvents();
    FContext.Pause(100);
    dm.SaveBackToCurrentProfileInfo();
    FContext.Changed();
}

void LightPanel::DOLightColorSelectionEvent(int tag)
{
    if (Quiet() || tag < 0 || tag >= int(FLight_Colors.size()))
        return;
    const LightSwatch& swatch = kLightSwatches[std::size_t(tag)];
    ShowColour(tag);
    SetLightColour(FContext.DM->CurrentProfileInfo().ConfigInfo, swatch.R, swatch.G, swatch.B);
    FContext.DM->SaveBackToCurrentProfileInfo();
    FContext.Changed();
    FPreview();
}

void LightPanel::BSBTNADVDEFAULTSClick()
{
    FContext.DM->RestoreToDefaultLightAndReportAdvancedSetting();
    FContext.DM->SaveBackToCurrentProfileInfo();
    Refresh();
    emit DefaultsRestored();
    FContext.Changed();
}

} // namespace bv::gui
