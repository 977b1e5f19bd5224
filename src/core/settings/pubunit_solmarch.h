#pragma once
// The profile records: the stored form of every setting of the mouse. Each record is a storage
// format that is written and read byte for byte, so every padding and unread byte is spelled out.

#include "settings/macro_records.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace bv {

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");

inline constexpr std::int32_t kProfileVersion = 258;

#pragma pack(push, 1)

/// Version stamp at the start of every profile image.
struct TProfileHeader {
    std::int32_t FFileVersion;
    std::uint8_t FFileType[8]; // carried unread
    std::uint8_t FFileName[44]; // carried unread
    std::uint32_t FProfileSize; // carried unread
};
static_assert(sizeof(TProfileHeader) == 60);

/// Carried unread.
struct TFUNCTIONLIST {
    std::uint8_t FunctionInfo[800];
};
static_assert(sizeof(TFUNCTIONLIST) == 800);

struct TSINGLEKEYINFO {
    std::uint16_t nKeyValue1; // virtual-key code
    std::uint16_t nKey1Extended; // 1 extended (224/225 also accepted)
};
static_assert(sizeof(TSINGLEKEYINFO) == 4);

struct TCOMBOKEYINFO {
    std::uint16_t nKeyValue1;
    std::uint16_t nKey1Extended;
    std::uint16_t nKeyValue2; // 0 = none
    std::uint16_t nKey2Extended;
    std::uint16_t nModifier; // bit 0 Alt, 1 Ctrl, 2 Shift, 3 Win
};
static_assert(sizeof(TCOMBOKEYINFO) == 10);

struct THID_CODE_INFO {
    std::uint16_t nKeyValue1; // HID usage: keyboard page for keys, consumer page for media keys
    std::uint16_t nKeyValue2;
    std::uint16_t nModifier; // HID modifier byte: bit 0 Ctrl, 1 Shift, 2 Alt, 3 GUI
};
static_assert(sizeof(THID_CODE_INFO) == 6);

struct TFIREKEYINFO {
    std::uint16_t nLoopCount; // clicks fired, 1..255
    std::uint16_t DelyValue; // ms between clicks, 1..255; 0 = not yet set
};
static_assert(sizeof(TFIREKEYINFO) == 4);

/// The function of one button or wheel slot.
struct TBUTTONFUNCINFO {
    std::uint16_t nReserved;
    TSINGLEKEYINFO SingleKey;
    TCOMBOKEYINFO ComboKey;
    THID_CODE_INFO MediaKey;
    std::uint8_t Padding22[2];
    TMACROKEYINFO MacroKeyInfo;
    TFIREKEYINFO FireKey;
    std::uint8_t Reserved920[4];
    std::uint32_t WheelParam;
    std::uint8_t Reserved928[2820];
    std::uint8_t RawCode[3];
    std::uint8_t Padding3751;
    std::uint16_t nButtonIndex;
    std::uint16_t nMenuRow; // button slots: FunctionMenuTable row; wheel slots: wheel menu code - 1
    std::uint8_t FuncKind;
    std::uint8_t Padding3757[3];
    std::uint32_t DeviceCode;
    std::uint32_t MenuID;
    std::uint8_t Reserved3768[4];
};
static_assert(sizeof(TBUTTONFUNCINFO) == 3772);
static_assert(offsetof(TBUTTONFUNCINFO, SingleKey) == 2);
static_assert(offsetof(TBUTTONFUNCINFO, ComboKey) == 6);
static_assert(offsetof(TBUTTONFUNCINFO, MediaKey) == 16);
static_assert(offsetof(TBUTTONFUNCINFO, MacroKeyInfo) == 24);
static_assert(offsetof(TBUTTONFUNCINFO, FireKey) == 916);
static_assert(offsetof(TBUTTONFUNCINFO, WheelParam) == 924);
static_assert(offsetof(TBUTTONFUNCINFO, RawCode) == 3748);
static_assert(offsetof(TBUTTONFUNCINFO, nButtonIndex) == 3752);
static_assert(offsetof(TBUTTONFUNCINFO, nMenuRow) == 3754);
static_assert(offsetof(TBUTTONFUNCINFO, FuncKind) == 3756);
static_assert(offsetof(TBUTTONFUNCINFO, DeviceCode) == 3760);
static_assert(offsetof(TBUTTONFUNCINFO, MenuID) == 3764);

