// The main window: three tabs of panels bound to the working data.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QLabel>
#include <QMainWindow>

#include "library/crystalphase.h"
#include "library/phasetree.h"
#include "analysis/screening.h"
#include "model/language.h"
#include "model/mainmodel.h"
#include "model/prompts.h"
#include "simulation/spotmatch.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::measure {
class ImageMeasurement;
class ImageView;
}  // namespace saed::measure


namespace saed::app {

class ElidedLabel;

// The windows work on the model's types by their short names.
using model::Caption;
using model::Flag;
using model::MainModel;
using model::Prompts;
using model::ResultTableModel;

// A label that reports clicks (the library switch, the custom-phase switch, the counter).
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1(MainModel& model, Prompts& prompts, QWidget* parent = nullptr);
    ~Form1() override;

    MainModel& model() const { return m_model; }
    QLineEdit* text1(int n) const { return m_text1[static_cast<std::size_t>(n)]; }
    QLineEdit* text1(model::Field f, int offset = 0) const { return text1(fieldNumber(f, offset)); }
    QLineEdit* text6() const { return m_text6; }
    QComboBox* combo1() const { return m_combo1; }
    QSlider* slider(int k) const { return m_sliders[static_cast<std::size_t>(k - 1)]; }
    QTabWidget* tabs() const { return m_tabs; }
    QTableView* listView1() const { return m_listView1; }
    // The operations this window drives; they live as long as the window.
    indexing::IndexingOperations* indexingOperations() const { return m_indexing; }
    measure::ImageMeasurement* imageMeasurement() const { return m_measurement; }

signals:
    // The secondary windows belong to the image-measurement part; these ask it to act.
    void magnifierCloseRequested();        // unload the magnifier (a run or screening starts)
    void measureDialogCloseRequested();    // close the Measure dialog without writing anything
    void secondaryWindowsCloseRequested(); // exit: the magnifier, then the Measure dialog
    // The user asked for the simulated pattern of a screened phase (library record `record`,
    // from 1) along its best zone; the simulation tab answers it.
    void phaseSimulationRequested(int record);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTabs();
    void buildLanguageMenu();
    // Keeps the language for the next start and tells the user when it differs from this one.
    void chooseLanguage(model::Language language);
    QWidget* buildMeasurementTab();
    QWidget* buildIndexingTab();
    QWidget* buildSimulationTab();
    QWidget* buildOrientationTab();
    // Hands the current result set and the shown row to the tilt check and orientation tab.
    void refreshOrientationPanel();
    QGroupBox* buildLatticePanel();
    QGroupBox* buildImageMeasurementPanel();
    QGroupBox* buildTolerancePanel();
    QGroupBox* buildCalculatorPanel();
    QFrame* buildPatternPanel();
    QGroupBox* buildLibraryPanel();

    // The line edit of field `first` + `offset` (R1, R2, R3 or planes 1 to 3 in a row).
    QLineEdit* makeField(model::Field first, int offset = 0);
    void bindModel();
    void showCaption(int which);
    void showFlag(int which);
    void fitNameField();
    QString shownText6() const;

    // Each subsystem connects its buttons and events to its operations.
    void connectIndexing();
    void connectCalculator();
    void connectLibrary();
    void connectMeasure();
    void connectImageTools(measure::ImageMeasurement* measurement);
    void connectStore();
    void connectExports();
    // A window-modal progress dialog with a cancel button (Esc too), hidden until a long task
    // has run for 400 ms.
    QProgressDialog* makeProgressDialog(const QString& label, const QString& title, const QString& name);
    // What happens once when the window opens.
    void startUp();

    MainModel& m_model;
    Prompts& m_prompts;
    indexing::IndexingOperations* m_indexing = nullptr;
    measure::ImageMeasurement* m_measurement = nullptr;

    QTabWidget* m_tabs = nullptr;
    std::array<QLineEdit*, 39> m_text1{};
    QLineEdit* m_text6 = nullptr;
    QComboBox* m_combo1 = nullptr;
    std::array<QSlider*, 6> m_sliders{};
    QTableView* m_listView1 = nullptr;
    bool m_columnWidthsSet = false;
    // Entries of the result table's pop-up menu b.
    QAction* m_jisuandaizhou2 = nullptr;  // "计算晶带轴"
    QAction* m_daochujieguo3 = nullptr;   // "导出标定结果"
    QAction* m_exportCsv = nullptr;       // the table as CSV
    QAction* m_exportJson = nullptr;      // the run as JSON

    // Lattice panel.
    QGroupBox* m_frame1 = nullptr;
    ClickableLabel* m_label20 = nullptr;  // custom-phase switch "点阵参数□"
    ClickableLabel* m_label10 = nullptr;  // library switch "点阵库"
    QLabel* m_label21 = nullptr;          // auto-sizing copy of the phase name

    // Image-measurement, tolerance and result panels.
    QGroupBox* m_frame3 = nullptr;
    QGroupBox* m_frame11 = nullptr;
    ElidedLabel* m_label5 = nullptr;
    ClickableLabel* m_label22 = nullptr;
    QPushButton* m_command6 = nullptr;

