// 3 x 3 transforms. Points are column vectors (x, y, 1), so the translation
// sits in m[0][2] and m[1][2]. Every quad is drawn with T x (R x S).
#pragma once

struct Matrix3 {
    float m[3][3];
};

void Matrix3Identity(Matrix3* out);

// out = a x b; out may be a or b.
void Matrix3Concat(Matrix3* out, const Matrix3* a, const Matrix3* b);

void Matrix3Translate(Matrix3* out, float tx, float ty);
void Matrix3Scale(Matrix3* out, float sx, float sy);
void Matrix3Rotate(Matrix3* out, float radians);

// Applies the matrix to the point (x, y, 1).
void Matrix3TransformPoint(const Matrix3* matrix, float x, float y, float* outX, float* outY);
