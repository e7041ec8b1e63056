// SPDX-License-Identifier: BSD-3-Clause
// Small pieces the main window's panels share: a label that reports clicks, a plain label, a
// line edit bound to one field of the working data, and the progress dialog of a long task.
#pragma once

#include <QLabel>
#include <QString>

#include "model/fields.h"

class QLineEdit;
class QProgressDialog;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::app {

// A label that reports clicks (the library switch, the custom-phase switch, the counter).
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A label whose text cannot be selected or clicked into.
QLabel* makeLabel(const QString& text, QWidget* parent = nullptr);

// The text a field shows for a value written by an operation: a plain decimal number with more
// than `decimals` places rounded to `decimals`, anything else (an exponent, a word) unchanged.
QString shownFieldText(const QString& text, int decimals);

// The line edit of field `first` + `offset` (R1, R2, R3 or planes 1 to 3 in a row), named
// "Text1_n" and bound both ways: what the user types goes to the model, what the model changes
// shows here (from its first digit when the field has no focus), and the model's request for
// the field's focus selects its text. With `shownDecimals` of 0 or more, a value an operation
// writes shows rounded to that many places (shownFieldText) with the whole value in the
// tooltip; the model, and so the run and the stored sets, keep the whole value, and what the
// user types stays as typed.
QLineEdit* makeBoundField(model::MainModel& model, model::Field first, int offset = 0, int shownDecimals = -1);

// A window-modal progress dialog over `parent` with a cancel button (Esc too), hidden until a
// long task has run for 400 ms.
QProgressDialog* makeProgressDialog(QWidget* parent, const QString& label, const QString& title,
                                    const QString& name);

}  // namespace saed::app
