// The real orvane on the bundled examples in a window on a private X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "app/TrajectoryProcessing.h"
#include "tests/support/Process.h"
#include "tests/support/Xvfb.h"

namespace {

// The bundled examples end to end: reported, drawn in their colours, and the window closes the
// program with status 0.
TEST(ProcessingWindow, ExamplesAreShownAndTheWindowEndsTheRun) {
    std::vector<std::string> examples;
    for (const auto& entry : std::filesystem::directory_iterator(ORVANE_SOURCE_DIR "/examples")) {
        examples.push_back(entry.path().string());
    }
    std::sort(examples.begin(), examples.end());
    ASSERT_GE(examples.size(), 3u);
    std::string expected = std::to_string(examples.size()) + " trajectories provided\n\n";
    for (const std::string& path : examples) {
        if (Kor::isSplinePath(path)) {
            expected += path + " has ";
        }
    }
    OrvaneTest::XvfbServer server;
    ASSERT_FALSE(server.display().empty());
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"DISPLAY", server.display()}};
    options.timeout = std::chrono::seconds(120);
    auto run =
        std::async(std::launch::async, [&] { return OrvaneTest::runOrvane(examples, options); });
    OrvaneTest::XSession x(server.display());
    const unsigned long window = x.waitForWindow("Orvane", std::chrono::seconds(60));
    ASSERT_NE(window, 0u);
    // The first two trajectories in red and green.
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        const OrvaneTest::WindowImage image = x.capture(window);
        return image.count({255, 0, 0}) > 0 && image.count({0, 255, 0}) > 0;
    }));
    x.sendDeleteWindow(window);
    const OrvaneTest::ProcessResult result = run.get();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    std::string withoutCounts;
    for (std::size_t p = 0; p < result.out.size();) {  // "<path> has <n> valid..." up to "has "
        const std::size_t has = result.out.find(" has ", p);
        if (has == std::string::npos) {
            withoutCounts += result.out.substr(p);
            break;
        }
        withoutCounts += result.out.substr(p, has + 5 - p);
        p = result.out.find("\n\n", has) + 2;
    }
    EXPECT_EQ(withoutCounts, expected);
}

}  // namespace
