// SPDX-License-Identifier: BSD-3-Clause
// Gaussian elimination with partial pivoting.
#include "analysis/linearsolve.h"

#include <algorithm>  // for max
#include <cmath>      // for abs
#include <utility>  // for swap

namespace saed::analysis {

namespace {

// Reduces [A | B] (B with m columns) to [I | A^-1 B]; false when A is singular.
bool eliminate(std::vector<double>& a, std::vector<double>& b, int n, int m) {
    double largest = 0;
    for (double v : a) largest = std::max(largest, std::abs(v));
    if (!(largest > 0)) return false;
    const auto at = [n](int r, int c) { return static_cast<std::size_t>(r * n + c); };
    const auto bt = [m](int r, int c) { return static_cast<std::size_t>(r * m + c); };
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::abs(a[at(r, col)]) > std::abs(a[at(pivot, col)])) pivot = r;
        if (!(std::abs(a[at(pivot, col)]) > 1e-14 * largest)) return false;
        if (pivot != col) {
            for (int c = 0; c < n; ++c) std::swap(a[at(pivot, c)], a[at(col, c)]);
            for (int c = 0; c < m; ++c) std::swap(b[bt(pivot, c)], b[bt(col, c)]);
        }
        const double p = a[at(col, col)];
        for (int r = 0; r < n; ++r) {
            if (r == col) continue;
            const double f = a[at(r, col)] / p;
            if (f == 0) continue;
            for (int c = col; c < n; ++c) a[at(r, c)] -= f * a[at(col, c)];
            for (int c = 0; c < m; ++c) b[bt(r, c)] -= f * b[bt(col, c)];
        }
    }
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < m; ++c) b[bt(r, c)] /= a[at(r, r)];
    return true;
}

}  // namespace

std::optional<std::vector<double>> solveLinear(std::vector<double> a, std::vector<double> b, int n) {
    if (!eliminate(a, b, n, 1)) return std::nullopt;
    return b;
}

std::optional<std::vector<double>> invertMatrix(const std::vector<double>& a, int n) {
    std::vector<double> copy = a, id(static_cast<std::size_t>(n * n), 0.0);
    for (int i = 0; i < n; ++i) id[static_cast<std::size_t>(i * n + i)] = 1.0;
    if (!eliminate(copy, id, n, n)) return std::nullopt;
    return id;
}

}  // namespace saed::analysis
