#include "Engine/QuadMesh.h"
#include "Util/Matrix3.h"

#include <gtest/gtest.h>

#include <array>
#include <numbers>

namespace {

Matrix3 sample(float offset) {
    Matrix3 matrix;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            matrix.m[row][column] = offset + static_cast<float>(row * 3 + column);
    return matrix;
}

void expectSame(const Matrix3& a, const Matrix3& b) {
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) EXPECT_EQ(a.m[row][column], b.m[row][column]);
}

TEST(Matrix3Test, ConcatGivesTheSameProductWhenTheOutputAliasesAnOperand) {
    Matrix3 a = sample(1), b = sample(-4), separate;
    Matrix3Concat(&separate, &a, &b);
    Matrix3 intoA = a;
    Matrix3Concat(&intoA, &intoA, &b);
    expectSame(intoA, separate);
    Matrix3 intoB = b;
    Matrix3Concat(&intoB, &a, &intoB);
    expectSame(intoB, separate);
}

TEST(Matrix3Test, TranslationTimesRotationTimesScaleMapsPoints) {
    Matrix3 t, r, s, transform;
    Matrix3Translate(&t, 10, 20);
    Matrix3Rotate(&r, std::numbers::pi_v<float> / 2);
    Matrix3Scale(&s, 2, 1);
    Matrix3Concat(&transform, &r, &s);
    Matrix3Concat(&transform, &t, &transform);
    float x, y;
    Matrix3TransformPoint(&transform, 1, 0, &x, &y);
    EXPECT_NEAR(x, 10.0f, 1e-5f);
    EXPECT_NEAR(y, 22.0f, 1e-5f);
}

TEST(QuadMeshTest, FrameMeshCoversOneFrameOfTheSheet) {
    float uvScale[2] = {0, 0};
    KEMesh* mesh = createFrameMesh(64, 32, 256, 128, uvScale);
    EXPECT_EQ(uvScale[0], 0.25f);
    EXPECT_EQ(uvScale[1], 0.25f);
    ASSERT_EQ(KEGfxMeshVertexCount(mesh), 6);
    const KEVertex corner = KEGfxMeshVertex(mesh, 2);
    EXPECT_EQ((std::array{corner.x, corner.y, corner.u, corner.v}), (std::array{64.0f, 32.0f, 0.25f, 0.25f}));
    KEGfxMeshFree(mesh);
}

// The second triangle holds the diagonal from the top-left to the
// bottom-right corner: the software renderer copies such quads texel for texel.
TEST(QuadMeshTest, QuadMeshIsTwoTrianglesFromTheCornerInItsColour) {
    KEMesh* black = createQuadMesh(8, 4, nullptr);
    KEMesh* red = createQuadMesh(8, 4, &colourRed);
    const float expected[6][4] = {{0, 0, 0, 0}, {8, 0, 1, 0}, {8, 4, 1, 1},
                                  {0, 0, 0, 0}, {8, 4, 1, 1}, {0, 4, 0, 1}};
    ASSERT_EQ(KEGfxMeshVertexCount(black), 6);
    for (int i = 0; i < 6; ++i) {
        const KEVertex vertex = KEGfxMeshVertex(black, i);
        EXPECT_EQ((std::array{vertex.x, vertex.y, vertex.u, vertex.v}),
                  (std::array{expected[i][0], expected[i][1], expected[i][2], expected[i][3]}))
            << "vertex " << i;
        EXPECT_EQ(vertex.color, 0xFF000000u);
        EXPECT_EQ(KEGfxMeshVertex(red, i).color, 0xFFFF0000u);
    }
    KEGfxMeshFree(black);
    KEGfxMeshFree(red);
}

}  // namespace
