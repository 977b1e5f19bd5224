// TuiHIDData's device search over the virtual backend: the identifier list, the collection and
// report-length tests, several mice, failures, output writes and the reader threads.
#include "device/Function_Solmarchs.h"
#include "device/uiHIDData.h"
#include "device/virtual_mouse.h"
#include "device_fakes.h"
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace bv;

namespace {

constexpr USAGE_AND_PAGE kVendor { 0x0001, 0xFFA0 };
constexpr USAGE_AND_PAGE kMouseCollection { 0x0002, 0x0001 };

/// A report of `size` bytes for the vendor collection: ID, then `body`, zeros.
std::unique_ptr<THIDDataParam> request(std::uint8_t id, std::uint32_t size, std::vector<std::uint8_t> body = {})
{
    auto r = std::make_unique<THIDDataParam>();
    r->UsageAndPage = kVendor;
    r->Data.ReportID = id;
    r->Data.DATASIZE = size;
    std::copy(body.begin(), body.end(), r->Data.DATAReally);
    return r;
}

/// A memory write of `data` at `address` in report 2.
std::unique_ptr<THIDDataParam> writeRequest(std::uint16_t address, std::vector<std::uint8_t> data)
{
    std::vector<std::uint8_t> body { 2, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
        static_cast<std::uint8_t>(data.size()), 0, 0xFA, 0xFA };
    body.insert(body.end(), data.begin(), data.end());
    return request(2, 16, body);
}

struct Rig {
    explicit Rig(int mice = 1, std::vector<std::string> list = {})
    {
        for (int i = 0; i < mice; ++i)
            this->mice.push_back(std::make_shared<VirtualMouse>());
        backend = std::make_shared<VirtualHidBackend>(
            std::vector<std::shared_ptr<VirtualHidDevice>>(this->mice.begin(), this->mice.end()));
        hid = std::make_unique<TuiHIDData>(backend, std::move(list));
        MouseUsageAndPage = kVendor;
    }
    std::vector<std::shared_ptr<VirtualMouse>> mice;
    std::shared_ptr<VirtualHidBackend> backend;
    std::unique_ptr<TuiHIDData> hid;
};

} // namespace

