// SPDX-License-Identifier: BSD-3-Clause
// What the Measure dialog shows and does, apart from its widgets.
#pragma once

#include <QString>

namespace saed::measure {

class ImageMeasurement;

class MeasureDialogLogic {
public:
    // Runs the load step: the scale-bar choice's texts with the current length.
    explicit MeasureDialogLogic(ImageMeasurement& measurement);

    // A click on choice k: 0 scale bar, 1..3 R1..R3.
    void choose(int k);
    // "确定" with the typed value (not validated); the main window's fields get the line.
    void accept(const QString& value);
    // "取消": the latest mark is taken back and nothing is written.
    void cancel();

    int MeasureKind() const { return m_measureKind; }
    float ShownLengthPx() const { return m_shownLengthPx; }
    QString label1() const { return m_label1; }
    QString label2() const { return m_label2; }
    // Index of the illustration shown and its place in twips.
    int illustration() const { return m_illustration; }
    int illustrationLeft() const;
    int illustrationTop() const;

private:
    void readLength();

    ImageMeasurement& m_measurement;
    int m_measureKind = 0;
    float m_shownLengthPx = 0.0f;
    int m_illustration = 0;
    QString m_label1;
    QString m_label2;
};

}  // namespace saed::measure
