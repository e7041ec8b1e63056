// SPDX-License-Identifier: BSD-3-Clause
#include "app/orientationpanel.h"

#include <algorithm>  // for max, min
#include <cmath>      // for fabs, isfinite
#include <cstdlib>    // for llabs

#include <QBuffer>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/stereogrampainter.h"
#include "calculator/orientation.h"
#include "core/millerbravais.h"
#include "store/textfile.h"

namespace saed::app {

namespace {


QString bracketed(QChar open, const std::string& text, QChar close) {
    return open + QString::fromStdString(text) + close;
}

// A value printed with two decimals: one that rounds to 0 prints "0.00", never "-0.00".
double rounded(double v) { return std::fabs(v) < 0.005 ? 0.0 : v; }

}  // namespace

StereogramView::StereogramView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StereogramView"));
    setMinimumSize(280, 280);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

void StereogramView::setProjection(calculator::Stereogram projection, calculator::StereogramLabels labels) {
    m_projection = std::move(projection);
    m_labels = std::move(labels);
    update();
}

const calculator::StereogramZone* StereogramView::zoneAt(const QPointF& at) const {
    const QPointF p = stereogramPoint(QRectF(rect()), at);
    // Within about eight pixels of a zone's dot.
    const double reach = 8.0 / (0.42 * std::max(1, std::min(width(), height())));
    return calculator::zoneAt(m_projection, p.x(), p.y(), reach);
}

void StereogramView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintStereogram(painter, QRectF(rect()), m_projection, m_labels);
}

void StereogramView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const calculator::StereogramZone* zone = zoneAt(event->position())) emit zoneClicked(*zone);
}