TEST(TuiHIDData, ReadsTheIdentifierListUpToTheFirstGap)
{
    struct Case {
        const char* name;
        const char* ini;
        std::vector<std::string> list;
    };
    const Case cases[] = {
        { "no section", "[OtherConfig]\nNoLogo=0\n", {} },
        { "empty section", "[IncludeHIDDeviceList]\n", {} },
        { "in order", "[includehiddevicelist]\nID1=HID\\VID_B5A0&PID_0C0F\nid2 = \"HID_DEVICE\"\n",
            { "HID\\VID_B5A0&PID_0C0F", "HID_DEVICE" } },
        { "id1 missing", "[IncludeHIDDeviceList]\nid2=HID_DEVICE\n", {} },
        { "empty value stops", "[IncludeHIDDeviceList]\nid1=a\nid2=\nid3=c\n", { "a" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TuiHIDData::ReadHidDeviceList(platform::IniFile::parse(c.ini)), c.list);
    }
    std::string many = "[IncludeHIDDeviceList]\n";
    for (int i = 1; i <= 105; ++i)
        many += "id" + std::to_string(i) + "=x" + std::to_string(i) + "\n";
    const auto list = TuiHIDData::ReadHidDeviceList(platform::IniFile::parse(many));
    ASSERT_EQ(list.size(), 101u);
    EXPECT_EQ(list.back(), "x101");
    EXPECT_TRUE(TuiHIDData::LoadHidDeviceList("/nonexistent-folder").empty());
}

TEST(TuiHIDData, AcceptsByWholeIdentifierWithoutRegardToCase)
{
    struct Case {
        std::vector<std::string> list;
        bool accepted;
    };
    const Case cases[] = {
        { {}, true },
        { { "hid\\vid_b5a0&pid_0c0f&rev_0100&col01" }, true },
        { { "nothing", "HID_DEVICE_UP:FFA0_U:0001" }, true },
        // The vendor collection's identifiers all end in &Col01: the bare form is another string.
        { { "HID\\VID_B5A0&PID_0C0F" }, false },
        { { "HID\\VID_B5A0&PID_0C0F&Col0" }, false },
        // This names the mouse collection, which has no vendor reports.
        { { "HID\\VID_B5A0&PID_0C0F&Col02" }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list.empty() ? "empty list" : c.list.back());
        Rig rig(1, c.list);
        THIDDataParam probe;
        probe.UsageAndPage = kVendor;
        EXPECT_EQ(rig.hid->IsDeviceExist(probe), c.accepted);
        const std::uint32_t r = rig.hid->HidFindAndSetFeatureReport(*writeRequest(100, { 7 }));
        EXPECT_EQ(r, c.accepted ? 0u : kHidErrorNoDevice);
        EXPECT_EQ(rig.mice[0]->state().memory[100], c.accepted ? 7 : 0);
    }
}

TEST(TuiHIDData, ServesEveryMouseAndReadsTheLastOne)
{
    Rig rig(2);
    ASSERT_EQ(rig.hid->HidFindAndSetFeatureReport(*writeRequest(64, { 1 })), 0u);
    EXPECT_EQ(rig.mice[0]->state().memory[64], 1);
    EXPECT_EQ(rig.mice[1]->state().memory[64], 1);

    // Make the second mouse differ, then read through both.
    const auto differ = writeRequest(64, { 9 });
    ASSERT_EQ(rig.mice[1]->setFeature({ differ->Data.bytes(), 16 }), 0u);
    std::uint8_t value = 0;
    ASSERT_EQ(ReadDeviceByte(*rig.hid, value, 64), 0u);
    EXPECT_EQ(value, 9);
}

TEST(TuiHIDData, TheLastTransferDecidesTheResult)
{
    Rig rig(2);
    // Set: the second mouse fails, the first was written anyway.
    rig.mice[1]->setFaults({ 1, 0, 4096 });
    EXPECT_EQ(rig.hid->HidFindAndSetFeatureReport(*writeRequest(10, { 5 })), kHidErrorIo);
    EXPECT_EQ(rig.mice[0]->state().memory[10], 5);
    EXPECT_EQ(rig.mice[1]->state().memory[10], 0);

    // Get: the first answers, the second fails; the result is the failure, Data holds the first answer.
    ASSERT_EQ(rig.hid->HidFindAndSetFeatureReport(*request(2, 16, { 3, 10, 0, 1, 0, 0xFA, 0xFA })), 0u);
    rig.mice[1]->setFaults({ 1, 0, 4096 });
    auto get = request(2, 16);
    EXPECT_EQ(rig.hid->HidFindAndGetFeatureReport(*get), kHidErrorIo);
    EXPECT_EQ(get->Data.DATAReally[0], 3);
    EXPECT_EQ(get->Data.DATAReally[7], 5);
}

TEST(TuiHIDData, AReportLargerThanTheCollectionDeclaresReachesNoInterface)
{
    Rig rig;
    rig.mice[0]->setFaults({ 0, 0, 64 });
    THIDDataParam probe;
    probe.UsageAndPage = kVendor;
    EXPECT_TRUE(rig.hid->IsDeviceExist(probe)); // presence ignores lengths

    const std::vector<std::uint8_t> block(57, 0xAB); // 57 + 8 bytes: report 4, 1024 bytes
    EXPECT_EQ(WriteDeviceMemory(*rig.hid, block.data(), 57, 200), kHidErrorNoDevice);
    EXPECT_EQ(rig.mice[0]->transferCount(), 0u);
    EXPECT_EQ(WriteDeviceMemory(*rig.hid, block.data(), 56, 200), 0u); // report 3 fits
    EXPECT_EQ(rig.mice[0]->state().memory[255], 0xAB);
}

TEST(TuiHIDData, AnUnpluggedMouseIsNoLongerFound)
{
    Rig rig;
    rig.mice[0]->setFaults({ 0, 2, 4096 });
    EXPECT_EQ(rig.hid->HidFindAndSetFeatureReport(*writeRequest(1, { 1 })), 0u);
    EXPECT_EQ(rig.hid->HidFindAndSetFeatureReport(*writeRequest(2, { 2 })), 0u);
    EXPECT_EQ(rig.hid->HidFindAndSetFeatureReport(*writeRequest(3, { 3 })), kHidErrorNoDevice);
    THIDDataParam probe;
    probe.UsageAndPage = kVendor;
    EXPECT_FALSE(rig.hid->IsDeviceExist(probe));
    rig.mice[0]->plug();
    EXPECT_TRUE(rig.hid->IsDeviceExist(probe));
}

TEST(TuiHIDData, RefusesReportSizesOutsideTheBuffer)
{
    Rig rig;
    EXPECT_EQ(rig.hid->HidFindAndSetFeatureReport(*request(2, 0)), kHidErrorInvalidRequest);
    EXPECT_EQ(rig.hid->HidFindAndGetFeatureReport(*request(2, 65537)), kHidErrorInvalidRequest);
    EXPECT_EQ(rig.hid->HidFindAndWriteDevice(*request(2, 65536)), 0u);
    EXPECT_EQ(rig.mice[0]->transferCount(), 0u);
}

TEST(TuiHIDData, WritesOutputReportsOfDataSizePlusOneBytes)
{
    // A vendor collection with a 9-byte output report (ID included).
    const std::vector<std::uint8_t> descriptor
        = { 0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x07, 0x75, 0x08, 0x95, 0x08, 0x91, 0x02, 0xC0 };
    auto device = std::make_shared<test::PlainHidDevice>(descriptor, HidAttributes { 1, 2, 3 });
    TuiHIDData hid(std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { device }));
    auto r = request(7, 9, { 1, 2, 3 });
    EXPECT_EQ(hid.HidFindAndWriteDevice(*r), 1u);
    ASSERT_EQ(device->outputs.size(), 1u);
    EXPECT_EQ(device->outputs[0].size(), 10u);
    EXPECT_EQ(device->outputs[0][0], 7);
    EXPECT_EQ(device->outputs[0][3], 3);
    r->Data.DATASIZE = 10; // longer than the collection's output report
    EXPECT_EQ(hid.HidFindAndWriteDevice(*r), 0u);
    r->UsageAndPage = kMouseCollection;
    r->Data.DATASIZE = 9;
    EXPECT_EQ(hid.HidFindAndWriteDevice(*r), 0u);
    EXPECT_EQ(device->outputs.size(), 1u);
}

