#include "library/phaseranking.h"

#include <algorithm>  // for stable_sort, replace
#include <cstdio>     // for snprintf

#include "core/holohedry.h"
#include "library/spacegroup.h"

namespace saed::library {

std::string latticeTypeText(const CrystalPhase& phase) {
    const char centring = phase.spaceGroup && !phase.spaceGroup->hm.empty() ? phase.spaceGroup->hm[0] : 'P';
    switch (centring) {
    case 'A':
    case 'B':
    case 'C': return "底心点阵";
    case 'I': return "体心点阵";
    case 'F': return "面心点阵";
    case 'R': return "菱形点阵";
    default: return "简单点阵";
    }
}

std::string spaceGroupLabel(const CrystalPhase& phase) {
    if (!phase.spaceGroup) return {};
    const SpaceGroupSymbol& sg = *phase.spaceGroup;
    std::string text = sg.hm.empty() ? std::string("?") : sg.hm;
    if (sg.number > 0) text += " (" + std::to_string(sg.number) + ")";
    return text;
}

namespace {

std::string fieldText(std::string text) {
    for (char& c : text)
        if (c == ';' || c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string number(double value) { return formatNumberWithSu(value, 0); }

std::string ratioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", ratio);
    return text;
}

}  // namespace

std::string libraryRecords(std::span<const CrystalPhase> phases) {
    std::string out;
    for (const CrystalPhase& phase : phases) {
        const core::Cell& c = phase.cell;
        std::string type = latticeTypeText(phase);
        if (const std::string sg = spaceGroupLabel(phase); !sg.empty()) type += " " + sg;
        const double ratio = c.aNm > 0 ? c.cNm / c.aNm : 0;
        for (const std::string& field :
             {fieldText(phase.name), fieldText(type), ratioText(ratio), number(c.aNm), number(c.bNm), number(c.cNm),
              number(c.alphaDeg), number(c.betaDeg), number(c.gammaDeg)})
            out += field + ";";
    }
    return out;
}

std::shared_ptr<const core::ReflectionRule> phaseRule(const CrystalPhase& phase) {
    return std::make_shared<const SpaceGroupRule>(phase);
}

indexing::IndexingInput phaseInput(const CrystalPhase& phase, const indexing::MeasuredPattern& measured,
                                   const indexing::Tolerances& tolerances, int rangeN, bool doubleDiffraction) {
    indexing::IndexingInput input;
    input.cell = phase.cell;
    input.latticeType = indexing::kSpaceGroupType;
    input.rule = phaseRule(phase);
    input.doubleDiffraction = doubleDiffraction;
    input.rangeN = rangeN;
    input.measured = measured;
    input.tolerances = tolerances;
    return input;
}

std::optional<indexing::SolutionFamily> bestFamily(std::span<const indexing::ResultRow> rows,
                                                   const indexing::IndexingInput& input) {
    if (rows.empty()) return std::nullopt;
    std::vector<double> misfits;
    misfits.reserve(rows.size());
    for (const indexing::ResultRow& row : rows)
        misfits.push_back(indexing::misfit(row, input.measured, input.tolerances));
    const indexing::FamilyGrouping grouping = indexing::groupFamilies(rows, misfits, core::holohedry(input.cell));
    if (grouping.families.empty()) return std::nullopt;
    return grouping.families.front();
}

void sortRanking(std::vector<PhaseRank>& ranks) {
    std::stable_sort(ranks.begin(), ranks.end(), [](const PhaseRank& x, const PhaseRank& y) {
        if (x.best.has_value() != y.best.has_value()) return x.best.has_value();
        if (!x.best) return false;
        return x.best->misfit < y.best->misfit;
    });
}

std::vector<PhaseRank> rankPhases(std::span<const CrystalPhase> phases, const indexing::MeasuredPattern& measured,
                                  const indexing::Tolerances& tolerances, int rangeN, bool doubleDiffraction) {
    std::vector<PhaseRank> ranks;
    ranks.reserve(phases.size());
    for (std::size_t i = 0; i < phases.size(); ++i) {
        const indexing::IndexingInput input = phaseInput(phases[i], measured, tolerances, rangeN, doubleDiffraction);
        const std::vector<indexing::ResultRow> rows = indexing::indexPattern(input);
        PhaseRank rank{i, rows.size(), bestFamily(rows, input), false};
        if (rank.best) rank.doubleDiffraction = rows[rank.best->representative].doubleDiffraction;
        ranks.push_back(std::move(rank));
    }
    sortRanking(ranks);
    return ranks;
}

}  // namespace saed::library
