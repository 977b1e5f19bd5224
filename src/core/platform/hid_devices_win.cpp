#include "platform/hid_devices.h"
#include "platform/test_sandbox.h"

#include "platform/win_text.h"

#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace bv::platform {

namespace {

// HID.dll's records, declared here so that no driver-kit header is needed.
struct HiddAttributes {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
};
static_assert(sizeof(HiddAttributes) == 12);

struct HidpCaps {
    USHORT Usage;
    USHORT UsagePage;
    USHORT InputReportByteLength;
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
};
static_assert(sizeof(HidpCaps) == 64);

struct HidUsageAndPage {
    USHORT Usage;
    USHORT UsagePage;
};

using PreparsedData = void*;
constexpr LONG kHidpStatusSuccess = 0x00110000;
constexpr int kHidpInput = 0;
// The HID interface class, when HidD_GetHidGuid cannot be asked.
constexpr GUID kHidClassGuid = { 0x4D1E55B2, 0xF16F, 0x11CF, { 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 } };
constexpr DWORD kHardwareIdBufferBytes = 32768;

struct Api {
    HDEVINFO(WINAPI* SetupDiGetClassDevsW)(const GUID*, PCWSTR, HWND, DWORD) = nullptr;
    BOOL(WINAPI* SetupDiEnumDeviceInterfaces)
    (HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA) = nullptr;
    BOOL(WINAPI* SetupDiGetDeviceInterfaceDetailW)
    (HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_W, DWORD, PDWORD, PSP_DEVINFO_DATA)
        = nullptr;
    BOOL(WINAPI* SetupDiGetDeviceRegistryPropertyW)
    (HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD) = nullptr;
    BOOL(WINAPI* SetupDiDestroyDeviceInfoList)(HDEVINFO) = nullptr;

    void(__stdcall* HidD_GetHidGuid)(GUID*) = nullptr;
    BOOLEAN(__stdcall* HidD_GetAttributes)(HANDLE, HiddAttributes*) = nullptr;
    BOOLEAN(__stdcall* HidD_GetPreparsedData)(HANDLE, PreparsedData*) = nullptr;
    BOOLEAN(__stdcall* HidD_FreePreparsedData)(PreparsedData) = nullptr;
    LONG(__stdcall* HidP_GetCaps)(PreparsedData, HidpCaps*) = nullptr;
    BOOLEAN(__stdcall* HidD_SetFeature)(HANDLE, PVOID, ULONG) = nullptr;
    BOOLEAN(__stdcall* HidD_GetFeature)(HANDLE, PVOID, ULONG) = nullptr;
    ULONG(__stdcall* HidP_MaxUsageListLength)(int, USHORT, PreparsedData) = nullptr;
    LONG(__stdcall* HidP_GetUsagesEx)(int, USHORT, HidUsageAndPage*, PULONG, PreparsedData, PCHAR, ULONG) = nullptr;

    GUID hidGuid = kHidClassGuid;
    bool ok = false;
    std::string problem;
};

HMODULE loadSystemLibrary(const wchar_t* name)
{
    // Only from System32, so that a DLL of the same name beside the program is never picked up.
    HMODULE m = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!m && GetLastError() == ERROR_INVALID_PARAMETER) // systems without the safe search flag
        m = LoadLibraryW(name);
    return m;
}

template <class Fn> bool bind(HMODULE module, const char* name, Fn& fn)
{
    const FARPROC p = module ? GetProcAddress(module, name) : nullptr;
    fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
    return p != nullptr;
}

