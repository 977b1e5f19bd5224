#include "platform/system_mouse.h"

#include "platform/run_process.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <system_error>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMouseSchema = "org.gnome.desktop.peripherals.mouse";
// A desktop settings service that does not answer must not hold up the caller for long.
constexpr std::chrono::milliseconds kTimeout { 5000 };

std::string firstLine(const std::string& text)
{
    const std::string line = text.substr(0, text.find('\n'));
    return line.empty() ? text : line;
}

class GsettingsMouseSettings final : public SystemMouseSettings {
public:
    explicit GsettingsMouseSettings(fs::path program)
        : FProgram(std::move(program))
    {
    }

protected:
    SettingResult DoSetDoubleClickTime(std::uint32_t milliseconds) override
    {
        return set("double-click", std::to_string(milliseconds));
    }

    SettingResult DoSetMouseAcceleration(const MouseAcceleration& values) override
    {
        // The desktop knows acceleration only as on or off.
        return set("accel-profile", values[2] != 0 ? "'adaptive'" : "'flat'");
    }

    SettingResult DoSetMouseSpeed(std::int32_t speed) override
    {
        char text[32];
        const auto r = std::to_chars(text, text + sizeof text, DesktopPointerSpeed(speed), std::chars_format::fixed, 4);
        return set("speed", std::string(text, r.ptr));
    }

    SettingResult DoSetWheelScrollLines(std::uint32_t) override
    {
        return { SettingStatus::Unsupported, "the desktop has no setting for the lines of a wheel notch" };
    }

private:
    // Asked once: whether gsettings is there, knows the mouse schema and stores for real. Without a
    // session bus gsettings falls back to memory and says so on stderr; such a write is lost.
    const SettingResult& availability()
    {
        std::call_once(FProbed, [this] {
            if (FProgram.empty())
                FProgram = FindProgram("gsettings");
            if (FProgram.empty()) {
                FAvailability = { SettingStatus::Unsupported, "gsettings was not found" };
                return;
            }
            const ProcessResult r
                = RunProcess({ FProgram.string(), "writable", kMouseSchema, "double-click" }, kTimeout);
            if (!r.Started)
                FAvailability = { SettingStatus::Unsupported, "gsettings cannot be run: " + r.Error };
            else if (r.ExitCode != 0 || !r.Err.empty())
                FAvailability = { SettingStatus::Unsupported,
                    "the desktop keeps no mouse settings here: " + firstLine(r.Err.empty() ? r.Out : r.Err) };
            else if (r.Out.rfind("true", 0) != 0)
                FAvailability = { SettingStatus::Unsupported, "the desktop's mouse settings are locked" };
        });
        return FAvailability;
    }

    SettingResult set(const std::string& key, const std::string& value)
    {
        if (const SettingResult& a = availability(); a.Status != SettingStatus::Applied)
            return a;
        const ProcessResult r = RunProcess({ FProgram.string(), "set", kMouseSchema, key, value }, kTimeout);
        if (!r.Started)
            return { SettingStatus::Failed, r.Error };
        if (r.TimedOut)
            return { SettingStatus::Failed, "gsettings did not answer within 5 s" };
        if (r.ExitCode != 0 || !r.Err.empty())
            return { SettingStatus::Failed,
                "gsettings set " + key + " " + value + ": "
                    + firstLine(r.Err.empty() ? "exit code " + std::to_string(r.ExitCode) : r.Err) };
        // Without a session bus the desktop's store drops a write and gsettings still succeeds:
        // only reading the value back tells.
        const ProcessResult back = RunProcess({ FProgram.string(), "get", kMouseSchema, key }, kTimeout);
        if (!back.Started || back.ExitCode != 0 || !sameValue(back.Out, value))
            return { SettingStatus::Failed,
                "the desktop did not keep " + key + " = " + value + " (is its settings service running?)" };
        return {};
    }

    // gsettings prints numbers in its own form ("0.5" for "0.5000").
    static bool sameValue(const std::string& printed, const std::string& wanted)
    {
        const auto trim = [](std::string t) {
            while (!t.empty() && (t.back() == '\n' || t.back() == ' ' || t.back() == '\r'))
                t.pop_back();
            return t;
        };
        const std::string got = trim(printed);
        if (got == wanted)
            return true;
        double a = 0, b = 0;
        const auto ra = std::from_chars(got.data(), got.data() + got.size(), a);
        const auto rb = std::from_chars(wanted.data(), wanted.data() + wanted.size(), b);
        return ra.ec == std::errc() && ra.ptr == got.data() + got.size() && rb.ec == std::errc()
            && rb.ptr == wanted.data() + wanted.size() && std::abs(a - b) < 1e-3;
    }

    fs::path FProgram;
    std::once_flag FProbed;
    SettingResult FAvailability;
};

} // namespace

double DesktopPointerSpeed(std::int32_t speed)
{
    const std::int32_t s = std::clamp(speed, 1, 20);
    // The default sits in the middle of both scales; each side is stretched to its end.
    return s <= 10 ? (s - 10) / 9.0 : (s - 10) / 10.0;
}

std::unique_ptr<SystemMouseSettings> OpenGsettingsMouseSettings(const fs::path& gsettings)
{
    return std::make_unique<GsettingsMouseSettings>(gsettings);
}

std::unique_ptr<SystemMouseSettings> OpenPlatformMouseSettings()
{
    return OpenGsettingsMouseSettings();
}

} // namespace bv::platform
