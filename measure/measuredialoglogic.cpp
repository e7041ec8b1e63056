// SPDX-License-Identifier: BSD-3-Clause
// What the Measure dialog shows and does, apart from its widgets.
#include "measure/measuredialoglogic.h"

#include <string>

#include <QCoreApplication>  // for translate

#include "core/numbertext.h"
#include "measure/imagemeasurement.h"

namespace saed::measure {

namespace {

// The spaces leave room for the number box that sits over the label.
QString label1Bar() { return QCoreApplication::translate("saed::app::Form2", "为       1/nm"); }
QString label1Segments() { return QCoreApplication::translate("saed::app::Form2", "为       段"); }

QString lengthText(int k, float lengthPx) {
    static const char* const kTexts[] = {
        QT_TRANSLATE_NOOP("saed::app::Form2", "标尺长度为%1像素"),
        QT_TRANSLATE_NOOP("saed::app::Form2", "R1测量长度为%1像素"),
        QT_TRANSLATE_NOOP("saed::app::Form2", "R2测量长度为%1像素"),
        QT_TRANSLATE_NOOP("saed::app::Form2", "R3测量长度为%1像素")};
    return QCoreApplication::translate("saed::app::Form2", kTexts[k])
        .arg(QString::fromStdString(core::generalTextSingle(lengthPx)));
}

}  // namespace

MeasureDialogLogic::MeasureDialogLogic(ImageMeasurement& measurement) : m_measurement(measurement) {
    readLength();
    m_illustration = 0;
    m_label1 = label1Bar();
    m_label2 = lengthText(0, m_shownLengthPx);
}

void MeasureDialogLogic::readLength() {
    // Two decimals with digit grouping, read back as a single: the grouping commas are dropped first.
    std::string shown = core::formatTwoDecimals(m_measurement.MeasuredLengthPx());
    std::erase(shown, ',');
    m_shownLengthPx = static_cast<float>(core::leadingNumber(shown));
}

void MeasureDialogLogic::choose(int k) {
    if (k < 0 || k > 3) return;
    m_measureKind = k;
    readLength();
    m_illustration = k;
    m_label1 = k == 0 ? label1Bar() : label1Segments();
    m_label2 = lengthText(k, m_shownLengthPx);
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
