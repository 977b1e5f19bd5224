#pragma once
// Reading INI settings files with the rules of GetPrivateProfileString.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bv::platform {

/// An INI file read once into memory. Section and key names compare without regard to ASCII case;
/// the first of duplicate sections or keys wins, as Windows does.
class IniFile {
public:
    /// Reads a file; a missing or unreadable file gives an empty IniFile.
    static IniFile load(const std::filesystem::path& file);
    /// Parses INI text: UTF-8 (with or without BOM) or UTF-16LE with BOM.
    static IniFile parse(std::string_view bytes);

    [[nodiscard]] bool hasSection(std::string_view section) const;
    /// The value of a key, trimmed, with one pair of enclosing quotes removed; nullopt when absent.
    [[nodiscard]] std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string valueOr(std::string_view section, std::string_view key, std::string_view fallback) const;
    /// Like GetPrivateProfileInt: leading decimal digits (with sign), else the fallback.
    int intValue(std::string_view section, std::string_view key, int fallback) const;
    /// The keys of a section in file order with their values.
    std::vector<std::pair<std::string, std::string>> section(std::string_view section) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const Section* find(std::string_view section) const;
    std::vector<Section> sections_;
};

} // namespace bv::platform
