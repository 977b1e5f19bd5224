#include "platform/registry.h"

#include "platform/file_system.h"
#include "platform/registry_names.h"
#include "util/ascii.h"

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

bool isKind(const FileSystem& files, const fs::path& p, Kind kind)
{
    return files.kind(p) == (kind == Kind::Key ? EntryKind::Folder : EntryKind::File);
}

// The entry of `folder` whose name matches `fileName` without regard to ASCII case: keys are
// folders, values are files. An exact match wins; among other spellings the smallest, so the
// choice does not depend on the directory order.
std::optional<fs::path> findEntry(
    const FileSystem& files, const fs::path& folder, const std::string& fileName, Kind kind)
{
    fs::path exact = folder / fileName;
    if (isKind(files, exact, kind))
        return exact;
    const auto names = files.list(folder);
    if (!names)
        return std::nullopt;
    const std::string* best = nullptr;
    for (const std::string& name : *names) {
        if (name.empty() || name[0] == '.' || !util::SameIgnoringAsciiCase(name, fileName)
            || !isKind(files, folder / name, kind))
            continue;
        if (!best || name < *best)
            best = &name;
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
    FileRegistry(fs::path root, FileSystem& files)
        : root_(std::move(root))
        , files_(files)
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
        if (createFolders(files_, folder))
            return false;
        for (const auto& part : splitKeyPath(keyPath)) {
            const std::string fileName = escapeName(part, false);
            if (auto existing = findEntry(files_, folder, fileName, Kind::Key)) {
                folder = std::move(*existing);
                continue;
            }
            folder /= fileName;
            if (files_.createFolder(folder))
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
            auto next = findEntry(files_, folder, escapeName(part, false), Kind::Key);
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
        return findEntry(files_, *folder, escapeName(name, true), Kind::Value);
    }

    std::optional<StoredValue> read(RootKey root, const std::string& keyPath, const std::string& name) const
    {
        const auto file = valueFile(root, keyPath, name);
        if (!file)
            return std::nullopt;
        auto bytes = files_.read(*file, kMaxValueFile);
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
        if (splitKeyPath(keyPath).empty())
            if (const auto ec = createFolders(files_, *folder))
                throw fs::filesystem_error("cannot create the registry folder", *folder, ec);
        // Rewriting under another spelling keeps the first one.
        const std::string fileName = escapeName(name, true);
        const fs::path target = findEntry(files_, *folder, fileName, Kind::Value).value_or(*folder / fileName);

        std::vector<std::uint8_t> bytes;
        bytes.reserve(kHeaderSize + data.size());
        appendLe32(bytes, static_cast<std::uint32_t>(type));
        bytes.insert(bytes.end(), data.begin(), data.end());
        files_.write(target, bytes);
    }

    fs::path root_;
    FileSystem& files_;
};

} // namespace

std::unique_ptr<Registry> openFileRegistry(const std::filesystem::path& root, FileSystem& files)
{
    return std::make_unique<FileRegistry>(root, files);
}

} // namespace bv::platform
