// SPDX-License-Identifier: BSD-3-Clause
#include "app/ringsview.h"

#include <algorithm>  // for max, min
#include <cmath>      // for floor

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QThread>
#include <QVBoxLayout>

#include "app/ringplotpainter.h"
#include "library/builtinphases.h"
#include "measure/imagefile.h"
#include "measure/imagemeasurement.h"
#include "model/mainmodel.h"
#include "store/calibrationstore.h"
#include "store/textfile.h"

namespace saed::app {

// The profile plot, laid out anew for the room it has.
class RingPlotWidget : public QWidget {
public:
    explicit RingPlotWidget(QWidget* parent = nullptr) : QWidget(parent) {
        setMinimumSize(360, 240);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    void setInput(analysis::RingPlotInput input) {
        m_input = std::move(input);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_input.gInvNm.empty()) return;
        analysis::RingPlotInput in = m_input;
        in.widthPx = width();
        in.heightPx = height();
        painter.setRenderHint(QPainter::Antialiasing);
        paintRingPlot(painter, analysis::layoutRingPlot(in));
    }

private:
    analysis::RingPlotInput m_input;
};

struct RingsView::Outcome {
    analysis::RingPattern pattern;
    std::optional<analysis::RingReading> reading;
    std::vector<library::CrystalPhase> phases;
    std::optional<double> perPixel;
    double relativeSigma = 0.01;
    QString source;
    QString imageName;
};

namespace {

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }
QString general(double v, int digits) { return QString::number(v, 'g', digits); }
// An uncertainty to the last digit of its figure, which has `decimals` decimals.
QString sigma(double v, int decimals) { return QString::fromStdString(analysis::ringUncertainty(v, decimals)); }
// The camera constant to eight significant digits, as the command line prints it beside its uncertainty.
QString constant(double perPixel) {
    return QString::fromStdString(analysis::ringFigure(perPixel, analysis::significantDecimals(perPixel, 8)));
}

QString failureText(analysis::RingFailure f) {
    switch (f) {
    case analysis::RingFailure::NoCentre: return RingsView::tr("找不到可用的中心");
    case analysis::RingFailure::NoRings: return RingsView::tr("图像中没有高出背底的衍射环");
    case analysis::RingFailure::NotRings:
        return RingsView::tr("这是斑点花样，不是连续的衍射环（斑点花样请用“自动找斑点”）；若确为织构的环，勾选“按环处理”");
    case analysis::RingFailure::OneRing: return RingsView::tr("只有一个衍射环：求不出畸变和相机常数");
    case analysis::RingFailure::None: break;
    }
    return QString();
}

std::optional<double> positiveNumber(const QString& text, bool& ok) {
    const QString t = text.trimmed();
    ok = true;
    if (t.isEmpty()) return std::nullopt;
    const double v = t.toDouble(&ok);
    ok = ok && std::isfinite(v) && v > 0;
    return ok ? std::optional<double>(v) : std::nullopt;
}

}  // namespace

