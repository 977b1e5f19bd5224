#include "toolkit/number_box.h"

#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace bv::gui {

NumberBox::NumberBox(QWidget* parent) : QSpinBox(parent)
{
    setAlignment(Qt::AlignCenter);
    setKeyboardTracking(false); // one change per finished entry, not per digit
    lineEdit()->installEventFilter(this);
}

void NumberBox::SetLimits(int minimum, int maximum, int step)
{
    const QSignalBlocker quiet(this);
    setRange(minimum, maximum);
    setSingleStep(step);
}

void NumberBox::SetValue(int value)
{
    const QSignalBlocker quiet(this);
    setValue(value);
}

bool NumberBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress)
        emit clicked();
    return QSpinBox::eventFilter(watched, event);
}

void NumberBox::mousePressEvent(QMouseEvent* event)
{
    emit clicked();
    QSpinBox::mousePressEvent(event);
}

} // namespace bv::gui
