#pragma once
// The Linux hidraw backend, with its file-system roots and its system calls replaceable so that
// tests run on a fake tree (POSIX builds only).

#include "platform/hid_access.h"
#include "platform/hid_backend.h"

#include <cstddef>
#include <filesystem>
#include <memory>

namespace bv::platform {

/// The system calls made on device nodes. Results are >= 0 on success, -errno on failure.
class HidrawIo {
public:
    virtual ~HidrawIo() = default;
    virtual int open(const std::filesystem::path& node, bool nonBlocking) = 0;
    virtual void close(int fd) = 0;
    virtual int ioctl(int fd, unsigned long request, void* arg) = 0;
    virtual long read(int fd, void* buffer, std::size_t size) = 0;
    virtual long write(int fd, const void* buffer, std::size_t size) = 0;
    /// 1 when input is ready, 0 on timeout, -ENODEV when the device is gone, else -errno.
    virtual int waitReadable(int fd, int timeoutMs) = 0;
};

/// The real system calls.
std::shared_ptr<HidrawIo> systemHidrawIo();

struct HidrawOptions {
    std::filesystem::path classRoot = "/sys/class/hidraw";
    std::filesystem::path devRoot = "/dev";
    std::shared_ptr<HidrawIo> io; // null: the real system calls
};

/// Each node of `classRoot`, whether its sysfs descriptor declares the mouse's collection, and
/// whether `devRoot`'s node opens (it is closed at once; nothing is sent).
std::vector<HidNodeAccess> InspectHidrawNodes(
    const std::filesystem::path& classRoot, const std::filesystem::path& devRoot, const std::shared_ptr<HidrawIo>& io);

/// Enumerates `classRoot`/hidrawN, reads each report descriptor from sysfs and offers one interface
/// per top-level collection, with hardware IDs in the Windows form; transfers go to `devRoot`/hidrawN.
std::unique_ptr<HidBackend> openHidrawBackend(HidrawOptions options = {});

} // namespace bv::platform
