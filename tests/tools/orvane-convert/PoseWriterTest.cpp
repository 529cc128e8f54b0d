// What the writer writes, read back by Orvane's own pose reader.
#include "tools/orvane-convert/PoseWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/Orthonormal.h"

namespace {

using OrvaneConvert::OrvanePose;
using OrvaneConvert::PoseWriter;

std::string written(Kor::PoseFormat form, const std::vector<OrvanePose>& poses,
                    int* blocks = nullptr) {
    std::string out;
    PoseWriter writer(form, [&out, blocks](std::string_view bytes) {
        out += bytes;
        if (blocks != nullptr) {
            ++*blocks;
        }
        return true;
    });
    for (const OrvanePose& pose : poses) {
        EXPECT_TRUE(writer.write(pose));
    }
    EXPECT_TRUE(writer.finish());
    return out;
}

std::vector<OrvanePose> readBack(const std::string& bytes, Kor::PoseFormat form) {
    Kor::PoseFileReader reader;
    reader.attach(std::make_unique<std::istringstream>(bytes), form);
    std::vector<OrvanePose> poses;
    OrvanePose pose;
    while (reader.readNext(pose.time, pose.R, pose.t)) {
        poses.push_back(pose);
    }
    return poses;
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Rotations that are orthonormal to the last bit under Orvane's orthonormalisation, with
// times and translations that need every digit.
std::vector<OrvanePose> awkwardPoses() {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double huge = std::numeric_limits<double>::max();
    std::vector<OrvanePose> poses = {
        {0.0, Kor::kIdentity3, {-0.0, 0.1, 1.0 / 3}},
        {0.30000000000000004, {0, 1, 0, -1, 0, 0, 0, 0, 1}, {tiny, -huge, 1e-300}},
        {1403636579.7585554, {0.6, 0.8, 0, -0.8, 0.6, 0, 0, 0, 1}, {123456789.123, 2e22, -5e-324}},
    };
    return poses;
}

TEST(PoseWriter, TextReadsBackAsTheSameNumbersOneLineAPose) {
    const std::vector<OrvanePose> poses = awkwardPoses();
    const std::string text = written(Kor::PoseFormat::Text, poses);
    EXPECT_EQ(text.substr(0, text.find('\n')), "0 1 0 0 -0 0 1 0 0.1 0 0 1 0.3333333333333333");
    const std::vector<OrvanePose> back = readBack(text, Kor::PoseFormat::Text);
    ASSERT_EQ(back.size(), poses.size());
    for (std::size_t k = 0; k < poses.size(); ++k) {
        EXPECT_TRUE(sameBits(back[k].time, poses[k].time)) << k;
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(sameBits(back[k].t[i], poses[k].t[i])) << k << " t" << i;
        }
        EXPECT_EQ(back[k].R, poses[k].R) << k;
    }
}

TEST(PoseWriter, HandsOnLargeBlocksAndStopsAtAFailedWrite) {
    const std::vector<OrvanePose> many(100000, awkwardPoses()[2]);
    int blocks = 0;
    const std::string bytes = written(Kor::PoseFormat::Binary, many, &blocks);
    EXPECT_EQ(bytes.size(), many.size() * Kor::PoseFileReader::kBinaryRecordSize);
    EXPECT_EQ(blocks, static_cast<int>(bytes.size() / PoseWriter::kDefaultBlockSize) + 1);

    int calls = 0;
    PoseWriter failing(Kor::PoseFormat::Text, [&calls](std::string_view) {
        ++calls;
        return false;
    });
    bool accepted = true;
    for (const OrvanePose& pose : many) {
        accepted = accepted && failing.write(pose);
    }
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(failing.write(many[0]));
    EXPECT_FALSE(failing.finish());
    EXPECT_EQ(calls, 1);
}

}  // namespace
