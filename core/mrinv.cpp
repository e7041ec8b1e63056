// SPDX-License-Identifier: BSD-3-Clause
#include "core/mrinv.h"

#include <cmath>  // for fabs, isfinite
#include <utility>

namespace saed::core {

namespace {

void swapRows(SquareMatrix& a, int n, int r1, int r2) {
    for (int j = 1; j <= n; ++j) std::swap(a(r1, j), a(r2, j));
}

void swapColumns(SquareMatrix& a, int n, int c1, int c2) {
    for (int i = 1; i <= n; ++i) std::swap(a(i, c1), a(i, c2));
}

bool allFinite(const SquareMatrix& a, int n) {
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (!std::isfinite(a(i, j))) return false;
    return true;
}

}  // namespace

// Gauss-Jordan elimination with full pivoting; the row and column exchanges of every step are
// recorded and undone in reverse order at the end (rows of the result are permuted by the
// column exchanges and columns by the row exchanges).
bool MRinv(int n, SquareMatrix& a) {
    assert(n <= a.order());
    std::vector<int> is(static_cast<std::size_t>(n + 1)), js(static_cast<std::size_t>(n + 1));
    for (int k = 1; k <= n; ++k) {
        double d = 0.0;
        for (int i = k; i <= n; ++i) {
            for (int j = k; j <= n; ++j) {
                const double p = std::fabs(a(i, j));
                if (p > d) {
                    d = p;
                    is[static_cast<std::size_t>(k)] = i;
                    js[static_cast<std::size_t>(k)] = j;
                }
            }
        }
        // Relative to 1, not to 0: a pivot below about 1.1e-16 counts as zero.
        if (d + 1.0 == 1.0) return false;
        const int pivotRow = is[static_cast<std::size_t>(k)];
        const int pivotColumn = js[static_cast<std::size_t>(k)];
        if (pivotRow != k) swapRows(a, n, k, pivotRow);
        if (pivotColumn != k) swapColumns(a, n, k, pivotColumn);
        a(k, k) = 1.0 / a(k, k);
        for (int j = 1; j <= n; ++j)
            if (j != k) a(k, j) = a(k, j) * a(k, k);
        for (int i = 1; i <= n; ++i) {
            if (i == k) continue;
            for (int j = 1; j <= n; ++j)
                if (j != k) a(i, j) = a(i, j) - a(i, k) * a(k, j);
        }
        for (int i = 1; i <= n; ++i)
            if (i != k) a(i, k) = -a(i, k) * a(k, k);
        // What would have been an arithmetic fault ends the routine here.
        if (!allFinite(a, n)) return false;
    }
    for (int k = n; k >= 1; --k) {
        if (js[static_cast<std::size_t>(k)] != k) swapRows(a, n, k, js[static_cast<std::size_t>(k)]);
        if (is[static_cast<std::size_t>(k)] != k) swapColumns(a, n, k, is[static_cast<std::size_t>(k)]);
    }
    return true;
}

}  // namespace saed::core
