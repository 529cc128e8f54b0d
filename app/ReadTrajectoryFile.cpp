#include "app/ReadTrajectoryFile.h"

#include <fmt/core.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

namespace {

// Text records before the first estimate of their mean length.
constexpr std::uint64_t kFirstTextRoom = 1024;
// At most this many more records per allocation: a file that stops being a pose file early
// (reading ends at the first word that is not a number) must not reserve for all of it.
constexpr std::uint64_t kMostRoomAtOnce = std::uint64_t{1} << 24;

// Called with a record read and not yet kept: room for it and the records still ahead, so
// that the lists are allocated once for a file of records of similar length, rather than
// doubled past their size (which doubles the peak memory too). Without a size to go by, the
// lists grow as they go.
void makeRoom(Trajectory& out, PoseFileReader& reader, States states) {
    const std::uint64_t read = out.poses.size() + 1;
    const std::optional<std::uint64_t> ahead = reader.recordsAhead(read);
    if (!ahead.has_value()) {
        return;
    }
    std::uint64_t more = *ahead;
    if (reader.format() == PoseFormat::Text) {
        more += more / 64 + 16;  // the records ahead may be a little shorter
        more = std::min(read == 1 ? kFirstTextRoom : kMostRoomAtOnce, more);
    }
    const auto room = static_cast<std::size_t>(read + more);
    out.poses.reserve(room);
    if (states == States::Keep) {
        out.states.reserve(room - std::min<std::size_t>(room, 2));
    }
}

}  // namespace

Trajectory readTrajectory(PoseFileReader& reader, States states) {
    Trajectory out;
    double time;
    Mat3 R;
    Vec3 t;
    if (states == States::Skip) {
        while (reader.readNext(time, R, t)) {
            if (out.poses.size() == out.poses.capacity()) {
                makeRoom(out, reader, states);
            }
            out.poses.push_back({negate(matTVec(R, t)), R});
        }
        return out;
    }

    TrajectoryState previous;
    bool havePrevious = false;
    bool secondSeen = false;
    while (reader.readNext(time, R, t)) {
        if (out.poses.size() == out.poses.capacity()) {
            makeRoom(out, reader, states);
        }
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
