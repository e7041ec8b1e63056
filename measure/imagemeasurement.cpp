// SPDX-License-Identifier: BSD-3-Clause
// The image-measurement state of the main window and its operations: the picture and where it
// sits, move and measure mode, the drawn lines, the spot vectors and the Measure dialog's writes.
#include "measure/imagemeasurement.h"

#include <algorithm>  // for max
#include <cmath>      // for hypot

#include <QCoreApplication>  // for translate
#include <QFileInfo>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"
#include "measure/autopattern.h"
#include "measure/imagefile.h"

namespace saed::measure {

using model::Caption;
using model::Field;
using model::Flag;

namespace {

// The image-measurement fields that Clear empties: scale bar, lengths, segments and angles.
constexpr Field kMeasurementFields[] = {Field::ScaleReading, Field::ScaleLength, Field::LengthR1,  Field::LengthR2,
                                        Field::LengthR3,     Field::SegmentsR1,  Field::SegmentsR2, Field::SegmentsR3,
                                        Field::AngleR1R2,    Field::AngleR2R3,   Field::AngleR1R3};

QString qs(const std::string& text) { return QString::fromStdString(text); }

// A line end snaps to a spot within about this many screen pixels, and never less than this
// many image pixels; a press and release closer than the click distance is a click.
constexpr double kSnapScreenPx = 8.0;
constexpr double kSnapMinImagePx = 3.0;
constexpr double kClickScreenPx = 3.0;

QString number(double v, int decimals) { return QString::number(v, 'f', decimals); }

}  // namespace

QString imageFilterList() {
    return QCoreApplication::translate(
        "saed::measure::ImageMeasurement",
        "所有格式图像|*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png;*.dm3;*.dm4;*.mrc;*.map;*.st;*."
        "ccp4|JPEG图像(*.jpg;*.jpeg)|*.jpg;*.jpeg|"
        "BMP图像(*.bmp)|*.bmp|GIF图像(*.gif)|*.gif|TIFF图像(*.tif;*.tiff)|*.tif;*.tiff|PNG图像(*."
        "png)|*.png|"
        "显微镜图像(*.dm3;*.dm4;*.mrc)|*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4");
}

QImage decodeImage(const QString& path) { return loadImage(path).picture; }

ImageMeasurement::ImageMeasurement(model::MainModel& model, model::Prompts& prompts, QObject* parent)
    : QObject(parent), m_model(model), m_prompts(prompts) {}

TwipPoint ImageMeasurement::ViewCentre() const {
    const QSize outer = m_outerSize ? m_outerSize() : QSize();
    return viewCentre(outer.width() * double(kTwipsPerPixel), outer.height() * double(kTwipsPerPixel));
}

void ImageMeasurement::startUp() {
    setMeasureMode(false);
    m_marks.line1.visible = false;
    emit viewChanged();
}

void ImageMeasurement::setMeasureMode(bool on) {
    const bool changed = m_measureMode != on;
    m_measureMode = on;
    m_model.setCaption(
        Caption::Command9,
        on ? model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "移动"))
           : model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "测量")));
    if (changed) emit modeChanged();
}

void ImageMeasurement::Open() {
    Clear();
    const std::optional<QString> path = m_prompts.openImagePath(imageFilterList());
    if (!path) return;
    showPicture(*path);
}

bool ImageMeasurement::openPath(const QString& path) {
    Clear();
    return showPicture(path);
}

