// The cgroup texts over arbitrary bytes, read both as a /proc/<pid>/cgroup text and as a limit
// file: a path found is the rest of one line, the limit folders of any path stay inside the
// mount and climb towards it, and a limit is read only from a plain decimal count.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "PlatformLib/CgroupMemory.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkFolders(std::string_view path) {
    const std::string mount = "/sys/fs/cgroup";
    const auto folders = Kor::CgroupLimitFolders(mount, path);
    check(!folders.empty() && folders.back() == mount);
    for (size_t i = 0; i < folders.size(); ++i) {
        check(folders[i].compare(0, mount.size(), mount) == 0);
        check(folders[i].find("/..") == std::string::npos);
        check(i + 1 == folders.size() ||
              folders[i].compare(0, folders[i + 1].size(), folders[i + 1]) == 0);
    }
}

// Digits and at most one line feed after them, below 2^64; UINT64_MAX otherwise.
uint64_t expectedLimit(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return UINT64_MAX;
    }
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > (UINT64_MAX - (c - '0')) / 10) {
            return UINT64_MAX;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Kor::CgroupMemoryPaths paths = Kor::ParseCgroupMemoryPaths(text);
    for (const auto& path : {paths.unified, paths.memoryV1}) {
        if (path) {
            check(path->find('\n') == std::string::npos);
            check(text.find(*path) != std::string_view::npos);
            checkFolders(*path);
        }
    }
    checkFolders(text);
    check(Kor::ParseMemoryLimit(text) == expectedLimit(text));
    return 0;
}
