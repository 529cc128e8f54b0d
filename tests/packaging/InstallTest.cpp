// `cmake --install` of this build: the files land where they work together, and an installed
// orvane called through PATH, from another folder, finds the menu beside its executable.
#include <gtest/gtest.h>

#include <string>

#include "tests/packaging/InstalledTree.h"
#include "tests/support/OrvaneOnXvfb.h"
#include "tests/support/ShippedMenu.h"
#include "tests/support/TempDir.h"

namespace {

// Runs a program by its name, found through PATH as a shell would: env(1) looks it up.
OrvaneTest::ProcessOptions onPath(const OrvaneTest::InstalledTree& tree,
                                  const OrvaneTest::TempDir& folder) {
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"PATH", (tree.prefix() / "bin").string() + ":/usr/bin:/bin"}};
    options.workingDirectory = folder.path().string();
    return options;
}

TEST(InstallTest, TheProgramsSitBesideTheirMenuAndBinLinksToThem) {
    const OrvaneTest::InstalledTree tree;
    ASSERT_EQ(tree.install().status, 0) << tree.install().out << tree.install().err;
    EXPECT_EQ(OrvaneTest::listTree(tree.prefix()), OrvaneTest::expectedInstallTree());

    const OrvaneTest::TempDir elsewhere;
    for (const std::string program : {"orvane", "orvane-record", "orvane-convert"}) {
        const OrvaneTest::ProcessResult help =
            OrvaneTest::runProcess({"/usr/bin/env", program, "--help"}, onPath(tree, elsewhere));
        EXPECT_EQ(help.status, 0) << program << help.err;
        EXPECT_EQ(help.out.rfind("Usage: ", 0), 0u) << program << help.out;
    }
}

TEST(InstallTest, AnInstalledOrvaneOnThePathOpensTheExamplesWithItsMenu) {
    const OrvaneTest::InstalledTree tree;
    ASSERT_EQ(tree.install().status, 0) << tree.install().out << tree.install().err;
    const std::string examples = (tree.prefix() / "share/doc/orvane/examples").string();

    // From a folder that holds no menu, so that only the one beside the program can show.
    const OrvaneTest::TempDir elsewhere;
    OrvaneTest::OrvaneOnXvfb orvane({"orvane", examples + "/helix.dat", examples + "/tumbling.bin"},
                                    "/usr/bin/env", onPath(tree, elsewhere));
    ASSERT_NE(orvane.window(), 0u);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        const OrvaneTest::WindowImage image = orvane.x().capture(orvane.window());
        // The helix is drawn in red, the first trajectory's colour, above the menu's row.
        return image.width == 640 && OrvaneTest::showsShippedMenu(image) &&
               image.count({255, 0, 0}) > 100;
    }));
    const OrvaneTest::ProcessResult result = orvane.finish();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("2 trajectories provided\n", 0), 0u) << result.out;
    EXPECT_EQ(result.err, "");
}

}  // namespace