bool ImageMeasurement::showPicture(const QString& path) {
    LoadedImage loaded = loadImage(path);
    if (!loaded.raster || loaded.picture.isNull()) {
        // The earlier picture stays; say so rather than leave the user guessing.
        m_prompts.warn(
            (loaded.tooLarge ? QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                           "图像太大，无法打开：")
                             : QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                           "无法读取图像文件：")) +
                QFileInfo(path).fileName() + (loaded.error.isEmpty() ? QString() : QStringLiteral("\n") + loaded.error),
            QString());
        return false;
    }
    m_model.setChosenFile(path);
    m_picture = std::move(loaded.picture);
    m_raster = std::move(loaded.raster);
    ++m_imageSerial;
    m_display = core::defaultDisplaySettings(*m_raster);
    m_centre.reset();
    m_centreLocked = false;
    emit centreChanged();
    m_spots.clear();
    m_autoPattern.reset();
    if (const auto& calibration = m_raster->calibration) {
        if (writeCalibration(m_model, *calibration)) {
            m_model.showStatus(QCoreApplication::translate(
                                   "saed::measure::ImageMeasurement",
                                   "标尺取自图像文件：10 1/nm 为 %1 像素（每像素 %2 1/nm）")
                                   .arg(m_model.Text1(Field::ScaleLength),
                                        QString::number(calibration->perPixel, 'g', 6)));
        } else {
            m_model.showStatus(QCoreApplication::translate(
                                   "saed::measure::ImageMeasurement",
                                   "图像文件的标尺是实空间的（每像素 %1 nm），不是衍射标定；"
                                   "标尺示数和标尺测量未填写")
                                   .arg(QString::number(calibration->perPixel, 'g', 6)));
        }
    }
    // A chosen calibration stands for the file's, which is shown beside it.
    if (writeChosenScale()) compareCalibrations(true);
    m_viewport.setNaturalSize(static_cast<float>(m_picture.width()) * kTwipsPerPixel,
                              static_cast<float>(m_picture.height()) * kTwipsPerPixel);
    m_viewport.showNatural(ViewCentre());
    emit viewChanged();
    emit imageOpened(path);
    return true;
}

void ImageMeasurement::zoomIn() {
    const ImageRect before = m_viewport.rect();
    if (!m_viewport.zoomIn(ViewCentre())) return;
    scaleMarks(before);
    emit viewChanged();
}

void ImageMeasurement::zoomOut() {
    const ImageRect before = m_viewport.rect();
    m_viewport.zoomOut(ViewCentre());
    scaleMarks(before);
    emit viewChanged();
}

void ImageMeasurement::scaleMarks(const ImageRect& before) {
    // Marks stay on the image points they were drawn on.
    const ImageRect& after = m_viewport.rect();
    if (!(before.width > 0.0f) || !(before.height > 0.0f)) return;
    const double sx = double(after.width) / before.width;
    const double sy = double(after.height) / before.height;
    const auto map = [&](Segment& s) {
        s.x1 = static_cast<float>(after.left + (s.x1 - before.left) * sx);
        s.x2 = static_cast<float>(after.left + (s.x2 - before.left) * sx);
        s.y1 = static_cast<float>(after.top + (s.y1 - before.top) * sy);
        s.y2 = static_cast<float>(after.top + (s.y2 - before.top) * sy);
    };
    map(m_marks.line1);
    for (Segment& mark : m_marks.line2) map(mark);
}

double ImageMeasurement::zoomFactor() const {
    const ImageRect& r = m_viewport.rect();
    if (!m_viewport.stretched() || !(m_viewport.naturalWidth() > 0.0f)) return 1.0;
    return double(r.width) / m_viewport.naturalWidth();
}

core::PixelPoint ImageMeasurement::toImagePixels(Vector2 twips) const {
    const double perPixel = kTwipsPerPixel * zoomFactor();
    return {twips.x / perPixel - 0.5, twips.y / perPixel - 0.5};
}

Vector2 ImageMeasurement::toImageTwips(core::PixelPoint pixels) const {
    const double perPixel = kTwipsPerPixel * zoomFactor();
    return {(pixels.x + 0.5) * perPixel, (pixels.y + 0.5) * perPixel};
}

void ImageMeasurement::setDisplaySettings(const core::DisplaySettings& settings) {
    m_display = settings;
    if (!m_raster) return;
    m_picture = displayImage(*m_raster, m_display);
    emit viewChanged();
}

void ImageMeasurement::setSnapping(bool on) { m_snapping = on; }

bool ImageMeasurement::findCentre() {
    if (!m_raster) {
        m_model.showStatus(
            QCoreApplication::translate("saed::measure::ImageMeasurement", "请先打开图像"));
        return false;
    }
    m_centre = findDirectBeamCentre(*m_raster);
    m_centreLocked = false;
    emit centreChanged();
    if (!m_centre) {
        m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                       "找不到中心斑：成对的对称斑点太少"));
    } else {
        m_model.showStatus(
            QCoreApplication::translate("saed::measure::ImageMeasurement",
                                        "中心斑在 (%1, %2) 像素；点击斑点即从中心画线")
                .arg(number(m_centre->x, 2), number(m_centre->y, 2)));
    }
    emit viewChanged();
    return m_centre.has_value();
}

