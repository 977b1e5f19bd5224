#pragma once
// The per-user settings store: the Windows registry, or a file tree that behaves like it.

#include "platform/file_system.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bv::platform {

/// Registry root keys; the values are the Windows handle values so they can be stored and compared.
enum class RootKey : std::uint32_t {
    None = 0,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

/// Registry value types this program reads and writes.
enum class ValueType : std::uint32_t {
    Binary = 3, // REG_BINARY
    Dword = 4, // REG_DWORD
};

/// Hierarchical key/value store with case-insensitive key and value names.
/// Key paths use backslashes ("software\\BrisvaneGMMouse").
/// Reads return nullopt for a missing key or value and throw std::system_error for a value of
/// another type or an unreadable store; writes throw std::system_error when they fail.
class Registry {
public:
    virtual ~Registry() = default;

    [[nodiscard]] virtual bool keyExists(RootKey root, const std::string& keyPath) const = 0;
    /// Creates the key and its parents; false when it cannot be created.
    [[nodiscard]] virtual bool createKey(RootKey root, const std::string& keyPath) = 0;

    [[nodiscard]] virtual bool valueExists(RootKey root, const std::string& keyPath, const std::string& name) const = 0;
    [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> readBinary(
        RootKey root, const std::string& keyPath, const std::string& name) const = 0;
    [[nodiscard]] virtual std::optional<std::uint32_t> readDword(
        RootKey root, const std::string& keyPath, const std::string& name) const = 0;
    /// Writes a value into an existing key, replacing a value of the same name whatever its type.
    virtual void writeBinary(
        RootKey root, const std::string& keyPath, const std::string& name, std::span<const std::uint8_t> data)
        = 0;
    virtual void writeDword(RootKey root, const std::string& keyPath, const std::string& name, std::uint32_t value) = 0;
};

/// The current user's registry: the Windows registry, or on POSIX the file tree under
/// $XDG_CONFIG_HOME/bvconfig/registry (default ~/.config/bvconfig/registry).
std::unique_ptr<Registry> openUserRegistry();

/// Where the current user's registry keeps its files (POSIX); empty where it is the system's own.
std::filesystem::path userRegistryFolder();

/// A registry kept as files below `root` (one folder per root key and key, one file per value),
/// in `files` (the disk unless given).
std::unique_ptr<Registry> openFileRegistry(const std::filesystem::path& root, FileSystem& files = diskFileSystem());

/// A registry that lives in memory only; for tests and fuzzing.
std::unique_ptr<Registry> openMemoryRegistry();

} // namespace bv::platform
