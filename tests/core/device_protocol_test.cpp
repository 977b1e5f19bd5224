// Command framing, the memory exchanges, the fixed-size commands and the window's sequences,
// checked on the wire (every feature report traced) and in the virtual mouse.
#include "device/Function_Solmarchs.h"
#include "device/config_image.h"
#include "device/hid_trace.h"
#include "device/macro_encoding.h"
#include "device/virtual_mouse.h"
#include "settings/cpi_steps.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace bv;

namespace {

struct Report {
    bool set; // SET or GET
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> fromHex(const std::string& hex)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

/// One virtual mouse behind a TuiHIDData, with every feature report recorded.
struct Wire {
    Wire()
        : mouse(std::make_shared<VirtualMouse>())
    {
        auto backend = std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { mouse });
        hid = std::make_unique<TuiHIDData>(TraceFeatureReports(backend, [this](const std::string& line) {
            reports.push_back({ line.rfind("SET ", 0) == 0, fromHex(line.substr(4)) });
        }));
        MouseUsageAndPage = kMouseVendorCollection;
    }

    /// The command bytes of every SET: code and the first header parameters.
    std::vector<std::vector<std::uint8_t>> commands(std::size_t headerBytes = 3) const
    {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& r : reports)
            if (r.set)
                out.emplace_back(r.bytes.begin() + 1, r.bytes.begin() + 1 + headerBytes);
        return out;
    }

    std::shared_ptr<VirtualMouse> mouse;
    std::unique_ptr<TuiHIDData> hid;
    std::vector<Report> reports;
};

using Bytes = std::vector<std::uint8_t>;

} // namespace

TEST(CommandFraming, ReportIdAndSizeFollowTheDataLength)
{
    struct Case {
        std::uint32_t n;
        std::uint8_t id;
        std::uint32_t size;
    };
    const Case cases[] = { { 1, 2, 16 }, { 16, 2, 16 }, { 17, 3, 64 }, { 64, 3, 64 }, { 65, 4, 1024 },
        { 1024, 4, 1024 }, { 1025, 5, 2048 }, { 2048, 5, 2048 }, { 2049, 6, 4096 }, { 4096, 6, 4096 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(ReportIdForLength(c.n), c.id);
        EXPECT_EQ(ReportSizeForId(c.id), c.size);
    }
    EXPECT_EQ(ReportSizeForId(0), 16u);
    EXPECT_EQ(ReportSizeForId(7), 16u);
}

TEST(CommandFraming, MemoryWritesTravelInTheSmallestReport)
{
    struct Case {
        std::uint16_t length;
        std::uint8_t id;
        std::size_t size;
    };
    const Case cases[] = { { 1, 2, 16 }, { 8, 2, 16 }, { 9, 3, 64 }, { 56, 3, 64 }, { 57, 4, 1024 }, { 1016, 4, 1024 },
        { 1017, 5, 2048 }, { 2040, 5, 2048 }, { 2041, 6, 4096 }, { 2048, 6, 4096 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        Wire w;
        Bytes data(c.length);
        std::iota(data.begin(), data.end(), std::uint8_t { 1 });
        EXPECT_EQ(WriteDeviceMemory(*w.hid, data.data(), c.length, 0x0102), 0u);
        ASSERT_EQ(w.reports.size(), 1u);
        const Bytes& r = w.reports[0].bytes;
        ASSERT_EQ(r.size(), c.size);
        const Bytes header(r.begin(), r.begin() + 8);
        EXPECT_EQ(header,
            (Bytes { c.id, 2, 0x02, 0x01, static_cast<std::uint8_t>(c.length), static_cast<std::uint8_t>(c.length >> 8),
                0xFA, 0xFA }));
        EXPECT_TRUE(std::equal(data.begin(), data.end(), r.begin() + 8));
        EXPECT_TRUE(std::all_of(r.begin() + 8 + c.length, r.end(), [](std::uint8_t b) { return b == 0; }));
        const auto memory = w.mouse->state().memory;
        EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.begin() + 0x0102));
    }
}

