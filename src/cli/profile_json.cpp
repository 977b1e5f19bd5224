#include "profile_json.h"

#include "settings/record_text.h"

#include <algorithm>

namespace bv::cli {

using Json = nlohmann::ordered_json;

namespace {

// Takes a packed field by value, so no reference to an unaligned member is ever formed.
template <typename T> T val(T v)
{
    return v;
}

Json slotToJson(const TBUTTONFUNCINFO& s)
{
    const auto& single = s.SingleKey;
    const auto& combo = s.ComboKey;
    const auto& media = s.MediaKey;
    return Json {
        { "nReserved", val(s.nReserved) },
        { "SingleKey", { { "nKeyValue1", val(single.nKeyValue1) }, { "nKey1Extended", val(single.nKey1Extended) } } },
        { "ComboKey",
            { { "nKeyValue1", val(combo.nKeyValue1) }, { "nKey1Extended", val(combo.nKey1Extended) },
                { "nKeyValue2", val(combo.nKeyValue2) }, { "nKey2Extended", val(combo.nKey2Extended) },
                { "nModifier", val(combo.nModifier) } } },
        { "MediaKey",
            { { "nKeyValue1", val(media.nKeyValue1) }, { "nKeyValue2", val(media.nKeyValue2) },
                { "nModifier", val(media.nModifier) } } },
        { "MacroKeyInfo", MacroToJson(s.MacroKeyInfo) },
        { "FireKey", { { "nLoopCount", val(s.FireKey.nLoopCount) }, { "DelyValue", val(s.FireKey.DelyValue) } } },
        { "WheelParam", val(s.WheelParam) },
        { "RawCode", { val(s.RawCode[0]), val(s.RawCode[1]), val(s.RawCode[2]) } },
        { "nButtonIndex", val(s.nButtonIndex) },
        { "nMenuRow", val(s.nMenuRow) },
        { "FuncKind", val(s.FuncKind) },
        { "DeviceCode", val(s.DeviceCode) },
        { "MenuID", val(s.MenuID) },
    };
}

template <std::size_t N> Json slotsToJson(const TBUTTONFUNCINFO (&slots)[N])
{
    Json out = Json::array();
    for (const auto& s : slots)
        out.push_back(slotToJson(s));
    return out;
}

template <std::size_t N> Json cpiLevelsToJson(const CPILevelEntry (&levels)[N])
{
    Json out = Json::array();
    for (const auto& e : levels)
        out.push_back({ { "X", val(e.X) }, { "Y", val(e.Y) }, { "State", val(e.State) } });
    return out;
}

Json configToJson(const TMOUSECONFIGINFO& c)
{
    Json j;
    j["ButtonFuncInfo"] = slotsToJson(c.ButtonFuncInfo);
    j["VWheelButtonFuncInfo"] = slotsToJson(c.VWheelButtonFuncInfo);
    j["HWheelButtonFuncInfo"] = slotsToJson(c.HWheelButtonFuncInfo);
    j["VWheelType"] = val(c.VWheelType);
    j["HWheelType"] = val(c.HWheelType);
    j["VWheelSpeed"] = val(c.VWheelSpeed);
    j["HWheelSpeed"] = val(c.HWheelSpeed);
    j["HWVWheelValue"] = val(c.HWVWheelValue);
    j["WheelLedOnOff"] = val(c.WheelLedOnOff);
    j["DoubleClickSpeed"] = val(c.DoubleClickSpeed);
    j["PointerSpeed"] = val(c.PointerSpeed);
    j["PointerAcceleration"] = val(c.PointerAcceleration);
    j["UseSystemPointerSpeedSetting"] = val(c.UseSystemPointerSpeedSetting);
    j["ReportRate"] = val(c.ReportRate);
    j["CurrentCPIIndex"] = val(c.CurrentCPIIndex);
    j["CurrentCPIX"] = val(c.CurrentCPIX);
    j["CurrentCPIY"] = val(c.CurrentCPIY);
    j["MinCPI"] = val(c.MinCPI);
    j["MaxCPI"] = val(c.MaxCPI);
    Json differentXY = Json::array();
    for (int i = 0; i < kCPILevelSlots; ++i)
        differentXY.push_back(val(c.UseDiffentXY[i]));
    j["UseDiffentXY"] = std::move(differentXY);
    j["UseCPIOnScreenFlyShow"] = val(c.UseCPIOnScreenFlyShow);
    j["CPIState"] = cpiLevelsToJson(c.CPIState);
    j["HWCPIState"] = cpiLevelsToJson(c.HWCPIState);
    j["CPILevel"] = val(c.CPILevel);
    j["AutoSwitchProfileWhenAppRun"] = val(c.AutoSwitchProfileWhenAppRun);
    Json apps = Json::array();
    for (const auto& app : c.ApplicationList)
        apps.push_back(RecordText(app.FilePath));
    j["ApplicationList"] = std::move(apps);
    const auto& led = c.LEDConfig;
    j["LEDConfig"]
        = { { "R", val(led.R) }, { "G", val(led.G) }, { "B", val(led.B) }, { "BRIGHT_LEVEL", val(led.BRIGHT_LEVEL) },
              { "BREATH_SPEED", val(led.BREATH_SPEED) }, { "BREATH_SECOND", val(led.BREATH_SECOND) } };
    j["Sensorlift"] = val(c.Sensorlift.SensorLift);
    j["ButtonCount"] = val(c.ButtonCount);
    j["ProfilePath"] = RecordText(c.ProfilePath.FilePath);
    j["MacroPath"] = RecordText(c.MacroPath.FilePath);
    j["ApplyCPISettingEachProfile"] = val(c.ApplyCPISettingEachProfile);
    j["ApplyAccelaration"] = val(c.ApplyAccelaration);
    j["ApplyDiffirentXY"] = val(c.ApplyDiffirentXY);
    j["FireKeySpeed"] = val(c.FireKeySpeed);
    j["FireKeyCount"] = val(c.FireKeyCount);
    return j;
}

} // namespace

Json MacroToJson(const TMACROKEYINFO& macro)
{
    Json j;
    j["szMacroName"] = RecordText(macro.szMacroName);
    j["MacroListCount"] = val(macro.MacroListCount);
    j["nAutoAddDelay"] = val(macro.nAutoAddDelay);
    j["nLoopCount"] = val(macro.nLoopCount);
    j["nMacroIndex"] = val(macro.nMacroIndex);
    j["MacroUse"] = val(macro.MacroUse);
    j["Version"] = val(macro.Version);
    j["HaveErrors"] = val(macro.HaveErrors);
    j["ErrorCount"] = val(macro.ErrorCount);
    // The stored count comes from outside; only the actions that fit the array are shown.
    const int shown = std::clamp(val(macro.MacroListCount), 0, kMacroActionsMax);
    Json actions = Json::array();
    for (int i = 0; i < shown; ++i) {
        const auto& a = macro.MacroList[i];
        actions.push_back({ { "nKeyType", val(a.nKeyType) }, { "nKeyState", val(a.nKeyState) },
            { "VALUE1", val(a.VALUE1) }, { "VALUE2", val(a.VALUE2) } });
    }
    j["MacroList"] = std::move(actions);
    return j;
}

Json ProfileToJson(const TMOUSEPROFILEINFO& profile)
{
    Json j;
    j["ProfileHeader"] = { { "FFileVersion", val(profile.ProfileHeader.FFileVersion) } };
    j["ConfigInfo"] = configToJson(profile.ConfigInfo);

    const auto& list = profile.MacroKeyInfoList;
    const int count = val(list.nMacroInfoCount);
    const int shown = std::min(count, kMacroListSlots);
    Json macros;
    macros["nMacroInfoCount"] = count;
    if (count > kMacroListSlots)
        macros["nMacroInfoCountClamped"] = true;
    Json infos = Json::array();
    for (int i = 0; i < shown; ++i)
        infos.push_back(MacroToJson(list.MacroInfos[i]));
    macros["MacroInfos"] = std::move(infos);
    j["MacroKeyInfoList"] = std::move(macros);
    return j;
}

} // namespace bv::cli
