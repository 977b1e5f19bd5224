#include "dialogs/answer_dialog.h"

#include "dialogs/Dialogs.h"
#include "toolkit/screen_cursors.h"

namespace bv::gui {

void AnswerDialog::reject()
{
    done(kMessageCancel);
}

void AnswerDialog::showEvent(QShowEvent* event)
{
    ApplyScreenCursors(this);
    CentreOnParent();
    FramelessDialog::showEvent(event);
}

} // namespace bv::gui
