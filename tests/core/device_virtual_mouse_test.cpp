// The virtual mouse's firmware choices and its state file.
#include "device/Function_Solmarchs.h"
#include "device/device_selection.h"
#include "device/virtual_mouse.h"
#include "platform/atomic_file.h"
#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

using namespace bv;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes report(std::size_t size, Bytes head)
{
    Bytes r(size, 0);
    std::copy(head.begin(), head.end(), r.begin());
    return r;
}

void writeBytes(const fs::path& p, const Bytes& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TuiHIDData hidFor(std::shared_ptr<VirtualMouse> mouse)
{
    MouseUsageAndPage = kMouseVendorCollection;
    return TuiHIDData(std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { mouse }));
}

} // namespace

TEST(VirtualMouse, StallsWhatTheFirmwareCannotServe)
{
    VirtualMouse m;
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint32_t result;
    };
    const Case cases[] = {
        { "write past the memory", report(16, { 2, 2, 0xFF, 0x11, 2, 0 }), kHidErrorRejected },
        { "data longer than its report", report(16, { 2, 2, 0, 0, 9, 0 }), kHidErrorRejected },
        { "read past the memory", report(16, { 2, 3, 0x00, 0x12, 1, 0 }), kHidErrorRejected },
        { "report 2 of the wrong size", report(17, { 2, 2, 0, 0, 1, 0, 0xFA, 0xFA, 1 }), kHidErrorRejected },
        { "an ID the mouse lacks", report(16, { 7, 2, 0, 0, 1, 0, 0xFA, 0xFA, 1 }), kHidErrorRejected },
        { "last byte of the memory", report(16, { 2, 2, 0xFF, 0x11, 1, 0, 0xFA, 0xFA, 0x77 }), 0 },
        { "unknown command", report(16, { 2, 0x55, 1, 2, 3 }), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m.setFeature(c.bytes), c.result);
    }
    const auto s = m.state();
    EXPECT_EQ(s.memory.back(), 0x77);
    EXPECT_EQ(std::count(s.memory.begin(), s.memory.end(), 0), static_cast<long>(s.memory.size()) - 1);
    EXPECT_FALSE(s.readPending);

    // Fetching without a read request gives zeros after the ID; a wrong size is stalled.
    Bytes answer = report(64, { 3, 9, 9 });
    EXPECT_EQ(m.getFeature(answer), 0u);
    EXPECT_EQ(answer, report(64, { 3 }));
    Bytes wrong = report(63, { 3 });
    EXPECT_EQ(m.getFeature(wrong), kHidErrorRejected);
}

TEST(VirtualMouse, AnswersAReadLongerThanItsReportWithWhatFits)
{
    VirtualMouse m;
    auto hid = hidFor(std::shared_ptr<VirtualMouse>(&m, [](VirtualMouse*) {}));
    Bytes data(20, 0x5C);
    EXPECT_EQ(WriteDeviceMemory(hid, data.data(), 20, 0), 0u);
    ASSERT_EQ(m.setFeature(report(16, { 2, 3, 0, 0, 20, 0, 0xFA, 0xFA })), 0u);
    Bytes answer = report(16, { 2 });
    ASSERT_EQ(m.getFeature(answer), 0u);
    EXPECT_EQ(answer, report(16, { 2, 3, 0, 0, 20, 0, 0xFA, 0xFA, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C }));
}

TEST(VirtualMouse, FailsTheNthTransferOnly)
{
    auto mouse = std::make_shared<VirtualMouse>();
    auto hid = hidFor(mouse);
    mouse->setFaults({ 2, 0, 4096 });
    const std::uint8_t b = 1;
    EXPECT_EQ(WriteDeviceMemory(hid, &b, 1, 10), 0u);
    EXPECT_EQ(WriteDeviceMemory(hid, &b, 1, 11), kHidErrorIo);
    EXPECT_EQ(WriteDeviceMemory(hid, &b, 1, 12), 0u);
    const auto s = mouse->state();
    EXPECT_EQ(s.memory[10], 1);
    EXPECT_EQ(s.memory[11], 0);
    EXPECT_EQ(s.memory[12], 1);
    EXPECT_EQ(mouse->transferCount(), 3u);
}

TEST(VirtualMouse, StateFileIsSharedBetweenMiceAndSurvivesThem)
{
    test::TempDir dir;
    const fs::path file = dir / "mouse.state";
    {
        auto first = std::make_shared<VirtualMouse>(file);
        EXPECT_FALSE(fs::exists(file)); // nothing written until something changes
        auto second = std::make_shared<VirtualMouse>(file);
        auto a = hidFor(first);
        auto b = hidFor(second);
        const Bytes data = { 1, 2, 3, 4 };
        EXPECT_EQ(WriteDeviceMemory(a, data.data(), 4, 2177), 0u);
        EXPECT_EQ(SendUpdateBracket(a, 0, 0), 0u);
        Bytes got(4);
        ASSERT_EQ(ReadDeviceMemory(b, got.data(), 4, 2177), 0u);
        EXPECT_EQ(got, data);
        EXPECT_TRUE(second->state().bracketOpen);
    }
    VirtualMouse later(file);
    const auto s = later.state();
    EXPECT_EQ(s.memory[2180], 4);
    EXPECT_TRUE(s.readPending);
    EXPECT_EQ(s.bracketOpens, 1u);

    // The file holds exactly what the encoder makes of that state.
    const auto bytes = platform::readFile(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, EncodeVirtualMouseState(s));
}