/// One CPI level.
struct CPILevelEntry {
    std::uint16_t X;
    std::uint16_t Y;
    std::uint16_t State; // 1 enabled, 0 disabled
};
static_assert(sizeof(CPILevelEntry) == 6);

struct TLEDCONFIG {
    std::uint8_t R;
    std::uint8_t G;
    std::uint8_t B;
    std::uint8_t BRIGHT_LEVEL; // 0 when the LED is off
    std::uint8_t BREATH_SPEED; // 0 off, 1 low, 2 medium, 3 high
    std::uint8_t BREATH_SECOND;
};
static_assert(sizeof(TLEDCONFIG) == 6);

struct TSENSORLIFT {
    std::uint8_t SensorLift;
};

/// A UTF-16 path of 513 units; carried unread.
struct TPROFILE_MACRO_PATH {
    char16_t FilePath[513];
};
static_assert(sizeof(TPROFILE_MACRO_PATH) == 1026);

inline constexpr int kButtonSlots = 15;
inline constexpr int kGameButtonCount = 7;
inline constexpr int kCPILevelSlots = 11;
inline constexpr int kCPILevelsUsed = 4;

/// Every button, wheel, CPI, LED and pointer setting of a profile.
struct TMOUSECONFIGINFO {
    TBUTTONFUNCINFO ButtonFuncInfo[kButtonSlots];
    TBUTTONFUNCINFO VWheelButtonFuncInfo[2]; // 0 wheel up, 1 wheel down
    TBUTTONFUNCINFO HWheelButtonFuncInfo[2];
    std::uint16_t VWheelType;
    std::uint16_t HWheelType;
    std::uint16_t VWheelSpeed; // scroll lines per notch 1..10; 20 = one page
    std::uint16_t HWheelSpeed;
    std::int8_t HWVWheelValue;
    std::int8_t WheelLedOnOff;
    std::uint16_t DoubleClickSpeed; // ms, 200..900
    std::uint16_t PointerSpeed; // 1..20
    std::uint16_t PointerAcceleration;
    std::uint16_t UseSystemPointerSpeedSetting;
    std::uint16_t ReportRate; // Hz: 125, 250, 500, 1000
    std::int32_t CurrentCPIIndex;
    std::uint16_t CurrentCPIX;
    std::uint16_t CurrentCPIY;
    std::uint16_t MinCPI;
    std::uint16_t MaxCPI;
    std::uint16_t UseDiffentXY[kCPILevelSlots];
    std::uint16_t UseCPIOnScreenFlyShow;
    CPILevelEntry CPIState[kCPILevelSlots];
    CPILevelEntry HWCPIState[kCPILevelSlots];
    std::uint16_t CPILevel;
    std::uint16_t AutoSwitchProfileWhenAppRun;
    TPROFILE_MACRO_PATH ApplicationList[10];
    TLEDCONFIG LEDConfig;
    TSENSORLIFT Sensorlift;
    std::uint8_t Padding82127;
    std::int32_t ButtonCount;
    TPROFILE_MACRO_PATH ProfilePath;
    TPROFILE_MACRO_PATH MacroPath;
    std::int32_t ApplyCPISettingEachProfile;
    std::int32_t ApplyAccelaration;
    std::int32_t ApplyDiffirentXY;
    std::int32_t FireKeySpeed;
    std::int32_t FireKeyCount;
};
static_assert(sizeof(TMOUSECONFIGINFO) == 84204);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelButtonFuncInfo) == 56580);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelButtonFuncInfo) == 64124);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelType) == 71668);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelSpeed) == 71672);
static_assert(offsetof(TMOUSECONFIGINFO, HWVWheelValue) == 71676);
static_assert(offsetof(TMOUSECONFIGINFO, WheelLedOnOff) == 71677);
static_assert(offsetof(TMOUSECONFIGINFO, DoubleClickSpeed) == 71678);
static_assert(offsetof(TMOUSECONFIGINFO, PointerSpeed) == 71680);
static_assert(offsetof(TMOUSECONFIGINFO, PointerAcceleration) == 71682);
static_assert(offsetof(TMOUSECONFIGINFO, UseSystemPointerSpeedSetting) == 71684);
static_assert(offsetof(TMOUSECONFIGINFO, ReportRate) == 71686);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIIndex) == 71688);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIX) == 71692);
static_assert(offsetof(TMOUSECONFIGINFO, MinCPI) == 71696);
static_assert(offsetof(TMOUSECONFIGINFO, UseDiffentXY) == 71700);
static_assert(offsetof(TMOUSECONFIGINFO, UseCPIOnScreenFlyShow) == 71722);
static_assert(offsetof(TMOUSECONFIGINFO, CPIState) == 71724);
static_assert(offsetof(TMOUSECONFIGINFO, HWCPIState) == 71790);
static_assert(offsetof(TMOUSECONFIGINFO, CPILevel) == 71856);
static_assert(offsetof(TMOUSECONFIGINFO, AutoSwitchProfileWhenAppRun) == 71858);
static_assert(offsetof(TMOUSECONFIGINFO, ApplicationList) == 71860);
static_assert(offsetof(TMOUSECONFIGINFO, LEDConfig) == 82120);
static_assert(offsetof(TMOUSECONFIGINFO, Sensorlift) == 82126);
static_assert(offsetof(TMOUSECONFIGINFO, ButtonCount) == 82128);
static_assert(offsetof(TMOUSECONFIGINFO, ProfilePath) == 82132);
static_assert(offsetof(TMOUSECONFIGINFO, MacroPath) == 83158);
static_assert(offsetof(TMOUSECONFIGINFO, ApplyCPISettingEachProfile) == 84184);
static_assert(offsetof(TMOUSECONFIGINFO, ApplyAccelaration) == 84188);
static_assert(offsetof(TMOUSECONFIGINFO, ApplyDiffirentXY) == 84192);
static_assert(offsetof(TMOUSECONFIGINFO, FireKeySpeed) == 84196);
static_assert(offsetof(TMOUSECONFIGINFO, FireKeyCount) == 84200);

