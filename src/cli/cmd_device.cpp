#include "commands.h"

#include "bvctl.h"

#include "device/Function_Solmarchs.h"
#include "device/hid_trace.h"
#include "device_session.h"
#include "platform/hid_access.h"
#include "util/hex.h"

#include <charconv>
#include <memory>

namespace bv::cli {

namespace {

/// A decimal or 0x-prefixed number within [min, max].
unsigned long parseNumber(const std::string& text, const char* what, unsigned long min, unsigned long max)
{
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    unsigned long v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || v < min || v > max)
        throw BadInput(std::string(what) + " \"" + text + "\" is not a number from " + std::to_string(min) + " to "
            + std::to_string(max) + " (decimal or 0x-prefixed)");
    return v;
}

std::vector<std::uint8_t> parseHex(const std::string& text)
{
    std::string_view hex = text;
    if (hex.size() >= 2 && hex[0] == '0' && (hex[1] == 'x' || hex[1] == 'X'))
        hex.remove_prefix(2);
    if (hex.empty() || hex.size() % 2 != 0)
        throw BadInput("HEX \"" + text + "\" must be a non-empty, even number of hex digits");
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = util::hexDigitValue(hex[i]), lo = util::hexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            throw BadInput("HEX \"" + text + "\" holds a character that is not a hex digit at position "
                + std::to_string(i + (hi < 0 ? 0 : 1) + 1));
        bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    if (bytes.size() > kMaxWriteLength)
        throw BadInput("HEX holds " + std::to_string(bytes.size()) + " bytes; one write carries at most "
            + std::to_string(kMaxWriteLength));
    return bytes;
}

nlohmann::ordered_json capsField(const std::optional<HidCaps>& caps, std::uint16_t HidCaps::*field)
{
    return caps ? nlohmann::ordered_json((*caps).*field) : nlohmann::ordered_json(nullptr);
}

int list(const GlobalOptions& global)
{
    DeviceSession s = OpenDeviceSession(global);
    const auto interfaces = s.hid->DescribeInterfaces();
    if (!interfaces)
        throw BadInput("the system's HID devices cannot be enumerated");
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& r : *interfaces) {
        nlohmann::ordered_json j;
        j["path"] = r.itf.path;
        j["hardware_ids"] = r.itf.hardwareIds;
        j["usage_page"] = capsField(r.caps, &HidCaps::UsagePage);
        j["usage"] = capsField(r.caps, &HidCaps::Usage);
        j["input_length"] = capsField(r.caps, &HidCaps::InputReportByteLength);
        j["output_length"] = capsField(r.caps, &HidCaps::OutputReportByteLength);
        j["feature_length"] = capsField(r.caps, &HidCaps::FeatureReportByteLength);
        j["accepted"] = r.accepted;
        j["access"] = platform::AccessWord(r.error.empty(), r.openError);
        if (!r.error.empty())
            j["error"] = r.error;
        out.push_back(std::move(j));
    }
    printJson(out);
    return kOk;
}

int write(const GlobalOptions& global, const std::string& addressText, const std::string& hexText)
{
    const auto address = static_cast<std::uint16_t>(parseNumber(addressText, "ADDRESS", 0, 0xFFFF));
    const auto bytes = parseHex(hexText);
    if (address + bytes.size() > 0x10000)
        throw BadInput("the write of " + std::to_string(bytes.size()) + " bytes at " + std::to_string(address)
            + " reaches past address 65535");
    DeviceSession s = OpenDeviceSession(global);
    const std::uint32_t r = WriteDeviceMemory(*s.hid, bytes.data(), static_cast<std::uint16_t>(bytes.size()), address);
    if (r != 0)
        throw BadInput("writing " + std::to_string(bytes.size()) + " bytes at address " + std::to_string(address)
            + " failed: " + s.describe(r));
    return kOk;
}

int read(const GlobalOptions& global, const std::string& addressText, const std::string& lengthText)
{
    const auto address = static_cast<std::uint16_t>(parseNumber(addressText, "ADDRESS", 0, 0xFFFF));
    const auto length = static_cast<std::uint16_t>(parseNumber(lengthText, "LENGTH", 1, kMaxReadLength));
    if (address + std::size_t { length } > 0x10000)
        throw BadInput("the read of " + std::to_string(length) + " bytes at " + std::to_string(address)
            + " reaches past address 65535");
    DeviceSession s = OpenDeviceSession(global);
    std::vector<std::uint8_t> data(length);
    if (const std::uint32_t r = ReadDeviceMemory(*s.hid, data.data(), length, address))
        throw BadInput("reading " + std::to_string(length) + " bytes at address " + std::to_string(address)
            + " failed: " + s.describe(r));
    printJson({ { "address", address }, { "data", HexString(data) } });
    return kOk;
}

int virtualDump(const GlobalOptions& global)
{
    DeviceSession s = OpenDeviceSession(global);
    if (!s.link.virtualMouse)
        throw BadInput("\"virtual dump\" needs the virtual mouse: pass --device virtual:STATEFILE or set "
                       "BV_VIRTUAL_MOUSE");
    const auto state = s.link.virtualMouse->state();
    printJson({ { "memory", HexString(state.memory) } });
    return kOk;
}

} // namespace

void addDeviceCommands(CLI::App& app, Action& action, const GlobalOptions& global)
{
    struct Options {
        std::string address;
        std::string hex;
        std::string length;
    };
    auto opts = std::make_shared<Options>();

    auto* ls = app.add_subcommand("list", "List the HID interfaces as JSON, with whether config.ini accepts them");
    ls->callback([&action, &global] { action = [&global] { return list(global); }; });

    auto* wr = app.add_subcommand("write", "Write bytes to the mouse's memory");
    wr->add_option("ADDRESS", opts->address, "Memory address (decimal or 0x-prefixed)")->required();
    wr->add_option("HEX", opts->hex, "The bytes as hex digits, at most 2048 bytes")->required();
    wr->callback(
        [&action, &global, opts] { action = [&global, opts] { return write(global, opts->address, opts->hex); }; });

    auto* rd = app.add_subcommand("read", "Read bytes of the mouse's memory; prints {\"address\",\"data\"}");
    rd->add_option("ADDRESS", opts->address, "Memory address (decimal or 0x-prefixed)")->required();
    rd->add_option("LENGTH", opts->length, "Number of bytes, 1 to 2040")->required();
    rd->callback(
        [&action, &global, opts] { action = [&global, opts] { return read(global, opts->address, opts->length); }; });

    auto* virt = app.add_subcommand("virtual", "Inspect the virtual mouse");
    virt->require_subcommand(1);
    auto* dump = virt->add_subcommand("dump", "Print the virtual mouse's whole memory as {\"memory\":HEX}");
    dump->callback([&action, &global] { action = [&global] { return virtualDump(global); }; });
}

} // namespace bv::cli
