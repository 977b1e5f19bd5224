#include "platform/registry.h"

#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>
#include <type_traits>

using namespace bv;
using namespace bv::platform;
namespace fs = std::filesystem;

namespace {

constexpr auto HKCU = RootKey::CurrentUser;
constexpr auto HKLM = RootKey::LocalMachine;
const std::string kKey = "Software\\Brisvane";

using Bytes = std::vector<std::uint8_t>;

// Runs `read` and returns the error code it throws (a default code when it does not throw).
template <class F> std::error_code thrownCode(F&& read, std::string* message = nullptr)
{
    try {
        read();
    } catch (const std::system_error& e) {
        if (message)
            *message = e.what();
        return e.code();
    }
    return {};
}

struct MemoryStore {
    static std::unique_ptr<Registry> open(const fs::path&, FileSystem&) { return openMemoryRegistry(); }
};
struct FileStore {
    static std::unique_ptr<Registry> open(const fs::path& root, FileSystem&) { return openFileRegistry(root); }
};
// The registry's files in memory, as the fuzz targets run it.
struct FileStoreInMemory {
    static std::unique_ptr<Registry> open(const fs::path& root, FileSystem& memory)
    {
        return openFileRegistry(root, memory);
    }
};

// Both stores must behave the same, so the program cannot tell which one it has.
template <class Store> class RegistryBehaviour : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<FileSystem> memory = openMemoryFileSystem();
    std::unique_ptr<Registry> reg = Store::open(dir / "registry", *memory);
};
using Stores = ::testing::Types<MemoryStore, FileStore, FileStoreInMemory>;
class StoreNames {
public:
    template <class T> static std::string GetName(int)
    {
        if (std::is_same_v<T, MemoryStore>)
            return "Memory";
        return std::is_same_v<T, FileStore> ? "File" : "FileInMemory";
    }
};
TYPED_TEST_SUITE(RegistryBehaviour, Stores, StoreNames);

TYPED_TEST(RegistryBehaviour, NamesIgnoreAsciiCaseOnly)
{
    auto& reg = *this->reg;
    ASSERT_TRUE(reg.createKey(HKCU, kKey));
    EXPECT_TRUE(reg.keyExists(HKCU, "SOFTWARE\\brisvane"));
    EXPECT_TRUE(reg.keyExists(HKCU, "\\software\\\\BRISVANE\\"));

    reg.writeDword(HKCU, kKey, "ProfileID", 7);
    EXPECT_TRUE(reg.valueExists(HKCU, "software\\BRISVANE", "PROFILEID"));
    reg.writeDword(HKCU, kKey, "profileid", 9);
    EXPECT_EQ(reg.readDword(HKCU, kKey, "ProfileID"), 9u);

    // Only ASCII letters fold: "Ä" and "ä" are different names.
    reg.writeDword(HKCU, kKey, "\xC3\x84pfel", 1);
    EXPECT_FALSE(reg.valueExists(HKCU, kKey, "\xC3\xA4pfel"));
    ASSERT_TRUE(reg.createKey(HKCU, "\xC3\x84"));
    EXPECT_FALSE(reg.keyExists(HKCU, "\xC3\xA4"));
}

TYPED_TEST(RegistryBehaviour, ValuesRoundTripAndReplaceWhateverTheirType)
{
    auto& reg = *this->reg;
    ASSERT_TRUE(reg.createKey(HKCU, kKey));
    const Bytes blob { 0x00, 0xFF, 0x04, 0x00, 0x00, 0x00 };
    reg.writeBinary(HKCU, kKey, "Blob", blob);
    reg.writeBinary(HKCU, kKey, "Empty", {});
    reg.writeDword(HKCU, kKey, "Max", 0xFFFFFFFFu);
    reg.writeDword(HKCU, kKey, "Order", 0x12345678u);

    EXPECT_EQ(reg.readBinary(HKCU, kKey, "Blob"), blob);
    EXPECT_EQ(reg.readBinary(HKCU, kKey, "Empty"), Bytes {});
    EXPECT_EQ(reg.readDword(HKCU, kKey, "Max"), 0xFFFFFFFFu);
    EXPECT_EQ(reg.readDword(HKCU, kKey, "Order"), 0x12345678u);

    reg.writeBinary(HKCU, kKey, "Order", blob);
    EXPECT_EQ(reg.readBinary(HKCU, kKey, "Order"), blob);
    reg.writeDword(HKCU, kKey, "Blob", 5);
    EXPECT_EQ(reg.readDword(HKCU, kKey, "Blob"), 5u);
}

