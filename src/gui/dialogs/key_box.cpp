#include "dialogs/key_box.h"

#include <QLineEdit>

namespace bv::gui {

QLineEdit* MakeKeyBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setProperty("bvRole", "keybox");
    box->setReadOnly(true);
    // Without focus the box never takes the keys meant for the recorder, nor shows a caret.
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignCenter);
    box->setContextMenuPolicy(Qt::NoContextMenu);
    QFont f = box->font();
    f.setPointSize(14);
    f.setBold(true);
    box->setFont(f);
    box->setGeometry(24, 150, 430, 46);
    return box;
}

} // namespace bv::gui
