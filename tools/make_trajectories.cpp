// make_trajectories: writes trajectory files of analytic motions, for examples and tests.
//   make_trajectories [--duration SECONDS] [--rate HZ] [--segment SECONDS] MOTION OUTPUT
// MOTION is helix, figure_eight or tumbling (a thrown body that spins and precesses, turning
// far past pi). OUTPUT's extension picks the format: ".dat" a spline file, ".bin" binary poses,
// anything else text poses. Poses are taken every 1/rate seconds; a spline file holds quintic
// segments of the given length, fitted exactly to the motion's value, first and second
// derivative at both segment ends, and the valid intervals [0, 0.45 d] and [0.55 d, d].
// It prints the largest difference between the fitted segments and the motion.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "analysis/Matrix3.h"
#include "analysis/Rotation.h"
#include "analysis/SegmentEvaluation.h"

namespace {

using Kor::Mat3;
using Kor::Vec3;

constexpr double kPi = 3.14159265358979323846;

// A body at time t: its origin in the world and its orientation, body to world.
struct Motion {
    Vec3 position;
    Mat3 bodyToWorld;
};
using MotionOf = std::function<Motion(double)>;

Mat3 rotZ(double a) {
    return {std::cos(a), -std::sin(a), 0, std::sin(a), std::cos(a), 0, 0, 0, 1};
}

Mat3 rotX(double a) {
    return {1, 0, 0, 0, std::cos(a), -std::sin(a), 0, std::sin(a), std::cos(a)};
}

Motion helix(double t) {
    const double w = 2 * kPi / 4;  // one turn in four seconds
    return {{std::cos(w * t), std::sin(w * t), 0.25 * t},
            Kor::matMul(rotZ(w * t + kPi / 2), rotX(0.2))};
}

// A figure eight, the body heading along it.
Motion figureEight(double t) {
    const double w = 2 * kPi / 6;
    const Vec3 p = {1.2 * std::sin(w * t), 0.6 * std::sin(2 * w * t), 0.1 * std::cos(w * t)};
    const double heading = std::atan2(1.2 * w * std::cos(2 * w * t), 1.2 * w * std::cos(w * t));
    return {p, rotZ(heading)};
}

// Thrown: a parabola in position; a spin of 5 rad/s about the body's z axis, tilted and
// precessing about the world's z axis at 1.2 rad/s.
Motion tumbling(double t) {
    const Vec3 p = {0.8 * t - 1.6, 0.2 * t, 1.0 + 2.0 * t - 0.5 * 1.0 * t * t};
    return {p, Kor::matMul(Kor::matMul(rotZ(1.2 * t), rotX(0.6)), rotZ(5.0 * t))};
}

// The stored pose: the world-to-body rotation R and t = -R p.
void poseOf(const Motion& m, Mat3& R, Vec3& t) {
    R = {m.bodyToWorld[0], m.bodyToWorld[3], m.bodyToWorld[6], m.bodyToWorld[1], m.bodyToWorld[4],
         m.bodyToWorld[7], m.bodyToWorld[2], m.bodyToWorld[5], m.bodyToWorld[8]};
    t = Kor::negate(Kor::matVec(R, m.position));
}

void put(std::FILE* out, const void* data, std::size_t size) {
    if (std::fwrite(data, 1, size, out) != size) {
        std::perror("write");
        std::exit(1);
    }
}

void writePoses(const MotionOf& motion, double duration, double rate, bool binary, std::FILE* out) {
    const int count = static_cast<int>(std::floor(duration * rate)) + 1;
    for (int k = 0; k < count; ++k) {
        const double time = k / rate;
        Mat3 R;
        Vec3 t;
        poseOf(motion(time), R, t);
        if (binary) {
            put(out, &time, 8);
            put(out, R.data(), 72);
            put(out, t.data(), 24);
        } else {
            std::fprintf(out, "%.12g", time);
            for (int row = 0; row < 3; ++row) {
                std::fprintf(out, " %.12g %.12g %.12g %.12g", R[3 * row], R[3 * row + 1],
                             R[3 * row + 2], t[row]);
            }
            std::fputc('\n', out);
        }
    }
}

// Value, first and second derivative (in u) at u = 0 and u = 1 of a vector curve f(u), by
// central differences.
struct EndData {
    Vec3 value[2], first[2], second[2];
};

EndData endData(const std::function<Vec3(double)>& f) {
    constexpr double h = 1e-3;
    EndData d;
    for (int end = 0; end < 2; ++end) {
        const Vec3 a = f(end - h), b = f(end), c = f(end + h);
        for (int i = 0; i < 3; ++i) {
            d.value[end][i] = b[i];
            d.first[end][i] = (c[i] - a[i]) / (2 * h);
            d.second[end][i] = (c[i] - 2 * b[i] + a[i]) / (h * h);
        }
    }
    return d;
}

// The six quintic Bezier control points of each axis from Hermite data: p(0) = c0,
// p'(0) = 5 (c1 - c0), p''(0) = 20 (c2 - 2 c1 + c0), and the mirror images at u = 1.
Kor::ControlPoints bezierOf(const EndData& d) {
    Kor::ControlPoints c{};
    for (int i = 0; i < 3; ++i) {
        double* axis = &c[6 * i];
        axis[0] = d.value[0][i];
        axis[1] = axis[0] + d.first[0][i] / 5;
        axis[2] = d.second[0][i] / 20 + 2 * axis[1] - axis[0];
        axis[5] = d.value[1][i];
        axis[4] = axis[5] - d.first[1][i] / 5;
        axis[3] = d.second[1][i] / 20 + 2 * axis[4] - axis[5];
    }
    return c;
}

void writeDouble(std::FILE* out, double value) {
    put(out, &value, 8);
}

void writeCount(std::FILE* out, std::uint32_t count) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(count), static_cast<unsigned char>(count >> 8),
        static_cast<unsigned char>(count >> 16), static_cast<unsigned char>(count >> 24)};
    put(out, bytes, 4);
}