TYPED_TEST(RegistryBehaviour, ReadingAnotherTypeThrowsNamingKeyAndValue)
{
    auto& reg = *this->reg;
    ASSERT_TRUE(reg.createKey(HKCU, kKey));
    reg.writeBinary(HKCU, kKey, "Blob", Bytes { 1, 2, 3, 4 });
    reg.writeDword(HKCU, kKey, "Number", 1);

    std::string message;
    EXPECT_EQ(thrownCode([&] { reg.readDword(HKCU, kKey, "blob"); }, &message), std::errc::invalid_argument);
    EXPECT_NE(message.find("blob"), std::string::npos) << message;
    EXPECT_NE(message.find("HKEY_CURRENT_USER\\Software\\Brisvane"), std::string::npos) << message;
    EXPECT_EQ(thrownCode([&] { reg.readBinary(HKCU, kKey, "Number"); }), std::errc::invalid_argument);
}

TYPED_TEST(RegistryBehaviour, MissingKeysReadAsAbsentAndRefuseWrites)
{
    auto& reg = *this->reg;
    EXPECT_FALSE(reg.keyExists(HKCU, kKey));
    EXPECT_EQ(reg.readBinary(HKCU, kKey, "Blob"), std::nullopt);
    EXPECT_EQ(reg.readDword(HKCU, kKey, "Number"), std::nullopt);
    EXPECT_EQ(thrownCode([&] { reg.writeDword(HKCU, kKey, "Number", 1); }), std::errc::no_such_file_or_directory);
    EXPECT_EQ(
        thrownCode([&] { reg.writeBinary(HKCU, kKey, "Blob", Bytes { 1 }); }), std::errc::no_such_file_or_directory);

    ASSERT_TRUE(reg.createKey(HKCU, "a\\b\\c"));
    EXPECT_TRUE(reg.keyExists(HKCU, "a"));
    EXPECT_TRUE(reg.keyExists(HKCU, "A\\B"));
    EXPECT_FALSE(reg.valueExists(HKCU, "a\\b\\c", "Number"));
    EXPECT_EQ(reg.readDword(HKCU, "a\\b\\c", "Number"), std::nullopt);
    EXPECT_FALSE(reg.keyExists(HKCU, "a\\b\\c\\d"));
}

TYPED_TEST(RegistryBehaviour, RootKeysAreSeparateAndAlwaysPresent)
{
    auto& reg = *this->reg;
    EXPECT_TRUE(reg.keyExists(HKCU, ""));
    EXPECT_TRUE(reg.keyExists(HKLM, "\\"));
    reg.writeDword(HKCU, "", "TopLevel", 1);
    EXPECT_EQ(reg.readDword(HKCU, "", "toplevel"), 1u);
    EXPECT_FALSE(reg.valueExists(HKLM, "", "TopLevel"));

    ASSERT_TRUE(reg.createKey(HKLM, kKey));
    EXPECT_FALSE(reg.keyExists(HKCU, kKey));

    EXPECT_FALSE(reg.keyExists(RootKey::None, ""));
    EXPECT_FALSE(reg.createKey(RootKey::None, kKey));
    EXPECT_EQ(reg.readDword(RootKey::None, "", "TopLevel"), std::nullopt);
    EXPECT_THROW(reg.writeDword(RootKey::None, "", "TopLevel", 1), std::system_error);
}

TYPED_TEST(RegistryBehaviour, OddNamesStayDistinct)
{
#ifdef _WIN32
    // Windows file names drop trailing dots and ignore case; the file tree is the POSIX store.
    if constexpr (std::is_same_v<TypeParam, FileStore>)
        GTEST_SKIP();
#endif
    auto& reg = *this->reg;
    const std::vector<std::string> keys { "..", ".", "%2E.", "a/b", "%41", "A", "\x01" };
    const std::vector<std::string> values { "", "..", ".hidden", "%2Ehidden", "a\\b", "a%5Cb", "a/b", "../../escape",
        "%41", "A", "\x7F", "\n" };
    for (std::size_t k = 0; k < keys.size(); ++k) {
        ASSERT_TRUE(reg.createKey(HKCU, "base\\" + keys[k])) << keys[k];
        for (std::size_t v = 0; v < values.size(); ++v)
            reg.writeDword(HKCU, "base\\" + keys[k], values[v], static_cast<std::uint32_t>(k * 100 + v));
    }
    for (std::size_t k = 0; k < keys.size(); ++k)
        for (std::size_t v = 0; v < values.size(); ++v)
            EXPECT_EQ(reg.readDword(HKCU, "base\\" + keys[k], values[v]), k * 100 + v)
                << "key " << keys[k] << " value " << values[v];
}

