#include "platform/ini_file.h"

#include "platform/atomic_file.h"
#include "util/ascii.h"
#include "util/utf16.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace bv::platform {

namespace {

// config.ini is a few kilobytes; refuse to pull anything absurd into memory.
constexpr std::uintmax_t kMaxIniFile = 16u * 1024u * 1024u;

std::string_view trim(std::string_view s)
{
    constexpr std::string_view kBlanks = " \t\v\f";
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::string_view unquote(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// Text with a UTF-16 byte order mark becomes UTF-8; a UTF-8 mark is dropped; anything else is
// taken as it is, invalid UTF-8 included.
std::string_view toUtf8(std::string_view bytes, std::string& storage)
{
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        return bytes.size() >= mark.size()
            && std::equal(mark.begin(), mark.end(), bytes.begin(),
                [](unsigned char m, char b) { return m == static_cast<unsigned char>(b); });
    };
    if (startsWith({ 0xEF, 0xBB, 0xBF }))
        return bytes.substr(3);
    const bool littleEndian = startsWith({ 0xFF, 0xFE });
    if (!littleEndian && !startsWith({ 0xFE, 0xFF }))
        return bytes;

    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(littleEndian ? a | b << 8 : b | a << 8));
    }
    storage = util::utf16ToUtf8(units);
    return storage;
}

} // namespace

IniFile IniFile::load(const std::filesystem::path& file)
{
    try {
        if (auto bytes = readFile(file, kMaxIniFile))
            return parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    } catch (const std::filesystem::filesystem_error&) {
        // Unreadable settings read as no settings, as GetPrivateProfileString does.
    }
    return {};
}

IniFile IniFile::parse(std::string_view bytes)
{
    std::string converted;
    const std::string_view text = toUtf8(bytes, converted);

    IniFile ini;
    // Only the first of duplicate sections and keys counts; the sets keep parsing linear.
    std::unordered_set<std::string> seenSections;
    std::unordered_set<std::string> seenKeys;
    Section* current = nullptr;

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trim(text.substr(start, end - start));
        start = end + 1;

        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            // Without a closing bracket the line is read like any other.
            if (const auto close = line.rfind(']'); close != std::string_view::npos) {
                const std::string_view name = trim(line.substr(1, close - 1));
                if (seenSections.insert(util::AsciiLowered(name)).second) {
                    ini.sections_.push_back({ std::string(name), {} });
                    current = &ini.sections_.back();
                    // A fresh set, not clear() (nor "= {}", which clears): clearing walks every
                    // bucket an earlier big section grew, once per section.
                    seenKeys = std::unordered_set<std::string>();
                } else {
                    current = nullptr;
                }
                continue;
            }
        }
        if (!current)
            continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = trim(line.substr(0, equals));
        if (key.empty() || !seenKeys.insert(util::AsciiLowered(key)).second)
            continue;
        current->entries.emplace_back(std::string(key), std::string(unquote(trim(line.substr(equals + 1)))));
    }
    return ini;
}

bool IniFile::hasSection(std::string_view section) const
{
    return find(section) != nullptr;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    if (const Section* s = find(section)) {
        for (const auto& [name, value] : s->entries)
            if (util::SameIgnoringAsciiCase(name, key))
                return value;
    }
    return std::nullopt;
}

std::string IniFile::valueOr(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto v = value(section, key);
    return v ? std::move(*v) : std::string(fallback);
}

int IniFile::intValue(std::string_view section, std::string_view key, int fallback) const
{
    const auto v = value(section, key);
    if (!v)
        return fallback;
    std::string_view s = *v;
    const bool negative = s.starts_with('-');
    if (negative || s.starts_with('+'))
        s.remove_prefix(1);
    if (s.empty() || s.front() < '0' || s.front() > '9')
        return fallback;
    // Out-of-range numbers wrap around, as they do on Windows.
    std::uint32_t n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        n = n * 10u + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<int>(negative ? 0u - n : n);
}

std::vector<std::pair<std::string, std::string>> IniFile::section(std::string_view section) const
{
    const Section* s = find(section);
    return s ? s->entries : std::vector<std::pair<std::string, std::string>> {};
}

const IniFile::Section* IniFile::find(std::string_view section) const
{
    for (const auto& s : sections_)
        if (util::SameIgnoringAsciiCase(s.name, section))
            return &s;
    return nullptr;
}

} // namespace bv::platform
