#include "platform/registry.h"

#include "platform/atomic_file.h"
#include "platform/registry_names.h"

#include <system_error>

namespace bv::platform {

namespace {

namespace fs = std::filesystem;
using namespace registry_detail;

// Profile images are about 110 KB; nothing we store comes near this.
constexpr std::uintmax_t kMaxValueFile = 16u * 1024u * 1024u;
constexpr std::size_t kHeaderSize = 4;

char hexDigit(unsigned v)
{
    return "0123456789ABCDEF"[v & 0xF];
}

// Turns a registry name into a file name that stays inside its folder: no '/', no "." or "..",
// no leading dot (reserved for temporary files), no control bytes. Value names may hold a
// backslash, key components cannot.
std::string escapeName(std::string_view name, bool isValue)
{
    // The unnamed (default) value; a lone '%' can never come out of escaping a real name.
    if (name.empty())
        return "%";
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const auto u = static_cast<unsigned char>(c);
        const bool escape
            = c == '/' || c == '%' || u < 0x20 || u == 0x7F || (i == 0 && c == '.') || (isValue && c == '\\');
        if (escape) {
            out += '%';
            out += hexDigit(u >> 4);
            out += hexDigit(u);
        } else {
            out += c;
        }
    }
    return out;
}

enum class Kind { Key, Value };

bool isKind(const fs::path& p, Kind kind)
{
    std::error_code ec;
    return kind == Kind::Key ? fs::is_directory(p, ec) : fs::is_regular_file(p, ec);
}

// The entry of `folder` whose name matches `fileName` without regard to ASCII case: keys are
// folders, values are files. An exact match wins; among other spellings the smallest, so the
// choice does not depend on the directory order.
std::optional<fs::path> findEntry(const fs::path& folder, const std::string& fileName, Kind kind)
{
    fs::path exact = folder / fileName;
    if (isKind(exact, kind))
        return exact;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || !sameName(name, fileName) || !isKind(it->path(), kind))
            continue;
        if (!best || name < *best)
            best = std::move(name);
    }
    if (!best)
        return std::nullopt;
    return folder / *best;
}

std::uint32_t readLe32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct StoredValue {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

class FileRegistry final : public Registry {
public:
    explicit FileRegistry(fs::path root)
        : root_(std::move(root))
    {
    }

    bool keyExists(RootKey root, const std::string& keyPath) const override
    {
        return keyFolder(root, keyPath).has_value();
    }

    bool createKey(RootKey root, const std::string& keyPath) override
    {
        if (!isKnownRoot(root))
            return false;
        fs::path folder = rootFolder(root);
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (!fs::is_directory(folder, ec))
            return false;
        for (const auto& part : splitKeyPath(keyPath)) {
            const std::string fileName = escapeName(part, false);
            if (auto existing = findEntry(folder, fileName, Kind::Key)) {
                folder = std::move(*existing);
                continue;
            }
            folder /= fileName;
            // Losing a race against another creator is fine; anything else in the way is not.
            std::error_code mkdirError;
            fs::create_directory(folder, mkdirError);
            if (mkdirError || !isKind(folder, Kind::Key))
                return false;
        }
        return true;
    }

    bool valueExists(RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        return valueFile(root, keyPath, name).has_value();
    }

    std::optional<std::vector<std::uint8_t>> readBinary(
        RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        auto value = read(root, keyPath, name);
        if (!value)
            return std::nullopt;
        if (value->type != static_cast<std::uint32_t>(ValueType::Binary))
            throwWrongType(root, keyPath, name, ValueType::Binary, value->type);
        return std::move(value->data);
    }

    std::optional<std::uint32_t> readDword(
        RootKey root, const std::string& keyPath, const std::string& name) const override
    {
        auto value = read(root, keyPath, name);
        if (!value)
            return std::nullopt;
        if (value->type != static_cast<std::uint32_t>(ValueType::Dword))
            throwWrongType(root, keyPath, name, ValueType::Dword, value->type);
        if (value->data.size() != 4)
            throwDamaged(
                root, keyPath, name, "a REG_DWORD of " + std::to_string(value->data.size()) + " bytes instead of 4");
        return readLe32(value->data.data());
    }

    void writeBinary(
        RootKey root, const std::string& keyPath, const std::string& name, std::span<const std::uint8_t> data) override
    {
        write(root, keyPath, name, ValueType::Binary, data);
    }

    void writeDword(RootKey root, const std::string& keyPath, const std::string& name, std::uint32_t value) override
    {
        std::vector<std::uint8_t> data;
        appendLe32(data, value);
        write(root, keyPath, name, ValueType::Dword, data);
    }

private:
    fs::path rootFolder(RootKey root) const { return root_ / (root == RootKey::CurrentUser ? "HKCU" : "HKLM"); }

    // The folder of an existing key. Root keys always exist, even before their folder does.
    std::optional<fs::path> keyFolder(RootKey root, const std::string& keyPath) const
    {
        if (!isKnownRoot(root))
            return std::nullopt;
        fs::path folder = rootFolder(root);
        for (const auto& part : splitKeyPath(keyPath)) {
            auto next = findEntry(folder, escapeName(part, false), Kind::Key);
            if (!next)
                return std::nullopt;
            folder = std::move(*next);
        }
        return folder;
    }

    std::optional<fs::path> valueFile(RootKey root, const std::string& keyPath, const std::string& name) const
    {
        const auto folder = keyFolder(root, keyPath);
        if (!folder)
            return std::nullopt;
        return findEntry(*folder, escapeName(name, true), Kind::Value);
    }

    std::optional<StoredValue> read(RootKey root, const std::string& keyPath, const std::string& name) const
    {
        const auto file = valueFile(root, keyPath, name);
        if (!file)
            return std::nullopt;
        auto bytes = readFile(*file, kMaxValueFile);
        if (!bytes)
            return std::nullopt; // removed since we looked
        if (bytes->size() < kHeaderSize)
            throwDamaged(root, keyPath, name, "shorter than its type header");
        return StoredValue { readLe32(bytes->data()), { bytes->begin() + kHeaderSize, bytes->end() } };
    }

    void write(RootKey root, const std::string& keyPath, const std::string& name, ValueType type,
        std::span<const std::uint8_t> data)
    {
        const auto folder = keyFolder(root, keyPath);
        if (!folder)
            throwNoKey(root, keyPath, name);
        if (splitKeyPath(keyPath).empty()) {
            std::error_code ec;
            fs::create_directories(*folder, ec);
            if (ec)
                throw fs::filesystem_error("cannot create the registry folder", *folder, ec);
        }
        // Rewriting under another spelling keeps the first one.
        const std::string fileName = escapeName(name, true);
        const fs::path target = findEntry(*folder, fileName, Kind::Value).value_or(*folder / fileName);

        std::vector<std::uint8_t> bytes;
        bytes.reserve(kHeaderSize + data.size());
        appendLe32(bytes, static_cast<std::uint32_t>(type));
        bytes.insert(bytes.end(), data.begin(), data.end());
        writeFileAtomic(target, bytes);
    }

    fs::path root_;
};

} // namespace

std::unique_ptr<Registry> openFileRegistry(const std::filesystem::path& root)
{
    return std::make_unique<FileRegistry>(root);
}

} // namespace bv::platform