bool ImageMeasurement::autoSpots() {
    if (!m_raster) {
        m_model.showStatus(
            QCoreApplication::translate("saed::measure::ImageMeasurement", "请先打开图像"));
        return false;
    }
    std::string error;
    const std::optional<AutoPattern> pattern = measurePattern(*m_raster, m_centre, error, {}, centreLocked());
    if (!pattern) {
        m_model.showStatus(
            QCoreApplication::translate("saed::measure::ImageMeasurement", "自动找斑点未成功：") +
            QString::fromStdString(error));
        return false;
    }
    // The fields take the vectors without the chosen distortion; the marks stay on the image's spots.
    const std::optional<AutoPattern> fields = withoutChosenDistortion(*pattern);
    if (!fields) {
        m_model.showStatus(
            QCoreApplication::translate("saed::measure::ImageMeasurement", "自动找斑点未成功：") +
            QCoreApplication::translate("saed::measure::ImageMeasurement",
                                        "去除标定的畸变后，R1、R2、R3 给不出一致的夹角"));
        return false;
    }
    applyPattern(*pattern);
    m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                   "找到 %1 个斑点：R1 = %2，R2 = %3，R3 = %4 像素")
                           .arg(pattern->spots.size())
                           .arg(number(fields->lengthsPx[0], 2), number(fields->lengthsPx[1], 2),
                                number(fields->lengthsPx[2], 2)));
    return true;
}

void ImageMeasurement::applyPattern(const AutoPattern& pattern) {
    if (!pattern.spots.empty()) m_spots = pattern.spots;
    m_centre = pattern.vectors.centre;
    emit centreChanged();
    m_autoPattern = pattern;
    m_rawLengthsPx = pattern.lengthsPx;
    const std::optional<AutoPattern> fields = withoutChosenDistortion(pattern);
    writeAutoPattern(m_model, fields ? *fields : pattern);
    // As three lines drawn from the centre and accepted as R1, R2 and R3.
    const core::PixelPoint r[3] = {pattern.vectors.r1, pattern.vectors.r2, pattern.vectors.r3};
    const ImageRect& rect = m_viewport.rect();
    const Vector2 from = toImageTwips(*m_centre);
    m_marks.hideAll();
    for (std::size_t n = 0; n < 3; ++n) {
        const Vector2 to = toImageTwips({m_centre->x + r[n].x, m_centre->y + r[n].y});
        m_spotVectors[n] = {from.x - to.x, from.y - to.y};
        m_flags[n] = 1;
        m_marks.line2[n] = {static_cast<float>(rect.left + from.x), static_cast<float>(rect.top + from.y),
                            static_cast<float>(rect.left + to.x), static_cast<float>(rect.top + to.y), true};
        m_spotLines[n] = PixelLine{m_centre->x, m_centre->y, m_centre->x + r[n].x, m_centre->y + r[n].y};
    }
    const std::array<Vector2, 3> v = correctedVectors();
    if (const auto a = pairCandidates(v[0], v[1], v[2])) m_candidates = *a;
    emit viewChanged();
}

void ImageMeasurement::setCentre(core::PixelPoint centre, bool locked) {
    m_centre = centre;
    m_centreLocked = locked;
    emit centreChanged();
    emit viewChanged();
}

void ImageMeasurement::setCentreLocked(bool locked) {
    if (!m_centre || m_centreLocked == locked) return;
    m_centreLocked = locked;
    m_model.showStatus(locked ? QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                            "中心已锁定：自动找斑点和识别物相都以它为透射斑")
                              : QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                            "中心不再锁定：自动找斑点和识别物相重新求中心"));
    emit centreChanged();
    emit viewChanged();
}

void ImageMeasurement::setCentreMode(bool on) {
    on = on && m_raster.has_value();
    if (m_centreMode == on) return;
    m_centreMode = on;
    if (on)
        m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                       "点击透射斑，把中心设在那里并锁定"));
    emit centreChanged();
    emit modeChanged();
}