TEST(CommandFraming, WritesThatCarryNothingOrTooMuchSendNothing)
{
    Wire w;
    const Bytes big(2049, 1);
    EXPECT_EQ(WriteDeviceMemory(*w.hid, big.data(), 0, 10), 0u);
    EXPECT_EQ(WriteDeviceMemory(*w.hid, big.data(), 2049, 10), kHidErrorInvalidRequest);
    EXPECT_EQ(WriteDeviceMemory(*w.hid, big.data(), 2049, 10), kHidErrorInvalidRequest);

    // A packet whose own length field exceeds the data area is refused, whatever sends it.
    TCommandPacket p {};
    p.Header[0] = 0x82; // bit 7 does not hide a memory command
    p.Header[3] = 0x01;
    p.Header[4] = 0x08; // 2049
    EXPECT_EQ(SendCommandReport(*w.hid, p), kHidErrorInvalidRequest);
    EXPECT_TRUE(w.reports.empty());

    p.Header[4] = 0x00; // 1 byte: the data area of a flagged memory command travels
    p.Data[0] = 0x5A;
    EXPECT_EQ(SendCommandReport(*w.hid, p), 0u);
    ASSERT_EQ(w.reports.size(), 1u);
    EXPECT_EQ(w.reports[0].bytes[1], 0x82);
    EXPECT_EQ(w.reports[0].bytes[8], 0x5A);
}

TEST(CommandFraming, ReadsRequestInReportTwoAndFetchByLength)
{
    Wire w;
    Bytes block(32);
    std::iota(block.begin(), block.end(), std::uint8_t { 100 });
    EXPECT_EQ(WriteDeviceMemory(*w.hid, block.data(), 32, 72), 0u);
    EXPECT_EQ(WriteDeviceByte(*w.hid, 1, 64), 0u);
    w.reports.clear();

    std::uint8_t selector = 0;
    ASSERT_EQ(ReadDeviceByte(*w.hid, selector, 64), 0u);
    EXPECT_EQ(selector, 1);
    ASSERT_EQ(w.reports.size(), 2u);
    Bytes expected(16, 0);
    const Bytes request = { 2, 3, 0x40, 0x00, 0x01, 0x00, 0xFA, 0xFA };
    std::copy(request.begin(), request.end(), expected.begin());
    EXPECT_EQ(w.reports[0].bytes, expected);
    EXPECT_FALSE(w.reports[1].set);
    EXPECT_EQ(w.reports[1].bytes.size(), 16u);
    EXPECT_EQ(w.reports[1].bytes[8], 1);

    w.reports.clear();
    TCPIBlock cpi {};
    ASSERT_EQ(ReadCPIBlock(*w.hid, cpi, 72), 0u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), cpi.begin()));
    ASSERT_EQ(w.reports.size(), 2u);
    EXPECT_EQ(w.reports[0].bytes.size(), 16u);
    EXPECT_EQ(w.reports[1].bytes.size(), 64u);
    EXPECT_EQ(w.reports[1].bytes[0], 3);

    // The answer's header lands in the packet; byte 7 is cleared.
    TCommandPacket p {};
    p.Header[0] = 3;
    p.Header[1] = 72;
    p.Header[3] = 2;
    p.Header[7] = 0x77;
    ASSERT_EQ(QueryCommandReport(*w.hid, p), 0u);
    EXPECT_EQ(Bytes(p.Header, p.Header + 8), (Bytes { 3, 72, 0, 2, 0, 0xFA, 0xFA, 0 }));
    EXPECT_EQ(p.Data[0], 100);
    EXPECT_EQ(p.Data[1], 101);
}

