#include "toolkit/number_box.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>

#include <algorithm>

namespace bv::gui {

namespace {

// The digits typed into a box count once the user acts elsewhere: a press on any other control
// (a button that takes no focus included) first commits what the box shows.
class CommitOnPress final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            QWidget* focus = QApplication::focusWidget();
            NumberBox* box = nullptr;
            for (QWidget* w = focus; w && !box; w = w->parentWidget())
                box = qobject_cast<NumberBox*>(w);
            auto* target = qobject_cast<QWidget*>(watched);
            if (box && target && target != box && !box->isAncestorOf(target))
                box->interpretText();
        }
        return QObject::eventFilter(watched, event);
    }
};

void installCommitOnPress()
{
    static QPointer<CommitOnPress> filter;
    if (filter || !qApp)
        return;
    filter = new CommitOnPress;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}

// An optional sign and digits, as far as a number can be typed.
bool numberText(const QString& text, qint64* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 12)
        return false;
    for (int i = 0; i < t.size(); ++i)
        if (!(t[i].isDigit() || (i == 0 && (t[i] == '-' || t[i] == '+'))))
            return false;
    bool ok = false;
    *value = t.toLongLong(&ok);
    return ok;
}

} // namespace

NumberBox::NumberBox(QWidget* parent)
    : QSpinBox(parent)
{
    setAlignment(Qt::AlignCenter);
    setKeyboardTracking(false); // one change per finished entry, not per digit
    lineEdit()->installEventFilter(this);
    installCommitOnPress();
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

QValidator::State NumberBox::validate(QString& input, int& pos) const
{
    // Any number may be typed in full: one outside the limits is clamped when it is taken, never
    // cut to the digits that happened to fit (300 in 1..255 is 255, not 30).
    qint64 v = 0;
    if (numberText(input, &v))
        return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    return QSpinBox::validate(input, pos);
}

void NumberBox::fixup(QString& input) const
{
    qint64 v = 0;
    if (numberText(input, &v)) {
        input = QString::number(std::clamp<qint64>(v, minimum(), maximum()));
        return;
    }
    QSpinBox::fixup(input);
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
