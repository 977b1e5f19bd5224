#include "platform/hid_hidraw.h"

#include "platform/atomic_file.h"
#include "platform/hid_hardware_ids.h"
#include "platform/hid_report_descriptor.h"
#include "platform/test_sandbox.h"
#include "platform/usage_and_page.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

// The ioctl size field has 14 bits; a longer feature report cannot be described to the kernel.
constexpr std::size_t kMaxIoctlReport = (1u << 14) - 1;
constexpr std::uintmax_t kMaxSysfsFile = 64 * 1024;
constexpr unsigned kCollectionBits = 16;
constexpr std::uint64_t kNoCollection = 0xFFFF;

class SystemIo : public HidrawIo {
public:
    int open(const fs::path& node, bool nonBlocking) override
    {
        requireInsideTestSandbox("a device node", node);
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0));
        return fd >= 0 ? fd : -errno;
    }
    void close(int fd) override { ::close(fd); }
    int ioctl(int fd, unsigned long request, void* arg) override
    {
        const int rc = ::ioctl(fd, request, arg);
        return rc >= 0 ? rc : -errno;
    }
    long read(int fd, void* buffer, std::size_t size) override
    {
        const ssize_t n = ::read(fd, buffer, size);
        return n >= 0 ? static_cast<long>(n) : -errno;
    }
    long write(int fd, const void* buffer, std::size_t size) override
    {
        const ssize_t n = ::write(fd, buffer, size);
        return n >= 0 ? static_cast<long>(n) : -errno;
    }
    int waitReadable(int fd, int timeoutMs) override
    {
        pollfd p { fd, POLLIN, 0 };
        const int rc = ::poll(&p, 1, timeoutMs);
        if (rc < 0)
            return errno == EINTR ? 0 : -errno;
        if (rc == 0)
            return 0;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
            return -ENODEV;
        return 1;
    }
};

