#include "commands.h"

#include "bvctl.h"
#include "profile_file.h"
#include "settings/system_mouse_params.h"

#include <iostream>

namespace bv::cli {

namespace {

using Json = nlohmann::ordered_json;

Json outcome(const Json& value, const platform::SettingResult& r)
{
    Json j = { { "value", value }, { "status", platform::SettingStatusName(r.Status) } };
    if (!r.Detail.empty())
        j["detail"] = r.Detail;
    return j;
}

// What the configurator does on Apply plus the double-click time it sets as soon as it is moved.
int applySystemMouse(const std::string& file)
{
    const auto profile = LoadProfileFile(file);
    std::vector<std::string> failures;
    printJson(ApplyProfileSystemMouse(profile->ConfigInfo, failures));
    return failures.empty() ? kOk : kBadInput;
}

} // namespace

nlohmann::ordered_json ApplyProfileSystemMouse(const TMOUSECONFIGINFO& c, std::vector<std::string>& failures)
{
    const std::uint32_t doubleClick = c.DoubleClickSpeed;
    auto settings = platform::OpenSystemMouseSettings();
    const platform::SettingResult dc = settings->SetDoubleClickTime(doubleClick);
    const SystemMouseParamsResult r = ApplySystemMouseParams(*settings, SystemMouseParamsOf(c));
    const platform::RequestedMouseSettings asked = settings->Requested();
    for (const auto* s : { &dc, &r.Acceleration, &r.PointerSpeed, &r.WheelLines }) {
        if (s->Status == platform::SettingStatus::Failed)
            failures.push_back(s->Detail);
        if (s->Status != platform::SettingStatus::Applied)
            std::cerr << "bvctl: " << platform::SettingStatusName(s->Status) << ": " << s->Detail << '\n';
    }
    return { { "double_click_time", outcome(doubleClick, dc) },
        { "acceleration", outcome(*asked.Acceleration, r.Acceleration) },
        { "pointer_speed", outcome(*asked.PointerSpeed, r.PointerSpeed) },
        { "wheel_scroll_lines", outcome(*asked.WheelScrollLines, r.WheelLines) } };
}

void addSystemMouseCommands(CLI::App& app, Action& action, const GlobalOptions&)
{
    auto* group = app.add_subcommand("system-mouse", "The system mouse settings that a profile carries");
    group->require_subcommand(1);
    auto file = std::make_shared<std::string>();
    auto* apply = group->add_subcommand(
        "apply", "Hand a profile's double-click time, acceleration, pointer speed and wheel lines to the system");
    apply->add_option("FILE", *file, "Profile file")->required();
    apply->callback([file, &action] { action = [file] { return applySystemMouse(*file); }; });
}

} // namespace bv::cli
