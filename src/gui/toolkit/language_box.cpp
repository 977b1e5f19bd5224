#include "toolkit/language_box.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace bv::gui {

void LanguageBox::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

void LanguageBox::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

} // namespace bv::gui
