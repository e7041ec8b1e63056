// SPDX-License-Identifier: BSD-3-Clause
// CIF import, space-group extinctions, structure factors, double diffraction, the phase file
// and the built-in phase set.
#include <algorithm>
#include <clocale>  // for setlocale
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/builtinphases.h"
#include "library/cifimport.h"
#include "library/phasefile.h"
#include "library/reflections.h"
#include "library/spacegroup.h"

namespace saed::library {
namespace {

using core::Hkl;

std::string dataFile(const std::string& name) { return std::string(SAED_TEST_DATA) + "/" + name; }

CrystalPhase onlyPhase(const std::string& file) {
    const CifImport read = readCifFile(dataFile(file));
    EXPECT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.phases.size(), 1u);
    return read.phases.empty() ? CrystalPhase{} : read.phases[0];
}

// Checks a hand-worked list: each entry is admitted exactly when `allowed` says so.
void expectAdmits(const core::ReflectionRule& rule, const std::vector<Hkl>& allowed,
                  const std::vector<Hkl>& absent) {
    for (const Hkl& g : allowed)
        EXPECT_TRUE(rule.admits(g)) << g[0] << " " << g[1] << " " << g[2] << " should be allowed";
    for (const Hkl& g : absent)
        EXPECT_FALSE(rule.admits(g)) << g[0] << " " << g[1] << " " << g[2] << " should be absent";
}

TEST(CifImportTest, databaseCifWithUncertaintiesAndOrigin2) {
    const CrystalPhase si = onlyPhase("si-uncertainty.cif");
    EXPECT_EQ(si.name, "Silicon");
    EXPECT_DOUBLE_EQ(si.cell.aNm, 0.54307);
    EXPECT_DOUBLE_EQ(si.cellSu.aNm, 0.00002);
    EXPECT_DOUBLE_EQ(si.cellSu.gammaDeg, 0.005);
    EXPECT_DOUBLE_EQ(si.cellSu.betaDeg, 0.0);
    ASSERT_TRUE(si.spaceGroup);
    EXPECT_EQ(si.spaceGroup->number, 227);
    EXPECT_EQ(si.spaceGroup->operations.size(), 192u);
    ASSERT_EQ(si.atoms.size(), 1u);
    EXPECT_EQ(si.atoms[0].element, "Si");  // "Si0+" loses its charge
    EXPECT_DOUBLE_EQ(si.atoms[0].uIsoA2, 0.0049);

    // Si: (2 0 0) and (0 0 2) absent by the d glide, (2 2 2) only because |F| vanishes.
    const SpaceGroupRule rule(si);
    expectAdmits(rule, {{1, 1, 1}, {2, 2, 0}, {3, 1, 1}, {4, 0, 0}, {-1, 1, -1}},
                 {{2, 0, 0}, {0, 0, 2}, {2, 2, 2}, {1, 1, 0}, {2, 1, 1}, {4, 2, 0}});
    EXPECT_FALSE(rule.systematicallyAbsent({2, 2, 2}));
    EXPECT_TRUE(rule.systematicallyAbsent({2, 0, 0}));

    // Origin choice 2 written the database way ("Z"), half occupancy: the same absences, and
    // |F| halves.
    const CrystalPhase si2 = onlyPhase("si-origin2.cif");
    ASSERT_TRUE(si2.spaceGroup);
    EXPECT_EQ(si2.spaceGroup->hm, "F d -3 m:2");
    EXPECT_DOUBLE_EQ(si2.atoms.at(0).occupancy, 0.5);
    CrystalPhase si1 = si;
    si1.atoms[0].uIsoA2 = 0;
    const SpaceGroupRule rule1(si1), rule2(si2);
    expectAdmits(rule2, {{1, 1, 1}, {2, 2, 0}}, {{2, 0, 0}, {2, 2, 2}});
    // Diamond: |F(1 1 1)| = 4 sqrt(2) f and |F(2 2 0)| = 8 f, f being one atom's amplitude, which
    // a lone Si atom in P 1 gives.
    CrystalPhase lone = si1;
    lone.spaceGroup.reset();
    const SpaceGroupRule one(lone);
    const double f111 = *rule1.structureFactor({1, 1, 1});
    EXPECT_NEAR(f111, 4 * std::sqrt(2.0) * *one.structureFactor({1, 1, 1}), 1e-9);
    EXPECT_NEAR(*rule1.structureFactor({2, 2, 0}), 8 * *one.structureFactor({2, 2, 0}), 1e-9);
    EXPECT_NEAR(*rule2.structureFactor({1, 1, 1}), f111 / 2, 1e-9);
    EXPECT_EQ(*rule1.structureFactor({2, 2, 2}), 0.0);
    EXPECT_EQ(*rule1.structureFactor({2, 0, 0}), 0.0);
}

TEST(CifImportTest, operatorLoopWithoutNameHexagonalAndMonoclinic) {
    const CrystalPhase rutile = onlyPhase("rutile-operators.cif");
    ASSERT_TRUE(rutile.spaceGroup);
    EXPECT_EQ(rutile.spaceGroup->hm, "P 42/m n m");
    EXPECT_EQ(rutile.spaceGroup->number, 136);
    EXPECT_NEAR(rutile.atoms.at(1).uIsoA2, 0.60 / (8 * 9.8696044), 1e-9);  // from B
    // P 42/m n m: 0kl with k + l odd, 00l with l odd, h00 with h odd are absent.
    expectAdmits(SpaceGroupRule(rutile), {{1, 1, 0}, {1, 0, 1}, {2, 0, 0}, {1, 1, 1}, {2, 1, 0}},
                 {{0, 0, 1}, {1, 0, 0}, {0, 1, 2}, {0, 3, 0}, {0, 0, 3}});

    const CifImport two = readCifFile(dataFile("hexagonal-monoclinic.cif"));
    ASSERT_TRUE(two.ok()) << two.error;
    ASSERT_EQ(two.phases.size(), 2u);  // the block without a cell is passed over
    const CrystalPhase& ti = two.phases[0];
    EXPECT_EQ(ti.name, "α-Ti");
    EXPECT_DOUBLE_EQ(ti.cell.gammaDeg, 120);
    EXPECT_EQ(ti.spaceGroup->number, 194);
    EXPECT_EQ(ti.atoms.at(0).element, "Ti");  // from the label
    // hcp: 00l and hh-2hl need l even; (1 1 1) and (2 -1 1) are of the second kind.
    expectAdmits(SpaceGroupRule(ti), {{0, 0, 2}, {1, 0, 0}, {1, 0, 1}, {1, 1, 0}, {1, 1, 2}},
                 {{0, 0, 1}, {1, 1, 1}, {2, -1, 1}, {0, 0, 3}});

    const CrystalPhase& zro2 = two.phases[1];
    EXPECT_EQ(zro2.name, "Baddeleyite");
    EXPECT_EQ(zro2.spaceGroup->hm, "P 1 21/c 1");  // from the number alone
    EXPECT_DOUBLE_EQ(zro2.cellSu.betaDeg, 0.001);
    // P 21/c, unique axis b: h0l with l odd, 0k0 with k odd are absent.
    expectAdmits(SpaceGroupRule(zro2), {{1, 0, 0}, {0, 2, 0}, {0, 0, 2}, {1, 0, 2}, {1, 1, 1}, {0, 1, 1}},
                 {{1, 0, 1}, {0, 1, 0}, {0, 0, 1}, {2, 0, -1}, {0, 3, 0}});
}

int atomsInCell(const CrystalPhase& phase) {
    int n = 0;
    for (int m : SpaceGroupRule(phase).siteMultiplicities()) n += m;
    return n;
}

bool warned(const CifImport& read, const std::string& what) {
    return std::any_of(read.warnings.begin(), read.warnings.end(),
                       [&](const std::string& w) { return w.find(what) != std::string::npos; });
}

// Expected |F| from explicit sums over every atom of the cell with the IT C 4.3.2.2 factors
// (a short script apart from this program): hcp Mg (1 0 0) 2.2018, wurtzite ZnO (1 0 0) 5.2262
// and (0 0 2) 7.8479, diamond Si (1 1 1) 18.4295; (0 0 1) of both hexagonal phases is 0.
TEST(CifImportTest, roundedCoordinatesOriginChoiceAndIncompleteOperators) {
    // 0.3333/0.6667 with the 24 operators of P 63/m m c: still two atoms on 2c.
    const CrystalPhase mg = onlyPhase("mg-four-decimals.cif");
    EXPECT_EQ(atomsInCell(mg), 2);
    const SpaceGroupRule mgRule(mg);
    EXPECT_NEAR(*mgRule.structureFactor({1, 0, 0}), 2.2018, 2e-3);
    EXPECT_NEAR(*mgRule.structureFactor({0, 0, 1}), 0, 1e-9);
    EXPECT_FALSE(mgRule.admits({0, 0, 1}));

    // Six operators that are not a group: completed to the twelve of P 63 m c, and said.
    const CifImport zno = readCifFile(dataFile("zno-partial-operators.cif"));
    ASSERT_EQ(zno.phases.size(), 1u);
    ASSERT_TRUE(zno.phases[0].spaceGroup);
    EXPECT_EQ(zno.phases[0].spaceGroup->number, 186);
    EXPECT_EQ(zno.phases[0].spaceGroup->operations.size(), 12u);
    EXPECT_TRUE(warned(zno, "6 symmetry operators given are not a whole group; completed to the 12")) << zno.warnings.at(0);
    EXPECT_EQ(atomsInCell(zno.phases[0]), 4);
    const SpaceGroupRule znoRule(zno.phases[0]);
    EXPECT_NEAR(*znoRule.structureFactor({1, 0, 0}), 5.2262, 2e-3);
    EXPECT_NEAR(*znoRule.structureFactor({0, 0, 2}), 7.8479, 2e-3);
    // Within +-4 the two pairs cancel wherever h - k = 3n and l is odd: 27 (h k) times 4 l.
    int absent = 0;
    for (const Reflection& r : reflections(zno.phases[0], 4)) absent += r.allowed ? 0 : 1;
    EXPECT_EQ(absent, 108);

    // A symbol without origin: the atoms decide where they sit on special positions of one
    // choice only, otherwise origin choice 2; each choice is said. Old and Hall spellings read.
    const CifImport set = readCifFile(dataFile("symbols-without-setting.cif"));
    ASSERT_EQ(set.phases.size(), 5u) << set.error;
    EXPECT_EQ(set.phases[0].spaceGroup->hm, "F d -3 m:2");
    EXPECT_EQ(atomsInCell(set.phases[0]), 8);
    EXPECT_NEAR(*SpaceGroupRule(set.phases[0]).structureFactor({1, 1, 1}), 18.4295, 2e-3);
    EXPECT_TRUE(warned(set, "data_Si_eighth: space group \"F d -3 m\" names no origin; origin choice 2 taken "
                            "(F d -3 m:2): the atoms sit on its special positions, 8 atoms in the cell against 16 "
                            "in origin choice 1"));
    EXPECT_EQ(set.phases[1].spaceGroup->hm, "F d -3 m:1");
    EXPECT_EQ(atomsInCell(set.phases[1]), 8);
    EXPECT_EQ(set.phases[2].spaceGroup->hm, "F d -3 m:2");
    EXPECT_EQ(atomsInCell(set.phases[2]), 192);
    EXPECT_TRUE(warned(set, "data_Si_general: space group \"227\" names no origin; origin choice 2 taken "
                            "(F d -3 m:2), the International Tables default"));
    EXPECT_EQ(set.phases[3].spaceGroup->number, 225);
    EXPECT_EQ(atomsInCell(set.phases[3]), 4);
    EXPECT_EQ(set.phases[4].spaceGroup->hm, "P 1 21/c 1");
    EXPECT_EQ(atomsInCell(set.phases[4]), 4);
    EXPECT_EQ(set.warnings.size(), 3u);

    for (const auto& [symbol, number] : std::vector<std::pair<std::string, int>>{
             {"F m 3 m", 225}, {"Fd3m", 227}, {"Ia3d", 230}, {"P m 3", 200}, {"Pn3m", 224}, {"P2_1/c", 14},
             {"P2_1/n", 14}, {"P 2_1 2_1 2_1", 19}, {"P4_2/mnm", 136}, {"-P 2ybc", 14}, {"-F 4vw 2vw 3", 227},
             {"P 2 3", 195}, {"230", 230}}) {
        const auto sg = spaceGroupBySymbol(symbol);
        ASSERT_TRUE(sg) << symbol;
        EXPECT_EQ(sg->number, number) << symbol;
    }
    EXPECT_EQ(spaceGroupBySymbol("P2_1/n")->hm, "P 1 21/n 1");
    for (const char* bad : {"0", "231", "-1", "P 9", "Q m 3 m", "", "1P"}) EXPECT_FALSE(spaceGroupBySymbol(bad)) << bad;
}

// Each group against a cell that fits it (to the rounding of a file's last digit) and one that
// breaks one of its conditions.
TEST(SpaceGroupTest, cellConditionsOfTheGroup) {
    struct Case {
        const char* group;
        core::Cell fits, breaks;
        CellConditions conditions;
    };
    const std::vector<Case> cases{
        {"P 63/m m c", {0.29506, 0.29506, 0.46835, 90, 90, 120}, {0.5, 0.5, 0.5, 90, 90, 90}, CellConditions::Hexagonal},
        {"F d -3 m", {0.5431, 0.5431, 0.5432, 90, 90, 90}, {0.5431, 0.5431, 0.56, 90, 90, 90}, CellConditions::Cubic},
        {"P 4/m m m", {0.3, 0.3, 0.5, 90, 90, 90}, {0.3, 0.31, 0.5, 90, 90, 90}, CellConditions::Tetragonal},
        {"P n m a", {0.5, 0.6, 0.7, 90, 90, 90}, {0.5, 0.6, 0.7, 90, 90, 91}, CellConditions::Orthorhombic},
        {"P 1 21/c 1", {0.5, 0.6, 0.7, 90, 99, 90}, {0.5, 0.6, 0.7, 95, 99, 90}, CellConditions::MonoclinicB},
        {"P 1 1 2", {0.5, 0.6, 0.7, 90, 90, 100}, {0.5, 0.6, 0.7, 90, 100, 90}, CellConditions::MonoclinicC},
        {"P 2 1 1", {0.5, 0.6, 0.7, 100, 90, 90}, {0.5, 0.6, 0.7, 90, 90, 100}, CellConditions::MonoclinicA},
        {"R -3 m:R", {0.5, 0.5, 0.5, 60, 60, 60}, {0.5, 0.5, 0.5, 60, 60, 61}, CellConditions::Rhombohedral},
        {"R -3 m:H", {0.3, 0.3, 1.4, 90, 90, 120}, {0.3, 0.3, 1.4, 90, 90, 90}, CellConditions::Hexagonal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group);
        const auto group = spaceGroupBySymbol(c.group);
        ASSERT_TRUE(group);
        EXPECT_FALSE(brokenCellConditions(c.fits, *group));
        EXPECT_EQ(brokenCellConditions(c.breaks, *group), c.conditions);
    }
    EXPECT_FALSE(brokenCellConditions({0.3, 0.5, 0.7, 70, 80, 100}, *spaceGroupBySymbol("P -1")));
    EXPECT_EQ(cellConditionsText(CellConditions::Hexagonal), "a = b, α = β = 90°, γ = 120°");
    // A CIF whose cell breaks its own group is left out, with the reason.
    const CifImport broken = readCifText("data_x\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n"
                                         "_symmetry_space_group_name_H-M 'P 63/m m c'\n", "h.cif");
    EXPECT_TRUE(broken.phases.empty());
    EXPECT_EQ(broken.warnings, std::vector<std::string>{"h.cif, data_x: the cell does not fit space group P 63/m m c, "
                                                        "whose cell has a = b, α = β = 90°, γ = 120°; the block is left out"});
}

TEST(CifImportTest, unreadableFilesNameTheFileAndTheReason) {
    const CifImport missing = readCifFile("/nonexistent/x.cif");
    EXPECT_EQ(missing.error, "/nonexistent/x.cif: cannot be opened");
    const CifImport junk = readCifText("data_x\n_cell_length_a 'unclosed\n", "junk.cif");
    EXPECT_EQ(junk.error, "junk.cif: not a readable CIF (line 2, column 25: unterminated 'string')");
    EXPECT_TRUE(junk.phases.empty());
    const CifImport noCell = readCifText("data_x\n_chemical_name_common Quartz\n", "q.cif");
    EXPECT_EQ(noCell.error, "q.cif: no data block with a unit cell (_cell_length_a, "
                            "_cell_length_b, _cell_length_c)");
    // A repeated tag: read once when the values agree or one is empty, an error naming it and
    // its line when they differ.
    const std::string cell = "_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n";
    const CifImport repeated = readCifText("data_global\n" + cell + "_chemical_formula_sum 'Al2 O3'\n"
                                           "_chemical_formula_sum ''\n_cell_length_a 4\n", "r.cif");
    ASSERT_EQ(repeated.phases.size(), 1u) << repeated.error;
    EXPECT_EQ(repeated.phases[0].name, "Al2 O3");
    EXPECT_EQ(repeated.warnings, (std::vector<std::string>{
                                     "r.cif, data_global: tag _chemical_formula_sum repeated at line 6 with an empty value; read once",
                                     "r.cif, data_global: tag _cell_length_a repeated at line 7 with the same value; read once"}));
    const CifImport emptyFirst = readCifText("data_g\n" + cell + "_chemical_name_common ?\n_chemical_name_common Corundum\n", "e.cif");
    ASSERT_EQ(emptyFirst.phases.size(), 1u);
    EXPECT_EQ(emptyFirst.phases[0].name, "Corundum");
    EXPECT_EQ(readCifText("data_global\n" + cell + "_cell_length_a 5\n", "d.cif").error,
              "d.cif: not a readable CIF (duplicate tag _cell_length_a at line 5 in data_global)");
    EXPECT_EQ(readCifText("data_g\n" + cell + "loop_\n_cell_length_b\n4\n", "l.cif").error,
              "l.cif: not a readable CIF (duplicate tag _cell_length_b at line 5 in data_g)");
    const CifImport badGroup = readCifText("data_x\n_cell_length_a 4\n_cell_length_b 4\n"
                                           "_cell_length_c 4\n_symmetry_space_group_name_H-M "
                                           "'Q 9'\nloop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n"
                                           "x,x,z\n", "g.cif");
    ASSERT_EQ(badGroup.phases.size(), 1u);
    std::string error;
    EXPECT_FALSE(spaceGroupFromOperations({"x,y,z", "-222222222222x,-y,z"}, &error));
    EXPECT_EQ(error, "\"-222222222222x,-y,z\" is not a symmetry operator");
    EXPECT_FALSE(spaceGroupFromOperations({"x,y,z", "x+1/0,y,z"}));
    EXPECT_FALSE(badGroup.phases[0].spaceGroup);
    EXPECT_EQ(badGroup.warnings.size(), 2u);  // the operators and the symbol, each said once

    // Atoms per cell beyond the limit: counted as sites (P 1) or as the group fills the cell
    // (105 general positions of F m -3 m are 20160 atoms); the limit itself passes.
    const auto sites = [](int n, const char* group) {
        std::string text = std::string("data_big\n_cell_length_a 40\n_cell_length_b 40\n_cell_length_c 40\n"
                                       "_symmetry_space_group_name_H-M '") + group +
                           "'\nloop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";
        for (int i = 0; i < n; ++i)
            text += "C" + std::to_string(i) + " " + std::to_string(0.0113 + 0.0000371 * i) + " " +
                    std::to_string(0.0271 + 0.0000113 * i) + " " + std::to_string(0.0411 + 0.0000173 * i) + "\n";
        return readCifText(text, "big.cif");
    };
    const CifImport atLimit = sites(20000, "P 1");
    ASSERT_EQ(atLimit.phases.size(), 1u) << atLimit.error;
    for (const auto& [n, group, count] : {std::tuple{20001, "P 1", "20001 atom sites"},
                                          std::tuple{105, "F m -3 m", "20160 atoms in the cell"}}) {
        const CifImport big = sites(n, group);
        EXPECT_TRUE(big.phases.empty());
        ASSERT_FALSE(big.warnings.empty());
        EXPECT_EQ(big.warnings.back(), std::string("big.cif, data_big: ") + count +
                                           ", more than the limit of 20000 atoms per cell; the block is left out");
    }
}

TEST(PhaseFileTest, roundTripsThroughItselfAndCif) {
    std::vector<CrystalPhase> phases = readCifFile(dataFile("hexagonal-monoclinic.cif")).phases;
    phases.push_back(onlyPhase("rutile-operators.cif"));
    phases[2].name = "金红石 TiO2";  // a name outside CIF's character set
    phases[2].source = "Abrahams & Bernstein, 1971";
    CrystalPhase odd;  // a group known only by its operators
    odd.name = "P 1 with a shift";
    odd.cell = {0.3, 0.4, 0.5, 80, 85, 95};
    odd.spaceGroup = spaceGroupFromOperations({"x,y,z", "x+1/2,y+1/2,z"});
    ASSERT_TRUE(odd.spaceGroup);
    phases.push_back(odd);

    const std::string text = writePhaseFile(phases);
    const PhaseFileRead back = readPhaseFile(text, "t.phases");
    ASSERT_TRUE(back.ok()) << back.error;
    ASSERT_EQ(back.phases.size(), phases.size());
    for (std::size_t i = 0; i < phases.size(); ++i) EXPECT_EQ(back.phases[i], phases[i]) << phases[i].name;  // every field

    const CifImport cif = readCifText(writeCif(phases), "t.cif");
    ASSERT_TRUE(cif.ok()) << cif.error;
    ASSERT_EQ(cif.phases.size(), phases.size());
    for (std::size_t i = 0; i < phases.size(); ++i) {
        SCOPED_TRACE(phases[i].name);
        EXPECT_EQ(cif.phases[i].name, phases[i].name);
        EXPECT_EQ(cif.phases[i].spaceGroup, phases[i].spaceGroup);
        EXPECT_EQ(cif.phases[i].atoms, phases[i].atoms);
        EXPECT_NEAR(cif.phases[i].cell.aNm, phases[i].cell.aNm, 1e-12);
        EXPECT_NEAR(cif.phases[i].cellSu.cNm, phases[i].cellSu.cNm, 1e-12);
        EXPECT_DOUBLE_EQ(cif.phases[i].cell.betaDeg, phases[i].cell.betaDeg);
    }
    EXPECT_EQ(cif.phases[2].source, "Abrahams & Bernstein, 1971");

    // Uncertainties of every size write a number that reads back with its uncertainty.
    const struct {
        double value, su;
        const char* text;
    } numbers[] = {{0.54307, 0.00002, "0.54307(2)"}, {0.5431, 0.00012, "0.54310(12)"},
                   {1234.5, 30, "123e1(3)"}, {2.9e27, 1e26, "290e25(10)"}, {90, 0, "90"},
                   {0.43, 95.73, "0.4(957)"}};  // the value is not rounded away
    // The same under a locale whose decimal point is a comma: a phase file written there reads back.
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (!std::setlocale(LC_NUMERIC, locale)) continue;
        for (const auto& n : numbers) {
            EXPECT_EQ(formatNumberWithSu(n.value, n.su), n.text) << locale;
            const auto read = parseNumberWithSu(n.text);
            ASSERT_TRUE(read) << n.text;
            EXPECT_NEAR(read->su, n.su, n.su * 1e-3) << n.text;
        }
        EXPECT_TRUE(readPhaseFile(writePhaseFile(phases), "t.phases").ok()) << locale;
    }
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_FALSE(parseNumberWithSu("1.2(3"));
    EXPECT_FALSE(parseNumberWithSu("?"));