// ---- the file tree ---------------------------------------------------------

class FileRegistry : public ::testing::Test {
protected:
    fs::path keyFolder() const { return root / "HKCU" / "Software" / "Brisvane"; }
    Bytes fileBytes(const fs::path& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    void writeRaw(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(keyFolder() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    test::TempDir dir;
    fs::path root = dir / "registry";
    std::unique_ptr<Registry> reg = openFileRegistry(root);
};

TEST_F(FileRegistry, ValuesSurviveReopeningUnderTheirFirstSpelling)
{
    ASSERT_TRUE(reg->createKey(HKCU, kKey));
    reg->writeBinary(HKCU, kKey, "BVProfile1.pfd", Bytes { 1, 2 });
    reg->writeDword(HKCU, kKey, "ProfileID", 0x12345678u);
    reg->writeBinary(HKCU, "software\\BRISVANE", "bvprofile1.PFD", Bytes { 3 });

    auto reopened = openFileRegistry(root);
    EXPECT_EQ(reopened->readBinary(HKCU, kKey, "BVPROFILE1.PFD"), Bytes { 3 });
    EXPECT_EQ(fileBytes(keyFolder() / "BVProfile1.pfd"), (Bytes { 3, 0, 0, 0, 3 }));
    EXPECT_EQ(fileBytes(keyFolder() / "ProfileID"), (Bytes { 4, 0, 0, 0, 0x78, 0x56, 0x34, 0x12 }));
    EXPECT_EQ(std::distance(fs::directory_iterator(keyFolder()), fs::directory_iterator()), 2);
}

TEST_F(FileRegistry, DamagedOrForeignValueFilesThrow)
{
    ASSERT_TRUE(reg->createKey(HKCU, kKey));
    struct Case {
        const char* what;
        Bytes bytes;
        bool asDword;
        std::errc expected;
    };
    const Case cases[] = {
        { "empty file", {}, false, std::errc::illegal_byte_sequence },
        { "half a header", { 3, 0 }, false, std::errc::illegal_byte_sequence },
        { "short DWORD", { 4, 0, 0, 0, 1, 2, 3 }, true, std::errc::illegal_byte_sequence },
        { "long DWORD", { 4, 0, 0, 0, 1, 2, 3, 4, 5 }, true, std::errc::illegal_byte_sequence },
        { "REG_SZ read as binary", { 1, 0, 0, 0, 'x', 0 }, false, std::errc::invalid_argument },
        { "REG_SZ read as DWORD", { 1, 0, 0, 0, 'x', 0, 0, 0 }, true, std::errc::invalid_argument },
    };
    for (const auto& c : cases) {
        writeRaw("Value", c.bytes);
        std::string message;
        const auto code = thrownCode(
            [&] { c.asDword ? (void)reg->readDword(HKCU, kKey, "Value") : (void)reg->readBinary(HKCU, kKey, "Value"); },
            &message);
        EXPECT_EQ(code, c.expected) << c.what;
        EXPECT_NE(message.find("\"Value\""), std::string::npos) << c.what << ": " << message;
        // The program's own words, without the text of a code that only classifies the error.
        EXPECT_EQ(message.find(std::make_error_code(c.expected).message()), std::string::npos) << message;
    }
}

TEST_F(FileRegistry, NamesAreEscapedInsideTheTree)
{
    ASSERT_TRUE(reg->createKey(HKCU, "..\\..\\.ssh"));
    reg->writeBinary(HKCU, "..\\..\\.ssh", "../../authorized_keys", Bytes { 1 });
    reg->writeBinary(HKCU, "..\\..\\.ssh", "a\\b", Bytes { 2 });
    reg->writeBinary(HKCU, "..\\..\\.ssh", "", Bytes { 3 });

    const fs::path key = root / "HKCU" / "%2E." / "%2E." / "%2Essh";
    EXPECT_TRUE(fs::is_regular_file(key / "%2E.%2F..%2Fauthorized_keys"));
    EXPECT_TRUE(fs::is_regular_file(key / "a%5Cb"));
    EXPECT_TRUE(fs::is_regular_file(key / "%"));
    // Nothing appeared beside the registry.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root), fs::recursive_directory_iterator()), 7);
}

TEST_F(FileRegistry, DotFilesAreNotValuesButHandMadeSpellingsAre)
{
    ASSERT_TRUE(reg->createKey(HKCU, kKey));
    writeRaw(".ProfileID.a1b2c3", { 4, 0, 0, 0, 1, 0, 0, 0 });
    writeRaw("PROFILEid", { 4, 0, 0, 0, 2, 0, 0, 0 });
    EXPECT_FALSE(reg->valueExists(HKCU, kKey, ".ProfileID.a1b2c3"));
    EXPECT_EQ(reg->readDword(HKCU, kKey, "ProfileID"), 2u);
}

TEST_F(FileRegistry, RootIsCreatedOnFirstWriteOnly)
{
    EXPECT_TRUE(reg->keyExists(HKCU, ""));
    EXPECT_FALSE(reg->keyExists(HKCU, kKey));
    EXPECT_EQ(reg->readDword(HKCU, "", "Number"), std::nullopt);
    EXPECT_FALSE(fs::exists(root));

    reg->writeDword(HKCU, "", "Number", 1);
    EXPECT_TRUE(fs::is_regular_file(root / "HKCU" / "Number"));
}

TEST_F(FileRegistry, FilesInTheWayFailCleanly)
{
    ASSERT_TRUE(reg->createKey(HKCU, kKey));
    reg->writeDword(HKCU, kKey, "Blocker", 1);
    EXPECT_FALSE(reg->createKey(HKCU, kKey + "\\Blocker\\Child"));

    // A key and a value cannot share a spelling in a file tree: the write fails, nothing is lost.
    ASSERT_TRUE(reg->createKey(HKCU, kKey + "\\Sub"));
    reg->writeDword(HKCU, kKey + "\\Sub", "Inner", 2);
    EXPECT_THROW(reg->writeDword(HKCU, kKey, "Sub", 3), std::system_error);
    EXPECT_EQ(reg->readDword(HKCU, kKey + "\\Sub", "Inner"), 2u);

    std::ofstream(dir / "plainfile") << "x";
    auto blocked = openFileRegistry(dir / "plainfile");
    EXPECT_FALSE(blocked->createKey(HKCU, kKey));
    EXPECT_THROW(blocked->writeDword(HKCU, "", "Number", 1), std::system_error);
}

#ifndef _WIN32 // the Windows user registry is the real one
TEST(UserRegistry, LivesUnderTheXdgConfigFolder)
{
    struct Case {
        const char* xdgConfigHome; // nullptr: unset; "@" is replaced by the temp folder
        const char* expectedBelowTemp;
    };
    const Case cases[] = {
        { nullptr, "home/.config/bvconfig/registry" },
        { "@/cfg", "cfg/bvconfig/registry" },
        { "relative/cfg", "home/.config/bvconfig/registry" },
        { "", "home/.config/bvconfig/registry" },
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        platform_test::ScopedEnv env;
        env.set("HOME", (dir / "home").string());
        std::optional<std::string> xdg;
        if (c.xdgConfigHome)
            xdg = std::string(c.xdgConfigHome)[0] == '@' ? dir.str() + (c.xdgConfigHome + 1) : c.xdgConfigHome;
        env.set("XDG_CONFIG_HOME", xdg);

        auto reg = openUserRegistry();
        EXPECT_TRUE(fs::is_empty(dir.path())) << "created at open";
        ASSERT_TRUE(reg->createKey(HKCU, kKey));
        reg->writeDword(HKCU, kKey, "ProfileID", 1);
        EXPECT_TRUE(fs::is_regular_file(dir / c.expectedBelowTemp / "HKCU/Software/Brisvane/ProfileID"))
            << (c.xdgConfigHome ? c.xdgConfigHome : "unset");
    }
}
#endif

} // namespace