OrientationPanel::OrientationPanel(model::Prompts& prompts, QWidget* parent) : QWidget(parent), m_prompts(prompts) {
    auto* layout = new QHBoxLayout(this);

    // The tilt check.
    auto* tiltBox = new QGroupBox(tr("倾转验证"));
    tiltBox->setObjectName(QStringLiteral("TiltBox"));
    auto* tiltLayout = new QVBoxLayout(tiltBox);
    auto* keep = new QPushButton(tr("保留当前结果为第一张花样"));
    keep->setObjectName(QStringLiteral("KeepButton"));
    m_keptLabel = new QLabel(tr("第一张花样：未保留"));
    m_keptLabel->setWordWrap(true);
    // Either pattern may also come from an image, identified against the window's phase.
    auto* images = new QHBoxLayout;
    auto* firstImage = new QPushButton(tr("第一张用图像…"));
    firstImage->setObjectName(QStringLiteral("FirstImageButton"));
    auto* secondImage = new QPushButton(tr("第二张用图像…"));
    secondImage->setObjectName(QStringLiteral("SecondImageButton"));
    m_useCurrent = new QPushButton(tr("第二张用当前结果"));
    m_useCurrent->setObjectName(QStringLiteral("UseCurrentButton"));
    m_useCurrent->setEnabled(false);
    for (QPushButton* b : {firstImage, secondImage})
        b->setToolTip(tr("打开一张衍射图像，按“标定计算”中的物相识别：每个相符的晶带是一个解"));
    m_imageButtons = {firstImage, secondImage};
    m_imageProgress = new QProgressBar;
    m_imageProgress->setObjectName(QStringLiteral("ImageProgress"));
    m_imageProgress->setRange(0, 0);  // one phase: busy until it is done
    m_imageProgress->setMaximumWidth(80);
    m_imageProgress->hide();
    m_imageRun = new analysis::IdentifyRun(this);
    connect(m_imageRun, &analysis::IdentifyRun::finished, this, &OrientationPanel::imageIdentified);
    images->addWidget(firstImage);
    images->addWidget(secondImage);
    images->addWidget(m_imageProgress);
    images->addWidget(m_useCurrent);
    m_secondLabel = new QLabel(tr("第二张花样：当前结果"));
    m_secondLabel->setObjectName(QStringLiteral("SecondPatternText"));
    m_secondLabel->setWordWrap(true);
    m_keptLabel->setObjectName(QStringLiteral("FirstPatternText"));
    tiltLayout->addWidget(keep);
    tiltLayout->addLayout(images);
    tiltLayout->addWidget(m_keptLabel);
    tiltLayout->addWidget(m_secondLabel);
    auto* holder = new QGridLayout;
    m_single = new QRadioButton(tr("单倾：倾转角"));
    m_single->setObjectName(QStringLiteral("SingleTilt"));
    auto* doubleTilt = new QRadioButton(tr("双倾：α1 β1 α2 β2"));
    doubleTilt->setObjectName(QStringLiteral("DoubleTilt"));
    m_single->setChecked(true);
    m_angle = new QLineEdit;
    m_angle->setObjectName(QStringLiteral("TiltAngle"));
    holder->addWidget(m_single, 0, 0);
    holder->addWidget(m_angle, 0, 1, 1, 4);
    holder->addWidget(doubleTilt, 1, 0);
    for (int i = 0; i < 4; ++i) {
        m_readings[static_cast<std::size_t>(i)] = new QLineEdit(QStringLiteral("0"));
        m_readings[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Reading%1").arg(i + 1));
        m_readings[static_cast<std::size_t>(i)]->setEnabled(false);
        holder->addWidget(m_readings[static_cast<std::size_t>(i)], 1, i + 1);
    }
    holder->addWidget(new QLabel(tr("容差（°）")), 2, 0);
    m_tolerance = new QLineEdit(QStringLiteral("1"));
    m_tolerance->setObjectName(QStringLiteral("TiltTolerance"));
    holder->addWidget(m_tolerance, 2, 1, 1, 4);
    m_checkOrientation = new QCheckBox(tr("同时核对取向（按右侧的 α 轴方向）"));
    m_checkOrientation->setObjectName(QStringLiteral("TiltOrientation"));
    m_checkOrientation->setToolTip(tr("两张花样都来自图像时，R1、R2 在图像中的方向已知：一对解还须是同一个晶体取向，"
                                      "即第一张的取向经样品台绕 α 轴转动后得到第二张的"));
    holder->addWidget(m_checkOrientation, 3, 0, 1, 5);
    tiltLayout->addLayout(holder);
    auto* check = new QPushButton(tr("检验"));
    check->setObjectName(QStringLiteral("CheckTiltButton"));
    tiltLayout->addWidget(check);
    m_tiltSummary = new QLabel;
    m_tiltSummary->setWordWrap(true);
    tiltLayout->addWidget(m_tiltSummary);
    m_tiltTree = new QTreeWidget;
    m_tiltTree->setObjectName(QStringLiteral("TiltTree"));
    m_tiltTree->setHeaderLabels({tr("第一张"), tr("第二张"), tr("夹角（°）"), tr("偏差（°）"), tr("取向偏差（°）")});
    m_tiltTree->setColumnHidden(4, true);
    m_tiltTree->setRootIsDecorated(false);
    m_tiltTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tiltLayout->addWidget(m_tiltTree, 1);
    layout->addWidget(tiltBox, 2);

    // The orientation of the selected row and its projection.
    auto* orientBox = new QGroupBox(tr("取向与极射赤面投影"));
    orientBox->setObjectName(QStringLiteral("OrientationBox"));
    auto* orientLayout = new QVBoxLayout(orientBox);
    auto* form = new QGridLayout;
    m_r1Angle = new QLineEdit;
    m_r1Angle->setObjectName(QStringLiteral("R1Direction"));
    m_r1Angle->setToolTip(tr("R1 在图像中的方向：度，自图像向右逆时针量"));
    m_holderAxis = new QLineEdit(QStringLiteral("0"));
    m_holderAxis->setObjectName(QStringLiteral("HolderAxis"));
    m_holderAxis->setToolTip(tr("样品台 α 轴在图像中的方向：度，自图像向右逆时针量"));
    m_alpha = new QLineEdit(QStringLiteral("0"));
    m_alpha->setObjectName(QStringLiteral("HolderAlpha"));
    m_beta = new QLineEdit(QStringLiteral("0"));
    m_beta->setObjectName(QStringLiteral("HolderBeta"));
    form->addWidget(new QLabel(tr("R1 方向（°）")), 0, 0);
    form->addWidget(m_r1Angle, 0, 1);
    form->addWidget(new QLabel(tr("α 轴（°）")), 0, 2);
    form->addWidget(m_holderAxis, 0, 3);
    form->addWidget(new QLabel(tr("当前 α, β（°）")), 1, 0);
    form->addWidget(m_alpha, 1, 1);
    form->addWidget(m_beta, 1, 2);
    m_fourIndex = new QCheckBox(tr("四指数"));
    m_fourIndex->setObjectName(QStringLiteral("FourIndex"));
    m_fourIndex->setToolTip(tr("六方晶胞的晶面和晶带轴用四指数 (h k i l)、[U V T W] 显示"));
    form->addWidget(m_fourIndex, 1, 3);
    orientLayout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* show = new QPushButton(tr("取向"));
    show->setObjectName(QStringLiteral("OrientButton"));
    show->setToolTip(tr("所选结果行的晶体取向和极射赤面投影"));
    auto* png = new QPushButton(tr("导出PNG"));
    png->setObjectName(QStringLiteral("StereogramPng"));
    auto* svg = new QPushButton(tr("导出SVG"));
    svg->setObjectName(QStringLiteral("StereogramSvg"));
    buttons->addWidget(show);
    buttons->addStretch(1);
    buttons->addWidget(png);
    buttons->addWidget(svg);
    orientLayout->addLayout(buttons);
    m_orientationLabel = new QLabel(tr("在“标定计算”中选一行，给出 R1 方向，再点“取向”。"));
    m_orientationLabel->setObjectName(QStringLiteral("OrientationText"));
    m_orientationLabel->setWordWrap(true);
    m_orientationLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    orientLayout->addWidget(m_orientationLabel);
    m_view = new StereogramView;
    orientLayout->addWidget(m_view, 1);
    m_clickedLabel = new QLabel(tr("点击投影中的晶带轴，显示到达它的倾转。"));
    m_clickedLabel->setObjectName(QStringLiteral("ClickedZone"));
    m_clickedLabel->setWordWrap(true);
    orientLayout->addWidget(m_clickedLabel);
    layout->addWidget(orientBox, 3);

    connect(keep, &QPushButton::clicked, this, &OrientationPanel::keepCurrent);
    for (auto [button, which] : {std::pair{firstImage, 0}, std::pair{secondImage, 1}})
        connect(button, &QPushButton::clicked, this, [this, which] {
            // While its image is identified the button stops it.
            if (m_reading) {
                m_imageRun->cancel();
                m_imageButtons[static_cast<std::size_t>(which)]->setEnabled(false);  // until the worker has stopped
                return;
            }
            if (const auto path = m_prompts.openImagePath(QString())) readImagePattern(which, *path);
        });
    connect(m_useCurrent, &QPushButton::clicked, this, &OrientationPanel::useCurrentAsSecond);
    connect(check, &QPushButton::clicked, this, &OrientationPanel::checkTilt);
    connect(m_single, &QRadioButton::toggled, this, [this](bool single) {
        m_angle->setEnabled(single);
        for (QLineEdit* r : m_readings) r->setEnabled(!single);
    });
    for (QLineEdit* field : {m_angle, m_tolerance}) connect(field, &QLineEdit::returnPressed, this, &OrientationPanel::checkTilt);
    for (QLineEdit* r : m_readings) connect(r, &QLineEdit::returnPressed, this, &OrientationPanel::checkTilt);
    connect(show, &QPushButton::clicked, this, &OrientationPanel::updateOrientation);
    for (QLineEdit* field : {m_r1Angle, m_holderAxis, m_alpha, m_beta})
        connect(field, &QLineEdit::returnPressed, this, &OrientationPanel::updateOrientation);
    connect(m_fourIndex, &QCheckBox::toggled, this, [this](bool on) {
        m_fourIndexWanted = on;
        if (m_orientation) updateOrientation();
        emit fourIndexToggled(on);
    });
    connect(m_view, &StereogramView::zoneClicked, this, &OrientationPanel::showClicked);
    connect(png, &QPushButton::clicked, this, [this] {
        if (const auto path = m_prompts.saveFilePath(tr("导出极射赤面投影"), QStringLiteral("stereogram.png"),
                                                     tr("PNG 图像 (*.png)")))
            exportPng(*path);
    });
    connect(svg, &QPushButton::clicked, this, [this] {
        if (const auto path = m_prompts.saveFilePath(tr("导出极射赤面投影"), QStringLiteral("stereogram.svg"),
                                                     tr("SVG 图像 (*.svg)")))
            exportSvg(*path);
    });
}

void OrientationPanel::setCurrent(ResultSet current, std::optional<std::size_t> selected) {
    m_current = std::move(current);
    m_selected = selected && *selected < m_current.rows.size() ? selected : std::nullopt;
    showFourIndex();
}

void OrientationPanel::setFourIndex(bool wanted) {
    m_fourIndexWanted = wanted;
    showFourIndex();
}

void OrientationPanel::showFourIndex() {
    // The setting stays as the user chose it; a cell that is not hexagonal shows three indices.
    const bool hexagonal = core::isHexagonalCell(m_current.cell);
    m_fourIndex->setEnabled(hexagonal);
    if (m_fourIndex->isChecked() == (m_fourIndexWanted && hexagonal)) return;
    const QSignalBlocker blocker(m_fourIndex);
    m_fourIndex->setChecked(m_fourIndexWanted && hexagonal);
    if (m_orientation) updateOrientation();
}

void OrientationPanel::keepCurrent() {
    if (m_current.rows.empty()) {
        m_prompts.warn(tr("当前没有标定结果可保留；请先在“标定计算”中计算第一张花样。"), tr("倾转验证"));
        return;
    }
    if (m_reading && m_reading->which == 0) m_imageRun->cancel();  // the pattern is the current set now
    m_kept = m_current;
    m_keptLabel->setText(tr("第一张花样：%1，%2 行").arg(m_kept->phase).arg(m_kept->rows.size()));
}

void OrientationPanel::setPatternPhaseSource(std::function<std::optional<PatternPhase>()> source) {
    m_phaseSource = std::move(source);
}

bool OrientationPanel::readImagePattern(int which, const QString& path) {
    const QString title = tr("倾转验证");
    if (m_reading) return false;  // one image at a time
    const std::optional<PatternPhase> phase = m_phaseSource ? m_phaseSource() : std::nullopt;
    if (!phase) {
        m_prompts.warn(tr("请先在“标定计算”中给出物相（点阵参数与点阵类型，或点阵库中的物相），图像按它识别。"), title);
        return false;
    }
    QString error;
    std::optional<ImagePatternRequest> request = imagePatternRequest(path, *phase, error);
    if (!request) {
        m_prompts.warn(error, title);
        return false;
    }
    QLabel* label = which == 0 ? m_keptLabel : m_secondLabel;
    const QString busy = (which == 0 ? tr("第一张花样：") : tr("第二张花样：")) +
                         tr("正在识别图像 %1（%2）…").arg(QFileInfo(path).fileName(), QString::fromStdString(phase->phase.name));
    m_reading = ImageReading{which, path, *phase, m_current, label->text(), busy};
    m_imageRun->start(std::move(request->raster), std::move(request->phases), request->settings, std::nullopt);
    label->setText(busy);
    showImageButtons();
    return true;
}

void OrientationPanel::showImageButtons() {
    for (int which : {0, 1}) {
        QPushButton* button = m_imageButtons[static_cast<std::size_t>(which)];
        const bool reading = m_reading && m_reading->which == which;
        button->setText(reading ? tr("停止识别") : which == 0 ? tr("第一张用图像…") : tr("第二张用图像…"));
        button->setEnabled(!m_reading || reading);
    }
    m_imageProgress->setVisible(m_reading.has_value());
}

void OrientationPanel::imageIdentified(bool completed) {
    if (!m_reading) return;
    const ImageReading reading = std::move(*m_reading);
    m_reading.reset();
    showImageButtons();
    QLabel* label = reading.which == 0 ? m_keptLabel : m_secondLabel;
    const auto untaken = [&] {
        // The pattern shows again what it held, unless it was set another way meanwhile.
        if (label->text() == reading.busy) label->setText(reading.before);
        emit imageRead(reading.which, false);
    };
    if (!completed || !m_imageRun->outcome()) return untaken();
    QString error;
    const std::optional<ImagePattern> pattern = imagePatternFrom(m_imageRun->outcome()->result, reading.path, reading.phase, error);
    if (!pattern) {
        untaken();
        m_prompts.warn(error, tr("倾转验证"));
        return;
    }
    ResultSet set = reading.base;
    set.rows = pattern->rows;
    set.candidates = true;
    set.directionsDeg = pattern->directionsDeg;
    const QString text = tr("图像 %1（%2），%3 个候选，最佳 [%4]")
                             .arg(QFileInfo(reading.path).fileName(), set.phase)
                             .arg(set.rows.size())
                             .arg(QString::fromStdString(labels().zone(set.rows.front().zone)));
    if (reading.which == 0) {
        m_kept = std::move(set);
        m_keptLabel->setText(tr("第一张花样：") + text);
    } else {
        m_second = std::move(set);
        m_secondLabel->setText(tr("第二张花样：") + text);
        m_useCurrent->setEnabled(true);
    }
    emit imageRead(reading.which, true);
}

void OrientationPanel::useCurrentAsSecond() {
    if (m_reading && m_reading->which == 1) m_imageRun->cancel();  // the pattern is the current set now
    m_second.reset();
    m_secondLabel->setText(tr("第二张花样：当前结果"));
    m_useCurrent->setEnabled(false);
}

std::optional<double> OrientationPanel::number(QLineEdit* field, const QString& name) {
    bool ok = false;
    const double v = field->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        m_prompts.warn(tr("%1须为数。").arg(name), tr("倾转与取向"));
        field->setFocus();
        field->selectAll();
        return std::nullopt;
    }
    return v;
}

