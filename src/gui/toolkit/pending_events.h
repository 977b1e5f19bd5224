#pragma once
// Lets the window catch up (repaint, handle what is queued) in the middle of a handler that is about
// to wait for the mouse.

namespace bv::gui {

/// Handles the events queued so far, then returns. Unlike one pass of the event loop it always
/// returns: on Windows a pass runs until the queue is empty, and a running animation (the mouse
/// drawing's breathing light) can keep it from ever being empty.
void ProcessPendingEvents();

} // namespace bv::gui
