#include "settings/store_error.h"

#include <algorithm>

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
        for (const auto& failure : e.Failures())
            add(failure);
    } catch (const std::exception& e) {
        add(what + ": " + e.what());
    }
}

void StoreBatch::add(std::string failure)
{
    // Stores that touch the same record fail for the same reason; say each reason once.
    if (std::find(FFailures.begin(), FFailures.end(), failure) == FFailures.end())
        FFailures.push_back(std::move(failure));
}

void StoreBatch::ThrowIfFailed() const
{
    if (Failed())
        throw StoreError(FFailures);
}

} // namespace bv