    // Calculator and pattern panels.
    QGroupBox* m_frame2 = nullptr;
    QPushButton* m_command5 = nullptr;
    QPushButton* m_command15 = nullptr;
    std::array<ElidedLabel*, 3> m_spacingLabels{};  // Label1(47) to Label1(49)
    QFrame* m_frame9 = nullptr;
    ElidedLabel* m_label14 = nullptr;
    ElidedLabel* m_label15 = nullptr;
    ElidedLabel* m_label16 = nullptr;
    ElidedLabel* m_label17 = nullptr;

    // Library panel.
    QGroupBox* m_frame7 = nullptr;
    QTreeWidget* m_treeView1 = nullptr;
    std::array<QRadioButton*, 2> m_libraryModes{};  // Option1(0) "单选", Option1(1) "多选"
    QPushButton* m_command13 = nullptr;
    QPushButton* m_command1 = nullptr;

    // Image tab.
    QFrame* m_frame6 = nullptr;
    QGroupBox* m_frame5 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command7 = nullptr;
    QPushButton* m_command8 = nullptr;
    QPushButton* m_command9 = nullptr;
    QPushButton* m_command14 = nullptr;

    // Solution families, simulation and overlay part
public:
    class SimulationPanel* simulationPanel() const { return m_simulation; }
    class OrientationPanel* orientationPanel() const { return m_orientationPanel; }
    QCheckBox* familySwitch() const { return m_familySwitch; }
    QTreeWidget* familyTree() const { return m_familyTree; }
    QCheckBox* overlaySwitch() const { return m_overlaySwitch; }
    measure::ImageView* imageView() const { return m_imageView; }
    // Shows result group `group` (1, 2, ...): selects it, simulates its zone in the third tab
    // and, with an image, draws its spots over the image.
    void showGroup(int group);
    // The group shown in the simulation tab and the overlay; 0 for none.
    int shownGroup() const { return m_shownGroup; }
    // Asks where to write the result table as CSV (or the run as JSON) and writes it whole; a
    // file that cannot be written is told. True when a file was written.
    bool exportResults(bool json);

private:
    void connectSimulation();
    void rebuildFamilies();
    void fillFamilyChildren(QTreeWidgetItem* item);
    void refreshFamilyColours();
    void updateOverlay();
    // The measured R1 and R2 on the image's values; nothing without an image, without both
    // lines or with a segment count N that is not a whole number from 1 (segmentsRefused()).
    std::optional<simulation::ImageFrame> imageFrame() const;
    bool segmentsRefused() const;
    // The families' matches by id - 1, for ranking them: nothing without an image.
    std::optional<std::vector<std::optional<double>>> familyMatches() const;
    const std::vector<simulation::PixelPoint>& detectedSpots();
    void computeFamilyMatches();
    // Loads library record `record` (from 1) into the simulation tab with its cell, space group
    // and atoms, along the zone of its best family in the ranking list, and shows the tab.
    void simulateLibraryPhase(int record);
    // Gives the simulation tab the window's phase: lattice fields, space group and lattice type.
    void showWindowPhase();

    class SimulationPanel* m_simulation = nullptr;
    class OrientationPanel* m_orientationPanel = nullptr;
    bool m_simulatingLibraryPhase = false;  // the tab shows a phase from the ranking list
    QCheckBox* m_familySwitch = nullptr;
    QTreeWidget* m_familyTree = nullptr;
    QCheckBox* m_overlaySwitch = nullptr;
    measure::ImageView* m_imageView = nullptr;
    int m_shownGroup = 0;
    std::uint64_t m_detectedSerial = 0;  // the image the detected spots belong to
    std::vector<simulation::PixelPoint> m_detected;
    std::vector<double> m_familyMatch;  // by family id - 1; negative without a match
    // End of the solution families part

    // Calculator and library part
public:
    // The phase-library tree shown in TreeView1: records, field table and ticked nodes (held by
    // the model).
    const library::PhaseTree& phaseTree() const;
    QTreeWidget* treeView1() const { return m_treeView1; }

private:
    bool buildLibraryTree();
    void showPhaseTree();
    void showTreeTicks();
    void showNodeSpaceGroup(QTreeWidgetItem* item);
    // "计算选中项": the screening of the ticked phases on the worker, then the ranking when several
    // were screened.
    void screenTickedPhases();
    void screeningFinished(bool completed);
    void showScreeningRanking(const analysis::ScreeningOutcome& outcome);

public:
    // "导入CIF": see library::importCifPaths.
    void importCifPaths(const QStringList& paths);
    // "删除导入的物相" (the tree's menu, or the Delete key): removes the imported phases of the
    // current tree item after the user confirmed.
    void removeCurrentImportedPhases();
    // The crystal phases after the nine-field records (built-in set, then imported ones).
    const std::vector<library::CrystalPhase>& libraryCrystals() const;
    // Another file for the imported phases (tests); the tree is built again from it.
    void setImportedPhasesPath(const QString& path);
    QDialog* rankingWindow() const { return m_rankingWindow; }
    analysis::ScreeningRun* screeningRun() const { return m_screening; }

private:
    ElidedLabel* m_spaceGroupLabel = nullptr;
    QLabel* m_treeSpaceGroup = nullptr;  // the space group of the tree's current or ticked phase
    QCheckBox* m_doubleDiffraction = nullptr;
    QDialog* m_rankingWindow = nullptr;
    analysis::ScreeningRun* m_screening = nullptr;
    std::vector<QTreeWidgetItem*> m_treeItems;  // TreeView1's items in node index order
    // End of the calculator and library part
};

}  // namespace saed::app
