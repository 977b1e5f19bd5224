#include "toolkit/picture.h"

#include <QEasingCurve>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bv::gui {

SvgPicture::SvgPicture(const QString& file, QWidget* parent)
    : QWidget(parent)
    , FRenderer(new QSvgRenderer(file, this))
{
    FRenderer->setAspectRatioMode(Qt::KeepAspectRatio);
}

bool SvgPicture::IsValid() const
{
    return FRenderer->isValid();
}

void SvgPicture::SetAngle(qreal degrees)
{
    FAngle = degrees;
    update();
}

void SvgPicture::StartSpin()
{
    if (!FSpin) {
        FSpin = new QVariantAnimation(this);
        connect(FSpin, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) { SetAngle(v.toReal()); });
        FSpin->setDuration(2400);
        FSpin->setStartValue(0.0);
        FSpin->setEndValue(0.0);
        FSpin->setKeyValueAt(0.5, 360.0);
        // Each half (there and back) bounces at its own end.
        QEasingCurve there_and_back;
        there_and_back.setCustomType([](qreal t) -> qreal {
            static const QEasingCurve half(QEasingCurve::OutBounce);
            return t < 0.5 ? half.valueForProgress(t * 2) / 2 : 0.5 + half.valueForProgress(t * 2 - 1) / 2;
        });
        FSpin->setEasingCurve(there_and_back);
    }
    FSpin->stop();
    FSpin->start();
}

bool SvgPicture::IsSpinning() const
{
    return FSpin && FSpin->state() == QAbstractAnimation::Running;
}

void SvgPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (FAngle != 0) {
        p.translate(width() / 2.0, height() / 2.0);
        p.rotate(FAngle);
        p.translate(-width() / 2.0, -height() / 2.0);
    }
    FRenderer->render(&p, QRectF(rect()));
}

void SvgPicture::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QWidget::mousePressEvent(event);
}

void SvgPicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

LitSvgPicture::LitSvgPicture(const QString& file, QStringList lightColours, QWidget* parent)
    : QWidget(parent)
    , FLightColours(std::move(lightColours))
{
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        FSource = f.readAll();
    FBreath = new QVariantAnimation(this);
    FBreath->setStartValue(0.0);
    FBreath->setEndValue(1.0);
    FBreath->setLoopCount(-1);
    connect(FBreath, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        // A breath starts lit and is never quite dark, so the light stays recognisable.
        FLevel = 0.2 + 0.8 * (0.5 + 0.5 * std::cos(2 * std::numbers::pi * v.toReal()));
        update();
    });
}

void LitSvgPicture::SetLight(QColor colour, int breathPeriodMs)
{
    const bool changed = colour != FColour;
    FColour = colour;
    FPeriod = colour.isValid() ? std::max(0, breathPeriodMs) : 0;
    if (changed)
        FLit = QPixmap();
    FBreath->stop();
    FLevel = 1;
    if (FPeriod > 0) {
        FBreath->setDuration(FPeriod);
        if (isVisible())
            FBreath->start();
    }
    update();
}

bool LitSvgPicture::IsBreathing() const
{
    return FBreath->state() == QAbstractAnimation::Running;
}

QPixmap LitSvgPicture::Render(const QColor& colour) const
{
    QByteArray svg = FSource;
    for (int i = 0; i < FLightColours.size(); ++i) {
        // The brightest of the light's colours is a little lighter than the rest, as in the file.
        const QColor c = !colour.isValid()                              ? QColor(0x3A, 0x3F, 0x48)
            : i + 1 == FLightColours.size() && FLightColours.size() > 1 ? colour.lighter(120)
                                                                        : colour;
        svg.replace(FLightColours[i].toLatin1(), c.name().toLatin1());
    }
    QSvgRenderer renderer(svg);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(QPointF(), QSizeF(size())));
    return pixmap;
}

void LitSvgPicture::Draw(QPainter& p)
{
    const qreal ratio = devicePixelRatioF();
    // Fully lit, the dark picture would only lie under the lit one: the first frame draws one.
    const bool lit = FColour.isValid();
    if (!lit || FLevel < 1) {
        if (FOff.isNull() || FOff.devicePixelRatio() != ratio)
            FOff = Render(QColor());
        p.drawPixmap(0, 0, FOff);
    }
    if (!lit)
        return;
    if (FLit.isNull() || FLit.devicePixelRatio() != ratio)
        FLit = Render(FColour);
    p.setOpacity(FLevel);
    p.drawPixmap(0, 0, FLit);
}

QImage LitSvgPicture::Drawn()
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Draw(p);
    return image;
}

void LitSvgPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    Draw(p);
}

void LitSvgPicture::resizeEvent(QResizeEvent* event)
{
    FOff = QPixmap();
    FLit = QPixmap();
    QWidget::resizeEvent(event);
}

void LitSvgPicture::showEvent(QShowEvent* event)
{
    if (FPeriod > 0)
        FBreath->start();
    QWidget::showEvent(event);
}

void LitSvgPicture::hideEvent(QHideEvent* event)
{
    // Nothing to draw for while hidden.
    FBreath->stop();
    QWidget::hideEvent(event);
}

QPixmap MakeColourPicture(QColor colour, QSize size)
{
    constexpr qreal kScale = 2.0;
    QPixmap pixmap(size * kScale);
    pixmap.setDevicePixelRatio(kScale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal radius = qMin(box.width(), box.height()) * 0.22;

    QLinearGradient body(box.topLeft(), box.bottomLeft());
    body.setColorAt(0.0, colour.lighter(135));
    body.setColorAt(0.55, colour);
    body.setColorAt(1.0, colour.darker(160));
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
    p.setBrush(body);
    p.drawRoundedRect(box, radius, radius);

    // A soft highlight across the upper half, like light on a lens.
    QPainterPath shine;
    const QRectF upper = box.adjusted(2, 2, -2, -box.height() * 0.5);
    shine.addRoundedRect(upper, radius * 0.8, radius * 0.8);
    QLinearGradient gloss(upper.topLeft(), upper.bottomLeft());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(shine, gloss);
    return pixmap;
}

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
}

void PictureBox::SetPicture(const QPixmap& picture)
{
    FPicture = picture;
    update();
}

void PictureBox::SetRinged(bool ringed)
{
    FRinged = ringed;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF area = QRectF(rect()).adjusted(3, 3, -3, -3);
    if (!FPicture.isNull())
        p.drawPixmap(area, FPicture, QRectF(QPointF(0, 0), QSizeF(FPicture.size())));
    if (FRinged) {
        p.setPen(QPen(QColor(255, 255, 255, 220), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QWidget::mousePressEvent(event);
}

} // namespace bv::gui