TEST(CommandFraming, TheLargestReadFitsAndALargerOneSendsNothing)
{
    Wire w;
    Bytes data(2040, 0xC3);
    EXPECT_EQ(WriteDeviceMemory(*w.hid, data.data(), 2040, 100), 0u);
    Bytes got(2041, 0);
    ASSERT_EQ(ReadDeviceMemory(*w.hid, got.data(), 2040, 100), 0u);
    EXPECT_EQ(w.reports.back().bytes.size(), 2048u);
    EXPECT_TRUE(std::all_of(got.begin(), got.begin() + 2040, [](std::uint8_t b) { return b == 0xC3; }));
    EXPECT_EQ(got[2040], 0);

    w.reports.clear();
    std::fill(got.begin(), got.end(), 0x11);
    EXPECT_EQ(ReadDeviceMemory(*w.hid, got.data(), 2041, 100), kHidErrorInvalidRequest);
    EXPECT_TRUE(w.reports.empty());
    EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](std::uint8_t b) { return b == 0x11; }));
}

TEST(CommandFraming, AFailedReadLeavesTheDestinationAlone)
{
    for (const std::uint64_t failing : { 1u, 2u }) { // the request, then the fetch
        SCOPED_TRACE(failing);
        Wire w;
        EXPECT_EQ(WriteDeviceByte(*w.hid, 0x42, 300), 0u);
        w.mouse->setFaults({ failing, 0, 4096 });
        std::uint8_t value = 0xEE;
        EXPECT_EQ(ReadDeviceByte(*w.hid, value, 300), kHidErrorIo);
        EXPECT_EQ(value, 0xEE);
    }
    Wire gone;
    gone.mouse->unplug();
    std::uint8_t value = 0xEE;
    EXPECT_EQ(ReadDeviceByte(*gone.hid, value, 300), kHidErrorNoDevice);
    EXPECT_EQ(value, 0xEE);
}

TEST(DeviceCommands, ShortCommandsTravelInReportTwo)
{
    Wire w;
    EXPECT_EQ(SendUpdateBracket(*w.hid, 0, 0), 0u);
    EXPECT_EQ(SendSettingsNotice(*w.hid, 1, 3), 0u);
    EXPECT_EQ(SendLightPreview(*w.hid, { 0x10, 0x20, 0x30, 0x40, 0x50, 0x60 }), 0u);
    EXPECT_EQ(SendUpdateBracket(*w.hid, 1, 0), 0u);
    ASSERT_EQ(w.reports.size(), 4u);
    for (const auto& r : w.reports) {
        EXPECT_EQ(r.bytes.size(), 16u);
        EXPECT_EQ(r.bytes[0], 2);
        EXPECT_TRUE(std::all_of(r.bytes.begin() + 8, r.bytes.end(), [](std::uint8_t b) { return b == 0; }));
    }
    EXPECT_EQ(Bytes(w.reports[1].bytes.begin(), w.reports[1].bytes.begin() + 8), (Bytes { 2, 1, 1, 3, 0, 0, 0, 0 }));
    // Five bytes of the light block: the sixth is not part of a preview.
    EXPECT_EQ(Bytes(w.reports[2].bytes.begin(), w.reports[2].bytes.begin() + 8),
        (Bytes { 2, 4, 0x10, 0x20, 0x30, 0x40, 0x50, 0 }));

    const VirtualMouseState s = w.mouse->state();
    EXPECT_TRUE(s.previewShown);
    EXPECT_EQ(s.preview, (std::array<std::uint8_t, 5> { 0x10, 0x20, 0x30, 0x40, 0x50 }));
    EXPECT_EQ(s.notice, (std::array<std::uint8_t, 2> { 1, 3 }));
    EXPECT_FALSE(s.bracketOpen);
    EXPECT_EQ(s.bracketOpens, 1u);
    EXPECT_EQ(s.bracketCloses, 1u);
}

