// The cgroup texts of the kernel: v1, v2 and hybrid layouts, and texts a damaged or foreign
// system might give. The limit files' numbers are checked against an oracle by the fuzz target.
#include "PlatformLib/CgroupMemory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Kor::CgroupLimitFolders;
using Kor::ParseCgroupMemoryPaths;

TEST(CgroupMemory, FindsTheUnifiedAndTheMemoryControllerPaths) {
    struct Case {
        const char* text;
        std::optional<std::string> unified, memoryV1;
    };
    const Case cases[] = {
        {"0::/user.slice/session-2.scope\n", "/user.slice/session-2.scope", std::nullopt},
        {"12:pids:/\n4:memory:/process_api/ab12\n1:name=systemd:/\n0::/\n", "/",
         "/process_api/ab12"},
        {"3:cpu,memory,cpuacct:/docker/x:y\n", std::nullopt, "/docker/x:y"},
        {"5:memoryx:/a\n6:xmemory:/b\n7:name=memory:/c\n", std::nullopt, std::nullopt},
        {"1::/not-unified\n0:cpu:/neither\n", std::nullopt, std::nullopt},
        {"0::/last\n0::/wins", "/wins", std::nullopt},
        {"garbage\n:\n0:\n\n", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const Kor::CgroupMemoryPaths paths = ParseCgroupMemoryPaths(c.text);
        EXPECT_EQ(paths.unified, c.unified) << c.text;
        EXPECT_EQ(paths.memoryV1, c.memoryV1) << c.text;
    }
}

TEST(CgroupMemory, LimitFoldersClimbToTheMountAndNeverLeaveIt) {
    using Folders = std::vector<std::string>;
    EXPECT_EQ(CgroupLimitFolders("/m", "/a/b/c"), (Folders{"/m/a/b/c", "/m/a/b", "/m/a", "/m"}));
    EXPECT_EQ(CgroupLimitFolders("/m", "/a/"), (Folders{"/m/a", "/m"}));
    EXPECT_EQ(CgroupLimitFolders("/m", "/"), (Folders{"/m"}));
    for (const char* outside : {"", "relative/x", "/../../x", "/a/../../b", "/.."}) {
        EXPECT_EQ(CgroupLimitFolders("/m", outside), (Folders{"/m"})) << outside;
    }
}

}  // namespace
