#pragma once
// The per-user folder for locks and sockets (POSIX builds only; not a public interface).

#include <filesystem>
#include <optional>
#include <string>

namespace bv::platform::runtime {

/// $XDG_RUNTIME_DIR when it is an absolute path to a folder; otherwise a private folder
/// "/tmp/bvconfig-<uid>" (made with mode 0700 and refused unless it is ours and closed to others).
/// nullopt with `error` set when neither can be used.
std::optional<std::filesystem::path> runtimeFolder(std::string* error = nullptr);

/// True when `name` can be used as one file name in that folder.
bool isPlainFileName(const std::string& name);

} // namespace bv::platform::runtime
