// SPDX-License-Identifier: BSD-3-Clause
#include "app/latticepanel.h"

#include <algorithm>   // for min
#include <functional>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>

#include "app/elidedlabel.h"
#include "app/panelwidgets.h"
#include "core/millerbravais.h"
#include "library/libraryoperations.h"
#include "measure/viewport.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::app {

using model::Caption;
using model::Field;
using model::Flag;

namespace {

// Runs an action whenever the watched widget receives the focus.
class FocusInWatcher : public QObject {
public:
    FocusInWatcher(std::function<void()> action, QObject* parent)
        : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) m_action();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

}  // namespace

LatticePanel::LatticePanel(model::MainModel& model, QWidget* parent)
    : QGroupBox(model::translatedText(model.caption(Caption::Frame1)), parent), m_model(model) {
    setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);

    m_label20 = new ClickableLabel(tr("点阵参数□"));
    m_label20->setObjectName(QStringLiteral("Label20"));
    m_label20->setCursor(Qt::PointingHandCursor);
    m_text6 = new QLineEdit(m_model.Text6());
    m_text6->setObjectName(QStringLiteral("Text6"));
    m_label10 = new ClickableLabel(tr("点阵库"));
    m_label10->setObjectName(QStringLiteral("Label10"));
    m_label10->setCursor(Qt::PointingHandCursor);
    m_label10->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); text-decoration: underline;"));
    auto* head = new QHBoxLayout;
    head->addWidget(m_label20);
    head->addWidget(m_text6);
    head->addStretch(1);
    // The phase's space group beside its name; it yields its width first, so a long group
    // never widens the panel: a cut text ends in "…", the whole of it is in the tooltip.
    m_spaceGroupLabel = new ElidedLabel(QString(), 160);
    m_spaceGroupLabel->setObjectName(QStringLiteral("SpaceGroupLabel"));
    m_spaceGroupLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    head->addWidget(m_spaceGroupLabel, 2);
    head->addWidget(m_label10);
    grid->addLayout(head, 0, 0, 1, 6);

    const char16_t* edgeLabels[3] = {u"a=", u"b=", u"c="};
    const char16_t* angleLabels[3] = {u"nm  α=", u"nm  β=", u"nm  γ="};
    for (int i = 0; i < 3; ++i) {
        m_cell[static_cast<std::size_t>(i)] = makeBoundField(m_model, Field::A, i);
        m_cell[static_cast<std::size_t>(i + 3)] = makeBoundField(m_model, Field::Alpha, i);
        grid->addWidget(makeLabel(QString::fromUtf16(edgeLabels[i])), i + 1, 0, Qt::AlignRight);
        grid->addWidget(m_cell[static_cast<std::size_t>(i)], i + 1, 1);
        grid->addWidget(makeLabel(QString::fromUtf16(angleLabels[i])), i + 1, 2, Qt::AlignRight);
        grid->addWidget(m_cell[static_cast<std::size_t>(i + 3)], i + 1, 3);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 4);
    }
    for (QLineEdit* field : m_cell) field->setMaximumWidth(120);
    grid->addWidget(makeLabel(tr("指数范围")), 4, 0, Qt::AlignRight);
    QLineEdit* range = makeBoundField(m_model, Field::Range);
    range->setMaximumWidth(130);
    grid->addWidget(range, 4, 1);
    grid->addWidget(makeLabel(tr("点阵类型")), 4, 2, Qt::AlignRight);
    m_combo1 = new QComboBox;
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    grid->addWidget(m_combo1, 4, 3, 1, 2);
    m_doubleDiffraction = new QCheckBox(tr("二次衍射"));
    m_doubleDiffraction->setObjectName(QStringLiteral("DoubleDiffraction"));
    m_doubleDiffraction->setToolTip(
        tr("也允许运动学禁止、但等于同一晶带中两个允许衍射之和的衍射（二次衍射）；"
           "用到它们的行在结果表中标有 ※"));
    grid->addWidget(m_doubleDiffraction, 4, 5);
    // Beside γ: the cells it applies to are those of γ = 120°.
    m_fourIndex = new QCheckBox(tr("四指数"));
    m_fourIndex->setObjectName(QStringLiteral("FourIndexSetting"));
    m_fourIndex->setToolTip(tr("六方晶胞（a = b，α = β = 90°，γ = 120°）的晶面和晶向以四指数 (h k i l)、"
                               "[U V T W] 显示：结果表、解族、计算、模拟、图像标注和极射赤面投影；"
                               "报告和导出的文件仍为三指数"));
    grid->addWidget(m_fourIndex, 3, 5);
    // Narrow margins: with them every control fits a 1024 x 768 screen.
    grid->setContentsMargins(6, 4, 6, 4);

    // Label21 is never shown: it measures the phase name so that Text6 can grow with it.
    m_label21 = new QLabel(this);
    m_label21->hide();

    connect(m_text6, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.setText6(text); });
    connect(&m_model, &model::MainModel::text6Changed, this, [this] {
        if (m_text6->text() != shownText6()) {
            m_text6->setText(shownText6());
            // A label longer than the field shows its beginning, the phase's name.
            if (!m_text6->hasFocus()) m_text6->setCursorPosition(0);
        }
        fitNameField();
    });
    fitNameField();
    m_text6->installEventFilter(new FocusInWatcher([this] { library::text6FocusIn(m_model); }, this));

    const auto showCombo = [this] {
        const QSignalBlocker blocker(m_combo1);
        if (m_combo1->count() != m_model.Combo1Items().size()) {
            m_combo1->clear();
            m_combo1->addItems(model::translatedTexts(m_model.Combo1Items()));
            for (int i = 0; i < m_combo1->count(); ++i) {
                const auto type = core::latticeTypeFromCode(i);
                if (const QString tip = type ? model::latticeTypeTip(*type) : QString(); !tip.isEmpty())
                    m_combo1->setItemData(i, model::translatedText(tip), Qt::ToolTipRole);
            }
        }
        m_combo1->setCurrentIndex(core::latticeTypeCode(m_model.Combo1()));
    };
    connect(&m_model, &model::MainModel::combo1Changed, this, showCombo);
    // The selector's entries are in the order of core::LatticeType: an entry's position is its code.
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.setCombo1(core::latticeTypeFromCode(index).value_or(core::LatticeType::None));
    });
    showCombo();

    connect(&m_model, &model::MainModel::captionChanged, this, [this](Caption which) {
        if (which == Caption::Frame1) setTitle(model::translatedText(m_model.caption(Caption::Frame1)));
    });
    connect(&m_model, &model::MainModel::flagChanged, this, &LatticePanel::showFlag);
    for (Flag which : {Flag::LatticeLocked, Flag::LatticeTextRed, Flag::DoubleDiffraction}) showFlag(which);

    connect(m_label10, &ClickableLabel::clicked, this, [this] { library::toggleLibraryPanel(m_model); });
    connect(m_label20, &ClickableLabel::clicked, this, [this] { library::toggleCustomPhase(m_model); });
    connect(m_doubleDiffraction, &QCheckBox::toggled, this,
            [this](bool on) { m_model.setFlag(Flag::DoubleDiffraction, on); });
    connect(&m_model, &model::MainModel::spaceGroupChanged, this, &LatticePanel::showSpaceGroup);
    showSpaceGroup();

    connect(m_fourIndex, &QCheckBox::toggled, &m_model, &model::MainModel::setFourIndex);
    connect(&m_model, &model::MainModel::fourIndexChanged, this, &LatticePanel::showFourIndex);
    connect(&m_model, &model::MainModel::text1Changed, this, [this](int n) {
        if (n >= fieldNumber(Field::A) && n <= fieldNumber(Field::Gamma)) showFourIndex();
    });
    showFourIndex();
}