bool OrientationPanel::checkTilt() {
    const QString title = tr("倾转验证");
    if (!m_kept) {
        m_prompts.warn(tr("请先保留第一张花样的结果，再标定第二张花样。"), title);
        return false;
    }
    const ResultSet& second = m_second ? *m_second : m_current;
    if (second.rows.empty()) {
        m_prompts.warn(tr("当前没有标定结果：请标定第二张花样。"), title);
        return false;
    }
    if (!(m_kept->cell == second.cell) || m_kept->type != second.type || m_kept->phase != second.phase) {
        m_prompts.warn(tr("两组结果来自不同的物相（%1 与 %2）；两张花样须用同一物相标定。").arg(m_kept->phase, second.phase),
                       title);
        return false;
    }
    calculator::TiltRequest request;
    request.cell = second.cell;
    request.first = m_kept->rows;
    request.second = second.rows;
    const auto tolerance = number(m_tolerance, tr("容差"));
    if (!tolerance) return false;
    if (*tolerance < 0 || *tolerance > 90) {
        m_prompts.warn(tr("容差须在 0 到 90 度之间。"), title);
        return false;
    }
    request.toleranceDeg = *tolerance;
    if (m_single->isChecked()) {
        const auto angle = number(m_angle, tr("倾转角"));
        if (!angle) return false;
        if (*angle < 0 || *angle > calculator::kMaxTiltDeg) {
            m_prompts.warn(tr("倾转角须在 0 到 180 度之间：两个方向的夹角不超过 180°。"), title);
            m_angle->setFocus();
            return false;
        }
        request.angleDeg = *angle;
    } else {
        std::array<double, 4> readings{};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto v = number(m_readings[i], tr("样品台读数"));
            if (!v) return false;
            if (std::fabs(*v) > calculator::kMaxTiltDeg) {
                m_prompts.warn(tr("样品台读数须在 -180 到 180 度之间。"), title);
                return false;
            }
            readings[i] = *v;
        }
        request.alphaBeta = readings;
    }
    // With the orientation: both images' directions of R1 and R2 and the holder's alpha axis.
    const bool orientation = m_checkOrientation->isChecked();
    if (orientation) {
        for (const ResultSet* set : std::array<const ResultSet*, 2>{&*m_kept, &second})
            if (!set->directionsDeg) {
                m_prompts.warn(tr("%1没有图像中的方向（由数值标定的结果不知 R1、R2 在图像中的方向）：核对取向须两张花样都来自图像。")
                                   .arg(set == &second ? tr("第二张花样") : tr("第一张花样")),
                               title);
                return false;
            }
        const auto axis = number(m_holderAxis, tr("α 轴方向"));
        if (!axis) return false;
        request.directionsDeg = std::array<double, 4>{(*m_kept->directionsDeg)[0], (*m_kept->directionsDeg)[1],
                                                      (*second.directionsDeg)[0], (*second.directionsDeg)[1]};
        request.axisDeg = *axis;
    }
    m_tilt = calculator::checkTilt(request);
    if (m_tilt.error == calculator::TiltError::BadDirections) {
        m_prompts.warn(tr("无法核对取向：同一张图像中 R1 和 R2 的方向平行。"), title);
        return false;
    }
    if (m_tilt.error != calculator::TiltError::None) {
        m_prompts.warn(tr("无法检验该倾转：点阵参数构不成晶胞。"), title);
        return false;
    }
    const bool four = m_fourIndex->isChecked();
    const auto zone = [four](const core::Uvw& v) {
        return bracketed(u'[', four ? core::indexText(core::toFourIndex(v)) : core::indexText(v), u']');
    };
    const auto familyZone = [&](int id) {
        for (const auto& s : request.first)
            if (s.family == id) return zone(s.zone);
        return QString();
    };
    QStringList kept, ruledOut;
    for (int id : m_tilt.keptFamilies) kept << tr("解族 %1 %2").arg(id).arg(familyZone(id));
    for (int id : m_tilt.ruledOutFamilies) ruledOut << tr("解族 %1 %2").arg(id).arg(familyZone(id));
    m_tiltSummary->setText(tr("倾转角 %1°：保留 %2；排除 %3")
                               .arg(m_tilt.tiltDeg, 0, 'f', 2)
                               .arg(kept.isEmpty() ? tr("无") : kept.join(tr("、")))
                               .arg(ruledOut.isEmpty() ? tr("无") : ruledOut.join(tr("、"))) +
                           (orientation ? tr("（取向按 α 轴方向 %1° 核对）").arg(request.axisDeg) : QString()));
    m_tiltTree->clear();
    m_tiltTree->setColumnHidden(4, !orientation);
    const auto name = [this](const ResultSet& set, const calculator::IndexedSolution& s) {
        return set.candidates ? tr("候选 %1").arg(s.group) : tr("第%1组").arg(s.group, 3, 10, QLatin1Char('0'));
    };
    // Thousands of pairs add nothing a user reads: the best ones are shown.
    constexpr std::size_t kShownPairs = 500;
    for (std::size_t i = 0; i < std::min(kShownPairs, m_tilt.pairs.size()); ++i) {
        const calculator::TiltPair& p = m_tilt.pairs[i];
        const auto& a = request.first[p.first];
        const auto& b = request.second[p.second];
        auto* item = new QTreeWidgetItem(
            {name(*m_kept, a) + QLatin1Char(' ') + zone(a.zone), name(second, b) + QLatin1Char(' ') + zone(b.zone),
             QString::number(p.zoneAngleDeg, 'f', 4), QString::number(p.misfitDeg, 'f', 4),
             p.orientationMisfitDeg ? QString::number(*p.orientationMisfitDeg, 'f', 2) : QString()});
        m_tiltTree->addTopLevelItem(item);
    }
    return true;
}