RingsView::RingsView(model::MainModel& model, measure::ImageMeasurement& measurement, model::Prompts& prompts,
                     std::function<std::vector<library::CrystalPhase>()> phases, QString storePath, QWidget* parent)
    : QDialog(parent), m_model(model), m_measurement(measurement), m_prompts(prompts), m_phaseSource(std::move(phases)),
      m_storePath(std::move(storePath)) {
    setObjectName(QStringLiteral("RingsView"));
    setWindowTitle(tr("环形花样"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    m_measure = new QPushButton(tr("测量环"));
    m_measure->setObjectName(QStringLiteral("measureRings"));
    m_measure->setToolTip(tr("在当前图像上找中心、各环共有的椭圆畸变、径向强度分布和各环，"
                             "再用物相库中勾选的物相（未勾选时用全部）给各环标定"));
    m_assumeRings = new QCheckBox(tr("按环处理"));
    m_assumeRings->setToolTip(tr("即使环不连续（织构）也按环花样处理"));
    m_log = new QCheckBox(tr("对数坐标"));
    m_marked = new QComboBox;
    m_marked->setObjectName(QStringLiteral("markedPhase"));
    m_marked->setToolTip(tr("图中标出 (hkl) 的物相"));
    m_marked->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_marked->setMinimumContentsLength(10);
    top->addWidget(m_measure);
    top->addWidget(m_assumeRings);
    top->addWidget(m_log);
    top->addWidget(new QLabel(tr("标记物相")));
    top->addWidget(m_marked);
    top->addStretch(1);
    layout->addLayout(top);

    auto* split = new QSplitter(Qt::Horizontal);
    m_plot = new RingPlotWidget;
    m_summary = new QPlainTextEdit;
    m_summary->setReadOnly(true);
    m_summary->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_summary->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_summary->setObjectName(QStringLiteral("ringSummary"));
    split->addWidget(m_plot);
    split->addWidget(m_summary);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({540, 380});
    layout->addWidget(split, 1);

    auto* bottom = new QHBoxLayout;
    m_standard = new QComboBox;
    m_standard->setObjectName(QStringLiteral("standardPhase"));
    for (const library::CrystalPhase& p : library::builtInPhases())
        if (!p.atoms.empty()) m_standard->addItem(QString::fromStdString(p.name));
    if (const int au = m_standard->findText(QStringLiteral("Au")); au >= 0) m_standard->setCurrentIndex(au);
    m_calibrate = new QPushButton(tr("由标样标定…"));
    m_calibrate->setObjectName(QStringLiteral("calibrateFromStandard"));
    m_calibrate->setToolTip(tr("各环与所选标样的衍射相配，求相机常数；连同椭圆畸变保存为标定，供“标定”选用"));
    m_exportPlot = new QPushButton(tr("导出图…"));
    m_exportCsv = new QPushButton(tr("导出 CSV…"));
    auto* close = new QPushButton(tr("关闭"));
    bottom->addWidget(new QLabel(tr("标样")));
    bottom->addWidget(m_standard);
    bottom->addWidget(m_calibrate);
    bottom->addStretch(1);
    bottom->addWidget(m_exportPlot);
    bottom->addWidget(m_exportCsv);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("ringStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    for (QWidget* w : {static_cast<QWidget*>(m_calibrate), static_cast<QWidget*>(m_exportPlot),
                       static_cast<QWidget*>(m_exportCsv), static_cast<QWidget*>(m_marked)})
        w->setEnabled(false);
    connect(m_measure, &QPushButton::clicked, this, &RingsView::measureRings);
    connect(m_log, &QCheckBox::toggled, this, &RingsView::showPlot);
    connect(m_marked, &QComboBox::currentIndexChanged, this, &RingsView::showPlot);
    connect(m_calibrate, &QPushButton::clicked, this, &RingsView::calibrateFromStandard);
    connect(m_exportPlot, &QPushButton::clicked, this, &RingsView::exportPlot);
    connect(m_exportCsv, &QPushButton::clicked, this, &RingsView::exportProfile);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    resize(940, 600);
}

RingsView::~RingsView() {
    if (m_worker) m_worker->wait();
}

bool RingsView::measureRings() {
    if (m_running) return false;
    const auto& raster = m_measurement.raster();
    if (!raster) {
        m_status->setText(tr("请先打开图像"));
        return false;
    }
    auto outcome = std::make_shared<Outcome>();
    // The camera constant: a saved calibration chosen, else the file's, else none.
    if (const auto& chosen = m_measurement.chosenCalibration()) {
        outcome->perPixel = chosen->perPixel;
        outcome->relativeSigma = std::max(0.002, chosen->perPixelSigma / chosen->perPixel);
        outcome->source = tr("取自保存的标定“%1”").arg(chosen->name);
    } else if (raster->calibration && raster->calibration->reciprocal && raster->calibration->perPixel > 0) {
        outcome->perPixel = raster->calibration->perPixel;
        outcome->source = tr("取自图像文件");
    }
    outcome->phases = m_phaseSource ? m_phaseSource() : std::vector<library::CrystalPhase>{};
    if (outcome->phases.empty()) outcome->phases = library::builtInPhases();
    outcome->imageName = QFileInfo(m_model.chosenFile()).completeBaseName();
    analysis::RingOptions options;
    options.assumeRings = m_assumeRings->isChecked();
    auto values = std::make_shared<const core::Raster>(*raster);
    m_running = true;
    m_measure->setEnabled(false);
    m_status->setText(tr("正在测量衍射环……"));
    QThread* worker = QThread::create([outcome, values, options] {
        outcome->pattern = analysis::measureRings(*values, options);
        if (outcome->pattern.failure == analysis::RingFailure::None)
            outcome->reading = analysis::readRings(outcome->pattern, outcome->phases, outcome->perPixel,
                                                   outcome->relativeSigma);
    });
    m_worker = worker;
    connect(worker, &QThread::finished, this, [this, outcome] { showOutcome(outcome); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    return true;
}

void RingsView::waitForMeasurement() {
    while (m_running) {
        if (m_worker) m_worker->wait(20);
        QCoreApplication::processEvents();
    }
}

void RingsView::showOutcome(const std::shared_ptr<Outcome>& outcome) {
    m_running = false;
    m_measure->setEnabled(true);
    const analysis::RingPattern& p = outcome->pattern;
    const bool found = p.failure == analysis::RingFailure::None && outcome->reading;
    for (QWidget* w : {static_cast<QWidget*>(m_calibrate), static_cast<QWidget*>(m_exportPlot),
                       static_cast<QWidget*>(m_exportCsv), static_cast<QWidget*>(m_marked)})
        w->setEnabled(found);
    if (!found) {
        m_pattern.reset();
        m_reading.reset();
        m_summary->clear();
        m_plot->setInput({});
        m_status->setText(failureText(p.failure));
        emit ringsChanged({});
        return;
    }
    m_pattern = p;
    m_reading = outcome->reading;
    m_phases = outcome->phases;
    m_perPixel = outcome->perPixel;
    m_perPixelSource = outcome->source;
    m_imageName = outcome->imageName;
    {
        const QSignalBlocker block(m_marked);
        m_marked->clear();
        for (std::size_t n = 0; n < m_reading->ranking.ranked.size() && n < 10; ++n) {
            const analysis::PhaseFit& fit = m_reading->ranking.ranked[n];
            if (fit.matched > 0) m_marked->addItem(QString::fromStdString(m_phases[fit.phase].name), static_cast<int>(n));
        }
        m_marked->setEnabled(m_marked->count() > 0);
    }
    std::vector<RingEllipse> ellipses;
    for (const analysis::Ring& r : p.rings)
        ellipses.push_back({p.centreX, p.centreY, r.semiMajorPx, r.semiMinorPx, p.distortion.angleDeg});
    emit ringsChanged(ellipses);
    m_summary->setPlainText(summaryText());
    m_status->setText(tr("%1 个环；中心 (%2, %3) 像素").arg(p.rings.size()).arg(fixed(p.centreX, 2), fixed(p.centreY, 2)));
    showPlot();
}

std::optional<double> RingsView::plotPerPixel() const {
    if (!m_reading) return std::nullopt;
    const int at = m_marked->currentIndex() >= 0 ? m_marked->currentData().toInt() : -1;
    if (at < 0) return m_perPixel;
    const analysis::PhaseFit& fit = m_reading->ranking.ranked[static_cast<std::size_t>(at)];
    return m_perPixel ? *m_perPixel * fit.scale : fit.scale;
}

std::vector<analysis::PowderLine> RingsView::markedLines() const {
    if (!m_reading || !m_pattern || m_marked->currentIndex() < 0) return {};
    const int at = m_marked->currentData().toInt();
    if (at == 0) return m_reading->firstLines;
    const analysis::PhaseFit& fit = m_reading->ranking.ranked[static_cast<std::size_t>(at)];
    return analysis::linesForPattern(m_phases[fit.phase], *m_pattern, plotPerPixel(), 0.0);
}

analysis::RingPlotInput RingsView::plotInput() const {
    if (!m_pattern) return {};
    const std::vector<analysis::PowderLine> lines = markedLines();
    const bool logarithmic = m_log->isChecked();
    return analysis::ringPlotInput(*m_pattern, plotPerPixel(), lines.empty() ? nullptr : &lines, logarithmic,
                                   tr("半径（像素）").toStdString(),
                                   (logarithmic ? tr("平均强度（对数）") : tr("平均强度")).toStdString());
}

QString RingsView::statusText() const { return m_status->text(); }

void RingsView::showPlot() { m_plot->setInput(plotInput()); }

QString RingsView::summaryText() const {
    if (!m_pattern || !m_reading) return QString();
    const analysis::RingPattern& p = *m_pattern;
    const analysis::RingReading& r = *m_reading;
    QStringList lines;
    lines << tr("中心 %1, %2 像素（± %3, %4）")
                 .arg(fixed(p.centreX, 2), fixed(p.centreY, 2), sigma(p.centreSigmaXPx, 2), sigma(p.centreSigmaYPx, 2))
          << tr("椭圆畸变：轴比 %1 ± %2，长轴 %3° ± %4°")
                 .arg(fixed(p.distortion.ratio, 5), sigma(p.ratioSigma, 5), fixed(p.distortion.angleDeg, 2),
                      sigma(p.angleSigmaDeg, 2));
    if (m_perPixel)
        lines << tr("相机常数 %1 1/nm 每像素，%2").arg(general(*m_perPixel, 8), m_perPixelSource);
    else
        lines << tr("图像没有标定：每个物相各自拟合相机常数");
    lines << QString() << tr("环  半径/像素  不确定度  宽度/像素  |g|/(1/nm)  d/nm  物相 (hkl)");
    for (std::size_t i = 0; i < p.rings.size(); ++i) {
        const analysis::Ring& ring = p.rings[i];
        const QString g = r.firstPerPixel ? fixed(*r.firstPerPixel * ring.radiusPx, 4) : QStringLiteral("-");
        const QString d = r.firstPerPixel ? fixed(1.0 / (*r.firstPerPixel * ring.radiusPx), 5) : QStringLiteral("-");
        const QString label = r.labels[i] ? QString::fromStdString(r.labels[i]->phase + ' ' + r.labels[i]->hkl)
                                          : tr("（无法解释）");
        lines << QStringLiteral("%1  %2  %3  %4  %5  %6  %7")
                     .arg(i + 1)
                     .arg(fixed(ring.radiusPx, 3), sigma(ring.radiusSigmaPx, 3), fixed(ring.widthPx, 2), g, d, label);
    }
    lines << QString() << tr("物相排名（得分 0 到 1）：");
    for (std::size_t n = 0; n < r.ranking.ranked.size() && n < 10; ++n) {
        const analysis::PhaseFit& f = r.ranking.ranked[n];
        lines << tr("%1  %2  得分 %3  解释 %4/%5 个环")
                     .arg(n + 1)
                     .arg(QString::fromStdString(m_phases[f.phase].name), fixed(f.score, 3))
                     .arg(f.matched)
                     .arg(p.rings.size());
    }
    if (r.ranking.second)
        lines << tr("混合物：%1 解释了 %2 留下的环")
                     .arg(QString::fromStdString(m_phases[r.ranking.second->phase].name),
                          QString::fromStdString(m_phases[r.ranking.ranked.front().phase].name));
    if (!r.ranking.unexplained.empty()) {
        QStringList numbers;
        for (int i : r.ranking.unexplained) numbers << QString::number(i + 1);
        lines << tr("无法解释的环：%1").arg(numbers.join(QStringLiteral(", ")));
    }
    return lines.join(u'\n');
}

bool RingsView::writePlot(const QString& path, QString* error) const {
    analysis::RingPlotInput in = plotInput();
    const analysis::RingPlotLayout layout = analysis::layoutRingPlot(in);
    QByteArray bytes;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        bytes = QByteArray::fromStdString(analysis::ringPlotSvg(layout));
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!ringPlotImage(layout).save(&buffer, "PNG")) {
            if (error) *error = tr("无法生成 PNG 图");
            return false;
        }
    }
    return store::writeFileAtomic(path, bytes, error);
}

bool RingsView::writeProfile(const QString& path, QString* error) const {
    if (!m_pattern) return false;
    // UTF-8 with a byte order mark, so that a spreadsheet reads it as UTF-8.
    return store::writeFileAtomic(
        path, QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(analysis::ringProfileCsv(*m_pattern, plotPerPixel())),
        error);
}

bool RingsView::exportPlot() {
    if (!m_pattern) return false;
    const QString base = m_imageName.isEmpty() ? QStringLiteral("rings") : m_imageName;
    auto path = m_prompts.saveFilePath(tr("导出径向分布图"), base + QStringLiteral("-profile.png"),
                                       tr("PNG 图像|*.png|SVG 图像|*.svg"));
    if (!path) return false;
    if (!path->endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) && !path->endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        *path += QStringLiteral(".png");
    QString why;
    if (!writePlot(*path, &why)) {
        m_prompts.warn(tr("无法写入 %1：%2").arg(QDir::toNativeSeparators(*path), why), QString());
        return false;
    }
    m_status->setText(tr("图已写入 %1").arg(QDir::toNativeSeparators(*path)));
    return true;
}

bool RingsView::exportProfile() {
    if (!m_pattern) return false;
    const QString base = m_imageName.isEmpty() ? QStringLiteral("rings") : m_imageName;
    const auto path = m_prompts.saveFilePath(tr("导出径向分布"), base + QStringLiteral("-profile.csv"),
                                             tr("CSV 文件|*.csv"));
    if (!path) return false;
    QString why;
    if (!writeProfile(*path, &why)) {
        m_prompts.warn(tr("无法写入 %1：%2").arg(QDir::toNativeSeparators(*path), why), QString());
        return false;
    }
    m_status->setText(tr("径向分布已写入 %1").arg(QDir::toNativeSeparators(*path)));
    return true;
}

bool RingsView::calibrateFromStandard() {
    if (!m_pattern) return false;
    const library::CrystalPhase* standard = nullptr;
    for (const library::CrystalPhase& p : library::builtInPhases())
        if (QString::fromStdString(p.name) == m_standard->currentText()) standard = &p;
    if (!standard) return false;
    const analysis::RingPattern& p = *m_pattern;
    const auto lines = analysis::linesForPattern(*standard, p, std::nullopt);
    const analysis::RingCalibration c = analysis::calibrateRings(p, lines);
    const QString name = QString::fromStdString(standard->name);
    if (!c.matches) {
        const QString why = c.matched == 0 ? tr("没有一个环与它的衍射相配")
                                           : tr("只有 %1/%2 个环相配，解释了 %3 % 的环强度，缺失的强衍射占 %4 %")
                                                 .arg(c.matched)
                                                 .arg(p.rings.size())
                                                 .arg(fixed(100 * c.explained, 0), fixed(100 * c.missing, 0));
        m_prompts.warn(tr("衍射环与标样 %1 不符：%2。未保存标定。").arg(name, why), QString());
        return false;
    }
    QString told = tr("标样 %1：相机常数 %2 ± %3 1/nm 每像素（10 1/nm = %4 像素），相对残差均方根 %5")
                       .arg(name, constant(c.perPixel), sigma(c.perPixelSigma, analysis::significantDecimals(c.perPixel, 8)),
                            fixed(10.0 / c.perPixel, 3),
                            general(c.rmsRelative, 2));
    const auto& raster = m_measurement.raster();
    if (raster && raster->calibration && raster->calibration->reciprocal && raster->calibration->perPixel > 0) {
        const double off = raster->calibration->perPixel / c.perPixel - 1;
        told += u'\n' + tr("文件自带的标定：%1 1/nm 每像素，与此相差 %2 %")
                            .arg(general(raster->calibration->perPixel, 8), fixed(100 * off, 2));
    }
    m_summary->setPlainText(summaryText() + QStringLiteral("\n\n") + told);

    // The name and the microscope setting, asked one after the other; any cancel saves nothing.
    const QString title = tr("保存标定");
    const auto named = m_prompts.askText(told + QStringLiteral("\n\n") + tr("标定名称（如“200kV 250mm”）："), title, QString());
    if (!named) return false;
    store::SavedCalibration saved;
    saved.name = named->toStdString();
    switch (store::calibrationNameProblem(saved.name)) {
    case store::NameProblem::None: break;
    case store::NameProblem::Empty: m_prompts.warn(tr("标定名称不能为空。未保存标定。"), QString()); return false;
    case store::NameProblem::BadCharacter: m_prompts.warn(tr("标定名称不能含换行、[、] 或 =。未保存标定。"), QString()); return false;
    case store::NameProblem::Blanks: m_prompts.warn(tr("标定名称首尾不能有空格。未保存标定。"), QString()); return false;
    }
    const auto microscope = m_prompts.askText(tr("显微镜（可空）："), title, QString());
    if (!microscope) return false;
    saved.microscope = microscope->trimmed().toStdString();
    struct Asked {
        QString prompt;
        double* target;
    };
    double binning = 1;
    const Asked numbers[] = {{tr("加速电压 kV（可空）："), &saved.voltageKv},
                             {tr("相机长度 mm（可空）："), &saved.cameraLengthMm},
                             {tr("像素合并（可空，默认 1）："), &binning}};
    for (const Asked& a : numbers) {
        const auto text = m_prompts.askText(a.prompt, title, QString());
        if (!text) return false;
        bool ok = true;
        const auto v = positiveNumber(*text, ok);
        if (!ok) {
            m_prompts.warn(tr("“%1”不是正数。未保存标定。").arg(text->trimmed()), QString());
            return false;
        }
        if (v) *a.target = *v;
    }
    if (binning != std::floor(binning) || binning > 64) {
        m_prompts.warn(tr("像素合并须为 1 到 64 的整数。未保存标定。"), QString());
        return false;
    }
    saved.binning = static_cast<int>(binning);
    saved.perPixel = c.perPixel;
    saved.perPixelSigma = c.perPixelSigma;
    saved.distortion = p.distortion;
    saved.ratioSigma = p.ratioSigma;
    saved.angleSigmaDeg = p.angleSigmaDeg;
    saved.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    saved.standard = standard->name;
    saved.standardFile = QDir::toNativeSeparators(QFileInfo(m_model.chosenFile()).absoluteFilePath()).toStdString();

    const store::CalibrationStore store(m_storePath);
    bool replace = false;
    if (store.find(*named)) {
        if (!m_prompts.confirm(tr("已有名为“%1”的标定。替换它吗？").arg(*named), title)) return false;
        replace = true;
    }
    QString error;
    if (!store.save(saved, replace, &error)) {
        m_prompts.warn(tr("标定未保存：%1").arg(error), QString());
        return false;
    }
    m_status->setText(tr("已保存为标定“%1”").arg(*named));
    emit calibrationSaved(*named);
    return true;
}

}  // namespace saed::app
