// Start-up of the main window.
#include "app/form1.h"

#include <QCloseEvent>

#include "app/mainmodel.h"
#include "app/texts.h"
#include "measure/imagemeasurement.h"

namespace saed::app {

void Form1::startUp() {
    m_model.setCombo1Items(latticeTypeNames());
    m_model.setCombo1(0);
    // The image starts in move mode with no measurement line shown.
    if (auto* measurement = findChild<measure::ImageMeasurement*>()) measurement->startUp();
}

void Form1::closeEvent(QCloseEvent* event) {
    emit secondaryWindowsCloseRequested();
    event->accept();
}

}  // namespace saed::app