TEST(TuiHIDData, ListsInterfacesAndSkipsOnesThatCannotBeUsed)
{
    auto broken
        = std::make_shared<test::PlainHidDevice>(std::vector<std::uint8_t> { 0x05, 0x01, 0xA1 }, HidAttributes {});
    auto mouse = std::make_shared<VirtualMouse>();
    TuiHIDData hid(
        std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { broken, mouse }),
        { "HID_DEVICE_UP:FFA0_U:0001" });
    const auto list = hid.DescribeInterfaces();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 3u);
    EXPECT_NE((*list)[0].error.find("report descriptor is malformed"), std::string::npos) << (*list)[0].error;
    EXPECT_FALSE((*list)[0].caps);
    EXPECT_TRUE((*list)[1].accepted);
    EXPECT_EQ((*list)[1].error, "");
    EXPECT_EQ((*list)[1].caps->FeatureReportByteLength, 4096);
    EXPECT_FALSE((*list)[2].accepted);

    MouseUsageAndPage = kVendor;
    EXPECT_EQ(WriteDeviceMemory(hid, "\x42", 1, 5), 0u);
    EXPECT_EQ(mouse->state().memory[5], 0x42);
}

namespace {

/// Collects reader events and lets a test wait for them without fixed sleeps.
struct Events {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> log;

    void add(std::string line)
    {
        std::lock_guard lock(mutex);
        log.push_back(std::move(line));
        changed.notify_all();
    }
    bool waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return log.size() >= count; });
    }
    std::vector<std::string> snapshot()
    {
        std::lock_guard lock(mutex);
        return log;
    }
};

} // namespace