/// Program options as they sit inside a profile image; carried unread there.
struct TOtherConfig {
    std::int32_t ShowNumLock;
    std::int32_t ShowCapsLock;
    std::int32_t ShowScrollLock;
    std::int32_t ShowLockStatePop;
    std::uint32_t HelpFile; // an in-memory reference in the original layout; stored bytes are kept as they are
    std::int32_t Nologo;
};
static_assert(sizeof(TOtherConfig) == 24);

/// One game profile.
struct TMOUSEPROFILEINFO {
    TProfileHeader ProfileHeader;
    TFUNCTIONLIST FunctionList;
    TMOUSECONFIGINFO ConfigInfo;
    TFUNCTIONLIST HWheelFunctionList;
    TFUNCTIONLIST VWheelFunctionList;
    TMACROKEYINFOLIST MacroKeyInfoList;
    TMACROINFOLIST_TO_DEVICE MacroInfoToDevice;
    TOtherConfig OtherConfig;
};
static_assert(sizeof(TMOUSEPROFILEINFO) == 109888);
static_assert(offsetof(TMOUSEPROFILEINFO, FunctionList) == 60);
static_assert(offsetof(TMOUSEPROFILEINFO, ConfigInfo) == 860);
static_assert(offsetof(TMOUSEPROFILEINFO, HWheelFunctionList) == 85064);
static_assert(offsetof(TMOUSEPROFILEINFO, VWheelFunctionList) == 85864);
static_assert(offsetof(TMOUSEPROFILEINFO, MacroKeyInfoList) == 86664);
static_assert(offsetof(TMOUSEPROFILEINFO, MacroInfoToDevice) == 105400);
static_assert(offsetof(TMOUSEPROFILEINFO, OtherConfig) == 109864);

