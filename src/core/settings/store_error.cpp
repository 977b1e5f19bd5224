#include "settings/store_error.h"

namespace bv {

namespace {

std::string joined(const std::vector<std::string>& failures)
{
    std::string text;
    for (const auto& f : failures) {
        if (!text.empty())
            text += '\n';
        text += f;
    }
    return text;
}

} // namespace

StoreError::StoreError(std::vector<std::string> failures)
    : std::runtime_error(joined(failures))
    , FFailures(std::move(failures))
{
}

void StoreBatch::Try(const std::string& what, const std::function<void()>& store)
{
    try {
        store();
    } catch (const StoreError& e) {
        FFailures.insert(FFailures.end(), e.Failures().begin(), e.Failures().end());
    } catch (const std::exception& e) {
        FFailures.push_back(what + ": " + e.what());
    }
}

void StoreBatch::ThrowIfFailed() const
{
    if (Failed())
        throw StoreError(FFailures);
}

} // namespace bv
