#include "PlatformLib/CgroupMemory.h"

#include <charconv>

namespace Kor {

CgroupMemoryPaths ParseCgroupMemoryPaths(std::string_view procCgroup) {
    CgroupMemoryPaths paths;
    while (!procCgroup.empty()) {
        const size_t end = procCgroup.find('\n');
        const std::string_view line = procCgroup.substr(0, end);
        procCgroup =
            end == std::string_view::npos ? std::string_view{} : procCgroup.substr(end + 1);

        const size_t first = line.find(':');
        const size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        const std::string_view id = line.substr(0, first);
        std::string_view controllers = line.substr(first + 1, second - first - 1);
        const std::string path(line.substr(second + 1));
        if (id == "0" && controllers.empty()) {
            paths.unified = path;
            continue;
        }
        while (!controllers.empty()) {
            const size_t comma = controllers.find(',');
            if (controllers.substr(0, comma) == "memory") {
                paths.memoryV1 = path;
            }
            controllers = comma == std::string_view::npos ? std::string_view{}
                                                          : controllers.substr(comma + 1);
        }
    }
    return paths;
}

std::vector<std::string> CgroupLimitFolders(std::string_view mount, std::string_view path) {
    std::vector<std::string> folders;
    const bool inside =
        !path.empty() && path.front() == '/' && path.find("/..") == std::string_view::npos;
    if (inside) {
        while (path.size() > 1 && path.back() == '/') {
            path.remove_suffix(1);
        }
        while (path.size() > 1) {
            folders.emplace_back(std::string(mount) + std::string(path));
            path = path.substr(0, path.rfind('/'));
        }
    }
    folders.emplace_back(mount);
    return folders;
}

uint64_t ParseMemoryLimit(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return UINT64_MAX;
    }
    return value;
}

}  // namespace Kor
