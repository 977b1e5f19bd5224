#pragma once
// The glow around a control: a soft shadow without offset, switched on or off per control.

#include <QColor>

class QWidget;

namespace bv::gui {

inline const QColor kGlowRed = QColor::fromRgba(0xFFE00202);

void SetGlow(QWidget* control, bool on, const QColor& colour = kGlowRed);
bool IsGlowing(const QWidget* control);

} // namespace bv::gui
