// The cgroup texts of the kernel: v1, v2 and hybrid layouts, and texts a damaged or foreign
// system might give.
#include "PlatformLib/CgroupMemory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Kor::CgroupLimitFolders;
using Kor::ParseCgroupMemoryPaths;
using Kor::ParseMemoryLimit;

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

TEST(CgroupMemory, LimitsAreDecimalByteCountsOrNone) {
    EXPECT_EQ(ParseMemoryLimit("536870912\n"), 536870912u);
    EXPECT_EQ(ParseMemoryLimit("0"), 0u);
    EXPECT_EQ(ParseMemoryLimit("9223372036854771712\n"), 9223372036854771712u);
    for (const char* none :
         {"max\n", "", "\n", "-1", "12k", " 12", "12\n\n", "99999999999999999999"}) {
        EXPECT_EQ(ParseMemoryLimit(none), UINT64_MAX) << none;
    }
}

}  // namespace
