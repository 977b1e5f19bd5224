#include "profile_json.h"

#include "settings/record_text.h"

#include "util/utf16.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

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

namespace {

/// A field that cannot be taken; `path` is its JSON pointer.
struct FieldError {
    std::string path;
    std::string why;
};

std::string pointer(const std::string& path, const std::string& key)
{
    std::string escaped;
    for (char c : key) {
        if (c == '~')
            escaped += "~0";
        else if (c == '/')
            escaped += "~1";
        else
            escaped += c;
    }
    return path + "/" + escaped;
}

const char* typeName(const Json& j)
{
    return j.is_null()   ? "null"
        : j.is_boolean() ? "true or false"
        : j.is_number()  ? "a number"
        : j.is_string()  ? "text"
        : j.is_array()   ? "a list"
                         : "an object";
}

/// The members of an object that must hold exactly `keys` (and the optional ones, where present).
class Fields {
public:
    Fields(const Json& j, std::string path, std::initializer_list<const char*> keys,
        std::initializer_list<const char*> optional = {})
        : FJson(j)
        , FPath(std::move(path))
    {
        if (!j.is_object())
            throw FieldError { FPath.empty() ? "/" : FPath, std::string("must be an object, not ") + typeName(j) };
        std::set<std::string> known;
        for (const char* k : keys) {
            known.insert(k);
            if (!j.contains(k))
                throw FieldError { pointer(FPath, k), "is missing" };
        }
        for (const char* k : optional)
            known.insert(k);
        for (const auto& [key, value] : j.items())
            if (!known.contains(key))
                throw FieldError { pointer(FPath, key), "is not a field of this record" };
    }

    const Json& at(const char* key) const { return FJson.at(key); }
    bool has(const char* key) const { return FJson.contains(key); }
    std::string path(const char* key) const { return pointer(FPath, key); }

    template <typename T> T integer(const char* key) const { return readInteger<T>(at(key), path(key)); }

    template <typename T> static T readInteger(const Json& j, const std::string& path)
    {
        using Limits = std::numeric_limits<T>;
        const std::string range = std::to_string(static_cast<std::int64_t>(Limits::min())) + " and "
            + std::to_string(static_cast<std::uint64_t>(Limits::max()));
        if (j.is_number_unsigned()) {
            const auto v = j.get<std::uint64_t>();
            if (v > static_cast<std::uint64_t>(Limits::max()))
                throw FieldError { path, "is out of range: " + std::to_string(v) + " is not between " + range };
            return static_cast<T>(v);
        }
        if (j.is_number_integer()) {
            const auto v = j.get<std::int64_t>();
            if (v < static_cast<std::int64_t>(Limits::min())
                || (v > 0 && static_cast<std::uint64_t>(v) > static_cast<std::uint64_t>(Limits::max())))
                throw FieldError { path, "is out of range: " + std::to_string(v) + " is not between " + range };
            return static_cast<T>(v);
        }
        throw FieldError { path, std::string("must be a whole number between ") + range + ", not " + typeName(j) };
    }

    const Json& list(const char* key, std::size_t size) const { return readList(at(key), path(key), size); }

    static const Json& readList(const Json& j, const std::string& path, std::size_t size)
    {
        if (!j.is_array())
            throw FieldError { path, std::string("must be a list, not ") + typeName(j) };
        if (j.size() != size)
            throw FieldError { path,
                "must hold " + std::to_string(size) + " entries, not " + std::to_string(j.size()) };
        return j;
    }

    /// Text for a UTF-16 field; a text that fills the field needs no terminator, as stored.
    template <std::size_t N> void text(const char* key, char16_t (&field)[N]) const
    {
        readText(at(key), path(key), field);
    }

