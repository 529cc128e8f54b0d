// The conversion of whole files in each format against camera poses built in the test, and
// the lines it refuses.
#include "tools/orvane-convert/Conversion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/tools/orvane-convert/CameraPoses.h"

namespace {

using namespace OrvaneConvert;
using OrvaneTest::cameraCases;

struct Converted {
    ConversionReport report;
    std::vector<OrvanePose> poses;
};

Converted convert(const std::string& text, ConversionSettings settings,
                  std::size_t capacity = LineReader::kDefaultCapacity) {
    LineReader lines(readFromMemory(text), capacity);
    Converted out;
    out.report = convertLines(lines, settings, [&out](const OrvanePose& pose) {
        out.poses.push_back(pose);
        return true;
    });
    return out;
}

ConversionSettings settingsFor(InputFormat format, TimeOrigin origin = TimeOrigin::Relative) {
    ConversionSettings settings;
    settings.format = format;
    settings.origin = origin;
    return settings;
}

void expectPose(const OrvanePose& pose, const OrvaneTest::CameraCase& camera) {
    SCOPED_TRACE(camera.name);
    const OrvaneTest::ExpectedPose expected = OrvaneTest::expectedPose(camera);
    for (int k = 0; k < 9; ++k) {
        EXPECT_NEAR(pose.R[k], expected.R[k], 1e-15) << "R entry " << k;
    }
    // t = -R p carries the rounding of R, a few units in the last place, times |p|.
    const auto& p = camera.position;
    const double tolerance = 1e-15 * (1 + std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(pose.t[k], expected.t[k], tolerance) << "t entry " << k;
    }
}

// Stamps whose differences a double reading of the stamps would get wrong in the last digits.
const std::vector<std::string> kTumStamps = {
    "1305031102.175304", "1305031102.211214", "1305031102.243211", "1305031102.275326",
    "1305031102.311267", "1305031102.343233", "1305031102.375329"};
const std::vector<const char*> kTumSinceFirst = {"0",        "0.03591",  "0.067907", "0.100022",
                                                 "0.135963", "0.167929", "0.200025"};

TEST(Conversion, TumPosesAreTheInverseOfTheCameraPosesAtTheTimeSinceTheFirst) {
    std::string text = "# timestamp tx ty tz qx qy qz qw\n";
    for (std::size_t k = 0; k < cameraCases().size(); ++k) {
        text += OrvaneTest::tumLine(kTumStamps[k], cameraCases()[k]);
    }
    const Converted relative = convert(text, settingsFor(InputFormat::Tum));
    ASSERT_TRUE(relative.report.succeeded());
    ASSERT_EQ(relative.poses.size(), cameraCases().size());
    const Converted absolute = convert(text, settingsFor(InputFormat::Tum, TimeOrigin::Absolute));
    ASSERT_EQ(absolute.poses.size(), cameraCases().size());
    for (std::size_t k = 0; k < cameraCases().size(); ++k) {
        expectPose(relative.poses[k], cameraCases()[k]);
        EXPECT_EQ(relative.poses[k].time, std::strtod(kTumSinceFirst[k], nullptr));
        EXPECT_EQ(absolute.poses[k].time, std::strtod(kTumStamps[k].c_str(), nullptr));
    }
}

TEST(Conversion, KittiPosesAreTheInverseOfTheCameraPosesOnePeriodApart) {
    std::string text;
    for (const auto& camera : cameraCases()) {
        text += OrvaneTest::kittiLine(camera);
    }
    ConversionSettings settings = settingsFor(InputFormat::Kitti);
    const Converted tenth = convert(text, settings);
    settings.period = *DecimalTime::parse("0.05");
    const Converted twentieth = convert(text, settings);
    ASSERT_TRUE(tenth.report.succeeded());
    ASSERT_EQ(tenth.poses.size(), cameraCases().size());
    for (std::size_t k = 0; k < cameraCases().size(); ++k) {
        expectPose(tenth.poses[k], cameraCases()[k]);
        // k / 10 rounded once: 0.3, not 3 * 0.1 = 0.30000000000000004.
        EXPECT_EQ(tenth.poses[k].time, static_cast<double>(k) / 10);
        EXPECT_EQ(twentieth.poses[k].time, static_cast<double>(k) / 20);
    }
}

TEST(Conversion, EurocPosesAreTheInverseOfTheCameraPosesAtExactNanosecondTimes) {
    const std::uint64_t first = 1403636579758555392;  // beyond a double's 2^53
    const std::uint64_t step = 5000192;
    std::string text =
        "#timestamp, p_RS_R_x [m], p_RS_R_y [m], p_RS_R_z [m], q_RS_w [], q_RS_x [], q_RS_y [], "
        "q_RS_z [], v_RS_R_x [m s^-1], v_RS_R_y [m s^-1], v_RS_R_z [m s^-1], b_w_RS_S_x [rad "
        "s^-1], b_w_RS_S_y [rad s^-1], b_w_RS_S_z [rad s^-1], b_a_RS_S_x [m s^-2], b_a_RS_S_y "
        "[m s^-2], b_a_RS_S_z [m s^-2]\n";
    for (std::size_t k = 0; k < cameraCases().size(); ++k) {
        text += OrvaneTest::eurocLine(first + k * step, cameraCases()[k]);
    }
    const Converted relative = convert(text, settingsFor(InputFormat::Euroc));
    ASSERT_TRUE(relative.report.succeeded());
    ASSERT_EQ(relative.poses.size(), cameraCases().size());
    const Converted absolute = convert(text, settingsFor(InputFormat::Euroc, TimeOrigin::Absolute));
    for (std::size_t k = 0; k < cameraCases().size(); ++k) {
        expectPose(relative.poses[k], cameraCases()[k]);
        EXPECT_EQ(relative.poses[k].time, static_cast<double>(k * step) / 1e9);
        const std::string seconds = std::to_string(first + k * step) + "e-9";
        EXPECT_EQ(absolute.poses[k].time, std::strtod(seconds.c_str(), nullptr));
    }
}

TEST(Conversion, QuaternionsOfAnyLengthAndEitherSignGiveTheSameRotation) {
    const auto& camera = cameraCases()[5];
    for (const double scale : {1.0, -1.0, 2.5, 1e-200, 1e200}) {
        SCOPED_TRACE(scale);
        const Converted converted =
            convert(OrvaneTest::tumLine("0", camera, scale), settingsFor(InputFormat::Tum));
        ASSERT_EQ(converted.poses.size(), 1u);
        expectPose(converted.poses[0], camera);
    }
}

TEST(Conversion, SkipsBlankLinesCommentsLineEndsAndAByteOrderMark) {
    const std::string pose = "1 0 0 0 0 0 0 1";
    const std::string text = "\xEF\xBB\xBF# comment\r\n\r\n  \t\n   # indented comment\n" + pose +
                             "\r\n\n2 0 0 0 0 0 0 1\n# trailing\n3 0 0 0 0 0 0 1";
    const Converted converted = convert(text, settingsFor(InputFormat::Tum));
    ASSERT_TRUE(converted.report.succeeded());
    ASSERT_EQ(converted.poses.size(), 3u);
    EXPECT_EQ(converted.poses[2].time, 2.0);
}

struct RefusedCase {
    InputFormat format;
    const char* line;
    const char* reason;
};

TEST(Conversion, RefusesLinesThatAreNotPosesWithTheReason) {
    const RefusedCase cases[] = {
        {InputFormat::Tum, "5 0 0 0 0 0 1",
         "expected 8 numbers (timestamp tx ty tz qx qy qz qw), found 7"},
        {InputFormat::Tum, "5 0 0 0 0 0 0 1 9", "found 9"},
        {InputFormat::Tum, "5,0,0,0,0,0,0,1", "found 1"},
        {InputFormat::Tum, "5s 0 0 0 0 0 0 1", "timestamp '5s' is not a number"},
        {InputFormat::Tum, "5 0 abc 0 0 0 0 1", "ty 'abc' is not a number"},
        {InputFormat::Tum, "5 0 0 0x10 0 0 0 1", "tz '0x10' is not a number"},
        {InputFormat::Tum, "5 nan 0 0 0 0 0 1", "tx 'nan' is not a finite number"},
        {InputFormat::Tum, "5 0 0 0 0 0 0 1e999", "qw '1e999' is not a finite number"},
        {InputFormat::Tum, "5 0 0 0 0 0 0 0", "the quaternion is zero"},
        {InputFormat::Tum, "5 0 0 0 0 -0 0 0", "the quaternion is zero"},
        {InputFormat::Tum, "1e999 0 0 0 0 0 0 1", "timestamp '1e999' is out of range"},
        {InputFormat::Tum, "5 1.7e308 1.7e308 0 0 0 0.38268343236508978 0.92387953251128674",
         "the position is too far out to be turned into Orvane's pose"},
        {InputFormat::Kitti, "1 0 0 0 0 1 0 0 0 0 1", "found 11"},
        {InputFormat::Kitti, "2 0 0 0 0 2 0 0 0 0 2 0",
         "not orthonormal: R R^T differs from the identity by up to 3"},
        {InputFormat::Kitti, "0 1 0 0 1 0 0 0 0 0 1 0", "the rotation is a reflection"},
        {InputFormat::Kitti, "1 0 0 0 0 1 0 0 0 0 1 inf", "tz 'inf' is not a finite number"},
        {InputFormat::Euroc, "5,0,0,0,1,0,0", "at least 8 comma-separated columns"},
        {InputFormat::Euroc, "5 0 0 0 1 0 0 0", "found 1"},
        {InputFormat::Euroc, "5.5,0,0,0,1,0,0,0",
         "timestamp '5.5' is not a whole number of nanoseconds"},
        {InputFormat::Euroc, "-5,0,0,0,1,0,0,0", "timestamp '-5'"},
        {InputFormat::Euroc, "12345678901234567890,0,0,0,1,0,0,0", "(1 to 19 digits)"},
        {InputFormat::Euroc, "5,0,0,0,,0,0,0", "q_w '' is not a number"},
        {InputFormat::Euroc, "5,0,0,0,0,0,0,0,7", "the quaternion is zero"},
    };
    // Poses before and after the refused line (at times 1 and 9 where there are times).
    const std::pair<std::string, std::string> good[] = {
        {"1 0 0 0 0 0 0 1\n", "9 0 0 0 0 0 0 1\n"},
        {"1 0 0 0 0 1 0 0 0 0 1 0\n", "1 0 0 0 0 1 0 0 0 0 1 0\n"},
        {"1,0,0,0,1,0,0,0\n", "9,0,0,0,1,0,0,0\n"}};
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.line);
        const auto& [before, after] = good[static_cast<int>(c.format)];
        const Converted converted =
            convert(before + c.line + "\n" + after, settingsFor(c.format, TimeOrigin::Absolute));
        EXPECT_FALSE(converted.report.succeeded());
        ASSERT_EQ(converted.report.refusedLines, 1u);
        EXPECT_EQ(converted.report.refused[0].line, 2u);
        EXPECT_NE(converted.report.refused[0].reason.find(c.reason), std::string::npos)
            << converted.report.refused[0].reason;
        // The pose before the refused line went out; none after it.
        EXPECT_EQ(converted.poses.size(), 1u);
    }
}

