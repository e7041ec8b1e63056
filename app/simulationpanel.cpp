// SPDX-License-Identifier: BSD-3-Clause
#include "app/simulationpanel.h"

#include <cmath>
#include <numbers>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>  // for translate
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "app/patternpainter.h"
#include "core/millerbravais.h"
#include "core/numbertext.h"
#include "library/phasetexts.h"
#include "library/spacegroup.h"
#include "library/screeningphase.h"
#include "library/phaselibrary.h"
#include "model/texts.h"
#include "simulation/svgpattern.h"
#include "store/textfile.h"

namespace saed::app {

namespace {

// The picture of the tab: paints whatever pattern the panel holds.
class PatternPicture : public QWidget {
public:
    PatternPicture(const std::optional<simulation::ZonePattern>& pattern, const QCheckBox* labels,
                   const QDoubleSpinBox* maxG, const QCheckBox* fourIndex, QWidget* parent)
        : QWidget(parent), m_pattern(pattern), m_labels(labels), m_maxG(maxG), m_fourIndex(fourIndex) {
        setObjectName(QStringLiteral("PatternPicture"));
        setMinimumSize(300, 300);
    }
    QSize sizeHint() const override { return {560, 560}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const double side = std::min(width(), height());
        const QRectF area((width() - side) / 2, (height() - side) / 2, side, side);
        if (!m_pattern) {
            painter.fillRect(rect(), QColor(16, 16, 24));
            return;
        }
        paintPattern(painter, area, *m_pattern, m_maxG->value(), m_labels->isChecked(), m_fourIndex->isChecked());
    }

private:
    const std::optional<simulation::ZonePattern>& m_pattern;
    const QCheckBox* m_labels;
    const QDoubleSpinBox* m_maxG;
    const QCheckBox* m_fourIndex;
};

QString errorText(simulation::PatternError error) {
    switch (error) {
        case simulation::PatternError::NotACell:
            return QCoreApplication::translate("saed::app::SimulationPanel",
                                               "点阵参数无法构成晶胞。");
        case simulation::PatternError::ZeroZone:
            return QCoreApplication::translate("saed::app::SimulationPanel",
                                               "晶带轴不能为 [0 0 0]。");
        case simulation::PatternError::BadRange:
            return QCoreApplication::translate("saed::app::SimulationPanel",
                                               "最大 |g| 对此晶胞过大，请减小。");
        case simulation::PatternError::NoSpots:
            return QCoreApplication::translate("saed::app::SimulationPanel",
                                               "最大 |g| 之内没有允许的衍射斑点。");
        case simulation::PatternError::BadG1:
        case simulation::PatternError::BadG2:
            return QCoreApplication::translate("saed::app::SimulationPanel",
                                               "所选行的 g1、g2 不在此晶带内。");
        default:
            return QString();
    }
}

// Greys out the selector's "按空间群" entry when the phase has no space group.
void enableSpaceGroupEntry(QComboBox* box, bool enabled) {
    auto* items = qobject_cast<QStandardItemModel*>(box->model());
    if (items == nullptr) return;
    if (QStandardItem* item = items->item(core::latticeTypeCode(core::LatticeType::SpaceGroup))) {
        item->setEnabled(enabled);
    }
}

}  // namespace

SimulationPanel::SimulationPanel(model::Prompts& prompts, QWidget* parent) : QWidget(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("SimulationPanel"));
    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    m_phaseLabel = new QLabel(QCoreApplication::translate("saed::app::SimulationPanel", "物相：—"));
    m_phaseLabel->setObjectName(QStringLiteral("SimulationPhase"));
    // The phase on a line of its own: a long name or cell never widens the window.
    m_phaseLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_phaseLabel);
    controls->addWidget(
        new QLabel(QCoreApplication::translate("saed::app::SimulationPanel", "点阵类型")));
    m_type = new QComboBox;
    m_type->setObjectName(QStringLiteral("SimulationType"));
    controls->addWidget(m_type);
    controls->addSpacing(12);
    m_zoneCaption = new QLabel(QCoreApplication::translate("saed::app::SimulationPanel", "晶带轴 [uvw]"));
    controls->addWidget(m_zoneCaption);
    for (std::size_t i = 0; i < 3; ++i) {
        m_zone[i] = new QSpinBox;
        m_zone[i]->setObjectName(QStringLiteral("SimulationZone%1").arg(i));
        m_zone[i]->setRange(-99, 99);
        m_zone[i]->setValue(i == 2 ? 1 : 0);
        if (i == 2) {
            m_zoneT = new QSpinBox;
            m_zoneT->setObjectName(QStringLiteral("SimulationZoneT"));
            m_zoneT->setRange(-198, 198);
            m_zoneT->setVisible(false);
            controls->addWidget(m_zoneT);
        }
        controls->addWidget(m_zone[i]);
    }
    m_fourIndex = new QCheckBox(QCoreApplication::translate("saed::app::SimulationPanel", "四指数"));
    m_fourIndex->setObjectName(QStringLiteral("SimulationFourIndex"));
    m_fourIndex->setToolTip(QCoreApplication::translate(
        "saed::app::SimulationPanel", "六方晶胞：晶带轴以 [U V T W] 输入，斑点标为 (h k i l)"));
    m_fourIndex->setEnabled(false);
    controls->addWidget(m_fourIndex);
    controls->addSpacing(12);
    controls->addWidget(
        new QLabel(QCoreApplication::translate("saed::app::SimulationPanel", "最大 |g| (1/nm)")));
    m_maxG = new QDoubleSpinBox;
    m_maxG->setObjectName(QStringLiteral("SimulationMaxG"));
    m_maxG->setRange(0.5, 50);
    m_maxG->setDecimals(1);
    m_maxG->setValue(10);
    controls->addWidget(m_maxG);
    m_labels =
        new QCheckBox(QCoreApplication::translate("saed::app::SimulationPanel", "标注 (hkl)"));
    m_labels->setChecked(true);
    controls->addWidget(m_labels);
    controls->addStretch(1);
    auto* png =
        new QPushButton(QCoreApplication::translate("saed::app::SimulationPanel", "导出PNG"));
    png->setObjectName(QStringLiteral("ExportPng"));
    auto* svg =
        new QPushButton(QCoreApplication::translate("saed::app::SimulationPanel", "导出SVG"));
    svg->setObjectName(QStringLiteral("ExportSvg"));
    controls->addWidget(png);
    controls->addWidget(svg);
    layout->addLayout(controls);

    m_picture = new PatternPicture(m_pattern, m_labels, m_maxG, m_fourIndex, this);
    layout->addWidget(m_picture, 1);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("SimulationStatus"));
    layout->addWidget(m_status);
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("SimulationNote"));
    layout->addWidget(m_note);

    connect(m_type, &QComboBox::currentIndexChanged, this, [this] { recompute(); });
    connect(m_fourIndex, &QCheckBox::toggled, this, [this](bool on) {
        setFourIndex(on);
        emit fourIndexToggled(on);
    });
    for (QSpinBox* box : {m_zone[0], m_zone[1], m_zoneT, m_zone[2]})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (m_updating) return;
            // A typed zone has no row's g1 and g2: the shortest spot goes along +x.
            m_g1.reset();
            m_g2.reset();
            m_turnDeg = 0;
            recompute();
        });
    connect(m_maxG, &QDoubleSpinBox::valueChanged, this, [this] { recompute(); });
    connect(m_labels, &QCheckBox::toggled, m_picture, qOverload<>(&QWidget::update));
    connect(png, &QPushButton::clicked, this, [this] { askAndExport(false); });
    connect(svg, &QPushButton::clicked, this, [this] { askAndExport(true); });
    recompute();
}

