#pragma once
// Which game profile an application belongs to: each profile's list of up to ten programs and its
// switch, read from the profile records, and the path comparison the system itself uses.

#include "settings/pubunit_solmarch.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bv::monitor {

inline constexpr int kApplicationListSize = 10;
inline constexpr int kRuleProfileCount = 5;

/// How the system tells two paths apart.
enum class PathCompare {
    Posix, // byte for byte; '/' is the only separator
    Windows, // letter case ignored (ASCII), '/' and '\' are the same separator
};

#ifdef _WIN32
inline constexpr PathCompare kSystemPathCompare = PathCompare::Windows;
#else
inline constexpr PathCompare kSystemPathCompare = PathCompare::Posix;
#endif

/// True when `program` (the full path of a running program) is the program that the list entry
/// names: the same path, or, for an entry that is a bare file name, the same file name in any folder.
[[nodiscard]] bool ApplicationMatches(std::string_view entry, std::string_view program, PathCompare compare);

/// One profile's programs as stored: the non-empty entries of its list, in list order.
struct ProfileApplications {
    bool AutoSwitch = false;
    std::vector<std::string> Paths;

    bool operator==(const ProfileApplications&) const = default;
};

/// Reads a profile's list and switch; entries that are not valid text are read as far as they are.
ProfileApplications ReadProfileApplications(const TMOUSECONFIGINFO& config);

/// The rules of all five profiles.
class ApplicationRules {
public:
    ApplicationRules() = default;
    ApplicationRules(
        std::array<ProfileApplications, kRuleProfileCount> profiles, PathCompare compare = kSystemPathCompare);

    /// True when some profile switches on and lists a program: only then is the focus watched.
    [[nodiscard]] bool Active() const;
    /// The profile whose list holds the program (a full path beats a bare name; then the lowest
    /// profile), or nullopt. Profiles whose switch is off never match.
    [[nodiscard]] std::optional<int> ProfileFor(std::string_view program) const;

    const ProfileApplications& Profile(int index) const { return FProfiles.at(index); }
    bool operator==(const ApplicationRules&) const = default;

private:
    std::array<ProfileApplications, kRuleProfileCount> FProfiles {};
    PathCompare FCompare = kSystemPathCompare;
};

/// Why an edit of a profile's list was refused.
enum class ApplicationEdit {
    Done,
    Empty, // no path given
    TooLong, // more than the record's 512 UTF-16 units
    AlreadyListed, // the same program is in the list already
    ListFull, // ten programs listed
    NotListed, // nothing to remove
};

/// Adds a program to the profile's list; adding the first one switches the profile's automatic
/// switching on. Changes nothing unless it returns Done.
[[nodiscard]] ApplicationEdit AddApplication(
    TMOUSECONFIGINFO& config, std::string_view path, PathCompare compare = kSystemPathCompare);
/// Removes the entry naming exactly this program (as the system compares paths); the entries
/// after it move up so the list stays without gaps.
[[nodiscard]] ApplicationEdit RemoveApplication(
    TMOUSECONFIGINFO& config, std::string_view path, PathCompare compare = kSystemPathCompare);
void SetAutoSwitch(TMOUSECONFIGINFO& config, bool on);
/// Makes the record's list and switch these (at most the first ten paths), as one edit.
void WriteProfileApplications(TMOUSECONFIGINFO& config, const ProfileApplications& applications);

/// The English text of a refused edit, for the user.
const char* ApplicationEditText(ApplicationEdit result);

} // namespace bv::monitor
