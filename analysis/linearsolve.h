// SPDX-License-Identifier: BSD-3-Clause
// Small dense linear systems for the least-squares fits of the ring measurement.
#pragma once

#include <optional>
#include <vector>

namespace saed::analysis {

// Solves A x = b for the n x n matrix A (row by row) by Gaussian elimination with partial
// pivoting; no value when A is singular to working precision.
std::optional<std::vector<double>> solveLinear(std::vector<double> a, std::vector<double> b, int n);

// The inverse of the n x n matrix A (row by row); no value when A is singular.
std::optional<std::vector<double>> invertMatrix(const std::vector<double>& a, int n);

}  // namespace saed::analysis
