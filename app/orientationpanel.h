// SPDX-License-Identifier: BSD-3-Clause
// The "倾转与取向" tab: the two-pattern tilt check (a kept result set against the current one)
// and the orientation of the selected solution, with its stereographic projection, the tilt to a
// clicked zone, and PNG/SVG export.
#pragma once

#include <array>
#include <functional>
#include <memory>  // for shared_ptr
#include <optional>
#include <vector>

#include <QWidget>

#include "analysis/resultset.h"
#include "app/imagepattern.h"
#include "calculator/stereogram.h"
#include "calculator/tiltcheck.h"
#include "core/reflectionrule.h"
#include "model/prompts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace saed::app {

// One result set as the window holds it: the phase's cell and rule, and the rows of the run.
using analysis::ResultSet;

// The projection, clickable: a click picks the nearest zone.
class StereogramView : public QWidget {
    Q_OBJECT

public:
    explicit StereogramView(QWidget* parent = nullptr);
    void setProjection(calculator::Stereogram projection, calculator::StereogramLabels labels);
    const calculator::Stereogram& projection() const { return m_projection; }
    // The zone under a point of the widget; none when no zone is near.
    const calculator::StereogramZone* zoneAt(const QPointF& at) const;
    QSize sizeHint() const override { return {360, 360}; }

signals:
    void zoneClicked(const calculator::StereogramZone& zone);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    calculator::Stereogram m_projection;
    calculator::StereogramLabels m_labels;
};

class OrientationPanel : public QWidget {
    Q_OBJECT

public:
    OrientationPanel(model::Prompts& prompts, QWidget* parent = nullptr);

    // The window's current result set and the selected row (an index into its rows, if any).
    void setCurrent(ResultSet current, std::optional<std::size_t> selected);
    // The four-index setting: labels (h k i l) and [U V T W] for a hexagonal cell.
    void setFourIndex(bool wanted);

    // Keeps the current set as the first pattern of the tilt check.
    void keepCurrent();
    // Where an image's pattern finds its phase: the window's phase and calibration; none when
    // the lattice fields hold no phase to identify against.
    void setPatternPhaseSource(std::function<std::optional<PatternPhase>()> source);
    // Reads the first (which 0) or second (1) pattern of the tilt check from an image, identified
    // against the window's phase on a worker (its button stops it meanwhile); the pattern is taken
    // when the run ends, and imageRead follows. False, told, when the run cannot start.
    bool readImagePattern(int which, const QString& path);
    // An image is being identified.
    bool readingImage() const { return m_reading.has_value(); }
    // The second pattern is the current result set again.
    void useCurrentAsSecond();
    // Runs the tilt check of the kept set against the current one; false, told, on bad input.
    bool checkTilt();
    // Brings the orientation and projection up to date for the selected row; false, with the
    // reason shown, when there is no row or no direction.
    bool updateOrientation();

    // Writes the projection as a PNG or SVG file; false, told through the prompts, on failure.
    bool exportPng(const QString& path);
    bool exportSvg(const QString& path);

    const calculator::TiltResult& lastTilt() const { return m_tilt; }
    StereogramView* stereogramView() const { return m_view; }
    QString orientationText() const;
    QString clickedText() const;

signals:
    // The user switched four indices on or off here.
    void fourIndexToggled(bool on);
    // The identification of an image for pattern `which` ended: its pattern taken, or not (stopped,
    // or no solution, told).
    void imageRead(int which, bool taken);

private:
    void showFourIndex();
    calculator::StereogramLabels labels() const;
    void showClicked(const calculator::StereogramZone& zone);
    std::optional<double> number(QLineEdit* field, const QString& name);
    void imageIdentified(bool completed);
    void showImageButtons();

    model::Prompts& m_prompts;
    ResultSet m_current;
    std::optional<ResultSet> m_kept;
    std::optional<ResultSet> m_second;  // from an image; none: the current set
    std::function<std::optional<PatternPhase>()> m_phaseSource;
    std::optional<std::size_t> m_selected;
    calculator::TiltResult m_tilt;
    std::optional<core::Mat3> m_orientation;
    // The image being identified for a pattern, and what the pattern showed before.
    struct ImageReading {
        int which = 0;
        QString path;
        PatternPhase phase;
        ResultSet base;
        QString before;  // the pattern's line before, and while the image is identified
        QString busy;
    };
    std::optional<ImageReading> m_reading;
    analysis::IdentifyRun* m_imageRun = nullptr;
    std::array<QPushButton*, 2> m_imageButtons{};
    QProgressBar* m_imageProgress = nullptr;

    QLabel* m_keptLabel = nullptr;
    QLabel* m_secondLabel = nullptr;
    QPushButton* m_useCurrent = nullptr;
    QRadioButton* m_single = nullptr;
    QLineEdit* m_angle = nullptr;
    std::array<QLineEdit*, 4> m_readings{};
    QLineEdit* m_tolerance = nullptr;
    QCheckBox* m_checkOrientation = nullptr;
    QTreeWidget* m_tiltTree = nullptr;
    QLabel* m_tiltSummary = nullptr;

    QLineEdit* m_r1Angle = nullptr;
    QLineEdit* m_holderAxis = nullptr;
    QLineEdit* m_alpha = nullptr;
    QLineEdit* m_beta = nullptr;
    QCheckBox* m_fourIndex = nullptr;
    bool m_fourIndexWanted = false;
    QLabel* m_orientationLabel = nullptr;
    QLabel* m_clickedLabel = nullptr;
    StereogramView* m_view = nullptr;
};

}  // namespace saed::app
