// SPDX-License-Identifier: BSD-3-Clause
#include "app/imagepage.h"

#include <memory>  // for make_shared

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/identifypanel.h"
#include "app/imageview.h"
#include "app/measurewindows.h"
#include "app/ringsview.h"
#include "library/phaselibrary.h"
#include "store/calibrationstore.h"
#include "core/imagedisplay.h"
#include "measure/imagemeasurement.h"
#include "measure/viewport.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::app {

using model::Caption;
using model::Flag;

namespace {

// Window-level events that close the Measure dialog or hide the magnifier.
class MeasureEventFilter : public QObject {
public:
    MeasureEventFilter(QWidget* mainWindow, QTabWidget* tabs, MeasureWindows* windows)
        : QObject(mainWindow), m_mainWindow(mainWindow), m_tabsObject(tabs), m_tabBarObject(tabs->tabBar()),
          m_tabs(tabs), m_windows(windows) {}

    // Only mouse events are looked at, and the watched object is known by its address first, so
    // that the events that arrive while the window's children are destroyed touch nothing.
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove) return false;
        if (watched == m_mainWindow && type == QEvent::MouseButtonPress) {
            // A click that reaches the main window itself fell on its background.
            m_windows->closeMeasureDialog();
        } else if (watched == m_tabBarObject && type == QEvent::MouseMove) {
            m_windows->hideMagnifier();
        } else if (watched == m_tabsObject && type == QEvent::MouseMove) {
            // Only the tab strip's own surface counts: the tab bar, the page background, not a
            // control on the page (moves over plain controls travel up to the tab strip).
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            QWidget* under = m_tabs->childAt(at);
            if (under == nullptr || under == m_tabs->tabBar() || under == m_tabs->currentWidget() ||
                qobject_cast<QStackedWidget*>(under) != nullptr)
                m_windows->hideMagnifier();
        }
        return false;
    }

private:
    const QObject* m_mainWindow;
    const QObject* m_tabsObject;
    const QObject* m_tabBarObject;
    QTabWidget* m_tabs;
    MeasureWindows* m_windows;
};

}  // namespace

ImagePage::ImagePage(model::MainModel& model, model::Prompts& prompts, QWidget* mainWindow, QWidget* parent)
    : QWidget(parent), m_model(model), m_prompts(prompts), m_mainWindow(mainWindow) {
    auto* layout = new QHBoxLayout(this);

    auto* frame6 = new QFrame;
    frame6->setObjectName(QStringLiteral("Frame6"));
    frame6->setFrameShape(QFrame::StyledPanel);
    frame6->setMinimumSize(measure::pixelsFromTwips(11535) / 2, measure::pixelsFromTwips(7935) / 2);
    frame6->setLayout(new QVBoxLayout);
    frame6->layout()->setContentsMargins(0, 0, 0, 0);
    // The image above, the identification's candidates below; the user moves the split.
    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("imageSplit"));
    split->setChildrenCollapsible(false);
    split->addWidget(frame6);
    layout->addWidget(split, 1);

    auto* frame5 = new QGroupBox(tr("工具栏"));
    frame5->setObjectName(QStringLiteral("Frame5"));
    auto* tools = new QVBoxLayout(frame5);
    auto* command2 = new QPushButton(tr("打开"));
    m_command3 = new QPushButton(tr("放大"));
    m_command7 = new QPushButton(tr("缩小"));
    auto* command8 = new QPushButton(tr("还原"));
    m_command9 = new QPushButton(model::translatedText(m_model.caption(Caption::Command9)));
    auto* command14 = new QPushButton(tr("清屏"));
    for (QPushButton* button : {command2, m_command3, m_command7, command8, m_command9, command14})
        tools->addWidget(button);
    m_overlaySwitch = new QCheckBox(tr("叠加模拟斑点"));
    m_overlaySwitch->setObjectName(QStringLiteral("OverlaySwitch"));
    m_overlaySwitch->setChecked(true);
    m_overlaySwitch->setToolTip(tr("把所选行的模拟斑点画在图像上（g1 在 R1 上，g2 在 R2 上）"));
    tools->addWidget(m_overlaySwitch);
    tools->addStretch(1);
    layout->addWidget(frame5);

    auto* measurement = new measure::ImageMeasurement(m_model, prompts, this);
    measurement->setObjectName(QStringLiteral("ImageMeasurement"));
    m_measurement = measurement;
    measurement->setOuterSizeSource([mainWindow] { return mainWindow->frameGeometry().size(); });

    m_imageView = new ImageView(*measurement, frame6);
    frame6->layout()->addWidget(m_imageView);
    m_identify = new IdentifyPanel(m_model, *measurement, *m_imageView);
    m_identify->setMinimumHeight(110);
    split->addWidget(m_identify);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({600, 160});

    m_windows = new MeasureWindows(*measurement, mainWindow);
    m_windows->setObjectName(QStringLiteral("MeasureWindows"));

    connect(command2, &QPushButton::clicked, measurement, &measure::ImageMeasurement::Open);
    connect(m_command3, &QPushButton::clicked, measurement, &measure::ImageMeasurement::zoomIn);
    connect(m_command7, &QPushButton::clicked, measurement, &measure::ImageMeasurement::zoomOut);
    connect(command8, &QPushButton::clicked, measurement, &measure::ImageMeasurement::restore);
    connect(m_command9, &QPushButton::clicked, measurement, &measure::ImageMeasurement::toggleMode);
    connect(command14, &QPushButton::clicked, measurement, &measure::ImageMeasurement::Clear);
    connect(m_imageView, &ImageView::dropped, m_windows, &MeasureWindows::closeMeasureDialog);
    connect(m_overlaySwitch, &QCheckBox::toggled, this, &ImagePage::overlayShownChanged);

    connect(&m_model, &model::MainModel::captionChanged, this, [this](Caption which) {
        if (which == Caption::Command9) m_command9->setText(model::translatedText(m_model.caption(Caption::Command9)));
    });
    const auto showFlag = [this](Flag which) {
        if (which == Flag::Command3Enabled) m_command3->setEnabled(m_model.flag(which));
        if (which == Flag::Command7Enabled) m_command7->setEnabled(m_model.flag(which));
    };
    connect(&m_model, &model::MainModel::flagChanged, this, showFlag);
    showFlag(Flag::Command3Enabled);
    showFlag(Flag::Command7Enabled);

    addImageTools(frame5);
}

