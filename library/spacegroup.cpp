// SPDX-License-Identifier: BSD-3-Clause
#include "library/spacegroup.h"

#include <cmath>    // for exp, cos, sin, floor, sqrt
#include <algorithm>  // for find, iter_swap, sort, unique, all_of
#include <cctype>     // for isdigit, isalpha
#include <complex>
#include <set>
#include <stdexcept>

#include <gemmi/c4322.hpp>     // for the electron scattering factors
#include <gemmi/elem.hpp>      // for find_element
#include <gemmi/symmetry.hpp>  // for SpaceGroup, GroupOps, parse_triplet

namespace saed::library {

namespace {

constexpr double kPi = 3.14159265358979323846;

SpaceGroupSymbol symbolOf(const gemmi::GroupOps& ops, const gemmi::SpaceGroup* sg) {
    SpaceGroupSymbol out;
    if (sg) {
        out.hm = sg->xhm();
        out.number = sg->number;
    }
    for (const gemmi::Op& op : ops.all_ops_sorted()) out.operations.push_back(op.triplet());
    return out;
}

SpaceGroupSymbol symbolOf(const gemmi::SpaceGroup& sg) { return symbolOf(sg.operations(), &sg); }

// Database spellings of the setting: "F d -3 m Z" or "S" for origin choice 2 or 1, "R -3 c H"
// for hexagonal axes, and the colon written with blanks around it.
std::string normaliseSymbol(std::string_view symbol) {
    std::string s(symbol);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.erase(0, 1);
    if (s.size() > 2 && s[s.size() - 2] == ' ' && s.find(':') == std::string::npos) {
        const char last = s.back();
        const std::string setting = last == 'Z' ? "2" : last == 'S' ? "1"
                                  : last == 'H' ? "H" : last == 'R' ? "R" : "";
        if (!setting.empty()) s = s.substr(0, s.size() - 2) + ":" + setting;
    }
    return s;
}

// Old and plain spellings as the tables write them: subscripts typed "2_1", blanks left out
// ("Fd3m"), and the centrosymmetric cubic groups of the older tables, whose bar over the 3 was
// not written ("F m 3 m", "Ia3d", "P m 3"). A cubic symbol with a mirror or glide first has
// -3 second; no other group has a 3 after a letter.
std::string modernSymbol(const std::string& s) {
    std::string compact;
    const auto colon = s.find(':');
    for (std::size_t i = 0; i < std::min(colon, s.size()); ++i) {
        const char c = s[i];
        if (c == ' ' || c == '\t') continue;
        // '_' marks a subscript between digits, a blank elsewhere
        if (c == '_') continue;
        compact += c;
    }
    if (compact.size() >= 3 && std::isalpha(static_cast<unsigned char>(compact[0])) &&
        std::string_view("mnabcdeMNABCDE").find(compact[1]) != std::string_view::npos && compact[2] == '3')
        compact.insert(2, "-");
    if (colon != std::string::npos) compact += s.substr(colon);
    return compact;
}

bool isWholeNumber(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The tabulated group of a symbol, a number (1 to 230) or a Hall symbol, in the first setting
// the tables hold when the text names none; `explicitSetting` tells whether it named one.
// `hall` receives the operators of a Hall symbol that no tabulated setting has.
const gemmi::SpaceGroup* lookUp(std::string_view symbol, double alphaDeg, double gammaDeg, bool& explicitSetting,
                                std::optional<gemmi::GroupOps>* hall = nullptr) {
    const std::string name = normaliseSymbol(symbol);
    explicitSetting = name.find(':') != std::string::npos;
    if (name.empty() || name.size() > 40) return nullptr;
    if (isWholeNumber(name)) {
        if (name.size() > 3) return nullptr;
        const int number = std::stoi(name);
        if (number < 1 || number > 230) return nullptr;
        const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_number(number);
        // Hexagonal axes unless the cell is rhombohedral, as for a symbol.
        if (sg && sg->ext == 'H' && gammaDeg < 1.125 * alphaDeg) ++sg;
        return sg;
    }
    // gemmi reads a leading digit as a number and "0" as P 1.
    if (std::isdigit(static_cast<unsigned char>(name[0]))) return nullptr;
    if (const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(name, alphaDeg, gammaDeg)) return sg;
    if (const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(modernSymbol(name), alphaDeg, gammaDeg))
        return sg;
    // A Hall symbol spells out its generators ("-F 4vw 2vw 3", "-P 2ybc"); it fixes the setting.
    try {
        const gemmi::GroupOps ops = gemmi::symops_from_hall(name.c_str());
        explicitSetting = true;
        if (const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_ops(ops)) return sg;
        if (hall) *hall = ops;
    } catch (const std::exception&) {
    }
    return nullptr;
}

// True when every product of two operators is an operator of the group up to a centring
// vector, and the centring vectors add up among themselves.
bool isClosed(const gemmi::GroupOps& group) {
    const auto wrapped = [](gemmi::Op::Tran t) {
        for (int& v : t) v = ((v % gemmi::Op::DEN) + gemmi::Op::DEN) % gemmi::Op::DEN;
        return t;
    };
    const auto isCentring = [&](const gemmi::Op::Tran& t) {
        return std::find(group.cen_ops.begin(), group.cen_ops.end(), wrapped(t)) != group.cen_ops.end();
    };
    for (const auto& c : group.cen_ops)
        for (const auto& d : group.cen_ops)
            if (!isCentring({c[0] + d[0], c[1] + d[1], c[2] + d[2]})) return false;
    for (const gemmi::Op& a : group.sym_ops)
        for (const gemmi::Op& b : group.sym_ops) {
            const gemmi::Op product = (a * b).wrap();
            const gemmi::Op* found = group.find_by_rotation(product.rot);
            if (!found) return false;
            if (!isCentring({product.tran[0] - found->tran[0], product.tran[1] - found->tran[1],
                             product.tran[2] - found->tran[2]}))
                return false;
        }
    return true;
}

}  // namespace

std::optional<SpaceGroupSymbol> spaceGroupBySymbol(std::string_view symbol, double alphaDeg,
                                                   double gammaDeg) {
    bool explicitSetting = false;
    std::optional<gemmi::GroupOps> hall;
    if (const gemmi::SpaceGroup* sg = lookUp(symbol, alphaDeg, gammaDeg, explicitSetting, &hall)) return symbolOf(*sg);
    if (hall) return symbolOf(*hall, nullptr);
    return std::nullopt;
}

std::optional<SpaceGroupSymbol> spaceGroupByNumber(int number) {
    if (number < 1 || number > 230) return std::nullopt;
    const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_number(number);
    if (!sg) return std::nullopt;
    return symbolOf(*sg);
}

std::vector<SpaceGroupSymbol> spaceGroupSettings(std::string_view symbol, double alphaDeg, double gammaDeg) {
    bool explicitSetting = false;
    std::optional<gemmi::GroupOps> hall;
    const gemmi::SpaceGroup* sg = lookUp(symbol, alphaDeg, gammaDeg, explicitSetting, &hall);
    if (!sg) return hall ? std::vector<SpaceGroupSymbol>{symbolOf(*hall, nullptr)} : std::vector<SpaceGroupSymbol>{};
    if (explicitSetting || (sg->ext != '1' && sg->ext != '2')) return {symbolOf(*sg)};
    // Origin choice 2 first: the one International Tables and CIF writers take by default.
    std::vector<SpaceGroupSymbol> out;
    for (const char ext : {'2', '1'})
        for (const gemmi::SpaceGroup& other : gemmi::spacegroup_tables::main)
            if (other.number == sg->number && other.ext == ext && std::string_view(other.hm) == sg->hm)
                out.push_back(symbolOf(other));
    return out;
}

std::optional<SpaceGroupSymbol> spaceGroupFromOperations(const std::vector<std::string>& triplets,
                                                         std::string* error) {
    try {
        if (triplets.empty()) throw std::runtime_error("no symmetry operators");
        if (triplets.size() > 192) throw std::runtime_error("more than 192 symmetry operators");
        std::vector<gemmi::Op> ops;
        for (const std::string& t : triplets) {
            // Coefficients and fractions of real operators have one or two digits; longer ones
            // would overflow the parser's integer arithmetic.
            std::size_t digits = 0;
            for (char c : t) {
                digits = std::isdigit(static_cast<unsigned char>(c)) ? digits + 1 : 0;
                if (digits > 2 || t.size() > 80)
                    throw std::runtime_error("\"" + t.substr(0, 80) + "\" is not a symmetry operator");
            }
            gemmi::Op op = gemmi::parse_triplet(t).wrap();
            // A crystallographic rotation has entries -1, 0, 1 and determinant +-1.
            for (const auto& row : op.rot)
                for (int v : row)
                    if (v != 0 && v != gemmi::Op::DEN && v != -gemmi::Op::DEN)
                        throw std::runtime_error("\"" + t + "\" is not a symmetry operator");
            const int det = op.det_rot() / (gemmi::Op::DEN * gemmi::Op::DEN * gemmi::Op::DEN);
            if (det != 1 && det != -1)
                throw std::runtime_error("\"" + t + "\" is not a symmetry operator");
            ops.push_back(op);
        }
        // A list that leaves operators out (a CIF giving the generators, or half the group) is
        // completed to the group it generates: every product, translations taken modulo the
        // lattice, until nothing new appears.
        ops.push_back(gemmi::Op::identity());
        std::set<gemmi::Op> seen(ops.begin(), ops.end());
        ops.assign(seen.begin(), seen.end());
        // The whole list, as CIFs and the phase file give it, is told quickly.
        if (const gemmi::GroupOps whole = gemmi::split_centering_vectors(ops);
            static_cast<std::size_t>(whole.order()) == ops.size() && isClosed(whole))
            return symbolOf(whole, gemmi::find_spacegroup_by_ops(whole));
        for (std::size_t done = 0; done < ops.size();) {
            const std::size_t size = ops.size();
            for (std::size_t i = 0; i < size; ++i)
                for (std::size_t j = (i < done ? done : 0); j < size; ++j) {
                    const gemmi::Op product = (ops[i] * ops[j]).wrap();
                    if (!seen.insert(product).second) continue;
                    ops.push_back(product);
                    if (ops.size() > 192)
                        throw std::runtime_error("the symmetry operators generate no space group "
                                                 "(more than 192 operators)");
                }
            done = size;
        }
        gemmi::GroupOps group = gemmi::split_centering_vectors(ops);
        auto zero = std::find(group.cen_ops.begin(), group.cen_ops.end(), gemmi::Op::Tran{0, 0, 0});
        if (zero == group.cen_ops.end()) throw std::runtime_error("the operators do not include x,y,z");
        std::iter_swap(group.cen_ops.begin(), zero);
        return symbolOf(group, gemmi::find_spacegroup_by_ops(group));
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

std::string cellConditionsText(CellConditions conditions) {
    switch (conditions) {
    case CellConditions::None: return "none";
    case CellConditions::MonoclinicA: return "β = γ = 90°";
    case CellConditions::MonoclinicB: return "α = γ = 90°";
    case CellConditions::MonoclinicC: return "α = β = 90°";
    case CellConditions::Orthorhombic: return "α = β = γ = 90°";
    case CellConditions::Tetragonal: return "a = b, α = β = γ = 90°";
    case CellConditions::Hexagonal: return "a = b, α = β = 90°, γ = 120°";
    case CellConditions::Rhombohedral: return "a = b = c, α = β = γ";
    case CellConditions::Cubic: return "a = b = c, α = β = γ = 90°";
    case CellConditions::Symmetry: return "a cell that its symmetry operators keep";
    }
    return {};
}

std::optional<CellConditions> brokenCellConditions(const core::Cell& cell, const SpaceGroupSymbol& group) {
    if (!core::isCell(cell)) return std::nullopt;
    std::vector<gemmi::Op> ops;
    try {
        for (const std::string& t : group.operations) ops.push_back(gemmi::parse_triplet(t));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    // An operator x' = R x keeps the metric when R^T G R = G; rounding in the cell's last digit
    // is allowed for by comparing each entry to the lengths it is made of.
    const core::SquareMatrix g = core::Metric(cell);
    constexpr double kTolerance = 2e-3;
    bool kept = true;
    for (const gemmi::Op& op : ops) {
        for (int i = 0; i < 3 && kept; ++i)
            for (int j = 0; j < 3 && kept; ++j) {
                double v = 0;
                for (int m = 0; m < 3; ++m)
                    for (int n = 0; n < 3; ++n)
                        v += op.rot[static_cast<std::size_t>(m)][static_cast<std::size_t>(i)] * g(m + 1, n + 1) *
                             op.rot[static_cast<std::size_t>(n)][static_cast<std::size_t>(j)];
                v /= gemmi::Op::DEN * gemmi::Op::DEN;
                kept = std::fabs(v - g(i + 1, j + 1)) <= kTolerance * std::sqrt(g(i + 1, i + 1) * g(j + 1, j + 1));
            }
        if (!kept) break;
    }
    if (kept) return std::nullopt;
    const int n = group.number;
    if (n < 1) return CellConditions::Symmetry;
    if (n <= 2) return CellConditions::None;
    if (n <= 15) {
        // The axis the two-fold rotation or the mirror keeps apart from the other two.
        for (const gemmi::Op& op : ops) {
            const auto& r = op.rot;
            if (r == gemmi::Op::identity().rot || r == gemmi::Op::identity().negated_rot()) continue;
            if ((r[0][0] > 0) != (r[1][1] > 0) && (r[0][0] > 0) == (r[2][2] > 0)) return CellConditions::MonoclinicB;
            if ((r[0][0] > 0) != (r[1][1] > 0)) return CellConditions::MonoclinicA;
            return CellConditions::MonoclinicC;
        }
        return CellConditions::Symmetry;
    }
    if (n <= 74) return CellConditions::Orthorhombic;
    if (n <= 142) return CellConditions::Tetragonal;
    if (n <= 194) return group.hm.size() > 2 && group.hm.substr(group.hm.size() - 2) == ":R" ? CellConditions::Rhombohedral
                                                                                           : CellConditions::Hexagonal;
    return CellConditions::Cubic;
}

SpaceGroupRule::SpaceGroupRule(const CrystalPhase& phase) : m_reciprocalA(3) {
    gemmi::GroupOps group;
    group.sym_ops = {gemmi::Op::identity()};
    group.cen_ops = {{0, 0, 0}};
    if (phase.spaceGroup) {
        std::string error;
        if (auto sg = spaceGroupFromOperations(phase.spaceGroup->operations, &error)) {
            std::vector<gemmi::Op> ops;
            for (const std::string& t : sg->operations) ops.push_back(gemmi::parse_triplet(t).wrap());
            group = gemmi::split_centering_vectors(ops);
        } else {
            m_warning = "space group not usable: " + error;
        }
    }
    for (const gemmi::Op& op : group.sym_ops) {
        Operation o{};
        for (int i = 0; i < 3; ++i) {
            o.tran[static_cast<std::size_t>(i)] = op.tran[static_cast<std::size_t>(i)];
            for (int j = 0; j < 3; ++j)
                o.rot[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                    op.rot[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
        }
        m_ops.push_back(o);
    }
    for (const auto& c : group.cen_ops) m_centring.push_back({c[0], c[1], c[2]});

    core::Cell cellA = phase.cell;  // in Angstrom, as the scattering factors are tabulated
    cellA.aNm *= 10;
    cellA.bNm *= 10;
    cellA.cNm *= 10;
    m_reciprocalA = core::ReciprocalMetric(cellA);
    const core::SquareMatrix metricA = core::Metric(cellA);
    std::array<double, 3> planeSpacingA{};  // d of (1 0 0), (0 1 0), (0 0 1)
    for (std::size_t i = 0; i < 3; ++i)
        planeSpacingA[i] = 1 / std::sqrt(m_reciprocalA(static_cast<int>(i) + 1, static_cast<int>(i) + 1));

    for (const AtomSite& site : phase.atoms) {
        const gemmi::El el = gemmi::find_element(site.element.c_str());
        if (el == gemmi::El::X || !gemmi::C4322<double>::has(el)) {
            m_warning = "no scattering factor for element \"" + site.element + "\" (site " +
                        site.label + "); the atoms are not used";
            m_orbits.clear();
            break;
        }
        Orbit orbit;
        orbit.element = gemmi::it92_pos(el);
        orbit.occupancy = site.occupancy;
        orbit.uIsoA2 = site.uIsoA2;
        for (const Operation& op : m_ops)
            for (const auto& c : m_centring) {
                std::array<double, 3> p{};
                for (std::size_t i = 0; i < 3; ++i) {
                    double v = (op.tran[i] + c[i]) / 24.0;
                    for (std::size_t j = 0; j < 3; ++j) v += op.rot[i][j] / 24.0 * site.fract[j];
                    p[i] = v - std::floor(v);
                }
                // Images closer than kMergeDistanceA are one atom: coordinates written to four
                // decimals (0.3333 for 1/3) put an atom's images a few 1e-4 Angstrom apart.
                bool seen = false;
                for (const auto& q : orbit.positions) {
                    std::array<double, 3> d{};
                    bool near = true;
                    for (std::size_t i = 0; i < 3 && near; ++i) {
                        d[i] = p[i] - q[i] - std::round(p[i] - q[i]);
                        // Two points are at least their distance across the lattice planes apart.
                        near = std::fabs(d[i]) * planeSpacingA[i] < kMergeDistanceA;
                    }
                    if (!near) continue;
                    double d2 = 0;
                    for (std::size_t i = 0; i < 3; ++i)
                        for (std::size_t j = 0; j < 3; ++j) d2 += d[i] * d[j] * metricA(static_cast<int>(i) + 1, static_cast<int>(j) + 1);
                    if (d2 < kMergeDistanceA * kMergeDistanceA) seen = true;
                }
                if (!seen) orbit.positions.push_back(p);
            }
        m_orbits.push_back(std::move(orbit));
    }
}

std::vector<int> SpaceGroupRule::siteMultiplicities() const {
    std::vector<int> out;
    for (const Orbit& orbit : m_orbits) out.push_back(static_cast<int>(orbit.positions.size()));
    return out;
}

std::vector<core::LatticeOp> SpaceGroupRule::pointOperations() const {
    std::vector<core::LatticeOp> ops;
    ops.reserve(m_ops.size());
    for (const Operation& op : m_ops) {
        core::LatticeOp m{};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j) m[i][j] = op.rot[i][j] / gemmi::Op::DEN;
        ops.push_back(m);
    }
    return ops;
}

bool SpaceGroupRule::systematicallyAbsent(const core::Hkl& hkl) const {
    const auto shifted = [&](const std::array<int, 3>& t) {
        return (hkl[0] * t[0] + hkl[1] * t[1] + hkl[2] * t[2]) % 24 != 0;
    };
    for (std::size_t i = 1; i < m_centring.size(); ++i)
        if (shifted(m_centring[i])) return true;
    // An operator that maps (h k l) onto itself multiplies F by exp(2 pi i h.t): F vanishes
    // unless h.t is whole.
    for (std::size_t n = 1; n < m_ops.size(); ++n) {
        const Operation& op = m_ops[n];
        bool fixed = true;
        for (std::size_t i = 0; i < 3 && fixed; ++i)
            fixed = op.rot[0][i] * hkl[0] + op.rot[1][i] * hkl[1] + op.rot[2][i] * hkl[2] ==
                    24 * hkl[i];
        if (!fixed) continue;
        for (const auto& c : m_centring)
            if (shifted({op.tran[0] + c[0], op.tran[1] + c[1], op.tran[2] + c[2]})) return true;
    }
    return false;
}

std::pair<double, double> SpaceGroupRule::amplitudes(const core::Hkl& hkl,
                                                     bool withDisplacement) const {
    // (sin theta / lambda)^2 = 1 / (4 d^2)
    const double stol2 = core::QuadraticForm(m_reciprocalA, hkl) / 4;
    std::complex<double> f = 0;
    double sum = 0;
    for (const Orbit& orbit : m_orbits) {
        const double fAtom = gemmi::C4322<double>::data[orbit.element].calculate_sf(stol2) *
                             orbit.occupancy *
                             (withDisplacement ? std::exp(-8 * kPi * kPi * orbit.uIsoA2 * stol2) : 1.0);
        for (const auto& p : orbit.positions) {
            const double arg = 2 * kPi * (hkl[0] * p[0] + hkl[1] * p[1] + hkl[2] * p[2]);
            f += fAtom * std::complex<double>(std::cos(arg), std::sin(arg));
            sum += std::abs(fAtom);
        }
    }
    return {std::abs(f), sum};
}

std::optional<double> SpaceGroupRule::structureFactor(const core::Hkl& hkl) const {
    if (m_orbits.empty()) return std::nullopt;
    const auto [f, sum] = amplitudes(hkl, true);
    // What cancels exactly shows as 0, not as rounding noise.
    return f <= 1e-12 * sum ? 0.0 : f;
}

bool SpaceGroupRule::admits(const core::Hkl& hkl) const {
    if (hkl == core::Hkl{0, 0, 0}) return true;
    if (systematicallyAbsent(hkl)) return false;
    if (m_orbits.empty()) return true;
    // Cancellation is a matter of positions and occupancies; displacements, which a CIF may
    // give out of all proportion, do not decide it.
    const auto [f, sum] = amplitudes(hkl, false);
    if (!(sum > 0) || !std::isfinite(sum) || !std::isfinite(f)) return true;
    return f > kExtinctionThreshold * sum;
}

std::shared_ptr<const core::ReflectionRule> phaseRule(const CrystalPhase& phase) {
    return std::make_shared<const SpaceGroupRule>(phase);
}

}  // namespace saed::library
