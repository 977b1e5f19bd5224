#include "macros/macro_name.h"

#include "settings/uiProfile.h"
#include "util/utf16.h"
#include "util/utf8_path.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace bv {

namespace {

std::u16string nameUnits(std::string_view name)
{
    std::u16string units = util::utf8ToUtf16(name.substr(0, name.find('\0')));
    if (units.size() > static_cast<std::size_t>(kMacroNameUnits)) {
        std::size_t keep = kMacroNameUnits;
        // A high surrogate without its partner would turn into a replacement character.
        if (units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF)
            --keep;
        units.resize(keep);
    }
    return units;
}

std::u16string_view fieldUnits(const TMACROKEYINFO& macro)
{
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(kMacroNameUnits) && macro.szMacroName[n] != 0)
        ++n;
    return { macro.szMacroName, n };
}

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows opens the device instead of a file for these, whatever follows the first dot.
bool isDeviceName(std::string_view name)
{
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(), asciiUpper);
    static constexpr std::array<std::string_view, 4> fixed { "CON", "PRN", "AUX", "NUL" };
    if (std::find(fixed.begin(), fixed.end(), base) != fixed.end())
        return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' && base[3] <= '9';
}

} // namespace

std::string CutMacroName(std::string_view name)
{
    return util::utf16ToUtf8(nameUnits(name));
}

std::string MacroName(const TMACROKEYINFO& macro)
{
    return util::utf16ToUtf8(fieldUnits(macro));
}

void SetMacroName(TMACROKEYINFO& macro, std::string_view name)
{
    const std::u16string units = nameUnits(name);
    char16_t field[kMacroNameUnits] = {};
    units.copy(field, units.size());
    std::memcpy(macro.szMacroName, field, sizeof field);
}

bool MacroNameEquals(const TMACROKEYINFO& macro, std::string_view name)
{
    return fieldUnits(macro) == util::utf8ToUtf16(name);
}

bool MacroNamesEqual(const TMACROKEYINFO& a, const TMACROKEYINFO& b)
{
    return fieldUnits(a) == fieldUnits(b);
}

std::optional<std::string> MacroRecordFileNameProblem(const TMACROKEYINFO& macro)
{
    const std::u16string_view units = fieldUnits(macro);
    // A lone surrogate comes back as a replacement character, which would name a file that is
    // not this macro's.
    if (util::utf8ToUtf16(util::utf16ToUtf8(units)) != units)
        return "The name holds half of a character; rename the macro.";
    return MacroFileNameProblem(MacroName(macro));
}

std::optional<std::string> MacroFileNameProblem(std::string_view name)
{
    if (name.empty())
        return "A macro without a name cannot be saved to a file; give it a name.";
    const std::u16string units = util::utf8ToUtf16(name);
    // Broken text would name a different file on each system, or none at all.
    if (util::utf16ToUtf8(units) != name)
        return "The name is not valid text; rename the macro.";
    if (units.size() > static_cast<std::size_t>(kMacroNameUnits))
        return "The name is longer than " + std::to_string(kMacroNameUnits) + " characters.";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return "A file name cannot contain control characters; rename the macro.";
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return std::string("A file name cannot contain the character \"") + c + "\"; rename the macro.";
    }
    if (isDeviceName(name))
        return "The name \"" + std::string(name.substr(0, name.find('.')))
            + "\" is reserved for a device and cannot name a file; rename the macro.";
    return std::nullopt;
}

std::string MacroFileText(const std::string& folder, std::string_view name)
{
    // Control characters would cut or garble the message they end up in.
    std::string shown;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            shown += { '\\', 'x', kHex[u >> 4], kHex[u & 0xF] };
        } else {
            shown.push_back(c);
        }
    }
    return WithTrailingSeparator(folder) + shown + kMacroFileExtension;
}

std::filesystem::path MacroFilePath(const std::string& folder, std::string_view name)
{
    // An empty folder would put the file in whatever the working folder happens to be.
    if (folder.empty())
        throw MacroFileError("Cannot save macro \"" + std::string(name) + "\": the profile has no macro folder.", {});
    if (const auto problem = MacroFileNameProblem(name))
        throw MacroFileError("Cannot create file \"" + MacroFileText(folder, name) + "\". " + *problem, {});
    return util::PathFromUtf8(folder) / util::PathFromUtf8(std::string(name) + kMacroFileExtension);
}

} // namespace bv
