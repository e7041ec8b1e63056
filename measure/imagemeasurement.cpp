// The image-measurement state of the main window and its operations: the picture and where it
// sits, move and measure mode, the drawn lines, the spot vectors and the Measure dialog's writes.
#include "measure/imagemeasurement.h"

#include <algorithm>  // for minmax_element

#include <QFileInfo>
#include <QImageReader>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"

namespace saed::measure {

using model::Caption;
using model::Flag;

namespace {

// The image-measurement fields that Clear empties: scale bar, lengths, segments and angles.
constexpr int kMeasurementFields[] = {22, 23, 24, 25, 26, 30, 31, 32, 33, 34, 35};

QString qs(const std::string& text) { return QString::fromStdString(text); }

// 16-bit grayscale shown with its own range stretched onto 0..255.
QImage stretchGray16(const QImage& image) {
    quint16 low = 0xFFFF;
    quint16 high = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint16*>(image.constScanLine(y));
        const auto [lo, hi] = std::minmax_element(line, line + image.width());
        low = std::min(low, *lo);
        high = std::max(high, *hi);
    }
    QImage shown(image.size(), QImage::Format_Grayscale8);
    const double span = high > low ? high - low : 1.0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const quint16*>(image.constScanLine(y));
        uchar* out = shown.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            out[x] = static_cast<uchar>((in[x] - low) * 255.0 / span + 0.5);
    }
    return shown;
}

}  // namespace

QString imageFilterList() {
    return QStringLiteral(
        "所有格式图像|*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png|JPEG图像(*.jpg;*.jpeg)|*.jpg;*.jpeg|"
        "BMP图像(*.bmp)|*.bmp|GIF图像(*.gif)|*.gif|TIFF图像(*.tif;*.tiff)|*.tif;*.tiff|PNG图像(*.png)|*.png");
}

QImage decodeImage(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) return image;
    if (image.format() == QImage::Format_Grayscale16) return stretchGray16(image);
    return image;
}

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
    m_model.setCaption(Caption::Command9, on ? QStringLiteral("移动") : QStringLiteral("测量"));
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
    QImage image = decodeImage(path);
    if (image.isNull()) {
        // The earlier picture stays; say so rather than leave the user guessing.
        m_prompts.warn(QStringLiteral("无法读取图像文件：") + QFileInfo(path).fileName(), QString());
        return false;
    }
    m_model.setChosenFile(path);
    m_picture = std::move(image);
    m_viewport.setNaturalSize(static_cast<float>(m_picture.width()) * kTwipsPerPixel,
                              static_cast<float>(m_picture.height()) * kTwipsPerPixel);
    m_viewport.showNatural(ViewCentre());
    emit viewChanged();
    return true;
}

void ImageMeasurement::zoomIn() {
    if (m_viewport.zoomIn(ViewCentre())) emit viewChanged();
}

void ImageMeasurement::zoomOut() {
    m_viewport.zoomOut(ViewCentre());
    emit viewChanged();
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
    m_marks.hideAll();
    for (int n : kMeasurementFields) m_model.setText1(n, QString());
    m_flags = {0, 0, 0};
    m_spotVectors.fill(Vector2{1.0, 1.0});
    m_spotLines.fill(std::nullopt);
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
    if (m_measureMode)
        m_lineStart = {x, y};
    else
        m_dragStart = {x, y};
}

void ImageMeasurement::move(Qt::MouseButtons held, double x, double y) {
    emit magnifierRequested();
    if (held != Qt::MouseButtons(Qt::LeftButton)) return;
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
    if (button != Qt::LeftButton || !m_measureMode) return;
    const ImageRect& r = m_viewport.rect();
    // The line ends where the button came up, also when the pointer did not move in between.
    m_marks.line1 = {static_cast<float>(r.left + m_lineStart.x), static_cast<float>(r.top + m_lineStart.y),
                     static_cast<float>(r.left + x), static_cast<float>(r.top + y), true};
    m_lineEnd = {x, y};
    m_marks.keepLine1();
    m_measuredLengthPx = lengthInPixels(m_lineStart, m_lineEnd);
    emit viewChanged();
    emit measureDialogRequested();
}

void ImageMeasurement::acceptLine(int kind, const QString& value) {
    static constexpr int kLengthField[] = {23, 24, 25, 26};
    static constexpr int kValueField[] = {22, 30, 31, 32};
    if (kind < 0 || kind > 3) kind = 0;
    const auto k = static_cast<std::size_t>(kind);
    m_model.setText1(kLengthField[k], qs(core::generalText(m_measuredLengthPx)));
    m_model.setText1(kValueField[k], value);
    if (kind > 0) {
        m_spotVectors[k - 1] = {m_lineStart.x - m_lineEnd.x, m_lineStart.y - m_lineEnd.y};
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
    const std::optional<AngleCandidates> a = pairCandidates(m_spotVectors[0], m_spotVectors[1], m_spotVectors[2]);
    if (!a) return;
    m_candidates = *a;
    if (m_flags != std::array<int, 3>{1, 1, 1}) return;
    if (const auto angles = searchOrientation(m_candidates)) {
        m_model.setText1(33, qs(core::generalText((*angles)[0])));
        m_model.setText1(34, qs(core::generalText((*angles)[1])));
        m_model.setText1(35, qs(core::generalText((*angles)[2])));
    }
}

void ImageMeasurement::cancelLine() {
    m_marks.cancelLatest();
    emit viewChanged();
    emit measureDialogFinished();
}

}  // namespace saed::measure
