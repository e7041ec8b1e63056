// SPDX-License-Identifier: BSD-3-Clause
#include "core/mrinv.h"

#include <gtest/gtest.h>

using saed::core::MRinv;
using saed::core::SquareMatrix;

namespace {

SquareMatrix matrix3(std::initializer_list<std::initializer_list<double>> rows) {
    SquareMatrix m(3);
    int i = 1;
    for (const auto& row : rows) {
        int j = 1;
        for (double v : row) m(i, j++) = v;
        ++i;
    }
    return m;
}

// Inverts `m` and compares every element with `expected`.
void expectInverse(SquareMatrix m, const SquareMatrix& expected) {
    ASSERT_TRUE(MRinv(3, m));
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(m(i, j), expected(i, j)) << i << "," << j;
}

}  // namespace

TEST(MRinvTest, diagonalExchangedAndGeneralMatrices) {
    expectInverse(matrix3({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), matrix3({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}));
    expectInverse(matrix3({{0.25, 0, 0}, {0, 0.25, 0}, {0, 0, 0.25}}), matrix3({{4, 0, 0}, {0, 4, 0}, {0, 0, 4}}));
    // Row and column exchanges.
    expectInverse(matrix3({{0, 0, 2}, {0, 3, 0}, {1, 0, 0}}), matrix3({{0, 0, 1}, {0, 1.0 / 3.0, 0}, {0.5, 0, 0}}));

    const SquareMatrix a = matrix3({{2, -1, 0.5}, {4, 3, -2}, {-1, 7, 5}});
    SquareMatrix inv = a;
    ASSERT_TRUE(MRinv(3, inv));
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) {
            double sum = 0;
            for (int k = 1; k <= 3; ++k) sum += a(i, k) * inv(k, j);
            EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-14) << i << "," << j;
        }
    }
}

TEST(MRinvTest, tiedPivotTakesTheFirstInRowMajorOrder) {
    // All |a(i,j)| equal at k = 1: the pivot is a(1,1), so no exchange happens; elimination
    // then proceeds exactly as without pivoting for this matrix, which inverts it.
    // Its inverse, worked out by hand: rows (0, .5, .5), (.5, -.5, 0), (.5, 0, -.5).
    expectInverse(matrix3({{1, 1, 1}, {1, -1, 1}, {1, 1, -1}}), matrix3({{0, 0.5, 0.5}, {0.5, -0.5, 0}, {0.5, 0, -0.5}}));

    // A singular matrix whose first step takes a(1,1) among equals: after that step the
    // remaining sub-matrix is zero, so the routine stops at k = 2 and shows the partial state
    // of the un-exchanged first step. Had a(1,2) or a later element been taken, row 1 would
    // read differently.
    SquareMatrix tie = matrix3({{-2, 2, 2}, {2, -2, -2}, {1, -1, -1}});
    EXPECT_FALSE(MRinv(3, tie));
    EXPECT_DOUBLE_EQ(tie(1, 1), -0.5);  // 1 / a(1,1) in place
    EXPECT_DOUBLE_EQ(tie(1, 2), -1.0);  // 2 * (-0.5)
    EXPECT_DOUBLE_EQ(tie(1, 3), -1.0);
    EXPECT_DOUBLE_EQ(tie(2, 1), 1.0);   // -(2) * (-0.5)
    EXPECT_DOUBLE_EQ(tie(3, 1), 0.5);
    EXPECT_DOUBLE_EQ(tie(2, 2), 0.0);
}

TEST(MRinvTest, singularMatricesReturnFalse) {
    SquareMatrix zero(3);
    const SquareMatrix before = zero;
    EXPECT_FALSE(MRinv(3, zero));
    EXPECT_EQ(zero, before);

    // A pivot below 1.1e-16 counts as zero even though it is not 0.
    SquareMatrix tiny = matrix3({{1e-17, 0, 0}, {0, 1e-17, 0}, {0, 0, 1e-17}});
    EXPECT_FALSE(MRinv(3, tiny));
    EXPECT_EQ(tiny(1, 1), 1e-17);

    // A zero cell edge: the metric row and column of c vanish.
    SquareMatrix flat = matrix3({{0.25, 0, 0}, {0, 0.25, 0}, {0, 0, 0}});
    EXPECT_FALSE(MRinv(3, flat));
}
