#pragma once
// The readable sources of "ui.local": one UTF-8 text file per language, built into the binary
// language file by `bvctl lang build`.
//
//   # A comment. Blank lines are ignored.
//   @id 0804                      the language's short ID, four hex digits
//   @position 1                   its place in the language file, counted from 0
//   "Apply" = "应用"              a source text and its translation
//
// The English file also says `@source`: its entries are bare texts ("Apply"), they make the
// source-text list, and its table translates each text to itself. Texts are written in double
// quotes with \" and \\ as the only escapes, so leading and trailing spaces stay visible.

#include "ui/uiLanguage.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bv {

/// A source file that cannot be used; what() names the file and line.
struct LanguageSourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// One parsed source file.
struct LanguageSource {
    std::string Name; // the file, for messages
    std::string ShortID;
    int Position = -1;
    bool IsSourceList = false;
    std::vector<std::pair<std::string, std::string>> Entries; // (source, translation) in file order
};

/// Parses one source file's text; `name` prefixes the messages. Throws LanguageSourceError.
LanguageSource ParseLanguageSource(std::string_view text, const std::string& name);

/// Reads every "*.lang" file of a folder, ordered by position. Throws LanguageSourceError.
std::vector<LanguageSource> ReadLanguageSources(const std::filesystem::path& folder);

/// Checks that the sources form one language file (one source list, positions 0..n-1, unique IDs,
/// every translation file translating exactly the source texts) and builds it: the source texts
/// sorted, each table in that order. Throws LanguageSourceError listing what is wrong.
LanguageFile BuildLanguageFile(const std::vector<LanguageSource>& sources);

} // namespace bv
