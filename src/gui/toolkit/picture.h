#pragma once
// Pictures drawn from vector files, so they stay sharp at any scaling, and colour pictures.

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class QSvgRenderer;
class QVariantAnimation;

namespace bv::gui {

/// A picture from an SVG file or resource, fitted into the control with its proportions kept.
/// It can turn about its centre (the test area's spin).
class SvgPicture : public QWidget {
    Q_OBJECT

public:
    explicit SvgPicture(const QString& file, QWidget* parent = nullptr);

    bool IsValid() const;
    qreal Angle() const { return FAngle; }
    void SetAngle(qreal degrees);
    /// One turn through 360 degrees and back, 1.2 s each way, with a bounce at the end of each.
    void StartSpin();
    bool IsSpinning() const;

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QSvgRenderer* FRenderer;
    QVariantAnimation* FSpin = nullptr;
    qreal FAngle = 0;
};

/// An SVG picture with a light: the parts drawn in the file's light colours take a colour of their
/// own and breathe. Both states are drawn once into pixmaps, so breathing only blends them.
class LitSvgPicture : public QWidget {
    Q_OBJECT

public:
    /// `lightColours`: the light's colours in the file ("#rrggbb", lower case), brightest last.
    LitSvgPicture(const QString& file, QStringList lightColours, QWidget* parent = nullptr);

    /// Lights the picture in `colour`, breathing once every `breathPeriodMs` (0: steady); an
    /// invalid colour turns the light off.
    void SetLight(QColor colour, int breathPeriodMs);
    QColor LightColour() const { return FColour; }
    int BreathPeriod() const { return FPeriod; }
    bool IsBreathing() const;
    /// The picture as it is drawn now, at the control's size.
    QImage Drawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPixmap Render(const QColor& colour) const;
    void Draw(QPainter& p);

    QByteArray FSource;
    QStringList FLightColours;
    QColor FColour;
    int FPeriod = 0;
    qreal FLevel = 1; // the light's strength, 0..1
    QPixmap FOff;
    QPixmap FLit;
    QVariantAnimation* FBreath = nullptr;
};

/// A colour chip's picture, drawn at twice the size asked for so that it stays sharp at 200 %.
QPixmap MakeColourPicture(QColor colour, QSize size);

/// Shows a picture scaled into the control; clickable.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return FPicture; }
    /// Draws a ring around the picture (the chosen colour).
    void SetRinged(bool ringed);
    bool IsRinged() const { return FRinged; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap FPicture;
    bool FRinged = false;
};

} // namespace bv::gui
