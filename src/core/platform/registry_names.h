#pragma once
// Name rules and errors shared by the registry implementations (not a public interface).

#include "platform/registry.h"

#include <string>
#include <string_view>
#include <vector>

namespace bv::platform::registry_detail {

// Registry names compare without regard to ASCII case (util::SameIgnoringAsciiCase); other bytes
// compare exactly.
/// The components of a backslash-separated key path, empty ones dropped ("" is the root key).
std::vector<std::string> splitKeyPath(std::string_view keyPath);
/// "HKEY_CURRENT_USER\\software\\x" for messages.
std::string describeKey(RootKey root, std::string_view keyPath);
/// True for the roots a registry holds (CurrentUser and LocalMachine).
[[nodiscard]] bool isKnownRoot(RootKey root);

[[noreturn]] void throwWrongType(
    RootKey root, std::string_view keyPath, std::string_view name, ValueType asked, std::uint32_t stored);
[[noreturn]] void throwDamaged(RootKey root, std::string_view keyPath, std::string_view name, std::string_view why);
[[noreturn]] void throwNoKey(RootKey root, std::string_view keyPath, std::string_view name);

} // namespace bv::platform::registry_detail
