#include "util/uiThread.h"

#include <atomic>
#include <cstring>
#include <list>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace bv {

namespace {

struct Worker {
    std::thread Thread;
    std::shared_ptr<std::atomic<bool>> Done;
};

// Every started thread is kept until it is joined: finished ones when the next call starts,
// the rest at exit.
class Workers {
public:
    ~Workers() { JoinAll(); }

    bool Start(TThreadCallFunction func, std::vector<std::uint8_t> copy)
    {
        const std::lock_guard lock(FMutex);
        ReapFinished();
        auto done = std::make_shared<std::atomic<bool>>(false);
        try {
            std::thread thread([func = std::move(func), copy = std::move(copy), done]() mutable {
                try {
                    func(copy.data(), static_cast<std::uint32_t>(copy.size()));
                } catch (...) {
                    // Nothing can be reported from here; the caller does not wait for a result.
                }
                std::vector<std::uint8_t>().swap(copy);
                done->store(true);
            });
            FWorkers.push_back({ std::move(thread), std::move(done) });
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }

    void JoinAll()
    {
        std::list<Worker> all;
        {
            const std::lock_guard lock(FMutex);
            all.swap(FWorkers);
        }
        for (auto& w : all)
            if (w.Thread.joinable())
                w.Thread.join();
    }

    std::size_t Running()
    {
        const std::lock_guard lock(FMutex);
        ReapFinished();
        return FWorkers.size();
    }

private:
    void ReapFinished()
    {
        for (auto it = FWorkers.begin(); it != FWorkers.end();) {
            if (it->Done->load()) {
                it->Thread.join();
                it = FWorkers.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::mutex FMutex;
    std::list<Worker> FWorkers;
};

Workers& TheWorkers()
{
    static Workers workers;
    return workers;
}

} // namespace

bool TuiThread::ThreadCallFunction(TThreadCallFunction Func, const void* Buffer, std::uint32_t BufferSize)
{
    if (BufferSize == 0 || Buffer == nullptr || !Func)
        return false;
    // Each thread gets its own copy, so a second call never overwrites a copy still in use.
    std::vector<std::uint8_t> copy(
        static_cast<const std::uint8_t*>(Buffer), static_cast<const std::uint8_t*>(Buffer) + BufferSize);
    return TheWorkers().Start(std::move(Func), std::move(copy));
}

void TuiThread::WaitForAll()
{
    TheWorkers().JoinAll();
}

std::size_t TuiThread::RunningCount()
{
    return TheWorkers().Running();
}

} // namespace bv
