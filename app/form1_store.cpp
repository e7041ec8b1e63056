// How the main window's store and report controls reach their operations: the parameter-set menu
// on the image-measurement panel, the export entry of the result table's menu and the library
// screening button.
#include "app/form1.h"

#include <QAction>
#include <QCoreApplication>  // for translate
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>

#include "model/mainmodel.h"
#include "indexing/indexingoperations.h"
#include "store/parameterstore.h"
#include "analysis/screening.h"
#include "store/reports.h"

namespace saed::app {

void Form1::connectStore() {
    const store::ParameterStore parameterStore(store::ParameterStore::defaultPath());

    auto* pop3 = new QMenu(this);
    pop3->setObjectName(QStringLiteral("pop3"));
    auto* pop30 = pop3->addAction(QCoreApplication::translate("saed::app::Form1", "保存计算参数"));
    pop30->setObjectName(QStringLiteral("pop30"));
    std::array<QAction*, 4> imports{};
    for (int k = 1; k <= 4; ++k) {
        QAction* entry =
            pop3->addAction(QCoreApplication::translate("saed::app::Form1", "导入%1").arg(k));
        entry->setObjectName(QStringLiteral("pop3%1").arg(k));
        imports[static_cast<std::size_t>(k - 1)] = entry;
        connect(entry, &QAction::triggered, this,
                [this, parameterStore, k] { parameterStore.importSlot(m_model, m_prompts, k); });
    }
    // The captions follow the store each time the menu opens.
    connect(pop3, &QMenu::aboutToShow, this, [parameterStore, imports] {
        const QStringList captions = parameterStore.menuCaptions();
        for (std::size_t i = 0; i < imports.size(); ++i) imports[i]->setText(captions[static_cast<qsizetype>(i)]);
    });
    connect(pop30, &QAction::triggered, this, [this, parameterStore] { parameterStore.save(m_model, m_prompts); });
    connect(m_frame3, &QWidget::customContextMenuRequested, this,
            [this, pop3](const QPoint& pos) { pop3->popup(m_frame3->mapToGlobal(pos)); });

    connect(m_daochujieguo3, &QAction::triggered, this,
            [this] { store::exportResultReport(m_model, m_prompts, store::defaultReportTarget()); });

    // The screening runs the same indexing run as 标定计算, once per ticked phase.
    connect(m_command13, &QPushButton::clicked, this, [this] { screenTickedPhases(); });
    // The screening blocks the window: show the busy caption before it starts.
    connect(&m_model, &MainModel::captionChanged, this, [this](Caption which) {
        if (which == Caption::Command13) m_command13->repaint();
    });
}

}  // namespace saed::app