    const PhaseFileRead bad = readPhaseFile("phase A\ncell 0.3 0.3 0.3 90 90 90\n"
                                            "spacegroup P 63/m m c\natom Ti1 Ti 0 0\n", "b.phases");
    EXPECT_EQ(bad.error, "b.phases, line 4: an atom needs label, element, x, y, z [, occupancy "
                         "[, Uiso]]");
    EXPECT_TRUE(bad.phases.empty());
    EXPECT_EQ(readPhaseFile("phase B\n", "c.phases").error,
              "c.phases, line 2: phase \"B\" has no cell line");
}

TEST(ReflectionsTest, alphaTiBasalReflectionsAndDoubleDiffraction) {
    CrystalPhase ti;
    ti.cell = {0.29506, 0.29506, 0.46835, 90, 90, 120};
    ti.spaceGroup = spaceGroupBySymbol("P 63/m m c");
    ASSERT_TRUE(ti.spaceGroup);
    const SpaceGroupRule rule(ti);  // no atoms: the group alone decides
    EXPECT_FALSE(rule.admits({0, 0, 1}));
    EXPECT_TRUE(rule.admits({0, 0, 2}));
    const core::ReflectionTable table(rule, 3);
    // [11-20] is [1 1 0] in three indices: (0 0 0 1) = (1 -1 0 0) + (-1 1 0 1) there.
    EXPECT_TRUE(table.reachableInZone({0, 0, 1}, {1, 1, 0}));
    EXPECT_FALSE(table.reachableInZone({0, 0, 1}, {0, 0, 1}));  // (0 0 1) is not in [0 0 1]
    EXPECT_FALSE(table.reachableByDoubleDiffraction({0, 0, 2}));  // allowed already

    // Face-centred lattice: (1 0 0) cannot be reached, the centring forbids any sum.
    const core::LatticeTypeRule faceCentred(core::LatticeType::FaceCentred);
    const core::ReflectionTable fcc(faceCentred, 3);
    EXPECT_FALSE(fcc.reachableByDoubleDiffraction({1, 0, 0}));
    // Si (2 0 0) = (1 1 1) + (1 -1 -1).
    const CrystalPhase si = onlyPhase("si-uncertainty.cif");
    const SpaceGroupRule siRule(si);
    EXPECT_TRUE(core::ReflectionTable(siRule, 2).reachableByDoubleDiffraction({2, 0, 0}));
    // F d -3 c: (3 3 3) is forbidden; (3 3 3) = (-2 2 2) + (5 1 1), whose (5 1 1) lies beyond
    // +-4. The flag follows the plane, not the printed range.
    CrystalPhase fd3c;
    fd3c.cell = {1.0, 1.0, 1.0, 90, 90, 90};
    fd3c.spaceGroup = spaceGroupBySymbol("F d -3 c");
    for (int range : {3, 4, 5}) {
        const std::vector<Reflection> all = reflections(fd3c, range);
        const auto r333 = std::find_if(all.begin(), all.end(), [](const Reflection& r) { return r.hkl == Hkl{3, 3, 3}; });
        ASSERT_NE(r333, all.end());
        EXPECT_FALSE(r333->allowed);
        EXPECT_TRUE(r333->doubleDiffraction) << range;
    }
    const core::ReflectionTable fcc5(faceCentred, 5);
    EXPECT_FALSE(fcc5.reachableByDoubleDiffraction({1, 0, 0}));
    EXPECT_FALSE(fcc5.reachableByDoubleDiffraction({5, 4, 4}));

    const std::vector<Reflection> list = reflections(ti, 1);
    ASSERT_EQ(list.size(), 26u);
    EXPECT_EQ(list[0].hkl, (Hkl{0, 0, -1}));  // d = c, (0 0 -1) before (0 0 1)
    EXPECT_EQ(list[1].hkl, (Hkl{0, 0, 1}));
    EXPECT_NEAR(list[0].dNm, 0.46835, 1e-12);
    EXPECT_NEAR(list[2].dNm, 0.29506 * std::sqrt(3.0) / 2, 1e-12);
    const auto basal = std::find_if(list.begin(), list.end(),
                                    [](const Reflection& r) { return r.hkl == Hkl{0, 0, 1}; });
    ASSERT_NE(basal, list.end());
    EXPECT_FALSE(basal->allowed);
    EXPECT_TRUE(basal->doubleDiffraction);
    EXPECT_FALSE(basal->structureFactor);
    for (std::size_t i = 1; i < list.size(); ++i) EXPECT_GE(list[i - 1].dNm, list[i].dNm);
}

