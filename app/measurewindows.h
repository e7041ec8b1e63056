// The two secondary windows of image measurement: created on demand, closed by unloading them.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace saed::measure {

class Form2;
class Form3;
class ImageMeasurement;

class MeasureWindows : public QObject {
    Q_OBJECT

public:
    MeasureWindows(ImageMeasurement& measurement, QWidget* mainWindow);
    ~MeasureWindows() override;

    // The loaded windows; null when not loaded.
    Form2* measureDialog() const;
    Form3* magnifier() const;

    // Shows the magnifier, creating it first when it is not loaded.
    void showMagnifier();
    // Hides the magnifier; it stays loaded and its timer keeps running.
    void hideMagnifier();
    // Unloads the magnifier (an indexing run or a screening starts).
    void unloadMagnifier();
    // Shows the Measure dialog, creating it (and running its load step) when it is not loaded.
    void showMeasureDialog();
    // Closes the Measure dialog without writing anything.
    void closeMeasureDialog();
    // Exit: hide and unload the magnifier, then the Measure dialog.
    void closeAll();

private:
    ImageMeasurement& m_measurement;
    QWidget* m_mainWindow;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
};

}  // namespace saed::measure
