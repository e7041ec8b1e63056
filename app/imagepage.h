// SPDX-License-Identifier: BSD-3-Clause
// The image page ("斑点测量"): the diffraction image with its measurement lines, the toolbar
// (open, zoom, measure, spots, centre, display of the values) and the overlay of a row's
// simulated spots; it owns the image measurement and its secondary windows.
#pragma once

#include <vector>

#include <QPointF>
#include <QStringList>
#include <QWidget>

#include "model/prompts.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class IdentifyPanel;
class ImageView;
class MeasureWindows;
class RingsView;

class ImagePage : public QWidget {
    Q_OBJECT

public:
    // `mainWindow` is the window the measure dialog and the magnifier belong to.
    ImagePage(model::MainModel& model, model::Prompts& prompts, QWidget* mainWindow, QWidget* parent = nullptr);

    measure::ImageMeasurement* imageMeasurement() const { return m_measurement; }
    ImageView* imageView() const { return m_imageView; }
    MeasureWindows* measureWindows() const { return m_windows; }
    QCheckBox* overlaySwitch() const { return m_overlaySwitch; }
    // "识别物相" with its candidate list below the image.
    IdentifyPanel* identifyPanel() const { return m_identify; }
    // The pointer's place and the zoom, for the window's status bar.
    QLabel* pointerStatus() const { return m_pointer; }
    // Clicks on the main window's background and moves over its tabs close the measure dialog
    // or hide the magnifier.
    void watchWindow(QWidget* mainWindow, QTabWidget* tabs);
    // Draws these spots (image pixels) with their labels over the image; none clears it.
    void setOverlay(const std::vector<QPointF>& points, const QStringList& labels);
    // "环形花样…": the rings view of the open image (made on first use).
    RingsView* ringsView();

signals:
    // The overlay switch was turned.
    void overlayShownChanged(bool shown);

private:
    void addImageTools(QWidget* toolbar);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    QWidget* m_mainWindow = nullptr;
    RingsView* m_rings = nullptr;
    measure::ImageMeasurement* m_measurement = nullptr;
    ImageView* m_imageView = nullptr;
    MeasureWindows* m_windows = nullptr;
    QCheckBox* m_overlaySwitch = nullptr;
    IdentifyPanel* m_identify = nullptr;
    QLabel* m_pointer = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command7 = nullptr;
    QPushButton* m_command9 = nullptr;
};

}  // namespace saed::app
