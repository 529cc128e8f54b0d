#include "app/ReadTrajectoryFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ScrewMotion.h"
#include "tests/support/TrajectoryFiles.h"

namespace {

using Kor::Trajectory;
using OrvaneTest::M3;
using OrvaneTest::PoseRecord;
using OrvaneTest::V3;

Trajectory readRecords(const std::vector<PoseRecord>& records,
                       Kor::States states = Kor::States::Keep) {
    Kor::PoseFileReader reader;
    reader.attach(std::make_unique<std::istringstream>(OrvaneTest::binaryPoseFile(records)),
                  Kor::PoseFormat::Binary);
    return Kor::readTrajectory(reader, states);
}

// A stream over text that, like a pipe, cannot tell where it ends.
class UnseekableStream : public std::istream {
public:
    explicit UnseekableStream(const std::string& text) : std::istream(nullptr), mBuffer(text) {
        rdbuf(&mBuffer);
    }

private:
    struct Buffer : std::stringbuf {
        explicit Buffer(const std::string& text) : std::stringbuf(text, std::ios::in) {}
        pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override {
            return pos_type(off_type(-1));
        }
        pos_type seekpos(pos_type, std::ios::openmode) override { return pos_type(off_type(-1)); }
    };
    Buffer mBuffer;
};

std::vector<PoseRecord> recordsAt(const std::vector<double>& times) {
    std::vector<PoseRecord> records;
    for (double time : times) {
        PoseRecord r;
        r.time = time;
        r.t = {std::isnan(time) ? 0.0 : time, 0.0, 0.0};
        records.push_back(r);
    }
    return records;
}

TEST(ReadTrajectoryFile, EveryRecordIsAPoseAndTheFirstTwoGiveNoState) {
    for (std::size_t n = 0; n <= 5; ++n) {
        std::vector<PoseRecord> records = recordsAt({0, 1, 2, 3, 4});
        records.resize(n);
        if (n > 0) {
            records[0].R = {0, 1, 0, -1, 0, 0, 0, 0, 1};
            records[0].t = {1, 2, 3};
        }
        const Trajectory trajectory = readRecords(records);
        ASSERT_EQ(trajectory.poses.size(), n);
        EXPECT_EQ(trajectory.states.size(), n > 2 ? n - 2 : 0);
        // Without the states, the same poses.
        const Trajectory posesOnly = readRecords(records, Kor::States::Skip);
        EXPECT_TRUE(posesOnly.states.empty());
        ASSERT_EQ(posesOnly.poses.size(), n);
        for (std::size_t k = 0; k < n; ++k) {
            EXPECT_EQ(posesOnly.poses[k].position, trajectory.poses[k].position);
            EXPECT_EQ(posesOnly.poses[k].rotation, trajectory.poses[k].rotation);
        }
        if (n > 0) {  // the body origin -R^T t
            EXPECT_EQ(trajectory.poses[0].position, (V3{2, -1, -3}));
            EXPECT_EQ(trajectory.poses[0].rotation, records[0].R);
        }
        for (std::size_t k = 0; k + 2 < n; ++k) {
            EXPECT_EQ(trajectory.states[k].time, records[k + 2].time);
            EXPECT_EQ(trajectory.states[k].translation, records[k + 2].t);
        }
    }
}

// The lists are allocated for the records the file holds, not doubled past them: exactly for
// binary, within a little for text records of about one length, however the reading source
// tells its size (a file, a string, a stream without one).
TEST(ReadTrajectoryFile, ListsAreSizedFromTheSizeOfTheData) {
    std::vector<PoseRecord> records = recordsAt(std::vector<double>(5000, 0.0));
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].time = 0.01 * static_cast<double>(i);
        records[i].t = {std::sin(0.1 * static_cast<double>(i)), 1.0 / (1.0 + i), 3.0};
    }
    struct Case {
        Kor::PoseFormat format;
        std::string bytes;
        std::size_t slack;  // capacity beyond the records, at most
    };
    const Case cases[] = {{Kor::PoseFormat::Binary, OrvaneTest::binaryPoseFile(records), 0},
                          {Kor::PoseFormat::Text, OrvaneTest::textPoseFile(records), 5000 / 16}};
    for (const Case& c : cases) {
        for (const Kor::States states : {Kor::States::Keep, Kor::States::Skip}) {
            Kor::PoseFileReader reader;
            reader.attach(std::make_unique<std::istringstream>(c.bytes), c.format);
            const Trajectory trajectory = Kor::readTrajectory(reader, states);
            ASSERT_EQ(trajectory.poses.size(), records.size());
            EXPECT_LE(trajectory.poses.capacity(), records.size() + c.slack);
            if (states == Kor::States::Keep) {
                ASSERT_EQ(trajectory.states.size(), records.size() - 2);
                EXPECT_LE(trajectory.states.capacity(), records.size() + c.slack);
            }
        }
    }
    // Records that get much shorter, and a source that cannot tell its size: all are read.
    std::string text = OrvaneTest::textPoseFile(records);
    for (int i = 0; i < 4000; ++i) {
        text += "1 1 0 0 0 0 1 0 0 0 0 1 0\n";
    }
    for (const bool sized : {true, false}) {
        Kor::PoseFileReader reader;
        std::unique_ptr<std::istream> source;
        if (sized) {
            source = std::make_unique<std::istringstream>(text);
        } else {
            source = std::make_unique<UnseekableStream>(text);
        }
        reader.attach(std::move(source), Kor::PoseFormat::Text);
        EXPECT_EQ(Kor::readTrajectory(reader).poses.size(), 9000u);
    }
}