// Mice in separate threads stand for separate processes: each transfer's read-change-write of the
// shared file is whole, so no write is lost.
TEST(VirtualMouse, WritesToASharedStateFileAreNeverLost)
{
    test::TempDir dir;
    const fs::path file = dir / "mouse.state";
    constexpr int kWriters = 4, kWrites = 40;
    // Each writer has its own mouse and HID component; the program's collection is set here,
    // once, and the threads only read it.
    MouseUsageAndPage = kMouseVendorCollection;
    std::vector<std::unique_ptr<TuiHIDData>> hids;
    for (int w = 0; w < kWriters; ++w)
        hids.push_back(std::make_unique<TuiHIDData>(std::make_shared<VirtualHidBackend>(
            std::vector<std::shared_ptr<VirtualHidDevice>> { std::make_shared<VirtualMouse>(file) })));
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&hids, w] {
            for (int i = 0; i < kWrites; ++i) {
                const std::uint8_t b = static_cast<std::uint8_t>(1 + w);
                EXPECT_EQ(
                    WriteDeviceMemory(*hids[std::size_t(w)], &b, 1, static_cast<std::uint16_t>(100 + w * kWrites + i)),
                    0u);
            }
        });
    for (auto& t : writers)
        t.join();
    const auto s = VirtualMouse(file).state();
    int written = 0;
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kWrites; ++i)
            written += s.memory[std::size_t(100 + w * kWrites + i)] == 1 + w;
    EXPECT_EQ(written, kWriters * kWrites);

    // A lock that cannot be made is a failed transfer that says why.
    auto lost = std::make_shared<VirtualMouse>(dir / "gone" / "mouse.state");
    auto hid = hidFor(lost);
    const std::uint8_t b = 1;
    EXPECT_NE(WriteDeviceMemory(hid, &b, 1, 10), 0u);
    EXPECT_NE(lost->lastProblem().find("cannot be locked"), std::string::npos) << lost->lastProblem();
}

TEST(VirtualMouse, StateRoundTripsThroughItsEncoding)
{
    VirtualMouseState s;
    s.memory[0] = 1;
    s.memory.back() = 2;
    s.previewShown = true;
    s.preview = { 1, 2, 3, 4, 5 };
    s.notice = { 1, 4 };
    s.noticeCount = 0x01020304;
    s.bracketOpen = true;
    s.bracketOpens = 7;
    s.bracketCloses = 6;
    s.readPending = true;
    s.readAddress = 0x11F0;
    s.readLength = 0x10;
    std::string why;
    const auto back = DecodeVirtualMouseState(EncodeVirtualMouseState(s), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, s);
    EXPECT_EQ(EncodeVirtualMouseState(s).size(), 4640u);
}

TEST(VirtualMouse, ADamagedStateFileIsAClearErrorNeverACrash)
{
    const Bytes good = EncodeVirtualMouseState({});
    auto patched = [&](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    Bytes pendingPastEnd = good;
    pendingPastEnd[4616] = 4; // read pending
    pendingPastEnd[4636] = 0xFF;
    pendingPastEnd[4637] = 0x11; // at 4607
    pendingPastEnd[4638] = 2; // two bytes
    struct Case {
        const char* name;
        Bytes bytes;
        const char* why;
    };
    const Case cases[] = {
        { "empty", {}, "does not start with \"BVVM\"" },
        { "text", Bytes { 'h', 'e', 'l', 'l', 'o', '\n' }, "does not start with \"BVVM\"" },
        { "newer version", patched(4, 2), "version 2; this program reads version 1" },
        { "cut short", Bytes(good.begin(), good.end() - 1), "holds 4639 bytes; version 1 holds 4640" },
        { "grown",
            [&] {
                Bytes b = good;
                b.push_back(0);
                return b;
            }(),
            "holds 4641 bytes" },
        { "memory size", patched(7, 0x11), "memory size is 4352 bytes" },
        { "flags", patched(4616, 0x80), "unknown bits" },
        { "pending read", pendingPastEnd, "pending read reaches past the memory" },
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        EXPECT_FALSE(DecodeVirtualMouseState(c.bytes, why));
        EXPECT_NE(why.find(c.why), std::string::npos) << why;

        const fs::path file = dir / (std::string(c.name) + ".state");
        writeBytes(file, c.bytes);
        try {
            VirtualMouse m(file);
            ADD_FAILURE() << "accepted";
        } catch (const VirtualMouseStateError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(file.string()), std::string::npos) << text;
            EXPECT_NE(text.find(c.why), std::string::npos) << text;
        }
    }
}

