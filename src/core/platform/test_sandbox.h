#pragma once
// Tests must never reach the user's mouse or settings. A test run names its sandbox folder in
// BV_TEST_SANDBOX; the few places that open real devices or the user's registry then end the
// process, with a message, when they are pointed outside it.

#include <filesystem>
#include <optional>
#include <string_view>

namespace bv::platform {

/// The folder BV_TEST_SANDBOX names; nullopt outside test runs.
[[nodiscard]] std::optional<std::filesystem::path> testSandbox();

/// In a test run, aborts unless `path` lies inside the sandbox folder. `what` says what was opened.
void requireInsideTestSandbox(std::string_view what, const std::filesystem::path& path);

/// In a test run, aborts: `what` is never open to tests.
void refuseInTestSandbox(std::string_view what);

} // namespace bv::platform
