// SPDX-License-Identifier: BSD-3-Clause
// The calibration store on disk.
#include "store/calibrationstore.h"

#include <algorithm>  // for find_if
#include <memory>

#include <QCoreApplication>  // for translate
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "store/filelock.h"
#include "store/textfile.h"

namespace saed::store {

namespace {

struct CalibrationTexts {
    Q_DECLARE_TR_FUNCTIONS(saed::store::CalibrationTexts)
};

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

}  // namespace

CalibrationStore::CalibrationStore(QString path, int lockWaitMs) : m_path(std::move(path)), m_lockWaitMs(lockWaitMs) {}

QString CalibrationStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Calibrations.ini");
}

std::optional<std::vector<SavedCalibration>> CalibrationStore::list(QString* error) const {
    const auto lines = readTextLines(m_path);
    if (!lines) {
        setError(error, CalibrationTexts::tr("无法读取标定文件 %1").arg(QDir::toNativeSeparators(m_path)));
        return std::nullopt;
    }
    int bad = 0;
    auto parsed = parseCalibrations(toStd(*lines), bad);
    if (!parsed) setError(error, CalibrationTexts::tr("标定文件 %1 第 %2 行无法识别").arg(QDir::toNativeSeparators(m_path)).arg(bad));
    return parsed;
}

std::optional<SavedCalibration> CalibrationStore::find(const QString& name, QString* error) const {
    const auto all = list(error);
    if (!all) return std::nullopt;
    for (const SavedCalibration& c : *all)
        if (c.name == toStd(name)) return c;
    setError(error, CalibrationTexts::tr("没有名为“%1”的标定").arg(name));
    return std::nullopt;
}

bool CalibrationStore::save(const SavedCalibration& calibration, bool replace, QString* error) const {
    switch (calibrationNameProblem(calibration.name)) {
    case NameProblem::None: break;
    case NameProblem::Empty: setError(error, CalibrationTexts::tr("标定名称不能为空")); return false;
    case NameProblem::BadCharacter: setError(error, CalibrationTexts::tr("标定名称不能含换行、[、] 或 =")); return false;
    case NameProblem::Blanks: setError(error, CalibrationTexts::tr("标定名称首尾不能有空格")); return false;
    }
    if (!(calibration.perPixel > 0)) {
        setError(error, CalibrationTexts::tr("标定值须为正数"));
        return false;
    }
    const QString native = QDir::toNativeSeparators(m_path);
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        setError(error, CalibrationTexts::tr("无法创建文件夹 %1").arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath())));
        return false;
    }
    // Another running program may be saving at the same moment: the store is read and
    // rewritten under one lock.
    QString reason;
    const auto lock = lockForRewrite(m_path, m_lockWaitMs, &reason);
    if (!lock) {
        setError(error, CalibrationTexts::tr("无法写入标定文件 %1：%2").arg(native, reason));
        return false;
    }
    auto all = list(error);
    if (!all) return false;
    auto it = std::find_if(all->begin(), all->end(), [&](const SavedCalibration& c) { return c.name == calibration.name; });
    if (it != all->end() && !replace) {
        setError(error, CalibrationTexts::tr("已有名为“%1”的标定").arg(fromStd(calibration.name)));
        return false;
    }
    if (it != all->end()) *it = calibration;
    else all->push_back(calibration);
    QString why;
    if (!writeFileAtomic(m_path, encodeLines(fromStd(calibrationLines(*all))), &why)) {
        setError(error, CalibrationTexts::tr("无法写入标定文件 %1：%2").arg(native, why));
        return false;
    }
    return true;
}

bool CalibrationStore::remove(const QString& name, QString* error) const {
    const QString native = QDir::toNativeSeparators(m_path);
    // An absent folder holds no calibration to remove: list() says so below.
    std::unique_ptr<QLockFile> lock;
    if (QFileInfo::exists(QFileInfo(m_path).absolutePath())) {
        QString reason;
        lock = lockForRewrite(m_path, m_lockWaitMs, &reason);
        if (!lock) {
            setError(error, CalibrationTexts::tr("无法写入标定文件 %1：%2").arg(native, reason));
            return false;
        }
    }
    auto all = list(error);
    if (!all) return false;
    const auto before = all->size();
    std::erase_if(*all, [&](const SavedCalibration& c) { return c.name == toStd(name); });
    if (all->size() == before) {
        setError(error, CalibrationTexts::tr("没有名为“%1”的标定").arg(name));
        return false;
    }
    QString why;
    if (!writeFileAtomic(m_path, encodeLines(fromStd(calibrationLines(*all))), &why)) {
        setError(error, CalibrationTexts::tr("无法写入标定文件 %1：%2").arg(native, why));
        return false;
    }
    return true;
}

}  // namespace saed::store
