#include "toolkit/frameless_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace bv::gui {

namespace {

void startMove(QWidget* window, QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && window->windowHandle())
        window->windowHandle()->startSystemMove();
}

QScreen* screenOf(QWidget* w)
{
    if (QScreen* s = w->screen())
        return s;
    return QGuiApplication::primaryScreen();
}

} // namespace

void PaintWindowBackground(QWidget* window, QPainter& p)
{
    const QRectF r = window->rect();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(r.topLeft(), r.bottomRight());
    base.setColorAt(0.0, QColor(0x1B, 0x1F, 0x27));
    base.setColorAt(0.55, QColor(0x12, 0x15, 0x1B));
    base.setColorAt(1.0, QColor(0x0D, 0x0F, 0x13));
    p.fillRect(r, base);

    // A faint red light behind the upper left, where the mouse sits.
    QRadialGradient glow(QPointF(r.width() * 0.28, r.height() * 0.42), r.width() * 0.42);
    glow.setColorAt(0.0, QColor(0xE0, 0x20, 0x2A, 34));
    glow.setColorAt(1.0, QColor(0xE0, 0x20, 0x2A, 0));
    p.fillRect(r, glow);

    // Fine diagonal lines, barely visible, for texture.
    p.setPen(QPen(QColor(255, 255, 255, 7), 1));
    for (int x = -int(r.height()); x < int(r.width()); x += 14)
        p.drawLine(QPointF(x, r.height()), QPointF(x + r.height(), 0));

    p.setPen(QPen(QColor(0xE0, 0x20, 0x2A, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

FramelessWindow::FramelessWindow(QSize size, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setFixedSize(size);
    setAttribute(Qt::WA_StyledBackground, false);
}

void FramelessWindow::CentreOnScreen()
{
    const QRect area = screenOf(this)->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void FramelessWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintWindowBackground(this, p);
}

void FramelessWindow::mousePressEvent(QMouseEvent* event)
{
    startMove(this, event);
    QWidget::mousePressEvent(event);
}

FramelessDialog::FramelessDialog(QSize size, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(size);
    setModal(true);
}

void FramelessDialog::CentreOnParent()
{
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry() : screenOf(this)->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void FramelessDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintWindowBackground(this, p);
}

void FramelessDialog::mousePressEvent(QMouseEvent* event)
{
    startMove(this, event);
    QDialog::mousePressEvent(event);
}

} // namespace bv::gui