// The largest allowed spacings, each once.
std::vector<double> strongestSpacings(const CrystalPhase& phase, std::size_t count) {
    std::vector<double> out;
    for (const Reflection& r : reflections(phase, 4))
        if (r.allowed && (out.empty() || out.back() - r.dNm > 1e-6) && out.size() < count)
            out.push_back(r.dNm);
    return out;
}

TEST(BuiltInPhasesTest, everyEntryLoadsAndGivesTextbookSpacings) {
    const auto& phases = builtInPhases();
    ASSERT_GE(phases.size(), 60u);
    std::set<std::string> names;
    for (const CrystalPhase& p : phases) {
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(names.insert(p.name).second);
        EXPECT_FALSE(p.source.empty());
        ASSERT_TRUE(p.spaceGroup);
        EXPECT_GT(p.spaceGroup->number, 0);
        EXPECT_FALSE(p.atoms.empty());
        const SpaceGroupRule rule(p);
        EXPECT_EQ(rule.warning(), "");
        const auto d = strongestSpacings(p, 1);
        ASSERT_EQ(d.size(), 1u);
        EXPECT_GT(d[0], 0.1);
        EXPECT_LE(d[0], std::max({p.cell.aNm, p.cell.bNm, p.cell.cNm}) + 1e-12);
    }
    ASSERT_EQ(readPhaseFile(kBuiltInPhasesText, "phases.txt").error, "");
    const auto find = [&](const std::string& name) {
        const auto it = std::find_if(phases.begin(), phases.end(),
                                     [&](const CrystalPhase& p) { return p.name == name; });
        EXPECT_NE(it, phases.end()) << name;
        return it == phases.end() ? CrystalPhase{} : *it;
    };
    // Wyckoff multiplicities of International Tables A: a wrong symbol, setting or special
    // position shows here.
    const struct {
        const char* name;
        std::vector<int> multiplicities;
    } contents[] = {{"Si", {8}},
                    {"α-Ti", {2}},
                    {"GaN", {2, 2}},
                    {"TiO2 (rutile)", {2, 4}},
                    {"TiO2 (anatase)", {4, 8}},
                    {"α-Al2O3 (corundum)", {12, 18}},
                    {"Fe3O4 (magnetite)", {8, 16, 32}},
                    {"Cr23C6 (M23C6)", {4, 8, 32, 48, 24}},
                    {"Fe3C (cementite)", {8, 4, 4}},
                    {"MgZn2 (C14 Laves)", {4, 2, 6}},
                    {"Ti3Al (α2)", {6, 2}},
                    {"θ-Al2Cu", {4, 8}},
                    {"Nb3Sn (A15)", {2, 6}},
                    {"σ-FeCr (σ phase)", {2, 2, 4, 4, 8, 8, 8, 8, 8, 8}},
                    {"ZrO2 (baddeleyite)", {4, 4, 4}},
                    {"CuO (tenorite)", {4, 4}}};
    for (const auto& c : contents) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SpaceGroupRule(find(c.name)).siteMultiplicities(), c.multiplicities);
    }

    // Powder-pattern d-values (nm) of the strongest lines, to four digits.
    const struct {
        const char* name;
        std::vector<double> d;
    } cases[] = {{"Al", {0.2338, 0.2025, 0.1432, 0.1221}},
                 {"α-Fe (ferrite)", {0.2027, 0.1433, 0.1170}},
                 {"Si", {0.3135, 0.1920, 0.1638, 0.1358}},  // (2 2 2) left out
                 {"TiO2 (rutile)", {0.3248, 0.2487, 0.2297, 0.2188, 0.2054}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = strongestSpacings(find(c.name), c.d.size());
        ASSERT_EQ(d.size(), c.d.size());
        for (std::size_t i = 0; i < d.size(); ++i) EXPECT_NEAR(d[i], c.d[i], 2e-4) << i;
    }
}

TEST(SpaceGroupRuleTest, extinctionThresholdHoldsFromBothSides) {
    // Two aluminium atoms of P 1 at 0 and 1/2 along a: (1 0 0) keeps |F| = f (1 - occ) of an
    // amplitude sum f (1 + occ). A ratio of 0.002 is a reflection, 0.0005 an extinction: a
    // threshold moved by a factor of two either way changes one of them.
    for (const auto& [occupancy, admitted] : {std::pair{0.996, true}, std::pair{0.999, false}}) {
        CrystalPhase phase;
        phase.cell = {0.4, 0.4, 0.4, 90, 90, 90};
        phase.spaceGroup = spaceGroupByNumber(1);
        phase.atoms = {{"Al1", "Al", {0, 0, 0}, 1.0, 0.0}, {"Al2", "Al", {0.5, 0, 0}, occupancy, 0.0}};
        const SpaceGroupRule rule(phase);
        SCOPED_TRACE((1 - occupancy) / (1 + occupancy));
        EXPECT_EQ(rule.admits({1, 0, 0}), admitted);
        EXPECT_TRUE(rule.admits({2, 0, 0}));  // in phase: |F| = f (1 + occ)
    }
}

}  // namespace
}  // namespace saed::library
