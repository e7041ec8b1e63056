// SPDX-License-Identifier: BSD-3-Clause
#include "app/calibrationselector.h"

#include <QFocusEvent>
#include <QSignalBlocker>

#include "store/calibrationstore.h"

namespace saed::app {

namespace {

measure::ChosenCalibration chosenFrom(const store::SavedCalibration& saved) {
    measure::ChosenCalibration c;
    c.name = QString::fromStdString(saved.name);
    c.perPixel = saved.perPixel;
    c.perPixelSigma = saved.perPixelSigma;
    c.distortion = saved.distortion;
    return c;
}

// The item of a saved calibration: its name, with the setting it was measured at.
QString entryText(const store::SavedCalibration& c) {
    QStringList setting;
    if (c.voltageKv > 0) setting << QStringLiteral("%1 kV").arg(c.voltageKv);
    if (c.cameraLengthMm > 0) setting << QStringLiteral("%1 mm").arg(c.cameraLengthMm);
    if (c.binning > 1) setting << QStringLiteral("bin %1").arg(c.binning);
    const QString name = QString::fromStdString(c.name);
    return setting.isEmpty() ? name : name + QStringLiteral("（") + setting.join(QStringLiteral("，")) + QStringLiteral("）");
}

}  // namespace

CalibrationSelector::CalibrationSelector(QString storePath, model::Prompts& prompts, QWidget* parent)
    : QComboBox(parent), m_storePath(std::move(storePath)), m_prompts(prompts) {
    setObjectName(QStringLiteral("calibrationSelector"));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    refresh();
    connect(this, &QComboBox::activated, this, &CalibrationSelector::choose);
}

void CalibrationSelector::refresh() {
    m_filling = true;
    const QSignalBlocker block(this);
    clear();
    addItem(tr("无"));
    QString error;
    const auto saved = store::CalibrationStore(m_storePath).list(&error);
    QString tip = tr("保存的标定（saedindex-cli calibrate --save 或环形花样中的“由标样标定”）：\n"
                     "它的相机常数给出标尺，它的椭圆畸变从测得的矢量中去除");
    if (!saved) tip += QStringLiteral("\n") + tr("标定库无法读取：%1").arg(error);
    setToolTip(tip);
    int current = 0;
    if (saved)
        for (const store::SavedCalibration& c : *saved) {
            addItem(entryText(c), QString::fromStdString(c.name));
            if (m_chosen && m_chosen->name == QString::fromStdString(c.name)) current = count() - 1;
        }
    if (m_chosen && current == 0) {
        // Chosen earlier and removed from the store since: it stays chosen for this session.
        addItem(m_chosen->name, m_chosen->name);
        current = count() - 1;
    }
    setCurrentIndex(current);
    m_filling = false;
}

void CalibrationSelector::showChosen(const std::optional<QString>& name) {
    const QSignalBlocker block(this);
    const int at = name ? findData(*name) : 0;
    setCurrentIndex(at < 0 ? 0 : at);
}

void CalibrationSelector::showPopup() {
    refresh();
    QComboBox::showPopup();
}

void CalibrationSelector::focusInEvent(QFocusEvent* event) {
    // Keys choose without opening the list: the list is read again when the selector is entered
    // from the keyboard (not when its own list closes).
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        refresh();
    QComboBox::focusInEvent(event);
}

void CalibrationSelector::choose(int index) {
    if (m_filling) return;
    std::optional<measure::ChosenCalibration> chosen;
    if (index > 0) {
        const QString name = itemData(index).toString();
        QString error;
        const auto saved = store::CalibrationStore(m_storePath).find(name, &error);
        if (saved) {
            chosen = chosenFrom(*saved);
        } else if (m_chosen && m_chosen->name == name) {
            chosen = m_chosen;
        } else {
            m_prompts.warn(tr("无法使用标定“%1”：%2").arg(name, error), QString());
            showChosen(m_chosen ? std::optional<QString>(m_chosen->name) : std::nullopt);
            return;
        }
    }
    m_chosen = chosen;
    emit calibrationChosen(chosen);
}

}  // namespace saed::app
