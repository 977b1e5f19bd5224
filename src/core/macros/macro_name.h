#pragma once
// Macro names: how they sit in the record and how a macro's file is named after them. Every
// place that builds a macro file name goes through MacroFilePath, so no name leaves its folder.

#include "settings/macro_records.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace bv {

inline constexpr char kMacroFileExtension[] = ".macro";

/// A macro file that could not be written or a name that cannot name one; what() is for the user.
class MacroFileError : public std::runtime_error {
public:
    MacroFileError(const std::string& message, std::filesystem::path file)
        : std::runtime_error(message)
        , file_(std::move(file))
    {
    }
    /// The file or folder concerned; empty when there is none.
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
};

/// The name as the record keeps it: up to the first zero character and at most 50 UTF-16 units,
/// never cutting a character in half.
std::string CutMacroName(std::string_view name);

/// The macro's name (UTF-8), read up to its first zero unit or the end of the field.
std::string MacroName(const TMACROKEYINFO& macro);

/// Writes CutMacroName(name) into the name field and zeroes the units after it.
void SetMacroName(TMACROKEYINFO& macro, std::string_view name);

/// True when the macro's name equals `name` exactly (case-sensitive, no cutting).
[[nodiscard]] bool MacroNameEquals(const TMACROKEYINFO& macro, std::string_view name);
/// True when two records hold the same name, unit for unit: a name cut inside a two-unit
/// character by an older program still matches itself.
[[nodiscard]] bool MacroNamesEqual(const TMACROKEYINFO& a, const TMACROKEYINFO& b);

/// Why the record's name cannot name a macro file (see MacroFileNameProblem), also when it holds
/// half of a two-unit character; nullopt when it can.
[[nodiscard]] std::optional<std::string> MacroRecordFileNameProblem(const TMACROKEYINFO& macro);

/// Why `name` cannot be used for a macro file, in words for the user; nullopt when it can.
/// The same names are refused on every system, so a profile behaves alike wherever it is used:
/// an empty name, one longer than 50 units or not valid UTF-8, control characters, the characters < > : " / \ | ? *
/// and the device names of Windows (CON, PRN, AUX, NUL, COM1-9, LPT1-9). Every other name is used
/// byte for byte, so files written by earlier versions still match.
[[nodiscard]] std::optional<std::string> MacroFileNameProblem(std::string_view name);

/// The text of `<folder><separator><name>.macro` for messages; control characters shown as \xNN.
std::string MacroFileText(const std::string& folder, std::string_view name);

/// The file of macro `name` in `folder`. Throws MacroFileError for an empty folder, and with the message
/// "Cannot create file "<file>". <reason>", when MacroFileNameProblem refuses the name.
std::filesystem::path MacroFilePath(const std::string& folder, std::string_view name);

} // namespace bv
