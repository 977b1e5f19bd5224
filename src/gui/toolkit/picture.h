#pragma once
// The program's pictures in controls, and colour pictures.

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class QVariantAnimation;

namespace bv::gui {

/// One of the program's pictures (by name), fitted into the control with its proportions kept.
/// It can turn about its centre (the test area's spin).
class Picture : public QWidget {
    Q_OBJECT

public:
    explicit Picture(const QString& name, QWidget* parent = nullptr);

    bool IsValid();
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
    /// Loaded when first drawn, for the screen it is drawn on: the first frame decodes only what
    /// it shows.
    const QPixmap& Loaded();

    QString FName;
    QPixmap FPicture;
    QVariantAnimation* FSpin = nullptr;
    qreal FAngle = 0;
};

/// A picture with a light that takes any colour and breathes: drawn from the picture's base and
/// its light (how much of the light each pixel shows), so any colour costs one fill.
class LitPicture : public QWidget {
    Q_OBJECT

public:
    /// Draws the pictures `name`-base and `name`-light.
    explicit LitPicture(const QString& name, QWidget* parent = nullptr);

    /// Lights the picture in `colour`, breathing once every `breathPeriodMs` (0: steady); an
    /// invalid colour turns the light off.
    void SetLight(QColor colour, int breathPeriodMs);
    QColor LightColour() const { return FColour; }
    int BreathPeriod() const { return FPeriod; }
    bool IsBreathing() const;
    bool IsValid();
    /// The picture as it is drawn now, at the control's size.
    QImage Drawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Draw(QPainter& p);
    void Load();

    QString FName;
    QPixmap FBase;
    QImage FLight;
    QColor FColour;
    int FPeriod = 0;
    qreal FLevel = 1; // the light's strength, 0..1
    QImage FTinted; // the light in FTintColour
    QColor FTintColour;
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
