#pragma once
// The system's own mouse settings that a profile carries: double-click time, pointer speed,
// pointer acceleration and wheel scroll lines. Windows: SetDoubleClickTime and
// SystemParametersInfoW, stored for the user and broadcast. Linux: the desktop's settings through
// gsettings where it has them; what it lacks is kept here and reported as unsupported.
//
// The settings are written from the UI thread (double-click time) and from a worker thread (the
// rest, on Apply); one object may serve both.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace bv::platform {

enum class SettingStatus {
    Applied, // the system took the value
    Unsupported, // this desktop has no such setting; the value is only recorded
    Failed, // the system refused it; Detail says why
};

struct SettingResult {
    SettingStatus Status = SettingStatus::Applied;
    std::string Detail;

    bool operator==(const SettingResult&) const = default;
};

/// "applied", "unsupported" or "failed".
const char* SettingStatusName(SettingStatus status);

/// The acceleration triple of the system's mouse setting: first threshold, second threshold,
/// acceleration level.
using MouseAcceleration = std::array<std::int32_t, 3>;

/// The last value asked for of each setting, whatever became of it.
struct RequestedMouseSettings {
    std::optional<std::uint32_t> DoubleClickTime;
    std::optional<MouseAcceleration> Acceleration;
    std::optional<std::int32_t> PointerSpeed;
    std::optional<std::uint32_t> WheelScrollLines;
};

class SystemMouseSettings {
public:
    virtual ~SystemMouseSettings() = default;

    /// Milliseconds between the clicks of a double click.
    SettingResult SetDoubleClickTime(std::uint32_t milliseconds);
    /// Acceleration off is {0, 0, 0}.
    SettingResult SetMouseAcceleration(const MouseAcceleration& values);
    /// 1 (slowest) .. 20 (fastest); 10 is the system's default.
    SettingResult SetMouseSpeed(std::int32_t speed);
    /// Lines per wheel notch; 20 stands for one page.
    SettingResult SetWheelScrollLines(std::uint32_t lines);

    RequestedMouseSettings Requested() const;

protected:
    virtual SettingResult DoSetDoubleClickTime(std::uint32_t milliseconds) = 0;
    virtual SettingResult DoSetMouseAcceleration(const MouseAcceleration& values) = 0;
    virtual SettingResult DoSetMouseSpeed(std::int32_t speed) = 0;
    virtual SettingResult DoSetWheelScrollLines(std::uint32_t lines) = 0;

private:
    mutable std::mutex FLock;
    RequestedMouseSettings FRequested;
};

/// The settings of the desktop this program runs on; with BV_KEEP_SYSTEM_MOUSE=1 in the
/// environment (the demo sets it) values are only recorded and reported as unsupported, so
/// trying the program out leaves the desktop as it was.
std::unique_ptr<SystemMouseSettings> OpenSystemMouseSettings();
/// The system's own, whatever the environment says.
std::unique_ptr<SystemMouseSettings> OpenPlatformMouseSettings();

#ifndef _WIN32
/// The gsettings-backed settings, run through `gsettings` (a path; empty: looked up along PATH).
/// Whether the desktop has the mouse settings is asked once, on first use.
std::unique_ptr<SystemMouseSettings> OpenGsettingsMouseSettings(const std::filesystem::path& gsettings = {});

/// The desktop's pointer speed (-1 .. 1, 0 = default) for a speed of 1 .. 20 (10 = default);
/// values outside 1 .. 20 count as the nearest end.
double DesktopPointerSpeed(std::int32_t speed);
#endif

} // namespace bv::platform