bool ImageMeasurement::nudgeCentre(double dx, double dy) {
    if (!m_raster) return false;
    if (!m_centre) {
        m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                       "还没有中心：先点“找中心”，或点“设为中心”再点击透射斑"));
        return false;
    }
    const core::PixelPoint at{m_centre->x + dx, m_centre->y + dy};
    setCentre(at, true);
    m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                   "中心移到 (%1, %2) 像素并锁定；方向键每次 0.1 像素，加 Shift 每次 1 像素，L 解锁")
                           .arg(number(at.x, 2), number(at.y, 2)));
    return true;
}

bool ImageMeasurement::onCentre(Vector2 twips) const {
    if (!m_centre || !m_raster || m_measureMode) return false;
    const core::PixelPoint p = toImagePixels(twips);
    return std::hypot(p.x - m_centre->x, p.y - m_centre->y) * zoomFactor() <= kSnapScreenPx;
}

QString ImageMeasurement::pointerStatus(Vector2 twips) const {
    QString text = QCoreApplication::translate("saed::measure::ImageMeasurement", "缩放 %1%")
                       .arg(number(zoomFactor() * 100.0, 0));
    if (!m_raster) return text;
    const core::PixelPoint p = toImagePixels(twips);
    text += QCoreApplication::translate("saed::measure::ImageMeasurement", "   像素 (%1, %2)")
                .arg(number(p.x, 1), number(p.y, 1));
    const double reading = m_model.value(Field::ScaleReading);
    const double barPx = m_model.value(Field::ScaleLength);
    if (reading > 0.0 && barPx > 0.0) {
        const core::PixelPoint from = m_centre ? *m_centre
                                         : core::PixelPoint{(m_raster->width() - 1) / 2.0, (m_raster->height() - 1) / 2.0};
        double dx = p.x - from.x, dy = p.y - from.y;
        if (m_chosen) m_chosen->distortion.correct(dx, dy);
        const double g = std::hypot(dx, dy) * reading / barPx;
        text += QStringLiteral("   |g| = %1 1/nm").arg(number(g, 3));
        if (g > 0.0) text += QStringLiteral("（d = %1 nm）").arg(number(1.0 / g, 4));
    }
    return text;
}

void ImageMeasurement::snapLine(Vector2& start, Vector2& end) const {
    const double zoom = zoomFactor();
    const double radius = std::max(kSnapMinImagePx, kSnapScreenPx / zoom);
    core::PixelPoint a = toImagePixels(start);
    core::PixelPoint b = toImagePixels(end);
    const auto snap = [&](core::PixelPoint p) -> std::optional<core::PixelPoint> {
        const std::optional<Spot> spot = refineSpotCentre(*m_raster, p, radius);
        if (!spot || std::hypot(spot->x - p.x, spot->y - p.y) > radius) return std::nullopt;
        return core::PixelPoint{spot->x, spot->y};
    };
    const bool click = std::hypot(b.x - a.x, b.y - a.y) * zoom < kClickScreenPx;
    if (m_centre && click) {
        // A click on a spot draws the line from the direct beam to it.
        const std::optional<core::PixelPoint> spot = snap(b);
        if (!spot) return;
        a = *m_centre;
        b = *spot;
    } else {
        if (m_centre && std::hypot(a.x - m_centre->x, a.y - m_centre->y) <= radius) {
            a = *m_centre;
        } else if (const auto s = snap(a)) {
            a = *s;
        }
        if (const auto s = snap(b)) b = *s;
    }
    start = toImageTwips(a);
    end = toImageTwips(b);
}

void ImageMeasurement::restore() {
    m_viewport.showNatural(ViewCentre());
    m_model.setFlag(Flag::Command3Enabled, true);
    m_model.setFlag(Flag::Command7Enabled, true);
    m_marks.hideAll();
    emit viewChanged();
}

void ImageMeasurement::toggleMode() {
    if (m_measureMode) {
        setMeasureMode(false);
    } else {
        // All lines of one pattern are drawn at one zoom level.
        m_model.setFlag(Flag::Command3Enabled, false);
        m_model.setFlag(Flag::Command7Enabled, false);
        setMeasureMode(true);
    }
}

