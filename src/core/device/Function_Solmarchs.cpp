#include "device/Function_Solmarchs.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace bv {

namespace {

constexpr std::uint8_t kHeaderFill = 0xFA;

bool isMemoryCommand(std::uint8_t code)
{
    const std::uint8_t c = code & 0x7F;
    return c == kCmdMemoryWrite || c == kCmdMemoryRead;
}

std::uint16_t headerLength(const TCommandPacket& p)
{
    return static_cast<std::uint16_t>(p.Header[3] | p.Header[4] << 8);
}

void setMemoryHeader(TCommandPacket& p, std::uint8_t code, std::uint16_t address, std::uint16_t length)
{
    p.Header[0] = code;
    p.Header[1] = static_cast<std::uint8_t>(address);
    p.Header[2] = static_cast<std::uint8_t>(address >> 8);
    p.Header[3] = static_cast<std::uint8_t>(length);
    p.Header[4] = static_cast<std::uint8_t>(length >> 8);
    p.Header[5] = p.Header[6] = p.Header[7] = kHeaderFill;
}

// The request for a packet carrying `dataLength` bytes of its data area.
std::unique_ptr<THIDDataParam> frame(const TCommandPacket& p, std::uint16_t dataLength)
{
    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    request->DeviceHandle = 0;
    const std::uint8_t id = ReportIdForLength(dataLength + 8u);
    const std::uint32_t size = ReportSizeForId(id);
    request->Data.ReportID = id;
    request->Data.DATASIZE = size;
    std::uint8_t* wire = request->Data.bytes();
    std::memset(wire, 0, size);
    wire[0] = id;
    std::memcpy(wire + 1, p.Header, 7); // header byte 7 never travels
    std::memcpy(wire + 8, p.Data, dataLength);
    return request;
}

std::uint32_t sendShort(TuiHIDData& hid, std::uint8_t code, std::initializer_list<std::uint8_t> params)
{
    TCommandPacket p {};
    p.Header[0] = code;
    std::copy(params.begin(), params.end(), p.Header + 1);
    return SendCommandReport(hid, p);
}

} // namespace

std::uint8_t ReportIdForLength(std::uint32_t n)
{
    if (n <= 16)
        return 2;
    if (n <= 64)
        return 3;
    if (n <= 1024)
        return 4;
    if (n <= 2048)
        return 5;
    return 6;
}

std::uint32_t ReportSizeForId(std::uint8_t reportId)
{
    switch (reportId) {
    case 3:
        return 64;
    case 4:
        return 1024;
    case 5:
        return 2048;
    case 6:
        return 4096;
    default:
        return 16;
    }
}

std::uint32_t SendCommandReport(TuiHIDData& hid, const TCommandPacket& packet)
{
    const std::uint16_t length = isMemoryCommand(packet.Header[0]) ? headerLength(packet) : 0;
    if (length > kMaxWriteLength)
        return kHidErrorInvalidRequest;
    auto request = frame(packet, length);
    return hid.HidFindAndSetFeatureReport(*request);
}

std::uint32_t QueryCommandReport(TuiHIDData& hid, TCommandPacket& packet)
{
    const std::uint16_t length = headerLength(packet);
    if (length > kMaxReadLength)
        return kHidErrorInvalidRequest;
    auto request = frame(packet, 0);
    if (const std::uint32_t r = hid.HidFindAndSetFeatureReport(*request))
        return r;

    const std::uint8_t id = ReportIdForLength(length + 8u);
    const std::uint32_t size = ReportSizeForId(id);
    std::memset(request->Data.bytes(), 0, size);
    request->Data.ReportID = id;
    request->Data.DATASIZE = size;
    if (const std::uint32_t r = hid.HidFindAndGetFeatureReport(*request))
        return r;

    const std::uint8_t* wire = request->Data.bytes();
    std::memcpy(packet.Header, wire + 1, 7);
    packet.Header[7] = 0;
    std::memcpy(packet.Data, wire + 8, size - 8);
    return 0;
}

std::uint32_t WriteDeviceMemory(TuiHIDData& hid, const void* Source, std::uint16_t Length, std::uint16_t Address)
{
    if (Length == 0)
        return 0;
    if (Length > kMaxWriteLength)
        return kHidErrorInvalidRequest;
    auto packet = std::make_unique<TCommandPacket>();
    setMemoryHeader(*packet, kCmdMemoryWrite, Address, Length);
    std::memcpy(packet->Data, Source, Length);
    return SendCommandReport(hid, *packet);
}

std::uint32_t ReadDeviceMemory(TuiHIDData& hid, void* Destination, std::uint16_t Length, std::uint16_t Address)
{
    if (Length > kMaxReadLength)
        return kHidErrorInvalidRequest;
    auto packet = std::make_unique<TCommandPacket>();
    setMemoryHeader(*packet, kCmdMemoryRead, Address, Length);
    if (const std::uint32_t r = QueryCommandReport(hid, *packet))
        return r;
    std::memcpy(Destination, packet->Data, Length);
    return 0;
}