std::string readText(const fs::path& file)
{
    try {
        const auto bytes = readFile(file, kMaxSysfsFile);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

std::optional<unsigned long> parseNumber(std::string_view text, int base)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.remove_suffix(1);
    unsigned long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

// What one hidraw node is, as far as sysfs tells.
struct Node {
    unsigned number = 0;
    fs::path devNode;
    std::uint16_t vendor = 0, product = 0;
    std::optional<std::uint16_t> revision;
    std::optional<std::uint8_t> interfaceNumber;
    HidDescriptorParse parsed;
    std::string problem;
};

Node readNode(const fs::path& classDir, const fs::path& devRoot, unsigned number)
{
    Node n;
    n.number = number;
    const std::string name = "hidraw" + std::to_string(number);
    n.devNode = devRoot / name;
    const fs::path device = classDir / name / "device";

    // HID_ID=0003:00001D57:0000FA60 (bus, vendor, product)
    const std::string uevent = readText(device / "uevent");
    for (std::size_t pos = 0; pos < uevent.size();) {
        std::size_t end = uevent.find('\n', pos);
        if (end == std::string::npos)
            end = uevent.size();
        const std::string_view line(uevent.data() + pos, end - pos);
        if (line.substr(0, 7) == "HID_ID=") {
            const std::string_view id = line.substr(7);
            const std::size_t a = id.find(':'), b = id.rfind(':');
            if (a != std::string_view::npos && b != a) {
                n.vendor = static_cast<std::uint16_t>(parseNumber(id.substr(a + 1, b - a - 1), 16).value_or(0));
                n.product = static_cast<std::uint16_t>(parseNumber(id.substr(b + 1), 16).value_or(0));
            }
        }
        pos = end + 1;
    }

    // The USB interface and device above the HID device give the revision and, for composite
    // devices, the interface number that Windows puts into its identifiers.
    std::error_code ec;
    const fs::path hidDir = fs::canonical(device, ec);
    if (!ec) {
        const fs::path usbInterface = hidDir.parent_path();
        const fs::path usbDevice = usbInterface.parent_path();
        const auto interfaceNumber = parseNumber(readText(usbInterface / "bInterfaceNumber"), 16);
        const auto interfaces = parseNumber(readText(usbDevice / "bNumInterfaces"), 10);
        const auto bcd = parseNumber(readText(usbDevice / "bcdDevice"), 16);
        if (interfaceNumber && interfaces && *interfaces > 1)
            n.interfaceNumber = static_cast<std::uint8_t>(*interfaceNumber);
        if (bcd)
            n.revision = static_cast<std::uint16_t>(*bcd);
    }

    std::optional<std::vector<std::uint8_t>> descriptor;
    try {
        descriptor = readFile(device / "report_descriptor", kMaxSysfsFile);
    } catch (const std::exception& e) {
        n.problem = std::string("its report descriptor cannot be read: ") + e.what();
        return n;
    }
    if (!descriptor) {
        n.problem = "it has no report descriptor in sysfs";
        return n;
    }
    n.parsed = ParseHidReportDescriptor(*descriptor);
    if (!n.parsed.ok)
        n.problem = "its report descriptor is malformed (" + n.parsed.error + ")";
    return n;
}

// The hidrawN numbers of the class folder, in order; none when there is no hidraw class at all
// (module not loaded), which is no failure.
std::vector<unsigned> nodeNumbers(const fs::path& classRoot)
{
    std::vector<unsigned> numbers;
    std::error_code ec;
    fs::directory_iterator it(classRoot, ec);
    if (ec)
        return numbers;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name.rfind("hidraw", 0) != 0)
            continue;
        if (const auto n = parseNumber(std::string_view(name).substr(6), 10); n && *n < (1u << 20))
            numbers.push_back(static_cast<unsigned>(*n));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string openFailure(const fs::path& node, int error)
{
    if (error == EACCES || error == EPERM) {
        const auto rule = FindInstalledUdevRule();
        return "no permission to open " + node.string()
            + (rule ? ": the udev rule " + rule->string() + " is installed; unplug the mouse and plug it in again"
                    : ": the udev rule is not installed; install the bvconfig package or run `bvctl udev-rule`, then "
                      "unplug the mouse and plug it in again");
    }
    if (error == ENOENT)
        return node.string() + " does not exist";
    return "cannot open " + node.string() + ": " + std::generic_category().message(error);
}

class HidrawDevice : public HidDevice {
public:
    HidrawDevice(std::shared_ptr<HidrawIo> io, int fd, HidTopCollection collection, bool usesReportIds)
        : io_(std::move(io))
        , fd_(fd)
        , collection_(std::move(collection))
        , usesReportIds_(usesReportIds)
    {
    }
    ~HidrawDevice() override { io_->close(fd_); }
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    bool attributes(HidAttributes& out) override
    {
        hidraw_devinfo info {};
        if (io_->ioctl(fd_, HIDIOCGRAWINFO, &info) < 0)
            return false;
        out.VendorID = static_cast<std::uint16_t>(info.vendor);
        out.ProductID = static_cast<std::uint16_t>(info.product);
        out.VersionNumber = 0;
        return true;
    }

    std::optional<HidCaps> capabilities() override { return collection_.caps; }

    std::uint32_t setFeature(std::span<const std::uint8_t> report) override
    {
        if (report.empty() || report.size() > kMaxIoctlReport)
            return kHidErrorInvalidRequest;
        std::vector<std::uint8_t> buffer(report.begin(), report.end());
        const int rc = io_->ioctl(fd_, HIDIOCSFEATURE(buffer.size()), buffer.data());
        return rc < 0 ? static_cast<std::uint32_t>(-rc) : 0;
    }

    std::uint32_t getFeature(std::span<std::uint8_t> report) override
    {
        if (report.empty() || report.size() > kMaxIoctlReport)
            return kHidErrorInvalidRequest;
        const int rc = io_->ioctl(fd_, HIDIOCGFEATURE(report.size()), report.data());
        return rc < 0 ? static_cast<std::uint32_t>(-rc) : 0;
    }

    std::uint32_t writeOutput(std::span<const std::uint8_t> report) override
    {
        const long rc = io_->write(fd_, report.data(), report.size());
        if (rc < 0)
            return static_cast<std::uint32_t>(-rc);
        return static_cast<std::size_t>(rc) == report.size() ? 0 : kHidErrorIo;
    }

    HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        if (buffer.empty())
            return { HidReadResult::Status::Failed, 0, kHidErrorInvalidRequest };
        const int ready = io_->waitReadable(fd_, timeoutMs);
        if (ready == 0)
            return {};
        if (ready < 0)
            return failure(-ready);
        // Unnumbered devices send no ID byte; the ID 0 is put in front as Windows does.
        const std::size_t skip = usesReportIds_ ? 0 : 1;
        const long n = io_->read(fd_, buffer.data() + skip, buffer.size() - skip);
        if (n < 0)
            return -n == EAGAIN ? HidReadResult {} : failure(static_cast<int>(-n));
        if (skip)
            buffer[0] = 0;
        return { HidReadResult::Status::Data, static_cast<std::size_t>(n) + skip, 0 };
    }

    std::size_t maxInputUsageListLength() override { return MaxInputUsageListLength(collection_); }
    std::vector<USAGE_AND_PAGE> inputUsagesOn(std::span<const std::uint8_t> report, std::size_t limit) override
    {
        return InputUsagesOn(collection_, report, limit);
    }

private:
    static HidReadResult failure(int error)
    {
        const bool gone = error == ENODEV || error == EIO || error == EBADF;
        return { gone ? HidReadResult::Status::Gone : HidReadResult::Status::Failed, 0,
            static_cast<std::uint32_t>(error) };
    }

    std::shared_ptr<HidrawIo> io_;
    int fd_;
    HidTopCollection collection_;
    bool usesReportIds_;
};

class HidrawBackend : public HidBackend {
public:
    explicit HidrawBackend(HidrawOptions options)
        : options_(std::move(options))
    {
        if (!options_.io)
            options_.io = systemHidrawIo();
    }

    std::optional<std::vector<HidInterface>> enumerate() override
    {
        const std::vector<unsigned> numbers = nodeNumbers(options_.classRoot);

        std::map<unsigned, std::shared_ptr<const Node>> nodes;
        std::vector<HidInterface> out;
        for (const unsigned number : numbers) {
            auto node = std::make_shared<const Node>(readNode(options_.classRoot, options_.devRoot, number));
            nodes[number] = node;
            const std::uint64_t base = std::uint64_t { number } << kCollectionBits;
            HidHardwareIdSource src { node->vendor, node->product, node->revision, node->interfaceNumber, {}, 0, 0 };
            if (!node->problem.empty()) {
                HidInterface itf;
                itf.path = node->devNode.string();
                itf.hardwareIds = WindowsHidHardwareIds(src);
                itf.problem = node->problem;
                itf.token = base | kNoCollection;
                out.push_back(std::move(itf));
                continue;
            }
            const auto& collections = node->parsed.descriptor.collections;
            for (std::size_t c = 0; c < collections.size() && c < kNoCollection; ++c) {
                src.usagePage = collections[c].caps.UsagePage;
                src.usage = collections[c].caps.Usage;
                if (collections.size() > 1)
                    src.collectionNumber = static_cast<std::uint8_t>(c + 1);
                HidInterface itf;
                itf.path = node->devNode.string();
                itf.hardwareIds = WindowsHidHardwareIds(src);
                itf.knownCaps = collections[c].caps;
                itf.token = base | c;
                out.push_back(std::move(itf));
            }
        }
        std::lock_guard lock(mutex_);
        nodes_ = std::move(nodes);
        return out;
    }

    HidOpenResult open(const HidInterface& itf, HidOpenMode mode) override
    {
        const unsigned number = static_cast<unsigned>(itf.token >> kCollectionBits);
        const std::size_t c = static_cast<std::size_t>(itf.token & kNoCollection);
        std::shared_ptr<const Node> node;
        {
            std::lock_guard lock(mutex_);
            if (const auto found = nodes_.find(number); found != nodes_.end())
                node = found->second;
        }
        if (!node)
            node = std::make_shared<const Node>(readNode(options_.classRoot, options_.devRoot, number));

        HidOpenResult r;
        if (!node->problem.empty() || c >= node->parsed.descriptor.collections.size()) {
            r.error = kHidErrorInvalidRequest;
            r.why = node->problem.empty() ? "the device has changed since it was enumerated" : node->problem;
            return r;
        }
        const int fd = options_.io->open(node->devNode, mode == HidOpenMode::Read);
        if (fd < 0) {
            r.error = static_cast<std::uint32_t>(-fd);
            r.why = openFailure(node->devNode, -fd);
            return r;
        }
        r.device = std::make_unique<HidrawDevice>(
            options_.io, fd, node->parsed.descriptor.collections[c], node->parsed.descriptor.usesReportIds);
        return r;
    }

private:
    HidrawOptions options_;
    std::mutex mutex_;
    std::map<unsigned, std::shared_ptr<const Node>> nodes_; // from the last enumeration
};

} // namespace

std::vector<HidNodeAccess> InspectHidrawNodes(
    const fs::path& classRoot, const fs::path& devRoot, const std::shared_ptr<HidrawIo>& io)
{
    std::vector<HidNodeAccess> out;
    for (const unsigned number : nodeNumbers(classRoot)) {
        const Node node = readNode(classRoot, devRoot, number);
        HidNodeAccess a;
        a.node = node.devNode.string();
        a.problem = node.problem;
        if (node.problem.empty())
            for (const auto& c : node.parsed.descriptor.collections)
                a.mouseCollection = a.mouseCollection || IsMouseVendorCollection(c.caps.UsagePage, c.caps.Usage);
        const int fd = io->open(node.devNode, false);
        if (fd >= 0)
            io->close(fd);
        else
            a.openError = -fd;
        out.push_back(std::move(a));
    }
    return out;
}

std::shared_ptr<HidrawIo> systemHidrawIo()
{
    return std::make_shared<SystemIo>();
}

std::unique_ptr<HidBackend> openHidrawBackend(HidrawOptions options)
{
    return std::make_unique<HidrawBackend>(std::move(options));
}

} // namespace bv::platform