void ImageMeasurement::Clear() {
    // An open Measure dialog belongs to the lines being cleared: it closes without writing.
    emit measureDialogCloseRequested();
    m_marks.hideAll();
    m_centre.reset();
    m_centreLocked = false;
    m_centreMode = false;
    m_draggingCentre = false;
    emit centreChanged();
    m_spots.clear();
    for (Field f : kMeasurementFields) m_model.setText1(f, QString());
    m_flags = {0, 0, 0};
    m_spotVectors.fill(Vector2{1.0, 1.0});
    m_spotLines.fill(std::nullopt);
    m_rawLengthsPx.fill(0.0);
    m_autoPattern.reset();
    // A chosen calibration stays chosen: its scale bar is written again.
    writeChosenScale();
    m_model.resultTable()->clearRows();
    m_model.setCaption(Caption::Label22, QStringLiteral("0"));
    m_model.setCaption(Caption::Label5, model::label5IdleText());
    m_model.setFlag(Flag::Command3Enabled, true);
    m_model.setFlag(Flag::Command7Enabled, true);
    setMeasureMode(false);
    emit viewChanged();
}

void ImageMeasurement::press(Qt::MouseButton button, Qt::MouseButtons held, double x, double y) {
    if (button != Qt::LeftButton || held != Qt::MouseButtons(Qt::LeftButton)) return;
    // In "设为中心" the release sets the centre; on the centre's cross the press grabs it.
    if (m_centreMode) return;
    m_draggingCentre = onCentre({x, y});
    if (m_draggingCentre) return;
    if (m_measureMode)
        m_lineStart = {x, y};
    else
        m_dragStart = {x, y};
}

void ImageMeasurement::move(Qt::MouseButtons held, double x, double y) {
    emit magnifierRequested();
    emit pointerStatusChanged(pointerStatus({x, y}));
    if (held != Qt::MouseButtons(Qt::LeftButton) || m_centreMode) return;
    if (m_draggingCentre) {
        m_centre = toImagePixels({x, y});
        emit viewChanged();
        return;
    }
    const ImageRect& r = m_viewport.rect();
    if (m_measureMode) {
        m_marks.line1 = {static_cast<float>(r.left + m_lineStart.x), static_cast<float>(r.top + m_lineStart.y),
                         static_cast<float>(r.left + x), static_cast<float>(r.top + y), true};
    } else {
        // DragStart stays: the image follows the pointer, so the grabbed point stays under it.
        const double dx = x - m_dragStart.x;
        const double dy = y - m_dragStart.y;
        m_viewport.moveBy(dx, dy);
        m_marks.line1.visible = false;
        m_marks.shiftMarks(dx, dy);
    }
    emit viewChanged();
}

void ImageMeasurement::release(Qt::MouseButton button, double x, double y) {
    if (button != Qt::LeftButton) return;
    if ((m_centreMode || m_draggingCentre) && m_raster) {
        core::PixelPoint at = toImagePixels({x, y});
        // A click lands on the direct beam's sub-pixel centre; a dragged cross stays where it is put.
        if (m_centreMode && m_snapping) {
            const double radius = std::max(kSnapMinImagePx, kSnapScreenPx / zoomFactor());
            if (const std::optional<Spot> spot = refineSpotCentre(*m_raster, at, radius);
                spot && std::hypot(spot->x - at.x, spot->y - at.y) <= radius)
                at = {spot->x, spot->y};
        }
        m_draggingCentre = false;
        const bool wasMode = m_centreMode;
        m_centreMode = false;
        setCentre(at, true);
        if (wasMode) emit modeChanged();
        m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                       "中心设在 (%1, %2) 像素并锁定：自动找斑点和识别物相都以它为透射斑")
                               .arg(number(at.x, 2), number(at.y, 2)));
        return;
    }
    m_draggingCentre = false;
    if (!m_measureMode) return;
    const ImageRect& r = m_viewport.rect();
    Vector2 end{x, y};
    if (m_snapping && m_raster) snapLine(m_lineStart, end);
    // The line ends where the button came up, also when the pointer did not move in between.
    m_marks.line1 = {static_cast<float>(r.left + m_lineStart.x), static_cast<float>(r.top + m_lineStart.y),
                     static_cast<float>(r.left + end.x), static_cast<float>(r.top + end.y), true};
    m_lineEnd = end;
    m_marks.keepLine1();
    // Lengths are in image pixels whatever the zoom; at natural size the factor is exactly 1.
    const double zoom = zoomFactor();
    m_measuredLengthPx = lengthInPixels(m_lineStart, m_lineEnd);
    if (zoom != 1.0) m_measuredLengthPx = static_cast<float>(m_measuredLengthPx / zoom);
    emit viewChanged();
    emit measureDialogRequested();
}

