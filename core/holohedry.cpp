// SPDX-License-Identifier: BSD-3-Clause
#include "core/holohedry.h"

#include <algorithm>  // for sort, find, max
#include <cmath>      // for abs, sqrt

namespace saed::core {

namespace {

// Products of near-symmetries can leave the -1..1 box only for a tolerance far too loose to mean
// anything; no lattice has more than 48 operations.
constexpr std::size_t kMaxOrder = 48;

LatticeOp multiply(const LatticeOp& a, const LatticeOp& b) {
    LatticeOp c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}

int determinant(const LatticeOp& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

bool keepsMetric(const LatticeOp& m, const SquareMatrix& g, double tolerance) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            // (M^T G M)_ij = sum over k, l of M_ki G_kl M_lj.
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l) sum += m[k][i] * g(k + 1, l + 1) * m[l][j];
            const double scale = std::sqrt(g(i + 1, i + 1) * g(j + 1, j + 1));
            if (std::abs(sum - g(i + 1, j + 1)) > tolerance * scale) return false;
        }
    return true;
}

// The closure of `ops` under products, identity first and the rest sorted; empty when it grows
// beyond any lattice's order.
std::vector<LatticeOp> closure(std::vector<LatticeOp> ops) {
    if (std::find(ops.begin(), ops.end(), identityOp()) == ops.end()) ops.push_back(identityOp());
    for (std::size_t i = 0; i < ops.size(); ++i)
        for (std::size_t j = 0; j <= i; ++j)
            for (const LatticeOp& p : {multiply(ops[i], ops[j]), multiply(ops[j], ops[i])}) {
                if (std::find(ops.begin(), ops.end(), p) != ops.end()) continue;
                if (ops.size() >= kMaxOrder) return {};
                ops.push_back(p);
            }
    std::sort(ops.begin(), ops.end());
    std::stable_partition(ops.begin(), ops.end(),
                          [](const LatticeOp& m) { return m == identityOp(); });
    return ops;
}

template <typename Vec>
Vec largest(const std::vector<LatticeOp>& ops, const Vec& v,
            Vec (*apply)(const LatticeOp&, const Vec&)) {
    Vec best = v;
    for (const LatticeOp& op : ops) {
        const Vec image = apply(op, v);
        best = std::max(best, image);
    }
    return best;
}

}  // namespace

LatticeOp identityOp() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

LatticeOp inversionOp() { return {{{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}}; }

std::vector<LatticeOp> holohedry(const Cell& cell, double relativeTolerance) {
    const std::vector<LatticeOp> fallback{identityOp(), inversionOp()};
    if (!isCell(cell)) return fallback;
    const SquareMatrix g = Metric(cell);
    std::vector<LatticeOp> ops;
    // All 3^9 matrices with entries -1, 0, 1, in ascending order of their entries.
    for (int code = 0; code < 19683; ++code) {
        LatticeOp m{};
        int rest = code;
        for (int e = 8; e >= 0; --e) {
            m[e / 3][e % 3] = rest % 3 - 1;
            rest /= 3;
        }
        const int det = determinant(m);
        if ((det == 1 || det == -1) && keepsMetric(m, g, relativeTolerance)) ops.push_back(m);
    }
    std::vector<LatticeOp> group = closure(ops);
    return group.empty() ? fallback : group;
}

std::vector<LatticeOp> keepingReflections(const std::vector<LatticeOp>& ops,
                                          const std::function<bool(const Hkl&)>& allowed,
                                          int range) {
    std::vector<LatticeOp> kept;
    for (const LatticeOp& op : ops) {
        bool keeps = true;
        for (int h = -range; h <= range && keeps; ++h)
            for (int k = -range; k <= range && keeps; ++k)
                for (int l = -range; l <= range && keeps; ++l) {
                    const Hkl p{h, k, l};
                    keeps = allowed(p) == allowed(applyToIndices(op, p));
                }
        if (keeps) kept.push_back(op);
    }
    return kept;
}

std::vector<LatticeOp> withInversion(const std::vector<LatticeOp>& ops) {
    std::vector<LatticeOp> all = ops;
    all.push_back(inversionOp());
    std::vector<LatticeOp> group = closure(all);
    return group.empty() ? std::vector<LatticeOp>{identityOp(), inversionOp()} : group;
}

Hkl applyToIndices(const LatticeOp& op, const Hkl& hkl) {
    Hkl out{};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) out[i] += op[k][i] * hkl[k];
    return out;
}

Uvw applyToAxis(const LatticeOp& op, const Uvw& uvw) {
    Uvw out{};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) out[i] += op[i][k] * uvw[k];
    return out;
}

Hkl formRepresentative(const std::vector<LatticeOp>& ops, const Hkl& hkl) {
    return largest<Hkl>(ops, hkl, &applyToIndices);
}

Uvw axisFamilyRepresentative(const std::vector<LatticeOp>& ops, const Uvw& uvw) {
    const Uvw opposite{-uvw[0], -uvw[1], -uvw[2]};
    return std::max(largest<Uvw>(ops, uvw, &applyToAxis),
                    largest<Uvw>(ops, opposite, &applyToAxis));
}

}  // namespace saed::core