inline constexpr int kPathUnits = 1024;
inline constexpr int kFileNameUnits = 21; // 20 characters and the terminator

/// Where one game profile is stored.
struct TPROFILESETTING {
    std::uint16_t nState;
    char16_t FilePath[kPathUnits];
    char16_t KeyPath[kPathUnits];
    char16_t FileName[kFileNameUnits];
    char16_t MacroPath[kPathUnits];
    std::uint8_t StorageType; // 0 registry, 1 file
    std::uint8_t Padding6189;
};
static_assert(sizeof(TPROFILESETTING) == 6190);
static_assert(offsetof(TPROFILESETTING, FilePath) == 2);
static_assert(offsetof(TPROFILESETTING, KeyPath) == 2050);
static_assert(offsetof(TPROFILESETTING, FileName) == 4098);
static_assert(offsetof(TPROFILESETTING, MacroPath) == 4140);
static_assert(offsetof(TPROFILESETTING, StorageType) == 6188);

inline constexpr int kProfileCount = 5;
inline constexpr int kModeCount = 2;

/// The two modes and the storage of the five game profiles.
struct TProfileSettingGroup {
    std::int32_t CurrentProfileGroup; // 0 mode 1, 1 mode 2
    std::int32_t ProfileIndexOfProfileGroup[kModeCount];
    TPROFILESETTING ProfileSettingList[kProfileCount];
    std::uint8_t Padding30962[2];
};
static_assert(sizeof(TProfileSettingGroup) == 30964);
static_assert(offsetof(TProfileSettingGroup, ProfileIndexOfProfileGroup) == 4);
static_assert(offsetof(TProfileSettingGroup, ProfileSettingList) == 12);

/// Current game profile and interface language.
struct TALLGAMESINFO {
    TPROFILESETTING Allgameset[kProfileCount];
    std::uint8_t Padding30950[2];
    std::int32_t CurrentGame;
    std::int32_t CurrentLanguage;
};
static_assert(sizeof(TALLGAMESINFO) == 30960);
static_assert(offsetof(TALLGAMESINFO, CurrentGame) == 30952);
static_assert(offsetof(TALLGAMESINFO, CurrentLanguage) == 30956);

struct XY {
    std::int16_t X;
    std::int16_t Y;
};
static_assert(sizeof(XY) == 4);

/// Scratch record of the sensitivity panel.
struct CPI_UNIT {
    std::uint16_t password;
    std::uint16_t NeedApplyNewCPI;
    std::uint16_t ReportLength;
    std::uint8_t X_LowByte;
    std::uint8_t X_HighByte;
    std::uint8_t Y_LowByte;
    std::uint8_t Y_HighByte;
    std::int16_t X_Counter;
    std::int16_t Y_Counter;
    std::uint16_t CpiCount;
    std::uint16_t CurrentCpi;
    std::uint8_t HWCpi[90];
    std::uint8_t STCpi[90];
    XY XYCpiRate[10];
};
static_assert(sizeof(CPI_UNIT) == 238);

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<TMOUSEPROFILEINFO> && std::is_standard_layout_v<TMOUSEPROFILEINFO>);
static_assert(std::is_trivially_copyable_v<TProfileSettingGroup> && std::is_trivially_copyable_v<TALLGAMESINFO>);