TEST(TuiHIDData, ReaderThreadsRaiseDataButtonAndRemovalEvents)
{
    Rig rig;
    Events events;
    std::vector<std::string> debug;
    rig.hid->OnData = [&](const std::string& id, const std::string& path, std::uint8_t reportId,
                          const std::uint8_t* data, std::uint16_t size) {
        events.add("data " + id + " " + path + " " + std::to_string(reportId) + " " + std::to_string(size) + " "
            + std::to_string(data[0]));
    };
    rig.hid->OnParsedData = [&](const std::string&, const std::string&, std::uint8_t, std::uint32_t buttons) {
        events.add("buttons " + std::to_string(buttons));
    };
    rig.hid->OnDeviceNotConnected = [&](const std::string&, const std::string& path) { events.add("gone " + path); };
    rig.hid->SetDebugOutput([&](const std::string& text) { debug.push_back(text); });

    rig.hid->HidFindAndReadDevice(kMouseCollection);
    rig.mice[0]->pushInputReport({ 1, 0x01, 0, 0, 0 }); // button 1 down
    rig.mice[0]->pushInputReport({ 1, 0x03, 0, 0, 0 }); // button 2 down as well
    rig.mice[0]->pushInputReport({ 1, 0x02, 0, 0, 0 }); // button 1 up
    ASSERT_TRUE(events.waitFor(6));
    rig.mice[0]->unplug();
    ASSERT_TRUE(events.waitFor(7));
    rig.hid->HidStopRead();

    const std::vector<std::string> expected = {
        "data HID\\VID_B5A0&PID_0C0F&REV_0100&Col02 virtual/0&col02 1 4 1",
        "buttons " + std::to_string(1u << 16),
        "data HID\\VID_B5A0&PID_0C0F&REV_0100&Col02 virtual/0&col02 1 4 3",
        "buttons " + std::to_string(2u << 16),
        "data HID\\VID_B5A0&PID_0C0F&REV_0100&Col02 virtual/0&col02 1 4 2",
        "buttons 1",
        "gone virtual/0&col02",
    };
    EXPECT_EQ(events.snapshot(), expected);
    EXPECT_EQ(debug, std::vector<std::string> { "ERROR_DEVICE_NOT_CONNECTED++++++++++++++++" });
}

TEST(TuiHIDData, StopReadEndsTheReaders)
{
    Rig rig;
    Events events;
    rig.hid->FastOnData = true;
    rig.hid->OnData = [&](const std::string&, const std::string&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
        events.add("data");
    };
    const long idle = rig.mice[0].use_count();
    rig.hid->HidFindAndReadDevice(kMouseCollection);
    rig.hid->HidFindAndReadDevice(kMouseCollection);
    rig.hid->HidFindAndReadDevice(kVendor); // no input reports: no reader
    EXPECT_EQ(rig.mice[0].use_count(), idle + 2); // each reader holds the device open
    rig.mice[0]->pushInputReport({ 1, 0, 0, 0, 0 });
    ASSERT_TRUE(events.waitFor(1));
    rig.hid->HidStopRead();
    // Both readers have ended and closed the device by the time HidStopRead returns.
    EXPECT_EQ(rig.mice[0].use_count(), idle);

    rig.mice[0]->pushInputReport({ 1, 0, 0, 0, 0 });
    rig.hid->HidFindAndReadDevice(kMouseCollection);
    ASSERT_TRUE(events.waitFor(2));
    EXPECT_EQ(events.snapshot().size(), 2u);
}

// A request the mouse refuses is told as such, not as the system's text of the same number
// ("Broken pipe" on Linux).
TEST(HidErrors, TheProgramsOwnCodesAreToldInItsOwnWords)
{
    VirtualHidBackend backend;
    EXPECT_EQ(backend.describeError(kHidErrorRejected), "the mouse refused the request");
    EXPECT_EQ(backend.describeError(kHidErrorNoDevice), "the mouse is not connected");
    EXPECT_EQ(backend.describeError(0), "success");
}
