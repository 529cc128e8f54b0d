#include "analysis/CentreTrajectory.h"

namespace Kor {

void centreTrajectory(Trajectory& trajectory) {
    if (trajectory.poses.empty()) {
        return;
    }
    Vec3 sum{};
    for (const PoseSample& pose : trajectory.poses) {
        for (int i = 0; i < 3; ++i) {
            sum[i] += pose.position[i];
        }
    }
    const double f = 1.0 / static_cast<double>(trajectory.poses.size());
    const Vec3 centroid = {sum[0] * f, sum[1] * f, sum[2] * f};
    for (PoseSample& pose : trajectory.poses) {
        for (int i = 0; i < 3; ++i) {
            pose.position[i] -= centroid[i];
        }
    }
}

}  // namespace Kor
