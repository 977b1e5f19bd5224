#pragma once
// Turns a key recording of the macro recorder into the actions of a macro, with the delay and
// loop options of the macro editor.

#include "macros/uiHook.h"
#include "settings/macro_records.h"

#include <cstdint>
#include <optional>

namespace bv {

/// The most actions one recording yields: one below the macro's room, as the editor has always kept.
inline constexpr int kRecordedActionsMax = kMacroActionsMax - 1;
/// Delays the program writes lie in 10..65535 ms.
inline constexpr std::uint16_t kMacroDelayMin = 10;

/// How a recording becomes actions.
struct MacroRecordingOptions {
    /// Keep the delays between the keys ("Record delays between action").
    bool RecordDelays = true;
    /// With RecordDelays: every recorded delay becomes this many ms ("Insert default delay").
    std::optional<std::uint16_t> DefaultDelay;
    /// 0 = play once, else the number of loops.
    std::uint16_t LoopCount = 0;
};

/// What a recording became.
struct MacroRecordingResult {
    TMACROKEYINFO Macro;
    /// Entries dropped because the macro was full.
    bool Truncated = false;
};

/// `macro` (name, index and other fields kept) with its actions replaced by the recording:
/// delays clamped to at least 10 ms (or the default delay), repeated identical key entries
/// dropped, at most kRecordedActionsMax actions; unused action slots are zeroed.
MacroRecordingResult MacroFromRecording(
    const TMACROKEYINFO& macro, const TMacroKeyHookList& recording, const MacroRecordingOptions& options);

} // namespace bv
