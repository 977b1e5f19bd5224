#include "ui/uiCommandSetting.h"
#include "ui/uiFunctionManager.h"
#include "util/uiThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace bv;

// ---- command settings ---------------------------------------------------------------------------

TEST(TuiCommandSetting, RunsEveryHandlerInListOrder)
{
    TuiCommandSetting setting;
    std::vector<std::string> calls;
    std::uint64_t record = 0x1122334455667788;
    for (const char* name : { "SetButton", "SetCPI", "SetMouseParam", "SetProfileBtn", "SetReport", "SetLED" }) {
        TuiCommand& command = setting.Commands().Add(name);
        if (std::string(name) == "SetLED")
            continue; // the main window's one command without a handler
        command.OnExecute = [&calls, &record, name](TuiGetSet type, void* buffer, std::uint32_t size) {
            EXPECT_EQ(buffer, &record);
            EXPECT_EQ(size, sizeof record);
            calls.push_back(std::string(type == TuiGetSet::uiSet ? "set " : "get ") + name);
        };
    }

    EXPECT_TRUE(setting.SetData(&record, sizeof record));
    EXPECT_EQ(calls,
        (std::vector<std::string> {
            "set SetButton", "set SetCPI", "set SetMouseParam", "set SetProfileBtn", "set SetReport" }));
    calls.clear();
    EXPECT_TRUE(setting.GetData(&record, sizeof record));
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls.front(), "get SetButton");

    TuiCommandSetting empty;
    EXPECT_TRUE(empty.SetData(nullptr, 0));
}

TEST(TuiCommandSetting, AHandlerMayRemoveItsOwnCommand)
{
    TuiCommandSetting setting;
    int later = 0;
    setting.Commands().Add("Once").OnExecute = [&setting](TuiGetSet, void*, std::uint32_t) {
        const std::string keep = "captured state that must survive the removal";
        setting.Commands().Delete(0);
        EXPECT_EQ(keep.size(), 44u);
    };
    setting.Commands().Add("Later").OnExecute = [&later](TuiGetSet, void*, std::uint32_t) { ++later; };
    EXPECT_TRUE(setting.SetData(nullptr, 0));
    EXPECT_EQ(setting.Commands().Count(), 1);
    EXPECT_TRUE(setting.SetData(nullptr, 0));
    EXPECT_EQ(later, 1) << "the command that moved into the removed place runs from the next broadcast on";
}

TEST(TuiCommands, UnnamedCommandsTakeTheSmallestFreeNumber)
{
    TuiCommands commands;
    EXPECT_EQ(commands.Add().Name(), "Command1");
    EXPECT_EQ(commands.Add().Name(), "Command2");

    TuiCommands withCase;
    withCase.Add("command2");
    EXPECT_EQ(withCase.Add().Name(), "Command1");
    EXPECT_EQ(withCase.Add().Name(), "Command3");
    EXPECT_EQ(withCase.Add("Custom").Name(), "Custom");
    EXPECT_EQ(withCase.IndexOf("COMMAND3"), 2);
    EXPECT_EQ(withCase.IndexOf("Command4"), -1);

    withCase.Delete(1); // Command1 is free again
    EXPECT_EQ(withCase.Add().Name(), "Command1");
    for (int bad : { -1, 5 }) {
        withCase.Delete(bad);
        EXPECT_EQ(withCase.Items(bad), nullptr);
    }
    EXPECT_EQ(withCase.Count(), 4);
}

// ---- function manager ---------------------------------------------------------------------------

TEST(TuiFunctions, UnnamedItemsAreNumberedAndTakeTheNumberAsID)
{
    TuiFunctionManager manager;
    TuiFunctions& items = manager.Items();
    items.Add("ITEM1");
    const TuiFunctionItem& second = items.Add();
    EXPECT_EQ(second.Name, "Item2");
    EXPECT_EQ(second.ItemID, 2u);
    const TuiFunctionItem& named = items.Add("Volume");
    EXPECT_EQ(named.ItemID, 0u);
    EXPECT_EQ(items.Add().Name, "Item3");
    EXPECT_EQ(items.Items(0)->ItemID, 0u) << "a named item keeps ID 0";
    EXPECT_EQ(items.IndexOf("item3"), 3);
    EXPECT_EQ(items.Items(4), nullptr);
    EXPECT_EQ(items.Items(-1), nullptr);
}