// A body moving on a screw with a constant world-side twist: every finite difference recovers
// the twist, whatever the time steps, and the accelerations vanish.
TEST(ReadTrajectoryFile, ScrewMotionGivesItsTwist) {
    const V3 v = {0.3, -1.2, 0.5};
    const V3 w = {0.4, 1.1, -0.7};
    const M3 R0 = {0, 0, 1, 1, 0, 0, 0, 1, 0};
    const V3 t0 = {2, -1, 0.5};
    std::vector<PoseRecord> records;
    for (double time : {-0.5, 0.01, 0.03, 0.04, 0.1, 0.35, 0.36, 1.5}) {
        records.push_back(OrvaneTest::screwPose(v, w, R0, t0, time));
    }
    const Trajectory trajectory = readRecords(records);
    ASSERT_EQ(trajectory.states.size(), records.size() - 2);
    for (const Kor::TrajectoryState& state : trajectory.states) {
        ASSERT_TRUE(state.hasVelocity && state.hasAcceleration);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(state.velocity[k], v[k], 1e-9) << state.time;
            EXPECT_NEAR(state.velocity[3 + k], w[k], 1e-9) << state.time;
            EXPECT_NEAR(state.acceleration[k], 0.0, 1e-7) << state.time;
            EXPECT_NEAR(state.acceleration[3 + k], 0.0, 1e-7) << state.time;
        }
    }
}

// Constant acceleration a along a line, equal steps h: the velocity of a step is the mean speed
// over it, a (t_k + t_(k-1)) / 2, and the change of velocity over a step is a h.
TEST(ReadTrajectoryFile, ConstantAccelerationIsRecovered) {
    const V3 a = {1.5, -4.0, 0.25};
    const double h = 0.125;
    std::vector<PoseRecord> records;
    for (int k = 0; k < 10; ++k) {
        PoseRecord r;
        r.time = h * k;
        for (int i = 0; i < 3; ++i) {
            r.t[i] = 0.5 * a[i] * r.time * r.time;
        }
        records.push_back(r);
    }
    const Trajectory trajectory = readRecords(records);
    ASSERT_EQ(trajectory.states.size(), 8u);
    for (const Kor::TrajectoryState& state : trajectory.states) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(state.velocity[i], a[i] * (state.time - h / 2));
            EXPECT_DOUBLE_EQ(state.acceleration[i], a[i]);
            EXPECT_EQ(state.velocity[3 + i], 0.0);
        }
    }
}

// Which states get a velocity and an acceleration, by their time steps.
TEST(ReadTrajectoryFile, CloseEqualOrDecreasingTimesGiveNoVelocity) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> times;
        std::vector<std::pair<bool, bool>> flags;  // per state: velocity, acceleration
    };
    const Case cases[] = {
        {{0, 1, 2, 2, 3, 4}, {{true, true}, {false, false}, {true, false}, {true, true}}},
        {{-1, -0.5, 0, 1.11e-16}, {{true, true}, {true, true}}},  // the threshold itself
        {{-1, -0.5, 0, 1e-16}, {{true, true}, {false, false}}},
        {{0, 1, 2, 1.5}, {{true, true}, {false, false}}},
        {{0, 0, 1, 2}, {{true, false}, {true, true}}},   // the second record has no velocity
        {{0, 1, nan, 3}, {{true, true}, {true, true}}},  // a NaN step gives a NaN velocity
    };
    for (const Case& c : cases) {
        const Trajectory trajectory = readRecords(recordsAt(c.times));
        ASSERT_EQ(trajectory.states.size(), c.flags.size());
        for (std::size_t k = 0; k < c.flags.size(); ++k) {
            const Kor::TrajectoryState& state = trajectory.states[k];
            SCOPED_TRACE(testing::Message() << "case of " << c.times.size() << " at " << k);
            EXPECT_EQ(state.hasVelocity, c.flags[k].first);
            EXPECT_EQ(state.hasAcceleration, c.flags[k].second);
            if (!state.hasVelocity) {
                EXPECT_EQ(state.velocity, Kor::Twist{});
            }
            if (!state.hasAcceleration) {
                EXPECT_EQ(state.acceleration, Kor::Twist{});
            }
        }
    }
}

}  // namespace