TEST(VirtualMouse, AStateFileDamagedWhileInUseFailsTransfers)
{
    test::TempDir dir;
    const fs::path file = dir / "mouse.state";
    auto mouse = std::make_shared<VirtualMouse>(file);
    auto hid = hidFor(mouse);
    const std::uint8_t b = 9;
    ASSERT_EQ(WriteDeviceMemory(hid, &b, 1, 1), 0u);
    writeBytes(file, { 'x' });
    EXPECT_EQ(WriteDeviceMemory(hid, &b, 1, 2), kHidErrorIo);
    EXPECT_NE(mouse->lastProblem().find("is damaged"), std::string::npos) << mouse->lastProblem();
    EXPECT_EQ(platform::readFile(file), Bytes { 'x' }); // left for the user to look at

    fs::remove(file); // a removed file is a blank mouse again
    std::uint8_t value = 0xEE;
    EXPECT_EQ(ReadDeviceByte(hid, value, 1), 0u);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(mouse->lastProblem(), "");
}

TEST(DeviceSelection, ParsesTheDeviceOptionAndTheEnvironment)
{
    EXPECT_FALSE(ParseDeviceSelection("").isVirtual);
    const auto memory = ParseDeviceSelection("virtual");
    EXPECT_TRUE(memory.isVirtual);
    EXPECT_FALSE(memory.stateFile);
    const auto file = ParseDeviceSelection("virtual:/tmp/m ü.state");
    EXPECT_TRUE(file.isVirtual);
    EXPECT_EQ(file.stateFile, fs::path(u8"/tmp/m ü.state"));
    for (const char* bad : { "virtual:", "Virtual", "hidraw", "virtualx" })
        EXPECT_THROW(ParseDeviceSelection(bad), std::invalid_argument) << bad;

    platform_test::ScopedEnv env;
    env.set("BV_VIRTUAL_MOUSE", "1");
    const auto inMemory = DeviceSelectionFromEnvironment();
    EXPECT_TRUE(inMemory.isVirtual);
    EXPECT_FALSE(inMemory.stateFile);
    env.set("BV_VIRTUAL_MOUSE", "/run/mouse.state");
    EXPECT_EQ(DeviceSelectionFromEnvironment().stateFile, fs::path("/run/mouse.state"));
    env.set("BV_VIRTUAL_MOUSE", "");
    EXPECT_FALSE(DeviceSelectionFromEnvironment().isVirtual);
    env.set("BV_VIRTUAL_MOUSE", std::nullopt);
    EXPECT_FALSE(DeviceSelectionFromEnvironment().isVirtual);

    test::TempDir dir;
    writeBytes(dir / "bad.state", { 1, 2, 3 });
    EXPECT_THROW(
        OpenDeviceLink(ParseDeviceSelection("virtual:" + (dir / "bad.state").string())), VirtualMouseStateError);
    const auto link = OpenDeviceLink(ParseDeviceSelection("virtual"));
    ASSERT_TRUE(link.virtualMouse);
    EXPECT_EQ(link.backend->enumerate()->size(), 2u);
}

TEST(DeviceSelection, FaultsComeFromTheEnvironment)
{
    const auto both = ParseVirtualMouseFaults("unplug-after=12,fail-transfer=3");
    EXPECT_EQ(both.unplugAfter, 12u);
    EXPECT_EQ(both.failTransfer, 3u);
    EXPECT_EQ(ParseVirtualMouseFaults("").unplugAfter, 0u);
    for (const char* bad : { "unplug-after", "unplug-after=", "unplug-after=0", "unplug-after=x", "fail-transfer=2a",
             "explode=1", "fail-transfer=-1" })
        EXPECT_THROW(ParseVirtualMouseFaults(bad), std::invalid_argument) << bad;

    platform_test::ScopedEnv env;
    env.set("BV_VIRTUAL_MOUSE_FAULTS", "fail-transfer=2");
    const auto link = OpenDeviceLink(ParseDeviceSelection("virtual"));
    const std::array<std::uint8_t, 16> report { 2, 2, 64, 0, 1, 0, 0xFA, 0xFA, 1 };
    EXPECT_EQ(link.virtualMouse->setFeature(report), 0u);
    EXPECT_NE(link.virtualMouse->setFeature(report), 0u) << "the second transfer fails";
    EXPECT_EQ(link.virtualMouse->setFeature(report), 0u);
    env.set("BV_VIRTUAL_MOUSE_FAULTS", "sometimes");
    EXPECT_THROW(OpenDeviceLink(ParseDeviceSelection("virtual")), std::invalid_argument);
}
