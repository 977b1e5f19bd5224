#pragma once
// The program's own pointer pictures: the hand shown over clickable controls and the arrow.

#include <QCursor>

class QWidget;

namespace bv::gui {

/// Loads "hand.cur" and "attack.cur" from `imagesFolder`; a missing or unreadable file keeps the
/// system's pointer for that shape. Returns how many were replaced.
int ReplaceScreenCursors(const QString& imagesFolder);

/// The pointer for clickable controls and the arrow, the program's own when replaced.
QCursor HandCursor();
QCursor ArrowCursor();
bool IsHandReplaced();
bool IsArrowReplaced();

/// Gives `window` the arrow and every control of it that asks for a hand the hand.
void ApplyScreenCursors(QWidget* window);

} // namespace bv::gui
