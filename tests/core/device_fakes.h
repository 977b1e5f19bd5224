#pragma once
// Test doubles for the device link: a plain configurable HID device, and a fake hidraw tree whose
// nodes answer through virtual devices (POSIX only).

#include "device/virtual_hid_backend.h"
#ifndef _WIN32
#include "platform/hid_hidraw.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace bv::test {

/// A device with a given descriptor that records output reports and serves queued input reports.
class PlainHidDevice : public VirtualHidDevice {
public:
    PlainHidDevice(std::vector<std::uint8_t> descriptor, HidAttributes ids)
        : descriptor_(std::move(descriptor))
        , ids_(ids)
    {
    }

    HidAttributes attributes() const override { return ids_; }
    std::vector<std::uint8_t> reportDescriptor() const override { return descriptor_; }
    std::uint32_t setFeature(std::span<const std::uint8_t>) override { return kHidErrorRejected; }
    std::uint32_t getFeature(std::span<std::uint8_t>) override { return kHidErrorRejected; }
    std::uint32_t writeOutput(std::span<const std::uint8_t> report) override
    {
        std::lock_guard lock(mutex_);
        outputs.emplace_back(report.begin(), report.end());
        return 0;
    }
    HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !input_.empty(); });
        if (input_.empty())
            return {};
        const auto r = input_.front();
        input_.pop_front();
        const std::size_t n = std::min(r.size(), buffer.size());
        std::copy_n(r.begin(), n, buffer.begin());
        return { HidReadResult::Status::Data, n, 0 };
    }
    void push(std::vector<std::uint8_t> report)
    {
        std::lock_guard lock(mutex_);
        input_.push_back(std::move(report));
        arrived_.notify_all();
    }

    std::vector<std::vector<std::uint8_t>> outputs;

private:
    std::vector<std::uint8_t> descriptor_;
    HidAttributes ids_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::vector<std::uint8_t>> input_;
};

/// A boot keyboard without report IDs: 8-byte input (modifiers, reserved, six key indices), LED output.
inline std::vector<std::uint8_t> keyboardDescriptor()
{
    // clang-format off
    return {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,                         // Generic Desktop, Keyboard
            0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, // modifiers
            0x75, 0x01, 0x95, 0x08, 0x81, 0x02,                         //   8 bits, Input (Var)
            0x95, 0x01, 0x75, 0x08, 0x81, 0x01,                         //   reserved byte
            0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x95, 0x05, 0x75, 0x01, // LEDs
            0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01,             //   Output, padding
            0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x15, 0x00, 0x25, 0x65, // key array
            0x75, 0x08, 0x95, 0x06, 0x81, 0x00,                         //   Input (Array)
            0xC0};
    // clang-format on
}

#ifndef _WIN32 // hidraw is the Linux interface
struct FakeUsbPlace {
    std::uint16_t bcdDevice = 0x0100;
    std::uint8_t interfaceNumber = 0;
    int interfaceCount = 1;
};

/// A sysfs class folder and a /dev folder below `root`; every node's transfers go to its device.
class FakeHidrawTree {
public:
    explicit FakeHidrawTree(std::filesystem::path root)
        : root_(std::move(root))
        , io_(std::make_shared<Io>())
    {
        std::filesystem::create_directories(classRoot());
        std::filesystem::create_directories(devRoot());
    }

    std::filesystem::path classRoot() const { return root_ / "sys/class/hidraw"; }
    std::filesystem::path devRoot() const { return root_ / "dev"; }

    /// hidrawN for `device`, placed under a USB interface unless `usb` is empty.
    void addNode(
        unsigned number, std::shared_ptr<VirtualHidDevice> device, std::optional<FakeUsbPlace> usb = FakeUsbPlace {})
    {
        namespace fs = std::filesystem;
        const HidAttributes a = device->attributes();
        char hidName[64];
        std::snprintf(hidName, sizeof hidName, "0003:%04X:%04X.%04X", a.VendorID, a.ProductID, number);
        fs::path hidDir;
        if (usb) {
            const fs::path usbDevice = root_ / "sys/devices" / ("usb" + std::to_string(number)) / "1-1";
            const fs::path usbInterface = usbDevice / ("1-1:1." + std::to_string(usb->interfaceNumber));
            fs::create_directories(usbInterface);
            char text[32];
            std::snprintf(text, sizeof text, "%04x\n", usb->bcdDevice);
            writeText(usbDevice / "bcdDevice", text);
            std::snprintf(text, sizeof text, "%2d\n", usb->interfaceCount);
            writeText(usbDevice / "bNumInterfaces", text);
            std::snprintf(text, sizeof text, "%02x\n", usb->interfaceNumber);
            writeText(usbInterface / "bInterfaceNumber", text);
            hidDir = usbInterface / hidName;
        } else {
            hidDir = root_ / "sys/devices/virtual/misc" / hidName;
        }
        fs::create_directories(hidDir);
        char uevent[128];
        std::snprintf(uevent, sizeof uevent, "DRIVER=hid-generic\nHID_ID=0003:%08X:%08X\nHID_NAME=test\n", a.VendorID,
            a.ProductID);
        writeText(hidDir / "uevent", uevent);
        setDescriptor(number, device->reportDescriptor(), hidDir);
        const fs::path classDir = classRoot() / ("hidraw" + std::to_string(number));
        fs::create_directories(classDir);
        fs::create_symlink(hidDir, classDir / "device");
        writeText(devRoot() / ("hidraw" + std::to_string(number)), "");
        std::lock_guard lock(io_->mutex);
        io_->devices[(devRoot() / ("hidraw" + std::to_string(number))).string()] = std::move(device);
    }

