#include "SysInfo.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace kw {

namespace {

// The registry speaks UTF-16; the lookup speaks UTF-8, so that a path with letters beyond the
// system's code page ("C:\Systeem info ü") survives on its way to the program that starts the tool.
std::wstring wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring result(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), result.data(), length);
    return result;
}

class WindowsRegistry final : public Registry {
public:
    long openKey(std::uint32_t root, const std::string& path, RegistryHandle& handle) override {
        HKEY key = nullptr;
        const LONG result = RegOpenKeyExW(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)),
                                          wide(path).c_str(), 0, KEY_READ, &key);
        handle = reinterpret_cast<RegistryHandle>(key);
        return result;
    }

    // A text value comes back as UTF-8 with its terminating NUL; any other value as it is stored.
    long queryValue(RegistryHandle handle, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        std::vector<BYTE> stored(ValueBufferSize * sizeof(wchar_t));
        DWORD bytes = DWORD(stored.size());
        const LONG result = RegQueryValueExW(reinterpret_cast<HKEY>(handle), wide(name).c_str(), nullptr,
                                             &valueType, stored.data(), &bytes);
        type = valueType;
        if (result != ERROR_SUCCESS)
            return result;
        if (valueType == REG_SZ || valueType == REG_EXPAND_SZ) {
            const auto* text = reinterpret_cast<const wchar_t*>(stored.data());
            const int units = int(bytes / sizeof(wchar_t));
            const int needed = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
            if (needed > int(size))
                return ERROR_MORE_DATA;
            size = std::uint32_t(
                WideCharToMultiByte(CP_UTF8, 0, text, units, buffer, int(size), nullptr, nullptr));
            return ERROR_SUCCESS;
        }
        if (bytes > size)
            return ERROR_MORE_DATA;
        std::copy(stored.begin(), stored.begin() + bytes, buffer);
        size = bytes;
        return ERROR_SUCCESS;
    }

    void closeKey(RegistryHandle handle) override {
        if (handle != 0)
            RegCloseKey(reinterpret_cast<HKEY>(handle));
    }
};

} // namespace

void LaunchSysInfo(SysInfoHost& host) {
    WindowsRegistry registry;
    StartSysInfo(registry, host);
}

} // namespace kw
