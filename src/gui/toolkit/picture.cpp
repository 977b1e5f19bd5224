#include "toolkit/picture.h"

#include "toolkit/images.h"

#include <QEasingCurve>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bv::gui {

Picture::Picture(const QString& name, QWidget* parent)
    : QWidget(parent)
    , FName(name)
{
}

const QPixmap& Picture::Loaded()
{
    const qreal ratio = devicePixelRatioF();
    if (FPicture.isNull() || FPicture.devicePixelRatio() < ratio)
        FPicture = ProgramPicture(FName, ratio);
    return FPicture;
}

bool Picture::IsValid()
{
    return !Loaded().isNull();
}

void Picture::SetAngle(qreal degrees)
{
    FAngle = degrees;
    update();
}

void Picture::StartSpin()
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

bool Picture::IsSpinning() const
{
    return FSpin && FSpin->state() == QAbstractAnimation::Running;
}

void Picture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (FAngle != 0) {
        p.translate(width() / 2.0, height() / 2.0);
        p.rotate(FAngle);
        p.translate(-width() / 2.0, -height() / 2.0);
    }
    const QPixmap& picture = Loaded();
    const QSizeF fitted = picture.deviceIndependentSize().scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QPointF at((width() - fitted.width()) / 2, (height() - fitted.height()) / 2);
    p.drawPixmap(QRectF(at, fitted), picture, QRectF(picture.rect()));
}

void Picture::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QWidget::mousePressEvent(event);
}

void Picture::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

LitPicture::LitPicture(const QString& name, QWidget* parent)
    : QWidget(parent)
    , FName(name)
{
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

void LitPicture::SetLight(QColor colour, int breathPeriodMs)
{
    FColour = colour;
    FPeriod = colour.isValid() ? std::max(0, breathPeriodMs) : 0;
    FBreath->stop();
    FLevel = 1;
    if (FPeriod > 0) {
        FBreath->setDuration(FPeriod);
        if (isVisible())
            FBreath->start();
    }
    update();
}

void LitPicture::Load()
{
    const qreal ratio = devicePixelRatioF();
    if (!FBase.isNull() && FBase.devicePixelRatio() >= ratio)
        return;
    FBase = QPixmap::fromImage(ProgramImage(FName + "-base", ratio));
    FLight = ProgramImage(FName + "-light", ratio);
    FTinted = QImage();
}

bool LitPicture::IsValid()
{
    Load();
    return !FBase.isNull() && !FLight.isNull();
}

bool LitPicture::IsBreathing() const
{
    return FBreath->state() == QAbstractAnimation::Running;
}

void LitPicture::Draw(QPainter& p)
{
    Load();
    // The light between its dark colour and its own, by the breath.
    static const QColor kDark(0x3A, 0x3F, 0x48);
    const QColor c = FColour.isValid() ? FColour : kDark;
    const qreal l = FColour.isValid() ? FLevel : 1.0;
    const QColor tint = QColor::fromRgbF(kDark.redF() + (c.redF() - kDark.redF()) * l,
        kDark.greenF() + (c.greenF() - kDark.greenF()) * l, kDark.blueF() + (c.blueF() - kDark.blueF()) * l);
    if (tint != FTintColour || FTinted.isNull()) {
        FTinted = FLight.copy();
        QPainter tp(&FTinted);
        tp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tp.fillRect(FTinted.rect(), tint);
        tp.end();
        FTintColour = tint;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target(QPointF(0, 0), QSizeF(size()));
    p.drawPixmap(target, FBase, QRectF(FBase.rect()));
    // Base + light x colour: the light's colour added where the light shows.
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.drawImage(target, FTinted, QRectF(FTinted.rect()));
}

QImage LitPicture::Drawn()
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Draw(p);
    return image;
}

void LitPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    Draw(p);
}

void LitPicture::showEvent(QShowEvent* event)
{
    if (FPeriod > 0)
        FBreath->start();
    QWidget::showEvent(event);
}

void LitPicture::hideEvent(QHideEvent* event)
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