void ImageMeasurement::acceptLine(int kind, const QString& value) {
    static constexpr Field kLengthField[] = {Field::ScaleLength, Field::LengthR1, Field::LengthR2, Field::LengthR3};
    static constexpr Field kValueField[] = {Field::ScaleReading, Field::SegmentsR1, Field::SegmentsR2, Field::SegmentsR3};
    if (kind < 0 || kind > 3) kind = 0;
    const auto k = static_cast<std::size_t>(kind);
    if (kind > 0) {
        // In twips of the image at natural size, whatever the zoom the line was drawn at.
        const double zoom = zoomFactor();
        m_spotVectors[k - 1] = {(m_lineStart.x - m_lineEnd.x) / zoom, (m_lineStart.y - m_lineEnd.y) / zoom};
        m_rawLengthsPx[k - 1] = m_measuredLengthPx;
        // The angles of a hand-measured line come from the lines from now on.
        m_autoPattern.reset();
    }
    // A spot vector's length without the chosen distortion; the scale bar is printed, not projected.
    m_model.setText1(kLengthField[k], qs(core::generalText(kind > 0 ? correctedLength(k - 1) : m_measuredLengthPx)));
    m_model.setText1(kValueField[k], value);
    if (kind > 0) {
        m_flags[k - 1] = 1;
        // The ends in image pixels, whatever the zoom the line was drawn at.
        const ImageRect& r = m_viewport.rect();
        if (!m_picture.isNull() && r.width > 0 && r.height > 0) {
            const double sx = m_picture.width() / double(r.width), sy = m_picture.height() / double(r.height);
            m_spotLines[k - 1] = PixelLine{m_lineStart.x * sx, m_lineStart.y * sy, m_lineEnd.x * sx, m_lineEnd.y * sy};
        }
    }
    updateAngles();
    emit measureDialogFinished();
}

void ImageMeasurement::updateAngles() {
    // A zero-length or parallel pair has no angle: the fields keep what they show.
    const std::array<Vector2, 3> v = correctedVectors();
    const std::optional<AngleCandidates> a = pairCandidates(v[0], v[1], v[2]);
    if (!a) return;
    m_candidates = *a;
    if (m_flags != std::array<int, 3>{1, 1, 1}) return;
    if (const auto angles = searchOrientation(m_candidates)) {
        m_model.setText1(Field::AngleR1R2, qs(core::generalText((*angles)[0])));
        m_model.setText1(Field::AngleR2R3, qs(core::generalText((*angles)[1])));
        m_model.setText1(Field::AngleR1R3, qs(core::generalText((*angles)[2])));
    }
}

void ImageMeasurement::cancelLine() {
    m_marks.cancelLatest();
    emit viewChanged();
    emit measureDialogFinished();
}

std::optional<AutoPattern> ImageMeasurement::withoutChosenDistortion(const AutoPattern& pattern) const {
    if (!m_chosen || m_chosen->distortion.none()) return pattern;
    return withoutDistortion(pattern, m_chosen->distortion);
}

std::array<Vector2, 3> ImageMeasurement::correctedVectors() const {
    std::array<Vector2, 3> v = m_spotVectors;
    if (m_chosen && !m_chosen->distortion.none())
        for (Vector2& r : v) m_chosen->distortion.correct(r.x, r.y);
    return v;
}

double ImageMeasurement::correctedLength(std::size_t i) const {
    const double raw = m_rawLengthsPx[i];
    if (!m_chosen || m_chosen->distortion.none()) return raw;
    // The distortion is linear: a line's length changes by the factor of its direction.
    const Vector2 v = m_spotVectors[i];
    const double length = std::hypot(v.x, v.y);
    if (!(length > 0.0)) return raw;
    double dx = v.x, dy = v.y;
    m_chosen->distortion.correct(dx, dy);
    return raw * std::hypot(dx, dy) / length;
}

