#include "profile_edit.h"

#include "bvctl.h"
#include "keys/uiStdCmd.h"
#include "macros/macro_name.h"
#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "profile_file.h"
#include "profile_json.h"
#include "settings/cpi_levels.h"
#include "settings/profile_options.h"
#include "ui/function_menus.h"
#include "ui/macro_list_edits.h"
#include "util/ascii.h"
#include "util/utf8_path.h"

#include <charconv>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

namespace bv::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

/// A decimal or 0x-prefixed whole number, or nullopt.
std::optional<long> number(std::string_view text)
{
    const std::string t = trim(text);
    int base = 10;
    std::string_view digits = t;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    long v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return v;
}

long numberIn(const std::string& text, const std::string& option, long min, long max)
{
    const auto v = number(text);
    if (!v || *v < min || *v > max)
        throw BadInput(
            option + ": \"" + text + "\" is not a number from " + std::to_string(min) + " to " + std::to_string(max));
    return *v;
}

/// "NAME=VALUE" split at the first '='.
std::pair<std::string, std::string> assignment(const std::string& text, const std::string& option)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        throw BadInput(
            option + " \"" + text + "\" needs the form " + (option == "--wheel" ? "up|down" : "N") + "=VALUE");
    return { trim(std::string_view(text).substr(0, eq)), trim(std::string_view(text).substr(eq + 1)) };
}

bool onOff(const std::string& text, const std::string& option)
{
    if (util::SameIgnoringAsciiCase(text, "on"))
        return true;
    if (util::SameIgnoringAsciiCase(text, "off"))
        return false;
    throw BadInput(option + ": \"" + text + "\" is neither on nor off");
}

void check(bool done, const util::UserText& why, const std::string& option)
{
    if (!done)
        throw BadInput(option + ": " + why.English());
}

/// A key by display name, or by "VK,EXT" as `bvctl keys` lists them.
TableKey parseKey(const std::string& text)
{
    if (const auto comma = text.find(','); comma != std::string::npos) {
        const auto vk = number(std::string_view(text).substr(0, comma));
        const auto ext = number(std::string_view(text).substr(comma + 1));
        if (vk && ext && *vk >= 0 && *vk < kKeyTableRows && (*ext == 0 || *ext == 1))
            return { int(*vk), int(*ext) };
    }
    const std::vector<TableKey> keys = FindKeysByName(trim(text));
    if (keys.empty())
        throw BadInput("\"" + text + "\" is not the name of a key (bvctl keys lists them)");
    // Rows that send the same usage are one key to the mouse; otherwise the name is ambiguous.
    for (const TableKey& k : keys)
        if (GetKeyHidCode(k.VirtualKey, k.Extended) != GetKeyHidCode(keys[0].VirtualKey, keys[0].Extended)) {
            std::string choices;
            for (const TableKey& c : keys)
                choices += (choices.empty() ? "" : " or ") + std::string("key:") + std::to_string(c.VirtualKey) + ","
                    + std::to_string(c.Extended) + " (HID usage "
                    + std::to_string(GetKeyHidCode(c.VirtualKey, c.Extended)) + ")";
            throw BadInput("\"" + text + "\" names " + std::to_string(keys.size()) + " keys: write " + choices);
        }
    return keys[0];
}

TCOMBOKEYINFO parseCombo(const std::string& text)
{
    static const std::pair<const char*, unsigned> kModifiers[]
        = { { "Ctrl", kModifierCtrl }, { "Alt", kModifierAlt }, { "Shift", kModifierShift }, { "Win", kModifierWin } };
    TCOMBOKEYINFO combo {};
    std::string rest = text;
    // Leading modifier names; at least one part stays for the keys.
    for (;;) {
        const auto plus = rest.find('+');
        if (plus == std::string::npos)
            break;
        const std::string part = trim(std::string_view(rest).substr(0, plus));
        unsigned bit = 0;
        for (const auto& [name, b] : kModifiers)
            if (util::SameIgnoringAsciiCase(part, name))
                bit = b;
        if (bit == 0)
            break;
        combo.nModifier = static_cast<std::uint16_t>(combo.nModifier | bit);
        rest = rest.substr(plus + 1);
    }
    // One key, or two joined by a '+' (a key name may hold a '+' itself, as "+=" does).
    auto keyOf = [](const std::string& name) -> std::optional<TableKey> {
        try {
            return parseKey(name);
        } catch (const BadInput&) {
            return std::nullopt;
        }
    };
    std::optional<TableKey> first = keyOf(rest), second;
    for (std::size_t plus = rest.find('+'); !first && plus != std::string::npos; plus = rest.find('+', plus + 1)) {
        first = keyOf(rest.substr(0, plus));
        second = first ? keyOf(rest.substr(plus + 1)) : std::nullopt;
        if (!second)
            first.reset();
    }
    if (!first) {
        (void)parseKey(rest); // says why the name is no key
        throw BadInput("\"" + text + "\" is not a combination of Ctrl, Alt, Shift, Win and one or two keys");
    }
    combo.nKeyValue1 = static_cast<std::uint16_t>(first->VirtualKey);
    combo.nKey1Extended = static_cast<std::uint16_t>(first->Extended);
    if (second) {
        combo.nKeyValue2 = static_cast<std::uint16_t>(second->VirtualKey);
        combo.nKey2Extended = static_cast<std::uint16_t>(second->Extended);
    }
    return combo;
}

