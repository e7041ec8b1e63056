// SPDX-License-Identifier: BSD-3-Clause
#include "app/runpanel.h"

#include <QAbstractSlider>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "app/elidedlabel.h"
#include "app/panelwidgets.h"
#include "indexing/indexingoperations.h"
#include "indexing/tolerancescale.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::app {

using model::Caption;
using model::Field;

RunPanel::RunPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_model(model) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* frame11 = new QGroupBox;
    frame11->setObjectName(QStringLiteral("Frame11"));
    auto* grid = new QGridLayout(frame11);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->addWidget(makeLabel(tr("调节误差")), 0, 0);
    grid->addWidget(makeLabel(tr("比对误差")), 1, 0);
    const Field fields[6] = {Field::TolD1, Field::TolD2, Field::TolD3, Field::TolAngle12, Field::TolAngle23,
                             Field::TolAngle13};
    for (int k = 1; k <= 6; ++k) {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QStringLiteral("Slider%1").arg(k));
        slider->setRange(0, 100);
        slider->setSingleStep(1);
        slider->setPageStep(5);
        slider->setTickPosition(QSlider::NoTicks);
        slider->setValue(m_model.slider(k));
        slider->setMinimumWidth(56);
        m_sliders[static_cast<std::size_t>(k - 1)] = slider;
        grid->addWidget(slider, 0, 2 * k - 1, 1, 2);
        QLineEdit* tolerance = makeBoundField(m_model, fields[k - 1]);
        tolerance->setMaximumWidth(64);
        tolerance->setMinimumWidth(40);
        grid->addWidget(tolerance, 1, 2 * k - 1);
        grid->addWidget(makeLabel(k <= 3 ? QStringLiteral("nm") : QStringLiteral("deg.")), 1, 2 * k);
    }
    grid->addWidget(makeLabel(model::label7Text()), 2, 1, 1, 12);  // Label7
    grid->addWidget(makeLabel(tr("图片计算")), 3, 0);             // Label1(54)
    m_label5 = new ElidedLabel(QString(), 560);
    m_label5->setObjectName(QStringLiteral("Label5"));
    grid->addWidget(m_label5, 3, 1, 1, 12);
    // Narrow margins: with them every control fits a 1024 x 768 screen.
    grid->setContentsMargins(6, 4, 6, 4);
    column->addWidget(frame11);

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(makeLabel(tr("从数据库中筛选如下")));  // Label11
    m_label22 = new ClickableLabel;
    m_label22->setObjectName(QStringLiteral("Label22"));
    m_label22->setCursor(Qt::PointingHandCursor);
    m_label22->setToolTip(tr("单击恢复默认误差"));
    countRow->addWidget(m_label22);
    countRow->addStretch(1);
    column->addLayout(countRow);

    m_command6 = new QPushButton;
    m_command6->setObjectName(QStringLiteral("Command6"));
    m_command6->setMinimumHeight(28);

    auto* operations = new indexing::IndexingOperations(m_model, prompts, this);
    operations->setObjectName(QStringLiteral("IndexingOperations"));
    operations->setKeepLastRows(false);
    m_indexing = operations;
    connect(m_command6, &QPushButton::clicked, this, [this, operations] {
        emit magnifierCloseRequested();
        operations->startRunFromButton();
    });

    // The search runs on a worker; a long one shows its progress with a cancel button (Esc
    // cancels too), and the window keeps repainting.
    QProgressDialog* progress =
        makeProgressDialog(this, tr("正在标定计算……"), tr("标定计算"), QStringLiteral("RunProgress"));
    connect(operations, &indexing::IndexingOperations::runStarted, progress, [progress] { progress->setValue(0); });
    connect(operations, &indexing::IndexingOperations::runProgress, progress, &QProgressDialog::setValue);
    connect(operations, &indexing::IndexingOperations::runFinished, progress, [progress] {
        progress->reset();
        progress->hide();
    });
    connect(progress, &QProgressDialog::canceled, operations, &indexing::IndexingOperations::cancelRun);

    // Positions set from the fields are shown with the slider's signals blocked, so
    // valueChanged is always a move by the user.
    connect(&m_model, &model::MainModel::sliderChanged, this, [this](int which) {
        QSlider* s = slider(which);
        const QSignalBlocker blocker(s);
        s->setValue(m_model.slider(which));
    });
    for (int k = 1; k <= model::MainModel::kSliderCount; ++k) {
        QSlider* s = slider(k);
        connect(s, &QSlider::valueChanged, operations, [operations, k](int p) { operations->sliderMoved(k, p); });
        // A key, wheel or groove step goes on to a position whose tolerance differs, or the field
        // would set the slider back to where it was; a drag goes where the pointer is.
        connect(s, &QAbstractSlider::actionTriggered, this, [this, s, k](int action) {
            if (action == QAbstractSlider::SliderNoAction || (action == QAbstractSlider::SliderMove && s->isSliderDown()))
                return;
            const double current = m_model.value(indexing::toleranceField(k));
            s->setSliderPosition(indexing::steppedPosition(k, s->value(), s->sliderPosition(), current));
        });
    }
    connect(m_label22, &ClickableLabel::clicked, operations, &indexing::IndexingOperations::resetTolerances);

    connect(&m_model, &model::MainModel::captionChanged, this,
            [this](Caption which) { showCaption(static_cast<int>(which)); });
    for (Caption c : {Caption::Label5, Caption::Label22, Caption::Command6}) showCaption(static_cast<int>(c));
}

void RunPanel::showCaption(int which) {
    const auto c = static_cast<Caption>(which);
    const QString text = model::translatedText(m_model.caption(c));
    switch (c) {
    case Caption::Label5: m_label5->setFullText(text); break;
    case Caption::Label22: m_label22->setText(text); break;
    case Caption::Command6:
        m_command6->setText(text);
        // The run blocks the window: show the busy caption before it starts.
        m_command6->repaint();
        break;
    default: break;
    }
}

}  // namespace saed::app
