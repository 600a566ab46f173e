#include "SysInfo.h"

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace kw {

std::string FindToolOnPath(std::string_view pathVariable) {
    for (const char* program : {"hardinfo2", "hardinfo", "kinfocenter"}) {
        std::string_view rest = pathVariable;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view folder = rest.substr(0, colon);
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
            if (folder.empty())
                continue;
            const std::filesystem::path candidate = std::filesystem::path(folder) / program;
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0)
                return candidate.string();
        }
    }
    return {};
}

void LaunchSysInfo(SysInfoHost& host) {
    try {
        const char* pathVariable = std::getenv("PATH");
        const std::string tool = FindToolOnPath(pathVariable != nullptr ? pathVariable : "");
        if (tool.empty() || !host.start(tool))
            host.showUnavailable();
    } catch (const std::exception&) {
        host.showUnavailable();
    }
}

} // namespace kw