std::string captionList(const MenuCaptions& menu)
{
    std::string list;
    for (const auto& [top, subs] : menu) {
        if (subs.empty())
            list += (list.empty() ? "\"" : ", \"") + top + "\"";
        for (const auto& sub : subs)
            list += ", \"" + sub + "\"";
    }
    return list;
}

// ---- the options of profile set ------------------------------------------------

struct SetOptions {
    std::vector<std::string> buttons, wheels, cpis;
    std::string xy, rate, breathing, color, doubleClick, pointerSpeed, precision, scrollLines;

    bool empty() const
    {
        return buttons.empty() && wheels.empty() && cpis.empty() && xy.empty() && rate.empty() && breathing.empty()
            && color.empty() && doubleClick.empty() && pointerSpeed.empty() && precision.empty() && scrollLines.empty();
    }
};

void setButtons(TMOUSEPROFILEINFO& p, const std::vector<std::string>& buttons)
{
    for (const auto& b : buttons) {
        const auto [slotText, function] = assignment(b, "--button");
        const int slot = int(numberIn(slotText, "--button", 1, kGameButtonCount)) - 1;
        ButtonFunction f;
        try {
            f = ParseButtonFunction(function, p);
        } catch (const BadInput& e) {
            throw BadInput("--button " + b + ": " + e.what());
        }
        const ButtonAssignment r = AssignButtonFunction(p, slot, f);
        check(r.Assigned(), r.Refusal, "--button " + b);
    }
}

void setWheels(TMOUSEPROFILEINFO& p, const std::vector<std::string>& wheels)
{
    for (const auto& w : wheels) {
        const auto [direction, function] = assignment(w, "--wheel");
        int slot = -1;
        if (util::SameIgnoringAsciiCase(direction, "up"))
            slot = 0;
        else if (util::SameIgnoringAsciiCase(direction, "down"))
            slot = 1;
        else
            throw BadInput("--wheel " + w + ": the wheel's directions are up and down");
        const auto id = MenuIDOfCaption(WheelMenuCaptions(), function);
        if (!id || !AssignWheelFunction(p.ConfigInfo.VWheelButtonFuncInfo[slot], *id))
            throw BadInput("--wheel " + w + ": \"" + function + "\" is not a function of the wheel menu ("
                + captionList(WheelMenuCaptions()) + ")");
    }
}

void setCPI(TMOUSEPROFILEINFO& p, const std::vector<std::string>& cpis)
{
    TMOUSECONFIGINFO& c = p.ConfigInfo;
    std::vector<std::pair<int, std::string>> values;
    // Levels go on and off first, so a level can be switched on and given its CPI at once.
    for (const auto& text : cpis) {
        const auto [levelText, value] = assignment(text, "--cpi");
        const int level = int(numberIn(levelText, "--cpi", 1, kCPILevelsUsed)) - 1;
        if (util::SameIgnoringAsciiCase(value, "on") || util::SameIgnoringAsciiCase(value, "off")) {
            util::UserText why;
            check(ChangeCPILevelState(c, level, onOff(value, "--cpi"), &why), why, "--cpi " + text);
        } else {
            values.emplace_back(level, value);
        }
    }
    for (const auto& [level, value] : values) {
        const std::string option = "--cpi " + std::to_string(level + 1) + "=" + value;
        const auto comma = value.find(',');
        const long x = numberIn(value.substr(0, comma), option, kMinimumCPI, kMaximumCPI);
        const long y
            = comma == std::string::npos ? x : numberIn(value.substr(comma + 1), option, kMinimumCPI, kMaximumCPI);
        // The window offers no boxes for a level that is off.
        if (c.CPIState[level].State == 0)
            throw BadInput(option + ": level " + std::to_string(level + 1) + " is off; add --cpi "
                + std::to_string(level + 1) + "=on to set its CPI");
        if (c.ApplyDiffirentXY == 0 && x != y)
            throw BadInput(option + ": X and Y are linked in this profile; add --xy separate to set them apart");
        ChangeCPILevelValue(c, level, CPIAxis::X, int(x));
        if (c.ApplyDiffirentXY != 0)
            ChangeCPILevelValue(c, level, CPIAxis::Y, int(y));
    }
}

