#include "library/spacegroup.h"

#include <cmath>    // for exp, cos, sin, floor, sqrt
#include <algorithm>  // for find, iter_swap
#include <cctype>     // for isdigit
#include <complex>
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
    if (s.size() > 2 && s[s.size() - 2] == ' ' && s.find(':') == std::string::npos) {
        const char last = s.back();
        const std::string setting = last == 'Z' ? "2" : last == 'S' ? "1"
                                  : last == 'H' ? "H" : last == 'R' ? "R" : "";
        if (!setting.empty()) s = s.substr(0, s.size() - 2) + ":" + setting;
    }
    return s;
}

}  // namespace

std::optional<SpaceGroupSymbol> spaceGroupBySymbol(std::string_view symbol, double alphaDeg,
                                                   double gammaDeg) {
    const std::string name = normaliseSymbol(symbol);
    if (name.empty()) return std::nullopt;
    const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(name, alphaDeg, gammaDeg);
    if (!sg) return std::nullopt;
    return symbolOf(*sg);
}

std::optional<SpaceGroupSymbol> spaceGroupByNumber(int number) {
    if (number < 1 || number > 230) return std::nullopt;
    const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_number(number);
    if (!sg) return std::nullopt;
    return symbolOf(*sg);
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
        gemmi::GroupOps group = gemmi::split_centering_vectors(ops);
        auto zero = std::find(group.cen_ops.begin(), group.cen_ops.end(), gemmi::Op::Tran{0, 0, 0});
        if (zero == group.cen_ops.end())
            throw std::runtime_error("the operators do not include x,y,z");
        std::iter_swap(group.cen_ops.begin(), zero);
        // The operator list of a CIF holds the whole group: every product must be in it.
        for (const gemmi::Op& a : group.sym_ops)
            for (const gemmi::Op& b : group.sym_ops)
                if (!group.find_by_rotation((a * b).rot))
                    throw std::runtime_error("the symmetry operators do not form a group");
        return symbolOf(group, gemmi::find_spacegroup_by_ops(group));
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
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
                bool seen = false;
                for (const auto& q : orbit.positions) {
                    double d2 = 0;
                    for (std::size_t i = 0; i < 3; ++i) {
                        double d = p[i] - q[i];
                        d -= std::round(d);
                        d2 += d * d;
                    }
                    if (d2 < 1e-8) seen = true;
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
