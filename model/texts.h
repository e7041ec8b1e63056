// SPDX-License-Identifier: BSD-3-Clause
// Fixed texts of the main window that several operations write.
#pragma once

#include <QCoreApplication>  // for translate
#include <QString>
#include <QStringList>
#include <QtGlobal>  // for QT_TRANSLATE_NOOP

#include "core/lattice.h"  // for LatticeType

namespace saed::model {

// Idle text of the measured-pattern summary Label5 (ideographic spaces included).
inline QString label5IdleText() {
    return QStringLiteral("   ***\u3000    \u3000***      \u3000\u3000***       \u3000\u3000***   \u3000 \u3000***    \u3000 ***");
}

// Column heading Label7 above Label5.
inline QString label7Text() {
    return QStringLiteral(" R1         R2          R3          <R1,R2>    <R2,R3>   <R1,R3>");
}

inline QString planeLabelIdleText() { return QStringLiteral("（* * *）"); }
inline QString zoneLabelIdleText() { return QStringLiteral("Z=[* * *]"); }
inline QString calculatorOutputIdleText() { return QStringLiteral("***"); }
inline QString spacingLabelIdleText(int n) { return QStringLiteral("d%1= ***").arg(n); }

inline QString notNumericMessage() {
    return QCoreApplication::translate("saed::model::Texts", "有一些输入框不是数字！");
}

// Captions and Combo1 entries stay in the source language in the model, as the stored sets, the
// reports and the command line read them; the window shows them through translatedText.
// Sources mark them with QT_TRANSLATE_NOOP("saed::model::Caption", "...").
inline QString captionSource(const char* source) { return QString::fromUtf8(source); }
inline QString translatedText(const QString& text) {
    return QCoreApplication::translate("saed::model::Caption", text.toUtf8().constData());
}
inline QStringList translatedTexts(const QStringList& texts) {
    QStringList shown;
    shown.reserve(texts.size());
    for (const QString& text : texts) shown.push_back(translatedText(text));
    return shown;
}

// Entries of the lattice-type selector Combo1, in list order: the five lattice types and the
// phase's space group, each at the position core::latticeTypeCode gives.
inline QStringList latticeTypeNames() {
    return {captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "简单点阵")),
            captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "底心点阵")),
            captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "体心点阵")),
            captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "面心点阵")),
            captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "菱形点阵")),
            captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "按空间群"))};
}

// What the selector's entry of lattice type `type` does, where its name does not say it all:
// 菱形点阵 removes the reflections of the hexagonal close-packed structure, which is not
// rhombohedral centring. Empty for the other entries.
inline QString latticeTypeTip(core::LatticeType type) {
    if (type != core::LatticeType::Rhombic) return {};
    return captionSource(QT_TRANSLATE_NOOP("saed::model::Caption",
        "消去 h + 2k = 3n 且 l 为奇数的衍射：六方密堆积（hcp）结构的消光，不是菱面体心（R）点阵的 "
        "−h + k + l = 3n。R 空间群的物相请选“按空间群”。"));
}

// The lattice type of a space-group text by its centring letter ("F d -3 m" is 面心点阵);
// Simple for a primitive group, an R group (no lattice type removes what rhombohedral centring does;
// 菱形点阵 would remove reflections such a phase shows) or an empty text. Stored parameter sets keep this in place of
// "按空间群", since they do not keep the space group itself.
inline core::LatticeType latticeTypeOfSpaceGroup(const QString& text) {
    const QChar first = text.isEmpty() ? QChar(u'P') : text.front();
    if (first == u'A' || first == u'B' || first == u'C') return core::LatticeType::BaseCentred;
    if (first == u'I') return core::LatticeType::BodyCentred;
    if (first == u'F') return core::LatticeType::FaceCentred;
    return core::LatticeType::Simple;
}

// The request the name field holds for a phase typed in, until the user names it. The model keeps
// it in Chinese like any name, as a report written before the user types one keeps it.
inline QString phaseNameRequest() {
    return captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "请输入物相名称"));
}

// A phase label (Text6, a screening line) as the window shows it: the five lattice-type names the
// program writes into labels of crystal phases read in the reader's language; the library's own
// words stay as written.
inline QString translatedPhaseLabel(QString label) {
    const QStringList names = latticeTypeNames();
    for (qsizetype i = 0; i + 1 < names.size(); ++i) label.replace(names[i], translatedText(names[i]));
    // The type words of the built-in library, where they stand as words of their own.
    static const char* const kLibraryTypeWords[] = {QT_TRANSLATE_NOOP("saed::model::Caption", "简单六方"),
                                                    QT_TRANSLATE_NOOP("saed::model::Caption", "未知")};
    for (const char* word : kLibraryTypeWords) {
        const QString source = QString::fromUtf8(word);
        const QString shown = QCoreApplication::translate("saed::model::Caption", word);
        for (const QString& gap : {QStringLiteral(","), QStringLiteral("  ")})
            label.replace(gap + source + gap, gap + shown + gap);
    }
    return label;
}

// A run "按空间群" on a phase without a space group.
inline QString noSpaceGroupMessage() {
    return QCoreApplication::translate("saed::model::Texts",
                                       "当前物相没有空间群，请选择点阵类型！");
}

}  // namespace saed::model