void setColour(TMOUSECONFIGINFO& c, const std::string& text)
{
    for (std::size_t i = 0; i < kLightSwatches.size(); ++i)
        if (util::SameIgnoringAsciiCase(text, kLightSwatches[i].Name) || text == std::to_string(i + 1)) {
            SetLightColour(c, kLightSwatches[i].R, kLightSwatches[i].G, kLightSwatches[i].B);
            return;
        }
    std::stringstream parts(text);
    std::string part;
    std::vector<std::string> rgb;
    while (std::getline(parts, part, ','))
        rgb.push_back(part);
    if (rgb.size() != 3) {
        std::string names;
        for (const auto& s : kLightSwatches)
            names += (names.empty() ? "" : ", ") + std::string(s.Name);
        throw BadInput("--color: \"" + text + "\" is neither a swatch (" + names + ", or 1 to 6) nor R,G,B");
    }
    auto byte = [](const std::string& t) { return static_cast<std::uint8_t>(numberIn(t, "--color", 0, 255)); };
    SetLightColour(c, byte(rgb[0]), byte(rgb[1]), byte(rgb[2]));
}

void applyOptions(TMOUSEPROFILEINFO& p, const SetOptions& o)
{
    TMOUSECONFIGINFO& c = p.ConfigInfo;
    util::UserText why;
    if (!o.xy.empty()) {
        if (util::SameIgnoringAsciiCase(o.xy, "linked") || util::SameIgnoringAsciiCase(o.xy, "separate"))
            SetCPIAxesSeparate(c, util::SameIgnoringAsciiCase(o.xy, "separate"));
        else
            throw BadInput("--xy: \"" + o.xy + "\" is neither linked nor separate");
    }
    setButtons(p, o.buttons);
    setWheels(p, o.wheels);
    setCPI(p, o.cpis);
    if (!o.rate.empty())
        check(SetReportRate(c, int(numberIn(o.rate, "--rate", 0, 65535)), &why), why, "--rate");
    if (!o.breathing.empty()) {
        static const std::pair<const char*, Breathing> kChoices[] = { { "low", Breathing::Low },
            { "medium", Breathing::Medium }, { "high", Breathing::High }, { "closed", Breathing::Closed } };
        bool known = false;
        for (const auto& [name, choice] : kChoices)
            if (util::SameIgnoringAsciiCase(o.breathing, name)) {
                SetBreathing(c, choice);
                known = true;
            }
        if (!known)
            throw BadInput("--breathing: \"" + o.breathing + "\" is none of low, medium, high and closed");
    }
    if (!o.color.empty())
        setColour(c, o.color);
    if (!o.doubleClick.empty())
        check(SetDoubleClickSpeed(c, int(numberIn(o.doubleClick, "--double-click", 0, 65535)), &why), why,
            "--double-click");
    if (!o.pointerSpeed.empty())
        check(SetPointerSpeed(c, int(numberIn(o.pointerSpeed, "--pointer-speed", 0, 65535)), &why), why,
            "--pointer-speed");
    if (!o.precision.empty())
        SetPointerPrecision(c, onOff(o.precision, "--precision"));
    if (!o.scrollLines.empty()) {
        const int lines = util::SameIgnoringAsciiCase(o.scrollLines, "page")
            ? kScrollOnePage
            : int(numberIn(o.scrollLines, "--scroll-lines", 0, 65535));
        check(SetScrollLines(c, lines, &why), why, "--scroll-lines");
    }
}

// ---- changing a file ------------------------------------------------------------

} // namespace

