// SPDX-License-Identifier: BSD-3-Clause
// The main window's "倾转与取向" tab: the current result set and the shown row handed to the
// tilt check and orientation panel whenever the tab comes up.
#include "app/form1.h"

#include <QTabWidget>

#include "analysis/identifyrun.h"
#include "analysis/resultset.h"
#include "app/orientationpanel.h"
#include "app/resultspanel.h"
#include "app/simulationpanel.h"

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
    m_orientationPanel->setPatternPhaseSource([this] { return analysis::latticeFieldsPhase(m_model); });
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