void ImagePage::watchWindow(QWidget* mainWindow, QTabWidget* tabs) {
    connect(tabs, &QTabWidget::currentChanged, m_windows, &MeasureWindows::closeMeasureDialog);
    auto* filter = new MeasureEventFilter(mainWindow, tabs, m_windows);
    mainWindow->installEventFilter(filter);
    tabs->setMouseTracking(true);
    tabs->installEventFilter(filter);
    tabs->tabBar()->setMouseTracking(true);
    tabs->tabBar()->installEventFilter(filter);
}

void ImagePage::setOverlay(const std::vector<QPointF>& points, const QStringList& labels) {
    m_imageView->setOverlay(points, labels);
}

RingsView* ImagePage::ringsView() {
    if (m_rings) return m_rings;
    // The ticked phases of the library that carry a structure; none ticked: every phase.
    model::MainModel* model = &m_model;
    auto ticked = [model] {
        std::vector<library::CrystalPhase> phases;
        if (const library::PhaseLibrary* library = library::phaseLibrary(*model)) {
            for (int record : library->tree().selectedRecordNumbers())
                if (const library::CrystalPhase* p = library->crystal(record)) phases.push_back(*p);
            if (phases.empty()) phases = library->crystals();
        }
        return phases;
    };
    m_rings = new RingsView(m_model, *m_measurement, m_prompts, ticked, store::CalibrationStore::defaultPath(), m_mainWindow);
    m_rings->setWindowFlag(Qt::Window);
    connect(m_rings, &RingsView::ringsChanged, m_imageView, &ImageView::setRings);
    return m_rings;
}

