#pragma once
// The thin lines that lead from each slot button to its place on the picture of the mouse.

#include <QPoint>
#include <QWidget>

#include <vector>

namespace bv::gui {

class SlotLeaders : public QWidget {
    Q_OBJECT

public:
    explicit SlotLeaders(QWidget* parent = nullptr);

    /// A line from the slot control's nearer edge to `anchor` (in this widget's coordinates).
    void AddLeader(QWidget* slot, QPoint anchor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Leader {
        QWidget* Slot;
        QPoint Anchor;
    };
    std::vector<Leader> FLeaders;
};

} // namespace bv::gui
