// How the main window's measure controls and window-level events reach image measurement.
#include "app/form1.h"

#include <QEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

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

    auto* filter = new MeasureEventFilter(this, m_tabs, windows);
    installEventFilter(filter);
    m_tabs->setMouseTracking(true);
    m_tabs->installEventFilter(filter);
    m_tabs->tabBar()->setMouseTracking(true);
    m_tabs->tabBar()->installEventFilter(filter);
}

}  // namespace saed::app
