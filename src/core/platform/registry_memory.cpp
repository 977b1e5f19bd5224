#include "platform/registry.h"
#include "platform/registry_names.h"
#include "util/ascii.h"

#include <map>
#include <mutex>

namespace bv::platform {

namespace {

using namespace registry_detail;

class MemoryRegistry final : public Registry {
public:
    bool keyExists(RootKey root, const std::string& keyPath) const override
    {
        std::lock_guard lock(mutex_);
        return findKey(root, keyPath) != nullptr;
    }

    bool createKey(RootKey root, const std::string& keyPath) override
    {
        if (!isKnownRoot(root))
            return false;
        std::lock_guard lock(mutex_);
        std::string id = rootId(root);
        keys_.try_emplace(id);
        for (const auto& part : splitKeyPath(keyPath)) {
            id += '\\' + util::AsciiLowered(part);
            keys_.try_emplace(id);
        }
        return true;
    }

    bool valueExists(RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        std::lock_guard lock(mutex_);
        return findValue(root, keyPath, name) != nullptr;
    }

    std::optional<std::vector<std::uint8_t>> readBinary(
        RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        std::lock_guard lock(mutex_);
        const Value* value = findValue(root, keyPath, name);
        if (!value)
            return std::nullopt;
        if (value->type != ValueType::Binary)
            throwWrongType(root, keyPath, name, ValueType::Binary, static_cast<std::uint32_t>(value->type));
        return value->data;
    }

    std::optional<std::uint32_t> readDword(
        RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        std::lock_guard lock(mutex_);
        const Value* value = findValue(root, keyPath, name);
        if (!value)
            return std::nullopt;
        if (value->type != ValueType::Dword)
            throwWrongType(root, keyPath, name, ValueType::Dword, static_cast<std::uint32_t>(value->type));
        const auto& d = value->data;
        return static_cast<std::uint32_t>(d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24);
    }

    void writeBinary(
        RootKey root, const std::string& keyPath, const std::string& name, std::span<const std::uint8_t> data) override
    {
        write(root, keyPath, name, ValueType::Binary, { data.begin(), data.end() });
    }

    void writeDword(RootKey root, const std::string& keyPath, const std::string& name, std::uint32_t value) override
    {
        write(root, keyPath, name, ValueType::Dword,
            { static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24) });
    }

private:
    struct Value {
        std::string name; // spelling of the first write
        ValueType type;
        std::vector<std::uint8_t> data;
    };
    using Key = std::map<std::string, Value>; // folded value name -> value

    static std::string rootId(RootKey root) { return std::to_string(static_cast<std::uint32_t>(root)); }

    static std::string keyId(RootKey root, const std::string& keyPath)
    {
        std::string id = rootId(root);
        for (const auto& part : splitKeyPath(keyPath))
            id += '\\' + util::AsciiLowered(part);
        return id;
    }

    const Key* findKey(RootKey root, const std::string& keyPath) const
    {
        if (!isKnownRoot(root))
            return nullptr;
        const std::string id = keyId(root, keyPath);
        const auto it = keys_.find(id);
        if (it != keys_.end())
            return &it->second;
        // Root keys always exist, even before anything was written into them.
        static const Key empty;
        return id == rootId(root) ? &empty : nullptr;
    }

    const Value* findValue(RootKey root, const std::string& keyPath, const std::string& name) const
    {
        const Key* key = findKey(root, keyPath);
        if (!key)
            return nullptr;
        const auto it = key->find(util::AsciiLowered(name));
        return it == key->end() ? nullptr : &it->second;
    }

    void write(RootKey root, const std::string& keyPath, const std::string& name, ValueType type,
        std::vector<std::uint8_t> data)
    {
        std::lock_guard lock(mutex_);
        if (!findKey(root, keyPath))
            throwNoKey(root, keyPath, name);
        Key& key = keys_[keyId(root, keyPath)];
        const auto it = key.try_emplace(util::AsciiLowered(name), Value { name, type, {} }).first;
        it->second.type = type;
        it->second.data = std::move(data);
    }

    mutable std::mutex mutex_;
    std::map<std::string, Key> keys_; // "<root>\\folded\\path" -> values
};

} // namespace

std::unique_ptr<Registry> openMemoryRegistry()
{
    return std::make_unique<MemoryRegistry>();
}

} // namespace bv::platform
