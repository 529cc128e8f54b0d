// Per-path processing, mostly through the real executable: the reports, the dynamics logs of
// files whose motion is known in closed form, and the readers each path goes to.
#include "app/TrajectoryProcessing.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <limits>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "tests/support/ErrorReport.h"
#include "tests/support/Platform.h"
#include "tests/support/Process.h"
#include "tests/support/ScrewMotion.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrajectoryFiles.h"

namespace {

using OrvaneTest::textMode;

using OrvaneTest::M3;
using OrvaneTest::V3;

TEST(TrajectoryProcessing, OnlyTheExactExtensionDatIsASplineFile) {
    for (const char* spline : {"a.dat", "dir/x.tar.dat", "..dat", "d.bin/a.dat"}) {
        EXPECT_TRUE(Kor::isSplinePath(spline)) << spline;
    }
    for (const char* other :
         {"a.DAT", "a.Dat", ".dat", "dir/.dat", "a.dat.bak", "a.dat/", "dat", "a.bin", "a"}) {
        EXPECT_FALSE(Kor::isSplinePath(other)) << other;
    }
}

TEST(TrajectoryProcessing, SixFixedColoursThenTheEngineLowBytes) {
    Kor::TrajectoryColours colours(5489);  // the engine's default seed
    using C = Kor::TrajectoryColours::Colour;
    for (const C expected : {C{255, 0, 0}, C{0, 255, 0}, C{0, 0, 255}, C{255, 255, 0},
                             C{255, 0, 255}, C{0, 255, 255}}) {
        EXPECT_EQ(colours.next(), expected);
    }
    // The first outputs of MT19937 from 5489 are 3499211612, 581869302, 3890346734, 3586334585,
    // 545404204 and 4161255391.
    EXPECT_EQ(colours.next(), (C{3499211612 % 256, 581869302 % 256, 3890346734 % 256}));
    EXPECT_EQ(colours.next(), (C{3586334585 % 256, 545404204 % 256, 4161255391 % 256}));
}

// ---- runs of the executable ---------------------------------------------------------------

// A path that does not exist ends each run after the processing, before the window.
const std::string kMissing = "missing";
const std::string kMissingError =
    OrvaneTest::errorReport("Trajectory path missing does not exist!");

class Processing : public testing::Test {
protected:
    OrvaneTest::ProcessResult run(std::vector<std::string> args) {
        args.push_back(kMissing);
        OrvaneTest::ProcessOptions options;
        options.workingDirectory = mDir.path().string();
        return OrvaneTest::runOrvane(args, options);
    }
    // The log of a UTF-8 name in the test's folder.
    std::string log(const std::string& name) {
        return OrvaneTest::readFile(mDir.path() /
                                    std::filesystem::path(std::u8string(name.begin(), name.end())));
    }
    OrvaneTest::TempDir mDir;
};

struct LogLine {
    double time = 0;
    std::array<double, 12> values{};  // velocity, then acceleration
};

// Parses a log, checking the layout of every line: the time in 16 characters, then twelve
// right-aligned fields of 19 characters each followed by a space, and the platform's line end.
std::vector<LogLine> parseLog(const std::string& file) {
    std::string text;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (!(file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n')) {
            text.push_back(file[i]);
        }
    }
    EXPECT_EQ(textMode(text), file) << "line ends";
    std::vector<LogLine> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.size(), 256u) << line;
        if (line.size() != 256) {
            continue;
        }
        LogLine parsed;
        EXPECT_NE(line[15], ' ');
        parsed.time = std::strtod(line.substr(0, 16).c_str(), nullptr);
        for (int k = 0; k < 12; ++k) {
            const std::string field = line.substr(16 + 20 * k, 20);
            EXPECT_NE(field[18], ' ') << line;
            EXPECT_EQ(field[19], ' ') << line;
            parsed.values[k] = std::strtod(field.c_str(), nullptr);
        }
        lines.push_back(parsed);
    }
    EXPECT_TRUE(text.empty() || text.back() == '\n');
    return lines;
}

