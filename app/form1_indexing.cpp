// How the main window's indexing controls reach their operations.
#include "app/form1.h"

#include <QCoreApplication>  // for translate
#include <QHeaderView>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTableView>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "indexing/indexingoperations.h"
#include "indexing/tolerancescale.h"

namespace saed::app {

void Form1::connectIndexing() {
    auto* operations = new indexing::IndexingOperations(m_model, m_prompts, this);
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
        makeProgressDialog(QCoreApplication::translate("saed::app::Form1", "正在标定计算……"),
                           QCoreApplication::translate("saed::app::Form1", "标定计算"), QStringLiteral("RunProgress"));
    connect(operations, &indexing::IndexingOperations::runStarted, progress, [progress] { progress->setValue(0); });
    connect(operations, &indexing::IndexingOperations::runProgress, progress, &QProgressDialog::setValue);
    connect(operations, &indexing::IndexingOperations::runFinished, progress, [progress] {
        progress->reset();
        progress->hide();
    });
    connect(progress, &QProgressDialog::canceled, operations, &indexing::IndexingOperations::cancelRun);
    connect(operations, &indexing::IndexingOperations::runStarted, this, [this] { m_command13->setEnabled(false); });
    connect(operations, &indexing::IndexingOperations::runFinished, this, [this] { m_command13->setEnabled(true); });
    // The run blocks the window: show the busy caption before it starts.
    connect(&m_model, &MainModel::captionChanged, this, [this](Caption which) {
        if (which == Caption::Command6) m_command6->repaint();
    });

    connect(m_listView1->horizontalHeader(), &QHeaderView::sectionClicked, m_model.resultTable(),
            &ResultTableModel::headerClicked);
    connect(m_listView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("b"));
        menu.setToolTipsVisible(true);  // the export entries say what their files hold
        menu.addAction(m_jisuandaizhou2);
        menu.addAction(m_daochujieguo3);
        menu.addAction(m_exportCsv);
        menu.addAction(m_exportJson);
        menu.exec(m_listView1->viewport()->mapToGlobal(position));
    });

    // Positions set from the fields are shown with the slider's signals blocked, so
    // valueChanged is always a move by the user.
    for (int k = 1; k <= MainModel::kSliderCount; ++k) {
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
}

QProgressDialog* Form1::makeProgressDialog(const QString& label, const QString& title, const QString& name) {
    auto* progress =
        new QProgressDialog(label, QCoreApplication::translate("saed::app::Form1", "取消"), 0, 100, this);
    progress->setObjectName(name);
    progress->setWindowTitle(title);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(400);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->reset();
    progress->hide();
    return progress;
}

}  // namespace saed::app
