#pragma once
// A spinning busy indicator; hidden and still until started.

#include <QTimer>
#include <QWidget>

namespace bv::gui {

class BusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    /// Shows the indicator and sets it turning.
    void Start();
    /// Stops and hides it.
    void Stop();
    bool IsRunning() const { return FTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer FTimer;
    int FAngle = 0;
};

} // namespace bv::gui
