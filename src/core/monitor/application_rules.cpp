#include "monitor/application_rules.h"

#include "settings/record_text.h"
#include "util/ascii.h"

#include <algorithm>
#include <cstring>

namespace bv::monitor {

namespace {

bool IsSeparator(char c, PathCompare compare)
{
    return c == '/' || (compare == PathCompare::Windows && c == '\\');
}

bool SamePath(std::string_view a, std::string_view b, PathCompare compare)
{
    if (compare == PathCompare::Posix)
        return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        if (IsSeparator(x, PathCompare::Windows) && IsSeparator(y, PathCompare::Windows))
            return true;
        return util::AsciiLower(x) == util::AsciiLower(y);
    });
}

std::string_view FileName(std::string_view path, PathCompare compare)
{
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1], compare))
            return path.substr(i);
    return path;
}

bool IsBareName(std::string_view entry, PathCompare compare)
{
    if (compare == PathCompare::Windows && entry.find(':') != std::string_view::npos)
        return false; // "C:game.exe" names a drive
    return FileName(entry, compare).size() == entry.size();
}

// Users paste paths with the quotes a shell or a file manager adds, or with stray spaces.
std::string_view Trimmed(std::string_view text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

constexpr std::size_t kPathUnits = sizeof(TPROFILE_MACRO_PATH::FilePath) / sizeof(char16_t);

// Written without gaps: a record edited elsewhere may hold empty entries in between. A path too
// long for an entry is cut where the record's text ends.
void WritePaths(TMOUSECONFIGINFO& config, const std::vector<std::string>& paths)
{
    for (int i = 0; i < kApplicationListSize; ++i) {
        std::memset(config.ApplicationList[i].FilePath, 0, sizeof config.ApplicationList[i].FilePath);
        if (i < static_cast<int>(paths.size()))
            (void)SetRecordText(config.ApplicationList[i].FilePath, paths[i]);
    }
}

} // namespace

bool ApplicationMatches(std::string_view entry, std::string_view program, PathCompare compare)
{
    entry = Trimmed(entry);
    if (entry.empty() || program.empty())
        return false;
    if (IsBareName(entry, compare))
        return SamePath(entry, FileName(program, compare), compare);
    return SamePath(entry, program, compare);
}

ProfileApplications ReadProfileApplications(const TMOUSECONFIGINFO& config)
{
    ProfileApplications result;
    result.AutoSwitch = config.AutoSwitchProfileWhenAppRun != 0;
    for (const TPROFILE_MACRO_PATH& entry : config.ApplicationList) {
        std::string path(Trimmed(RecordText(entry.FilePath)));
        if (!path.empty())
            result.Paths.push_back(std::move(path));
    }
    return result;
}

ApplicationRules::ApplicationRules(std::array<ProfileApplications, kRuleProfileCount> profiles, PathCompare compare)
    : FProfiles(std::move(profiles))
    , FCompare(compare)
{
}

bool ApplicationRules::Active() const
{
    return std::any_of(FProfiles.begin(), FProfiles.end(),
        [](const ProfileApplications& p) { return p.AutoSwitch && !p.Paths.empty(); });
}

std::optional<int> ApplicationRules::ProfileFor(std::string_view program) const
{
    std::optional<int> byName;
    for (int i = 0; i < kRuleProfileCount; ++i) {
        const ProfileApplications& profile = FProfiles[i];
        if (!profile.AutoSwitch)
            continue;
        for (const std::string& entry : profile.Paths) {
            if (!ApplicationMatches(entry, program, FCompare))
                continue;
            if (!IsBareName(Trimmed(entry), FCompare))
                return i;
            if (!byName)
                byName = i;
        }
    }
    return byName;
}

ApplicationEdit AddApplication(TMOUSECONFIGINFO& config, std::string_view path, PathCompare compare)
{
    path = Trimmed(path);
    if (path.empty())
        return ApplicationEdit::Empty;
    if (RecordTextUnits(path) + 1 > kPathUnits)
        return ApplicationEdit::TooLong;
    const ProfileApplications listed = ReadProfileApplications(config);
    for (const std::string& entry : listed.Paths)
        if (SamePath(entry, path, compare))
            return ApplicationEdit::AlreadyListed;
    if (listed.Paths.size() >= kApplicationListSize)
        return ApplicationEdit::ListFull;
    std::vector<std::string> paths = listed.Paths;
    paths.emplace_back(path);
    WritePaths(config, paths);
    if (listed.Paths.empty())
        config.AutoSwitchProfileWhenAppRun = 1;
    return ApplicationEdit::Done;
}

ApplicationEdit RemoveApplication(TMOUSECONFIGINFO& config, std::string_view path, PathCompare compare)
{
    path = Trimmed(path);
    if (path.empty())
        return ApplicationEdit::Empty;
    std::vector<std::string> paths = ReadProfileApplications(config).Paths;
    const auto it = std::find_if(
        paths.begin(), paths.end(), [&](const std::string& entry) { return SamePath(entry, path, compare); });
    if (it == paths.end())
        return ApplicationEdit::NotListed;
    paths.erase(it);
    WritePaths(config, paths);
    return ApplicationEdit::Done;
}

void WriteProfileApplications(TMOUSECONFIGINFO& config, const ProfileApplications& applications)
{
    WritePaths(config, applications.Paths);
    SetAutoSwitch(config, applications.AutoSwitch);
}

void SetAutoSwitch(TMOUSECONFIGINFO& config, bool on)
{
    config.AutoSwitchProfileWhenAppRun = on ? 1 : 0;
}

const char* ApplicationEditText(ApplicationEdit result)
{
    switch (result) {
    case ApplicationEdit::Done:
        return "";
    case ApplicationEdit::Empty:
        return "No program was given.";
    case ApplicationEdit::TooLong:
        return "The program's path is too long (at most 512 characters).";
    case ApplicationEdit::AlreadyListed:
        return "The program is in the list already.";
    case ApplicationEdit::ListFull:
        return "The list is full: a profile holds at most ten programs.";
    case ApplicationEdit::NotListed:
        return "The program is not in the list.";
    }
    return "";
}

} // namespace bv::monitor
