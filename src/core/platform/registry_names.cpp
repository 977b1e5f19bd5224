#include "platform/registry_names.h"

#include <algorithm>
#include <system_error>

namespace bv::platform::registry_detail {

namespace {

std::string typeName(std::uint32_t type)
{
    switch (type) {
    case static_cast<std::uint32_t>(ValueType::Binary):
        return "REG_BINARY";
    case static_cast<std::uint32_t>(ValueType::Dword):
        return "REG_DWORD";
    default:
        return "type " + std::to_string(type);
    }
}

std::string describeValue(RootKey root, std::string_view keyPath, std::string_view name)
{
    return "registry value \"" + std::string(name) + "\" in " + describeKey(root, keyPath);
}

} // namespace

std::vector<std::string> splitKeyPath(std::string_view keyPath)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= keyPath.size()) {
        std::size_t end = keyPath.find('\\', start);
        if (end == std::string_view::npos)
            end = keyPath.size();
        if (end > start)
            parts.emplace_back(keyPath.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string describeKey(RootKey root, std::string_view keyPath)
{
    std::string text;
    switch (root) {
    case RootKey::CurrentUser:
        text = "HKEY_CURRENT_USER";
        break;
    case RootKey::LocalMachine:
        text = "HKEY_LOCAL_MACHINE";
        break;
    default:
        text = "<no root key>";
        break;
    }
    for (const auto& part : splitKeyPath(keyPath))
        text += "\\" + part;
    return text;
}

bool isKnownRoot(RootKey root)
{
    return root == RootKey::CurrentUser || root == RootKey::LocalMachine;
}

namespace {

// The program's own sentence; the code is only there for callers that test it, and its text
// ("Invalid or incomplete multibyte or wide character") would mislead.
class RegistryError final : public std::system_error {
public:
    RegistryError(std::errc code, std::string text)
        : std::system_error(std::make_error_code(code), text)
        , FText(std::move(text))
    {
    }
    const char* what() const noexcept override { return FText.c_str(); }

private:
    std::string FText;
};

} // namespace

void throwWrongType(
    RootKey root, std::string_view keyPath, std::string_view name, ValueType asked, std::uint32_t stored)
{
    throw RegistryError(std::errc::invalid_argument,
        describeValue(root, keyPath, name) + " holds " + typeName(stored) + ", not "
            + typeName(static_cast<std::uint32_t>(asked)));
}

void throwDamaged(RootKey root, std::string_view keyPath, std::string_view name, std::string_view why)
{
    throw RegistryError(std::errc::illegal_byte_sequence,
        describeValue(root, keyPath, name) + " is damaged (" + std::string(why) + "); write it again or delete it");
}

void throwNoKey(RootKey root, std::string_view keyPath, std::string_view name)
{
    throw RegistryError(std::errc::no_such_file_or_directory,
        "cannot write " + describeValue(root, keyPath, name) + ": the key does not exist");
}

} // namespace bv::platform::registry_detail