TEST(TuiFunctionItem, KeepsItsOwnCopyOfTheBuffer)
{
    TuiFunctionItem item;
    EXPECT_EQ(item.GetBufferSize(), 0u);
    EXPECT_EQ(item.Buffer(), nullptr);

    std::uint8_t data[4] = { 1, 2, 3, 4 };
    item.SetBuffer(data, sizeof data);
    data[0] = 99;
    ASSERT_EQ(item.GetBufferSize(), 4u);
    EXPECT_EQ(item.Buffer()[0], 1) << "the item copied the bytes";

    // Size 0 or no data changes nothing.
    item.SetBuffer(data, 0);
    item.SetBuffer(nullptr, 8);
    item.SetBuffer({});
    EXPECT_EQ(item.GetBufferSize(), 4u);

    const std::uint8_t two[2] = { 7, 8 };
    item.SetBuffer(two);
    ASSERT_EQ(item.GetBufferSize(), 2u);

    std::uint8_t out[3] = { 0, 0, 0xEE };
    EXPECT_EQ(item.GetBuffer(out), 2u);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[1], 8);
    EXPECT_EQ(out[2], 0xEE) << "nothing written past the item's bytes";
    std::uint8_t small[1] = { 0 };
    EXPECT_EQ(item.GetBuffer(small), 1u) << "never more than the caller's buffer holds";
    EXPECT_EQ(small[0], 7);
}

TEST(TuiFunctionItem, RunItPassesIDAndBuffer)
{
    TuiFunctionItem item;
    item.RunIt(); // no handler: nothing happens

    item.ItemID = 0xFFFFFFFE;
    const std::uint8_t data[3] = { 5, 6, 7 };
    item.SetBuffer(data);
    int calls = 0;
    item.OnExecute = [&](std::int32_t id, const void* buffer, std::uint32_t size) {
        ++calls;
        EXPECT_EQ(id, -2);
        EXPECT_EQ(buffer, item.Buffer());
        ASSERT_EQ(size, 3u);
        EXPECT_EQ(std::memcmp(buffer, data, 3), 0);
    };
    item.RunIt();
    EXPECT_EQ(calls, 1);

    EXPECT_EQ(item.DisplayName(), "TuiFunctionItem");
    item.Name = "Mute";
    EXPECT_EQ(item.DisplayName(), "Mute");
}

// ---- one-shot worker ----------------------------------------------------------------------------

namespace {

// Lets a test hold worker threads until it has done its part.
class Gate {
public:
    void Open()
    {
        {
            const std::lock_guard lock(FMutex);
            FOpen = true;
        }
        FChanged.notify_all();
    }
    void Wait()
    {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return FOpen; });
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FOpen = false;
};

} // namespace

TEST(TuiThread, SizeZeroNoBufferOrNoFunctionStartsNothing)
{
    TuiThread::WaitForAll();
    std::atomic<int> calls { 0 };
    const auto count = [&calls](const void*, std::uint32_t) { ++calls; };
    const std::int32_t values[3] = { 10, 3, 1 };
    EXPECT_FALSE(TuiThread::ThreadCallFunction(count, values, 0));
    EXPECT_FALSE(TuiThread::ThreadCallFunction(count, nullptr, sizeof values));
    EXPECT_FALSE(TuiThread::ThreadCallFunction({}, values, sizeof values));
    EXPECT_EQ(TuiThread::RunningCount(), 0u);
    TuiThread::WaitForAll();
    EXPECT_EQ(calls, 0);
}

TEST(TuiThread, EachCallRunsOnceWithItsOwnCopy)
{
    TuiThread::WaitForAll();
    Gate gate;
    std::mutex seenMutex;
    std::vector<std::vector<std::int32_t>> seen;
    const auto worker = [&](const void* buffer, std::uint32_t size) {
        gate.Wait();
        std::vector<std::int32_t> values(size / sizeof(std::int32_t));
        std::memcpy(values.data(), buffer, size);
        const std::lock_guard lock(seenMutex);
        seen.push_back(values);
    };

    // Two calls back to back: the second must not disturb the copy the first thread still needs.
    std::int32_t params[3] = { 10, 3, 1 };
    ASSERT_TRUE(TuiThread::ThreadCallFunction(worker, params, sizeof params));
    params[0] = 20;
    params[1] = 20;
    ASSERT_TRUE(TuiThread::ThreadCallFunction(worker, params, sizeof params));
    params[0] = -1; // the caller's buffer is free to change once the call returns
    EXPECT_EQ(TuiThread::RunningCount(), 2u);

    gate.Open();
    TuiThread::WaitForAll();
    EXPECT_EQ(TuiThread::RunningCount(), 0u);
    ASSERT_EQ(seen.size(), 2u);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen[0], (std::vector<std::int32_t> { 10, 3, 1 }));
    EXPECT_EQ(seen[1], (std::vector<std::int32_t> { 20, 20, 1 }));
}

TEST(TuiThread, FinishedThreadsAreJoinedAndFailuresStayInside)
{
    TuiThread::WaitForAll();
    const std::uint8_t byte = 1;
    Gate gate;
    ASSERT_TRUE(TuiThread::ThreadCallFunction([&gate](const void*, std::uint32_t) { gate.Wait(); }, &byte, 1));
    ASSERT_TRUE(TuiThread::ThreadCallFunction(
        [](const void*, std::uint32_t) { throw std::runtime_error("the system refused the setting"); }, &byte, 1));

    // The throwing thread ends by itself (the process goes on) and is joined; the held one remains.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (TuiThread::RunningCount() != 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(TuiThread::RunningCount(), 1u);

    gate.Open();
    TuiThread::WaitForAll();
    EXPECT_EQ(TuiThread::RunningCount(), 0u);
}
