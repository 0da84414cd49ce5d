#include "ColourMatrix.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace zvk {

Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
  return r;
}

Vector3 Multiply(const Matrix3& m, const Vector3& v) {
  Vector3 r{};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) r[i] += m[i][k] * v[k];
  return r;
}

Vector3 DivideElements(const Vector3& a, const Vector3& b) { return {a[0] / b[0], a[1] / b[1], a[2] / b[2]}; }

Matrix3 Diagonal(const Vector3& v) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i) r[i][i] = v[i];
  return r;
}

Matrix3 Invert(const Matrix3& m) {
  // LU with full pivoting: PAQ = LU, rows and columns swapped as recorded.
  Matrix3 lu = m;
  std::array<int, 3> rowOf{0, 1, 2}, colOf{0, 1, 2};
  for (int k = 0; k < 3; ++k) {
    int pr = k, pc = k;
    for (int i = k; i < 3; ++i)
      for (int j = k; j < 3; ++j)
        if (std::fabs(lu[i][j]) > std::fabs(lu[pr][pc])) pr = i, pc = j;
    std::swap(lu[k], lu[pr]);
    std::swap(rowOf[k], rowOf[pr]);
    for (int i = 0; i < 3; ++i) std::swap(lu[i][k], lu[i][pc]);
    std::swap(colOf[k], colOf[pc]);
    if (lu[k][k] == 0.0) throw std::invalid_argument("matrix is not invertable!");
    for (int i = k + 1; i < 3; ++i) {
      lu[i][k] /= lu[k][k];
      for (int j = k + 1; j < 3; ++j) lu[i][j] -= lu[i][k] * lu[k][j];
    }
  }
  Matrix3 inverse{};
  for (int unit = 0; unit < 3; ++unit) {
    // Solve A x = e_unit: with PAQ = LU, L U (Q^-1 x) = P e.
    Vector3 y{};
    for (int i = 0; i < 3; ++i) {
      y[i] = rowOf[i] == unit ? 1.0 : 0.0;
      for (int j = 0; j < i; ++j) y[i] -= lu[i][j] * y[j];
    }
    Vector3 z{};
    for (int i = 2; i >= 0; --i) {
      z[i] = y[i];
      for (int j = i + 1; j < 3; ++j) z[i] -= lu[i][j] * z[j];
      z[i] /= lu[i][i];
    }
    for (int i = 0; i < 3; ++i) inverse[colOf[i]][unit] = z[i];
  }
  return inverse;
}

}  // namespace zvk
