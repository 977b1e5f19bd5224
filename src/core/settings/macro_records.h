#pragma once
// The stored macro records: one action, one macro, the macro list of a profile.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace bv {

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");

#pragma pack(push, 1)

/// Kinds of macro action (`TMACROKEY::nKeyType`).
enum MacroActionKind : std::uint16_t {
    kActionMouseButton = 1,
    kActionKey = 4,
    kActionMediaKey = 5,
    kActionDelay = 6,
    kActionLoop = 7,
};

/// One timed input action of a macro (key, mouse button, media key, delay or loop marker).
struct TMACROKEY {
    std::uint16_t nKeyType; // 1 mouse button, 4 key, 5 media key, 6 delay, 7 loop marker
    std::uint16_t nKeyState; // 1 press, 0 release
    std::uint8_t VALUE1; // low byte / key code / button code, by kind
    std::uint8_t VALUE2; // high byte / extended flag / button index, by kind
};
static_assert(sizeof(TMACROKEY) == 6);

inline constexpr int kMacroActionsMax = 128;
inline constexpr int kMacroNameUnits = 50;
inline constexpr std::uint32_t kMacroVersion = 258;

/// One macro: up to 128 actions with its name, loop count and error state.
struct TMACROKEYINFO {
    TMACROKEY MacroList[kMacroActionsMax];
    std::int32_t MacroListCount;
    std::uint16_t nAutoAddDelay;
    std::uint16_t nLoopCount;
    std::uint16_t nMacroIndex;
    std::uint8_t MacroUse;
    std::uint8_t Padding779;
    char16_t szMacroName[kMacroNameUnits]; // not terminated when all 50 units are used
    std::uint32_t Version;
    std::int32_t HaveErrors;
    std::int32_t ErrorCount;
};
static_assert(sizeof(TMACROKEYINFO) == 892);
static_assert(offsetof(TMACROKEYINFO, MacroListCount) == 768);
static_assert(offsetof(TMACROKEYINFO, nAutoAddDelay) == 772);
static_assert(offsetof(TMACROKEYINFO, nLoopCount) == 774);
static_assert(offsetof(TMACROKEYINFO, nMacroIndex) == 776);
static_assert(offsetof(TMACROKEYINFO, MacroUse) == 778);
static_assert(offsetof(TMACROKEYINFO, szMacroName) == 780);
static_assert(offsetof(TMACROKEYINFO, Version) == 880);
static_assert(offsetof(TMACROKEYINFO, HaveErrors) == 884);
static_assert(offsetof(TMACROKEYINFO, ErrorCount) == 888);

inline constexpr int kMacroListSlots = 21;
inline constexpr int kMacroListMax = 20;

/// The macros of a profile; entries at and beyond nMacroInfoCount are ignored.
struct TMACROKEYINFOLIST {
    TMACROKEYINFO MacroInfos[kMacroListSlots];
    std::uint16_t nMacroInfoCount;
    std::uint8_t Padding18734[2];
};
static_assert(sizeof(TMACROKEYINFOLIST) == 18736);
static_assert(offsetof(TMACROKEYINFOLIST, nMacroInfoCount) == 18732);

/// Kept inside a profile; its contents are carried along unread.
struct TMACROINFOLIST_TO_DEVICE {
    TMACROKEYINFO MacroInfos[5];
    std::uint16_t nMacroInfoCount;
    std::uint8_t Padding4462[2];
};
static_assert(sizeof(TMACROINFOLIST_TO_DEVICE) == 4464);
static_assert(offsetof(TMACROINFOLIST_TO_DEVICE, nMacroInfoCount) == 4460);

#pragma pack(pop)

} // namespace bv
