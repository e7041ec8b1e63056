// SPDX-License-Identifier: BSD-3-Clause
// The parameter-set store on disk.
#include "store/parameterstore.h"

#include <QCoreApplication>  // for translate
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "store/filelock.h"
#include "store/storelayout.h"
#include "store/textfile.h"

namespace saed::store {

namespace {

std::optional<std::vector<std::string>> readStore(const QString& path) {
    const auto lines = readTextLines(path, kStoreLines);
    if (!lines) return std::nullopt;
    return storeLines(toStd(*lines));
}

}  // namespace

ParameterStore::ParameterStore(QString path) : m_path(std::move(path)) {}

QString ParameterStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Store.ini");
}

QStringList ParameterStore::menuCaptions() const {
    std::vector<std::string> lines(kStoreLines);
    if (QFileInfo::exists(m_path)) {
        if (auto stored = readStore(m_path)) lines = std::move(*stored);
    } else if (QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        writeTextFileAtomic(m_path, {});
    }
    QStringList captions;
    // The menu speaks the reader's language; the store keeps only the slot's image name.
    // An empty slot reads 导入图测量数据; a translation may number the empty slots so that the
    // four entries tell themselves apart.
    for (int k = 1; k <= kSlotCount; ++k) {
        const QString name = fromStd(slotName(lines, k));
        if (!name.isEmpty()) {
            captions.push_back(
                QCoreApplication::translate("saed::store::ParameterStore", "导入%1图测量数据").arg(name));
            continue;
        }
        QString empty = QCoreApplication::translate("saed::store::ParameterStore", "导入图测量数据",
                                                    "an empty slot; %1 in a translation is its number");
        if (empty.contains(QLatin1String("%1"))) empty = empty.arg(k);
        captions.push_back(empty);
    }
    return captions;
}

bool ParameterStore::save(model::MainModel& model, model::Prompts& prompts) const {
    const auto answer = prompts.askText(
        QCoreApplication::translate("saed::store::ParameterStore", "测量图片的名称为"), QString(),
        QString());
    if (!answer || answer->isEmpty()) return false;

    ParameterSet set;
    set.name = toStd(*answer);
    for (int n = 0; n < kSetFieldCount; ++n) set.text1[static_cast<std::size_t>(n)] = toStd(model.Text1(n));
    // The space group itself is not stored: its lattice type is, so that the set reads back.
    set.combo1 = model.Combo1() == core::LatticeType::SpaceGroup
                     ? model::latticeTypeOfSpaceGroup(model.spaceGroupText())
                     : model.Combo1();
    set.text6 = toStd(model.Text6());

    // The reason, when the system gave one, follows the path on a line of its own.
    const auto cannotWrite = [&](const QString& reason = QString()) {
        prompts.warn(
            QCoreApplication::translate("saed::store::ParameterStore", "无法写入参数文件：\n") +
                QDir::toNativeSeparators(m_path) + (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason),
            QString());
        return false;
    };
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) return cannotWrite();
    // Another running instance may be saving at the same moment: the old lines are read and the
    // store rewritten under one lock, so that neither save is lost.
    QString reason;
    const auto lock = lockForRewrite(m_path, kLockWaitMs, &reason);
    if (!lock) return cannotWrite(reason);

    // An absent store (removed while the menu was open) is started afresh rather than
    // dropping the save; one that cannot be read is left alone so that its sets are not lost.
    const auto old = readRawLines(m_path, kStoreLines);
    if (!old) {
        prompts.warn(
            QCoreApplication::translate("saed::store::ParameterStore", "无法读取参数文件：\n") +
                QDir::toNativeSeparators(m_path),
            QString());
        return false;
    }
    // The older sets move down one slot byte for byte, whatever their bytes; the oldest goes.
    QByteArray bytes = encodeLines(fromStd(parameterSetLines(set)));
    for (qsizetype n = 0; n < kStoreLines - kSetLines; ++n) {
        if (n < old->size()) bytes += old->at(n);
        bytes += "\r\n";
    }
    if (!writeFileAtomic(m_path, bytes, &reason)) return cannotWrite(reason);
    return true;
}

bool ParameterStore::importSlot(model::MainModel& model, model::Prompts& prompts, int k) const {
    const auto lines = readStore(m_path);
    if (!lines) {
        prompts.warn(
            QCoreApplication::translate("saed::store::ParameterStore", "无法读取参数文件：\n") +
                QDir::toNativeSeparators(m_path),
            QString());
        return false;
    }
    const SlotTexts slot = slotTexts(*lines, k);
    // Each write is an ordinary field change: a tolerance field re-screens the table here.
    for (int n = 0; n < kSetFieldCount; ++n) model.setText1(n, fromStd(slot.text1[static_cast<std::size_t>(n)]));
    model.setText6(fromStd(slot.text6));
    if (!slot.combo1) return false;
    model.setCombo1(*slot.combo1);
    model.setCaption(model::Caption::Frame1,
                     model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "点阵标尺◇")));

    using model::Field;
    for (Field f : {Field::ZoneU, Field::ZoneV, Field::ZoneW, Field::CalcAngle12, Field::CalcAngle23, Field::CalcAngle13})
        model.setText1(f, model::calculatorOutputIdleText());
    model.setCaption(model::Caption::Label1_47, model::spacingLabelIdleText(1));
    model.setCaption(model::Caption::Label1_48, model::spacingLabelIdleText(2));
    model.setCaption(model::Caption::Label1_49, model::spacingLabelIdleText(3));

    model.resultTable()->clearRows();
    model.setCaption(model::Caption::Label22, QStringLiteral("0"));
    model.setCaption(model::Caption::Label5, model::label5IdleText());
    return true;
}

}  // namespace saed::store
