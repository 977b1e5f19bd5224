#pragma once
// Start-up timing for the benchmark: with BV_STARTUP_PROBE set, the program prints when its main
// window first reached the screen, then ends. Without it nothing happens.

class QWidget;

namespace bv::gui {

/// Watches `window`; on its first painting prints "shown <steady clock ns>" to stdout and quits.
void ReportFirstPaint(QWidget* window);
/// ReportFirstPaint, when BV_STARTUP_PROBE is set.
void ReportFirstPaintWhenProbed(QWidget* window);
/// When BV_STARTUP_PROBE is set, prints "phase <name> <steady clock ns>": the end of a step of
/// start-up, for the benchmark's breakdown.
void StartupPhase(const char* name);

} // namespace bv::gui
