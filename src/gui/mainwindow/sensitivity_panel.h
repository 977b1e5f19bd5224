#pragma once
// The sensitivity panel of the "General" tab: four levels with their X and Y values, the level
// buttons that take a level in or out of the mouse's cycle, and the two options.

#include "mainwindow/panel_context.h"

#include <QObject>

#include <array>

class QCheckBox;
class QWidget;

namespace bv::gui {

class CaptionButton;
class NumberBox;

/// The controls of one sensitivity level.
struct TCPILevelControls {
    CaptionButton* Level = nullptr;
    NumberBox* X = nullptr;
    NumberBox* Y = nullptr;
};

struct TCPINumberBoxes {
    NumberBox* X = nullptr;
    NumberBox* Y = nullptr;
    NumberBox* XY = nullptr; // never shown
};

class SensitivityPanel final : public QObject {
    Q_OBJECT

public:
    /// Places the controls on `tab`.
    SensitivityPanel(PanelContext context, QWidget* tab);

    /// Shows the current profile's levels and options.
    void Refresh();
    /// Marks the level whose values the mouse uses now.
    void SelectCPILevel(int level);

    const std::array<TCPINumberBoxes, 4>& CPINumberBoxes() const { return FCPI_NBOX_INFO; }
    const std::array<TCPILevelControls, 4>& CPILevelControls() const { return FCPILevelControls; }

signals:
    /// "Defaults" put the levels back; the report rate follows them.
    void DefaultsRestored();

private:
    void DODPIStateValueChangedEvent(int level);
    void DOCpiValueChangeEvent(NumberBox* box);
    void X1Click(int tag);
    void DOCpiAdvanceItemChangeEvent(QCheckBox* sender);
    void BSBTNSENSDEFAULTSClick();
    bool Quiet() const { return FShowing || FContext.Starting(); }

    PanelContext FContext;
    bool FShowing = false;
    std::array<TCPILevelControls, 4> FCPILevelControls {};
    std::array<TCPINumberBoxes, 4> FCPI_NBOX_INFO {};
    QCheckBox* CHKApplyDiffirentXY = nullptr;
    QCheckBox* CHKApplyAccelaration = nullptr;
    CaptionButton* BSBTNSENSDEFAULTS = nullptr;
};

} // namespace bv::gui
