#pragma once
// The device half of Apply: both modes' profiles written into the mouse's two configuration sets.

#include "device/Function_Solmarchs.h"
#include "settings/pubunit_solmarch.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bv {

class TDM;

/// Where Apply takes its profiles from and where it keeps the CPI level read from the mouse.
class ApplyProfiles {
public:
    virtual ~ApplyProfiles() = default;
    /// The working copy of the current profile.
    virtual TMOUSEPROFILEINFO& CurrentProfile() = 0;
    /// Makes the working copy the stored one, so the mode profiles read afterwards include it.
    virtual void StoreBackCurrentProfile() = 0;
    /// The profile that mode 0 or 1 uses.
    virtual void ReadModeProfile(int mode, TMOUSEPROFILEINFO& out) = 0;
    /// The mode the mouse should use afterwards (0 or 1).
    virtual int ActiveMode() const = 0;
};

/// The profile manager's profiles.
class DMApplyProfiles final : public ApplyProfiles {
public:
    explicit DMApplyProfiles(TDM& dm)
        : FDM(dm)
    {
    }
    TMOUSEPROFILEINFO& CurrentProfile() override;
    void StoreBackCurrentProfile() override;
    void ReadModeProfile(int mode, TMOUSEPROFILEINFO& out) override;
    int ActiveMode() const override;

private:
    TDM& FDM;
};

/// What Apply needs of the window besides the device.
struct ApplyHooks {
    DeviceSequenceHooks Sequence; // pauses with the message queue serviced, and the monitor notice
    std::function<void(bool busy)> Busy;
};

struct ApplyResult {
    bool Written = false;           // the sequence ran
    std::string Error;              // why nothing was written
    std::vector<std::string> Notes; // what reached the mouse differently from the profiles
    std::int32_t CurrentCPIIndex = 0;
};

/// The Apply sequence from the opening to the closing update bracket. Both mode profiles are
/// encoded first: a profile the mouse cannot hold stops Apply before anything is sent. The
/// caller tests that the mouse is present. `notice` is the second byte of the settings notice.
ApplyResult ApplyDeviceSequence(TuiHIDData& hid, ApplyProfiles& profiles, std::uint8_t notice, const ApplyHooks& hooks);

} // namespace bv
