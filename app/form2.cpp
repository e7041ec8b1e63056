// SPDX-License-Identifier: BSD-3-Clause
// The Measure dialog: what the completed line measures, and the value that goes with it.
#include "app/form2.h"

#include <cmath>  // for cos, sin

#include <QButtonGroup>
#include <QCoreApplication>  // for translate
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "measure/viewport.h"

namespace saed::app {

namespace {

constexpr int kPictureWidth = 150;
constexpr int kPictureHeight = 96;

// Choice 0: a scale bar with its reading; choices 1 to 3: a spot pattern with the vector drawn
// from the centre spot to the spot that R1, R2 or R3 reaches (R3 = R1 + R2).
QPixmap illustration(int k) {
    QPixmap pixmap(kPictureWidth, kPictureHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(0, 16, kPictureWidth, kPictureHeight - 16);
    painter.fillRect(plate, QColor(20, 20, 20));
    if (k == 0) {
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(30, 70), QPointF(120, 70));
        painter.setPen(QPen(QColor(255, 60, 60), 1.5));
        painter.drawLine(QPointF(30, 62), QPointF(120, 62));
        painter.drawLine(QPointF(30, 58), QPointF(30, 66));
        painter.drawLine(QPointF(120, 58), QPointF(120, 66));
        painter.setPen(Qt::white);
        painter.drawText(QRectF(30, 34, 90, 20), Qt::AlignCenter, QStringLiteral("5 1/nm"));
        return pixmap;
    }
    const QPointF centre(60, 56);
    const QPointF a(26, -8);
    const QPointF b(6, 20);
    painter.setPen(Qt::NoPen);
    for (int i = -3; i <= 3; ++i) {
        for (int j = -2; j <= 2; ++j) {
            const QPointF spot = centre + a * i + b * j;
            if (!plate.adjusted(3, 3, -3, -3).contains(spot)) continue;
            const bool origin = i == 0 && j == 0;
            painter.setBrush(origin ? QColor(Qt::white) : QColor(200, 200, 200));
            painter.drawEllipse(spot, origin ? 4.5 : 2.5, origin ? 4.5 : 2.5);
        }
    }
    const QPointF ends[] = {a, b, a + b};
    const QPointF end = centre + ends[k - 1];
    painter.setPen(QPen(QColor(255, 60, 60), 1.5));
    painter.drawLine(centre, end);
    const QPointF along = (end - centre) / std::hypot(end.x() - centre.x(), end.y() - centre.y());
    const QPointF across(-along.y(), along.x());
    painter.setBrush(QColor(255, 60, 60));
    painter.drawPolygon(QPolygonF{end, end - along * 7 + across * 3, end - along * 7 - across * 3});
    painter.setPen(QColor(255, 120, 120));
    painter.drawText(end + QPointF(4, -2), QStringLiteral("R%1").arg(k));
    return pixmap;
}

}  // namespace

Form2::Form2(measure::ImageMeasurement& measurement, QWidget* parent)
    : QDialog(parent), m_logic(measurement) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QCoreApplication::translate("saed::app::Form2", "测量"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(measure::pixelsFromTwips(4800), measure::pixelsFromTwips(3150));

    m_label2 = new QLabel(this);
    m_label2->move(measure::pixelsFromTwips(1800) - 90, measure::pixelsFromTwips(240) - 8);
    m_label2->setFixedWidth(measure::pixelsFromTwips(4800) - measure::pixelsFromTwips(1800) + 80);
    m_label2->setAlignment(Qt::AlignCenter);
    // "为       1/nm": the blanks are the gap that the entry box fills, so the text is shown in two
    // parts, "为" before the box and the unit after it.
    m_label1 = new QLabel(this);
    m_label1->move(measure::pixelsFromTwips(2160), measure::pixelsFromTwips(480));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(measure::pixelsFromTwips(2160) + 18, measure::pixelsFromTwips(450) + 1, 56, 22);
    m_unit = new QLabel(this);
    m_unit->move(measure::pixelsFromTwips(2160) + 18 + 56 + 4, measure::pixelsFromTwips(480));

    auto* group = new QButtonGroup(this);
    const QString captions[] = {QCoreApplication::translate("saed::app::Form2", "标尺"),
                                QStringLiteral("R1"), QStringLiteral("R2"), QStringLiteral("R3")};
    for (int k = 0; k < 4; ++k) {
        auto* option = new QRadioButton(captions[k], this);
        option->setObjectName(QStringLiteral("Option1_%1").arg(k));
        option->move(measure::pixelsFromTwips(600), measure::pixelsFromTwips(720 + 360 * k));
        group->addButton(option, k);
        m_option1[static_cast<std::size_t>(k)] = option;
        auto* picture = new QLabel(this);
        picture->setPixmap(illustration(k));
        picture->resize(kPictureWidth, kPictureHeight);
        picture->hide();
        m_image1[static_cast<std::size_t>(k)] = picture;
    }
    // Pictures lie under the entry box and the labels.
    m_text1->raise();
    m_label1->raise();
    m_unit->raise();
    connect(group, &QButtonGroup::idClicked, this, [this](int k) {
        m_logic.choose(k);
        showLogic();
    });

    m_command1 = new QPushButton(QCoreApplication::translate("saed::app::Form2", "确定"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->move(measure::pixelsFromTwips(1200), measure::pixelsFromTwips(2280));
    m_command1->setDefault(true);
    m_command2 = new QPushButton(QCoreApplication::translate("saed::app::Form2", "取消"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->move(measure::pixelsFromTwips(2760), measure::pixelsFromTwips(2280));
    connect(m_command1, &QPushButton::clicked, this, [this] {
        const QString value = m_text1->text();
        m_logic.accept(value);
        discard();
    });
    connect(m_command2, &QPushButton::clicked, this, [this] {
        m_logic.cancel();
        discard();
    });
    showLogic();
}

void Form2::showLogic() {
    const QString text = m_logic.label1();
    const qsizetype gap = text.indexOf(QLatin1Char(' '));
    m_label1->setText(gap < 0 ? text : text.left(gap));
    m_label1->adjustSize();
    m_unit->setText(gap < 0 ? QString() : text.mid(gap).trimmed());
    m_unit->adjustSize();
    m_label2->setText(m_logic.label2());
    for (int k = 0; k < 4; ++k) {
        QLabel* picture = m_image1[static_cast<std::size_t>(k)];
        picture->setVisible(k == m_logic.illustration());
        if (k == m_logic.illustration()) picture->move(measure::pixelsFromTwips(m_logic.illustrationLeft()), measure::pixelsFromTwips(m_logic.illustrationTop()) - 8);
    }
}

void Form2::discard() {
    hide();
    close();
}

void Form2::keyPressEvent(QKeyEvent* event) {
    // Escape is the "取消" button; closing the window by its frame writes nothing and keeps the marks.
    if (event->key() == Qt::Key_Escape) {
        m_command2->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace saed::app
