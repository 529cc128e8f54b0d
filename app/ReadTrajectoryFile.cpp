#include "app/ReadTrajectoryFile.h"

#include <fmt/core.h>

#include <cstddef>
#include <cstdio>

#include "analysis/Matrix3.h"
#include "analysis/RigidMotion.h"

namespace Kor {

Trajectory readTrajectoryFile(const std::string& path, States states) {
    PoseFileReader reader;
    if (!reader.open(path)) {
        fmt::print(stderr, "Error: Could not open {}", path);
        return {};
    }
    return readTrajectory(reader, states);
}

Trajectory readTrajectory(PoseFileReader& reader, States states) {
    Trajectory out;
    // A binary file tells its record count exactly; text grows as it is read, so that memory
    // follows the records kept, not the size of the file.
    const std::size_t ahead = static_cast<std::size_t>(reader.binaryRecordsAhead());
    out.poses.reserve(ahead);
    double time;
    Mat3 R;
    Vec3 t;
    if (states == States::Skip) {
        while (reader.readNext(time, R, t)) {
            out.poses.push_back({negate(matTVec(R, t)), R});
        }
        return out;
    }
    out.states.reserve(ahead > 2 ? ahead - 2 : 0);

    TrajectoryState previous;
    bool havePrevious = false;
    bool secondSeen = false;
    while (reader.readNext(time, R, t)) {
        out.poses.push_back({negate(matTVec(R, t)), R});
        if (!havePrevious) {
            previous = {time, R, t, {}, {}, false, false};
            havePrevious = true;
            continue;
        }
        TrajectoryState current{time, R, t, {}, {}, false, false};
        const double dt = time - previous.time;
        if (!(dt < kMinPoseTimeStep)) {  // a NaN step takes this branch too
            const Mat3 Rrel = matMulT(R, previous.rotation);
            const Vec3 moved = matVec(Rrel, previous.translation);
            const Vec3 trel = {t[0] - moved[0], t[1] - moved[1], t[2] - moved[2]};
            const Twist xi = se3Log(Rrel, trel);
            const double inverse = 1.0 / dt;
            for (int k = 0; k < 6; ++k) {
                current.velocity[k] = xi[k] * inverse;
            }
            current.hasVelocity = true;
        }
        if (!secondSeen) {
            secondSeen = true;
            previous = current;
            continue;
        }
        if (current.hasVelocity && previous.hasVelocity) {
            const double inverse = 1.0 / dt;
            for (int k = 0; k < 6; ++k) {
                current.acceleration[k] = (current.velocity[k] - previous.velocity[k]) * inverse;
            }
            current.hasAcceleration = true;
        }
        previous = current;
        out.states.push_back(current);
    }
    return out;
}

}  // namespace Kor