void expectNear(double actual, double expected, double tolerance, const std::string& what) {
    EXPECT_LE(std::abs(actual - expected), tolerance * std::max(1.0, std::abs(expected)))
        << what << ": " << actual << " vs " << expected;
}

// A segment whose position is a polynomial of degree 5 in u and whose rotation turns about z at
// a constant rate: R(u) = Rz(theta u + phi). Bezier control points are exact for both.
struct KnownSegment {
    double t0, t1;
    std::array<std::array<double, 6>, 3> power;  // per axis, coefficients of u^0 .. u^5
    double theta, phi;

    OrvaneTest::SplineSegmentData data() const {
        OrvaneTest::SplineSegmentData d;
        d.t0 = t0;
        d.t1 = t1;
        const double binomial[6][6] = {{1},          {1, 1},          {1, 2, 1},
                                       {1, 3, 3, 1}, {1, 4, 6, 4, 1}, {1, 5, 10, 10, 5, 1}};
        for (int axis = 0; axis < 3; ++axis) {
            for (int k = 0; k <= 5; ++k) {  // c_k = sum over j <= k of C(k,j)/C(5,j) a_j
                double c = 0;
                for (int j = 0; j <= k; ++j) {
                    c += binomial[k][j] / binomial[5][j] * power[axis][j];
                }
                d.position[6 * axis + k] = c;
            }
        }
        for (int k = 0; k <= 5; ++k) {
            d.rotation[12 + k] = theta * k / 5.0;
        }
        d.R0 = {std::cos(phi), -std::sin(phi), 0, std::sin(phi), std::cos(phi), 0, 0, 0, 1};
        return d;
    }

    // Time, velocity and acceleration twists at time t, from the closed form: with R = Rz(psi),
    // p(u) and s = 1/(t1 - t0), v = -R p' s, w = (0, 0, theta s), a = w x v - R p'' s^2, alpha = 0.
    LogLine expected(double t) const {
        const double s = 1 / (t1 - t0);
        const double u = (t - t0) * s;
        const double psi = theta * u + phi;
        const M3 R = {std::cos(psi), -std::sin(psi), 0, std::sin(psi), std::cos(psi), 0, 0, 0, 1};
        V3 d1, d2;
        for (int axis = 0; axis < 3; ++axis) {
            const auto& a = power[axis];
            d1[axis] = a[1] + u * (2 * a[2] + u * (3 * a[3] + u * (4 * a[4] + u * 5 * a[5])));
            d2[axis] = 2 * a[2] + u * (6 * a[3] + u * (12 * a[4] + u * 20 * a[5]));
        }
        const V3 Rd1 = OrvaneTest::mulVec(R, d1);
        const V3 Rd2 = OrvaneTest::mulVec(R, d2);
        const V3 v = {-Rd1[0] * s, -Rd1[1] * s, -Rd1[2] * s};
        const double wz = theta * s;
        LogLine line;
        line.time = t;
        line.values = {v[0],
                       v[1],
                       v[2],
                       0,
                       0,
                       wz,
                       -wz * v[1] - Rd2[0] * s * s,
                       wz * v[0] - Rd2[1] * s * s,
                       -Rd2[2] * s * s,
                       0,
                       0,
                       0};
        return line;
    }
};

const KnownSegment kSegments[] = {
    {0.0, 0.5, {{{1, 2, -1, 0.5, 0.25, -0.1}, {0, -1, 3, 0, -2, 1}, {2, 0, 0, 1, 0, 0}}}, 0.8, 0.3},
    {0.5,
     1.25,
     {{{0.5, 1, 2, -3, 1, 0.5}, {-1, 0, 1, 0, 0, 0.2}, {0, 3, -1, 0, 0.5, 0}}},
     -2.5,
     1.2},
};

