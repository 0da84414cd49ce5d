// Small 3x3 matrix arithmetic in double precision for the colour-space maths.
#pragma once

#include <array>

namespace zvk {

using Vector3 = std::array<double, 3>;
using Matrix3 = std::array<Vector3, 3>;  // rows

Matrix3 Multiply(const Matrix3& a, const Matrix3& b);
Vector3 Multiply(const Matrix3& m, const Vector3& v);
Vector3 DivideElements(const Vector3& a, const Vector3& b);
Matrix3 Diagonal(const Vector3& v);

// The inverse through an LU decomposition with full pivoting. A singular matrix raises
// std::invalid_argument.
Matrix3 Invert(const Matrix3& m);

}  // namespace zvk
