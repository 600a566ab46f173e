#include "SysInfo.h"

#include <windows.h>

namespace kw {

namespace {

class WindowsRegistry final : public Registry {
public:
    long openKey(std::uint32_t root, const std::string& path, RegistryHandle& handle) override {
        HKEY key = nullptr;
        const LONG result = RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)), path.c_str(),
                                          0, KEY_READ, &key);
        handle = reinterpret_cast<RegistryHandle>(key);
        return result;
    }

    long queryValue(RegistryHandle handle, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD bytes = size;
        const LONG result = RegQueryValueExA(reinterpret_cast<HKEY>(handle), name.c_str(), nullptr,
                                             &valueType, reinterpret_cast<BYTE*>(buffer), &bytes);
        type = valueType;
        size = bytes;
        return result;
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
