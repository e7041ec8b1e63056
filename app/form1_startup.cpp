// Start-up of the main window.
#include "app/form1.h"

#include <QCloseEvent>

#include "app/mainmodel.h"
#include "app/texts.h"

namespace saed::app {

void Form1::startUp() {
    m_model.setCombo1Items(latticeTypeNames());
    m_model.setCombo1(0);
}

void Form1::closeEvent(QCloseEvent* event) {
    emit secondaryWindowsCloseRequested();
    event->accept();
}

}  // namespace saed::app
