#pragma once
// A horizontal track bar over minimum..maximum in steps. Setting the value from code raises
// ValueChanged like a move by the user.

#include <QSlider>

namespace bv::gui {

class TrackBar : public QSlider {
    Q_OBJECT

public:
    explicit TrackBar(QWidget* parent = nullptr);

    void SetLimits(int minimum, int maximum, int step);
    int Minimum() const { return FMinimum; }
    int Maximum() const { return FMaximum; }
    /// The value in the bar's own units (not the slider position).
    int Value() const;
    /// Clamped, and rounded to the nearest step.
    void SetValue(int value);

signals:
    void ValueChanged(int value);

private:
    int FMinimum = 0;
    int FMaximum = 100;
    int FStep = 1;
};

} // namespace bv::gui
