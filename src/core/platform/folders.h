#pragma once
// Well-known folders of the user and of the program.

#include <filesystem>

namespace bv::platform {

/// The separator this platform writes into stored folder texts ('\\' on Windows, '/' elsewhere).
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

/// The user's personal documents folder: CSIDL_PERSONAL on Windows; XDG_DOCUMENTS_DIR from
/// user-dirs.dirs, else $HOME/Documents on POSIX.
std::filesystem::path userDocumentsFolder();

/// The folder of the running program's file.
std::filesystem::path executableFolder();

/// The folder that holds config.ini, ui.local, the preset profile and the images.
/// Overridden by the BV_PROGRAM_DIR environment variable.
std::filesystem::path programFolder();

} // namespace bv::platform
