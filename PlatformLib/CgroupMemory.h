#pragma once
// The memory limits of Linux control groups, from the texts the kernel writes: which cgroup a
// process is in (/proc/<pid>/cgroup) and the limit files of the memory controller.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor {

struct CgroupMemoryPaths {
    std::optional<std::string> unified;   // the cgroup v2 path ("0::<path>")
    std::optional<std::string> memoryV1;  // the path of the v1 memory controller
};

// The lines are "<hierarchy id>:<controllers, comma-separated>:<path>"; the path is the rest of
// the line. Lines of another shape are ignored.
CgroupMemoryPaths ParseCgroupMemoryPaths(std::string_view procCgroup);

// The folders whose limits apply to a process in cgroup `path` of the hierarchy mounted at
// `mount`: the cgroup's own, then each ancestor's up to the mount itself. A path that is not
// absolute or has a ".." in it (a cgroup outside the process's cgroup namespace) gives the
// mount alone, so no folder outside the mount is ever named.
std::vector<std::string> CgroupLimitFolders(std::string_view mount, std::string_view path);

// A limit file's value: a decimal byte count and a line feed (memory.max,
// memory.limit_in_bytes). "max", and any text that is not such a count, give UINT64_MAX.
uint64_t ParseMemoryLimit(std::string_view text);

}  // namespace Kor
