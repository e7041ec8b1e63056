// The two secondary windows of image measurement: created on demand, closed by unloading them.
#include "app/measurewindows.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/form2.h"
#include "app/form3.h"
#include "measure/imagemeasurement.h"

namespace saed::measure {

MeasureWindows::MeasureWindows(ImageMeasurement& measurement, QWidget* mainWindow)
    : QObject(mainWindow), m_measurement(measurement), m_mainWindow(mainWindow) {
    connect(&m_measurement, &ImageMeasurement::magnifierRequested, this, &MeasureWindows::showMagnifier);
    connect(&m_measurement, &ImageMeasurement::measureDialogRequested, this, &MeasureWindows::showMeasureDialog);
}

MeasureWindows::~MeasureWindows() {
    delete m_form3;
    delete m_form2;
}

Form2* MeasureWindows::measureDialog() const { return m_form2.data(); }

Form3* MeasureWindows::magnifier() const { return m_form3.data(); }

void MeasureWindows::showMagnifier() {
    if (!m_form3) {
        m_form3 = new Form3(m_mainWindow);
        // Beside the main window's top right corner; when there is no room there, in the screen's
        // bottom right corner, clear of the toolbar's buttons.
        const QRect frame = m_mainWindow->frameGeometry();
        QScreen* screen = m_mainWindow->screen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
        const QSize size = m_form3->frameGeometry().size();
        QPoint at(frame.right() + 8, frame.top());
        if (!area.isEmpty() && at.x() + size.width() > area.right())
            at = QPoint(area.right() - size.width() - 16, area.bottom() - size.height() - 40);
        m_form3->move(at);
    }
    if (!m_form3->isVisible()) m_form3->show();
}

void MeasureWindows::hideMagnifier() {
    if (m_form3 && m_form3->isVisible()) m_form3->hide();
}

void MeasureWindows::unloadMagnifier() {
    if (!m_form3) return;
    m_form3->hide();
    delete m_form3;
}

void MeasureWindows::showMeasureDialog() {
    if (!m_form2) {
        m_form2 = new Form2(m_measurement, m_mainWindow);
        const QRect frame = m_mainWindow->frameGeometry();
        m_form2->move(frame.center() - QPoint(m_form2->width() / 2, m_form2->height() / 2));
    }
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void MeasureWindows::closeMeasureDialog() {
    if (!m_form2) return;
    m_form2->hide();
    delete m_form2;
}

void MeasureWindows::closeAll() {
    unloadMagnifier();
    closeMeasureDialog();
}

}  // namespace saed::measure
