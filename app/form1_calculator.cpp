// How the main window's calculator controls reach their operations.
#include "app/form1.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "model/mainmodel.h"
#include "calculator/calculatoroperations.h"

namespace saed::app {

void Form1::connectCalculator() {
    connect(m_command5, &QPushButton::clicked, this,
            [this] { calculator::calculate(m_model, m_prompts); });
    connect(m_command15, &QPushButton::clicked, this,
            [this] { calculator::clearCalculator(m_model); });
    connect(m_jisuandaizhou2, &QAction::triggered, this, [this] {
        const QModelIndexList selected = m_listView1->selectionModel()->selectedRows();
        const int row = selected.isEmpty() ? -1 : selected.first().row();
        calculator::calculateFromResultRow(m_model, m_prompts, row);
    });
    // The outputs show their beginning: an angle has up to 15 digits.
    for (int i = 0; i < 3; ++i)
        text1(model::Field::CalcAngle12, i)->setMinimumWidth(
            fontMetrics().horizontalAdvance(QStringLiteral("000.0000000000000")) + 12);
}

}  // namespace saed::app
