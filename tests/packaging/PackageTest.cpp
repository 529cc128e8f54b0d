// The Debian package CPack makes of this build: its control fields, its files, dependencies that
// cover every library its programs link, and orvane running from the package unpacked into a
// scratch root.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/packaging/InstalledTree.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// A program of the system, found through PATH.
OrvaneTest::ProcessResult run(std::vector<std::string> argv) {
    argv.insert(argv.begin(), "/usr/bin/env");
    return OrvaneTest::runProcess(argv);
}

// The package names of a Depends-style field: "a (>= 1), b | c" gives a, b and c.
std::set<std::string> packageNames(const std::string& field) {
    std::set<std::string> names;
    const std::regex name(R"((?:^|[,|])\s*([a-z0-9][a-z0-9+.-]+))");
    for (auto it = std::sregex_iterator(field.begin(), field.end(), name);
         it != std::sregex_iterator(); ++it) {
        names.insert((*it)[1]);
    }
    return names;
}

class PackageTest : public testing::Test {
protected:
    void SetUp() override {
        const OrvaneTest::ProcessResult made = OrvaneTest::runProcess(
            {CPACK_COMMAND_PATH, "-G", "DEB", "--config", ORVANE_BUILD_DIR "/CPackConfig.cmake",
             "-B", mOut.path().string()},
            withTimeout());
        ASSERT_EQ(made.status, 0) << made.out << made.err;
        for (const auto& entry : fs::directory_iterator(mOut.path())) {
            if (entry.path().extension() == ".deb") {
                mDeb = entry.path().string();
            }
        }
        ASSERT_NE(mDeb, "") << made.out;
    }
    static OrvaneTest::ProcessOptions withTimeout() {
        OrvaneTest::ProcessOptions options;
        options.timeout = std::chrono::minutes(5);
        return options;
    }
    std::string field(const std::string& name) {
        return run({"dpkg-deb", "--field", mDeb, name}).out;
    }

    OrvaneTest::TempDir mOut;
    std::string mDeb;
};

TEST_F(PackageTest, DescribesItselfAndHoldsTheInstalledTreeUnderUsr) {
    EXPECT_EQ(fs::path(mDeb).filename().string().rfind("orvane_" ORVANE_VERSION "_", 0), 0u)
        << mDeb;
    EXPECT_EQ(field("Package"), "orvane\n");
    EXPECT_EQ(field("Version"), ORVANE_VERSION "\n");
    EXPECT_EQ(field("Section"), "science\n");
    EXPECT_TRUE(std::regex_match(field("Maintainer"), std::regex(".+ <[^ >]+@[^ >]+>\n")))
        << field("Maintainer");
    const std::vector<std::string> description = lines(field("Description"));
    ASSERT_GE(description.size(), 3u);
    EXPECT_EQ(description[0], "viewer of rigid-body pose and spline trajectories");
    for (size_t i = 1; i < description.size(); ++i) {
        // Continuation lines, as wide as a terminal at most.
        EXPECT_EQ(description[i].rfind(' ', 0), 0u) << description[i];
        EXPECT_LE(description[i].size(), 80u) << description[i];
    }
    // A semicolon survives CMake, where it separates the items of a list.
    EXPECT_NE(field("Description").find("video; orvane-convert"), std::string::npos);

    // "-rwxr-xr-x root/root 123 2024-01-01 00:00 ./usr/bin/orvane -> ../lib/orvane/orvane"
    std::vector<std::string> files;
    for (const std::string& line : lines(run({"dpkg-deb", "-c", mDeb}).out)) {
        const size_t path = line.find(" ./usr/");
        if (line[0] != 'd' && path != std::string::npos) {
            files.push_back(line.substr(path + 7));
        }
        if (line.find("/lib/orvane/orvane") != std::string::npos && line[0] == '-') {
            EXPECT_EQ(line.substr(0, 10), "-rwxr-xr-x") << line;
        }
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, OrvaneTest::expectedInstallTree());
}

TEST_F(PackageTest, DependsOnWhatItsProgramsLinkAndOnTheSoftwareRenderer) {
    const std::set<std::string> depends = packageNames(field("Depends"));
    EXPECT_EQ(depends.count("libgl1-mesa-dri"), 1u) << field("Depends");
    EXPECT_EQ(packageNames(field("Recommends")), std::set<std::string>{"ffmpeg"});

    const OrvaneTest::TempDir root;
    ASSERT_EQ(run({"dpkg-deb", "-x", mDeb, root.path().string()}).status, 0);
    for (const std::string program : {"orvane", "orvane-record", "orvane-convert"}) {
        const std::string path = (root.path() / "usr/lib/orvane" / program).string();
        const OrvaneTest::ProcessResult dynamic = run({"readelf", "-d", path});
        ASSERT_EQ(dynamic.status, 0) << dynamic.err;
        // " 0x0000000000000001 (NEEDED)             Shared library: [libfmt.so.9]"
        const std::regex needed(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
        for (const std::string& line : lines(dynamic.out)) {
            std::smatch match;
            if (!std::regex_search(line, match, needed)) {
                continue;
            }
            // The installed packages that hold the library: one of them must be a dependency.
            const std::set<std::string> owners =
                packageNames(std::regex_replace(run({"dpkg", "-S", "*/" + match[1].str()}).out,
                                                std::regex(R"((:[a-z0-9]+)?: [^\n]*\n?)"), ","));
            bool declared = false;
            for (const std::string& owner : owners) {
                declared = declared || depends.count(owner) == 1;
            }
            EXPECT_TRUE(declared) << program << " links " << match[1] << ", which no dependency ("
                                  << field("Depends") << ") provides";
        }
    }
}

TEST_F(PackageTest, OrvaneRunsFromThePackageUnpackedIntoAScratchRoot) {
    const OrvaneTest::TempDir root;
    ASSERT_EQ(run({"dpkg-deb", "-x", mDeb, root.path().string()}).status, 0);
    const OrvaneTest::ProcessResult help =
        OrvaneTest::runProcess({(root.path() / "usr/bin/orvane").string(), "-h"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find("--center_trajectories"), std::string::npos) << help.out;
    EXPECT_TRUE(fs::is_regular_file(root.path() / "usr/lib/orvane/OrvaneMenu.cfg"));
}

}  // namespace