TEST(DeviceCommands, FixedSizeBlocksGoToTheirAddress)
{
    Wire w;
    TLightBlock light { 1, 2, 3, 4, 5, 6 };
    TCPIBlock cpi {};
    cpi.fill(7);
    TButtonBlock buttons {};
    buttons.fill(8);
    EXPECT_EQ(WriteLightBlock(*w.hid, light, SetAddress(kAddrLightBlock, 1)), 0u);
    EXPECT_EQ(WriteCPIBlock(*w.hid, cpi, SetAddress(kAddrCPIBlock, 0)), 0u);
    EXPECT_EQ(WriteButtonBlock(*w.hid, buttons, SetAddress(kAddrButtonBlock, 1)), 0u);
    const auto m = w.mouse->state().memory;
    EXPECT_EQ(m[4481], 1);
    EXPECT_EQ(m[4486], 6);
    EXPECT_EQ(m[4487], 0);
    EXPECT_EQ(m[72], 7);
    EXPECT_EQ(m[103], 7);
    EXPECT_EQ(m[104], 0);
    EXPECT_EQ(m[2448], 8);
    EXPECT_EQ(m[2512], 8);
    EXPECT_EQ(m[2513], 0);
    EXPECT_EQ(w.reports[0].bytes.size(), 16u); // 6 bytes
    EXPECT_EQ(w.reports[1].bytes.size(), 64u); // 32 bytes
    EXPECT_EQ(w.reports[2].bytes.size(), 1024u); // 65 bytes
}

TEST(DeviceCommands, WheelLightByteKeepsSevenBitsAndTheSwitch)
{
    struct Case {
        int value, on;
        std::uint8_t byte;
    };
    const Case cases[]
        = { { 5, 1, 133 }, { 5, 0, 5 }, { 200, 1, 0x80 | 72 }, { -1, 1, 0xFF }, { -128, 0, 0 }, { 3, 2, 0x83 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + "/" + std::to_string(c.on));
        Wire w;
        EXPECT_EQ(WriteWheelLightByte(*w.hid, c.value, c.on, kAddrWheelLight), 0u);
        EXPECT_EQ(w.mouse->state().memory[62], c.byte);
    }
}

// The device path sends exactly the writes that `bvctl encode` lists, so the two cannot disagree.
TEST(DeviceCommands, BlocksGoOutAsTheirWriteListWithMacroSlotsByTheirLength)
{
    Wire w;
    TConfigurationImage image;
    image.Buttons[0] = 8;
    image.Light = { 1, 2, 3, 4, 5, 6 };
    for (std::size_t i = 0; i < 1920; ++i)
        image.Macros[i] = static_cast<std::uint8_t>(1 + i / 384); // slot s holds s + 1
    SetMacroAreaLength(image.Macros, 0, 6);
    SetMacroAreaLength(image.Macros, 2, 100000); // more than a slot: only the slot is written
    SetMacroAreaLength(image.Macros, 4, 3); // the last slot ignores its length
    EXPECT_EQ(WriteConfigurationBlocks(*w.hid, image, 1, {}), 0u);
    EXPECT_EQ(WriteConfigurationBlocks(*w.hid, image, 2, {}), kHidErrorInvalidRequest); // no such set

    const auto writes = ConfigurationImageWrites(image, 1);
    ASSERT_EQ(w.reports.size(), writes.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        SCOPED_TRACE(writes[i].What);
        const auto& r = w.reports[i].bytes;
        EXPECT_EQ(r[2] | r[3] << 8, writes[i].Address);
        EXPECT_EQ(r[4] | r[5] << 8, static_cast<int>(writes[i].Data.size()));
        EXPECT_EQ(Bytes(r.begin() + 8, r.begin() + 8 + std::ptrdiff_t(writes[i].Data.size())), writes[i].Data);
    }
    const auto m = w.mouse->state().memory;
    EXPECT_EQ(m[2513 + 5], 1);
    EXPECT_EQ(m[2513 + 6], 0);
    EXPECT_EQ(m[2897], 0); // slot 1, length 0: untouched
    EXPECT_EQ(m[3281 + 383], 3); // slot 2 whole
    EXPECT_EQ(m[3665], 0); // slot 3 untouched
    EXPECT_EQ(m[4049 + 383], 5); // slot 4 whole
}

