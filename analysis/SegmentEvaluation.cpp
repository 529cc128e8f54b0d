#include "analysis/SegmentEvaluation.h"

#include "analysis/Bezier.h"
#include "analysis/LeftJacobian.h"
#include "analysis/Matrix3.h"
#include "analysis/Rotation.h"

namespace Kor {

RotationEvaluation evaluateRotation(const ControlPoints& rotationControlPoints,
                                    const Mat3& baseRotation, double u) {
    const BezierEvaluation r = evaluateBezier(rotationControlPoints, u);
    const double theta_sq = squaredNorm(r.value);
    const RotationCoefficients coefficients = rotationCoefficients(theta_sq);

    RotationEvaluation out;
    out.rotation = matMul(so3Exp(r.value, coefficients.A, coefficients.B), baseRotation);

    // The same theta_sq serves J and dJ/du: one trigonometric evaluation per call.
    JacobianCoefficients jacobian;
    jacobian.setBase(theta_sq, coefficients);
    const Mat3 J = so3Exp(r.value, coefficients.B, coefficients.C);
    const Mat3 J_dot = leftJacobianDerivative(r.value, r.first, jacobian);

    // omega = J r', alpha = dJ/du r' + J r''.
    out.omega = matVec(J, r.first);
    const Vec3 J_dot_r_prime = matVec(J_dot, r.first);
    const Vec3 J_r_second = matVec(J, r.second);
    for (int i = 0; i < 3; ++i) {
        out.alpha[i] = J_dot_r_prime[i] + J_r_second[i];
    }
    return out;
}

SegmentEvaluation evaluateSegment(const SegmentCurve& curve, double u) {
    const RotationEvaluation rotation =
        evaluateRotation(curve.rotationControlPoints, curve.baseRotation, u);
    const BezierEvaluation p = evaluateBezier(curve.positionControlPoints, u);
    const Mat3& R = rotation.rotation;

    SegmentEvaluation out;
    out.rotation = R;
    out.translation = negate(matVec(R, p.value));

    // t = -R p, so dt/du = [omega]x t - R p' and v = dt/du - omega x t = -R p'.
    const Vec3 v = negate(matVec(R, p.first));
    const Vec3 omega_v = cross(rotation.omega, v);
    const Vec3 R_p_second = matVec(R, p.second);
    for (int i = 0; i < 3; ++i) {
        out.velocity[i] = v[i];
        out.velocity[3 + i] = rotation.omega[i];
        out.acceleration[i] = omega_v[i] - R_p_second[i];
        out.acceleration[3 + i] = rotation.alpha[i];
    }
    return out;
}

}  // namespace Kor
