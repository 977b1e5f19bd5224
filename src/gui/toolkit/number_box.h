#pragma once
// An integer number box with limits and a step. Only the user's edits raise valueChanged:
// a value set from code with SetValue raises nothing.

#include <QSpinBox>

namespace bv::gui {

class NumberBox : public QSpinBox {
    Q_OBJECT

public:
    explicit NumberBox(QWidget* parent = nullptr);

    void SetLimits(int minimum, int maximum, int step);
    /// Sets the value (clamped to the limits) without raising valueChanged.
    void SetValue(int value);

signals:
    /// A mouse press anywhere on the box, its text included.
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace bv::gui
