// SPDX-License-Identifier: BSD-3-Clause
// The main window: three tabs of panels bound to the working data. It places the panels and
// routes the few signals that pass between them.
#pragma once

#include <QMainWindow>

#include "model/fields.h"
#include "model/language.h"
#include "model/mainmodel.h"
#include "model/prompts.h"

class QComboBox;
class QLineEdit;
class QSlider;
class QTabWidget;
class QTableView;
class QToolButton;

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class CalculatorPanel;
class ImagePage;
class LatticePanel;
class LibraryPanel;
class MeasurementPanel;
class OrientationPanel;
class ProgramMenu;
class ResultsPanel;
class RunPanel;
class SimulationPanel;

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1(model::MainModel& model, model::Prompts& prompts, QWidget* parent = nullptr);
    ~Form1() override;

    model::MainModel& model() const { return m_model; }
    ImagePage* imagePage() const { return m_imagePage; }
    LatticePanel* latticePanel() const { return m_lattice; }
    MeasurementPanel* measurementPanel() const { return m_measurementPanel; }
    RunPanel* runPanel() const { return m_run; }
    CalculatorPanel* calculatorPanel() const { return m_calculator; }
    ResultsPanel* resultsPanel() const { return m_results; }
    LibraryPanel* libraryPanel() const { return m_library; }
    SimulationPanel* simulationPanel() const { return m_simulation; }
    OrientationPanel* orientationPanel() const { return m_orientationPanel; }
    QTabWidget* tabs() const { return m_tabs; }

    // The widgets most looked at, wherever their panel is.
    QLineEdit* text1(int n) const;
    QLineEdit* text1(model::Field f, int offset = 0) const { return text1(fieldNumber(f, offset)); }
    QLineEdit* text6() const;
    QComboBox* combo1() const;
    QSlider* slider(int k) const;
    QTableView* listView1() const;
    // The operations this window drives; they live as long as the window.
    indexing::IndexingOperations* indexingOperations() const;
    measure::ImageMeasurement* imageMeasurement() const;

signals:
    // The secondary windows belong to the image page; these ask it to act.
    void magnifierCloseRequested();        // unload the magnifier (a run or screening starts)
    void measureDialogCloseRequested();    // close the Measure dialog without writing anything
    void secondaryWindowsCloseRequested(); // exit: the magnifier, then the Measure dialog
    // The user asked for the simulated pattern of a screened phase (library record `record`,
    // from 1) along its best zone; the simulation tab answers it.
    void phaseSimulationRequested(int record);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* buildIndexingTab();
    QWidget* buildOrientationTab();
    // Hands the current result set and the shown row to the tilt check and orientation tab.
    void refreshOrientationPanel();
    void buildLanguageMenu();
    // The 文件 and 帮助 menus beside the tabs, with `languageButton` after them.
    void buildProgramMenu(QToolButton* languageButton);
    // Keeps the language for the next start and tells the user when it differs from this one.
    void chooseLanguage(model::Language language);
    void routeSignals();
    // Loads library record `record` into the simulation tab along its best zone in the ranking
    // list, and shows the tab.
    void simulateLibraryPhase(int record);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    QTabWidget* m_tabs = nullptr;
    ProgramMenu* m_programMenu = nullptr;
    ImagePage* m_imagePage = nullptr;
    LatticePanel* m_lattice = nullptr;
    MeasurementPanel* m_measurementPanel = nullptr;
    RunPanel* m_run = nullptr;
    CalculatorPanel* m_calculator = nullptr;
    ResultsPanel* m_results = nullptr;
    LibraryPanel* m_library = nullptr;
    SimulationPanel* m_simulation = nullptr;
    OrientationPanel* m_orientationPanel = nullptr;
};

}  // namespace saed::app