bool ImageMeasurement::writeChosenScale() {
    if (!m_chosen) return false;
    core::Calibration c;
    c.perPixel = m_chosen->perPixel;
    c.reciprocal = true;
    return writeCalibration(m_model, c);
}

void ImageMeasurement::setChosenCalibration(const std::optional<ChosenCalibration>& chosen) {
    // Whether the fields still hold the scale bar the previous choice wrote.
    const bool heldChosen = m_chosen && m_model.Text1(Field::ScaleReading) == qs(core::generalText(10.0)) &&
                            m_model.Text1(Field::ScaleLength) == qs(core::generalText(10.0 / m_chosen->perPixel));
    m_chosen = chosen && chosen->perPixel > 0.0 ? chosen : std::nullopt;
    if (m_chosen) {
        writeChosenScale();
        const core::EllipticDistortion& d = m_chosen->distortion;
        m_model.setCalibrationNote(calibrationNote(m_chosen->name, m_chosen->perPixel, d));
        m_model.showStatus(QCoreApplication::translate("saed::measure::ImageMeasurement",
                                                       "标尺取自标定“%1”：每像素 %2 1/nm，椭圆畸变 %3（长轴 %4°）已从测得的矢量中去除")
                               .arg(m_chosen->name, QString::number(m_chosen->perPixel, 'g', 6), number(d.ratio, 4),
                                    number(d.angleDeg, 1)));
    } else {
        m_model.setCalibrationNote(QString());
        // The file's own calibration comes back; a scale bar the user measured stays.
        const auto& file = m_raster ? m_raster->calibration : std::nullopt;
        if (!(file && writeCalibration(m_model, *file)) && heldChosen) {
            m_model.setText1(Field::ScaleReading, QString());
            m_model.setText1(Field::ScaleLength, QString());
        }
    }
    rewriteMeasuredVectors();
    compareCalibrations(true);
}

void ImageMeasurement::rewriteMeasuredVectors() {
    if (m_autoPattern) {
        if (const std::optional<AutoPattern> fields = withoutChosenDistortion(*m_autoPattern))
            writeAutoPattern(m_model, *fields);
        const std::array<Vector2, 3> v = correctedVectors();
        if (const auto a = pairCandidates(v[0], v[1], v[2])) m_candidates = *a;
        return;
    }
    for (std::size_t i = 0; i < 3; ++i)
        if (m_flags[i] == 1 && m_rawLengthsPx[i] > 0.0)
            m_model.setText1(fieldNumber(Field::LengthR1, static_cast<int>(i)), qs(core::generalText(correctedLength(i))));
    updateAngles();
}

void ImageMeasurement::compareCalibrations(bool tell) {
    QString text;
    const auto& file = m_raster ? m_raster->calibration : std::nullopt;
    if (m_chosen && file && file->reciprocal && file->perPixel > 0.0) {
        const double off = file->perPixel / m_chosen->perPixel - 1.0;
        text = QCoreApplication::translate("saed::measure::ImageMeasurement",
                                           "文件自带 %1 1/nm/px（%2 %）")
                   .arg(QString::number(file->perPixel, 'g', 6),
                        (off > 0 ? QStringLiteral("+") : QString()) + QString::number(100.0 * off, 'f', 2));
        if (tell && std::abs(off) > kLargeCalibrationDifference)
            m_prompts.warn(QCoreApplication::translate(
                               "saed::measure::ImageMeasurement",
                               "图像文件自带的标定（每像素 %1 1/nm）与所选标定“%2”（每像素 %3 1/nm）相差 %4 %。\n"
                               "请核对所选标定是否属于这张图的相机长度和像素合并；计算用的是所选标定。")
                               .arg(QString::number(file->perPixel, 'g', 6), m_chosen->name,
                                    QString::number(m_chosen->perPixel, 'g', 6), QString::number(100.0 * off, 'f', 2)),
                           QString());
    }
    if (text != m_comparison) {
        m_comparison = text;
        emit calibrationComparisonChanged(m_comparison);
    }
}

}  // namespace saed::measure
