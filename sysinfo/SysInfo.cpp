#include "SysInfo.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace kw {

namespace {

// Closes the key on every way out, a thrown error included.
class KeyGuard final {
public:
    KeyGuard(Registry& registry, RegistryHandle& handle)
        : m_registry(registry)
        , m_handle(handle) {}
    ~KeyGuard() { m_registry.closeKey(m_handle); }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;

private:
    Registry& m_registry;
    RegistryHandle& m_handle;
};

} // namespace

bool GetKeyValue(Registry& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& valueName, std::string& KeyVal) {
    RegistryHandle handle = 0;
    KeyGuard guard(registry, handle);
    if (registry.openKey(KeyRoot, KeyName, handle) != RegistryOk) {
        KeyVal.clear();
        return false;
    }
    std::vector<char> buffer(ValueBufferSize, '\0');
    std::uint32_t size = ValueBufferSize;
    std::uint32_t type = 0;
    if (registry.queryValue(handle, valueName, type, buffer.data(), size) != RegistryOk) {
        KeyVal.clear();
        return false;
    }
    if (size == 0 || size > ValueBufferSize)
        throw std::invalid_argument("registry value without content");
    const std::string raw(buffer.data(), size);

    if (type == RegistryTypeText) {
        KeyVal = raw;
        if (KeyVal.back() == '\0')
            KeyVal.pop_back();
    } else if (type == RegistryTypeNumber) {
        if (raw.size() < sizeof(std::uint32_t))
            throw std::invalid_argument("registry number shorter than 32 bits");
        std::uint32_t number = 0;
        std::memcpy(&number, raw.data(), sizeof number); // the registry stores it little-endian
        KeyVal = std::to_string(number);
    }
    return true;
}

void StartSysInfo(Registry& registry, SysInfoHost& host) {
    try {
        std::string path;
        if (!GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                         "PATH", path)) {
            if (!GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\Microsoft\\Shared Tools Location",
                             "MSINFO", path)) {
                host.showUnavailable();
                return;
            }
            const std::string tool = path + "\\MSINFO32.EXE";
            if (!host.fileExists(tool)) {
                host.showUnavailable();
                return;
            }
            path = tool;
        }
        if (!host.start(path))
            host.showUnavailable();
    } catch (const std::exception&) {
        host.showUnavailable();
    }
}

} // namespace kw
