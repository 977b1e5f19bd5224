#pragma once
// The report rate (on the "General" tab) and the "Light" tab: breathing speed, the six colours
// and the colour the profile holds. A light change is shown on the mouse at once.

#include "mainwindow/panel_context.h"

#include <QObject>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QRadioButton;
class QWidget;

namespace bv::gui {

class CaptionButton;
class PictureBox;

struct TLightColour {
    std::uint32_t Color = 0; // ARGB
    QPixmap Picture;
};

class LightPanel final : public QObject {
    Q_OBJECT

public:
    /// Places the report rate on `generalTab` and the light on `lightTab`; `preview` shows the
    /// current profile's light on the mouse.
    LightPanel(PanelContext context, QWidget* generalTab, QWidget* lightTab, std::function<void()> preview);

    /// Shows the current profile's report rate and light, and the light on the mouse when the
    /// profile's colour is one of the six.
    void Refresh();

    const std::array<TLightColour, 6>& LightColours() const { return FLight_Colors; }

signals:
    /// "Defaults" put the light, the report rate and the sensitivity options back.
    void DefaultsRestored();

private:
    void DoReportRateAndLightChangeEvent(QRadioButton* sender);
    void DOLightColorSelectionEvent(int tag);
    void BSBTNADVDEFAULTSClick();
    void ShowColour(int shown);
    bool Quiet() const { return FShowing || FContext.Starting(); }

    PanelContext FContext;
    std::function<void()> FPreview;
    bool FShowing = false;
    std::array<TLightColour, 6> FLight_Colors {};

    QButtonGroup* REPORTRATERADIO = nullptr;
    QRadioButton* RD125HZ = nullptr;
    QRadioButton* RD250HZ = nullptr;
    QRadioButton* RD500HZ = nullptr;
    QRadioButton* RD1000HZ = nullptr;
    QButtonGroup* LIGHTSSPEEDGROUPRADIO = nullptr;
    QRadioButton* rlow = nullptr;
    QRadioButton* rMedium = nullptr;
    QRadioButton* rHigh = nullptr;
    QRadioButton* rClose = nullptr;
    std::array<PictureBox*, 6> FSwatches {}; // C1..C6
    PictureBox* ImageLightColor = nullptr;
    CaptionButton* BSBTNADVDEFAULTS = nullptr;
};

} // namespace bv::gui