void LatticePanel::showFourIndex() {
    const core::Cell cell{m_model.value(Field::A),     m_model.value(Field::B),    m_model.value(Field::C),
                          m_model.value(Field::Alpha), m_model.value(Field::Beta), m_model.value(Field::Gamma)};
    // Kept for a cell that is not hexagonal, but greyed: it changes nothing there.
    m_fourIndex->setEnabled(core::isHexagonalCell(cell));
    const QSignalBlocker blocker(m_fourIndex);
    m_fourIndex->setChecked(m_model.fourIndex());
}

void LatticePanel::showFlag(Flag which) {
    const bool on = m_model.flag(which);
    switch (which) {
    case Flag::LatticeLocked:
        m_text6->setEnabled(!on);
        m_text6->setFrame(!on);
        m_text6->setText(shownText6());
        m_text6->setCursorPosition(0);
        fitNameField();
        for (QLineEdit* field : m_cell) field->setEnabled(!on);
        // The caption is the same in Chinese either way; other languages say what a click does.
        m_label20->setText(on ? tr("点阵参数□") : tr("点阵参数□", "the cell is open for typing; a click locks it"));
        m_label20->setToolTip(on ? tr("单击后可输入物相名称和点阵参数") : tr("单击锁定点阵参数"));
        break;
    case Flag::LatticeTextRed: {
        const QString style = on ? QStringLiteral("color: rgb(255, 0, 0);") : QString();
        m_text6->setStyleSheet(style);
        for (QLineEdit* field : m_cell) field->setStyleSheet(style);
        break;
    }
    case Flag::DoubleDiffraction: {
        const QSignalBlocker blocker(m_doubleDiffraction);
        m_doubleDiffraction->setChecked(on);
        break;
    }
    default:
        break;
    }
}

void LatticePanel::showSpaceGroup() {
    const QString group = m_model.spaceGroupText();
    m_spaceGroupLabel->setFullText(group.isEmpty() ? QString() : tr("空间群 ") + group);
    m_combo1->setToolTip(group.isEmpty() ? tr("按空间群：当前物相没有空间群") : tr("按空间群：") + group);
}

// A locked name is a library phase's label, shown in the reader's language; an editable one is the
// user's own text, shown as the model holds it so that an edit never changes what it does not touch,
// but for the request to type a name.
QString LatticePanel::shownText6() const {
    const QString& name = m_model.Text6();
    // The request stays a request after a run locks the field.
    if (name == model::phaseNameRequest()) return model::translatedText(name);
    if (m_model.flag(Flag::LatticeLocked)) return model::translatedPhaseLabel(name);
    return name;
}

void LatticePanel::fitNameField() {
    m_label21->setFont(m_text6->font());
    m_label21->setText(shownText6());
    m_label21->adjustSize();
    const int frame = 2 * m_text6->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    // Up to a limit, so that a long phase label never widens the window past a 1024-pixel screen;
    // the tooltip then holds the whole label.
    const int wanted = m_label21->sizeHint().width() + frame + measure::pixelsFromTwips(200);
    const int limit = measure::pixelsFromTwips(4200);
    m_text6->setFixedWidth(std::min(wanted, limit));
    m_text6->setToolTip(wanted > limit ? m_label21->text() : QString());
}

}  // namespace saed::app
