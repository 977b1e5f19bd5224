#pragma once
// The user's base folders on POSIX systems (not a public interface; POSIX builds only).

#include <filesystem>

namespace bv::platform::xdg {

/// $HOME, or the password database entry when HOME is unset or empty.
std::filesystem::path homeFolder();

/// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config.
std::filesystem::path configHome();

} // namespace bv::platform::xdg
