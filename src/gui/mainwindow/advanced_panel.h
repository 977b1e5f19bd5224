#pragma once
// The "Advanced" tab: the system's double-click time, pointer speed and precision, and wheel
// scrolling, kept in the profile; and a test area to try the double-click speed on.

#include "mainwindow/panel_context.h"
#include "settings/system_mouse_params.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;
class QTimer;
class QWidget;

namespace bv::platform {
class SystemMouseSettings;
}

namespace bv::gui {

class Picture;
class TrackBar;

class AdvancedPanel final : public QObject {
    Q_OBJECT

public:
    /// What the system refused, told from any thread.
    using RefusalReport = std::function<void(std::vector<std::string> lines)>;

    /// Places the controls on `tab`. The pointer and wheel settings go into `params` for Apply;
    /// the double-click time goes to `settings` (none: nowhere) once the track bar rests.
    AdvancedPanel(PanelContext context, QWidget* tab, TSystemMouseParams& params,
        std::shared_ptr<platform::SystemMouseSettings> settings, RefusalReport refused);
    /// A double-click time still waiting for the bar to rest is the user's last choice: it is sent.
    ~AdvancedPanel() override;

    /// Shows the current profile's settings; its double-click time becomes the system's.
    void Refresh();
    /// Shows each track bar's value with its unit beside it, in the current language.
    void ShowValues();

private:
    void DOSpeedValueChangedEvent(QObject* sender);
    void imageTestDblClick();
    /// Asks for the system's double-click time once the track bar rests (every step would cost a
    /// call to the desktop's settings tool); the call runs on a worker.
    void ScheduleDoubleClickTime(std::uint32_t milliseconds);
    void FlushDoubleClickTime();
    std::uint32_t DoubleClickTimeShown() const;
    bool Quiet() const { return FShowing || FContext.Starting(); }

    PanelContext FContext;
    TSystemMouseParams& FParams;
    std::shared_ptr<platform::SystemMouseSettings> FSettings;
    RefusalReport FRefused;
    bool FShowing = false;
    QTimer* FDoubleClickTimer = nullptr;
    std::uint32_t FPendingDoubleClickTime = 0;

    TrackBar* TrackBarDoubleClickSpeed = nullptr;
    TrackBar* TrackBarPointerSpeed = nullptr;
    QCheckBox* CHKENHANCEPOINTER = nullptr;
    QButtonGroup* SCROLLSPEEDGROUP = nullptr;
    QRadioButton* RDSCROLL = nullptr;
    QRadioButton* RDSCROLLONEPAGE = nullptr;
    TrackBar* TRACKBARSCROLLSPEED = nullptr;
    Picture* imageTest = nullptr;
    QLabel* FDoubleClickValue = nullptr;
    QLabel* FPointerSpeedValue = nullptr;
    QLabel* FScrollValue = nullptr;
};

} // namespace bv::gui
