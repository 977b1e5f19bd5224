#include "mainwindow/slot_leaders.h"

#include <QPainter>
#include <QPainterPath>

namespace bv::gui {

SlotLeaders::SlotLeaders(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SlotLeaders::AddLeader(QWidget* slot, QPoint anchor)
{
    FLeaders.push_back({ slot, anchor });
    update();
}

void SlotLeaders::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Leader& l : FLeaders) {
        const QRect r(mapFromGlobal(l.Slot->mapToGlobal(QPoint(0, 0))), l.Slot->size());
        const bool leftOfAnchor = r.center().x() < l.Anchor.x();
        const QPointF start(leftOfAnchor ? r.right() + 1 : r.left(), r.center().y() + 0.5);
        // Straight out of the slot, then a bend towards the point on the mouse.
        const qreal bendX = leftOfAnchor ? start.x() + 14 : start.x() - 14;
        QPainterPath path(start);
        path.lineTo(bendX, start.y());
        path.lineTo(l.Anchor);
        p.setPen(QPen(QColor(0xE0, 0x20, 0x2A, 150), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE0, 0x20, 0x2A, 70));
        p.drawEllipse(QPointF(l.Anchor), 5.5, 5.5);
        p.setBrush(QColor(0xFF, 0x4A, 0x52));
        p.drawEllipse(QPointF(l.Anchor), 2.6, 2.6);
        p.setBrush(QColor(0xE0, 0x20, 0x2A));
        p.drawEllipse(start, 2.2, 2.2);
    }
}

} // namespace bv::gui
