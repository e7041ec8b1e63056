// SPDX-License-Identifier: BSD-3-Clause
#include "app/identifypanel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/imageview.h"
#include "app/indexnotation.h"
#include "app/patternpainter.h"
#include "core/millerbravais.h"
#include "measure/imagefile.h"
#include "measure/imagemeasurement.h"
#include "model/mainmodel.h"

namespace saed::app {

namespace {

QString f(double v, int decimals) { return QString::number(v, 'f', decimals); }
QString g(double v) { return QString::number(v, 'g', 6); }
QString uvw(const core::Uvw& u) { return QStringLiteral("%1 %2 %3").arg(u[0]).arg(u[1]).arg(u[2]); }

enum Column { Rank, Phase, Family, Zone, Score, Geometry, Present, Explained, Intensity, Calibration, Tie, Columns };

}  // namespace

IdentifyPanel::IdentifyPanel(model::MainModel& model, measure::ImageMeasurement& measurement, ImageView& view,
                             QWidget* parent)
    : QWidget(parent), m_model(model), m_measurement(measurement), m_view(view) {
    setObjectName(QStringLiteral("IdentifyPanel"));
    m_run = new analysis::IdentifyRun(this);

    m_identify = new QPushButton(tr("识别物相"));
    m_identify->setObjectName(QStringLiteral("identifyPhases"));
    m_identify->setToolTip(tr("在勾选的物相（未勾选时为全部物相）中找出与图像斑点网相符的物相和晶带轴，"
                              "按得分排序（回车键同此）"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    m_summary = new QLabel;
    m_summary->setObjectName(QStringLiteral("identifySummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar->addWidget(m_summary, 1);
    m_unknownScale = new QCheckBox(tr("标尺未知"));
    m_unknownScale->setObjectName(QStringLiteral("identifyUnknownScale"));
    m_unknownScale->setToolTip(tr("不用标尺示数和标尺测量，按每个候选拟合标定（相机长度未知时）"));
    bar->addWidget(m_unknownScale);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("identifyProgress"));
    m_progress->setFormat(tr("%v/%m 个物相"));
    m_progress->setMaximumWidth(160);
    m_progress->hide();
    bar->addWidget(m_progress);
    m_fill = new QPushButton(tr("填入三斑点表"));
    m_fill->setObjectName(QStringLiteral("identifyFill"));
    m_fill->setToolTip(tr("把所选候选的物相、点阵参数和 R1、R2、R3 填入标定计算的表"));
    m_simulate = new QPushButton(tr("衍射模拟"));
    m_simulate->setObjectName(QStringLiteral("identifySimulate"));
    m_simulate->setToolTip(tr("在“衍射模拟”中查看所选候选，按图像的方向转好（双击候选同此）"));
    bar->addWidget(m_fill);
    bar->addWidget(m_simulate);
    layout->addLayout(bar);

    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("identifyCandidates"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({tr("名次"), tr("物相"), tr("晶带族 <uvw>"), tr("晶带轴 [uvw]"), tr("得分"), tr("几何"),
                             tr("预测可见"), tr("解释斑点"), tr("强度"), tr("标定 1/nm/px"), tr("并列")});
    m_list->headerItem()->setToolTip(Geometry, tr("网的形状与标尺同所测之网的相符程度，0 到 1"));
    m_list->headerItem()->setToolTip(Present, tr("预测斑点中（按 |F|² 加权）在图像上看得到的比例"));
    m_list->headerItem()->setToolTip(Explained, tr("检出斑点中候选能解释的个数"));
    m_list->headerItem()->setToolTip(Intensity, tr("检出强度与平滑衰减下的 |F|² 的吻合，0 到 1：最吻合的候选为 1（无原子时为 1）"));
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list, 1);
    m_fill->setEnabled(false);
    m_simulate->setEnabled(false);
    m_summary->setText(tr("识别物相：打开图像后按“识别物相”或回车键"));

    connect(m_identify, &QPushButton::clicked, this, &IdentifyPanel::identify);
    connect(m_run, &analysis::IdentifyRun::progress, this, [this](int done, int total) {
        m_progress->setMaximum(std::max(total, 1));
        m_progress->setValue(done);
    });
    connect(m_run, &analysis::IdentifyRun::finished, this, &IdentifyPanel::finished);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { showChosen(); });
    // Three or four indices: the list and the labels over the image follow the setting.
    connect(&m_model, &model::MainModel::fourIndexChanged, this, [this] {
        if (!m_shown) return;
        const auto& candidates = m_shown->result.candidates;
        for (int i = 0; i < m_list->topLevelItemCount() && static_cast<std::size_t>(i) < candidates.size(); ++i) {
            const analysis::Candidate& c = candidates[static_cast<std::size_t>(i)];
            m_list->topLevelItem(i)->setText(Family, zoneText(c.family, fourIndex(c), u'<', u'>'));
            m_list->topLevelItem(i)->setText(Zone, zoneText(c.zone, fourIndex(c)));
        }
        if (const analysis::Candidate* c = chosen()) showOverlay(*c);
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [this] {
        if (chosen()) emit simulationRequested();
    });
    connect(m_fill, &QPushButton::clicked, this, &IdentifyPanel::fillFromCandidate);
    connect(m_simulate, &QPushButton::clicked, this, [this] {
        if (chosen()) emit simulationRequested();
    });
    // A new image, or the old one cleared: what was found on it goes.
    connect(&m_measurement, &measure::ImageMeasurement::measureDialogCloseRequested, this, [this] {
        if (m_run->isRunning()) m_run->cancel();
        clearShown();
    });
}

void IdentifyPanel::identify() {
    if (m_run->isRunning()) {
        m_run->cancel();
        m_identify->setEnabled(false);  // until the worker has stopped
        return;
    }
    const std::optional<core::Raster>& raster = m_measurement.raster();
    if (!raster) {
        m_model.showStatus(tr("请先打开图像"));
        return;
    }
    analysis::IdentifyPhases phases = analysis::identifyPhases(m_model);
    if (phases.phases.empty()) {
        m_model.showStatus(tr("物相库中没有可用的物相：请导入 CIF 或勾选带点阵参数的物相"));
        m_summary->setText(tr("没有可用的物相"));
        return;
    }
    analysis::IdentifySettings settings;
    // A saved calibration chosen beside the run button gives the scale, and its distortion is
    // taken off the spots whether or not the scale is fitted.
    const std::optional<measure::ChosenCalibration>& chosen = m_measurement.chosenCalibration();
    if (chosen) settings.removeDistortion = chosen->distortion;
    if (!m_unknownScale->isChecked() && chosen && chosen->perPixel > 0) {
        settings.calibration = chosen->perPixel;
        if (chosen->perPixelSigma > 0)
            settings.calibrationError =
                std::max(chosen->perPixelSigma / chosen->perPixel, analysis::kLeastSavedCalibrationError);
    } else if (!m_unknownScale->isChecked()) {
        settings.calibration = analysis::fieldCalibration(m_model);
    }
    settings.maxCandidates = 50;
    const std::size_t count = phases.phases.size();
    const bool all = phases.allTaken;
    std::optional<core::PixelPoint> locked;
    if (m_measurement.centreLocked()) locked = m_measurement.centre();
    clearShown();
    m_serial = m_measurement.imageSerial();
    m_run->start(*raster, std::move(phases), settings, locked);
    m_identify->setText(tr("停止识别"));
    m_progress->setMaximum(static_cast<int>(count));
    m_progress->setValue(0);
    m_progress->show();
    QString text = all ? tr("未勾选物相：在全部 %1 个物相中识别").arg(count) : tr("在勾选的 %1 个物相中识别").arg(count);
    text += settings.calibration ? tr("，标定 %1 1/nm/像素").arg(g(*settings.calibration))
                                 : tr("，标尺未知：按每个候选拟合标定");
    if (chosen && !chosen->distortion.none()) text += tr("，去除标定“%1”的畸变").arg(chosen->name);
    if (locked) text += tr("，中心锁定在 (%1, %2)").arg(f(locked->x, 2), f(locked->y, 2));
    m_summary->setText(text + QStringLiteral("…"));
    m_model.showStatus(text);
}

void IdentifyPanel::finished(bool completed) {
    m_identify->setText(tr("识别物相"));
    m_identify->setEnabled(true);
    m_progress->hide();
    if (!completed) {
        m_summary->setText(tr("识别已停止"));
        m_model.showStatus(tr("识别已停止"));
        return;
    }
    if (m_measurement.imageSerial() != m_serial || !m_run->outcome()) {
        m_summary->setText(tr("图像已更换：请重新识别"));
        return;
    }
    m_shown = m_run->outcome();
    showOutcome();
}

void IdentifyPanel::showOutcome() {
    const analysis::IdentifyOutcome& outcome = *m_shown;
    const analysis::NetFit& net = outcome.result.net;
    if (net.status != analysis::NetStatus::Ok) {
        const QString problem = analysis::netStatusText(net.status);
        m_summary->setText(tr("识别未成功：%1").arg(problem));
        m_model.showStatus(tr("识别未成功：%1").arg(problem));
        return;
    }
    // The fitted direct beam is shown; a locked one stays as the user set it.
    if (!outcome.centreLocked) m_measurement.setCentre(net.centre, false);
    QString text = tr("中心 (%1, %2) ± %3 px；a = %4 px，b = %5 px，夹角 %6 ± %7°；残差 %8 px；网上斑点 %9/%10")
                       .arg(f(net.centre.x, 2), f(net.centre.y, 2), f(net.centreSigmaPx, 2), f(net.lengthA(), 2),
                            f(net.lengthB(), 2), f(net.angleDeg(), 2), f(net.sigmaAngleDeg, 2), f(net.residualPx, 2))
                       .arg(net.spotsExplained)
                       .arg(net.spotsDetected);
    const std::vector<analysis::Candidate>& candidates = outcome.result.candidates;
    if (candidates.empty()) {
        m_summary->setText(text + QStringLiteral("\n") + tr("没有物相的晶带与该网相符"));
        m_model.showStatus(tr("识别完成：没有物相的晶带与该网相符"));
        return;
    }
    m_summary->setText(text);
    const QSignalBlocker blocker(m_list);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const analysis::Candidate& c = candidates[i];
        const analysis::ScoreParts& p = c.parts;
        const QString phase = QString::fromStdString(outcome.phases.phases[c.phase].name);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(Rank, QString::number(i + 1));
        item->setText(Phase, phase);
        const bool four = fourIndex(c);
        item->setText(Family, zoneText(c.family, four, u'<', u'>'));
        item->setText(Zone, zoneText(c.zone, four));
        item->setText(Score, f(c.score, 1));
        item->setText(Geometry, f(p.geometry, 2));
        item->setText(Present, f(p.present, 2));
        item->setText(Explained, QStringLiteral("%1/%2").arg(p.detectedExplained).arg(p.detected));
        item->setText(Intensity, f(p.intensityFit, 2));
        item->setText(Calibration, g(c.calibration));
        if (c.tie) item->setText(Tie, tr("与第 %1 名并列：%2").arg(c.tie).arg(analysis::tieBreakText(c.tieBreak)));
        for (int column : {Rank, Score, Geometry, Present, Explained, Intensity, Calibration})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(Phase, tr("得分 %1：几何 %2（形状偏差 %3σ，标尺偏差 %4σ），劳厄 %5，预测可见 %6（%7/%8 个），"
                                   "解释 %9/%10（二次衍射 %11），强度 %12；相机常数 %13 px·nm；a 上 %14，b 上 %15")
                                    .arg(f(c.score, 1), f(p.geometry, 2), f(p.shapeMisfit, 2), f(p.scaleMisfit, 2),
                                         f(p.laue, 2), f(p.present, 2))
                                    .arg(p.predictedSeen)
                                    .arg(p.predicted)
                                    .arg(p.detectedExplained)
                                    .arg(p.detected)
                                    .arg(p.explainedByDouble)
                                    .arg(f(p.intensityFit, 2), g(c.cameraConstant()), hklText(c.g1), hklText(c.g2)));
    }
    m_list->setCurrentItem(m_list->topLevelItem(0));
    showChosen();
    const analysis::Candidate& first = candidates.front();
    m_model.showStatus(tr("识别完成：%1 个候选；第一名 %2 [%3]，得分 %4%5")
                           .arg(candidates.size())
                           .arg(QString::fromStdString(outcome.phases.phases[first.phase].name), uvw(first.zone),
                                f(first.score, 1))
                           .arg(first.tie ? tr("（并列）") : QString()));
}

const analysis::Candidate* IdentifyPanel::chosen() const {
    if (!m_shown) return nullptr;
    const int at = m_list->indexOfTopLevelItem(m_list->currentItem());
    const auto& candidates = m_shown->result.candidates;
    if (at < 0 || static_cast<std::size_t>(at) >= candidates.size()) return nullptr;
    return &candidates[static_cast<std::size_t>(at)];
}

void IdentifyPanel::showChosen() {
    const analysis::Candidate* c = chosen();
    m_fill->setEnabled(c != nullptr);
    m_simulate->setEnabled(c != nullptr);
    if (!c) {
        m_view.setCandidateOverlay({}, {});
        return;
    }
    showOverlay(*c);
    const analysis::ImageIdentification& result = m_shown->result;

    // The simulation laid as the image lies: g1 along the net's a, g2 on b's side. On screen y
    // runs down, so a turn counter-clockwise on screen is atan2(-y, x).
    const analysis::NetFit& net = result.net;
    const double turn = std::atan2(-net.a.y, net.a.x) * 180 / std::numbers::pi;
    // b clockwise from a on screen: the simulation's +y side (counter-clockwise) holds -g2.
    const bool clockwise = net.a.x * net.b.y - net.a.y * net.b.x > 0;
    const core::Hkl g2 = clockwise ? core::Hkl{-c->g2[0], -c->g2[1], -c->g2[2]} : c->g2;
    emit candidateChosen(m_shown->phases.records[c->phase], c->zone, c->g1, g2, turn);
}

bool IdentifyPanel::fillFromCandidate() {
    const analysis::Candidate* c = chosen();
    if (!c) {
        m_model.showStatus(tr("请先在识别结果中选一个候选"));
        return false;
    }
    const analysis::IdentifyOutcome& outcome = *m_shown;
    // R1, R2, R3 as the image shows them: the measurement takes the chosen distortion out itself.
    analysis::NetFit net = outcome.result.net;
    outcome.settings.removeDistortion.distort(net.a.x, net.a.y);
    outcome.settings.removeDistortion.distort(net.b.x, net.b.y);
    const std::optional<measure::AutoPattern> pattern = analysis::candidatePattern(net, outcome.result.spots);
    if (!pattern) {
        m_model.showStatus(tr("这个候选的网给不出一致的 R1、R2、R3 夹角"));
        return false;
    }
    const QString phase = QString::fromStdString(outcome.phases.phases[c->phase].name);
    if (!analysis::loadLibraryRecord(m_model, outcome.phases.records[c->phase])) {
        m_model.showStatus(tr("物相库已改变，找不到物相 %1").arg(phase));
        return false;
    }
    // A scale fitted per candidate becomes the scale bar, as a file's calibration does.
    if (!outcome.settings.calibration) measure::writeCalibration(m_model, core::Calibration{c->calibration, true});
    m_measurement.applyPattern(*pattern);
    m_model.showStatus(tr("已按 %1 [%2] 填入点阵参数和 R1、R2、R3（R1 上 %3，R2 上 %4）")
                           .arg(phase, uvw(c->zone), hklText(c->g1), hklText(c->g2)));
    return true;
}

void IdentifyPanel::showOverlay(const analysis::Candidate& c) {
    std::vector<ImageView::PredictedMark> predicted;
    const bool four = fourIndex(c);
    for (const analysis::CandidateSpot& s : c.spots)
        predicted.push_back({QPointF(s.x, s.y), four ? hkilText(s.hkl) : hklText(s.hkl), s.doubleDiffraction});
    const analysis::ImageIdentification& result = m_shown->result;
    std::vector<QPointF> detected;
    for (std::size_t i = 0; i < result.spots.size(); ++i) {
        const measure::Spot& s = result.spots[i];
        // The direct beam is the green cross already.
        if (std::hypot(s.x - result.net.centre.x, s.y - result.net.centre.y) < 2 * std::max(1.0, result.net.residualPx))
            continue;
        detected.emplace_back(s.x, s.y);
    }
    m_view.setCandidateOverlay(std::move(predicted), std::move(detected));
}

bool IdentifyPanel::fourIndex(const analysis::Candidate& c) const {
    return m_model.fourIndex() && m_shown && core::isHexagonalCell(m_shown->phases.phases[c.phase].cell);
}

void IdentifyPanel::clearShown() {
    m_shown.reset();
    m_list->clear();
    m_view.setCandidateOverlay({}, {});
    m_fill->setEnabled(false);
    m_simulate->setEnabled(false);
}

}  // namespace saed::app
