// The samples chosen for a camera, against what the picture needs (SelectionOracle), for
// trajectories of every kind seen from cameras of every kind, without a display.
#include "view/DetailSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "analysis/Matrix3.h"
#include "tests/support/SelectionOracle.h"

namespace {

using namespace Kor;

std::vector<PoseSample> samplesOf(std::size_t n, const std::function<Vec3(std::size_t)>& at) {
    std::vector<PoseSample> poses(n);
    for (std::size_t i = 0; i < n; ++i) {
        poses[i].position = at(i);
    }
    return poses;
}

struct Shape {
    std::string name;
    std::vector<PoseSample> poses;
};

std::vector<Shape> shapes() {
    std::vector<Shape> all;
    const std::size_t n = 200000;
    all.push_back({"helix", samplesOf(n, [n](std::size_t i) {
                       const double t = 100.0 * static_cast<double>(i) / static_cast<double>(n);
                       return Vec3{0.5 * std::cos(t), 0.5 * std::sin(t), 0.01 * t - 0.5};
                   })});
    std::mt19937_64 random(5);
    std::normal_distribution<double> normal;
    Vec3 p{0, 0, 0};
    all.push_back({"random walk", samplesOf(n, [&](std::size_t) {
                       for (double& c : p) {
                           c += 0.003 * normal(random);
                       }
                       return p;
                   })});
    // Dense stretches joined by jumps across the window and far out of it.
    all.push_back({"jumps", samplesOf(n, [&](std::size_t i) {
                       const double stretch = static_cast<double>(i / 1000);
                       const double along = static_cast<double>(i % 1000) * 1e-5;
                       const double side = std::fmod(stretch * 0.37, 1.0) - 0.5;
                       return Vec3{side + along, std::fmod(stretch * 0.61, 1.0) - 0.5,
                                   i % 7000 < 1000 ? 40.0 : 0.0};
                   })});
    // Standing still for long, moving along the line of sight, and a few samples that are
    // not numbers or infinite.
    all.push_back({"still and along the view", samplesOf(n, [](std::size_t i) {
                       if (i % 50000 == 17) {
                           const double bad = i % 100000 == 17
                                                  ? std::numeric_limits<double>::quiet_NaN()
                                                  : std::numeric_limits<double>::infinity();
                           return Vec3{bad, 0.0, 0.0};
                       }
                       if (i < n / 2) {
                           return Vec3{0.1, -0.2, 0.3};
                       }
                       return Vec3{0.1, 0.05, -3.0 + 6.0 * static_cast<double>(i) / n};
                   })});
    return all;
}

struct Camera {
    std::string name;
    Mat3 rotation;
    std::array<double, 2> pan;
    double distance;
    int width, height;
};

Mat3 turn(double yaw, double pitch) {
    const Mat3 y{std::cos(yaw), 0, std::sin(yaw), 0, 1, 0, -std::sin(yaw), 0, std::cos(yaw)};
    const Mat3 x{
        1, 0, 0, 0, std::cos(pitch), -std::sin(pitch), 0, std::sin(pitch), std::cos(pitch)};
    return matMul(x, y);
}

const Camera kCameras[] = {
    {"initial", turn(0, 0.35), {0, 0}, 2.0, 640, 480},
    {"turned, small window", turn(0.9, -0.4), {0, 0}, 2.0, 200, 150},
    {"close and aside", turn(0.3, 0.35), {0.3, -0.2}, 0.6, 640, 480},
    {"inside", turn(0, 0.35), {0, 0}, 0.05, 640, 480},
    {"far away", turn(0, 0.35), {0, 0}, 800.0, 640, 480},
    {"edge-on", kIdentity3, {0, 0}, 2.0, 640, 480},
};

PieceProjection projectionOf(const Camera& camera, const TrajectoryPiece& piece) {
    PieceProjection p;
    p.rotation = camera.rotation;
    const Vec3 moved = matVec(camera.rotation, piece.origin);
    p.translation = {moved[0] + camera.pan[0], moved[1] + camera.pan[1],
                     moved[2] + camera.distance};
    p.width = camera.width;
    p.height = camera.height;
    p.snapPixels = 1.0 / 256 + 1e-4;
    return p;
}

TEST(DetailSelection, ChoosesWhatThePictureNeedsFromEveryCamera) {
    for (const Shape& shape : shapes()) {
        const std::vector<TrajectoryPiece> pieces = splitIntoPieces(shape.poses);
        ASSERT_EQ(pieces.size(), 1u);
        const TrajectoryPiece& piece = pieces[0];
        const SampleHierarchy hierarchy(piece);
        for (const Camera& camera : kCameras) {
            const PieceProjection projection = projectionOf(camera, piece);
            DrawnCells cells;
            cells.reset(camera.width, camera.height);
            SampleSelection selection;
            selectSamples(piece, hierarchy, projection, cells, selection);
            EXPECT_EQ(OrvaneTest::selectionFault(piece, projection, selection), "")
                << shape.name << ", " << camera.name;
            EXPECT_LT(selection.indices.size(), piece.positions.size() / 4)
                << shape.name << ", " << camera.name;
        }
    }
}

// Out of sight a trajectory draws nothing, and its first and last samples stand for the rest;
// so in a window without pixels.
TEST(DetailSelection, WhatCannotBeSeenComesDownToTheEnds) {
    const auto line = samplesOf(100000, [](std::size_t i) {
        return Vec3{static_cast<double>(i) * 1e-5, 0.0, 0.0};
    });
    const TrajectoryPiece piece = splitIntoPieces(line)[0];
    const SampleHierarchy hierarchy(piece);
    const Camera cameras[] = {
        {"beyond the right edge", kIdentity3, {5.0, 0}, 2.0, 640, 480},
        {"above", kIdentity3, {0, -5.0}, 2.0, 640, 480},
        {"behind", kIdentity3, {0, 0}, -3.0, 640, 480},
        {"beyond the far plane", kIdentity3, {0, 0}, 5000.0, 640, 480},
        {"no pixels", kIdentity3, {0, 0}, 2.0, 0, 480},
    };
    for (const Camera& camera : cameras) {
        DrawnCells cells;
        cells.reset(camera.width, camera.height);
        SampleSelection selection;
        selectSamples(piece, hierarchy, projectionOf(camera, piece), cells, selection);
        EXPECT_EQ(selection.indices, (std::vector<std::uint32_t>{0, 99999})) << camera.name;
        ASSERT_EQ(selection.runs.size(), 1u) << camera.name;
        EXPECT_EQ(selection.runs[0].count, 2u) << camera.name;
    }
}

// A trajectory that comes back over the same pixels, nearer to the camera: where no other
// trajectory shows, the way back adds nothing; where one does, its nearer points are drawn.
TEST(DetailSelection, ANearerPassIsDrawnWhereAnotherTrajectoryShows) {
    const std::size_t n = 200000;
    const auto thereAndBack = samplesOf(n, [n](std::size_t i) {
        const double x = static_cast<double>(i < n / 2 ? i : n - 1 - i) / (n / 2) - 0.5;
        // Back at 3/4 of the distance, where x * 3/4 is seen where x was.
        return i < n / 2 ? Vec3{x, 0.1, 0.0} : Vec3{0.75 * x, 0.075, -0.5};
    });
    const TrajectoryPiece piece = splitIntoPieces(thereAndBack)[0];
    const SampleHierarchy hierarchy(piece);
    const Camera camera{"straight", kIdentity3, {0, 0}, 2.0, 640, 480};
    const PieceProjection projection = projectionOf(camera, piece);
    auto keptOnTheWayBack = [&](bool contested) {
        DrawnCells cells;
        cells.reset(camera.width, camera.height);
        for (int y = 0; contested && y <= camera.height; ++y) {
            for (int x = 0; x <= camera.width; ++x) {
                cells.contest(x, y);
            }
        }
        SampleSelection selection;
        selectSamples(piece, hierarchy, projection, cells, selection);
        EXPECT_EQ(OrvaneTest::selectionFault(piece, projection, selection), "");
        return std::count_if(selection.indices.begin(), selection.indices.end(),
                             [n](std::uint32_t j) { return j > n / 2 + 100 && j < n - 100; });
    };
    EXPECT_LE(keptOnTheWayBack(false), 2);
    EXPECT_GT(keptOnTheWayBack(true), 100);
}

}  // namespace
