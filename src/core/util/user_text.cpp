#include "util/user_text.h"

#include <cstddef>

namespace bv::util {

std::string UserText::Fill(const std::string& text) const
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < Args.size()) {
                out += Args[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

UserText UserText::Prefixed(const std::string& prefixSource, std::vector<std::string> prefixArgs) const
{
    // The prefix's places keep their numbers; this text's move up behind them.
    const std::size_t shift = prefixArgs.size();
    std::string source = prefixSource;
    for (std::size_t i = 0; i < Source.size(); ++i) {
        const char c = Source[i];
        if (c == '%' && i + 1 < Source.size() && Source[i + 1] >= '1' && Source[i + 1] <= '9') {
            source += '%';
            source += std::to_string(static_cast<std::size_t>(Source[i + 1] - '0') + shift);
            ++i;
            continue;
        }
        source += c;
    }
    UserText t { std::move(source), std::move(prefixArgs) };
    t.Args.insert(t.Args.end(), Args.begin(), Args.end());
    return t;
}

} // namespace bv::util
