#pragma once
// The device half of Apply: both modes' profiles written into the mouse's two configuration sets.

#include "device/Function_Solmarchs.h"
#include "device/config_image.h"
#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

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
    /// True only when the mouse took every write of the sequence.
    bool Written = false;
    /// Why nothing was sent (a profile the mouse cannot hold); empty when the sequence ran.
    util::UserText Error;
    /// The steps whose transfers failed, in order ("Mode 1 button block", "set selector", ...): the
    /// mouse may now hold a mix of old and new settings.
    std::vector<std::string> FailedSteps;
    /// The error of the first failed transfer.
    std::uint32_t FirstError = 0;
    /// What reached the mouse differently from the profiles.
    std::vector<util::UserText> Notes;
    std::int32_t CurrentCPIIndex = 0;
    /// Every memory write of the sequence, in order, as it was sent (failed ones too).
    std::vector<TDeviceWrite> Writes;

    [[nodiscard]] bool Refused() const { return !Error.Source.empty(); }
};

/// The Apply sequence from the opening to the closing update bracket. Both mode profiles are
/// encoded first: a profile the mouse cannot hold stops Apply before anything is sent. The
/// caller tests that the mouse is present. `notice` is the second byte of the settings notice.
/// Every step is sent even after one failed; the failures are in the result.
ApplyResult ApplyDeviceSequence(TuiHIDData& hid, ApplyProfiles& profiles, std::uint8_t notice, const ApplyHooks& hooks);

/// Memory that does not hold what was written to it.
struct DifferingBytes {
    std::uint16_t First = 0; // first address that differs
    std::uint16_t Last = 0; // last address of the run
    std::string What; // the write it belongs to
};

struct VerifyResult {
    /// Runs of addresses whose bytes differ from the writes, in the order of the writes.
    std::vector<DifferingBytes> Differing;
    /// The writes that could not be read back, and the error of the first such read.
    std::vector<std::string> Unread;
    std::uint32_t FirstError = 0;

    [[nodiscard]] bool Matches() const { return Differing.empty() && Unread.empty(); }
};

/// Reads back every block of `writes` and compares it with what was written; where the same
/// address was written twice, the later write counts. Needs a mouse that answers memory reads.
[[nodiscard]] VerifyResult VerifyDeviceWrites(TuiHIDData& hid, const std::vector<TDeviceWrite>& writes);

/// A profile button's device half for the profile now current: set selector, settings notice
/// (1, `currentGame`), then the light preview of `profile` with its wheel light.
[[nodiscard]] std::uint32_t ProfileSwitchSequence(
    TuiHIDData& hid, int profileIndex, std::uint8_t currentGame, const TMOUSECONFIGINFO& profile);

} // namespace bv
