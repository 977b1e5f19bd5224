#include "device/virtual_mouse.h"

#include "platform/atomic_file.h"
#include "platform/file_lock.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace bv {

namespace {

constexpr std::array<std::uint16_t, 7> kFeatureSizes = { 0, 0, 16, 64, 1024, 2048, 4096 }; // by report ID
constexpr std::uint8_t kMouseInputReportId = 1;

constexpr char kMagic[4] = { 'B', 'V', 'V', 'M' };
constexpr std::uint16_t kStateVersion = 1;
constexpr std::size_t kStateFileSize = 4 + 2 + 2 + VirtualMouseState::kMemorySize + 1 + 5 + 2 + 4 + 4 + 4 + 2 + 2;
constexpr std::uint8_t kFlagPreview = 1, kFlagBracket = 2, kFlagRead = 4;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint16_t get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
        | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void appendItem(std::vector<std::uint8_t>& d, std::uint8_t prefix, std::uint32_t value)
{
    // Shortest form that holds the value as unsigned.
    if (value <= 0xFF) {
        d.push_back(static_cast<std::uint8_t>(prefix | 1));
        d.push_back(static_cast<std::uint8_t>(value));
    } else if (value <= 0xFFFF) {
        d.push_back(static_cast<std::uint8_t>(prefix | 2));
        d.push_back(static_cast<std::uint8_t>(value));
        d.push_back(static_cast<std::uint8_t>(value >> 8));
    } else {
        d.push_back(static_cast<std::uint8_t>(prefix | 3));
        for (int i = 0; i < 4; ++i)
            d.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

} // namespace

std::vector<std::uint8_t> EncodeVirtualMouseState(const VirtualMouseState& s)
{
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    out.reserve(kStateFileSize);
    put16(out, kStateVersion);
    put16(out, static_cast<std::uint16_t>(s.memory.size()));
    out.insert(out.end(), s.memory.begin(), s.memory.end());
    out.push_back(static_cast<std::uint8_t>(
        (s.previewShown ? kFlagPreview : 0) | (s.bracketOpen ? kFlagBracket : 0) | (s.readPending ? kFlagRead : 0)));
    out.insert(out.end(), s.preview.begin(), s.preview.end());
    out.insert(out.end(), s.notice.begin(), s.notice.end());
    put32(out, s.noticeCount);
    put32(out, s.bracketOpens);
    put32(out, s.bracketCloses);
    put16(out, s.readAddress);
    put16(out, s.readLength);
    return out;
}

std::optional<VirtualMouseState> DecodeVirtualMouseState(std::span<const std::uint8_t> bytes, std::string& why)
{
    if (bytes.size() < 6 || std::memcmp(bytes.data(), kMagic, 4) != 0) {
        why = "it does not start with \"BVVM\"";
        return std::nullopt;
    }
    const std::uint16_t version = get16(bytes.data() + 4);
    if (version != kStateVersion) {
        why = "it is of version " + std::to_string(version) + "; this program reads version "
            + std::to_string(kStateVersion);
        return std::nullopt;
    }
    if (bytes.size() != kStateFileSize) {
        why = "it holds " + std::to_string(bytes.size()) + " bytes; version 1 holds " + std::to_string(kStateFileSize);
        return std::nullopt;
    }
    const std::uint8_t* p = bytes.data() + 6;
    if (get16(p) != VirtualMouseState::kMemorySize) {
        why = "its memory size is " + std::to_string(get16(p)) + " bytes, not "
            + std::to_string(VirtualMouseState::kMemorySize);
        return std::nullopt;
    }
    p += 2;
    VirtualMouseState s;
    std::memcpy(s.memory.data(), p, s.memory.size());
    p += s.memory.size();
    const std::uint8_t flags = *p++;
    if (flags & ~(kFlagPreview | kFlagBracket | kFlagRead)) {
        why = "its flag byte holds unknown bits";
        return std::nullopt;
    }
    s.previewShown = flags & kFlagPreview;
    s.bracketOpen = flags & kFlagBracket;
    s.readPending = flags & kFlagRead;
    std::memcpy(s.preview.data(), p, 5);
    p += 5;
    std::memcpy(s.notice.data(), p, 2);
    p += 2;
    s.noticeCount = get32(p);
    s.bracketOpens = get32(p + 4);
    s.bracketCloses = get32(p + 8);
    s.readAddress = get16(p + 12);
    s.readLength = get16(p + 14);
    if (std::size_t { s.readAddress } + s.readLength > s.memory.size()) {
        why = "its pending read reaches past the memory";
        return std::nullopt;
    }
    return s;
}

VirtualMouse::VirtualMouse() = default;

VirtualMouse::VirtualMouse(std::filesystem::path stateFile)
    : stateFile_(std::move(stateFile))
{
    if (!load())
        throw VirtualMouseStateError(problem_);
}

bool VirtualMouse::load() const
{
    if (!stateFile_)
        return true;
    const std::string name = "virtual mouse state file \"" + stateFile_->string() + "\"";
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(*stateFile_, 1024 * 1024);
    } catch (const std::exception& e) {
        problem_ = "the " + name + " cannot be read: " + e.what();
        return false;
    }
    if (!bytes) {
        state_ = VirtualMouseState {};
        return true;
    }
    std::string why;
    auto decoded = DecodeVirtualMouseState(*bytes, why);
    if (!decoded) {
        problem_ = "the " + name + " is damaged: " + why + ". Delete it to start with a blank mouse.";
        return false;
    }
    state_ = *decoded;
    return true;
}

bool VirtualMouse::save()
{
    if (!stateFile_)
        return true;
    try {
        platform::writeFileAtomic(*stateFile_, EncodeVirtualMouseState(state_));
    } catch (const std::exception& e) {
        problem_ = "the virtual mouse state file \"" + stateFile_->string() + "\" cannot be written: " + e.what();
        return false;
    }
    return true;
}

void VirtualMouse::setFaults(const VirtualMouseFaults& faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
    transfers_ = 0;
}

void VirtualMouse::unplug()
{
    std::lock_guard lock(mutex_);
    unplugged_ = true;
    inputArrived_.notify_all();
}

void VirtualMouse::plug()
{
    std::lock_guard lock(mutex_);
    unplugged_ = false;
    faults_.unplugAfter = 0;
}

void VirtualMouse::pushInputReport(std::vector<std::uint8_t> report)
{
    std::lock_guard lock(mutex_);
    input_.push_back(std::move(report));
    inputArrived_.notify_all();
}

VirtualMouseState VirtualMouse::state() const
{
    std::lock_guard lock(mutex_);
    // An unusable state file leaves the last state; lastProblem() says why.
    (void)load();
    return state_;
}

std::uint64_t VirtualMouse::transferCount() const
{
    std::lock_guard lock(mutex_);
    return transfers_;
}

std::string VirtualMouse::lastProblem() const
{
    std::lock_guard lock(mutex_);
    return problem_;
}

std::uint16_t VirtualMouse::featureReportSize(std::uint8_t reportId) const
{
    if (reportId >= kFeatureSizes.size() || kFeatureSizes[reportId] == 0)
        return 0;
    std::lock_guard lock(mutex_);
    const std::uint16_t size = std::min(kFeatureSizes[reportId], faults_.featureReportLimit);
    return size >= 2 ? size : 0;
}

HidAttributes VirtualMouse::attributes() const
{
    return { kVendorId, kProductId, kVersion };
}

std::vector<std::uint8_t> VirtualMouse::reportDescriptor() const
{
    // clang-format off
    std::vector<std::uint8_t> d = {
        0x06, 0xA0, 0xFF,       // Usage Page (0xFFA0)
        0x09, 0x01,             // Usage (1)
        0xA1, 0x01,             // Collection (Application)
        0x15, 0x00,             //   Logical Minimum (0)
        0x26, 0xFF, 0x00,       //   Logical Maximum (255)
        0x75, 0x08,             //   Report Size (8)
    };
    // clang-format on
    for (std::uint8_t id = 2; id <= 6; ++id) {
        const std::uint16_t size = featureReportSize(id);
        if (size == 0)
            continue;
        appendItem(d, 0x84, id); // Report ID
        appendItem(d, 0x08, 1); // Usage (1)
        appendItem(d, 0x94, size - 1); // Report Count: the bytes after the ID
        appendItem(d, 0xB0, 0x02); // Feature (Data, Variable, Absolute)
    }
    // clang-format off
    const std::uint8_t mouse[] = {
        0xC0,                   // End Collection
        0x05, 0x01,             // Usage Page (Generic Desktop)
        0x09, 0x02,             // Usage (Mouse)
        0xA1, 0x01,             // Collection (Application)
        0x85, kMouseInputReportId, //   Report ID (1)
        0x09, 0x01,             //   Usage (Pointer)
        0xA1, 0x00,             //   Collection (Physical)
        0x05, 0x09,             //     Usage Page (Button)
        0x19, 0x01, 0x29, 0x05, //     Usage Minimum (1), Maximum (5)
        0x15, 0x00, 0x25, 0x01, //     Logical Minimum (0), Maximum (1)
        0x95, 0x05, 0x75, 0x01, //     Report Count (5), Size (1)
        0x81, 0x02,             //     Input (Data, Variable, Absolute)
        0x95, 0x01, 0x75, 0x03, //     Report Count (1), Size (3)
        0x81, 0x01,             //     Input (Constant)
        0x05, 0x01,             //     Usage Page (Generic Desktop)
        0x09, 0x30, 0x09, 0x31, 0x09, 0x38, // Usage (X), (Y), (Wheel)
        0x15, 0x81, 0x25, 0x7F, //     Logical Minimum (-127), Maximum (127)
        0x75, 0x08, 0x95, 0x03, //     Report Size (8), Count (3)
        0x81, 0x06,             //     Input (Data, Variable, Relative)
        0xC0,                   //   End Collection
        0xC0,                   // End Collection
    };
    // clang-format on
    d.insert(d.end(), std::begin(mouse), std::end(mouse));
    return d;
}

bool VirtualMouse::pluggedLocked() const
{
    return !unplugged_ && !(faults_.unplugAfter != 0 && transfers_ >= faults_.unplugAfter);
}

bool VirtualMouse::plugged() const
{
    std::lock_guard lock(mutex_);
    return pluggedLocked();
}

std::uint32_t VirtualMouse::beginTransfer(std::optional<platform::FileLock>& shared)
{
    if (!pluggedLocked())
        return kHidErrorNoDevice;
    ++transfers_;
    if (faults_.failTransfer != 0 && transfers_ == faults_.failTransfer)
        return kHidErrorIo;
    problem_.clear();
    // Other processes share the state file: its read-change-write is theirs or ours, whole.
    if (stateFile_) {
        std::filesystem::path lockFile = *stateFile_;
        lockFile += ".lock";
        shared.emplace(lockFile);
        if (!shared->locked()) {
            problem_
                = "the virtual mouse state file \"" + stateFile_->string() + "\" cannot be locked: " + shared->error();
            return kHidErrorIo;
        }
    }
    if (!load())
        return kHidErrorIo;
    return 0;
}

std::uint32_t VirtualMouse::setFeature(std::span<const std::uint8_t> r)
{
    if (r.empty())
        return kHidErrorInvalidRequest;
    const std::uint16_t size = featureReportSize(r[0]);
    std::lock_guard lock(mutex_);
    std::optional<platform::FileLock> shared;
    if (const std::uint32_t stop = beginTransfer(shared))
        return stop;
    // A report too short for a command header cannot carry one.
    if (size < 8 || r.size() != size)
        return kHidErrorRejected;

    VirtualMouseState& s = state_;
    const std::uint16_t address = static_cast<std::uint16_t>(r[2] | r[3] << 8);
    const std::uint16_t length = static_cast<std::uint16_t>(r[4] | r[5] << 8);
    switch (r[1] & 0x7F) {
    case 1:
        s.notice = { r[2], r[3] };
        ++s.noticeCount;
        break;
    case 2:
        if (std::size_t { 8 } + length > size || std::size_t { address } + length > s.memory.size())
            return kHidErrorRejected;
        std::copy_n(r.begin() + 8, length, s.memory.begin() + address);
        break;
    case 3:
        if (std::size_t { address } + length > s.memory.size())
            return kHidErrorRejected;
        s.readPending = true;
        s.readAddress = address;
        s.readLength = length;
        break;
    case 4:
        std::copy_n(r.begin() + 2, 5, s.preview.begin());
        s.previewShown = true;
        break;
    case 6:
        if (r[2] == 0) {
            s.bracketOpen = true;
            ++s.bracketOpens;
        } else if (r[2] == 1) {
            s.bracketOpen = false;
            ++s.bracketCloses;
        }
        break;
    default:
        return 0;
    }
    return save() ? 0 : kHidErrorIo;
}

std::uint32_t VirtualMouse::getFeature(std::span<std::uint8_t> r)
{
    if (r.empty())
        return kHidErrorInvalidRequest;
    const std::uint16_t size = featureReportSize(r[0]);
    std::lock_guard lock(mutex_);
    std::optional<platform::FileLock> shared;
    if (const std::uint32_t stop = beginTransfer(shared))
        return stop;
    // A report too short for a command header cannot carry one.
    if (size < 8 || r.size() != size)
        return kHidErrorRejected;

    std::fill(r.begin() + 1, r.end(), 0);
    const VirtualMouseState& s = state_;
    if (s.readPending) {
        const std::uint8_t header[7]
            = { 3, static_cast<std::uint8_t>(s.readAddress), static_cast<std::uint8_t>(s.readAddress >> 8),
                  static_cast<std::uint8_t>(s.readLength), static_cast<std::uint8_t>(s.readLength >> 8), 0xFA, 0xFA };
        std::copy(std::begin(header), std::end(header), r.begin() + 1);
        const std::size_t n = std::min<std::size_t>(s.readLength, r.size() - 8);
        std::copy_n(s.memory.begin() + s.readAddress, n, r.begin() + 8);
    }
    return 0;
}

HidReadResult VirtualMouse::readInput(std::span<std::uint8_t> buffer, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    inputArrived_.wait_for(
        lock, std::chrono::milliseconds(timeoutMs), [this] { return !input_.empty() || !pluggedLocked(); });
    if (!pluggedLocked())
        return { HidReadResult::Status::Gone, 0, kHidErrorNoDevice };
    if (input_.empty())
        return {};
    const auto report = std::move(input_.front());
    input_.pop_front();
    const std::size_t n = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), n, buffer.begin());
    return { HidReadResult::Status::Data, n, 0 };
}

} // namespace bv