const Api& api()
{
    static Api a;
    static std::once_flag once;
    std::call_once(once, [] {
        const HMODULE setup = loadSystemLibrary(L"SetupApi.dll");
        const HMODULE hid = loadSystemLibrary(L"HID.dll");
        bool ok = setup && hid;
        ok &= bind(setup, "SetupDiGetClassDevsW", a.SetupDiGetClassDevsW);
        ok &= bind(setup, "SetupDiEnumDeviceInterfaces", a.SetupDiEnumDeviceInterfaces);
        ok &= bind(setup, "SetupDiGetDeviceInterfaceDetailW", a.SetupDiGetDeviceInterfaceDetailW);
        ok &= bind(setup, "SetupDiGetDeviceRegistryPropertyW", a.SetupDiGetDeviceRegistryPropertyW);
        ok &= bind(setup, "SetupDiDestroyDeviceInfoList", a.SetupDiDestroyDeviceInfoList);
        bind(hid, "HidD_GetHidGuid", a.HidD_GetHidGuid);
        ok &= bind(hid, "HidD_GetAttributes", a.HidD_GetAttributes);
        ok &= bind(hid, "HidD_GetPreparsedData", a.HidD_GetPreparsedData);
        ok &= bind(hid, "HidD_FreePreparsedData", a.HidD_FreePreparsedData);
        ok &= bind(hid, "HidP_GetCaps", a.HidP_GetCaps);
        ok &= bind(hid, "HidD_SetFeature", a.HidD_SetFeature);
        ok &= bind(hid, "HidD_GetFeature", a.HidD_GetFeature);
        ok &= bind(hid, "HidP_MaxUsageListLength", a.HidP_MaxUsageListLength);
        ok &= bind(hid, "HidP_GetUsagesEx", a.HidP_GetUsagesEx);
        if (a.HidD_GetHidGuid)
            a.HidD_GetHidGuid(&a.hidGuid);
        a.ok = ok;
        if (!ok)
            a.problem = "SetupApi.dll or HID.dll cannot be loaded";
    });
    return a;
}

// A failure that left no error code still has to read as a failure.
std::uint32_t lastErrorOr(std::uint32_t fallback)
{
    const DWORD e = GetLastError();
    return e != 0 ? e : fallback;
}

std::vector<std::string> splitMultiString(const wchar_t* text, std::size_t units)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < units && text[i] != L'\0') {
        std::size_t end = i;
        while (end < units && text[end] != L'\0')
            ++end;
        out.push_back(win::narrow(std::wstring_view(text + i, end - i)));
        i = end + 1;
    }
    return out;
}

HidReadResult readFailure(DWORD error)
{
    const bool gone
        = error == ERROR_INVALID_HANDLE || error == ERROR_OPERATION_ABORTED || error == ERROR_DEVICE_NOT_CONNECTED;
    return { gone ? HidReadResult::Status::Gone : HidReadResult::Status::Failed, 0, error };
}

