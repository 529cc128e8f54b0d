#include "analysis/CentreTrajectory.h"

#include <gtest/gtest.h>

using namespace Kor;

TEST(CentreTrajectory, MovesPosesToTheirCentroidAndLeavesStates) {
    Trajectory trajectory;
    const Mat3 turned = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{2, 0, 0}, Vec3{4, 3, 0}}) {
        trajectory.poses.push_back({p, turned});
        TrajectoryState state;
        state.translation = p;
        trajectory.states.push_back(state);
    }
    centreTrajectory(trajectory);
    EXPECT_EQ(trajectory.poses[0].position, (Vec3{-2, -1, 0}));
    EXPECT_EQ(trajectory.poses[1].position, (Vec3{0, -1, 0}));
    EXPECT_EQ(trajectory.poses[2].position, (Vec3{2, 2, 0}));
    EXPECT_EQ(trajectory.poses[2].rotation, turned);
    EXPECT_EQ(trajectory.states[2].translation, (Vec3{4, 3, 0}));

    Trajectory empty;
    centreTrajectory(empty);
    EXPECT_TRUE(empty.poses.empty());
}
