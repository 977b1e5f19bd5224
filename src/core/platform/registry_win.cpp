#include "platform/registry.h"

#include "platform/registry_names.h"
#include "platform/win_text.h"

#include <windows.h>

#include <system_error>

namespace bv::platform {

namespace {

using namespace registry_detail;

HKEY rootHandle(RootKey root)
{
    switch (root) {
    case RootKey::CurrentUser:
        return HKEY_CURRENT_USER;
    case RootKey::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    default:
        return nullptr;
    }
}

// Backslash-joined key path without empty components, as the Win32 calls expect it.
std::wstring keyPathW(const std::string& keyPath)
{
    std::string joined;
    for (const auto& part : splitKeyPath(keyPath)) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return win::wide(joined);
}

[[noreturn]] void throwWin32(
    LONG error, RootKey root, const std::string& keyPath, const std::string& name, const char* what)
{
    throw std::system_error(static_cast<int>(error), std::system_category(),
        std::string(what) + " registry value \"" + name + "\" in " + describeKey(root, keyPath));
}

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (h_)
            RegCloseKey(h_);
    }
    HKEY* out() { return &h_; }
    HKEY get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

LONG openKey(RootKey root, const std::string& keyPath, REGSAM access, Key& key)
{
    HKEY base = rootHandle(root);
    if (!base)
        return ERROR_FILE_NOT_FOUND;
    return RegOpenKeyExW(base, keyPathW(keyPath).c_str(), 0, access, key.out());
}

class Win32Registry final : public Registry {
public:
    bool keyExists(RootKey root, const std::string& keyPath) const override
    {
        Key key;
        return openKey(root, keyPath, KEY_READ, key) == ERROR_SUCCESS;
    }

    bool createKey(RootKey root, const std::string& keyPath) override
    {
        HKEY base = rootHandle(root);
        if (!base)
            return false;
        Key key;
        return RegCreateKeyExW(base, keyPathW(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                   KEY_READ | KEY_WRITE, nullptr, key.out(), nullptr)
            == ERROR_SUCCESS;
    }

    bool valueExists(RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        Key key;
        if (openKey(root, keyPath, KEY_QUERY_VALUE, key) != ERROR_SUCCESS)
            return false;
        return RegQueryValueExW(key.get(), win::wide(name).c_str(), nullptr, nullptr, nullptr, nullptr)
            == ERROR_SUCCESS;
    }

    std::optional<std::vector<std::uint8_t>> readBinary(
        RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        auto value = read(root, keyPath, name, ValueType::Binary);
        if (!value)
            return std::nullopt;
        return value;
    }

    std::optional<std::uint32_t> readDword(
        RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        auto value = read(root, keyPath, name, ValueType::Dword);
        if (!value)
            return std::nullopt;
        if (value->size() != 4)
            throwDamaged(
                root, keyPath, name, "a REG_DWORD of " + std::to_string(value->size()) + " bytes instead of 4");
        return static_cast<std::uint32_t>((*value)[0] | (*value)[1] << 8 | (*value)[2] << 16)
            | static_cast<std::uint32_t>((*value)[3]) << 24;
    }

    void writeBinary(
        RootKey root, const std::string& keyPath, const std::string& name, std::span<const std::uint8_t> data) override
    {
        write(root, keyPath, name, REG_BINARY, data.data(), data.size());
    }

    void writeDword(RootKey root, const std::string& keyPath, const std::string& name, std::uint32_t value) override
    {
        const std::uint8_t bytes[4] = { static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24) };
        write(root, keyPath, name, REG_DWORD, bytes, 4);
    }

private:
    static std::optional<std::vector<std::uint8_t>> read(
        RootKey root, const std::string& keyPath, const std::string& name, ValueType asked)
    {
        Key key;
        if (openKey(root, keyPath, KEY_QUERY_VALUE, key) != ERROR_SUCCESS)
            return std::nullopt;
        const std::wstring valueName = win::wide(name);
        for (;;) {
            DWORD type = 0, size = 0;
            LONG rc = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
            if (rc == ERROR_FILE_NOT_FOUND)
                return std::nullopt;
            if (rc != ERROR_SUCCESS)
                throwWin32(rc, root, keyPath, name, "cannot read");
            if (type != static_cast<DWORD>(asked))
                throwWrongType(root, keyPath, name, asked, type);
            std::vector<std::uint8_t> data(size);
            DWORD got = size;
            rc = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, data.data(), &got);
            if (rc == ERROR_MORE_DATA)
                continue; // grew since we asked its size
            if (rc == ERROR_FILE_NOT_FOUND)
                return std::nullopt;
            if (rc != ERROR_SUCCESS)
                throwWin32(rc, root, keyPath, name, "cannot read");
            if (type != static_cast<DWORD>(asked))
                throwWrongType(root, keyPath, name, asked, type);
            data.resize(got);
            return data;
        }
    }

    static void write(RootKey root, const std::string& keyPath, const std::string& name, DWORD type,
        const std::uint8_t* data, std::size_t size)
    {
        Key key;
        const LONG open = openKey(root, keyPath, KEY_SET_VALUE, key);
        if (open == ERROR_FILE_NOT_FOUND || open == ERROR_PATH_NOT_FOUND)
            throwNoKey(root, keyPath, name);
        if (open != ERROR_SUCCESS)
            throwWin32(open, root, keyPath, name, "cannot write");
        const LONG rc = RegSetValueExW(key.get(), win::wide(name).c_str(), 0, type, data, static_cast<DWORD>(size));
        if (rc != ERROR_SUCCESS)
            throwWin32(rc, root, keyPath, name, "cannot write");
    }
};

} // namespace

std::filesystem::path userRegistryFolder()
{
    return {};
}

std::unique_ptr<Registry> openUserRegistry()
{
    return std::make_unique<Win32Registry>();
}

} // namespace bv::platform