TEST(Conversion, RefusesTimesThatDoNotIncreaseNamingThePreviousPose) {
    const Converted converted =
        convert("10 0 0 0 0 0 0 1\n11 0 0 0 0 0 0 1\n11.0 0 0 0 0 0 0 1\n# c\n10.5 0 0 0 0 0 0 1\n",
                settingsFor(InputFormat::Tum));
    ASSERT_EQ(converted.report.refusedLines, 2u);
    EXPECT_EQ(converted.report.refused[0].line, 3u);
    EXPECT_EQ(converted.report.refused[0].reason,
              "timestamp '11.0' is not after the previous pose's '11' (line 2)");
    EXPECT_EQ(converted.report.refused[1].line, 5u);
    EXPECT_EQ(converted.report.refused[1].reason,
              "timestamp '10.5' is not after the previous pose's '11' (line 2)");
}

TEST(Conversion, ReportsTheFirstRefusedLinesAndCountsTheRest) {
    std::string text;
    for (int k = 0; k < 25; ++k) {
        text += "bad\n";
    }
    const Converted converted = convert(text, settingsFor(InputFormat::Kitti));
    EXPECT_EQ(converted.report.refusedLines, 25u);
    ASSERT_EQ(converted.report.refused.size(), ConversionReport::kReportedRefusals);
    EXPECT_EQ(converted.report.refused.back().line, ConversionReport::kReportedRefusals);
}

