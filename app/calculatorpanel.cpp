// SPDX-License-Identifier: BSD-3-Clause
#include "app/calculatorpanel.h"

#include <algorithm>  // for max
#include <cmath>      // for fabs, isfinite, round
#include <vector>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/elidedlabel.h"
#include "app/panelwidgets.h"
#include "app/patternschematic.h"
#include "app/indexnotation.h"
#include "calculator/calculatoroperations.h"
#include "core/millerbravais.h"
#include "core/numbertext.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::app {

using model::Caption;
using model::Field;

CalculatorPanel::CalculatorPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_model(model), m_prompts(prompts) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto* frame2 = new QGroupBox(tr("夹角带轴计算"));
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(frame2);
    grid->setVerticalSpacing(3);
    const char16_t* rowNames[3] = {u"R1", u"R2", u"R3"};
    const char16_t* angleNames[3] = {u"<R1,R2>=", u"<R2,R3>=", u"<R1,R3>="};
    // Column 3 holds i of a four-index plane (h k i l): shown only for a hexagonal cell with four
    // indices on; the working data keep h, k and l.
    grid->addWidget(makeLabel(QStringLiteral("h")), 0, 1, Qt::AlignCenter);
    grid->addWidget(makeLabel(QStringLiteral("k")), 0, 2, Qt::AlignCenter);
    m_iHeader = makeLabel(QStringLiteral("i"));
    grid->addWidget(m_iHeader, 0, 3, Qt::AlignCenter);
    grid->addWidget(makeLabel(QStringLiteral("l")), 0, 4, Qt::AlignCenter);
    std::vector<QLineEdit*> outputs;
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(makeLabel(QString::fromUtf16(rowNames[i])), i + 1, 0);
        int at = 1;
        for (Field first : {Field::H1, Field::K1, Field::L1}) {
            if (first == Field::L1) {
                auto* iField = new QLineEdit;
                iField->setObjectName(QStringLiteral("CalculatorI%1").arg(i + 1));
                iField->setMaximumWidth(44);
                iField->setMinimumWidth(36);
                iField->setToolTip(tr("四指数 (h k i l) 的 i：须为 -(h + k)；空着时按 h、k 算出"));
                m_iFields[static_cast<std::size_t>(i)] = iField;
                grid->addWidget(iField, i + 1, at++);
            }
            QLineEdit* index = makeBoundField(m_model, first, i);
            index->setMaximumWidth(44);
            if (first != Field::L1) m_hkFields[static_cast<std::size_t>(i)][first == Field::H1 ? 0 : 1] = index;
            grid->addWidget(index, i + 1, at++);
            connect(index, &QLineEdit::returnPressed, this, &CalculatorPanel::calculateChecked);
        }
        connect(m_iFields[static_cast<std::size_t>(i)], &QLineEdit::returnPressed, this,
                &CalculatorPanel::calculateChecked);
        grid->addWidget(makeLabel(QString::fromUtf16(angleNames[i])), i + 1, 5, Qt::AlignRight);
        QLineEdit* angle = makeBoundField(m_model, Field::CalcAngle12, i);
        // The outputs show their beginning: an angle has up to 15 digits.
        angle->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000.0000000000000")) + 12);
        outputs.push_back(angle);
        grid->addWidget(angle, i + 1, 6);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 7);
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
    grid->addLayout(spacings, 5, 0, 1, 8);
    grid->addWidget(makeLabel(tr("晶带轴指数")), 4, 0, 1, 2);
    auto* axis = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        QLineEdit* zone = makeBoundField(m_model, Field::ZoneU, i);
        zone->setMaximumWidth(64);
        outputs.push_back(zone);
        axis->addWidget(zone);
    }
    m_zoneFour = new QLabel;
    m_zoneFour->setObjectName(QStringLiteral("CalculatorZoneFour"));
    m_zoneFour->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    m_zoneFour->setTextInteractionFlags(Qt::TextSelectableByMouse);
    axis->addWidget(m_zoneFour);
    grid->addLayout(axis, 4, 2, 1, 6);
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

    connect(command5, &QPushButton::clicked, this, &CalculatorPanel::calculateChecked);
    connect(command15, &QPushButton::clicked, this, [this] {
        for (QLineEdit* field : m_iFields) field->clear();
        calculator::clearCalculator(m_model);
    });
    connect(&m_model, &model::MainModel::captionChanged, this, &CalculatorPanel::showCaptions);
    connect(&m_model, &model::MainModel::fourIndexChanged, this, &CalculatorPanel::showNotation);
    connect(&m_model, &model::MainModel::text1Changed, this, [this](int n) {
        if (n >= fieldNumber(Field::A) && n <= fieldNumber(Field::Gamma)) showNotation();
        for (int j = 0; j < 3; ++j) {
            if (n != fieldNumber(Field::H1, j) && n != fieldNumber(Field::K1, j)) continue;
            // Planes written by an operation (a result row) replace a typed i; typing h or k keeps it.
            const auto& hk = m_hkFields[static_cast<std::size_t>(j)];
            if (!hk[0]->hasFocus() && !hk[1]->hasFocus()) m_iFields[static_cast<std::size_t>(j)]->clear();
            showDerivedI(j);
        }
        if (n >= fieldNumber(Field::ZoneU) && n <= fieldNumber(Field::ZoneW)) showFourIndexZone();
    });
    showCaptions();
    showNotation();
}

