// SPDX-License-Identifier: BSD-3-Clause
#include "app/calculatorpanel.h"

#include <vector>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/elidedlabel.h"
#include "app/panelwidgets.h"
#include "app/patternschematic.h"
#include "calculator/calculatoroperations.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::app {

using model::Caption;
using model::Field;

CalculatorPanel::CalculatorPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_model(model) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto* frame2 = new QGroupBox(tr("夹角带轴计算"));
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(frame2);
    grid->setVerticalSpacing(3);
    const char16_t* rowNames[3] = {u"R1", u"R2", u"R3"};
    const char16_t* angleNames[3] = {u"<R1,R2>=", u"<R2,R3>=", u"<R1,R3>="};
    grid->addWidget(makeLabel(QStringLiteral("h")), 0, 1, Qt::AlignCenter);
    grid->addWidget(makeLabel(QStringLiteral("k")), 0, 2, Qt::AlignCenter);
    grid->addWidget(makeLabel(QStringLiteral("l")), 0, 3, Qt::AlignCenter);
    std::vector<QLineEdit*> outputs;
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(makeLabel(QString::fromUtf16(rowNames[i])), i + 1, 0);
        int at = 1;
        for (Field first : {Field::H1, Field::K1, Field::L1}) {
            QLineEdit* index = makeBoundField(m_model, first, i);
            index->setMaximumWidth(44);
            grid->addWidget(index, i + 1, at++);
        }
        grid->addWidget(makeLabel(QString::fromUtf16(angleNames[i])), i + 1, 4, Qt::AlignRight);
        QLineEdit* angle = makeBoundField(m_model, Field::CalcAngle12, i);
        // The outputs show their beginning: an angle has up to 15 digits.
        angle->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000.0000000000000")) + 12);
        outputs.push_back(angle);
        grid->addWidget(angle, i + 1, 5);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 6);
    }
    // The three spacings stand on one line under the grid, each followed by its unit.
    auto* spacings = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* spacing = new ElidedLabel(model::spacingLabelIdleText(i + 1), 140);
        spacing->setObjectName(QStringLiteral("Label1_%1").arg(47 + i));
        m_spacingLabels[static_cast<std::size_t>(i)] = spacing;
        spacings->addWidget(spacing);
        spacings->addWidget(makeLabel(QStringLiteral("nm")));
        spacings->addSpacing(8);
    }
    spacings->addStretch(1);
    grid->addLayout(spacings, 5, 0, 1, 7);
    grid->addWidget(makeLabel(tr("晶带轴指数")), 4, 0, 1, 2);
    auto* axis = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        QLineEdit* zone = makeBoundField(m_model, Field::ZoneU, i);
        zone->setMaximumWidth(64);
        outputs.push_back(zone);
        axis->addWidget(zone);
    }
    grid->addLayout(axis, 4, 2, 1, 5);
    auto* command5 = new QPushButton(tr("计算"));
    command5->setObjectName(QStringLiteral("Command5"));
    auto* command15 = new QPushButton(tr("清除"));
    command15->setObjectName(QStringLiteral("Command15"));
    axis->addStretch(1);
    axis->addWidget(command5);
    axis->addWidget(command15);
    // The six outputs are only shown: blue text, not editable by typing.
    for (QLineEdit* output : outputs) {
        output->setReadOnly(true);
        output->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
        output->setFocusPolicy(Qt::ClickFocus);
    }
    // Narrow margins: with them every control fits a 1024 x 768 screen.
    grid->setContentsMargins(6, 4, 6, 4);
    column->addWidget(frame2);

    auto* picture = new PatternSchematic;
    picture->setObjectName(QStringLiteral("Frame9"));
    m_label14 = new ElidedLabel(QString(), 300);
    m_label15 = new ElidedLabel(QString(), 300);
    m_label16 = new ElidedLabel(QString(), 300);
    m_label17 = new ElidedLabel(QString(), 300);
    m_label14->setObjectName(QStringLiteral("Label14"));
    m_label15->setObjectName(QStringLiteral("Label15"));
    m_label16->setObjectName(QStringLiteral("Label16"));
    m_label17->setObjectName(QStringLiteral("Label17"));
    // Label16 names the plane of R1, Label15 that of R2, Label14 that of R3.
    picture->setLabels(m_label16, m_label15, m_label14, m_label17);
    column->addWidget(picture, 1);

    connect(command5, &QPushButton::clicked, this, [this, &prompts] { calculator::calculate(m_model, prompts); });
    connect(command15, &QPushButton::clicked, this, [this] { calculator::clearCalculator(m_model); });
    connect(&m_model, &model::MainModel::captionChanged, this, &CalculatorPanel::showCaptions);
    showCaptions();
}

void CalculatorPanel::showCaptions() {
    // Number texts pass through unchanged; the fixed captions show in the reader's language.
    const auto text = [this](Caption c) { return model::translatedText(m_model.caption(c)); };
    m_label14->setFullText(text(Caption::Label14));
    m_label15->setFullText(text(Caption::Label15));
    m_label16->setFullText(text(Caption::Label16));
    m_label17->setFullText(text(Caption::Label17));
    for (std::size_t i = 0; i < 3; ++i)
        m_spacingLabels[i]->setFullText(text(static_cast<Caption>(static_cast<int>(Caption::Label1_47) + static_cast<int>(i))));
}

}  // namespace saed::app
