// SPDX-License-Identifier: BSD-3-Clause
// The two secondary windows of image measurement: created on demand, closed by unloading them.
#include "app/measurewindows.h"

#include <algorithm>  // for clamp, min, max

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/form2.h"
#include "app/form3.h"
#include "measure/imagemeasurement.h"
#include "measure/viewport.h"

namespace saed::app {

QPoint measureDialogPlace(const QRect& image, QSize dialog, const QRect& available) {
    const auto clampInto = [&](QPoint p) {
        const int right = std::max(available.left(), available.right() + 1 - dialog.width());
        const int bottom = std::max(available.top(), available.bottom() + 1 - dialog.height());
        return QPoint(std::clamp(p.x(), available.left(), right), std::clamp(p.y(), available.top(), bottom));
    };
    const int gap = 8;
    const QPoint candidates[] = {
        {image.right() + 1 + gap, image.top()},
        {image.left() - gap - dialog.width(), image.top()},
        {image.left(), image.bottom() + 1 + gap},
        {image.left(), image.top() - gap - dialog.height()},
        available.topRight() - QPoint(dialog.width() - 1, 0),
        available.bottomRight() - QPoint(dialog.width() - 1, dialog.height() - 1),
        available.bottomLeft() - QPoint(0, dialog.height() - 1),
        available.topLeft(),
    };
    QPoint best = clampInto(candidates[0]);
    long long bestCover = -1;
    for (const QPoint& wanted : candidates) {
        const QPoint at = clampInto(wanted);
        const QRect covered = QRect(at, dialog).intersected(image);
        const long long cover = covered.isEmpty() ? 0 : static_cast<long long>(covered.width()) * covered.height();
        if (bestCover < 0 || cover < bestCover) {
            best = at;
            bestCover = cover;
        }
    }
    return best;
}

MeasureWindows::MeasureWindows(measure::ImageMeasurement& measurement, QWidget* mainWindow)
    : QObject(mainWindow), m_measurement(measurement), m_mainWindow(mainWindow) {
    connect(&m_measurement, &measure::ImageMeasurement::magnifierRequested, this, &MeasureWindows::showMagnifier);
    connect(&m_measurement, &measure::ImageMeasurement::measureDialogRequested, this, &MeasureWindows::showMeasureDialog);
    connect(&m_measurement, &measure::ImageMeasurement::measureDialogCloseRequested, this, &MeasureWindows::closeMeasureDialog);
}

QRect MeasureWindows::visiblePicture() const {
    // The image view is the main window's child named Image2; the picture is clipped to it.
    auto* view = m_mainWindow->findChild<QWidget*>(QStringLiteral("Image2"));
    if (view == nullptr || m_measurement.picture().isNull()) return m_mainWindow->frameGeometry();
    const measure::ImageRect& r = m_measurement.viewport().rect();
    const QRect shown(qRound(r.left / measure::kTwipsPerPixel), qRound(r.top / measure::kTwipsPerPixel), qRound(r.width / measure::kTwipsPerPixel),
                      qRound(r.height / measure::kTwipsPerPixel));
    const QRect visible = shown.intersected(view->rect());
    if (visible.isEmpty()) return QRect(view->mapToGlobal(QPoint(0, 0)), view->size());
    return QRect(view->mapToGlobal(visible.topLeft()), visible.size());
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

bool MeasureWindows::eventFilter(QObject* watched, QEvent* event) {
    // Only moves that come from outside the program (the user dragging the frame) count.
    // The filter also sees the dialog's last events while it is being destroyed, when it is no
    // longer a Form2: test the event first and the object's type before touching it.
    if (event->type() != QEvent::Move || !event->spontaneous()) return false;
    auto* dialog = qobject_cast<Form2*>(watched);
    if (dialog != nullptr && dialog == m_form2.get() && dialog->isVisible()) m_userPlace = dialog->pos();
    return false;
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
        if (m_userPlace) {
            m_placedAt = *m_userPlace;
        } else {
            QScreen* screen = m_mainWindow->screen();
            const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
            m_placedAt = measureDialogPlace(visiblePicture(), m_form2->frameGeometry().size(), area);
        }
        m_form2->move(m_placedAt);
        // The place the user drags the dialog to is where it opens next time.
        m_form2->installEventFilter(this);
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

}  // namespace saed::app
