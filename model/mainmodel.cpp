// SPDX-License-Identifier: BSD-3-Clause
#include "model/mainmodel.h"

#include <algorithm>  // for clamp
#include <cassert>
#include <utility>

#include "core/reflectionrule.h"

#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"

namespace saed::model {

namespace {

constexpr std::size_t index(Caption c) { return static_cast<std::size_t>(c); }
constexpr std::size_t index(Flag f) { return static_cast<std::size_t>(f); }

}  // namespace

MainModel::MainModel(QObject* parent) : QObject(parent), m_resultTable(new ResultTableModel(this)) {
    const auto field = [this](Field f, int offset = 0) -> QString& {
        return m_text1[static_cast<std::size_t>(fieldNumber(f, offset))];
    };
    field(Field::Range) = QStringLiteral("5");
    for (int i = 0; i < 3; ++i) {
        field(Field::TolD1, i) = QStringLiteral("0.008");
        field(Field::TolAngle12, i) = QStringLiteral("2");
    }
    // The calculator's three angles and the zone axis.
    for (int i = 0; i < 6; ++i) field(Field::CalcAngle12, i) = calculatorOutputIdleText();
    m_text6 = QStringLiteral("NAME");

    m_captions[index(Caption::Label5)] = label5IdleText();
    m_captions[index(Caption::Label22)] = QStringLiteral("0");
    m_captions[index(Caption::Label14)] = planeLabelIdleText();
    m_captions[index(Caption::Label15)] = planeLabelIdleText();
    m_captions[index(Caption::Label16)] = planeLabelIdleText();
    m_captions[index(Caption::Label17)] = zoneLabelIdleText();
    m_captions[index(Caption::Label1_47)] = spacingLabelIdleText(1);
    m_captions[index(Caption::Label1_48)] = spacingLabelIdleText(2);
    m_captions[index(Caption::Label1_49)] = spacingLabelIdleText(3);
    m_captions[index(Caption::Frame1)] =
        captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "点阵标尺"));
    m_captions[index(Caption::Command6)] =
        captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "标定计算"));
    m_captions[index(Caption::Command9)] =
        captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "测量"));
    m_captions[index(Caption::Command13)] =
        captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "计算选中项"));

    m_flags[index(Flag::LatticeLocked)] = true;
    m_flags[index(Flag::Command3Enabled)] = true;
    m_flags[index(Flag::Command7Enabled)] = true;

    m_sliders = {13, 13, 13, 50, 50, 50};
}

MainModel::~MainModel() = default;

QString MainModel::Text1(int n) const {
    assert(n >= 0 && n < kText1Count);
    return m_text1[static_cast<std::size_t>(n)];
}

void MainModel::setText1(int n, const QString& text) {
    assert(n >= 0 && n < kText1Count);
    QString& field = m_text1[static_cast<std::size_t>(n)];
    if (field == text) return;
    field = text;
    emit text1Changed(n);
}

double MainModel::value(int n) const { return core::leadingNumber(Text1(n).toStdString()); }

bool MainModel::isNumeric(int n) const { return core::isNumeric(Text1(n).toStdString()); }

void MainModel::setText6(const QString& text) {
    if (m_text6 == text) return;
    m_text6 = text;
    emit text6Changed();
}

void MainModel::setCombo1Items(const QStringList& items) {
    m_combo1Items = items;
    if (core::latticeTypeCode(m_combo1) >= items.size()) m_combo1 = core::LatticeType::None;
    emit combo1Changed();
}

void MainModel::setSpaceGroup(const QString& text, std::shared_ptr<const core::ReflectionRule> rule) {
    m_spaceGroupText = text;
    m_spaceGroupRule = std::move(rule);
    emit spaceGroupChanged();
}

void MainModel::setCombo1(core::LatticeType type) {
    const core::LatticeType chosen =
        core::latticeTypeCode(type) < m_combo1Items.size() ? type : core::LatticeType::None;
    if (chosen == m_combo1) return;
    m_combo1 = chosen;
    emit combo1Changed();
}

QString MainModel::caption(Caption which) const { return m_captions[index(which)]; }

void MainModel::setCaption(Caption which, const QString& text) {
    if (m_captions[index(which)] == text) return;
    m_captions[index(which)] = text;
    emit captionChanged(which);
}

bool MainModel::flag(Flag which) const { return m_flags[index(which)]; }

void MainModel::setFlag(Flag which, bool on) {
    if (m_flags[index(which)] == on) return;
    m_flags[index(which)] = on;
    emit flagChanged(which);
}

int MainModel::slider(int k) const {
    assert(k >= 1 && k <= kSliderCount);
    return m_sliders[static_cast<std::size_t>(k - 1)];
}

void MainModel::setSlider(int k, int p) {
    assert(k >= 1 && k <= kSliderCount);
    p = std::clamp(p, 0, 100);  // a value beyond the scale pins the slider at its end
    int& position = m_sliders[static_cast<std::size_t>(k - 1)];
    if (position == p) return;
    position = p;
    emit sliderChanged(k);
}

void MainModel::setFourIndex(bool on) {
    if (m_fourIndex == on) return;
    m_fourIndex = on;
    emit fourIndexChanged(on);
}

}  // namespace saed::model
