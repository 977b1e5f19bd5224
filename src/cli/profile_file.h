#pragma once
// Reading a profile file named on the command line.

#include "commands.h"

#include "platform/atomic_file.h"
#include "settings/DMUnit.h"
#include "util/utf8_path.h"

#include <cstring>
#include <memory>
#include <string>

namespace bv::cli {

/// The profile in `file`; BadInput when it is missing, unreadable or not a version-258 profile.
inline std::unique_ptr<TMOUSEPROFILEINFO> LoadProfileFile(const std::string& file)
{
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(util::PathFromUtf8(file), 16u * 1024u * 1024u);
    } catch (const std::exception& e) {
        throw BadInput("\"" + file + "\" cannot be read: " + e.what());
    }
    if (!bytes)
        throw BadInput("\"" + file + "\" is not a profile file: the file does not exist.");
    std::string why;
    if (!IsAcceptableProfileImage(*bytes, &why))
        throw BadInput("\"" + file + "\" is not a profile file: " + why + ".");
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(profile.get()), bytes->data(), sizeof(TMOUSEPROFILEINFO));
    return profile;
}

} // namespace bv::cli
