// SPDX-License-Identifier: BSD-3-Clause
// The main window's "倾转与取向" tab: the current result set and the shown row handed to the
// tilt check and orientation panel whenever the tab comes up.
#include "app/form1.h"

#include <QTabWidget>

#include <cmath>  // for fabs, fmax

#include "analysis/identifyrun.h"
#include "analysis/resultset.h"
#include "app/orientationpanel.h"
#include "app/resultspanel.h"
#include "app/simulationpanel.h"
#include "library/phaselibrary.h"

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
        const core::LatticeType type = m_model.Combo1();
        if (core::isLatticeCentring(type)) {
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
    analysis::CurrentResults current = analysis::currentResults(m_model, *indexingOperations(), m_results->shownGroup());
    m_orientationPanel->setCurrent(std::move(current.set), current.selected);
}

}  // namespace saed::app
