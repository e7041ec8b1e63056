// SPDX-License-Identifier: BSD-3-Clause
// The main window's "倾转与取向" tab: the current result set and the shown row handed to the
// tilt check and orientation panel whenever the tab comes up.
#include "app/form1.h"

#include <QTabWidget>

#include <cmath>  // for fabs, fmax

#include "analysis/identifyrun.h"
#include "app/orientationpanel.h"
#include "app/resultspanel.h"
#include "app/simulationpanel.h"
#include "core/reflectionrule.h"
#include "indexing/indexingoperations.h"
#include "library/phaselibrary.h"
#include "model/resulttablemodel.h"

namespace saed::app {

QWidget* Form1::buildOrientationTab() {
    m_orientationPanel = new OrientationPanel(m_prompts);
    // One setting of three or four indices, whichever tab switches it.
    connect(m_simulation, &SimulationPanel::fourIndexToggled, &m_model, &model::MainModel::setFourIndex);
    connect(m_orientationPanel, &OrientationPanel::fourIndexToggled, &m_model, &model::MainModel::setFourIndex);
    connect(&m_model, &model::MainModel::fourIndexChanged, m_simulation, &SimulationPanel::setFourIndex);
    connect(&m_model, &model::MainModel::fourIndexChanged, m_orientationPanel, &OrientationPanel::setFourIndex);
    m_simulation->setFourIndex(m_model.fourIndex());
    m_orientationPanel->setFourIndex(m_model.fourIndex());
    // An image's pattern is identified against the phase of the lattice fields: a library
    // crystal of that cell when they are ruled by the space group, else the cell and lattice type.
    m_orientationPanel->setPatternPhaseSource([this]() -> std::optional<PatternPhase> {
        using model::Field;
        const core::Cell cell{m_model.value(Field::A),     m_model.value(Field::B),    m_model.value(Field::C),
                              m_model.value(Field::Alpha), m_model.value(Field::Beta), m_model.value(Field::Gamma)};
        if (!core::isCell(cell)) return std::nullopt;
        PatternPhase found;
        found.calibration = analysis::fieldCalibration(m_model);
        const int type = m_model.Combo1();
        if (type >= 0 && type <= 4) {
            found.phase.name = m_model.Text6().trimmed().toStdString();
            found.phase.cell = cell;
            found.latticeType = type;
            return found;
        }
        const auto close = [](double x, double y) { return std::fabs(x - y) <= 1e-6 * std::fmax(1.0, std::fabs(x)); };
        const library::PhaseLibrary& library = *library::phaseLibrary(m_model);
        for (int r = 1; r <= library.tree().recordCount(); ++r) {
            const library::CrystalPhase* crystal = library.crystal(r);
            if (crystal == nullptr) continue;
            const core::Cell& c = crystal->cell;
            if (close(c.aNm, cell.aNm) && close(c.bNm, cell.bNm) && close(c.cNm, cell.cNm) &&
                close(c.alphaDeg, cell.alphaDeg) && close(c.betaDeg, cell.betaDeg) && close(c.gammaDeg, cell.gammaDeg)) {
                found.phase = *crystal;
                return found;
            }
        }
        return std::nullopt;
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_tabs->widget(index) == m_orientationPanel) refreshOrientationPanel();
    });
    return m_orientationPanel;
}

void Form1::refreshOrientationPanel() {
    using model::Field;
    ResultSet set;
    set.cell = {m_model.value(Field::A),     m_model.value(Field::B),    m_model.value(Field::C),
                m_model.value(Field::Alpha), m_model.value(Field::Beta), m_model.value(Field::Gamma)};
    set.type = m_model.Combo1();
    set.phase = m_model.Text6().trimmed();
    if (!m_model.spaceGroupText().isEmpty()) set.phase += QStringLiteral(" (%1)").arg(m_model.spaceGroupText());
    if (core::isLatticeCentring(set.type))
        set.rule = std::make_shared<core::LatticeTypeRule>(set.type);
    else
        set.rule = m_model.spaceGroupRule();
    const model::ResultTableModel& table = *m_model.resultTable();
    const std::vector<int>& familyOfRow = indexingOperations()->lastFamilies().familyOfRow;
    std::optional<std::size_t> selected;
    for (int r = 0; r < table.rowCount(); ++r) {
        const std::optional<indexing::ResultRow> row = table.resultRow(r);
        if (!row) continue;
        const int group = table.group(r);
        const auto g = static_cast<std::size_t>(group - 1);
        if (group == m_results->shownGroup()) selected = set.rows.size();
        set.rows.push_back({group, g < familyOfRow.size() ? familyOfRow[g] : 0, row->g1, row->g2,
                            core::ZoneAxis(row->g1, row->g2), 0});
    }
    m_orientationPanel->setCurrent(std::move(set), selected);
}

}  // namespace saed::app
