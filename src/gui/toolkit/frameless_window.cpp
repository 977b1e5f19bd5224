#include "toolkit/frameless_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <QtMath>

#include <algorithm>
#include <cstring>
#include <vector>

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
    const QImage& shade = shadeFor(window->size());
    // The shade, scaled up, and fine diagonal lines, barely visible, for texture, are written
    // pixel by pixel into bands that are then copied as they are. Drawn with the painter, the
    // lines and the scaling were the costliest part of the first frame.
    const qreal ratio = p.device()->devicePixelRatio();
    const int width = qCeil(r.width() * ratio);
    const int height = qCeil(r.height() * ratio);
    const QRectF area = p.hasClipping() ? p.clipBoundingRect().intersected(r) : r;
    const int top = qMax(0, qFloor(area.top() * ratio));
    const int bottom = qMin(height, qCeil(area.bottom() * ratio));
    // Where each logical column starts in device pixels, and one row of the shade scaled up.
    const int logicalWidth = window->width();
    std::vector<int> deviceColumn(static_cast<std::size_t>(logicalWidth) + 1);
    for (int lx = 0; lx <= logicalWidth; ++lx)
        deviceColumn[std::size_t(lx)] = qMin(width, qCeil(lx * ratio));
    std::vector<QRgb> scaledRow(static_cast<std::size_t>(width));
    int scaledFrom = -1;
    constexpr int kBandRows = 16;
    constexpr int kLineGap = 14;
    QImage band(width, kBandRows, QImage::Format_RGB32);
    band.setDevicePixelRatio(ratio);
    for (int y0 = top; y0 < bottom; y0 += kBandRows) {
        const int rows = qMin(kBandRows, bottom - y0);
        for (int i = 0; i < rows; ++i) {
            const int y = int((y0 + i) / ratio);
            const int shadeRow = qMin(shade.height() - 1, y / kShadeStep);
            if (shadeRow != scaledFrom) {
                const auto* from = reinterpret_cast<const QRgb*>(shade.constScanLine(shadeRow));
                const int lastShadeColumn = shade.width() - 1;
                for (int lx = 0; lx < logicalWidth; ++lx)
                    std::fill(scaledRow.begin() + deviceColumn[std::size_t(lx)],
                        scaledRow.begin() + deviceColumn[std::size_t(lx) + 1],
                        from[qMin(lastShadeColumn, lx / kShadeStep)]);
                scaledFrom = shadeRow;
            }
            auto* to = reinterpret_cast<QRgb*>(band.scanLine(i));
            std::memcpy(to, scaledRow.data(), scaledRow.size() * sizeof(QRgb));
            // White at 7/255 over the shade where a line rising to the right passes: the logical
            // columns with x + y + 1 a multiple of the gap.
            for (int lx = kLineGap - 1 - y % kLineGap; lx < logicalWidth; lx += kLineGap)
                for (int x = deviceColumn[std::size_t(lx)]; x < deviceColumn[std::size_t(lx) + 1]; ++x) {
                    const QRgb c = to[x];
                    to[x] = qRgb(qRed(c) + (255 - qRed(c)) * 7 / 255, qGreen(c) + (255 - qGreen(c)) * 7 / 255,
                        qBlue(c) + (255 - qBlue(c)) * 7 / 255);
                }
        }
        p.drawImage(QPointF(0, y0 / ratio), band, QRectF(0, 0, width, rows));
    }

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
