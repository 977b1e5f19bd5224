#pragma once
// The per-user folder for locks and sockets (POSIX builds only; not a public interface).

#include <filesystem>
#include <optional>
#include <string>

namespace bv::platform::runtime {

/// $XDG_RUNTIME_DIR when it is an absolute path to a folder; otherwise a private folder
/// "/tmp/bvconfig-<uid>" (made with mode 0700, used only when it is ours, closed to others and no
/// link). When someone else holds that name, "<config home>/bvconfig/runtime" is used instead
/// and the program says so once on stderr. nullopt with `error` set when nothing can be used.
[[nodiscard]] std::optional<std::filesystem::path> runtimeFolder(std::string* error = nullptr);

/// The same choice with the places given: `tmp` for /tmp, `fallback` for the folder in the user's
/// own tree; `warning` receives the sentence about a taken folder.
[[nodiscard]] std::optional<std::filesystem::path> runtimeFolderIn(
    const std::filesystem::path& tmp, const std::filesystem::path& fallback, std::string* error, std::string* warning);

/// True when `name` can be used as one file name in that folder.
[[nodiscard]] bool isPlainFileName(const std::string& name);

} // namespace bv::platform::runtime
