#pragma once

// The About dialog's link to the operating system's system-information tool. On Windows the tool
// is found through two registry values, read through the Registry interface so the lookup runs the
// same against the real registry and test fakes; elsewhere it is the first known tool on the PATH.
// Either way the tool starts through SysInfoHost, or the one message shows. Nothing here uses Qt:
// the Windows sources compile on their own.

#include <cstdint>
#include <string>
#include <string_view>

namespace kw {

using RegistryHandle = std::uintptr_t;

inline constexpr std::uint32_t HKEY_LOCAL_MACHINE_ROOT = 0x80000002u;
inline constexpr std::uint32_t RegistryTypeText = 1;   // REG_SZ
inline constexpr std::uint32_t RegistryTypeNumber = 4; // REG_DWORD
inline constexpr std::uint32_t ValueBufferSize = 1024;
inline constexpr long RegistryOk = 0;

inline constexpr const char* SysInfoUnavailable = "System Information Is Unavailable At This Time";

class Registry {
public:
    virtual ~Registry() = default;
    // Read access only: a standard user may not write below the machine root.
    virtual long openKey(std::uint32_t root, const std::string& path, RegistryHandle& handle) = 0;
    // size: the buffer's size in bytes on entry, the bytes written on return.
    virtual long queryValue(RegistryHandle handle, const std::string& name, std::uint32_t& type, char* buffer,
                            std::uint32_t& size) = 0;
    virtual void closeKey(RegistryHandle handle) = 0;
};

class SysInfoHost {
public:
    virtual ~SysInfoHost() = default;
    virtual bool fileExists(const std::string& path) = 0;
    // Starts the program without a shell and without waiting; false when it could not start.
    virtual bool start(const std::string& path) = 0;
    virtual void showUnavailable() = 0;
};

// Reads one value as text. A text value loses its one terminating NUL; a 32-bit number reads as its
// decimal number; any other type leaves KeyVal as it came in. Throws std::invalid_argument for a
// value of zero bytes.
bool GetKeyValue(Registry& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& valueName, std::string& KeyVal);

// The tool's path from "PATH", else the "MSINFO" folder holding MSINFO32.EXE; any failure ends in
// the one unavailable message.
void StartSysInfo(Registry& registry, SysInfoHost& host);

#ifndef _WIN32
// The first of hardinfo2, hardinfo and kinfocenter that is an executable file in one of the
// colon-separated folders of `pathVariable`; empty when there is none.
std::string FindToolOnPath(std::string_view pathVariable);
#endif

// Finds this platform's tool and starts it, or shows the one message: on Windows through the
// registry (advapi32), elsewhere on the PATH.
void LaunchSysInfo(SysInfoHost& host);

} // namespace kw
