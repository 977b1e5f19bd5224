#pragma once
// An integer number box with limits and a step. Only the user's edits raise valueChanged:
// a value set from code with SetValue raises nothing. What is typed is taken when the user
// presses Enter, leaves the box or presses any other control, clamped to the limits.

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
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace bv::gui
