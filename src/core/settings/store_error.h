#pragma once
// Failed stores, collected so that one failure never skips the stores after it and the user
// hears of all of them at once.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bv {

/// One or more stores that failed, one sentence each (what, where, why).
class StoreError : public std::runtime_error {
public:
    explicit StoreError(std::vector<std::string> failures);
    explicit StoreError(std::string failure)
        : StoreError(std::vector<std::string> { std::move(failure) })
    {
    }
    const std::vector<std::string>& Failures() const { return FFailures; }

private:
    std::vector<std::string> FFailures;
};

/// Runs stores one by one, each on its own, and keeps what failed.
class StoreBatch {
public:
    /// Runs `store`; a StoreError adds its sentences, any other exception one sentence that
    /// starts with `what`. A sentence already kept is not kept twice.
    void Try(const std::string& what, const std::function<void()>& store);
    [[nodiscard]] bool Failed() const { return !FFailures.empty(); }
    const std::vector<std::string>& Failures() const { return FFailures; }
    /// Throws one StoreError with every failure, when there was any.
    void ThrowIfFailed() const;

private:
    void add(std::string failure);

    std::vector<std::string> FFailures;
};

} // namespace bv