bool SimulationPanel::noCellYet() const {
    return m_cell.aNm == 0 && m_cell.bNm == 0 && m_cell.cNm == 0;
}

void SimulationPanel::setPhase(const QString& name, const core::Cell& cell) {
    m_cell = cell;
    const bool hexagonal = core::isHexagonalCell(cell);
    m_fourIndex->setEnabled(hexagonal);
    // The setting stays as the user chose it: another cell shows three indices until a
    // hexagonal one comes back.
    if (m_fourIndex->isChecked() != (m_fourIndexWanted && hexagonal)) {
        const core::Uvw shown = zone();
        {
            const QSignalBlocker blocker(m_fourIndex);
            m_fourIndex->setChecked(m_fourIndexWanted && hexagonal);
        }
        showNotation(shown);
    }
    // Before any phase or cell is given there is nothing to name: the first view says what to do.
    if (noCellYet()) {
        m_phaseLabel->setText(QCoreApplication::translate("saed::app::SimulationPanel", "物相：—"));
        recompute();
        return;
    }
    m_phaseLabel->setText(QCoreApplication::translate("saed::app::SimulationPanel",
                                                      "物相：%1  (%2, %3, %4 nm; %5°, %6°, %7°)")
                              .arg(name.isEmpty() ? QStringLiteral("—") : name)
                              .arg(cell.aNm)
                              .arg(cell.bNm)
                              .arg(cell.cNm)
                              .arg(cell.alphaDeg)
                              .arg(cell.betaDeg)
                              .arg(cell.gammaDeg));
    recompute();
}

