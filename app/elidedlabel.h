// SPDX-License-Identifier: BSD-3-Clause
// A one-line label for computed texts: a long text is cut with "…" to the room the layout
// gives it, never widening the window, and shown whole in the tooltip (wrapped to the screen).
#pragma once

#include <QLabel>

namespace saed::app {

class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    // `maxHintWidth`: the most room (px) the label asks the layout for, however long its text.
    explicit ElidedLabel(const QString& text, int maxHintWidth = 480, QWidget* parent = nullptr);

    // Sets the whole text; what is shown is cut to the label's width.
    void setFullText(const QString& text);
    QString fullText() const { return m_fullText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitted();

    QString m_fullText;
    int m_maxHintWidth;
};

}  // namespace saed::app