TEST(DeviceCommands, CurrentCPIIndexComesFromTheSelectedSet)
{
    struct Case {
        std::uint8_t selector;
        std::int32_t index;
    };
    const Case cases[] = { { 0, 3 }, { 1, 9 }, { 4, 9 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.selector));
        Wire w;
        EXPECT_EQ(WriteDeviceByte(*w.hid, 3, 73), 0u);
        EXPECT_EQ(WriteDeviceByte(*w.hid, 9, 2377), 0u);
        EXPECT_EQ(WriteDeviceByte(*w.hid, c.selector, 64), 0u);
        std::int32_t index = -1;
        ASSERT_EQ(ReadCurrentCPIIndex(*w.hid, index), 0u);
        EXPECT_EQ(index, c.index);
    }
    Wire w;
    w.mouse->setFaults({ 3, 0, 4096 }); // the second read's request
    std::int32_t index = -1;
    EXPECT_EQ(ReadCurrentCPIIndex(*w.hid, index), kHidErrorIo);
    EXPECT_EQ(index, -1);
}

TEST(DeviceCommands, CPIStepsRoundToTheNearestWithTiesDown)
{
    const std::pair<int, int> cases[] = { { 375, 250 }, { 376, 500 }, { 100, 250 }, { 250, 250 }, { 5000, 3500 },
        { 3500, 3500 }, { 3374, 3250 }, { 3375, 3250 }, { 3376, 3500 }, { -7, 250 } };
    for (const auto& [value, step] : cases) {
        EXPECT_EQ(NearestDeviceCPI(value), step) << value;
        EXPECT_EQ(DeviceCPIIndex(value), step / 250 - 1) << value;
    }
}

TEST(DeviceSequences, ModeButtonBracketsSelectorAndNotice)
{
    Wire w;
    std::vector<std::string> steps;
    DeviceSequenceHooks hooks;
    hooks.pause = [&](int ms) {
        steps.push_back("pause " + std::to_string(ms) + " after " + std::to_string(w.reports.size()));
    };
    hooks.tellMonitor = [&] { steps.push_back("monitor after " + std::to_string(w.reports.size())); };
    EXPECT_EQ(ModeButtonSequence(*w.hid, 1, hooks), 0u);
    EXPECT_EQ(w.commands(), (std::vector<Bytes> { { 6, 0, 0 }, { 2, 64, 0 }, { 1, 1, 1 }, { 6, 1, 0 } }));
    EXPECT_EQ(steps, (std::vector<std::string> { "monitor after 3", "pause 100 after 3" }));
    EXPECT_EQ(w.mouse->state().memory[64], 1);

    w.reports.clear();
    EXPECT_EQ(ModeButtonSequence(*w.hid, 2, hooks), 0u);
    EXPECT_EQ(ModeButtonSequence(*w.hid, -1, {}), 0u);
    EXPECT_TRUE(w.reports.empty());
}

TEST(DeviceSequences, ProfileButtonAndLightPreview)
{
    Wire w;
    EXPECT_EQ(ProfileButtonSequence(*w.hid, 3, 3, { 0xFF, 0xFF, 0x00, 2, 1, 9 }, 5, 1), 0u);
    EXPECT_EQ(w.commands(),
        (std::vector<Bytes> { { 2, 64, 0 }, { 1, 1, 3 }, { 6, 0, 0 }, { 4, 0xFF, 0xFF }, { 2, 62, 0 }, { 6, 1, 0 } }));
    const auto s = w.mouse->state();
    EXPECT_EQ(s.memory[64], 3);
    EXPECT_EQ(s.memory[62], 133);
    EXPECT_EQ(s.preview, (std::array<std::uint8_t, 5> { 0xFF, 0xFF, 0x00, 2, 1 }));

    w.reports.clear();
    EXPECT_EQ(ProfileButtonSequence(*w.hid, 5, 5, {}, 0, 0), 0u);
    EXPECT_TRUE(w.reports.empty());
}
