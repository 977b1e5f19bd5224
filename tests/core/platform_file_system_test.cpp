#include "platform/file_system.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace bv::platform;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The memory file system stands in for the disk in tests and fuzz targets, so both must answer
// every question the stores ask in the same way.
class FileSystems : public ::testing::TestWithParam<bool> {
protected:
    bv::test::TempDir dir;
    std::unique_ptr<FileSystem> memory = openMemoryFileSystem();
    FileSystem& files = GetParam() ? *memory : diskFileSystem();
    fs::path root = dir / "root";
};

TEST_P(FileSystems, FoldersFilesAndListing)
{
    EXPECT_EQ(files.kind(root), EntryKind::None);
    EXPECT_FALSE(files.list(root).has_value());
    EXPECT_TRUE(files.createFolder(root / "a" / "b")) << "a folder needs its parent";
    EXPECT_FALSE(createFolders(files, root / "a" / "b"));
    EXPECT_FALSE(files.createFolder(root / "a")) << "an existing folder is fine";
    EXPECT_EQ(files.kind(root / "a" / "b"), EntryKind::Folder);

    const Bytes data { 1, 2, 3 };
    files.write(root / "a" / "f", data);
    EXPECT_EQ(files.kind(root / "a" / "f"), EntryKind::File);
    EXPECT_EQ(files.read(root / "a" / "f", 100), data);
    files.write(root / "a" / "f", Bytes { 9 });
    EXPECT_EQ(files.read(root / "a" / "f", 100), Bytes { 9 });

    auto names = files.list(root / "a").value();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "b", "f" }));
    EXPECT_EQ(files.list(root / "a" / "b").value(), std::vector<std::string> {});
}

TEST_P(FileSystems, RefusalsMatchTheDisk)
{
    ASSERT_FALSE(createFolders(files, root));
    files.write(root / "file", Bytes { 1, 2, 3, 4 });

    EXPECT_EQ(files.read(root / "missing", 100), std::nullopt);
    EXPECT_THROW(files.read(root, 100), fs::filesystem_error);
    EXPECT_THROW(files.read(root / "file", 3), fs::filesystem_error) << "larger than allowed";
    EXPECT_THROW(files.write(root / "missing" / "file", Bytes { 1 }), fs::filesystem_error);
    EXPECT_THROW(files.write(root, Bytes { 1 }), fs::filesystem_error);
    EXPECT_TRUE(files.createFolder(root / "file")) << "a file in the way";
    EXPECT_TRUE(createFolders(files, root / "file" / "below"));
    EXPECT_EQ(files.read(root / "file", 100), (Bytes { 1, 2, 3, 4 })) << "a refused write changes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    , FileSystems, ::testing::Bool(), [](const auto& info) { return info.param ? "Memory" : "Disk"; });

} // namespace
