// The real orvane-convert on files on disk, its output read back by Orvane's own pose reader.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/ReadTrajectoryFile.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/tools/orvane-convert/CameraPoses.h"
#include "tools/orvane-convert/ConvertOptions.h"

namespace {

using OrvaneTest::cameraCases;
using OrvaneTest::ProcessResult;

ProcessResult runConvert(const std::vector<std::string>& args,
                         const OrvaneTest::ProcessOptions& options = {}) {
    std::vector<std::string> argv{ORVANE_CONVERT_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return OrvaneTest::runProcess(argv, options);
}

struct FormatFile {
    const char* format;
    std::string text;
    std::vector<double> times;  // of the converted poses
};

std::vector<FormatFile> formatFiles() {
    std::vector<FormatFile> files = {{"tum", "# timestamp tx ty tz qx qy qz qw\n", {}},
                                     {"kitti", "", {}},
                                     {"euroc", "#timestamp,p_x,p_y,p_z,q_w,q_x,q_y,q_z\r\n", {}}};
    for (std::size_t k = 0; k < cameraCases().size(); ++k) {
        const auto& camera = cameraCases()[k];
        files[0].text += OrvaneTest::tumLine(std::to_string(1305031102 + k) + ".5", camera);
        files[0].times.push_back(static_cast<double>(k));
        files[1].text += OrvaneTest::kittiLine(camera);
        files[1].times.push_back(static_cast<double>(k) / 4);
        files[2].text += OrvaneTest::eurocLine(1403636579758555392 + 5000000 * k, camera);
        files[2].times.push_back(static_cast<double>(k) / 200);
    }
    return files;
}

TEST(OrvaneConvert, OrvaneDrawsEachFormatsConvertedPosesWhereTheCamerasWere) {
    OrvaneTest::TempDir dir;
    for (const FormatFile& file : formatFiles()) {
        for (const char* outputName : {"out.txt", "out.bin"}) {
            SCOPED_TRACE(std::string(file.format) + " to " + outputName);
            const std::string input = dir.write(std::string("in.") + file.format, file.text);
            const std::string output = (dir.path() / outputName).string();
            std::vector<std::string> args = {"--from", file.format, input, output};
            if (std::string(file.format) == "kitti") {
                args.insert(args.begin(), "--period=0.25");
            }
            const ProcessResult result = runConvert(args);
            ASSERT_EQ(result.status, 0) << result.err;
            EXPECT_EQ(result.out + result.err, "");

            const Kor::Trajectory read = Kor::readTrajectoryFile(output);
            ASSERT_EQ(read.poses.size(), cameraCases().size());
            for (std::size_t k = 0; k < read.poses.size(); ++k) {
                const auto& camera = cameraCases()[k];
                const auto expected = OrvaneTest::expectedPose(camera);
                for (int i = 0; i < 3; ++i) {
                    EXPECT_NEAR(read.poses[k].position[i], camera.position[i],
                                1e-14 * (1 + std::abs(camera.position[i])))
                        << camera.name;
                }
                for (int i = 0; i < 9; ++i) {
                    EXPECT_NEAR(read.poses[k].rotation[i], expected.R[i], 1e-15) << camera.name;
                }
            }
            for (std::size_t k = 0; k < read.states.size(); ++k) {
                EXPECT_EQ(read.states[k].time, file.times[k + 2]);
            }
        }
    }
}

// Also the way from standard input to standard output.
TEST(OrvaneConvert, TheWorkedExampleOfTheReadmeGivesItsLines) {
    const std::string expected =
        "0 1 0 0 -1 0 1 0 -2 0 0 1 -3\n"
        "0.03591 -1 0 0 1 0 -1 0 2 0 0 1 -3\n";
    OrvaneTest::ProcessOptions tum;
    tum.input =
        "# timestamp tx ty tz qx qy qz qw\n"
        "1305031102.175304 1 2 3 0 0 0 1\n"
        "1305031102.211214 1 2 3 0 0 1 0\n";
    EXPECT_EQ(runConvert({"--from", "tum", "-", "-"}, tum).out, expected);
    OrvaneTest::ProcessOptions kitti;
    kitti.input = "1 0 0 1 0 1 0 2 0 0 1 3\n-1 0 0 1 0 -1 0 2 0 0 1 3\n";
    EXPECT_EQ(runConvert({"--from", "kitti", "--period", "0.03591", "-", "-"}, kitti).out,
              expected);
}

TEST(OrvaneConvert, RefusedLinesNameFileLineAndReasonAndLeaveTheOutputAlone) {
    OrvaneTest::TempDir dir;
    const std::string input = dir.write("bad.csv",
                                        "#t,x,y,z,w,x,y,z\n1,0,0,0,1,0,0,0\n2,0,0,0,0,0,0,0\n"
                                        "3,0,0,0,1,0,0,0\n3,0,0,0,1,0,0,0\n");
    const std::string output = dir.write("out.txt", "earlier");
    const ProcessResult result = runConvert({"--from", "euroc", input, output});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "orvane-convert: " + input + ":3: the quaternion is zero\n" +
                              "orvane-convert: " + input +
                              ":5: timestamp '3' is not after the previous pose's '3' (line 4)\n" +
                              "orvane-convert: nothing written to " + output + "\n");
    EXPECT_EQ(OrvaneTest::readFile(output), "earlier");
}

TEST(OrvaneConvert, ExitStatusAndMessageForEachFailure) {
    OrvaneTest::TempDir dir;
    const std::string good = dir.write("good.tum", "1 0 0 0 0 0 0 1\n");
    const std::string empty = dir.write("empty.tum", "# nothing\n");
    const std::string missing = (dir.path() / "missing.tum").string();
    const std::string out = (dir.path() / "out.txt").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"--from", "tum", missing, out},
         1,
         "orvane-convert: cannot read " + missing + ": No such file or directory\n"},
        {{"--from", "tum", dir.path().string(), out},
         1,
         "orvane-convert: cannot read " + dir.path().string() + ": Is a directory\n"},
        // Reading a process's memory at address 0 fails part way into the input.
        {{"--from", "tum", "/proc/self/mem", out},
         1,
         "orvane-convert: cannot read /proc/self/mem: Input/output error\n"
         "orvane-convert: nothing written to " +
             out + "\n"},
        {{"--from", "tum", empty, out},
         1,
         "orvane-convert: " + empty + " holds no poses, only blank lines and comments\n" +
             "orvane-convert: nothing written to " + out + "\n"},
        {{"--from", "tum", good, "/dev/full"},
         1,
         "orvane-convert: cannot write /dev/full: No space left on device\n"},
        {{"--from", "tum", good},
         2,
         std::string("orvane-convert: give an input and an output file\n\n") +
             OrvaneConvert::kUsage},
    };
    for (const Case& c : cases) {
        const ProcessResult result = runConvert(c.args);
        EXPECT_EQ(result.status, c.status) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    const ProcessResult help = runConvert({"in.tum", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, OrvaneConvert::kUsage);
}

}  // namespace
