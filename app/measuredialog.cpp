// What the Measure dialog shows and does, apart from its widgets.
#include "app/measuredialog.h"

#include <string>

#include "core/numbertext.h"
#include "measure/imagemeasurement.h"

namespace saed::measure {

namespace {

const QString kLabel1Bar = QStringLiteral("为       1/nm");
const QString kLabel1Segments = QStringLiteral("为       段");

}  // namespace

MeasureDialogLogic::MeasureDialogLogic(ImageMeasurement& measurement) : m_measurement(measurement) {
    readLength();
    m_illustration = 0;
    m_label1 = kLabel1Bar;
    m_label2 = QStringLiteral("标尺长度为") + QString::fromStdString(core::generalTextSingle(m_shownLengthPx)) +
               QStringLiteral("像素");
}

void MeasureDialogLogic::readLength() {
    // Two decimals with digit grouping, read back as a single: the grouping commas are dropped first.
    std::string shown = core::formatTwoDecimals(m_measurement.MeasuredLengthPx());
    std::erase(shown, ',');
    m_shownLengthPx = static_cast<float>(core::leadingNumber(shown));
}

void MeasureDialogLogic::choose(int k) {
    if (k < 0 || k > 3) return;
    static const QString kPrefix[] = {QStringLiteral("标尺长度为"), QStringLiteral("R1测量长度为"),
                                      QStringLiteral("R2测量长度为"), QStringLiteral("R3测量长度为")};
    m_measureKind = k;
    readLength();
    m_illustration = k;
    m_label1 = k == 0 ? kLabel1Bar : kLabel1Segments;
    m_label2 = kPrefix[k] + QString::fromStdString(core::generalTextSingle(m_shownLengthPx)) + QStringLiteral("像素");
}

int MeasureDialogLogic::illustrationLeft() const {
    static constexpr int kLeft[] = {1680, 1700, 1680, 1660};
    return kLeft[m_illustration];
}

int MeasureDialogLogic::illustrationTop() const { return m_illustration == 0 ? 600 : 800; }

void MeasureDialogLogic::accept(const QString& value) {
    m_shownLengthPx = 0.0f;
    m_measurement.acceptLine(m_measureKind, value);
}

void MeasureDialogLogic::cancel() {
    m_shownLengthPx = 0.0f;
    m_measurement.cancelLine();
}

}  // namespace saed::measure
