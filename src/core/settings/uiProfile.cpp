#include "settings/uiProfile.h"

#include "platform/folders.h"
#include "util/utf8_path.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace bv {

namespace fs = std::filesystem;

namespace {

// Stored profiles are about 110 KB; anything far larger is not one of ours.
constexpr std::uintmax_t kMaxImageFile = 16u * 1024u * 1024u;

bool isSeparator(char c)
{
    return c == '/' || c == platform::kPathSeparator;
}

} // namespace

std::string WithTrailingSeparator(std::string folder)
{
    if (folder.empty() || !isSeparator(folder.back()))
        folder.push_back(platform::kPathSeparator);
    return folder;
}

TuiProfile::TuiProfile(platform::Registry& registry, platform::FileSystem& files)
    : FRegistry(registry)
    , FFiles(files)
{
}

std::int64_t TuiProfile::Write(const void* Buffer, std::int64_t Count)
{
    if (Count <= 0)
        return 0;
    const auto n = static_cast<std::size_t>(Count);
    if (FMemoryStream.size() < n)
        FMemoryStream.resize(n);
    std::memcpy(FMemoryStream.data(), Buffer, n);
    FSize = Size();
    return Count;
}

std::int64_t TuiProfile::Read(void* Buffer, std::int64_t Count) const
{
    if (Count <= 0)
        return 0;
    const auto n = std::min(static_cast<std::size_t>(Count), FMemoryStream.size());
    if (n > 0)
        std::memcpy(Buffer, FMemoryStream.data(), n);
    return static_cast<std::int64_t>(n);
}

void TuiProfile::SetSize(std::int64_t value)
{
    // Compared with the image itself too: a load may have changed its size since FSize was set.
    if (value < 0 || (value == FSize && value == Size()))
        return;
    FSize = value;
    FMemoryStream.resize(static_cast<std::size_t>(value));
}

void TuiProfile::SetFilePath(const std::string& value)
{
    if (value == FFilePath || value.empty() || FFiles.kind(util::PathFromUtf8(value)) != platform::EntryKind::Folder)
        return;
    FFilePath = WithTrailingSeparator(value);
}

bool TuiProfile::vetoed(const TuiProfileEvent& event) const
{
    if (!event)
        return false;
    bool bContinue = true;
    event(FMemoryStream, bContinue);
    return !bContinue;
}

bool TuiProfile::registryTargetValid() const
{
    return (FRootKey == platform::RootKey::CurrentUser || FRootKey == platform::RootKey::LocalMachine)
        && !FKeyPath.empty() && !FFileName.empty();
}

bool TuiProfile::LoadStreamFromRegistry()
{
    if (vetoed(OnBeforeLoadFromRegistry))
        return false;
    if (!registryTargetValid())
        return false;
    if (!FRegistry.keyExists(FRootKey, FKeyPath) && !FRegistry.createKey(FRootKey, FKeyPath))
        return false;
    auto data = FRegistry.readBinary(FRootKey, FKeyPath, FFileName);
    if (!data)
        return false;
    // The image takes the stored size, whatever it is.
    FMemoryStream = std::move(*data);
    if (OnAfterLoadFromRegistry)
        OnAfterLoadFromRegistry(FMemoryStream);
    return true;
}

bool TuiProfile::SaveStreamToRegistry()
{
    if (vetoed(OnBeforeSaveToRegistry))
        return false;
    if (!registryTargetValid())
        return false;
    if (!FRegistry.keyExists(FRootKey, FKeyPath) && !FRegistry.createKey(FRootKey, FKeyPath))
        return false;
    FRegistry.writeBinary(FRootKey, FKeyPath, FFileName, FMemoryStream);
    if (OnAfterSaveToRegistry)
        OnAfterSaveToRegistry(FMemoryStream);
    return true;
}

void TuiProfile::replaceImageFromFile(const std::string& file)
{
    auto bytes = FFiles.read(util::PathFromUtf8(file), kMaxImageFile);
    if (!bytes)
        throw fs::filesystem_error("profile file vanished while loading", util::PathFromUtf8(file),
            std::make_error_code(std::errc::no_such_file_or_directory));
    FMemoryStream = std::move(*bytes);
}

void TuiProfile::writeImageTo(const std::string& file) const
{
    FFiles.write(util::PathFromUtf8(file), FMemoryStream);
}

bool TuiProfile::LoadStreamFromFile()
{
    if (vetoed(OnBeforeLoadFromFile))
        return false;
    if (FFilePath.empty())
        return false;
    FFilePath = WithTrailingSeparator(FFilePath);
    const std::string file = FFilePath + FFileName;
    if (FFileName.empty() || FFiles.kind(util::PathFromUtf8(file)) == platform::EntryKind::None)
        return false;
    replaceImageFromFile(file);
    if (OnAfterLoadFromFile)
        OnAfterLoadFromFile(FMemoryStream);
    return true;
}

bool TuiProfile::LoadStreamFromFile(const std::string& strFilewithpath)
{
    if (strFilewithpath.empty() || FFiles.kind(util::PathFromUtf8(strFilewithpath)) == platform::EntryKind::None)
        return false;
    if (vetoed(OnBeforeLoadFromFile))
        return false;
    replaceImageFromFile(strFilewithpath);
    if (OnAfterLoadFromFile)
        OnAfterLoadFromFile(FMemoryStream);
    return true;
}

bool TuiProfile::SaveStreamToFile()
{
    if (vetoed(OnBeforeSaveToFile))
        return false;
    if (FFilePath.empty() || FFileName.empty())
        return false;
    FFilePath = WithTrailingSeparator(FFilePath);
    writeImageTo(FFilePath + FFileName);
    if (OnAfterSaveToFile)
        OnAfterSaveToFile(FMemoryStream);
    return true;
}

bool TuiProfile::SaveStreamToFile(const std::string& strFileWithPath)
{
    if (strFileWithPath.empty())
        return false;
    if (platform::createFolders(FFiles, util::PathFromUtf8(strFileWithPath).parent_path()))
        return false;
    if (vetoed(OnBeforeSaveToFile))
        return false;
    writeImageTo(strFileWithPath);
    if (OnAfterSaveToFile)
        OnAfterSaveToFile(FMemoryStream);
    return true;
}

bool TuiProfile::PreSaveStreamToFile(const std::string& strFileWithPath)
{
    const fs::path p = util::PathFromUtf8(strFileWithPath);
    if (platform::createFolders(FFiles, p.parent_path()))
        return false;
    FFilePath = WithTrailingSeparator(util::Utf8FromPath(p.parent_path()));
    FFileName = util::Utf8FromPath(p.filename());
    return true;
}

void TuiProfile::RestoreToDefault()
{
    if (OnRestoreToDefault)
        OnRestoreToDefault(FMemoryStream);
}

} // namespace bv
