#include "SysInfo.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include <unistd.h>

namespace kw {

namespace {

constexpr RegistryHandle ToolKey = 1;

std::string findOnPath() {
    const char* pathVariable = std::getenv("PATH");
    if (pathVariable == nullptr)
        return {};
    for (const char* program : {"hardinfo2", "hardinfo", "kinfocenter"}) {
        std::istringstream folders(pathVariable);
        std::string folder;
        while (std::getline(folders, folder, ':')) {
            if (folder.empty())
                continue;
            const std::filesystem::path candidate = std::filesystem::path(folder) / program;
            if (::access(candidate.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(candidate))
                return candidate.string();
        }
    }
    return {};
}

// No registry here: the tool's key exists while a system-information program is on the PATH, and
// the folder key never does.
class PathRegistry final : public Registry {
public:
    long openKey(std::uint32_t root, const std::string& path, RegistryHandle& handle) override {
        handle = 0;
        if (root != HKEY_LOCAL_MACHINE_ROOT || path != "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO")
            return 2; // not found
        m_tool = findOnPath();
        if (m_tool.empty())
            return 2;
        handle = ToolKey;
        return RegistryOk;
    }

    long queryValue(RegistryHandle handle, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override {
        if (handle != ToolKey || name != "PATH")
            return 2;
        if (m_tool.size() + 1 > size)
            return 234; // more data than the buffer holds
        std::memcpy(buffer, m_tool.c_str(), m_tool.size() + 1);
        size = static_cast<std::uint32_t>(m_tool.size() + 1);
        type = RegistryTypeText;
        return RegistryOk;
    }

    void closeKey(RegistryHandle) override {}

private:
    std::string m_tool;
};

} // namespace

std::unique_ptr<Registry> MakePlatformRegistry() {
    return std::make_unique<PathRegistry>();
}

} // namespace kw