/// FuncKind values.
enum FuncKind : std::uint8_t {
    kFuncKindDPI = 0,
    kFuncKindMouse = 1,
    kFuncKindCombo = 3,
    kFuncKindMacro = 4,
    kFuncKindFire = 5,
    kFuncKindSingleKey = 8,
    kFuncKindConsumer = 10,
    kFuncKindRaw = 11,
};

/// DeviceCode values: what a button entry makes the mouse do.
enum ButtonDeviceCode : std::uint8_t {
    kCodeLeftClick = 1,
    kCodeRightClick = 2,
    kCodeMiddleClick = 3,
    kCodeBackward = 4,
    kCodeForward = 5,
    kCodeDPISwitch = 8,
    kCodeDPIUp = 9,
    kCodeDPIDown = 10,
    kCodeWheelUpSlot = 11, // parameter: WheelParam
    kCodeWheelDownSlot = 12, // parameter: WheelParam
    kCodeEighthEntry = 13, // what the eighth device entry always carries
    kCodeConsumer = 14, // MediaKey; "Disable" is a consumer key of usage 0
    kCodeCombo = 15, // ComboKey
    kCodeSingleKey = 16, // SingleKey
    kCodeMacro = 17, // MacroKeyInfo
    kCodeFire = 18, // FireKey
    kCodeRaw = 19, // RawCode
};

/// Items of the button menu. The top-level items have IDs 1..16; an item of a submenu has the ID
/// parent × 100 + position, the first position being 1.
enum ButtonMenuID : std::uint32_t {
    kMenuClick = 1,
    kMenuRightClick = 2,
    kMenuMiddleButton = 3,
    kMenuForward = 4,
    kMenuBackward = 5,
    kMenuSingleKey = 6,
    kMenuComboKey = 7,
    kMenuBasic = 8,
    kMenuAdvanced = 9,
    kMenuMedia = 10,
    kMenuMacro = 11,
    kMenuDPISwitch = 12,
    kMenuDPIUp = 13,
    kMenuDPIDown = 14,
    kMenuFireKey = 15,
    kMenuDisable = 16,
};

[[nodiscard]] constexpr std::uint32_t SubmenuID(std::uint32_t parent, std::uint32_t position)
{
    return parent * 100 + position;
}
/// The top-level item a submenu item belongs to (0 for a top-level item).
constexpr std::int64_t ParentMenuOf(std::int64_t id)
{
    return id / 100;
}
/// The position of a submenu item in its submenu, from 1.
constexpr std::int64_t SubmenuPosition(std::int64_t id)
{
    return id % 100;
}

/// One row of the button function menu: the menu item and what it stores.
struct FunctionMenuRow {
    std::uint32_t MenuID;
    std::uint32_t DeviceCode;
    std::uint8_t FuncKind;
};

inline constexpr int kFunctionMenuRows = 34;
/// The wheel slots' own menu: "Wheel Up" 1, "Wheel Down" 2, "Volume +" 3, "Volume -" 4,
/// "Backward" 5, "Forward" 6; an item's row is its ID - 1.
inline constexpr int kWheelMenuItems = 6;
/// Items of the "Basic", "Advanced" and "Media" submenus.
inline constexpr int kBasicShortcutItems = 8;
inline constexpr int kAdvancedShortcutItems = 6;
inline constexpr int kMediaKeyItems = 7;
/// Rows of FunctionMenuTable that the program picks by themselves.
inline constexpr int kClickMenuRow = 0;
inline constexpr int kRightClickMenuRow = 1;
inline constexpr int kSingleKeyMenuRow = 5;
inline constexpr int kComboKeyMenuRow = 6;
inline constexpr int kMacroMenuRow = 28;
inline constexpr int kFireKeyMenuRow = 32;
inline constexpr int kDisableMenuRow = 33;
/// A macro's item in the "Macro" submenu: position 2 + macro index (position 1 opens the editor).
inline constexpr std::uint32_t kMacroManagerMenuID = SubmenuID(kMenuMacro, 1);
inline constexpr std::uint32_t kMacroMenuIDBase = SubmenuID(kMenuMacro, 2); // + macro index

