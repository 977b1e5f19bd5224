#pragma once
// A borderless window with a painted background; dragging its background moves it.

#include <QDialog>
#include <QWidget>

namespace bv::gui {

/// Paints the background that every window of the program shares.
void PaintWindowBackground(QWidget* window, QPainter& painter);

class FramelessWindow : public QWidget {
    Q_OBJECT

public:
    /// A window whose client area is exactly `size`.
    FramelessWindow(QSize size, QWidget* parent = nullptr);

    /// Centres the window on the screen it is on (or the primary one).
    void CentreOnScreen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

/// The same for modal dialogs.
class FramelessDialog : public QDialog {
    Q_OBJECT

public:
    FramelessDialog(QSize size, QWidget* parent = nullptr);

    /// Centres the dialog on its parent window, or on the screen without one.
    void CentreOnParent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace bv::gui
