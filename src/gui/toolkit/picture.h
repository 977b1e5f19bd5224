#pragma once
// Pictures drawn from vector files, so they stay sharp at any scaling, and colour pictures.

#include <QPixmap>
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
