#include "toolkit/busy_indicator.h"

#include <QPainter>

namespace bv::gui {

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent)
{
    FTimer.setInterval(40);
    connect(&FTimer, &QTimer::timeout, this, [this] {
        FAngle = (FAngle + 12) % 360;
        update();
    });
    hide();
}

void BusyIndicator::Start()
{
    show();
    FTimer.start();
}

void BusyIndicator::Stop()
{
    FTimer.stop();
    hide();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 6;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(QColor(255, 255, 255, 40), 3));
    p.drawEllipse(box);
    QConicalGradient sweep(box.center(), -FAngle);
    sweep.setColorAt(0.0, QColor(0xE0, 0x20, 0x2A));
    sweep.setColorAt(0.7, QColor(0xE0, 0x20, 0x2A, 0));
    p.setPen(QPen(QBrush(sweep), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(box, -FAngle * 16, 250 * 16);
}

} // namespace bv::gui
