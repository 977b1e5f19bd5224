#include "toolkit/glow.h"

#include <QGraphicsDropShadowEffect>
#include <QWidget>

namespace bv::gui {

void SetGlow(QWidget* control, bool on, const QColor& colour)
{
    auto* effect = qobject_cast<QGraphicsDropShadowEffect*>(control->graphicsEffect());
    if (!effect) {
        if (!on)
            return;
        effect = new QGraphicsDropShadowEffect(control);
        effect->setOffset(0, 0);
        effect->setBlurRadius(16);
        control->setGraphicsEffect(effect);
    }
    effect->setColor(colour);
    effect->setEnabled(on);
}

bool IsGlowing(const QWidget* control)
{
    const auto* effect = qobject_cast<const QGraphicsDropShadowEffect*>(control->graphicsEffect());
    return effect && effect->isEnabled();
}

} // namespace bv::gui