    /// Replaces the report descriptor sysfs shows for a node.
    void setDescriptor(unsigned number, const std::vector<std::uint8_t>& bytes)
    {
        setDescriptor(
            number, bytes, std::filesystem::canonical(classRoot() / ("hidraw" + std::to_string(number)) / "device"));
    }

    /// Opening the node fails with EACCES, as without the udev rule.
    void deny(unsigned number)
    {
        std::lock_guard lock(io_->mutex);
        io_->denied.insert((devRoot() / ("hidraw" + std::to_string(number))).string());
    }

    platform::HidrawOptions options() const { return { classRoot(), devRoot(), io_ }; }

    /// Every ioctl request seen, in order.
    std::vector<unsigned long> requests() const
    {
        std::lock_guard lock(io_->mutex);
        return io_->requests;
    }

private:
    struct Io : platform::HidrawIo {
        std::mutex mutex;
        std::map<std::string, std::shared_ptr<VirtualHidDevice>> devices;
        std::set<std::string> denied;
        std::map<int, std::shared_ptr<VirtualHidDevice>> open_;
        std::map<int, std::vector<std::uint8_t>> pendingInput;
        std::vector<unsigned long> requests;
        int nextFd = 100;

        std::shared_ptr<VirtualHidDevice> at(int fd)
        {
            std::lock_guard lock(mutex);
            const auto it = open_.find(fd);
            return it == open_.end() ? nullptr : it->second;
        }

        int open(const std::filesystem::path& node, bool) override
        {
            std::lock_guard lock(mutex);
            if (denied.count(node.string()))
                return -EACCES;
            const auto it = devices.find(node.string());
            if (it == devices.end())
                return -ENOENT;
            open_[nextFd] = it->second;
            return nextFd++;
        }
        void close(int fd) override
        {
            std::lock_guard lock(mutex);
            open_.erase(fd);
        }
        int ioctl(int fd, unsigned long request, void* arg) override
        {
            {
                std::lock_guard lock(mutex);
                requests.push_back(request);
            }
            const auto dev = at(fd);
            if (!dev)
                return -EBADF;
            if (request == HIDIOCGRAWINFO) {
                auto* info = static_cast<hidraw_devinfo*>(arg);
                info->bustype = 3;
                info->vendor = static_cast<__s16>(dev->attributes().VendorID);
                info->product = static_cast<__s16>(dev->attributes().ProductID);
                return 0;
            }
            const std::size_t size = _IOC_SIZE(request);
            auto* bytes = static_cast<std::uint8_t*>(arg);
            if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == 0x06) {
                const std::uint32_t r = dev->setFeature({ bytes, size });
                return r ? -static_cast<int>(r) : static_cast<int>(size);
            }
            if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == 0x07) {
                const std::uint32_t r = dev->getFeature({ bytes, size });
                return r ? -static_cast<int>(r) : static_cast<int>(size);
            }
            return -ENOTTY;
        }
        long read(int fd, void* buffer, std::size_t size) override
        {
            std::lock_guard lock(mutex);
            auto it = pendingInput.find(fd);
            if (it == pendingInput.end())
                return -EAGAIN;
            const std::size_t n = std::min(size, it->second.size());
            std::memcpy(buffer, it->second.data(), n);
            pendingInput.erase(it);
            return static_cast<long>(n);
        }
        long write(int fd, const void* buffer, std::size_t size) override
        {
            const auto dev = at(fd);
            if (!dev)
                return -EBADF;
            const std::uint32_t r = dev->writeOutput({ static_cast<const std::uint8_t*>(buffer), size });
            return r ? -static_cast<long>(r) : static_cast<long>(size);
        }
        int waitReadable(int fd, int timeoutMs) override
        {
            const auto dev = at(fd);
            if (!dev)
                return -EBADF;
            std::vector<std::uint8_t> report(4096);
            const HidReadResult r = dev->readInput(report, timeoutMs);
            if (r.status == HidReadResult::Status::Gone)
                return -ENODEV;
            if (r.status != HidReadResult::Status::Data)
                return 0;
            report.resize(r.length);
            std::lock_guard lock(mutex);
            pendingInput[fd] = std::move(report);
            return 1;
        }
    };

    static void writeText(const std::filesystem::path& file, const std::string& text)
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    }

    static void setDescriptor(unsigned, const std::vector<std::uint8_t>& bytes, const std::filesystem::path& hidDir)
    {
        std::ofstream out(hidDir / "report_descriptor", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path root_;
    std::shared_ptr<Io> io_;
};

#endif

} // namespace bv::test