void SimulationPanel::setLatticeTypes(const QStringList& names, core::LatticeType chosen) {
    m_updating = true;
    if (m_type->count() != names.size()) {
        m_type->clear();
        m_type->addItems(names);
        enableSpaceGroupEntry(m_type, m_rule != nullptr);
    }
    m_type->setCurrentIndex(core::latticeTypeCode(chosen));
    m_updating = false;
    recompute();
}

void SimulationPanel::setSpaceGroup(const QString& label, std::shared_ptr<const core::ReflectionRule> rule) {
    m_rule = std::move(rule);
    m_ruleName = m_rule ? label : QString();
    enableSpaceGroupEntry(m_type, m_rule != nullptr);
    const int spaceGroupEntry = core::latticeTypeCode(core::LatticeType::SpaceGroup);
    m_type->setItemData(spaceGroupEntry, m_rule ? tr("按空间群：%1").arg(label) : QVariant(), Qt::ToolTipRole);
    // A phase with a space group is shown by it until the user picks a lattice type.
    if (m_rule && m_type->count() > spaceGroupEntry) {
        m_updating = true;
        m_type->setCurrentIndex(spaceGroupEntry);
        m_updating = false;
    }
    recompute();
}

core::LatticeType SimulationPanel::chosenType() const {
    return core::latticeTypeFromCode(m_type->currentIndex()).value_or(core::LatticeType::None);
}

void SimulationPanel::showZone(const core::Uvw& zone, std::optional<core::Hkl> g1, std::optional<core::Hkl> g2) {
    showZoneFields(zone);
    m_g1 = g1;
    m_g2 = g2;
    m_turnDeg = 0;
    recompute();
}

void SimulationPanel::setTurn(double degrees) {
    m_turnDeg = std::isfinite(degrees) ? degrees : 0.0;
    recompute();
}

void SimulationPanel::showZoneFields(const core::Uvw& zone) {
    m_updating = true;
    if (!m_zoneT->isHidden()) {
        const core::Uvtw four = core::toFourIndex(zone);
        m_zone[0]->setValue(static_cast<int>(four[0]));
        m_zone[1]->setValue(static_cast<int>(four[1]));
        m_zoneT->setValue(static_cast<int>(four[2]));
        m_zone[2]->setValue(static_cast<int>(four[3]));
    } else {
        for (std::size_t i = 0; i < 3; ++i) m_zone[i]->setValue(static_cast<int>(zone[i]));
    }
    m_updating = false;
}

core::Uvw SimulationPanel::zone() const {
    if (m_zoneT->isHidden()) return {m_zone[0]->value(), m_zone[1]->value(), m_zone[2]->value()};
    // No value for an inconsistent T: [0 0 0], which the pattern refuses.
    return core::fromFourIndex(core::Uvtw{m_zone[0]->value(), m_zone[1]->value(), m_zoneT->value(), m_zone[2]->value()})
        .value_or(core::Uvw{0, 0, 0});
}

bool SimulationPanel::fourIndex() const { return m_fourIndex->isChecked(); }

void SimulationPanel::setFourIndex(bool wanted) {
    m_fourIndexWanted = wanted;
    const bool on = wanted && core::isHexagonalCell(m_cell);
    // The zone shown stays the same zone in the other notation.
    const core::Uvw shown = zone();
    if (m_fourIndex->isChecked() != on) {
        const QSignalBlocker blocker(m_fourIndex);
        m_fourIndex->setChecked(on);
    }
    showNotation(shown);
}