void ImagePage::addImageTools(QWidget* toolbar) {
    measure::ImageMeasurement* measurement = m_measurement;
    // Spot tools and the display of the values, below the six toolbar buttons.
    auto* tools = qobject_cast<QBoxLayout*>(toolbar->layout());
    int at = tools->count() - 1;  // before the closing stretch
    const auto add = [&](QWidget* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        tools->insertWidget(at++, widget);
    };
    auto* snap = new QCheckBox(tr("吸附斑点"));
    snap->setChecked(measurement->snapping());
    snap->setToolTip(tr("松开鼠标时，线端移到附近斑点的亚像素中心"));
    add(snap, "snapSpots");
    auto* centre = new QPushButton(tr("找中心"));
    centre->setToolTip(tr("由对称斑点对找出透射斑中心；之后点击斑点即从中心画线"));
    add(centre, "findCentre");
    auto* setCentre = new QPushButton(tr("设为中心"));
    setCentre->setCheckable(true);
    setCentre->setToolTip(tr("点击透射斑把中心设在那里并锁定；也可拖动绿色十字，或在图上用方向键微调（每次 0.1 像素，加 Shift 每次 1 像素），Esc 取消"));
    add(setCentre, "setCentre");
    auto* lockCentre = new QCheckBox(tr("锁定中心"));
    lockCentre->setToolTip(tr("自动找斑点和识别物相都以锁定的中心为透射斑，不再另求；在图上按 L 锁定或解锁"));
    lockCentre->setEnabled(false);
    add(lockCentre, "lockCentre");
    auto* autoSpots =
        new QPushButton(tr("自动找斑点"));
    autoSpots->setToolTip(
        tr("找出斑点，选出 R1、R2、R3 并填入测量值"));
    add(autoSpots, "autoSpots");
    auto* rings = new QPushButton(tr("环形花样…"));
    rings->setToolTip(tr("多晶的衍射环：中心、椭圆畸变、径向强度分布、物相标定和由标样求标定"));
    add(rings, "ringPattern");
    connect(rings, &QPushButton::clicked, this, [this] {
        RingsView* view = ringsView();
        view->show();
        view->raise();
        view->activateWindow();
    });
    tools->insertWidget(at++, m_identify->identifyButton());

    add(new QLabel(tr("显示")), "displayLabel");
    auto* mapping = new QComboBox;
    mapping->addItems({tr("线性"),
                       tr("对数"),
                       tr("伽马")});
    add(mapping, "displayMapping");
    auto* gamma = new QDoubleSpinBox;
    gamma->setRange(0.1, 5.0);
    gamma->setSingleStep(0.1);
    gamma->setPrefix(QStringLiteral("γ "));
    add(gamma, "displayGamma");
    auto* clip = new QDoubleSpinBox;
    clip->setRange(0.0, 20.0);
    clip->setSingleStep(0.1);
    clip->setDecimals(2);
    clip->setPrefix(tr("裁剪 "));
    clip->setSuffix(QStringLiteral(" %"));
    clip->setToolTip(tr("两端各裁去的像素比例：更暗的成黑色，更亮的成白色"));
    add(clip, "displayClip");

    connect(snap, &QCheckBox::toggled, measurement, &measure::ImageMeasurement::setSnapping);
    connect(centre, &QPushButton::clicked, measurement, &measure::ImageMeasurement::findCentre);
    connect(autoSpots, &QPushButton::clicked, measurement, &measure::ImageMeasurement::autoSpots);
    connect(setCentre, &QPushButton::toggled, measurement, &measure::ImageMeasurement::setCentreMode);
    connect(lockCentre, &QCheckBox::toggled, measurement, &measure::ImageMeasurement::setCentreLocked);
    connect(measurement, &measure::ImageMeasurement::centreChanged, this, [measurement, setCentre, lockCentre] {
        const QSignalBlocker modeBlocker(setCentre), lockBlocker(lockCentre);
        setCentre->setChecked(measurement->centreMode());
        lockCentre->setEnabled(measurement->centre().has_value());
        lockCentre->setChecked(measurement->centreLocked());
    });
    // Enter while the image page is shown runs the identification (or stops it); a shortcut of
    // a hidden page is not active, so the other tabs keep their Enter. Enter in a field, a list or
    // a selector of the page ends the typing or choosing there and starts nothing.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, m_identify, [this] {
            const QWidget* focus = window()->focusWidget();
            if (qobject_cast<const QAbstractSpinBox*>(focus) || qobject_cast<const QLineEdit*>(focus) ||
                qobject_cast<const QAbstractItemView*>(focus) || qobject_cast<const QComboBox*>(focus))
                return;
            m_identify->identify();
        });
    }

    // The controls show the settings of the image just opened; a change redraws from the values.
    auto syncing = std::make_shared<bool>(false);
    const auto showSettings = [=] {
        *syncing = true;
        const core::DisplaySettings& s = measurement->displaySettings();
        mapping->setCurrentIndex(static_cast<int>(s.mapping));
        gamma->setValue(s.gamma);
        gamma->setEnabled(s.mapping == core::DisplayMapping::Gamma);
        clip->setValue(s.low < s.high ? 0.0 : s.lowPercent);
        *syncing = false;
    };
    const auto apply = [=] {
        if (*syncing) return;
        core::DisplaySettings s = measurement->displaySettings();
        s.mapping = static_cast<core::DisplayMapping>(mapping->currentIndex());
        s.gamma = gamma->value();
        s.lowPercent = clip->value();
        s.highPercent = 100.0 - clip->value();
        s.low = s.high = 0.0;  // the clipped range of the values
        gamma->setEnabled(s.mapping == core::DisplayMapping::Gamma);
        measurement->setDisplaySettings(s);
    };
    showSettings();
    connect(mapping, &QComboBox::currentIndexChanged, measurement, apply);
    connect(gamma, &QDoubleSpinBox::valueChanged, measurement, apply);
    connect(clip, &QDoubleSpinBox::valueChanged, measurement, apply);
    connect(measurement, &measure::ImageMeasurement::viewChanged, mapping, showSettings);

    auto* pointer = new QLabel;
    pointer->setObjectName(QStringLiteral("pointerStatus"));
    m_pointer = pointer;
    connect(measurement, &measure::ImageMeasurement::pointerStatusChanged, pointer, &QLabel::setText);
    connect(measurement, &measure::ImageMeasurement::viewChanged, pointer, [measurement, pointer] {
        if (!measurement->picture().isNull())
            pointer->setText(tr("缩放 %1%")
                                 .arg(QString::number(measurement->zoomFactor() * 100.0, 'f', 0)));
    });
}

}  // namespace saed::app
