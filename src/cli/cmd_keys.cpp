#include "commands.h"

#include "bvctl.h"

#include "keys/uiStdCmd.h"
#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"
#include "platform/atomic_file.h"
#include "util/utf8_path.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

namespace bv::cli {

namespace {

using Json = nlohmann::ordered_json;

// Takes a packed field by value, so no reference to an unaligned member is ever formed.
template <typename T> T val(T v)
{
    return v;
}

int keys()
{
    Json rows = Json::array();
    for (int vk = 0; vk < kKeyTableRows; ++vk)
        for (int extended = 0; extended <= 1; ++extended)
            rows.push_back({ { "vk", vk }, { "extended", extended }, { "name", GetKeyName(vk, extended) },
                { "hid", GetKeyHidCode(vk, extended) } });
    printJson(rows);
    return kOk;
}

Json actionToJson(const TMACROKEY& a)
{
    const int state = a.nKeyState;
    const int v1 = a.VALUE1;
    const int v2 = a.VALUE2;
    Json j { { "nKeyType", val(a.nKeyType) }, { "nKeyState", state }, { "VALUE1", v1 }, { "VALUE2", v2 } };
    const char* pressOrRelease = state == 1 ? "press" : "release";
    switch (a.nKeyType) {
    case kActionKey:
        j["kind"] = "key";
        j["state"] = pressOrRelease;
        j["nKeyValue"] = v1;
        j["nKeyExtended"] = v2;
        j["name"] = GetKeyName(v1, v2);
        break;
    case kActionMouseButton:
        j["kind"] = "mouse button";
        j["state"] = pressOrRelease;
        j["MouseKeyValue"] = v1;
        j["MouseKey_Index"] = v2;
        j["name"] = GetKeyName(v1, v2);
        break;
    case kActionMediaKey:
        j["kind"] = "media key";
        j["state"] = pressOrRelease;
        j["MediaKey"] = v1 + 256 * v2;
        break;
    case kActionDelay:
        j["kind"] = "delay";
        j["delay_ms"] = v1 + 256 * v2;
        break;
    case kActionLoop:
        j["kind"] = "loop";
        j["loops"] = v1 + 256 * v2;
        break;
    default:
        j["kind"] = "unknown";
        break;
    }
    return j;
}

Json macroToJson(const TMACROKEYINFO& m)
{
    const int count = std::clamp<int>(m.MacroListCount, 0, kMacroActionsMax);
    Json actions = Json::array();
    for (int i = 0; i < count; ++i)
        actions.push_back(actionToJson(m.MacroList[i]));
    return Json {
        { "szMacroName", MacroName(m) },
        { "MacroListCount", val(m.MacroListCount) },
        { "nAutoAddDelay", val(m.nAutoAddDelay) },
        { "nLoopCount", val(m.nLoopCount) },
        { "nMacroIndex", val(m.nMacroIndex) },
        { "MacroUse", val(m.MacroUse) },
        { "Version", val(m.Version) },
        { "VersionValid", TuiMacroClass::IsValidMacroVersion(m) },
        { "HaveErrors", val(m.HaveErrors) },
        { "ErrorCount", val(m.ErrorCount) },
        { "MacroList", std::move(actions) },
    };
}

int macroShow(const std::string& file)
{
    const TMACROKEYINFO macro = LoadMacroFile(file);
    if (const auto damage = MacroRecordDamage(macro))
        std::cerr << "warning: " << *damage << '\n';
    printJson(macroToJson(macro));
    return kOk;
}

} // namespace

TMACROKEYINFO LoadMacroFile(const std::string& file)
{
    constexpr std::size_t kSize = sizeof(TMACROKEYINFO);
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(util::PathFromUtf8(file), kSize);
    } catch (const std::filesystem::filesystem_error& e) {
        if (e.code() == std::errc::file_too_large)
            throw BadInput("\"" + file + "\" is not a macro file: it is longer than a macro record ("
                + std::to_string(kSize) + " bytes).");
        throw BadInput("\"" + file + "\" cannot be read: " + e.what());
    }
    if (!bytes)
        throw BadInput("\"" + file + "\" is not a macro file: the file does not exist.");
    if (bytes->size() != kSize)
        throw BadInput("\"" + file + "\" is not a macro file: it has " + std::to_string(bytes->size())
            + " bytes, a macro record has " + std::to_string(kSize) + ".");
    TMACROKEYINFO macro;
    std::memcpy(static_cast<void*>(&macro), bytes->data(), kSize);
    return macro;
}

void addKeyAndMacroCommands(CLI::App& app, Action& action, const GlobalOptions&)
{
    auto* keyTable
        = app.add_subcommand("keys", "Print the keyboard code table: name and HID usage of every virtual key");
    keyTable->callback([&action] { action = [] { return keys(); }; });

    auto* macro = app.add_subcommand("macro", "Inspect macro files (.macro)");
    macro->require_subcommand(1);
    auto file = std::make_shared<std::string>();
    auto* show = macro->add_subcommand("show", "Print a macro file as JSON, actions with their key names");
    show->add_option("FILE", *file, "Macro file")->required();
    show->callback([file, &action] { action = [file] { return macroShow(*file); }; });
}

} // namespace bv::cli
