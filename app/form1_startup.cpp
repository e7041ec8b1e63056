// Start-up of the main window, and the question asked before it closes.
#include "app/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>  // for translate
#include <QDialog>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/texts.h"
#include "measure/imagemeasurement.h"

namespace saed::app {

void Form1::startUp() {
    // A library text that stops the tree leaves the panel as it is; the selector is still
    // filled, so that indexing does not depend on the library.
    buildLibraryTree();
    m_model.setCombo1Items(model::latticeTypeNames());
    m_model.setCombo1(0);
    // The image starts in move mode with no measurement line shown.
    m_measurement->startUp();
}

// Every close of the main window asks first; Cancel changes nothing. On OK the magnifier and
// the Measure dialog close before this window.
void Form1::closeEvent(QCloseEvent* event) {
    if (!m_prompts.confirm(
            QCoreApplication::translate("saed::app::Form1", "                你真的要退出吗? "),
            QCoreApplication::translate("saed::app::Form1", "提示"))) {
        event->ignore();
        return;
    }
    emit secondaryWindowsCloseRequested();
    if (m_rankingWindow != nullptr) m_rankingWindow->close();
    event->accept();
}

}  // namespace saed::app
