#include "mainwindow/sensitivity_panel.h"

#include "settings/DMUnit.h"
#include "settings/cpi_levels.h"
#include "toolkit/caption_button.h"
#include "toolkit/glow.h"
#include "toolkit/number_box.h"
#include "toolkit/widget_makers.h"

#include <QCheckBox>

#include <utility>

namespace bv::gui {

namespace {

NumberBox* numberBox(QWidget* parent, const QString& name, int tag, QRect place)
{
    auto* n = new NumberBox(parent);
    n->setObjectName(name);
    n->setProperty("tag", tag);
    n->SetLimits(kMinimumCPI, kMaximumCPI, 100);
    n->setGeometry(place);
    return n;
}

} // namespace

SensitivityPanel::SensitivityPanel(PanelContext context, QWidget* t)
    : QObject(t)
    , FContext(std::move(context))
{
    setObjectName("SensitivityPanel");
    MakeLabel(t, "LabelDPILevel", "DPI Level", QRect(14, 14, 96, 20));
    MakeLabel(t, "LabelXAxis", "X-Axis", QRect(118, 14, 92, 20));
    MakeLabel(t, "LabelYAxis", "Y-Axis", QRect(214, 14, 92, 20));

    const char* levelNames[] = { "DPI1", "dpi2", "DPI3", "DPI4" };
    for (int i = 0; i < kCPILevelsUsed; ++i) {
        const int y = 40 + i * 42;
        const QString n = QString::number(i + 1);
        auto* level = MakeButton(t, levelNames[i], "DPI" + n, "MyDPIBtnA", QRect(14, y, 94, 30));
        level->SetStaysPressed(true);
        level->setProperty("tag", i);
        NumberBox* x = numberBox(t, "X" + n, i, QRect(118, y, 88, 30));
        NumberBox* y2 = numberBox(t, "Y" + n, i, QRect(214, y, 88, 30));
        NumberBox* xy = numberBox(t, "XY" + n, i, QRect(118, y, 184, 30));
        xy->hide();
        FCPILevelControls[i] = { level, x, y2 };
        FCPI_NBOX_INFO[i] = { x, y2, xy };

        connect(level, &QPushButton::clicked, this, [this, i] { DODPIStateValueChangedEvent(i); });
        for (NumberBox* box : { x, y2 }) {
            connect(box, &QSpinBox::valueChanged, this, [this, box] { DOCpiValueChangeEvent(box); });
            connect(box, &NumberBox::clicked, this, [this, i] { X1Click(i); });
        }
    }

    CHKApplyDiffirentXY = MakeCheck(t, "CHKApplyDiffirentXY", "Diffirent X/Y setting", QRect(14, 214, 190, 24));
    CHKApplyDiffirentXY->setChecked(true);
    CHKApplyAccelaration = MakeCheck(t, "CHKApplyAccelaration", "Accelaration", QRect(14, 242, 190, 24));
    BSBTNSENSDEFAULTS = MakeButton(t, "BSBTNSENSDEFAULTS", "Defaults", "MyBottomBtn", QRect(214, 224, 88, 30));
    for (QCheckBox* c : { CHKApplyDiffirentXY, CHKApplyAccelaration })
        connect(c, &QCheckBox::toggled, this, [this, c] { DOCpiAdvanceItemChangeEvent(c); });
    connect(BSBTNSENSDEFAULTS, &QPushButton::clicked, this, &SensitivityPanel::BSBTNSENSDEFAULTSClick);
}

void SensitivityPanel::Refresh()
{
    const ShowingProfile showing(FShowing);
    const TMOUSECONFIGINFO& c = FContext.DM->CurrentProfileInfo().ConfigInfo;
    for (int level = 0; level < kCPILevelsUsed; ++level) {
        const TCPILevelControls& row = FCPILevelControls[level];
        const bool enabled = c.CPIState[level].State != 0;
        row.Level->SetStyleName(enabled ? "MyDPIBtnA" : "MyDPIBtn");
        // Pressed means disabled; following the profile lets one click always toggle a level.
        row.Level->setChecked(!enabled);
        row.X->SetValue(c.CPIState[level].X);
        row.Y->SetValue(c.CPIState[level].Y);
        row.X->setEnabled(enabled);
        row.Y->setEnabled(enabled);
    }
    CHKApplyDiffirentXY->setChecked(c.ApplyDiffirentXY == 1);
    CHKApplyAccelaration->setChecked(c.ApplyAccelaration == 1);
}

void SensitivityPanel::SelectCPILevel(int level)
{
    for (int i = 0; i < kCPILevelsUsed; ++i) {
        SetGlow(FCPI_NBOX_INFO[i].X, i == level);
        SetGlow(FCPI_NBOX_INFO[i].Y, i == level);
    }
}

void SensitivityPanel::DODPIStateValueChangedEvent(int level)
{
    if (Quiet() || level < 0 || level >= kCPILevelsUsed)
        return;
    TDM& dm = *FContext.DM;
    // Released means enabled. The last enabled level stays: the refresh below springs it back.
    (void)ChangeCPILevelState(dm.CurrentProfileInfo().ConfigInfo, level, !FCPILevelControls[level].Level->isChecked());
    Refresh();
    dm.SaveBackToCurrentProfileInfo();
    FContext.Changed();
}

void SensitivityPanel::DOCpiValueChangeEvent(NumberBox* box)
{
    if (Quiet() || !box)
        return;
    TDM& dm = *FContext.DM;
    const int level = box->property("tag").toInt();
    const CPIAxis axis = box->objectName().contains('X') ? CPIAxis::X : CPIAxis::Y;
    ChangeCPILevelValue(dm.CurrentProfileInfo().ConfigInfo, level, axis, box->value());
    dm.SaveBackToCurrentProfileInfo();
    Refresh();
    FContext.Changed();
}

void SensitivityPanel::X1Click(int tag)
{
    SelectCPILevel(tag);
}

void SensitivityPanel::DOCpiAdvanceItemChangeEvent(QCheckBox* sender)
{
    if (Quiet())
        return;
    TMOUSECONFIGINFO& c = FContext.DM->CurrentProfileInfo().ConfigInfo;
    if (sender == CHKApplyDiffirentXY)
        SetCPIAxesSeparate(c, CHKApplyDiffirentXY->isChecked());
    else if (sender == CHKApplyAccelaration)
        c.ApplyAccelaration = CHKApplyAccelaration->isChecked() ? 1 : 0;
    FContext.DM->SaveBackToCurrentProfileInfo();
    FContext.Changed();
}

void SensitivityPanel::BSBTNSENSDEFAULTSClick()
{
    FContext.DM->RestoreToDefaultCPISetting();
    FContext.DM->SaveBackToCurrentProfileInfo();
    Refresh();
    SelectCPILevel(1);
    emit DefaultsRestored();
    // Kept in the profile, so OK must apply it and Cancel must ask.
    FContext.Changed();
}

} // namespace bv::gui
