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
    // Style sheets match on the property when the widget is polished: at its first showing, or
    // here again once it has been.
    if (!testAttribute(Qt::WA_WState_Polished))
        return;
    style()->unpolish(this);
    style()->polish(this);
    update();
}

} // namespace bv::gui
