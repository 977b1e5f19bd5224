#pragma once
// The read-only box in which the key capture dialogs show the captured key.

class QLineEdit;
class QWidget;

namespace bv::gui {

QLineEdit* MakeKeyBox(QWidget* parent, const char* name);

} // namespace bv::gui
