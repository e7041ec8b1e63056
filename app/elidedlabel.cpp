// SPDX-License-Identifier: BSD-3-Clause
#include "app/elidedlabel.h"

#include <algorithm>  // for max, min

#include <QFontMetrics>

namespace saed::app {

namespace {

// The tooltip as rich text, which Qt wraps to the screen; a long number may break after each
// thousands separator, and runs of blanks stay as they are.
QString wrappingToolTip(const QString& text) {
    QString html = text.toHtmlEscaped();
    html.replace(QLatin1Char(','), QStringLiteral(",&#8203;"));
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + html + QStringLiteral("</p>");
}

}  // namespace

ElidedLabel::ElidedLabel(const QString& text, int maxHintWidth, QWidget* parent)
    : QLabel(parent), m_maxHintWidth(maxHintWidth) {
    setTextInteractionFlags(Qt::NoTextInteraction);
    setTextFormat(Qt::PlainText);
    setFullText(text);
}

void ElidedLabel::setFullText(const QString& text) {
    m_fullText = text;
    updateGeometry();
    showFitted();
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    const QMargins m = contentsMargins();
    const int width = metrics.horizontalAdvance(m_fullText) + 2 * margin() + m.left() + m.right() + 2;
    return {std::min(width, m_maxHintWidth), QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return {std::min(sizeHint().width(), metrics.horizontalAdvance(QStringLiteral("0…"))),
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitted();
}

void ElidedLabel::showFitted() {
    const int room = std::max(contentsRect().width() - 2 * margin(), 0);
    QLabel::setText(fontMetrics().elidedText(m_fullText, Qt::ElideRight, room));
    setToolTip(QLabel::text() == m_fullText ? QString() : wrappingToolTip(m_fullText));
}

}  // namespace saed::app
