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

// The shading changes by one colour level every dozen pixels or more, so a quarter-size rendering
// drawn back without smoothing looks the same and costs a sixteenth: the first frame waits for it.
constexpr int kShadeStep = 4;

QImage renderShade(QSize size)
{
    const QSize small((size.width() + kShadeStep - 1) / kShadeStep, (size.height() + kShadeStep - 1) / kShadeStep);
    QImage shade(small, QImage::Format_RGB32);
    QPainter p(&shade);
    p.scale(1.0 / kShadeStep, 1.0 / kShadeStep);
    const QRectF r(QPointF(0, 0), QSizeF(size));
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
    return shade;
}

// Lines rising to the right, 14 pixels apart, in a tile that repeats seamlessly.
const QImage& lineTile()
{
    static const QImage tile = [] {
        constexpr int kGap = 14;
        QImage t(kGap, kGap, QImage::Format_ARGB32_Premultiplied);
        t.fill(Qt::transparent);
        const QRgb line = qPremultiply(qRgba(255, 255, 255, 7));
        for (int i = 0; i < kGap; ++i)
            t.setPixel(kGap - 1 - i, i, line);
        return t;
    }();
    return tile;
}

// Every repaint of a child repaints the background behind it, so the shade is kept per window size.
const QImage& shadeFor(QSize size)
{
    struct Entry {
        QSize Size;
        QImage Shade;
    };
    static Entry cache[4];
    static int next = 0;
    for (const Entry& e : cache)
        if (e.Size == size)
            return e.Shade;
    Entry& slot = cache[next];
    next = (next + 1) % 4;
    slot = { size, renderShade(size) };
    return slot.Shade;
}

} // namespace

void PaintWindowBackground(QWidget* window, QPainter& p)
{
    const QRectF r = window->rect();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QImage& shade = shadeFor(window->size());
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(shade.size() * kShadeStep)), shade);

    // Fine diagonal lines, barely visible, for texture: one tile repeated, as drawing the lines
    // one by one made them the costliest part of the first frame.
    p.fillRect(r, QBrush(lineTile()));

    p.setRenderHint(QPainter::Antialiasing);
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
