// SPDX-License-Identifier: BSD-3-Clause
#include "app/panelwidgets.h"

#include <QCoreApplication>  // for translate
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressDialog>

#include "model/mainmodel.h"

namespace saed::app {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

QLabel* makeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

QLineEdit* makeBoundField(model::MainModel& model, model::Field first, int offset) {
    const int n = model::fieldNumber(first, offset);
    auto* field = new QLineEdit(model.Text1(n));
    field->setObjectName(QStringLiteral("Text1_%1").arg(n));
    field->setMinimumWidth(48);
    QObject::connect(field, &QLineEdit::textEdited, &model,
                     [&model, n](const QString& text) { model.setText1(n, text); });
    QObject::connect(&model, &model::MainModel::text1Changed, field, [&model, field, n](int changed) {
        if (changed != n || field->text() == model.Text1(n)) return;
        field->setText(model.Text1(n));
        // A value written by an operation shows from its first digit, not scrolled to its end.
        if (!field->hasFocus()) field->setCursorPosition(0);
    });
    QObject::connect(&model, &model::MainModel::focusRequested, field, [field, n](int wanted) {
        if (wanted != n) return;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    });
    return field;
}

QProgressDialog* makeProgressDialog(QWidget* parent, const QString& label, const QString& title,
                                    const QString& name) {
    auto* progress = new QProgressDialog(
        label, QCoreApplication::translate("saed::app::PanelWidgets", "取消"), 0, 100, parent);
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
