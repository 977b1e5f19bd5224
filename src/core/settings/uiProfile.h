#pragma once
// TuiProfile: one binary image moved unchanged between memory, a registry value and a file.

#include "platform/file_system.h"
#include "platform/registry.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace bv {

/// Writes factory values into the image in place.
using TuiProfileOnRestoreToDefault = std::function<void(std::vector<std::uint8_t>& AStream)>;
/// Called before an operation; clearing bContinue cancels it.
using TuiProfileEvent = std::function<void(const std::vector<std::uint8_t>& AStream, bool& bContinue)>;
/// Called after a successful operation.
using TuiProfileEvent2 = std::function<void(const std::vector<std::uint8_t>& AStream)>;

/// Holds one record image and stores it byte for byte in the registry and in files.
/// Missing values and files give false; errors of the store itself (an unreadable file, a value of
/// the wrong type) are thrown as std::system_error / std::filesystem::filesystem_error.
class TuiProfile {
public:
    /// Files go through `files`, the disk unless given.
    explicit TuiProfile(platform::Registry& registry, platform::FileSystem& files = platform::diskFileSystem());

    /// Writes `Count` bytes at the start of the image, growing it when needed; returns Count.
    std::int64_t Write(const void* Buffer, std::int64_t Count);
    /// Copies min(Count, image size) bytes from the start of the image; returns that number.
    std::int64_t Read(void* Buffer, std::int64_t Count) const;

    [[nodiscard]] bool LoadStreamFromRegistry();
    [[nodiscard]] bool LoadStreamFromFile();
    [[nodiscard]] bool LoadStreamFromFile(const std::string& strFilewithpath);
    [[nodiscard]] bool SaveStreamToRegistry();
    [[nodiscard]] bool SaveStreamToFile();
    [[nodiscard]] bool SaveStreamToFile(const std::string& strFileWithPath);
    /// Creates the file's folder, then takes its folder and name as FilePath and FileName.
    [[nodiscard]] bool PreSaveStreamToFile(const std::string& strFileWithPath);
    void RestoreToDefault();

    platform::RootKey RootKey() const { return FRootKey; }
    void SetRootKey(platform::RootKey value) { FRootKey = value; }
    const std::string& KeyPath() const { return FKeyPath; }
    void SetKeyPath(const std::string& value) { FKeyPath = value; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    /// The file's folder, always with a trailing separator once set.
    const std::string& FilePath() const { return FFilePath; }
    /// Ignored when equal to the current folder or when the folder does not exist.
    void SetFilePath(const std::string& value);
    /// The image size.
    std::int64_t Size() const { return static_cast<std::int64_t>(FMemoryStream.size()); }
    /// Resizes the image (new bytes zero) when the value differs from the recorded size.
    void SetSize(std::int64_t value);

    const std::vector<std::uint8_t>& Image() const { return FMemoryStream; }

    TuiProfileOnRestoreToDefault OnRestoreToDefault;
    TuiProfileEvent OnBeforeSaveToRegistry;
    TuiProfileEvent OnBeforeSaveToFile;
    TuiProfileEvent OnBeforeLoadFromRegistry;
    TuiProfileEvent OnBeforeLoadFromFile;
    TuiProfileEvent2 OnAfterSaveToRegistry;
    TuiProfileEvent2 OnAfterSaveToFile;
    TuiProfileEvent2 OnAfterLoadFromRegistry;
    TuiProfileEvent2 OnAfterLoadFromFile;

private:
    [[nodiscard]] bool vetoed(const TuiProfileEvent& event) const;
    [[nodiscard]] bool registryTargetValid() const;
    void replaceImageFromFile(const std::string& file);
    void writeImageTo(const std::string& file) const;

    platform::Registry& FRegistry;
    platform::FileSystem& FFiles;
    std::vector<std::uint8_t> FMemoryStream;
    platform::RootKey FRootKey = platform::RootKey::None;
    std::string FKeyPath;
    std::string FFileName;
    std::string FFilePath;
    std::int64_t FSize = 0;
};

/// Appends the platform separator when the folder text does not end with one.
std::string WithTrailingSeparator(std::string folder);

} // namespace bv