calculator::StereogramLabels OrientationPanel::labels() const {
    const bool four = m_fourIndex->isChecked();
    return {[four](const core::Uvw& v) { return four ? core::indexText(core::toFourIndex(v)) : core::indexText(v); },
            [four](const core::Hkl& p) { return four ? core::indexText(core::toFourIndex(p)) : core::indexText(p); }};
}

bool OrientationPanel::updateOrientation() {
    const QString title = tr("倾转与取向");
    if (!m_selected) {
        m_prompts.warn(tr("请先在“标定计算”的结果表中选一行。"), title);
        return false;
    }
    if (m_r1Angle->text().trimmed().isEmpty()) {
        m_prompts.warn(tr("这个解没有图像中的方向：请给出 R1 在图像中的方向（度，自图像向右逆时针量）。"), title);
        m_r1Angle->setFocus();
        return false;
    }
    const auto r1 = number(m_r1Angle, tr("R1 方向"));
    const auto axis = r1 ? number(m_holderAxis, tr("α 轴方向")) : std::nullopt;
    const auto alpha = axis ? number(m_alpha, tr("α")) : std::nullopt;
    const auto beta = alpha ? number(m_beta, tr("β")) : std::nullopt;
    if (!beta) return false;
    const auto frame = core::CrystalFrame::of(m_current.cell);
    const calculator::IndexedSolution& row = m_current.rows[*m_selected];
    const auto between = frame ? core::angleBetween(frame->planeNormal(row.g1), frame->planeNormal(row.g2)) : std::nullopt;
    if (!frame || !between) {
        m_prompts.warn(tr("这组点阵参数构不成晶胞。"), title);
        return false;
    }
    m_orientation = calculator::orientationOf(*frame, {row.g1, row.g2, *r1, *r1 + *between});
    if (!m_orientation) return false;
    calculator::StereogramRequest request;
    if (m_current.rule) {
        const auto rule = m_current.rule;
        request.allowed = [rule](const core::Hkl& p) { return rule->admits(p); };
        // Where the atoms are known the great circles are those of the strongest reflections.
        request.amplitude = [rule](const core::Hkl& p) { return rule->structureFactor(p); };
    }
    // Low-index zones only, so that the labels stay readable; the zone on the beam always.
    request.maxIndex = 2;
    request.alwaysShown = {row.zone};
    if (m_fourIndex->isChecked()) {
        request.maxIndex = 4;
        request.zoneAdmitted = [](const core::Uvw& v) {
            const core::Uvtw w = core::toFourIndex(v);
            return std::max({std::llabs(w[0]), std::llabs(w[1]), std::llabs(w[2]), std::llabs(w[3])}) <= 2;
        };
    }
    m_view->setProjection(calculator::stereogram(*frame, *m_orientation, request), labels());
    const std::array<double, 3> euler = calculator::bungeEuler(*m_orientation);
    const bool four = m_fourIndex->isChecked();
    const core::Uvw zone = row.zone;
    m_orientationLabel->setText(
        tr("晶带轴 %1 沿电子束反方向（+Z）；Bunge 欧拉角 φ1 %2°，Φ %3°，φ2 %4°（样品系：X 向右，Y 向上，Z 指向观察者；晶体系：x 沿 a，z 沿 c*）")
            .arg(bracketed(u'[', four ? core::indexText(core::toFourIndex(zone)) : core::indexText(zone), u']'))
            .arg(rounded(euler[0]), 0, 'f', 2)
            .arg(rounded(euler[1]), 0, 'f', 2)
            .arg(rounded(euler[2]), 0, 'f', 2));
    m_clickedLabel->setText(tr("点击投影中的晶带轴，显示到达它的倾转。"));
    return true;
}