// Sample times: begin, then 0.03 added repeatedly while the end is not passed.
std::vector<double> sampleTimes(const std::vector<std::pair<double, double>>& intervals) {
    std::vector<double> times;
    for (const auto& [begin, end] : intervals) {
        for (double t = begin; end >= t; t += 0.03) {
            times.push_back(t);
        }
    }
    return times;
}

std::string knownSplineFile(const std::vector<std::pair<double, double>>& intervals) {
    return OrvaneTest::splineFile({kSegments[0].data(), kSegments[1].data()}, intervals);
}

TEST_F(Processing, SplineLogFollowsTheClosedForm) {
    const std::vector<std::pair<double, double>> intervals = {
        {0.0, 0.3}, {0.45, 0.56}, {1.2, 1.0}, {0.7, 0.7}};
    mDir.write("known.dat", knownSplineFile(intervals));
    const auto r = run({"--log_dynamics", "known.dat"});
    EXPECT_EQ(r.out, textMode("2 trajectories provided\n\nknown.dat has 4 valid intervals.\n\n"));
    EXPECT_EQ(r.err, textMode(kMissingError));
    EXPECT_EQ(r.status, 1);

    const std::vector<double> times = sampleTimes(intervals);
    const std::vector<LogLine> lines = parseLog(log("knownDynamics.txt"));
    ASSERT_EQ(lines.size(), times.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const KnownSegment& segment = kSegments[times[i] >= 0.5 ? 1 : 0];
        const LogLine expected = segment.expected(times[i]);
        expectNear(lines[i].time, expected.time, 1e-11, "time");
        for (int k = 0; k < 12; ++k) {
            expectNear(lines[i].values[k], expected.values[k], 1e-9,
                       "line " + std::to_string(i) + " value " + std::to_string(k));
        }
    }
}