bool CalculatorPanel::fourIndexShown() const {
    const core::Cell cell{m_model.value(Field::A),     m_model.value(Field::B),    m_model.value(Field::C),
                          m_model.value(Field::Alpha), m_model.value(Field::Beta), m_model.value(Field::Gamma)};
    return m_model.fourIndex() && core::isHexagonalCell(cell);
}

void CalculatorPanel::showNotation() {
    const bool four = fourIndexShown();
    m_iHeader->setVisible(four);
    for (int j = 0; j < 3; ++j) {
        m_iFields[static_cast<std::size_t>(j)]->setVisible(four);
        showDerivedI(j);
    }
    showFourIndexZone();
    showCaptions();
}

void CalculatorPanel::showDerivedI(int j) {
    const int h = fieldNumber(Field::H1, j), k = fieldNumber(Field::K1, j);
    QString derived;
    if (m_model.isNumeric(h) && m_model.isNumeric(k))
        derived = QString::fromStdString(core::generalText(-(m_model.value(h) + m_model.value(k)) + 0.0));
    m_iFields[static_cast<std::size_t>(j)]->setPlaceholderText(derived);
}

void CalculatorPanel::showFourIndexZone() {
    QString text;
    if (fourIndexShown()) {
        core::Uvw zone{};
        bool whole = true;
        for (int a = 0; a < 3; ++a) {
            const int n = fieldNumber(Field::ZoneU, a);
            const double v = m_model.value(n);
            // The four-index form of a zone of whole numbers only.
            whole = whole && m_model.isNumeric(n) && std::isfinite(v) && v == std::round(v) && std::fabs(v) < 1e9;
            if (whole) zone[static_cast<std::size_t>(a)] = static_cast<long long>(v);
        }
        if (whole && !(zone == core::Uvw{0, 0, 0})) text = QStringLiteral("= ") + zoneText(zone, true);
    }
    m_zoneFour->setText(text);
    m_zoneFour->setVisible(!text.isEmpty());
}

bool CalculatorPanel::calculateChecked() {
    if (fourIndexShown()) {
        for (int j = 0; j < 3; ++j) {
            QLineEdit* field = m_iFields[static_cast<std::size_t>(j)];
            const QString typed = field->text().trimmed();
            if (typed.isEmpty()) continue;
            const int h = fieldNumber(Field::H1, j), k = fieldNumber(Field::K1, j);
            // h and k that are no numbers are told by the calculation itself.
            if (!m_model.isNumeric(h) || !m_model.isNumeric(k)) continue;
            const double wanted = -(m_model.value(h) + m_model.value(k));
            bool ok = false;
            const double i = typed.toDouble(&ok);
            if (ok && std::fabs(i - wanted) <= 1e-9 * std::max(1.0, std::fabs(wanted))) continue;
            field->setFocus();
            field->selectAll();
            m_prompts.warn(tr("R%1 的四指数 (h k i l) 须满足 i = -(h + k)：i 应为 %2，而不是“%3”。")
                               .arg(j + 1)
                               .arg(QString::fromStdString(core::generalText(wanted + 0.0)), typed),
                           tr("夹角带轴计算"));
            return false;
        }
    }
    return calculator::calculate(m_model, m_prompts);
}

void CalculatorPanel::showCaptions() {
    // Number texts pass through unchanged; the fixed captions show in the reader's language. The
    // schematic labels its spots and zone in the notation of the table; the captions themselves
    // (the command line's, the saved ones) keep three indices.
    const auto text = [this](Caption c) { return model::translatedText(m_model.caption(c)); };
    const bool four = fourIndexShown();
    m_label14->setFullText(labelInNotation(text(Caption::Label14), four));
    m_label15->setFullText(labelInNotation(text(Caption::Label15), four));
    m_label16->setFullText(labelInNotation(text(Caption::Label16), four));
    m_label17->setFullText(labelInNotation(text(Caption::Label17), four));
    for (std::size_t i = 0; i < 3; ++i)
        m_spacingLabels[i]->setFullText(text(static_cast<Caption>(static_cast<int>(Caption::Label1_47) + static_cast<int>(i))));
}

}  // namespace saed::app