/// Loads `file`, lets `change` edit it, and writes it back atomically when anything changed, all
/// under the lock that keeps two bvctl runs from losing each other's change. Prints the changes.
int changeProfileFile(const std::string& file, const std::function<void(TMOUSEPROFILEINFO&)>& change)
{
    const auto path = util::PathFromUtf8(file);
    std::filesystem::path target;
    try {
        target = platform::resolveWriteTarget(path);
    } catch (const std::exception& e) {
        throw BadInput("\"" + file + "\" cannot be written: " + e.what());
    }
    platform::FileLock lock(target.string() + ".lock");
    if (!lock.locked())
        throw BadInput("\"" + file + "\" cannot be changed: " + lock.error());
    auto profile = LoadProfileFile(file);
    const Json before = ProfileToJson(*profile);
    change(*profile);
    const Json changes = JsonChanges(before, ProfileToJson(*profile));
    if (!changes.empty()) {
        std::vector<std::uint8_t> bytes(sizeof(TMOUSEPROFILEINFO));
        std::memcpy(bytes.data(), profile.get(), bytes.size());
        try {
            platform::writeFileAtomic(path, bytes);
        } catch (const std::exception& e) {
            throw BadInput("\"" + file + "\" cannot be written: " + e.what() + ". It is unchanged.");
        }
    }
    printJson({ { "file", file }, { "changed", changes } });
    return kOk;
}

namespace {

std::vector<std::uint8_t> readInput(const std::string& file)
{
    if (file == "-") {
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        return bytes;
    }
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(util::PathFromUtf8(file), 64u * 1024u * 1024u);
    } catch (const std::exception& e) {
        throw BadInput("\"" + file + "\" cannot be read: " + e.what());
    }
    if (!bytes)
        throw BadInput("\"" + file + "\" does not exist");
    return *bytes;
}

int profileImport(const std::string& input, const std::string& output)
{
    const std::vector<std::uint8_t> bytes = readInput(input);
    const Json j = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (j.is_discarded())
        throw BadInput("\"" + input + "\" is not JSON");
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    std::string error;
    if (!ProfileFromJson(j, *profile, error))
        throw BadInput("\"" + input + "\" is not a profile as bvctl profile show prints it: " + error);
    std::vector<std::uint8_t> image(sizeof(TMOUSEPROFILEINFO));
    std::memcpy(image.data(), profile.get(), image.size());
    try {
        platform::writeFileAtomic(util::PathFromUtf8(output), image);
    } catch (const std::exception& e) {
        throw BadInput("\"" + output + "\" cannot be written: " + e.what());
    }
    printJson({ { "file", output } });
    return kOk;
}

} // namespace

ButtonFunction ParseButtonFunction(const std::string& text, const TMOUSEPROFILEINFO& profile)
{
    ButtonFunction f;
    const auto colon = text.find(':');
    const std::string kind = colon == std::string::npos ? std::string() : util::AsciiLowered(text.substr(0, colon));
    const std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (kind == "key") {
        const TableKey k = parseKey(rest);
        f.MenuID = kMenuSingleKey;
        f.SingleKey = { static_cast<std::uint16_t>(k.VirtualKey), static_cast<std::uint16_t>(k.Extended) };
    } else if (kind == "combo") {
        f.MenuID = kMenuComboKey;
        f.ComboKey = parseCombo(rest);
    } else if (kind == "fire") {
        const auto comma = rest.find(',');
        if (comma == std::string::npos)
            throw BadInput("\"" + text + "\": a fire key is fire:DELAY,COUNT (ms between clicks, number of clicks)");
        f.MenuID = kMenuFireKey;
        f.FireKey.DelyValue = static_cast<std::uint16_t>(numberIn(rest.substr(0, comma), "fire DELAY", 0, 65535));
        f.FireKey.nLoopCount = static_cast<std::uint16_t>(numberIn(rest.substr(comma + 1), "fire COUNT", 0, 65535));
    } else if (kind == "macro") {
        const auto& list = profile.MacroKeyInfoList;
        const int count = std::min<int>(list.nMacroInfoCount, kMacroListSlots);
        for (int i = 0; i < count && f.MenuID == 0; ++i)
            if (MacroNameEquals(list.MacroInfos[i], rest))
                f.MenuID = kMacroMenuIDBase + static_cast<std::uint32_t>(i);
        if (f.MenuID == 0)
            throw BadInput("the profile has no macro named \"" + rest + "\" (add one with bvctl profile macro-add)");
    } else {
        const auto id = MenuIDOfCaption(ButtonMenuCaptions(), text);
        if (!id)
            throw BadInput("\"" + text + "\" is not a function of the button menu (" + captionList(ButtonMenuCaptions())
                + ", key:NAME, combo:KEYS, macro:NAME or fire:DELAY,COUNT)");
        switch (*id) {
        case kMenuSingleKey:
            throw BadInput("\"" + text + "\" needs its key: write key:NAME");
        case kMenuComboKey:
            throw BadInput("\"" + text + "\" needs its keys: write combo:Ctrl+Alt+NAME");
        case kMenuFireKey:
            throw BadInput("\"" + text + "\" needs its settings: write fire:DELAY,COUNT");
        case kMacroManagerMenuID:
            throw BadInput("\"" + text + "\" opens the macro editor; bvctl profile macro-add adds macros");
        default:
            f.MenuID = *id;
        }
    }
    return f;
}

