// SPDX-License-Identifier: BSD-3-Clause
#include "app/measurementpanel.h"

#include <array>
#include <vector>

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>

#include "app/calibrationselector.h"
#include "app/elidedlabel.h"
#include "app/panelwidgets.h"
#include "measure/imagemeasurement.h"
#include "model/mainmodel.h"
#include "store/calibrationstore.h"
#include "store/parameterstore.h"

namespace saed::app {

using model::Field;

MeasurementPanel::MeasurementPanel(model::MainModel& model, model::Prompts& prompts,
                                   measure::ImageMeasurement& measurement, QWidget* parent)
    : QGroupBox(tr("图片测量"), parent) {
    setObjectName(QStringLiteral("Frame3"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(4);
    grid->addWidget(makeLabel(tr("实际测量长度")), 0, 1, 1, 2);
    grid->addWidget(makeLabel(tr("段数")), 0, 3);
    grid->addWidget(makeLabel(tr("实际测量角度")), 0, 4, 1, 3);
    const char16_t* rowNames[3] = {u"R1", u"R2", u"R3"};
    const char16_t* angleNames[3] = {u"<R1,R2>=", u"<R2,R3>=", u"<R1,R3>="};
    // Measured lengths show to 0.01 px, as the image commands print them, and angles to 0.0001°,
    // as the result table, the reports and the measured values under the fields print them;
    // the whole value stays in the field's tooltip and in the run.
    constexpr int kLengthDecimals = 2;
    constexpr int kAngleDecimals = 4;
    std::vector<QLineEdit*> measured;
    for (int i = 0; i < 3; ++i) {
        QLineEdit* length = makeBoundField(model, Field::LengthR1, i, kLengthDecimals);
        QLineEdit* segments = makeBoundField(model, Field::SegmentsR1, i);
        QLineEdit* angle = makeBoundField(model, Field::AngleR1R2, i, kAngleDecimals);
        length->setMinimumWidth(90);
        segments->setMaximumWidth(44);
        angle->setMinimumWidth(90);
        grid->addWidget(makeLabel(QString::fromUtf16(rowNames[i])), i + 1, 0);
        grid->addWidget(length, i + 1, 1);
        grid->addWidget(makeLabel(QStringLiteral("px")), i + 1, 2);
        grid->addWidget(segments, i + 1, 3);
        grid->addWidget(makeLabel(QString::fromUtf16(angleNames[i])), i + 1, 4, Qt::AlignRight);
        grid->addWidget(angle, i + 1, 5);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 6);
        measured.push_back(segments);
    }
    // The scale bar's reading and its measured length share one row, so the window fits a
    // 1024 x 768 screen.
    QLineEdit* reading = makeBoundField(model, Field::ScaleReading);
    QLineEdit* scale = makeBoundField(model, Field::ScaleLength, 0, kLengthDecimals);
    reading->setMaximumWidth(130);
    scale->setMaximumWidth(130);
    grid->addWidget(makeLabel(tr("标尺示数")), 4, 0);
    grid->addWidget(reading, 4, 1);
    grid->addWidget(makeLabel(QStringLiteral("1/nm")), 4, 2, 1, 2);
    grid->addWidget(makeLabel(tr("标尺测量")), 4, 4, Qt::AlignRight);
    grid->addWidget(scale, 4, 5);
    grid->addWidget(makeLabel(QStringLiteral("px")), 4, 6);
    // A saved calibration for the scale bar and the distortion, the file's own beside it: one
    // row the window places beside the run button, so that the window still fits 1024 x 768.
    m_calibrationRow = new QWidget;
    m_calibrationRow->setObjectName(QStringLiteral("calibrationRow"));
    auto* row = new QHBoxLayout(m_calibrationRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    m_calibrations = new CalibrationSelector(store::CalibrationStore::defaultPath(), prompts);
    auto* comparison = new ElidedLabel(QString(), 150);
    comparison->setObjectName(QStringLiteral("calibrationComparison"));
    row->addWidget(makeLabel(tr("标定")));
    row->addWidget(m_calibrations);
    row->addWidget(comparison, 1);
    connect(m_calibrations, &CalibrationSelector::calibrationChosen, &measurement,
            &measure::ImageMeasurement::setChosenCalibration);
    connect(&measurement, &measure::ImageMeasurement::calibrationComparisonChanged, comparison,
            &ElidedLabel::setFullText);
    grid->setContentsMargins(6, 4, 6, 4);
    measured.push_back(reading);
    // A value may be longer than its field shows: its tooltip holds it whole.
    for (QLineEdit* field : measured)
        connect(field, &QLineEdit::textChanged, field, [field](const QString& text) { field->setToolTip(text); });

    // The parameter sets: save the fields, or import one of four slots.
    const store::ParameterStore parameterStore(store::ParameterStore::defaultPath());
    auto* pop3 = new QMenu(this);
    pop3->setObjectName(QStringLiteral("pop3"));
    auto* pop30 = pop3->addAction(tr("保存计算参数"));
    pop30->setObjectName(QStringLiteral("pop30"));
    std::array<QAction*, 4> imports{};
    for (int k = 1; k <= 4; ++k) {
        QAction* entry = pop3->addAction(tr("导入%1").arg(k));
        entry->setObjectName(QStringLiteral("pop3%1").arg(k));
        imports[static_cast<std::size_t>(k - 1)] = entry;
        connect(entry, &QAction::triggered, this,
                [&model, &prompts, parameterStore, k] { parameterStore.importSlot(model, prompts, k); });
    }
    // The captions follow the store each time the menu opens.
    connect(pop3, &QMenu::aboutToShow, this, [parameterStore, imports] {
        const QStringList captions = parameterStore.menuCaptions();
        for (std::size_t i = 0; i < imports.size(); ++i) imports[i]->setText(captions[static_cast<qsizetype>(i)]);
    });
    connect(pop30, &QAction::triggered, this, [&model, &prompts, parameterStore] { parameterStore.save(model, prompts); });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this, pop3](const QPoint& pos) { pop3->popup(mapToGlobal(pos)); });
}

}  // namespace saed::app
