// Vector, Vector3 and Matrix4: the engine's small math library (column-major
// matrices as OpenGL stores them).
#include "engine/stagemill.h"

#include <cmath>
#include <cstring>

namespace ZEPHRAN_STAGEMILL {

namespace {

// Scales x, y, z of either vector to unit length; a zero vector stays zero
// and a Vector's w is left as it is.
template <typename V>
V& normalizeXYZ(V& v) {
    float len = v.length();
    if (len > 0.0f) {
        v.x /= len;
        v.y /= len;
        v.z /= len;
    }
    return v;
}

} // namespace

float Vector::length() const { return std::sqrt(sqLength()); }

Vector& Vector::normalize() { return normalizeXYZ(*this); }

Vector Vector::crossProduct(const Vector& o) const {
    return Vector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x, 0.0f);
}

float Vector3::length() const { return std::sqrt(sqLength()); }

Vector3& Vector3::normalize() { return normalizeXYZ(*this); }

Matrix4::Matrix4(const float* columnMajor) { std::memcpy(m, columnMajor, sizeof(m)); }

Matrix4 Matrix4::operator*(const Matrix4& o) const {
    Matrix4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += m[k * 4 + row] * o.m[c * 4 + k];
            r.m[c * 4 + row] = s;
        }
    return r;
}

Vector Matrix4::operator*(const Vector& v) const {
    return Vector(
        m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12] * v.w, m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13] * v.w,
        m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14] * v.w, m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15] * v.w);
}

Vector3 Matrix4::multipleBy3x3(const Vector3& v) const {
    return Vector3(m[0] * v.x + m[4] * v.y + m[8] * v.z, m[1] * v.x + m[5] * v.y + m[9] * v.z,
                   m[2] * v.x + m[6] * v.y + m[10] * v.z);
}

Matrix4 Matrix4::transpose() const {
    Matrix4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) r.m[c * 4 + row] = m[row * 4 + c];
    return r;
}

Matrix4 Matrix4::inverse() const {
    // Cofactor expansion (as in the MESA GLU inverse); identity when singular.
    const float* a = m;
    float inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] + a[8] * a[1] * a[6] -
              a[8] * a[2] * a[5];
    float det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0f || !std::isfinite(det)) return Matrix4();
    Matrix4 r;
    for (int i = 0; i < 16; ++i) r.m[i] = inv[i] / det;
    return r;
}

Matrix4 Matrix4::inverseTranspose() const {
    Matrix4 upper = *this;
    upper.m[3] = upper.m[7] = upper.m[11] = 0.0f;
    upper.m[12] = upper.m[13] = upper.m[14] = 0.0f;
    upper.m[15] = 1.0f;
    return upper.inverse().transpose();
}

Matrix4& Matrix4::makeIdentity() {
    std::memset(m, 0, sizeof(m));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return *this;
}

Matrix4& Matrix4::makeRotation(float angleDegrees, float x, float y, float z) {
    makeIdentity();
    float len = std::sqrt(x * x + y * y + z * z);
    if (len == 0.0f) return *this;
    x /= len;
    y /= len;
    z /= len;
    float rad = angleDegrees * 3.14159265358979f / 180.0f;
    float c = std::cos(rad), s = std::sin(rad), t = 1.0f - c;
    m[0] = x * x * t + c;
    m[1] = y * x * t + z * s;
    m[2] = x * z * t - y * s;
    m[4] = x * y * t - z * s;
    m[5] = y * y * t + c;
    m[6] = y * z * t + x * s;
    m[8] = x * z * t + y * s;
    m[9] = y * z * t - x * s;
    m[10] = z * z * t + c;
    return *this;
}

Matrix4& Matrix4::makeScaleXYZ(float x, float y, float z) {
    makeIdentity();
    m[0] = x;
    m[5] = y;
    m[10] = z;
    return *this;
}

Matrix4& Matrix4::makeTranslation(float x, float y, float z) {
    makeIdentity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return *this;
}

} // namespace ZEPHRAN_STAGEMILL