/// Menu choices of a button slot, by row.
inline constexpr std::array<FunctionMenuRow, kFunctionMenuRows> FunctionMenuTable = { {
    { kMenuClick, kCodeLeftClick, kFuncKindMouse },
    { kMenuRightClick, kCodeRightClick, kFuncKindMouse },
    { kMenuMiddleButton, kCodeMiddleClick, kFuncKindMouse },
    { kMenuForward, kCodeForward, kFuncKindMouse },
    { kMenuBackward, kCodeBackward, kFuncKindMouse },
    { kMenuSingleKey, kCodeSingleKey, kFuncKindSingleKey },
    { kMenuComboKey, kCodeCombo, kFuncKindCombo },
    // "Basic" shortcuts
    { 801, kCodeCombo, kFuncKindCombo },
    { 802, kCodeCombo, kFuncKindCombo },
    { 803, kCodeCombo, kFuncKindCombo },
    { 804, kCodeCombo, kFuncKindCombo },
    { 805, kCodeCombo, kFuncKindCombo },
    { 806, kCodeCombo, kFuncKindCombo },
    { 807, kCodeCombo, kFuncKindCombo },
    { 808, kCodeCombo, kFuncKindCombo },
    // "Advanced" shortcuts
    { 901, kCodeCombo, kFuncKindCombo },
    { 902, kCodeCombo, kFuncKindCombo },
    { 903, kCodeCombo, kFuncKindCombo },
    { 904, kCodeCombo, kFuncKindCombo },
    { 905, kCodeCombo, kFuncKindCombo },
    { 906, kCodeCombo, kFuncKindCombo },
    // "Media" keys
    { 1001, kCodeConsumer, kFuncKindConsumer },
    { 1002, kCodeConsumer, kFuncKindConsumer },
    { 1003, kCodeConsumer, kFuncKindConsumer },
    { 1004, kCodeConsumer, kFuncKindConsumer },
    { 1005, kCodeConsumer, kFuncKindConsumer },
    { 1006, kCodeConsumer, kFuncKindConsumer },
    { 1007, kCodeConsumer, kFuncKindConsumer },
    { kMenuMacro, kCodeMacro, kFuncKindMacro },
    { kMenuDPISwitch, kCodeDPISwitch, kFuncKindDPI },
    { kMenuDPIUp, kCodeDPIUp, kFuncKindDPI },
    { kMenuDPIDown, kCodeDPIDown, kFuncKindDPI },
    { kMenuFireKey, kCodeFire, kFuncKindFire },
    { kMenuDisable, kCodeConsumer, kFuncKindConsumer },
} };

/// The menu ID of a row, -1 for a row outside the table.
constexpr std::int64_t FunctionMenuIDOfRow(int row)
{
    if (row < 0 || row >= kFunctionMenuRows)
        return -1;
    return FunctionMenuTable[static_cast<std::size_t>(row)].MenuID;
}

/// The first row with this menu ID; an ID that no row has is returned unchanged.
constexpr std::int64_t FunctionMenuRowOfID(std::int64_t menuID)
{
    for (int row = 0; row < kFunctionMenuRows; ++row)
        if (FunctionMenuTable[static_cast<std::size_t>(row)].MenuID == menuID)
            return row;
    return menuID;
}

static_assert(FunctionMenuRowOfID(kMenuMacro) == kMacroMenuRow && FunctionMenuRowOfID(kMenuDisable) == kDisableMenuRow
    && FunctionMenuRowOfID(kMenuSingleKey) == kSingleKeyMenuRow
    && FunctionMenuRowOfID(kMenuComboKey) == kComboKeyMenuRow && FunctionMenuRowOfID(kMenuFireKey) == kFireKeyMenuRow
    && FunctionMenuRowOfID(99) == 99);

} // namespace bv