// Writes the spline file and returns the largest position and rotation error of the fit.
void writeSpline(const MotionOf& motion, double duration, double segmentLength, std::FILE* out,
                 double& positionError, double& rotationError) {
    const int count = std::max(1, static_cast<int>(std::ceil(duration / segmentLength - 1e-9)));
    const double T = duration / count;
    writeCount(out, static_cast<std::uint32_t>(count));
    positionError = rotationError = 0;
    for (int s = 0; s < count; ++s) {
        const double t0 = s * T, t1 = (s + 1) * T;
        Kor::SegmentCurve curve;
        Vec3 ignored;
        poseOf(motion(t0), curve.baseRotation, ignored);
        curve.positionControlPoints =
            bezierOf(endData([&](double u) { return motion(t0 + u * T).position; }));
        // R(u) = exp(r(u)) R0: r(u) is the rotation vector of R(u) R0^T, small on a segment.
        curve.rotationControlPoints = bezierOf(endData([&](double u) {
            Mat3 R;
            Vec3 t;
            poseOf(motion(t0 + u * T), R, t);
            return Kor::so3Log(Kor::matMulT(R, curve.baseRotation)).omega;
        }));
        writeDouble(out, t0);
        writeDouble(out, t1);
        writeDouble(out, 1 / T);
        put(out, curve.positionControlPoints.data(), 144);
        put(out, curve.rotationControlPoints.data(), 144);
        put(out, curve.baseRotation.data(), 72);
        put(out, curve.rotationBlockMatrices.data(), 5 * 72);
        put(out, curve.furtherMatrices.data(), 6 * 72);
        for (double u = 0; u <= 1.0; u += 0.05) {
            const Kor::SegmentEvaluation e = Kor::evaluateSegment(curve, u);
            Mat3 R;
            Vec3 t;
            poseOf(motion(t0 + u * T), R, t);
            for (int i = 0; i < 9; ++i) {
                rotationError = std::max(rotationError, std::abs(e.rotation[i] - R[i]));
            }
            for (int i = 0; i < 3; ++i) {
                positionError = std::max(positionError, std::abs(e.translation[i] - t[i]));
            }
        }
    }
    const double intervals[2][2] = {{0, 0.45 * duration}, {0.55 * duration, duration}};
    writeCount(out, 2);
    for (const auto& interval : intervals) {
        writeDouble(out, interval[0]);
        writeDouble(out, interval[1]);
    }
    const unsigned char flag = 1;
    put(out, &flag, 1);
    for (int i = 0; i < 3; ++i) {
        writeDouble(out, 0.0);
    }
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: make_trajectories [--duration S] [--rate HZ] [--segment S] "
                 "helix|figure_eight|tumbling OUTPUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double duration = 6, rate = 30, segment = 0.5;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        double* option = arg == "--duration"  ? &duration
                         : arg == "--rate"    ? &rate
                         : arg == "--segment" ? &segment
                                              : nullptr;
        if (option != nullptr) {
            if (i + 1 == argc) {
                return usage();
            }
            *option = std::atof(argv[++i]);
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() != 2 || !(duration > 0) || !(rate > 0) || !(segment > 0)) {
        return usage();
    }
    MotionOf motion;
    if (words[0] == "helix") {
        motion = helix;
    } else if (words[0] == "figure_eight") {
        motion = figureEight;
    } else if (words[0] == "tumbling") {
        motion = tumbling;
    } else {
        return usage();
    }
    const std::string& path = words[1];
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::perror(path.c_str());
        return 1;
    }
    if (endsWith(path, ".dat")) {
        double positionError = 0, rotationError = 0;
        writeSpline(motion, duration, segment, out, positionError, rotationError);
        std::printf("%s: largest fit error %.3g in position, %.3g in rotation\n", path.c_str(),
                    positionError, rotationError);
    } else {
        writePoses(motion, duration, rate, endsWith(path, ".bin"), out);
    }
    if (std::fclose(out) != 0) {
        std::perror(path.c_str());
        return 1;
    }
    return 0;
}
