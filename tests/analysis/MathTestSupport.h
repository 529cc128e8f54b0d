#pragma once
// Comparisons and random inputs shared by the analysis tests.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <random>

#include "analysis/Types.h"

namespace OrvaneTest {

// Every entry within tolerance * max(1, |expected|).
template <std::size_t N>
::testing::AssertionResult allNear(const std::array<double, N>& actual,
                                   const std::array<double, N>& expected, double tolerance) {
    for (std::size_t k = 0; k < N; ++k) {
        const double bound = tolerance * std::fmax(1.0, std::fabs(expected[k]));
        if (!(std::fabs(actual[k] - expected[k]) <= bound)) {
            return ::testing::AssertionFailure()
                   << "entry " << k << ": " << actual[k] << " vs " << expected[k];
        }
    }
    return ::testing::AssertionSuccess();
}

template <std::size_t N>
std::array<double, N> randomArray(std::mt19937& engine, double scale) {
    std::uniform_real_distribution<double> uniform(-scale, scale);
    std::array<double, N> out;
    for (double& value : out) {
        value = uniform(engine);
    }
    return out;
}

// A rotation matrix from closed-form Rodrigues in long double, independent of the code tested.
inline Kor::Mat3 rotationAbout(const Kor::Vec3& axis, long double angle) {
    const long double n =
        std::sqrt((long double)axis[0] * axis[0] + (long double)axis[1] * axis[1] +
                  (long double)axis[2] * axis[2]);
    const long double x = axis[0] / n, y = axis[1] / n, z = axis[2] / n;
    const long double c = std::cos(angle), s = std::sin(angle), v = 1.0L - c;
    return {double(c + x * x * v),     double(x * y * v - z * s), double(x * z * v + y * s),
            double(y * x * v + z * s), double(c + y * y * v),     double(y * z * v - x * s),
            double(z * x * v - y * s), double(z * y * v + x * s), double(c + z * z * v)};
}

}  // namespace OrvaneTest