void OrientationPanel::showClicked(const calculator::StereogramZone& zone) {
    if (!m_orientation) return;
    const auto frame = core::CrystalFrame::of(m_current.cell);
    bool ok = false;
    const double alpha0 = m_alpha->text().toDouble(&ok), beta0 = m_beta->text().toDouble();
    const double axis = m_holderAxis->text().toDouble();
    const QString name = QString::fromStdString(labels().zone(zone.uvw));
    QString text = tr("[%1]：倾转 %2°，方位 %3°").arg(name).arg(zone.angleDeg, 0, 'f', 2).arg(rounded(zone.azimuthDeg), 0, 'f', 1);
    if (frame) {
        const core::Vec3 lab = core::multiply(*m_orientation, frame->direction(zone.uvw));
        if (const auto readings = calculator::holderReadingsFor(lab, ok ? alpha0 : 0, beta0, axis))
            text += tr("；α %1°，β %2°（Δα %3°，Δβ %4°）")
                        .arg(rounded((*readings)[0]), 0, 'f', 2)
                        .arg(rounded((*readings)[1]), 0, 'f', 2)
                        .arg(rounded((*readings)[0] - alpha0), 0, 'f', 2)
                        .arg(rounded((*readings)[1] - beta0), 0, 'f', 2);
    }
    m_clickedLabel->setText(text);
}

QString OrientationPanel::orientationText() const { return m_orientationLabel->text(); }
QString OrientationPanel::clickedText() const { return m_clickedLabel->text(); }

bool OrientationPanel::exportPng(const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!stereogramImage(m_view->projection(), labels()).save(&buffer, "PNG") ||
        !store::writeFileAtomic(path, bytes, &error)) {
        m_prompts.warn(tr("无法写入 %1：%2").arg(path, error), tr("导出极射赤面投影"));
        return false;
    }
    return true;
}

bool OrientationPanel::exportSvg(const QString& path) {
    const std::string svg = calculator::stereogramSvg(m_view->projection(), labels());
    QString error;
    if (!store::writeFileAtomic(path, QByteArray(svg.data(), static_cast<qsizetype>(svg.size())), &error)) {
        m_prompts.warn(tr("无法写入 %1：%2").arg(path, error), tr("导出极射赤面投影"));
        return false;
    }
    return true;
}

}  // namespace saed::app
