#pragma once
// A sentence for the user that a window can still translate: the English source with numbered
// places (%1, %2, ...) and the values that fill them.

#include <string>
#include <utility>
#include <vector>

namespace bv::util {

struct UserText {
    std::string Source; // English, with %1 .. %9 where the values go
    std::vector<std::string> Args; // %1 is Args[0]

    /// The source with its values filled in; what a program without translations shows.
    std::string English() const { return Fill(Source); }
    /// Any text (for example the translated source) with this text's values filled in.
    std::string Fill(const std::string& text) const;
    /// This text behind a prefix that takes the first values: "Mode %1: " + source, and so on.
    UserText Prefixed(const std::string& prefixSource, std::vector<std::string> prefixArgs) const;

    bool operator==(const UserText&) const = default;
};

/// For the edits that say why they refuse: stores `text` in `why` when the caller asked, and
/// returns false.
inline bool Refuse(UserText* why, UserText text)
{
    if (why)
        *why = std::move(text);
    return false;
}

} // namespace bv::util
