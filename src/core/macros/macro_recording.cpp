#include "macros/macro_recording.h"

#include "keys/uiStdCmd.h"
#include "macros/uiMacroClassUnit.h"

#include <algorithm>
#include <iterator>

namespace bv {

MacroRecordingResult MacroFromRecording(
    const TMACROKEYINFO& macro, const TMacroKeyHookList& recording, const MacroRecordingOptions& options)
{
    MacroRecordingResult result { macro, false };
    TMACROKEYINFO& out = result.Macro;
    // Slots past the count are ignored by readers, but zeroing them keeps old recordings out of files.
    std::fill(std::begin(out.MacroList), std::end(out.MacroList), TMACROKEY {});

    int count = 0;
    const TMACROKEY* lastKey = nullptr;
    for (const TMACROKEYHOOK& entry : recording) {
        TMACROKEY action {};
        if (entry.nKeyType == kMacroHookDelay) {
            if (!options.RecordDelays)
                continue;
            const std::uint16_t ms = options.DefaultDelay.value_or(entry.nKeyValue);
            const std::uint16_t delay = std::max(ms, kMacroDelayMin);
            action
                = { kActionDelay, 0, static_cast<std::uint8_t>(delay & 0xFF), static_cast<std::uint8_t>(delay >> 8) };
        } else if (IsConsumerKey(entry.nKeyValue, entry.nKeyValueExtended)) {
            // Volume, media and browser keys are consumer usages: the stored form has a media-key
            // action for them, with the 16-bit usage.
            const auto usage = static_cast<std::uint16_t>(GetKeyHidCode(entry.nKeyValue, entry.nKeyValueExtended));
            action = { kActionMediaKey, entry.nKeyState, static_cast<std::uint8_t>(usage & 0xFF),
                static_cast<std::uint8_t>(usage >> 8) };
        } else {
            action = { kActionKey, entry.nKeyState, static_cast<std::uint8_t>(entry.nKeyValue),
                static_cast<std::uint8_t>(entry.nKeyValueExtended) };
        }
        // A held key repeats its press; the first one is the press.
        const bool isKey = action.nKeyType == kActionKey || action.nKeyType == kActionMediaKey;
        if (isKey && lastKey && lastKey->nKeyType == action.nKeyType && lastKey->nKeyState == action.nKeyState
            && lastKey->VALUE1 == action.VALUE1 && lastKey->VALUE2 == action.VALUE2)
            continue;
        if (count == kRecordedActionsMax) {
            result.Truncated = true;
            break;
        }
        out.MacroList[count] = action;
        if (isKey)
            lastKey = &out.MacroList[count];
        ++count;
    }
    out.MacroListCount = count;
    out.nAutoAddDelay = options.RecordDelays ? 1 : 0;
    out.nLoopCount = options.LoopCount;
    return result;
}

} // namespace bv
