// SPDX-License-Identifier: BSD-3-Clause
#include "app/panelwidgets.h"

#include <QCoreApplication>  // for translate
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QRegularExpression>

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

QString shownFieldText(const QString& text, int decimals) {
    static const QRegularExpression plainDecimal(QStringLiteral("^\\s*([+-]?)(\\d*)\\.(\\d+)\\s*$"));
    const QRegularExpressionMatch m = plainDecimal.match(text);
    if (!m.hasMatch() || m.capturedLength(3) <= decimals) return text;
    // Rounded half away from zero on the decimal digits as written, not on their binary value,
    // so that 0.125 shows 0.13.
    const QString fraction = m.captured(3);
    QString digits = (m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2)) + fraction.left(decimals);
    if (fraction.at(decimals) >= u'5') {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits.at(i) == u'9'; --i) digits[i] = u'0';
        if (i < 0)
            digits.prepend(u'1');
        else
            digits[i] = QChar(digits.at(i).unicode() + 1);
    }
    const qsizetype whole = digits.size() - decimals;
    QString shown = digits.left(whole);
    if (decimals > 0) shown += u'.' + digits.mid(whole);
    const bool zero = !shown.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return (m.captured(1) == QStringLiteral("-") && !zero ? QStringLiteral("-") : QString()) + shown;
}

QLineEdit* makeBoundField(model::MainModel& model, model::Field first, int offset, int shownDecimals) {
    const int n = model::fieldNumber(first, offset);
    const auto shown = [&model, n, shownDecimals] {
        return shownDecimals < 0 ? model.Text1(n) : shownFieldText(model.Text1(n), shownDecimals);
    };
    auto* field = new QLineEdit(shown());
    field->setObjectName(QStringLiteral("Text1_%1").arg(n));
    field->setMinimumWidth(48);
    if (shownDecimals >= 0) field->setToolTip(model.Text1(n));
    QObject::connect(field, &QLineEdit::textEdited, &model,
                     [&model, n](const QString& text) { model.setText1(n, text); });
    QObject::connect(&model, &model::MainModel::text1Changed, field, [&model, field, n, shown, shownDecimals](int changed) {
        if (changed != n) return;
        if (shownDecimals >= 0) field->setToolTip(model.Text1(n));
        // What the user typed is the value itself: it stays as typed.
        if (field->text() == model.Text1(n) || field->text() == shown()) return;
        field->setText(shown());
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