void addProfileEditCommands(CLI::App& profile, Action& action)
{
    auto file = std::make_shared<std::string>();
    auto set = std::make_shared<SetOptions>();
    auto* cmd = profile.add_subcommand("set", "Change a profile file in place and print the changed fields");
    cmd->add_option("FILE", *file, "Profile file")->required();
    cmd->add_option("--button", set->buttons, "N=FUNCTION for button 1..7 (repeatable)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_option("--wheel", set->wheels, "up|down=FUNCTION of the wheel menu (repeatable)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_option("--cpi", set->cpis, "L=X[,Y] or L=on|off for CPI level 1..4 (repeatable)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_option("--xy", set->xy, "linked|separate: whether a level's X and Y are set apart");
    cmd->add_option("--rate", set->rate, "Report rate: 125, 250, 500 or 1000 (Hz)");
    cmd->add_option("--breathing", set->breathing, "low, medium, high or closed (light off)");
    cmd->add_option("--color", set->color, "red, yellow, green, teal, magenta, blue, 1..6 or R,G,B");
    cmd->add_option("--double-click", set->doubleClick, "Double-click time, 200..900 ms in steps of 10");
    cmd->add_option("--pointer-speed", set->pointerSpeed, "Pointer speed 1..20");
    cmd->add_option("--precision", set->precision, "on|off: enhance pointer precision");
    cmd->add_option("--scroll-lines", set->scrollLines, "1..10 lines per wheel notch, or page");
    cmd->callback([file, set, &action] {
        if (set->empty())
            throw CLI::ValidationError("profile set", "name at least one setting to change (see --help)");
        action = [file, set] { return changeProfileFile(*file, [&](TMOUSEPROFILEINFO& p) { applyOptions(p, *set); }); };
    });

    struct ImportOptions {
        std::string input, output;
    };
    auto imp = std::make_shared<ImportOptions>();
    auto* importCommand
        = profile.add_subcommand("import", "Build a profile file from the JSON that profile show prints");
    importCommand->add_option("JSON", imp->input, "JSON file, - for standard input")->required();
    importCommand->add_option("-o,--output", imp->output, "Profile file to write")->required();
    importCommand->callback([imp, &action] { action = [imp] { return profileImport(imp->input, imp->output); }; });

    struct MacroOptions {
        std::string file, macro;
    };
    auto mo = std::make_shared<MacroOptions>();
    auto* add = profile.add_subcommand("macro-add", "Add the macro of a .macro file to a profile's macro list");
    add->add_option("FILE", mo->file, "Profile file")->required();
    add->add_option("MACROFILE", mo->macro, "Macro file (.macro)")->required();
    add->callback([mo, &action] {
        action = [mo] {
            const TMACROKEYINFO macro = LoadMacroFile(mo->macro);
            return changeProfileFile(mo->file, [&](TMOUSEPROFILEINFO& p) {
                util::UserText why;
                if (!AddMacroToProfile(p, macro, &why))
                    throw BadInput("\"" + mo->macro + "\" cannot be added: " + why.English());
            });
        };
    });
    auto* remove = profile.add_subcommand(
        "macro-remove", "Remove a macro from a profile's list; buttons that used it are disabled");
    remove->add_option("FILE", mo->file, "Profile file")->required();
    remove->add_option("NAME", mo->macro, "The macro's name")->required();
    remove->callback([mo, &action] {
        action = [mo] {
            return changeProfileFile(mo->file, [&](TMOUSEPROFILEINFO& p) {
                util::UserText why;
                if (!RemoveMacroFromProfile(p, mo->macro, &why))
                    throw BadInput(why.English());
            });
        };
    });
}

} // namespace bv::cli
