// SPDX-License-Identifier: BSD-3-Clause
// The image-measurement state of the main window and its operations: the picture and where it
// sits, move and measure mode, the drawn lines, the spot vectors and the Measure dialog's writes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include "core/ellipticdistortion.h"
#include "core/imagedisplay.h"
#include "core/raster.h"
#include "measure/anglesearch.h"
#include "measure/autopattern.h"
#include "measure/marks.h"
#include "measure/spots.h"
#include "measure/viewport.h"

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::measure {

// Filter list of the open dialog: pairs of description and patterns, the first (every type the
// program reads) preselected; the microscope formats follow the six picture formats.
QString imageFilterList();

// Decodes an image file for display: microscope data through the default display of their
// values, 16-bit grayscale of Qt's formats stretched from its darkest to its brightest value.
// A null image when the file cannot be read.
QImage decodeImage(const QString& path);

// A saved calibration chosen for the images of a session: its camera constant stands for the
// scale bar and its distortion is taken out of every measured vector before anything is computed.
struct ChosenCalibration {
    QString name;
    double perPixel = 0.0;  // 1/nm per pixel of the corrected pattern
    core::EllipticDistortion distortion;
    double perPixelSigma = 0.0;
};

class ImageMeasurement : public QObject {
    Q_OBJECT

public:
    ImageMeasurement(model::MainModel& model, model::Prompts& prompts, QObject* parent = nullptr);

    // Where the main window's outer size (pixels) comes from; ViewCentre reads it at every use.
    void setOuterSizeSource(std::function<QSize()> source) { m_outerSize = std::move(source); }
    TwipPoint ViewCentre() const;

    // Start-up: move mode, Line1 hidden.
    void startUp();

    // Toolbar: "打开" (Clear, then the open dialog and the picture), "放大", "缩小", "还原",
    // "测量"/"移动" and "清屏".
    void Open();
    // Clear, then shows the image file at `path` (as a file chosen in the open dialog); false, with
    // a message naming the file, when it cannot be read.
    bool openPath(const QString& path);
    void zoomIn();
    void zoomOut();
    void restore();
    void toggleMode();
    void Clear();

    // Pointer events on the image; x and y are image-relative twips. `button` is the button that
    // was pressed or released, `held` the buttons held; only the left button alone acts.
    void press(Qt::MouseButton button, Qt::MouseButtons held, double x, double y);
    void move(Qt::MouseButtons held, double x, double y);
    void release(Qt::MouseButton button, double x, double y);

    // The Measure dialog's "确定" for kind 0 (scale bar) or 1..3 (R1..R3) with the typed value, and
    // its "取消".
    void acceptLine(int kind, const QString& value);
    void cancelLine();

    const QImage& picture() const { return m_picture; }
    const Viewport& viewport() const { return m_viewport; }
    const MarkSet& marks() const { return m_marks; }
    bool MeasureMode() const { return m_measureMode; }
    Vector2 DragStart() const { return m_dragStart; }
    Vector2 LineStart() const { return m_lineStart; }
    Vector2 LineEnd() const { return m_lineEnd; }
    double MeasuredLengthPx() const { return m_measuredLengthPx; }
    // SpotVector and flag of R1..R3 (n = 1..3).
    Vector2 SpotVector(int n) const { return m_spotVectors[static_cast<std::size_t>(n - 1)]; }
    int RB(int n) const { return m_flags[static_cast<std::size_t>(n - 1)]; }
    const AngleCandidates& candidates() const { return m_candidates; }
    // The line of R1..R3 (n = 1..3) as last accepted in the Measure dialog, in image pixels
    // (x right, y down): it starts at the direct beam and ends on the spot. No value before the
    // first accepted line of that kind, after Clear and after a new image.
    struct PixelLine {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    std::optional<PixelLine> spotLine(int n) const { return m_spotLines[static_cast<std::size_t>(n - 1)]; }

    // The values of the opened image (none before an image is open) and how they are shown.
    const std::optional<core::Raster>& raster() const { return m_raster; }
    // A number that changes with every image opened (0 before the first): what was computed on
    // one image's values is known stale by it.
    std::uint64_t imageSerial() const { return m_imageSerial; }
    const core::DisplaySettings& displaySettings() const { return m_display; }
    // Shows the image's values anew under `settings`; the values themselves never change.
    void setDisplaySettings(const core::DisplaySettings& settings);

    // Shown size over natural size: 1 at natural size, 1.25 after one zoom step.
    double zoomFactor() const;
    // Image pixels (x right, y down, (0, 0) the centre of the top-left pixel) of an image-relative
    // point in twips, and back.
    core::PixelPoint toImagePixels(Vector2 twips) const;
    Vector2 toImageTwips(core::PixelPoint pixels) const;

    // Line ends released near a spot move to its sub-pixel centre (on by default).
    bool snapping() const { return m_snapping; }
    void setSnapping(bool on);
    // Finds and marks the direct-beam centre (a locked one is let go); false, with a status
    // message, when it cannot.
    bool findCentre();
    const std::optional<core::PixelPoint>& centre() const { return m_centre; }
    // A centre the user set: "自动找斑点" and the identification take it as it is.
    bool centreLocked() const { return m_centre.has_value() && m_centreLocked; }
    // Marks `centre` (image pixels) as the direct beam, locked or not.
    void setCentre(core::PixelPoint centre, bool locked);
    // Locks or frees the centre shown; without a centre there is nothing to lock.
    void setCentreLocked(bool locked);
    // "设为中心": the next click on the image sets the centre there (on the spot's sub-pixel
    // centre with 吸附斑点) and locks it. Dragging the centre's cross moves and locks it in any mode.
    void setCentreMode(bool on);
    bool centreMode() const { return m_centreMode; }
    // Moves the centre shown by (dx, dy) image pixels and locks it, as a drag does (the arrow
    // keys on the image); without a centre it says how to get one and returns false.
    bool nudgeCentre(double dx, double dy);
    // Whether a press at an image-relative point in twips grabs the centre's cross.
    bool onCentre(Vector2 twips) const;
    // Detects the spots, chooses R1, R2, R3 and writes their lengths, segments and angles, as
    // three lines from the centre accepted in the Measure dialog; false, with a message, when
    // the pattern gives no lattice.
    bool autoSpots();
    // Writes a pattern's R1, R2, R3 as autoSpots does: the fields, and the three lines from its
    // centre, which becomes the centre shown (locked as it was).
    void applyPattern(const AutoPattern& pattern);
    const std::vector<Spot>& spots() const { return m_spots; }

    // Chooses a saved calibration (none: the file's own, or the scale bar as measured): fills
    // 标尺示数 and 标尺测量 from it, takes its distortion out of R1, R2, R3 and their angles as
    // measured so far and from then on, and compares it with the open image's own calibration.
    // It stays chosen for every image opened later.
    void setChosenCalibration(const std::optional<ChosenCalibration>& chosen);
    const std::optional<ChosenCalibration>& chosenCalibration() const { return m_chosen; }
    // The open image's own camera constant beside the chosen one ("" unless both exist).
    const QString& calibrationComparison() const { return m_comparison; }
    // The status-bar text for the pointer at an image-relative point in twips: the zoom, the
    // image pixel and, with a scale bar in the fields, |g| from the centre (or the image middle).
    QString pointerStatus(Vector2 twips) const;

signals:
    // The picture, its rectangle or a line changed: the view repaints.
    void viewChanged();
    // MeasureMode changed: the view changes its pointer.
    void modeChanged();
    // The pointer moved over the image: the magnifier is shown.
    void magnifierRequested();
    // A line was completed: the Measure dialog is shown.
    void measureDialogRequested();
    // The Measure dialog has done its work and closes.
    void measureDialogFinished();
    // The Measure dialog closes without writing: the image was opened anew or cleared.
    void measureDialogCloseRequested();
    // The text for the status bar about the pointer over the image.
    void pointerStatusChanged(const QString& text);
    // An image was opened from `path`.
    void imageOpened(const QString& path);
    // The centre, its lock or the "设为中心" mode changed.
    void centreChanged();
    // The comparison of the file's and the chosen calibration changed ("" when not both).
    void calibrationComparisonChanged(const QString& text);

private:
    bool showPicture(const QString& path);
    void setMeasureMode(bool on);
    void updateAngles();
    void snapLine(Vector2& start, Vector2& end) const;
    void scaleMarks(const ImageRect& before);
    // The pattern's R1, R2, R3 without the chosen calibration's distortion; none when they then
    // give no consistent angles.
    std::optional<AutoPattern> withoutChosenDistortion(const AutoPattern& pattern) const;
    // The spot vectors without the chosen calibration's distortion.
    std::array<Vector2, 3> correctedVectors() const;
    // The length of R1..R3 (i = 0..2) as measured, without the chosen distortion.
    double correctedLength(std::size_t i) const;
    // Writes the chosen calibration's scale bar; false when none is chosen.
    bool writeChosenScale();
    // Writes R1, R2, R3 as measured, without the chosen distortion.
    void rewriteMeasuredVectors();
    // Compares the file's calibration with the chosen one; a large difference is told when `tell`.
    void compareCalibrations(bool tell);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    std::function<QSize()> m_outerSize;

    QImage m_picture;
    Viewport m_viewport;
    MarkSet m_marks;
    bool m_measureMode = false;
    Vector2 m_dragStart;
    Vector2 m_lineStart;
    Vector2 m_lineEnd;
    double m_measuredLengthPx = 0.0;
    std::array<Vector2, 3> m_spotVectors{};  // zero until the first Clear
    std::array<int, 3> m_flags{};            // R1B, R2B, R3B
    AngleCandidates m_candidates{};

    std::optional<core::Raster> m_raster;
    std::uint64_t m_imageSerial = 0;
    core::DisplaySettings m_display;
    bool m_snapping = true;
    std::optional<core::PixelPoint> m_centre;
    bool m_centreLocked = false;
    bool m_centreMode = false;
    bool m_draggingCentre = false;  // a press grabbed the centre's cross
    std::vector<Spot> m_spots;
    std::array<std::optional<PixelLine>, 3> m_spotLines{};
    std::array<double, 3> m_rawLengthsPx{};       // R1..R3 as measured on the image
    std::optional<AutoPattern> m_autoPattern;     // the automatic measurement as found, until a line replaces it
    std::optional<ChosenCalibration> m_chosen;
    QString m_comparison;
};

}  // namespace saed::measure
