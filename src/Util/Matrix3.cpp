#include "Util/Matrix3.h"

#include <cmath>

void Matrix3Identity(Matrix3* out) {
    *out = Matrix3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

void Matrix3Concat(Matrix3* out, const Matrix3* a, const Matrix3* b) {
    // Built in a temporary so that out may alias either operand.
    Matrix3 product;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            product.m[row][column] = a->m[row][0] * b->m[0][column] + a->m[row][1] * b->m[1][column] +
                                     a->m[row][2] * b->m[2][column];
    *out = product;
}

void Matrix3Translate(Matrix3* out, float tx, float ty) {
    Matrix3Identity(out);
    out->m[0][2] = tx;
    out->m[1][2] = ty;
}

void Matrix3Scale(Matrix3* out, float sx, float sy) {
    Matrix3Identity(out);
    out->m[0][0] = sx;
    out->m[1][1] = sy;
}

void Matrix3Rotate(Matrix3* out, float radians) {
    Matrix3Identity(out);
    float cosine = std::cos(radians);
    float sine = std::sin(radians);
    out->m[0][0] = cosine;
    out->m[0][1] = -sine;
    out->m[1][0] = sine;
    out->m[1][1] = cosine;
}

void Matrix3TransformPoint(const Matrix3* matrix, float x, float y, float* outX, float* outY) {
    *outX = matrix->m[0][0] * x + matrix->m[0][1] * y + matrix->m[0][2];
    *outY = matrix->m[1][0] * x + matrix->m[1][1] * y + matrix->m[1][2];
}
