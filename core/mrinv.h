// SPDX-License-Identifier: BSD-3-Clause
// Square matrices addressed from 1, and their inversion in place by Gauss-Jordan elimination.
#pragma once

#include <cassert>
#include <vector>

namespace saed::core {

// A real n x n matrix whose elements are addressed (i, j) with i, j from 1 to n.
class SquareMatrix {
public:
    explicit SquareMatrix(int order) : m_order(order), m_data(static_cast<std::size_t>(order * order), 0.0) {
        assert(order >= 0);
    }

    int order() const { return m_order; }

    double& operator()(int i, int j) {
        assert(i >= 1 && i <= m_order && j >= 1 && j <= m_order);
        return m_data[static_cast<std::size_t>((i - 1) * m_order + (j - 1))];
    }
    double operator()(int i, int j) const {
        assert(i >= 1 && i <= m_order && j >= 1 && j <= m_order);
        return m_data[static_cast<std::size_t>((i - 1) * m_order + (j - 1))];
    }

    bool operator==(const SquareMatrix&) const = default;

private:
    int m_order;
    std::vector<double> m_data;
};

// Inverts `a` in place with full pivoting (largest absolute element of the remaining
// sub-matrix, the first in row-major order among equals). Returns false when a pivot is zero to
// working precision (pivot + 1.0 == 1.0) or an intermediate value is not finite; `a` then holds
// the partly transformed matrix and no exchange has been undone.
bool MRinv(int n, SquareMatrix& a);

}  // namespace saed::core
