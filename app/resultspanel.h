// SPDX-License-Identifier: BSD-3-Clause
// The results panel: the result table with its menu (zone axis, report, CSV and JSON exports),
// the solution families view, and the match of the rows and families against the image.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QPointF>
#include <QStringList>
#include <QWidget>

#include "core/lattice.h"
#include "model/prompts.h"
#include "simulation/spotmatch.h"

class QCheckBox;
class QTableView;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class ResultsPanel : public QWidget {
    Q_OBJECT

public:
    // The rows are those of `indexing`'s last run, matched against `measurement`'s image.
    ResultsPanel(model::MainModel& model, model::Prompts& prompts, indexing::IndexingOperations& indexing,
                 measure::ImageMeasurement& measurement, QWidget* parent = nullptr);
    // Waits for a match still running on its worker.
    ~ResultsPanel() override;

    QTableView* listView1() const { return m_listView1; }
    QCheckBox* familySwitch() const { return m_familySwitch; }
    QTreeWidget* familyTree() const { return m_familyTree; }

    // Shows result group `group` (1, 2, ...): its zone goes to the simulation and, with an image,
    // its spots over the image. `rowHint`, the table row the caller took it from, spares a pass
    // over the rows while it still holds the group.
    void showGroup(int group, int rowHint = -1);
    // The group shown; 0 for none.
    int shownGroup() const { return m_shownGroup; }
    // No row is shown any more (the simulation shows a library phase).
    void clearShownGroup();
    // Asks where to write the result table as CSV (or the run as JSON) and writes it whole; a
    // file that cannot be written is told. True when a file was written.
    bool exportResults(bool json);
    // Writes the result report into the reports folder (the documents folder unless the user
    // chose one) and shows its path in the status bar.
    void exportReport();
    // The families view anew from the last run, matched against the image.
    void rebuildFamilies();
    // The shown row's spots are drawn over the image (the overlay switch).
    void setOverlayShown(bool shown);
    // The image or its lines changed: the rows, the families and the overlay are matched anew.
    void imageChanged();
    // Four indices on display: the setting is on and the rows' cell is hexagonal.
    bool fourIndexShown() const;
    // True while the rows are matched against the image on a worker; the match column and the
    // families view take the values when it ends.
    bool isMatching() const { return m_matchThread != nullptr; }

signals:
    // The zone of the row shown, with the planes along +x (g1) and on the +y side (g2).
    void zoneShown(const core::Uvw& zone, const core::Hkl& g1, const core::Hkl& g2);
    // The spots to draw over the image (image pixels) with their labels; none to clear it.
    void overlayChanged(const std::vector<QPointF>& points, const QStringList& labels);
    // The match of the row shown, for the simulation's note; empty for none.
    void noteChanged(const QString& text);

private:
    // The table, the families view and the overlay follow the four-index setting.
    void applyFourIndex();
    // One line per family, ranked, from the matches last computed.
    void fillFamilyTree();
    void fillFamilyChildren(QTreeWidgetItem* item);
    void refreshFamilyColours();
    void updateOverlay();
    void computeFamilyMatches();
    // Matches the last run against the image on a worker (one at a time: a change while one
    // runs starts the next when it ends, and only the match of the current rows and image is
    // taken).
    void startMatch();
    // The measured R1 and R2 on the image's values; nothing without an image, without both
    // lines or with a segment count N that is not a whole number from 1 (segmentsRefused()).
    std::optional<simulation::ImageFrame> imageFrame() const;
    bool segmentsRefused() const;
    // The families' matches by id - 1, for ranking them: nothing without an image.
    std::optional<std::vector<std::optional<double>>> familyMatches() const;
    const std::vector<simulation::PixelPoint>& detectedSpots();

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    indexing::IndexingOperations& m_indexing;
    measure::ImageMeasurement& m_measurement;
    QTableView* m_listView1 = nullptr;
    bool m_columnWidthsSet = false;
    QCheckBox* m_familySwitch = nullptr;
    QTreeWidget* m_familyTree = nullptr;
    bool m_overlayShown = true;
    int m_shownGroup = 0;
    int m_shownRow = -1;  // the table row of m_shownGroup when last found
    std::uint64_t m_detectedSerial = 0;  // the image the detected spots belong to
    std::vector<simulation::PixelPoint> m_detected;
    std::vector<double> m_familyMatch;  // by family id - 1; negative without a match
    QThread* m_matchThread = nullptr;
    std::uint64_t m_matchSerial = 0;  // counts the changes of rows, image and lines
};

}  // namespace saed::app
