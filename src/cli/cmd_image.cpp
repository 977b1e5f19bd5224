#include "commands.h"

#include "bvctl.h"
#include "device/apply_sequence.h"
#include "device/config_decoder.h"
#include "device/config_image.h"
#include "device/hid_trace.h"
#include "device_session.h"
#include "platform/atomic_file.h"
#include "profile_file.h"
#include "settings/DMUnit.h"
#include "settings_session.h"

#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

namespace bv::cli {

namespace {

void warn(const std::vector<util::UserText>& notes)
{
    for (const auto& n : notes)
        std::cerr << "warning: " << n.English() << '\n';
}

int encode(const std::string& file, int set)
{
    const auto profile = LoadProfileFile(file);
    util::UserText error;
    const auto image = EncodeConfigurationImage(*profile, &error);
    if (!image)
        throw BadInput("\"" + file + "\" cannot be written to the mouse: " + error.English());
    warn(image->Notes);
    nlohmann::ordered_json writes = nlohmann::ordered_json::array();
    for (const auto& w : ConfigurationImageWrites(*image, set))
        writes.push_back({ { "address", w.Address }, { "data", HexString(w.Data) } });
    printJson({ { "writes", writes }, { "report_rate_code", image->ReportRate } });
    return kOk;
}

/// The two profiles of an Apply from files; the files themselves are not changed.
class FileApplyProfiles final : public ApplyProfiles {
public:
    FileApplyProfiles(std::unique_ptr<TMOUSEPROFILEINFO> mode0, std::unique_ptr<TMOUSEPROFILEINFO> mode1, int active)
        : active_(active)
    {
        modes_[0] = std::move(mode0);
        modes_[1] = std::move(mode1);
    }
    TMOUSEPROFILEINFO& CurrentProfile() override { return *modes_[active_]; }
    void StoreBackCurrentProfile() override { }
    void ReadModeProfile(int mode, TMOUSEPROFILEINFO& out) override { out = *modes_[mode]; }
    int ActiveMode() const override { return active_; }

private:
    std::unique_ptr<TMOUSEPROFILEINFO> modes_[2];
    int active_;
};

int apply(const GlobalOptions& global, const std::string& mode1File, const std::string& mode2File, int mode, int notice,
    bool verify)
{
    FileApplyProfiles profiles(LoadProfileFile(mode1File), LoadProfileFile(mode2File), mode);
    DeviceSession session = OpenDeviceSession(global);
    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    if (!session.hid->IsDeviceExist(*request))
        throw BadInput("Please connect your mouse device before apply new settings! ("
            + session.describe(kHidErrorNoDevice) + ")");
    ApplyHooks hooks;
    hooks.Sequence.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    const auto result = ApplyDeviceSequence(*session.hid, profiles, static_cast<std::uint8_t>(notice), hooks);
    if (result.Refused())
        throw BadInput(result.Error.English());
    warn(result.Notes);
    // Read back even after a failed step: the addresses that differ say what the mouse now holds.
    std::optional<VerifyResult> checked;
    if (verify)
        checked = VerifyDeviceWrites(*session.hid, result.Writes);
    const std::string differs
        = checked ? VerifyProblem(*checked, session.describe(checked->FirstError)) : std::string();
    if (!result.Written)
        throw BadInput("The mouse did not take all settings: the " + result.FailedSteps.front() + " failed ("
            + session.describe(result.FirstError) + ")"
            + (result.FailedSteps.size() > 1
                    ? " and " + std::to_string(result.FailedSteps.size() - 1) + " later steps failed too"
                    : std::string())
            + ". It may hold a mix of old and new settings: connect it and apply again."
            + (differs.empty() ? std::string() : " " + differs));
    if (!differs.empty())
        throw BadInput(differs);
    nlohmann::ordered_json out { { "written", true }, { "mode", mode },
        { "current_cpi_index", result.CurrentCPIIndex } };
    if (checked)
        out["verify"] = VerifyJson(*checked);
    printJson(out);
    return kOk;
}

nlohmann::ordered_json keyJson(const DecodedKey& k)
{
    nlohmann::ordered_json j { { "hid", k.HidCode } };
    if (k.VirtualKey >= 0) {
        j["vk"] = k.VirtualKey;
        j["extended"] = k.Extended;
    }
    return j;
}

nlohmann::ordered_json setJson(const DecodedSet& d)
{
    nlohmann::ordered_json buttons = nlohmann::ordered_json::array();
    for (const auto& b : d.Buttons) {
        nlohmann::ordered_json j { { "DeviceCode", b.DeviceCode },
            { "params", { b.Params[0], b.Params[1], b.Params[2] } } };
        switch (b.DeviceCode) {
        case kCodeConsumer:
            j["MediaKey"] = b.MediaUsage;
            break;
        case kCodeCombo:
            j["nModifier"] = b.Modifier;
            j["key1"] = keyJson(b.Key1);
            j["key2"] = keyJson(b.Key2);
            break;
        case kCodeSingleKey:
            j["key"] = keyJson(b.Key1);
            break;
        case kCodeMacro:
            j["macro_slot"] = b.MacroSlot;
            j["macro_length"] = b.MacroLength;
            break;
        case kCodeFire:
            j["nLoopCount"] = b.FireCount;
            j["DelyValue"] = b.FireDelay;
            break;
        default:
            break;
        }
        buttons.push_back(j);
    }
    nlohmann::ordered_json levels = nlohmann::ordered_json::array();
    for (const auto& l : d.Levels)
        levels.push_back({ { "State", l.State }, { "code", l.CodeX }, { "code_y", l.CodeY }, { "cpi", l.CPI } });
    nlohmann::ordered_json macros = nlohmann::ordered_json::array();
    for (const auto& m : d.Macros) {
        nlohmann::ordered_json actions = nlohmann::ordered_json::array();
        for (const auto& a : m.Actions) {
            nlohmann::ordered_json j { { "kind", a.Kind }, { "state", a.State },
                { "value", { a.Value[0], a.Value[1] } } };
            if (a.Kind == kActionKey)
                j["key"] = keyJson(a.Key);
            else if (a.Kind == kActionDelay)
                j["delay_ms"] = a.DelayMs;
            else if (a.Kind == kActionLoop)
                j["loops"] = a.Loops;
            actions.push_back(j);
        }
        macros.push_back({ { "slot", m.Slot }, { "length", m.Length }, { "actions", actions } });
    }
    const auto& l = d.Light;
    return { { "buttons", buttons }, { "CPILevel", d.CPILevel }, { "CurrentCPIIndex", d.CurrentCPIIndex },
        { "levels", levels },
        { "LEDConfig",
            { { "R", l.R }, { "G", l.G }, { "B", l.B }, { "BRIGHT_LEVEL", l.BRIGHT_LEVEL },
                { "BREATH_SPEED", l.BREATH_SPEED }, { "BREATH_SECOND", l.BREATH_SECOND } } },
        { "report_rate_code", d.ReportRateCode }, { "ReportRate", d.ReportRateHz }, { "macros", macros } };
}

int virtualShow(const GlobalOptions& global)
{
    DeviceSession session = OpenDeviceSession(global);
    if (!session.link.virtualMouse)
        throw BadInput("\"virtual show\" needs the virtual mouse: pass --device virtual:STATEFILE or set "
                       "BV_VIRTUAL_MOUSE");
    const auto state = session.link.virtualMouse->state();
    const auto shared = DecodeSharedBytes(state.memory);
    nlohmann::ordered_json sets = nlohmann::ordered_json::array();
    for (int s = 0; s < 2; ++s)
        sets.push_back(setJson(*DecodeConfigurationSet(state.memory, s)));
    // The preview carries the first five bytes of a light block.
    std::array<std::uint8_t, 6> previewBlock {};
    std::copy(state.preview.begin(), state.preview.end(), previewBlock.begin());
    const auto preview = DecodeLightBlock(previewBlock);
    nlohmann::ordered_json live = nullptr;
    if (state.previewShown)
        live = { { "R", preview.R }, { "G", preview.G }, { "B", preview.B }, { "BRIGHT_LEVEL", preview.BRIGHT_LEVEL },
            { "BREATH_SPEED", preview.BREATH_SPEED } };
    printJson(
        { { "shared",
              { { "set_selector", shared->SetSelector }, { "WheelLedOnOff", shared->WheelLightOn ? 1 : 0 },
                  { "HWVWheelValue", shared->WheelValue }, { "report_rate_byte", state.memory[kAddrReportRate] } } },
            { "sets", sets }, { "live_light", live }, { "settings_notice", { state.notice[0], state.notice[1] } } });
    return kOk;
}

} // namespace

void addImageCommands(CLI::App& app, Action& action, const GlobalOptions& global)
{
    struct Options {
        std::string file, mode1, mode2;
        int set = 0;
        int mode = 0;
        int notice = 0;
        bool verify = false;
    };
    auto opts = std::make_shared<Options>();

    auto* enc = app.add_subcommand("encode", "Print the memory writes that put a profile into a configuration set");
    enc->add_option("FILE", opts->file, "Profile file")->required();
    enc->add_option("--set", opts->set, "Configuration set 0 or 1")->check(CLI::Range(0, 1));
    enc->callback([&action, opts] { action = [opts] { return encode(opts->file, opts->set); }; });

    auto* ap = app.add_subcommand("apply", "Write two profiles into the mouse, as Apply in the window does");
    ap->add_option("MODE1", opts->mode1, "Profile file of mode 1")->required();
    ap->add_option("MODE2", opts->mode2, "Profile file of mode 2")->required();
    ap->add_option("--mode", opts->mode, "The active mode afterwards, 0 or 1")->check(CLI::Range(0, 1));
    ap->add_option("--notice", opts->notice, "Second byte of the settings notice (the last chosen profile, 0..255)")
        ->check(CLI::Range(0, 255));
    ap->add_flag("--verify", opts->verify, "Read back every block written and compare");
    ap->callback([&action, &global, opts] {
        action = [&global, opts] {
            return apply(global, opts->mode1, opts->mode2, opts->mode, opts->notice, opts->verify);
        };
    });

    CLI::App* virt = nullptr;
    try {
        virt = app.get_subcommand("virtual");
    } catch (const CLI::OptionNotFound&) {
        virt = app.add_subcommand("virtual", "Inspect the virtual mouse");
        virt->require_subcommand(1);
    }
    auto* show = virt->add_subcommand("show", "Print what the virtual mouse holds, decoded, as JSON");
    show->callback([&action, &global] { action = [&global] { return virtualShow(global); }; });
}

} // namespace bv::cli
