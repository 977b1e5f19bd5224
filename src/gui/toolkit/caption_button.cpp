#include "toolkit/caption_button.h"

#include <QStyle>

namespace bv::gui {

CaptionButton::CaptionButton(QWidget* parent, const QString& styleName)
    : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    SetStyleName(styleName);
}

void CaptionButton::SetStyleName(const QString& name)
{
    if (name == FStyleName)
        return;
    FStyleName = name;
    // Style sheets match on the property only when the widget is polished again.
    style()->unpolish(this);
    style()->polish(this);
    update();
}

} // namespace bv::gui