TEST(Conversion, RefusesALineLongerThanTheReaderHoldsAndGoesOnAfterIt) {
    const std::string text = "1 0 0 0 0 0 0 1\n" + std::string(100, '7') + "\n2 0 0 0 0 0 0 1\n";
    const Converted converted = convert(text, settingsFor(InputFormat::Tum), 64);
    ASSERT_EQ(converted.report.refusedLines, 1u);
    EXPECT_EQ(converted.report.refused[0].line, 2u);
    EXPECT_EQ(converted.report.refused[0].reason,
              "the line is too long (64 bytes or more), not a pose");
}

TEST(Conversion, AFileWithoutPosesIsNoSuccess) {
    for (const char* text : {"", "\n\n", "# only a comment\n"}) {
        const Converted converted = convert(text, settingsFor(InputFormat::Euroc));
        EXPECT_EQ(converted.report.refusedLines, 0u);
        EXPECT_FALSE(converted.report.succeeded()) << text;
    }
}

TEST(Conversion, StopsReadingWhenThePoseCannotBeWritten) {
    const std::string text = "1 0 0 0 0 0 0 1\n2 0 0 0 0 0 0 1\n3 0 0 0 0 0 0 1\n";
    LineReader lines(readFromMemory(text));
    int offered = 0;
    const ConversionReport report =
        convertLines(lines, settingsFor(InputFormat::Tum),
                     [&offered](const OrvanePose&) { return ++offered < 2; });
    EXPECT_TRUE(report.sinkFailed);
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(lines.lineNumber(), 2u);
}

}  // namespace
