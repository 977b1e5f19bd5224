#pragma once
// TuiThread: runs one call on a background thread with a private copy of a buffer, so the caller
// can go on (the main window hands the Windows mouse settings to the system this way).

#include <cstddef>
#include <cstdint>
#include <functional>

namespace bv {

/// (the thread's copy of the buffer, its size).
using TThreadCallFunction = std::function<void(const void* Buffer, std::uint32_t BufferSize)>;

class TuiThread {
public:
    TuiThread() = delete;

    /// Starts a new thread that calls Func once with its own copy of the buffer, then releases
    /// the copy. A size of 0, no buffer or no function starts nothing. Returns true when a thread
    /// was started. Func must not touch windows; what it throws is dropped.
    [[nodiscard]] static bool ThreadCallFunction(
        TThreadCallFunction Func, const void* Buffer, std::uint32_t BufferSize);

    /// Waits for every thread started so far. Runs by itself when the program ends, so no
    /// thread outlives the process's static objects.
    static void WaitForAll();

    /// Threads started and still running; finished ones are joined first.
    static std::size_t RunningCount();
};

} // namespace bv