    template <std::size_t N> static void readText(const Json& j, const std::string& path, char16_t (&field)[N])
    {
        if (!j.is_string())
            throw FieldError { path, std::string("must be text, not ") + typeName(j) };
        const std::u16string units = util::utf8ToUtf16(j.get_ref<const std::string&>());
        if (units.size() > N)
            throw FieldError { path,
                "is too long: " + std::to_string(units.size()) + " UTF-16 units, the field holds "
                    + std::to_string(N) };
        if (units.find(u'\0') != std::u16string::npos)
            throw FieldError { path, "holds a zero character, which ends a stored text" };
        std::fill(std::begin(field), std::end(field), u'\0');
        units.copy(field, units.size());
    }

private:
    const Json& FJson;
    std::string FPath;
};

// Reads a packed field's member by value, so no reference to an unaligned member is ever formed.
#define BV_READ(fields, record, member)                                                                                \
    (record).member = (fields).integer<std::remove_cvref_t<decltype((record).member)>>(#member)

void macroFromJson(const Json& j, const std::string& path, TMACROKEYINFO& m)
{
    const Fields f(j, path,
        { "szMacroName", "MacroListCount", "nAutoAddDelay", "nLoopCount", "nMacroIndex", "MacroUse", "Version",
            "HaveErrors", "ErrorCount", "MacroList" });
    f.text("szMacroName", m.szMacroName);
    BV_READ(f, m, MacroListCount);
    BV_READ(f, m, nAutoAddDelay);
    BV_READ(f, m, nLoopCount);
    BV_READ(f, m, nMacroIndex);
    BV_READ(f, m, MacroUse);
    BV_READ(f, m, Version);
    BV_READ(f, m, HaveErrors);
    BV_READ(f, m, ErrorCount);
    // The actions shown are the count clamped to the array, so the list must hold as many.
    const std::int32_t count = m.MacroListCount;
    const int shown = std::clamp(count, 0, kMacroActionsMax);
    const Json& actions = f.list("MacroList", static_cast<std::size_t>(shown));
    for (int i = 0; i < shown; ++i) {
        const Fields a(actions[static_cast<std::size_t>(i)], f.path("MacroList") + "/" + std::to_string(i),
            { "nKeyType", "nKeyState", "VALUE1", "VALUE2" });
        TMACROKEY& k = m.MacroList[i];
        BV_READ(a, k, nKeyType);
        BV_READ(a, k, nKeyState);
        BV_READ(a, k, VALUE1);
        BV_READ(a, k, VALUE2);
    }
}

void slotFromJson(const Json& j, const std::string& path, TBUTTONFUNCINFO& s)
{
    const Fields f(j, path,
        { "nReserved", "SingleKey", "ComboKey", "MediaKey", "MacroKeyInfo", "FireKey", "WheelParam", "RawCode",
            "nButtonIndex", "nMenuRow", "FuncKind", "DeviceCode", "MenuID" });
    BV_READ(f, s, nReserved);
    const Fields single(f.at("SingleKey"), f.path("SingleKey"), { "nKeyValue1", "nKey1Extended" });
    BV_READ(single, s.SingleKey, nKeyValue1);
    BV_READ(single, s.SingleKey, nKey1Extended);
    const Fields combo(f.at("ComboKey"), f.path("ComboKey"),
        { "nKeyValue1", "nKey1Extended", "nKeyValue2", "nKey2Extended", "nModifier" });
    BV_READ(combo, s.ComboKey, nKeyValue1);
    BV_READ(combo, s.ComboKey, nKey1Extended);
    BV_READ(combo, s.ComboKey, nKeyValue2);
    BV_READ(combo, s.ComboKey, nKey2Extended);
    BV_READ(combo, s.ComboKey, nModifier);
    const Fields media(f.at("MediaKey"), f.path("MediaKey"), { "nKeyValue1", "nKeyValue2", "nModifier" });
    BV_READ(media, s.MediaKey, nKeyValue1);
    BV_READ(media, s.MediaKey, nKeyValue2);
    BV_READ(media, s.MediaKey, nModifier);
    macroFromJson(f.at("MacroKeyInfo"), f.path("MacroKeyInfo"), s.MacroKeyInfo);
    const Fields fire(f.at("FireKey"), f.path("FireKey"), { "nLoopCount", "DelyValue" });
    BV_READ(fire, s.FireKey, nLoopCount);
    BV_READ(fire, s.FireKey, DelyValue);
    BV_READ(f, s, WheelParam);
    const Json& raw = f.list("RawCode", 3);
    for (std::size_t i = 0; i < 3; ++i)
        s.RawCode[i] = Fields::readInteger<std::uint8_t>(raw[i], f.path("RawCode") + "/" + std::to_string(i));
    BV_READ(f, s, nButtonIndex);
    BV_READ(f, s, nMenuRow);
    BV_READ(f, s, FuncKind);
    BV_READ(f, s, DeviceCode);
    BV_READ(f, s, MenuID);
}

template <std::size_t N> void slotsFromJson(const Fields& f, const char* key, TBUTTONFUNCINFO (&slots)[N])
{
    const Json& list = f.list(key, N);
    for (std::size_t i = 0; i < N; ++i)
        slotFromJson(list[i], f.path(key) + "/" + std::to_string(i), slots[i]);
}

template <std::size_t N> void cpiLevelsFromJson(const Fields& f, const char* key, CPILevelEntry (&levels)[N])
{
    const Json& list = f.list(key, N);
    for (std::size_t i = 0; i < N; ++i) {
        const Fields e(list[i], f.path(key) + "/" + std::to_string(i), { "X", "Y", "State" });
        BV_READ(e, levels[i], X);
        BV_READ(e, levels[i], Y);
        BV_READ(e, levels[i], State);
    }
}

void configFromJson(const Json& j, const std::string& path, TMOUSECONFIGINFO& c)
{
    const Fields f(j, path,
        { "ButtonFuncInfo", "VWheelButtonFuncInfo", "HWheelButtonFuncInfo", "VWheelType", "HWheelType", "VWheelSpeed",
            "HWheelSpeed", "HWVWheelValue", "WheelLedOnOff", "DoubleClickSpeed", "PointerSpeed", "PointerAcceleration",
            "UseSystemPointerSpeedSetting", "ReportRate", "CurrentCPIIndex", "CurrentCPIX", "CurrentCPIY", "MinCPI",
            "MaxCPI", "UseDiffentXY", "UseCPIOnScreenFlyShow", "CPIState", "HWCPIState", "CPILevel",
            "AutoSwitchProfileWhenAppRun", "ApplicationList", "LEDConfig", "Sensorlift", "ButtonCount", "ProfilePath",
            "MacroPath", "ApplyCPISettingEachProfile", "ApplyAccelaration", "ApplyDiffirentXY", "FireKeySpeed",
            "FireKeyCount" });
    slotsFromJson(f, "ButtonFuncInfo", c.ButtonFuncInfo);
    slotsFromJson(f, "VWheelButtonFuncInfo", c.VWheelButtonFuncInfo);
    slotsFromJson(f, "HWheelButtonFuncInfo", c.HWheelButtonFuncInfo);
    BV_READ(f, c, VWheelType);
    BV_READ(f, c, HWheelType);
    BV_READ(f, c, VWheelSpeed);
    BV_READ(f, c, HWheelSpeed);
    BV_READ(f, c, HWVWheelValue);
    BV_READ(f, c, WheelLedOnOff);
    BV_READ(f, c, DoubleClickSpeed);
    BV_READ(f, c, PointerSpeed);
    BV_READ(f, c, PointerAcceleration);
    BV_READ(f, c, UseSystemPointerSpeedSetting);
    BV_READ(f, c, ReportRate);
    BV_READ(f, c, CurrentCPIIndex);
    BV_READ(f, c, CurrentCPIX);
    BV_READ(f, c, CurrentCPIY);
    BV_READ(f, c, MinCPI);
    BV_READ(f, c, MaxCPI);
    const Json& differentXY = f.list("UseDiffentXY", kCPILevelSlots);
    for (int i = 0; i < kCPILevelSlots; ++i)
        c.UseDiffentXY[i] = Fields::readInteger<std::uint16_t>(
            differentXY[static_cast<std::size_t>(i)], f.path("UseDiffentXY") + "/" + std::to_string(i));
    BV_READ(f, c, UseCPIOnScreenFlyShow);
    cpiLevelsFromJson(f, "CPIState", c.CPIState);
    cpiLevelsFromJson(f, "HWCPIState", c.HWCPIState);
    BV_READ(f, c, CPILevel);
    BV_READ(f, c, AutoSwitchProfileWhenAppRun);
    const Json& apps = f.list("ApplicationList", std::size(c.ApplicationList));
    for (std::size_t i = 0; i < std::size(c.ApplicationList); ++i)
        Fields::readText(apps[i], f.path("ApplicationList") + "/" + std::to_string(i), c.ApplicationList[i].FilePath);
    const Fields led(
        f.at("LEDConfig"), f.path("LEDConfig"), { "R", "G", "B", "BRIGHT_LEVEL", "BREATH_SPEED", "BREATH_SECOND" });
    BV_READ(led, c.LEDConfig, R);
    BV_READ(led, c.LEDConfig, G);
    BV_READ(led, c.LEDConfig, B);
    BV_READ(led, c.LEDConfig, BRIGHT_LEVEL);
    BV_READ(led, c.LEDConfig, BREATH_SPEED);
    BV_READ(led, c.LEDConfig, BREATH_SECOND);
    c.Sensorlift.SensorLift = f.integer<std::uint8_t>("Sensorlift");
    BV_READ(f, c, ButtonCount);
    f.text("ProfilePath", c.ProfilePath.FilePath);
    f.text("MacroPath", c.MacroPath.FilePath);
    BV_READ(f, c, ApplyCPISettingEachProfile);
    BV_READ(f, c, ApplyAccelaration);
    BV_READ(f, c, ApplyDiffirentXY);
    BV_READ(f, c, FireKeySpeed);
    BV_READ(f, c, FireKeyCount);
}

#undef BV_READ

void changes(const Json& before, const Json& after, const std::string& path, Json& out)
{
    if (before.is_object() && after.is_object()) {
        for (const auto& [key, value] : before.items()) {
            if (after.contains(key))
                changes(value, after.at(key), pointer(path, key), out);
            else
                out[pointer(path, key)] = { { "from", value }, { "to", nullptr } };
        }
        for (const auto& [key, value] : after.items())
            if (!before.contains(key))
                out[pointer(path, key)] = { { "from", nullptr }, { "to", value } };
        return;
    }
    if (before.is_array() && after.is_array() && before.size() == after.size()) {
        for (std::size_t i = 0; i < before.size(); ++i)
            changes(before[i], after[i], path + "/" + std::to_string(i), out);
        return;
    }
    if (before != after)
        out[path.empty() ? "/" : path] = { { "from", before }, { "to", after } };
}

} // namespace

bool ProfileFromJson(const Json& j, TMOUSEPROFILEINFO& out, std::string& error)
{
    try {
        auto profile = std::make_unique<TMOUSEPROFILEINFO>();
        std::memset(static_cast<void*>(profile.get()), 0, sizeof(TMOUSEPROFILEINFO));
        const Fields top(j, "", { "schema", "ProfileHeader", "ConfigInfo", "MacroKeyInfoList" });
        if (top.at("schema") != 1)
            throw FieldError { "/schema", "must be 1, the schema this bvctl reads" };
        const Fields header(top.at("ProfileHeader"), top.path("ProfileHeader"), { "FFileVersion" });
        if (header.integer<std::int32_t>("FFileVersion") != kProfileVersion)
            throw FieldError { header.path("FFileVersion"), "must be " + std::to_string(kProfileVersion) };
        profile->ProfileHeader.FFileVersion = kProfileVersion;
        configFromJson(top.at("ConfigInfo"), top.path("ConfigInfo"), profile->ConfigInfo);

        const Fields list(top.at("MacroKeyInfoList"), top.path("MacroKeyInfoList"), { "nMacroInfoCount", "MacroInfos" },
            { "nMacroInfoCountClamped" });
        const auto count = list.integer<std::uint16_t>("nMacroInfoCount");
        // `profile show` marks a count beyond the array; it must agree with the count.
        const bool clamped = count > kMacroListSlots;
        if (list.has("nMacroInfoCountClamped") != clamped || (clamped && list.at("nMacroInfoCountClamped") != true))
            throw FieldError { list.path("nMacroInfoCountClamped"),
                clamped ? "must be true, since nMacroInfoCount is above 21"
                        : "must be left out while nMacroInfoCount is 21 or less" };
        profile->MacroKeyInfoList.nMacroInfoCount = count;
        const std::size_t shown = std::min<std::size_t>(count, kMacroListSlots);
        const Json& macros = list.list("MacroInfos", shown);
        for (std::size_t i = 0; i < shown; ++i)
            macroFromJson(
                macros[i], list.path("MacroInfos") + "/" + std::to_string(i), profile->MacroKeyInfoList.MacroInfos[i]);
        std::memcpy(static_cast<void*>(&out), profile.get(), sizeof(TMOUSEPROFILEINFO));
        return true;
    } catch (const FieldError& e) {
        error = e.path + " " + e.why;
    } catch (const std::exception& e) {
        error = std::string("the JSON cannot be read: ") + e.what();
    }
    return false;
}

Json JsonChanges(const Json& before, const Json& after)
{
    Json out = Json::object();
    changes(before, after, "", out);
    return out;
}

} // namespace bv::cli
