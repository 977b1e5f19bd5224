#pragma once
// TuiHook: the key recorders of the capture windows. Each turns the raw events of the keyboard
// hook into what its window records: a single key, a key combination with modifiers, or the
// timed press/release sequence of a keyboard macro.

#include "platform/keyboard_hook.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bv {

using platform::TKBDLLHOOKSTRUCT;

/// The combination being captured; nModifier uses the program's bits (Alt 1, Ctrl 2, Shift 4, Win 8).
struct TCOMBOKEY {
    std::uint16_t nKeyValue1 = 0;
    std::uint16_t nKeyValue1Extended = 0;
    std::uint16_t nKeyValue2 = 0;
    std::uint16_t nKeyValue2Extended = 0;
    std::uint16_t nModifier = 0;
};

/// Kinds of TMACROKEYHOOK entry.
enum MacroHookEntryKind : std::uint16_t {
    kMacroHookDelay = 0,
    kMacroHookKey = 1,
};

/// One entry of a keyboard-macro recording.
struct TMACROKEYHOOK {
    std::uint16_t nKeyType = kMacroHookDelay;
    std::uint16_t nKeyState = 0; // 1 press, 0 release; 0 for a delay
    std::uint16_t nKeyValue = 0; // virtual-key code, or the delay in ms (1..65535)
    std::uint16_t nKeyValueExtended = 0; // 0 for a delay
    // Left empty by the recorder.
    double Time = 0;
    std::string MacroKeyString;
    std::string MacroKeyStateString;

    bool operator==(const TMACROKEYHOOK&) const = default;
};

/// A macro recording, entries in the order they happened.
using TMacroKeyHookList = std::vector<TMACROKEYHOOK>;

/// Past this many entries a macro recording neither records nor swallows keys.
inline constexpr std::size_t kMacroRecordingLimit = 500;
/// Two key presses this close (ms) belong to the same combination.
inline constexpr std::uint32_t kComboKeyWindowMs = 100;
inline constexpr std::uint32_t kMacroDelayMax = 65535;

/// The key recorders. One instance per capture window; the keyboard hook it is given is shared
/// by the process, so starting one recorder ends whichever recorder had it before.
class TuiHook {
public:
    using TRecordKeyboardSingleKeyEvent = std::function<void(int Key, std::uint32_t ScanKey, int AState,
        int AKeyExtended, const std::string& SingleKeyString, bool& ABlocked)>;
    using TRecordKeyboardComboKeyEvent = std::function<void(
        int Key1, int Key1Extended, int Key2, int Key2Extended, int Modifier, const std::string& ComboKeyString)>;
    /// Time is the event's tick time in ms; TotalTime the delay before this entry in ms.
    using TRecordKeyboardMacroKeyExEvent = std::function<void(int MacroType, int Key1, int AState, int Extended,
        std::uint32_t Time, std::uint32_t TotalTime, const std::string& MacroKeyString,
        const std::string& MacroKeyStateString, const TMacroKeyHookList& KeyList)>;
    using TStopRecordKeyboardMacroKeyEvent = std::function<void(const TMacroKeyHookList& KeyoboardRecordList)>;

    /// `hook` may be null: the recorders then receive nothing, but starts and stops keep their
    /// bookkeeping (and the macro stop event).
    explicit TuiHook(platform::KeyboardHook* hook);
    /// Removes the hook when this instance's recorder still holds it.
    ~TuiHook();
    TuiHook(const TuiHook&) = delete;
    TuiHook& operator=(const TuiHook&) = delete;

    /// True when a keyboard hook is there to be used.
    [[nodiscard]] bool DLLLoaded() const;

    // Each start replaces any recorder of the process; false when the hook could not be
    // installed (the recorder then receives nothing).
    [[nodiscard]] bool RecordKeyboardSingleKey();
    void StopRecordKeyboardSingleKey();
    [[nodiscard]] bool RecordKeyboardComboKey();
    void StopRecordKeyboardComboKey();
    /// Starts a fresh macro recording.
    [[nodiscard]] bool RecordKeyboardMacroKeyEx();
    /// Raises OnStopRecordKeyboardMacroKey with the recording, then empties it.
    void StopRecordKeyboardMacroKeyEx();

    const TCOMBOKEY& ComboKeyInfo() const { return FComboKeyInfo; }
    const TMacroKeyHookList& MacroKeyList() const { return FMacroKeyList; }

    TRecordKeyboardSingleKeyEvent OnRecordKeyboardSingleKey;
    TRecordKeyboardComboKeyEvent OnRecordKeyboardComboKey;
    TRecordKeyboardMacroKeyExEvent OnRecordKeyboardMacroKeyEx;
    TStopRecordKeyboardMacroKeyEvent OnStopRecordKeyboardMacroKey;

private:
    [[nodiscard]] bool startHook(platform::KeyboardHook::Callback callback);
    void stopHook();

    void recordSingleKey(const TKBDLLHOOKSTRUCT& event, bool& blocked);
    void recordComboKey(const TKBDLLHOOKSTRUCT& event, bool& blocked);
    void recordMacroKey(const TKBDLLHOOKSTRUCT& event, bool& blocked);

    platform::KeyboardHook* FHook;

    TCOMBOKEY FComboKeyInfo;
    std::string FComboKeyString;
    // Time of the previous accepted press; none at the start of a recording.
    std::optional<std::uint32_t> FLastTimeKeyboardCombo;

    TMacroKeyHookList FMacroKeyList;
    TKBDLLHOOKSTRUCT FLastMacroKey; // vkCode 0: none yet
    std::uint32_t FTotalMacroTime = 0;
    std::array<std::uint8_t, 256> FAllKeyState {}; // 1 = held, by virtual-key code
};

} // namespace bv