// Poses of a screw motion, as text, as binary and as binary named ".DAT" (which is not a spline
// file): each log gives the twist and no acceleration, one line per record after the second.
TEST_F(Processing, PoseFileLogsGiveTheScrewTwist) {
    const V3 v = {1.5, -0.5, 0.25};
    const V3 w = {-0.3, 0.9, 1.7};
    std::vector<OrvaneTest::PoseRecord> records;
    for (int k = 1; k <= 40; ++k) {
        records.push_back(OrvaneTest::screwPose(v, w, {0, 1, 0, 0, 0, 1, 1, 0, 0}, {1, 2, 3},
                                                0.02 * k + 0.001 * (k % 3)));
    }
    mDir.write("text.txt", OrvaneTest::textPoseFile(records));
    mDir.write("binary.bin", OrvaneTest::binaryPoseFile(records));
    mDir.write("upper.DAT", OrvaneTest::binaryPoseFile(records));
    const auto r = run({"--log_dynamics", "text.txt", "binary.bin", "upper.DAT"});
    EXPECT_EQ(r.out, textMode("4 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(kMissingError));
    for (const char* name : {"textDynamics.txt", "binaryDynamics.txt", "upperDynamics.txt"}) {
        const std::vector<LogLine> lines = parseLog(log(name));
        ASSERT_EQ(lines.size(), records.size() - 2) << name;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            expectNear(lines[i].time, records[i + 2].time, 1e-11, name);
            for (int k = 0; k < 3; ++k) {
                expectNear(lines[i].values[k], v[k], 1e-9, name);
                expectNear(lines[i].values[3 + k], w[k], 1e-9, name);
                expectNear(lines[i].values[6 + k], 0, 1e-7, name);
                expectNear(lines[i].values[9 + k], 0, 1e-7, name);
            }
        }
    }
    EXPECT_EQ(log("binaryDynamics.txt"), log("upperDynamics.txt"));
}

TEST_F(Processing, CentringLeavesTheLogUnchanged) {
    mDir.write("known.dat", knownSplineFile({{0.0, 1.2}}));
    std::vector<OrvaneTest::PoseRecord> records;
    for (int k = 1; k <= 10; ++k) {
        records.push_back(OrvaneTest::screwPose({1, 0, 0}, {0, 0, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 1},
                                                {5, 5, 5}, 0.1 * k));
    }
    mDir.write("poses.txt", OrvaneTest::textPoseFile(records));
    ASSERT_EQ(run({"--log_dynamics", "known.dat", "poses.txt"}).status, 1);
    const std::string spline = log("knownDynamics.txt");
    const std::string poses = log("posesDynamics.txt");
    EXPECT_EQ(parseLog(spline).size(), sampleTimes({{0.0, 1.2}}).size());
    EXPECT_EQ(parseLog(poses).size(), 8u);
    const auto r = run({"--log_dynamics", "--center_trajectories", "known.dat", "poses.txt"});
    EXPECT_EQ(r.out, textMode("3 trajectories provided\n\nknown.dat has 1 valid intervals.\n\n"));
    EXPECT_EQ(log("knownDynamics.txt"), spline);
    EXPECT_EQ(log("posesDynamics.txt"), poses);
}

// Folders and files named outside ASCII are read, reported and logged under their own names,
// on Windows through the wide command line and wide file names.
TEST_F(Processing, NonAsciiPathsAreReadAndLogged) {
    const std::string folder = "r\xc3\xa9sultats \xce\xb4";
    std::filesystem::create_directory(
        mDir.path() / std::filesystem::path(std::u8string(folder.begin(), folder.end())));
    const std::string spline = folder + "/\xe8\xbb\x8c\xe8\xb7\xa1.dat";
    const std::string poses = folder + "/m\xc3\xbc\xf0\x9f\x9a\x80.txt";
    mDir.write(spline, knownSplineFile({{0.0, 0.3}}));
    std::vector<OrvaneTest::PoseRecord> records(6);
    for (int k = 0; k < 6; ++k) {
        records[k].time = 0.1 * k;
    }
    mDir.write(poses, OrvaneTest::textPoseFile(records));
    const auto r = run({"--log_dynamics", spline, poses});
    EXPECT_EQ(r.out,
              textMode("3 trajectories provided\n\n" + spline + " has 1 valid intervals.\n\n"));
    EXPECT_EQ(r.err, textMode(kMissingError));
    EXPECT_EQ(parseLog(log(folder + "/\xe8\xbb\x8c\xe8\xb7\xa1"
                                    "Dynamics.txt"))
                  .size(),
              sampleTimes({{0.0, 0.3}}).size());
    EXPECT_EQ(parseLog(log(folder + "/m\xc3\xbc\xf0\x9f\x9a\x80"
                                    "Dynamics.txt"))
                  .size(),
              4u);
}

// A ".dat" that fails to load still reports the valid intervals its model holds: none when the
// segments cannot be read or are rejected, and the file's count when only the list is cut short
// (whose stored entries are still sampled). The run goes on after each.
TEST_F(Processing, SplineFilesThatFailToLoadReportWhatTheyHold) {
    mDir.write("tiny.dat", "abc");
    std::string cut = knownSplineFile({{0.0, 0.09}, {1.0, 1.0}, {2.0, 3.0}, {4, 5}, {6, 7}});
    mDir.write("cut.dat", cut.substr(0, 8 + 2 * 1176 + 2 * 16 + 7));
    std::vector<OrvaneTest::SplineSegmentData> gap = {kSegments[0].data(), kSegments[1].data()};
    gap[1].t0 = 0.6;
    mDir.write("gap.dat", OrvaneTest::splineFile(gap, {{0, 1}}));
    std::filesystem::create_directory(mDir.path() / "folder.dat");
    const auto r = run({"--log_dynamics", "tiny.dat", "cut.dat", "gap.dat", "folder.dat"});
    EXPECT_EQ(r.out, textMode("5 trajectories provided\n\n"
                              "tiny.dat has 0 valid intervals.\n\n"
                              "cut.dat has 5 valid intervals.\n\n"
                              "gap.dat has 0 valid intervals.\n\n"
                              "folder.dat has 0 valid intervals.\n\n"));
    EXPECT_EQ(r.err, textMode(kMissingError));
    EXPECT_EQ(parseLog(log("cutDynamics.txt")).size(), 4u + 1u);
    EXPECT_EQ(log("tinyDynamics.txt"), "");
}

// An interval of a damaged file that would take 3e13 samples, and intervals whose bounds the
// step cannot walk, are skipped with a warning each; the others are sampled.
TEST_F(Processing, IntervalsThatCannotBeSampledAreSkippedWithAWarning) {
    const double inf = std::numeric_limits<double>::infinity();
    mDir.write("huge.dat", knownSplineFile({{0.0, 0.09},
                                            {0.0, 1e12},
                                            {1.0, 1.0},
                                            {std::nan(""), 1.0},
                                            {-inf, inf},
                                            {-1e300, 1e300}}));
    const auto r = run({"--log_dynamics", "huge.dat"});
    EXPECT_EQ(r.out, textMode("2 trajectories provided\n\nhuge.dat has 6 valid intervals.\n\n"));
    EXPECT_EQ(
        r.err,
        textMode(
            "Warning: huge.dat: 3 valid intervals skipped, their bounds are not finite or too "
            "large to advance by 0.03 s\n"
            "Warning: huge.dat: 1 valid intervals skipped, sampling them would exceed 16777216 "
            "samples\n" +
            kMissingError));
    EXPECT_EQ(parseLog(log("hugeDynamics.txt")).size(), 5u);
}

// The samples of all files share one budget, a quarter of the memory the program may hold. Run
// under a resident-set limit of 128 MiB (which the program honours and the kernel does not
// enforce), 32 MiB hold three files of 100,001 samples but not a fourth; copies of a damaged
// 1,225-byte file, 16 million samples each, are skipped one after another, and the program
// stays within its limit.
TEST_F(Processing, TheSamplesOfAllFilesShareOneBudget) {
#ifdef _WIN32
    GTEST_SKIP() << "the budget is lowered here by prlimit's address-space limit (Linux)";
#endif
    const std::string part = knownSplineFile({{0.0, 3000.0}});
    const std::string damaged = OrvaneTest::splineFile({kSegments[0].data()}, {{0.0, 480000.0}});
    ASSERT_EQ(damaged.size(), 1225u);
    std::vector<std::string> args = {"--rss=134217728", ORVANE_EXE};
    std::string expectedOut = "18 trajectories provided\n\n";
    std::string expectedErr;
    for (int k = 0; k < 17; ++k) {
        const std::string name = (k < 4 ? "part" : "damaged") + std::to_string(k) + ".dat";
        mDir.write(name, k < 4 ? part : damaged);
        args.push_back(name);
        expectedOut += name + " has 1 valid intervals.\n\n";
        if (k >= 3) {
            expectedErr += "Warning: " + name +
                           ": 1 valid intervals skipped, sampling them would exceed the memory "
                           "budget of this run (32 MiB for the samples of all trajectories)\n";
        }
    }
    args.push_back(kMissing);
    OrvaneTest::ProcessOptions options;
    options.workingDirectory = mDir.path().string();
    const auto r = OrvaneTest::runProcess(
        [&] {
            args.insert(args.begin(), "/usr/bin/prlimit");
            return args;
        }(),
        options);
    EXPECT_EQ(r.out, textMode(expectedOut));
    EXPECT_EQ(r.err, textMode(expectedErr + kMissingError));
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(r.peakResidentKiB, 128 * 1024);
}

// Dynamics logs on a full file system and in a read-only folder: two small tmpfs folders in a
// private mount namespace (mounting needs root). Each failure names the log and the system's
// reason; the cut log is removed, the earlier log in the read-only folder stays and is said to,
// and the run goes on to write the next log whole.
TEST_F(Processing, LogsThatCannotBeWrittenAreReportedAndTheRunGoesOn) {
#ifdef _WIN32
    GTEST_SKIP() << "mount namespaces and tmpfs are Linux's";
#endif
    const std::vector<std::string> privateMounts = {"/usr/bin/unshare", "--mount", "--propagation",
                                                    "private",          "/bin/sh", "-c"};
    OrvaneTest::ProcessOptions options;
    options.workingDirectory = mDir.path().string();
    std::vector<std::string> probe = privateMounts;
    probe.push_back("mount -t tmpfs -o size=4k orvane-probe .");
    if (OrvaneTest::runProcess(probe, options).status != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace (needs root)";
    }
    mDir.write("long.dat", knownSplineFile({{0.0, 30.0}}));  // a log of 257 KB
    mDir.write("short.dat", knownSplineFile({{0.0, 0.3}}));
    std::filesystem::create_directory(mDir.path() / "full");
    std::filesystem::create_directory(mDir.path() / "readonly");
    std::vector<std::string> args = privateMounts;
    args.push_back(R"(set -e
        mount -t tmpfs -o size=64k orvane-full full
        mount -t tmpfs -o size=64k orvane-readonly readonly
        cp long.dat full/
        cp short.dat readonly/
        echo earlier >readonly/shortDynamics.txt
        mount -o remount,ro readonly
        set +e
        "$@"
        status=$?
        ls full readonly
        cat readonly/shortDynamics.txt
        exit $status)");
    for (const char* arg : {"sh", ORVANE_EXE, "--log_dynamics", "full/long.dat",
                            "readonly/short.dat", "short.dat", "missing"}) {
        args.push_back(arg);
    }
    const auto r = OrvaneTest::runProcess(args, options);
    EXPECT_EQ(r.out, textMode("4 trajectories provided\n\n"
                              "full/long.dat has 1 valid intervals.\n\n"
                              "readonly/short.dat has 1 valid intervals.\n\n"
                              "short.dat has 1 valid intervals.\n\n"
                              "full:\nlong.dat\n\nreadonly:\nshort.dat\nshortDynamics.txt\n"
                              "earlier\n"));
    EXPECT_EQ(
        r.err,
        textMode("Error: Could not write dynamics log full/longDynamics.txt: No space left on "
                 "device; the incomplete file was removed\n"
                 "Error: Could not write dynamics log readonly/shortDynamics.txt: Read-only file "
                 "system; the file already there was left unchanged\n" +
                 kMissingError));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(parseLog(log("shortDynamics.txt")).size(), 10u);
}

// A folder where the log should go: the log is reported with the C library's text of the
// error, which the systems number differently, and the run goes on.
TEST_F(Processing, ALogBlockedByAFolderIsReported) {
#ifdef _WIN32
    const int error = EACCES;
#else
    const int error = EISDIR;
#endif
    std::filesystem::create_directory(mDir.path() / "blockedDynamics.txt");
    mDir.write("blocked.txt", OrvaneTest::textPoseFile(std::vector<OrvaneTest::PoseRecord>(3)));
    const auto r = run({"--log_dynamics", "blocked.txt"});
    EXPECT_EQ(r.out, textMode("2 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode("Error: Could not write dynamics log blockedDynamics.txt: " +
                              std::generic_category().message(error) + "\n" + kMissingError));
}

// A directory, a FIFO without a writer and devices are files that cannot be opened: each is
// reported and the run goes on, without blocking.
TEST_F(Processing, PathsThatAreNotRegularFilesCannotBeOpened) {
    std::vector<std::string> paths;
    std::string errors;
    for (const std::filesystem::path& path : OrvaneTest::notRegularFiles(mDir.path())) {
        // A path that does not exist (a missing file, a device that Wine does not show) would
        // end the run before the others.
        if (std::filesystem::exists(path)) {
            paths.push_back(path.string());
            errors += "Error: Could not open " + path.string();
        }
    }
    const auto r = run(paths);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.out, textMode(std::to_string(paths.size() + 1) + " trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(errors + kMissingError));
}

}  // namespace