void SimulationPanel::showNotation(const core::Uvw& shown) {
    const bool on = m_fourIndex->isChecked();
    m_zoneT->setVisible(on);
    m_zoneCaption->setText(on ? QCoreApplication::translate("saed::app::SimulationPanel", "晶带轴 [UVTW]")
                              : QCoreApplication::translate("saed::app::SimulationPanel", "晶带轴 [uvw]"));
    if (!(shown == core::Uvw{0, 0, 0})) showZoneFields(shown);
    recompute();
}

double SimulationPanel::maxG() const { return m_maxG->value(); }

QString SimulationPanel::statusText() const { return m_status->text(); }

void SimulationPanel::setNote(const QString& text) { m_note->setText(text); }

void SimulationPanel::recompute() {
    if (m_updating) return;
    simulation::ZonePatternRequest request;
    request.cell = m_cell;
    const bool bySpaceGroup = chosenType() == core::LatticeType::SpaceGroup;
    if (bySpaceGroup && !m_rule) {
        m_pattern.reset();
        m_status->setText(tr("此物相没有空间群，请选择点阵类型。"));
        m_picture->update();
        emit patternChanged();
        return;
    }
    if (noCellYet()) {
        m_pattern.reset();
        m_status->setText(tr("请在“标定计算”页输入点阵参数，或从点阵库选择物相。"));
        m_picture->update();
        emit patternChanged();
        return;
    }
    request.allowed = simulation::runRule(chosenType(), m_rule);
    // The atoms belong to the phase whichever rule is chosen: a spot the lattice type lets in
    // but the atoms cancel is drawn at the smallest size.
    request.intensity = simulation::structureIntensity(m_rule);
    if (!m_zoneT->isHidden() && m_zoneT->value() != -(m_zone[0]->value() + m_zone[1]->value())) {
        m_pattern.reset();
        m_status->setText(tr("四指数 [U V T W] 须满足 T = -(U + V)：T 应为 %1。")
                              .arg(-(m_zone[0]->value() + m_zone[1]->value())));
        m_picture->update();
        emit patternChanged();
        return;
    }
    request.zone = zone();
    request.maxGInvNm = m_maxG->value();
    request.g1 = m_g1;
    request.g2 = m_g2;
    simulation::ZonePatternResult result = simulation::simulateZone(request);
    // g1 of a row can lie beyond the chosen |g|: it still sets the direction.
    if (result.error != simulation::PatternError::None && m_g1) {
        request.g1.reset();
        request.g2.reset();
        result = simulation::simulateZone(request);
    }
    if (result.error == simulation::PatternError::None) {
        m_pattern = std::move(result.pattern);
        if (m_turnDeg != 0) {
            const double t = m_turnDeg * std::numbers::pi / 180, c = std::cos(t), s = std::sin(t);
            for (simulation::Spot& spot : m_pattern->spots) {
                const double x = spot.xInvNm, y = spot.yInvNm;
                spot.xInvNm = x * c - y * s;
                spot.yInvNm = x * s + y * c;
            }
        }
        const bool four = m_fourIndex->isChecked();
        m_status->setText(QCoreApplication::translate("saed::app::SimulationPanel",
                                                      "晶带轴 [%1]：%2 个斑点，g1 = %3 沿 R1%4")
                              .arg(QString::fromStdString(four ? core::indexText(core::toFourIndex(m_pattern->zone))
                                                               : core::indexText(m_pattern->zone)))
                              .arg(m_pattern->spots.size())
                              .arg(four ? hkilText(m_pattern->g1) : hklText(m_pattern->g1))
                              .arg(bySpaceGroup ? QCoreApplication::translate("saed::app::SimulationPanel", "；消光：") +
                                                      m_ruleName
                                                : QString()) +
                          (m_turnDeg != 0 ? QCoreApplication::translate("saed::app::SimulationPanel",
                                                                        "；按图像转过 %1°")
                                                .arg(QString::number(m_turnDeg, 'f', 1))
                                          : QString()));
    } else {
        m_pattern.reset();
        m_status->setText(errorText(result.error));
    }
    m_picture->update();
    emit patternChanged();
}

