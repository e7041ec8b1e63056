// How the main window's measure controls and window-level events reach image measurement.
#include "app/form1.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>  // for translate
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include <memory>  // for make_shared

#include "core/imagedisplay.h"
#include "measure/imagemeasurement.h"
#include "app/imageview.h"
#include "app/measurewindows.h"

namespace saed::app {

namespace {

// Window-level events that close the Measure dialog or hide the magnifier.
class MeasureEventFilter : public QObject {
public:
    MeasureEventFilter(QWidget* mainWindow, QTabWidget* tabs, measure::MeasureWindows* windows)
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
    measure::MeasureWindows* m_windows;
};

}  // namespace

void Form1::connectMeasure() {
    auto* measurement = new measure::ImageMeasurement(m_model, m_prompts, this);
    measurement->setObjectName(QStringLiteral("ImageMeasurement"));
    m_measurement = measurement;
    measurement->setOuterSizeSource([this] { return frameGeometry().size(); });

    auto* view = new measure::ImageView(*measurement, m_frame6);
    m_imageView = view;
    m_frame6->layout()->addWidget(view);

    auto* windows = new measure::MeasureWindows(*measurement, this);
    windows->setObjectName(QStringLiteral("MeasureWindows"));

    connect(m_command2, &QPushButton::clicked, measurement, &measure::ImageMeasurement::Open);
    connect(m_command3, &QPushButton::clicked, measurement, &measure::ImageMeasurement::zoomIn);
    connect(m_command7, &QPushButton::clicked, measurement, &measure::ImageMeasurement::zoomOut);
    connect(m_command8, &QPushButton::clicked, measurement, &measure::ImageMeasurement::restore);
    connect(m_command9, &QPushButton::clicked, measurement, &measure::ImageMeasurement::toggleMode);
    connect(m_command14, &QPushButton::clicked, measurement, &measure::ImageMeasurement::Clear);

    connect(this, &Form1::magnifierCloseRequested, windows, &measure::MeasureWindows::unloadMagnifier);
    connect(this, &Form1::measureDialogCloseRequested, windows, &measure::MeasureWindows::closeMeasureDialog);
    connect(this, &Form1::secondaryWindowsCloseRequested, windows, &measure::MeasureWindows::closeAll);
    connect(m_tabs, &QTabWidget::currentChanged, windows, &measure::MeasureWindows::closeMeasureDialog);
    connect(view, &measure::ImageView::dropped, windows, &measure::MeasureWindows::closeMeasureDialog);

    connectImageTools(measurement);

    auto* filter = new MeasureEventFilter(this, m_tabs, windows);
    installEventFilter(filter);
    m_tabs->setMouseTracking(true);
    m_tabs->installEventFilter(filter);
    m_tabs->tabBar()->setMouseTracking(true);
    m_tabs->tabBar()->installEventFilter(filter);
}

void Form1::connectImageTools(measure::ImageMeasurement* measurement) {
    // Spot tools and the display of the values, below the six toolbar buttons.
    auto* tools = qobject_cast<QBoxLayout*>(m_frame5->layout());
    int at = tools->count() - 1;  // before the closing stretch
    const auto add = [&](QWidget* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        tools->insertWidget(at++, widget);
    };
    auto* snap = new QCheckBox(QCoreApplication::translate("saed::app::Form1", "吸附斑点"));
    snap->setChecked(measurement->snapping());
    snap->setToolTip(QCoreApplication::translate("saed::app::Form1",
                                                 "松开鼠标时，线端移到附近斑点的亚像素中心"));
    add(snap, "snapSpots");
    auto* centre = new QPushButton(QCoreApplication::translate("saed::app::Form1", "找中心"));
    centre->setToolTip(QCoreApplication::translate(
        "saed::app::Form1", "由对称斑点对找出透射斑中心；之后点击斑点即从中心画线"));
    add(centre, "findCentre");
    auto* autoSpots =
        new QPushButton(QCoreApplication::translate("saed::app::Form1", "自动找斑点"));
    autoSpots->setToolTip(
        QCoreApplication::translate("saed::app::Form1", "找出斑点，选出 R1、R2、R3 并填入测量值"));
    add(autoSpots, "autoSpots");

    add(new QLabel(QCoreApplication::translate("saed::app::Form1", "显示")), "displayLabel");
    auto* mapping = new QComboBox;
    mapping->addItems({QCoreApplication::translate("saed::app::Form1", "线性"),
                       QCoreApplication::translate("saed::app::Form1", "对数"),
                       QCoreApplication::translate("saed::app::Form1", "伽马")});
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
    clip->setPrefix(QCoreApplication::translate("saed::app::Form1", "裁剪 "));
    clip->setSuffix(QStringLiteral(" %"));
    clip->setToolTip(QCoreApplication::translate(
        "saed::app::Form1", "两端各裁去的像素比例：更暗的成黑色，更亮的成白色"));
    add(clip, "displayClip");

    connect(snap, &QCheckBox::toggled, measurement, &measure::ImageMeasurement::setSnapping);
    connect(centre, &QPushButton::clicked, measurement, &measure::ImageMeasurement::findCentre);
    connect(autoSpots, &QPushButton::clicked, measurement, &measure::ImageMeasurement::autoSpots);

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
    statusBar()->addPermanentWidget(pointer);
    connect(measurement, &measure::ImageMeasurement::pointerStatusChanged, pointer, &QLabel::setText);
    connect(measurement, &measure::ImageMeasurement::viewChanged, pointer, [measurement, pointer] {
        if (!measurement->picture().isNull())
            pointer->setText(QCoreApplication::translate("saed::app::Form1", "缩放 %1%")
                                 .arg(QString::number(measurement->zoomFactor() * 100.0, 'f', 0)));
    });
}

}  // namespace saed::app