class WinHidDevice : public HidDevice {
public:
    WinHidDevice(HANDLE handle, bool overlapped)
        : handle_(handle)
        , overlapped_(overlapped)
    {
        if (overlapped_)
            event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~WinHidDevice() override
    {
        if (pending_) {
            CancelIo(handle_);
            DWORD n = 0;
            GetOverlappedResult(handle_, &read_, &n, TRUE);
        }
        if (event_)
            CloseHandle(event_);
        if (preparsed_)
            api().HidD_FreePreparsedData(preparsed_);
        CloseHandle(handle_);
    }
    WinHidDevice(const WinHidDevice&) = delete;
    WinHidDevice& operator=(const WinHidDevice&) = delete;

    bool attributes(HidAttributes& out) override
    {
        HiddAttributes a {};
        a.Size = sizeof a;
        if (!api().HidD_GetAttributes(handle_, &a))
            return false;
        out = { a.VendorID, a.ProductID, a.VersionNumber };
        return true;
    }

    std::optional<HidCaps> capabilities() override
    {
        if (!preparsed_ && !api().HidD_GetPreparsedData(handle_, &preparsed_)) {
            preparsed_ = nullptr;
            return std::nullopt;
        }
        HidpCaps caps {};
        if (api().HidP_GetCaps(preparsed_, &caps) != kHidpStatusSuccess)
            return std::nullopt;
        return HidCaps { caps.Usage, caps.UsagePage, caps.InputReportByteLength, caps.OutputReportByteLength,
            caps.FeatureReportByteLength };
    }

    std::uint32_t setFeature(std::span<const std::uint8_t> report) override
    {
        std::vector<std::uint8_t> buffer(report.begin(), report.end());
        SetLastError(0);
        if (api().HidD_SetFeature(handle_, buffer.data(), static_cast<ULONG>(buffer.size())))
            return 0;
        return lastErrorOr(ERROR_GEN_FAILURE);
    }

    std::uint32_t getFeature(std::span<std::uint8_t> report) override
    {
        SetLastError(0);
        if (api().HidD_GetFeature(handle_, report.data(), static_cast<ULONG>(report.size())))
            return 0;
        return lastErrorOr(ERROR_GEN_FAILURE);
    }

    std::uint32_t writeOutput(std::span<const std::uint8_t> report) override
    {
        SetLastError(0);
        DWORD written = 0;
        if (!overlapped_) {
            if (!WriteFile(handle_, report.data(), static_cast<DWORD>(report.size()), &written, nullptr))
                return lastErrorOr(ERROR_GEN_FAILURE);
        } else {
            OVERLAPPED ov {};
            ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            if (!ov.hEvent)
                return lastErrorOr(ERROR_GEN_FAILURE);
            BOOL ok = WriteFile(handle_, report.data(), static_cast<DWORD>(report.size()), nullptr, &ov);
            if (!ok && GetLastError() == ERROR_IO_PENDING)
                ok = GetOverlappedResult(handle_, &ov, &written, TRUE);
            else if (ok)
                ok = GetOverlappedResult(handle_, &ov, &written, FALSE);
            const std::uint32_t error = ok ? 0 : lastErrorOr(ERROR_GEN_FAILURE);
            CloseHandle(ov.hEvent);
            if (error)
                return error;
        }
        return written == report.size() ? 0 : ERROR_GEN_FAILURE;
    }

    HidReadResult readInput(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        if (!overlapped_ || !event_ || buffer.empty())
            return { HidReadResult::Status::Failed, 0, ERROR_INVALID_PARAMETER };
        // One read stays outstanding between calls, so no report is lost while the caller polls.
        if (!pending_) {
            ResetEvent(event_);
            read_ = OVERLAPPED {};
            read_.hEvent = event_;
            readBuffer_.assign(buffer.size(), 0);
            if (!ReadFile(handle_, readBuffer_.data(), static_cast<DWORD>(readBuffer_.size()), nullptr, &read_)) {
                const DWORD e = GetLastError();
                if (e != ERROR_IO_PENDING)
                    return readFailure(e);
            }
            pending_ = true;
        }
        if (WaitForSingleObject(event_, static_cast<DWORD>(timeoutMs)) == WAIT_TIMEOUT)
            return {};
        DWORD n = 0;
        const BOOL ok = GetOverlappedResult(handle_, &read_, &n, FALSE);
        pending_ = false;
        if (!ok)
            return readFailure(GetLastError());
        const std::size_t copied = std::min<std::size_t>(n, buffer.size());
        std::memcpy(buffer.data(), readBuffer_.data(), copied);
        return { HidReadResult::Status::Data, copied, 0 };
    }

    std::size_t maxInputUsageListLength() override
    {
        if (!capabilities())
            return 0;
        return api().HidP_MaxUsageListLength(kHidpInput, 0, preparsed_);
    }

    std::vector<USAGE_AND_PAGE> inputUsagesOn(std::span<const std::uint8_t> report, std::size_t limit) override
    {
        std::vector<USAGE_AND_PAGE> out;
        if (!capabilities() || limit == 0)
            return out;
        std::vector<HidUsageAndPage> list(limit);
        ULONG length = static_cast<ULONG>(limit);
        std::vector<char> copy(report.begin(), report.end());
        if (api().HidP_GetUsagesEx(
                kHidpInput, 0, list.data(), &length, preparsed_, copy.data(), static_cast<ULONG>(copy.size()))
            != kHidpStatusSuccess)
            return out;
        for (ULONG i = 0; i < length && i < list.size(); ++i)
            out.push_back({ list[i].Usage, list[i].UsagePage });
        return out;
    }

private:
    HANDLE handle_;
    bool overlapped_;
    HANDLE event_ = nullptr;
    PreparsedData preparsed_ = nullptr;
    OVERLAPPED read_ {};
    bool pending_ = false;
    std::vector<std::uint8_t> readBuffer_;
};

class WinHidBackend : public HidBackend {
public:
    std::optional<std::vector<HidInterface>> enumerate() override
    {
        const Api& a = api();
        if (!a.ok)
            return std::nullopt;
        const HDEVINFO set
            = a.SetupDiGetClassDevsW(&a.hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE)
            return std::nullopt;
        std::vector<HidInterface> out;
        std::vector<BYTE> ids(kHardwareIdBufferBytes);
        for (DWORD index = 0;; ++index) {
            SP_DEVICE_INTERFACE_DATA itfData {};
            itfData.cbSize = sizeof itfData;
            if (!a.SetupDiEnumDeviceInterfaces(set, nullptr, &a.hidGuid, index, &itfData))
                break;
            SP_DEVINFO_DATA devData {};
            devData.cbSize = sizeof devData;
            DWORD required = 0;
            SetLastError(0);
            a.SetupDiGetDeviceInterfaceDetailW(set, &itfData, nullptr, 0, &required, &devData);
            if (required == 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                continue;

            HidInterface itf;
            DWORD type = 0, got = 0;
            std::fill(ids.begin(), ids.end(), BYTE { 0 });
            if (a.SetupDiGetDeviceRegistryPropertyW(set, &devData, SPDRP_HARDWAREID, &type, ids.data(),
                    static_cast<DWORD>(ids.size()) - sizeof(wchar_t) * 2, &got))
                itf.hardwareIds = splitMultiString(reinterpret_cast<const wchar_t*>(ids.data()), got / sizeof(wchar_t));

            // DWORD elements keep the detail record aligned.
            std::vector<DWORD> detailBuffer(required / sizeof(DWORD) + 1);
            auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(detailBuffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (!a.SetupDiGetDeviceInterfaceDetailW(set, &itfData, detail, required, nullptr, nullptr))
                continue;
            itf.path = win::narrow(detail->DevicePath);
            itf.token = index;
            out.push_back(std::move(itf));
        }
        a.SetupDiDestroyDeviceInfoList(set);
        return out;
    }

    HidOpenResult open(const HidInterface& itf, HidOpenMode mode) override
    {
        HidOpenResult r;
        const bool overlapped = mode == HidOpenMode::Read;
        refuseInTestSandbox("a HID device");
        const HANDLE h = CreateFileW(win::wide(itf.path).c_str(), GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            r.error = lastErrorOr(ERROR_GEN_FAILURE);
            r.why = "cannot open the device: " + hidErrorText(r.error);
            return r;
        }
        r.device = std::make_unique<WinHidDevice>(h, overlapped);
        return r;
    }
};

} // namespace

std::unique_ptr<HidBackend> openSystemHidBackend()
{
    return std::make_unique<WinHidBackend>();
}

std::string hidErrorText(std::uint32_t code)
{
    if (code == 0)
        return "success";
    wchar_t* text = nullptr;
    const DWORD n
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string out;
    if (n != 0 && text) {
        std::wstring_view w(text, n);
        while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.'))
            w.remove_suffix(1);
        out = win::narrow(w);
    }
    if (text)
        LocalFree(text);
    return out.empty() ? "error " + std::to_string(code) : out;
}

void hidDebugString(std::string_view text)
{
    OutputDebugStringW(win::wide(text).c_str());
}

} // namespace bv::platform