std::uint32_t SendUpdateBracket(TuiHIDData& hid, std::uint8_t phase, std::uint8_t second)
{
    return sendShort(hid, kCmdUpdateBracket, { phase, second });
}

std::uint32_t SendSettingsNotice(TuiHIDData& hid, std::uint8_t first, std::uint8_t second)
{
    return sendShort(hid, kCmdSettingsNotice, { first, second });
}

std::uint32_t SendLightPreview(TuiHIDData& hid, const TLightBlock& block)
{
    return sendShort(hid, kCmdLightPreview, { block[0], block[1], block[2], block[3], block[4] });
}

std::uint32_t WriteDeviceByte(TuiHIDData& hid, std::uint8_t value, std::uint16_t address)
{
    return WriteDeviceMemory(hid, &value, 1, address);
}

std::uint32_t ReadDeviceByte(TuiHIDData& hid, std::uint8_t& destination, std::uint16_t address)
{
    return ReadDeviceMemory(hid, &destination, 1, address);
}

std::uint8_t WheelLightByte(int value, int on)
{
    return static_cast<std::uint8_t>((on != 0 ? 0x80 : 0) | (value & 0x7F));
}

std::uint32_t WriteWheelLightByte(TuiHIDData& hid, int value, int on, std::uint16_t address)
{
    return WriteDeviceByte(hid, WheelLightByte(value, on), address);
}

std::uint32_t WriteLightBlock(TuiHIDData& hid, const TLightBlock& block, std::uint16_t address)
{
    return WriteDeviceMemory(hid, block.data(), static_cast<std::uint16_t>(block.size()), address);
}

std::uint32_t WriteCPIBlock(TuiHIDData& hid, const TCPIBlock& block, std::uint16_t address)
{
    return WriteDeviceMemory(hid, block.data(), static_cast<std::uint16_t>(block.size()), address);
}

std::uint32_t ReadCPIBlock(TuiHIDData& hid, TCPIBlock& destination, std::uint16_t address)
{
    return ReadDeviceMemory(hid, destination.data(), static_cast<std::uint16_t>(destination.size()), address);
}

std::uint32_t WriteButtonBlock(TuiHIDData& hid, const TButtonBlock& block, std::uint16_t address)
{
    return WriteDeviceMemory(hid, block.data(), static_cast<std::uint16_t>(block.size()), address);
}

std::uint32_t ReadCurrentCPIIndex(TuiHIDData& hid, std::int32_t& Index)
{
    std::uint8_t selector = 0;
    if (const std::uint32_t r = ReadDeviceByte(hid, selector, kAddrSetSelector))
        return r;
    TCPIBlock block {};
    if (const std::uint32_t r = ReadCPIBlock(hid, block, SetAddress(kAddrCPIBlock, selector == 0 ? 0 : 1)))
        return r;
    Index = block[1];
    return 0;
}

namespace {

// Keeps the first failure of a sequence that goes on after one.
struct FirstFailure {
    std::uint32_t code = 0;
    void operator()(std::uint32_t r)
    {
        if (code == 0)
            code = r;
    }
};

} // namespace

std::uint32_t ModeButtonSequence(TuiHIDData& hid, int modeIndex, const DeviceSequenceHooks& hooks)
{
    if (modeIndex != 0 && modeIndex != 1)
        return 0;
    FirstFailure failed;
    failed(SendUpdateBracket(hid, 0, 0));
    failed(WriteDeviceByte(hid, static_cast<std::uint8_t>(modeIndex), kAddrSetSelector));
    failed(SendSettingsNotice(hid, 1, 1));
    if (hooks.tellMonitor)
        hooks.tellMonitor();
    if (hooks.pause)
        hooks.pause(100);
    failed(SendUpdateBracket(hid, 1, 0));
    return failed.code;
}

std::uint32_t ProfileButtonSequence(
    TuiHIDData& hid, int profileIndex, std::uint8_t currentGame, const TLightBlock& light, int wheelValue, int wheelOn)
{
    if (profileIndex < 0 || profileIndex > 4)
        return 0;
    FirstFailure failed;
    failed(WriteDeviceByte(hid, static_cast<std::uint8_t>(profileIndex), kAddrSetSelector));
    failed(SendSettingsNotice(hid, 1, currentGame));
    failed(LightPreviewSequence(hid, light, wheelValue, wheelOn));
    return failed.code;
}

std::uint32_t LightPreviewSequence(TuiHIDData& hid, const TLightBlock& light, int wheelValue, int wheelOn)
{
    FirstFailure failed;
    failed(SendUpdateBracket(hid, 0, 0));
    failed(SendLightPreview(hid, light));
    failed(WriteWheelLightByte(hid, wheelValue, wheelOn, kAddrWheelLight));
    failed(SendUpdateBracket(hid, 1, 0));
    return failed.code;
}

} // namespace bv
