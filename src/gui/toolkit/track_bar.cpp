#include "toolkit/track_bar.h"

#include <QSignalBlocker>

#include <algorithm>

namespace bv::gui {

TrackBar::TrackBar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setCursor(Qt::PointingHandCursor);
    // Arrow keys move a step and Page Up/Down a tenth of the range once the bar has the focus.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QSlider::valueChanged, this, [this] { emit ValueChanged(Value()); });
    SetLimits(0, 100, 1);
}

void TrackBar::SetLimits(int minimum, int maximum, int step)
{
    FMinimum = minimum;
    FMaximum = std::max(minimum, maximum);
    FStep = std::max(1, step);
    const QSignalBlocker quiet(this);
    setRange(0, (FMaximum - FMinimum) / FStep);
    setSingleStep(1);
    setPageStep(std::max(1, ((FMaximum - FMinimum) / FStep + 5) / 10));
}

int TrackBar::Value() const
{
    return FMinimum + value() * FStep;
}

void TrackBar::SetValue(int v)
{
    const int clamped = std::clamp(v, FMinimum, FMaximum);
    setValue((clamped - FMinimum + FStep / 2) / FStep);
}

} // namespace bv::gui