bool SimulationPanel::exportPng(const QString& path) {
    if (!m_pattern) {
        m_prompts.warn(
            QCoreApplication::translate("saed::app::SimulationPanel", "没有可导出的衍射图。"),
            QString());
        return false;
    }
    if (!patternImage(*m_pattern, 800, m_maxG->value(), m_fourIndex->isChecked()).save(path, "PNG")) {
        m_prompts.warn(
            QCoreApplication::translate("saed::app::SimulationPanel", "无法写入文件：\n") + path,
            QString());
        return false;
    }
    return true;
}

bool SimulationPanel::exportSvg(const QString& path) {
    if (!m_pattern) {
        m_prompts.warn(
            QCoreApplication::translate("saed::app::SimulationPanel", "没有可导出的衍射图。"),
            QString());
        return false;
    }
    simulation::SvgOptions options;
    options.extentInvNm = m_maxG->value();
    options.labels = m_labels->isChecked();
    options.fourIndex = m_fourIndex->isChecked();
    const std::string svg = simulation::patternSvg(*m_pattern, options);
    if (!store::writeFileAtomic(path, QByteArray(svg.data(), static_cast<qsizetype>(svg.size())))) {
        m_prompts.warn(
            QCoreApplication::translate("saed::app::SimulationPanel", "无法写入文件：\n") + path,
            QString());
        return false;
    }
    return true;
}

void SimulationPanel::askAndExport(bool svg) {
    const core::Uvw z = zone();
    const QString suggested = QStringLiteral("zone_%1%2%3.%4").arg(z[0]).arg(z[1]).arg(z[2]).arg(svg ? QStringLiteral("svg") : QStringLiteral("png"));
    const std::optional<QString> path = m_prompts.saveFilePath(
        svg ? QCoreApplication::translate("saed::app::SimulationPanel", "导出SVG")
            : QCoreApplication::translate("saed::app::SimulationPanel", "导出PNG"),
        suggested, svg ? QStringLiteral("SVG|*.svg") : QStringLiteral("PNG|*.png"));
    if (!path || path->isEmpty()) return;
    if (svg ? exportSvg(*path) : exportPng(*path))
        m_note->setText(QCoreApplication::translate("saed::app::SimulationPanel", "已导出：") +
                        *path);
}

void SimulationPanel::showModelPhase(const model::MainModel& model) {
    m_showsLibraryPhase = false;
    setPhase(model::translatedPhaseLabel(model.Text6()),
             {model.value(model::Field::A), model.value(model::Field::B), model.value(model::Field::C),
              model.value(model::Field::Alpha), model.value(model::Field::Beta), model.value(model::Field::Gamma)});
    setSpaceGroup(model.spaceGroupText(), model.spaceGroupRule());
    setLatticeTypes(model::translatedTexts(model.Combo1Items()), model.Combo1());
}

bool SimulationPanel::showLibraryPhase(const model::MainModel& model, int record) {
    const library::PhaseLibrary& phases = *library::phaseLibrary(model);
    const std::vector<library::PhaseRecord>& records = phases.tree().records();
    const QStringList types = model::translatedTexts(model.Combo1Items());
    if (const library::CrystalPhase* crystal = phases.crystal(record)) {
        const library::CrystalPhase& phase = *crystal;
        setPhase(QString::fromStdString(phase.name), phase.cell);
        if (phase.spaceGroup) {
            setSpaceGroup(QString::fromStdString(library::spaceGroupLabel(phase)), library::phaseRule(phase));
            setLatticeTypes(types, core::LatticeType::SpaceGroup);
        } else {
            setSpaceGroup(QString(), nullptr);
            setLatticeTypes(types, core::LatticeType::Simple);
        }
    } else if (record >= 1 && record <= static_cast<int>(records.size())) {
        // A record of the nine-field text: its cell and lattice type, no space group.
        const library::PhaseRecord& phase = records[static_cast<std::size_t>(record - 1)];
        double values[6];
        for (std::size_t i = 0; i < 6; ++i) values[i] = core::leadingNumber(phase.fields[3 + i]);
        setPhase(QString::fromStdString(phase.name()), {values[0], values[1], values[2], values[3], values[4], values[5]});
        setSpaceGroup(QString(), nullptr);
        setLatticeTypes(types, library::latticeTypeFromText(phase.latticeTypeText()));
    } else {
        return false;
    }
    m_showsLibraryPhase = true;
    return true;
}

}  // namespace saed::app
