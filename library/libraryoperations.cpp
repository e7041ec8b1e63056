// SPDX-License-Identifier: BSD-3-Clause
// The library panel's and the custom-phase switch's operations on the working data.
#include "library/libraryoperations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>  // for find, none_of

#include "library/builtinphases.h"
#include "library/crystallibrary.h"
#include "library/phasetexts.h"
#include "model/mainmodel.h"
#include "library/phaselibrary.h"
#include "model/prompts.h"
#include "model/texts.h"
#include "store/filelock.h"

namespace saed::library {

namespace {

using model::phaseNameRequest;

// The tree of the nine-field text followed by the model's crystal phases.
bool rebuildTree(model::MainModel& model) {
    const library::PhaseLibrary& phases = *library::phaseLibrary(model);
    const std::string text = std::string(kLibraryText) + libraryRecords(phases.crystals());
    return BuildPhaseTree(model, text);
}

void setImported(model::MainModel& model, std::vector<CrystalPhase> imported) {
    library::PhaseLibrary& phases = *library::phaseLibrary(model);
    phases.setPhases(phases.nineFieldRecords(), builtInPhases(), std::move(imported));
}

}  // namespace

bool BuildPhaseTree(model::MainModel& model, std::string_view libraryText) {
    if (!library::phaseLibrary(model)->buildTree(libraryText)) return false;
    model.setFlag(model::Flag::Frame7Visible, false);
    return true;
}

bool loadPhaseLibrary(model::MainModel& model, model::Prompts& prompts) {
    library::PhaseLibrary& phases = *library::phaseLibrary(model);
    if (phases.importedPath().isEmpty()) phases.setImportedPath(importedPhasesPath());
    const ImportedPhasesRead imported = readImportedPhases(phases.importedPath());
    phases.setImportedUnreadable(!imported.error.isEmpty());
    if (phases.importedUnreadable())
        prompts.warn(QCoreApplication::translate("saed::library::LibraryOperations", "导入的物相无法读取，本次不显示：\n") + imported.error, QString());
    const int nineField = static_cast<int>(parseLibraryText(kLibraryText).records.size());
    phases.setPhases(nineField, builtInPhases(), imported.phases);
    return rebuildTree(model);
}

void importCifPaths(model::MainModel& model, model::Prompts& prompts, const QStringList& paths) {
    library::PhaseLibrary& phases = *library::phaseLibrary(model);
    const CifPathsRead read = readCifPaths(paths);
    if (read.phases.empty()) {
        prompts.warn(QCoreApplication::translate("saed::library::LibraryOperations", "无法导入CIF：\n") + read.errors.join(QLatin1Char('\n')), QString());
        return;
    }
    std::vector<CrystalPhase> chosen = read.phases;
    if (read.phases.size() > 1) {
        QStringList labels;
        for (const CrystalPhase& p : read.phases)
            labels.push_back(QStringLiteral("%1    %2    (%3)")
                                 .arg(QString::fromStdString(p.name), QString::fromStdString(spaceGroupLabel(p)),
                                      QString::fromStdString(p.source)));
        const std::optional<std::vector<bool>> ticks = prompts.chooseItems(
            QCoreApplication::translate("saed::library::LibraryOperations", "读到%1个数据块，请勾选要导入的物相：")
                .arg(labels.size()),
            QCoreApplication::translate("saed::library::LibraryOperations", "导入CIF"), labels);
        if (!ticks) return;
        chosen.clear();
        for (std::size_t i = 0; i < read.phases.size() && i < ticks->size(); ++i)
            if ((*ticks)[i]) chosen.push_back(read.phases[i]);
        if (chosen.empty()) return;
    }
    // A phase the built-in set holds already (the same name, cell, space group and atoms, from
    // whatever source) is not imported a second time; one that differs is kept, and the ranking
    // tells it apart by its source.
    const std::vector<CrystalPhase>& builtIn = builtInPhases();
    const auto samePhase = [](const CrystalPhase& x, const CrystalPhase& y) {
        return x.name == y.name && x.cell == y.cell && x.cellSu == y.cellSu && x.spaceGroup == y.spaceGroup &&
               x.atoms == y.atoms;
    };
    std::vector<CrystalPhase> fresh;
    for (const CrystalPhase& p : chosen)
        if (std::none_of(builtIn.begin(), builtIn.end(), [&](const CrystalPhase& b) { return samePhase(p, b); }))
            fresh.push_back(p);
    const QString path = phases.importedPath();
    const QString shownPath = QDir::toNativeSeparators(path);
    // Another window may have imported or deleted phases since this one read the file: it is read
    // again under the lock, this import added to what it holds now, and written before the lock
    // is given back.
    QString reason;
    const auto lock = QDir().mkpath(QFileInfo(path).absolutePath()) ? store::lockForRewrite(path, store::kLockWaitMs, &reason) : nullptr;
    if (!lock) {
        prompts.warn(QCoreApplication::translate("saed::library::LibraryOperations", "无法保存导入的物相，未导入：\n") + shownPath +
                         QStringLiteral("\n") + reason,
                     QString());
        return;
    }
    const ImportedPhasesRead current = readImportedPhases(path);
    const bool unreadable = !current.error.isEmpty();
    std::vector<CrystalPhase> kept = current.phases;
    const std::size_t added = mergePhases(kept, fresh);
    // A kept file that could not be read is not overwritten unseen: it is copied aside first.
    const QString aside = path + QStringLiteral(".unreadable");
    if (added > 0 && unreadable && QFile::exists(path)) {
        QFile::remove(aside);
        if (!QFile::copy(path, aside)) {
            prompts.warn(QCoreApplication::translate("saed::library::LibraryOperations", "无法备份无法读取的物相文件，未导入：\n") + shownPath, QString());
            return;
        }
    }
    if (added > 0 && !writeImportedPhases(path, kept, &reason)) {
        prompts.warn(QCoreApplication::translate("saed::library::LibraryOperations", "无法保存导入的物相，未导入：\n") + shownPath +
                         QStringLiteral("\n") + reason,
                     QString());
        return;
    }
    // The library shows the file as it now is, the other windows' changes included.
    if (!unreadable || added > 0) {
        phases.setImportedUnreadable(false);
        if (kept != phases.importedPhases()) {
            setImported(model, std::move(kept));
            rebuildTree(model);
        }
    }
    model.setFlag(model::Flag::Frame7Visible, true);
    model.showStatus(QCoreApplication::translate("saed::library::LibraryOperations", "导入了%1个物相（%2个已在库中）").arg(added).arg(chosen.size() - added));
    if (!read.errors.isEmpty())
        prompts.warn(QCoreApplication::translate("saed::library::LibraryOperations", "以下CIF未能导入：\n") + read.errors.join(QLatin1Char('\n')), QString());
}

void importCifFiles(model::MainModel& model, model::Prompts& prompts) {
    const QStringList files = prompts.openFilePaths(
        QCoreApplication::translate("saed::library::LibraryOperations", "导入CIF文件"),
        QCoreApplication::translate("saed::library::LibraryOperations", "CIF|*.cif;*.CIF|所有文件|*"));
    if (!files.isEmpty()) importCifPaths(model, prompts, files);
}

void importCifFolder(model::MainModel& model, model::Prompts& prompts) {
    const std::optional<QString> folder =
        prompts.openFolderPath(QCoreApplication::translate("saed::library::LibraryOperations", "导入CIF文件夹"));
    if (folder && !folder->isEmpty()) importCifPaths(model, prompts, {*folder});
}

std::vector<int> removableRecords(const model::MainModel& model, int node) {
    const library::PhaseLibrary& phases = *library::phaseLibrary(model);
    std::vector<int> records = phases.recordsUnder(node);
    std::erase_if(records, [&](int r) { return phases.importedIndex(r) < 0; });
    return records;
}

int removeImportedPhases(model::MainModel& model, model::Prompts& prompts, int node) {
    library::PhaseLibrary& phases = *library::phaseLibrary(model);
    const std::vector<int> records = removableRecords(model, node);
    if (records.empty()) {
        model.showStatus(QCoreApplication::translate("LibraryOperations", "内置物相不能删除，只能删除导入的物相。"));
        return 0;
    }
    QStringList names;
    std::vector<bool> removed(phases.importedPhases().size(), false);
    for (int r : records) {
        removed[static_cast<std::size_t>(phases.importedIndex(r))] = true;
        names.push_back(QString::fromStdString(phases.crystal(r)->name));
    }
    const QString question =
        records.size() == 1
            ? QCoreApplication::translate("LibraryOperations", "确定要删除导入的物相“%1”吗？\n删除后需重新导入CIF才能恢复。").arg(names.front())
            : QCoreApplication::translate("LibraryOperations", "确定要删除导入的%1个物相（%2）吗？\n删除后需重新导入CIF才能恢复。")
                  .arg(records.size())
                  .arg(names.join(QStringLiteral("、")));
    if (!prompts.confirm(question, QCoreApplication::translate("LibraryOperations", "删除物相"))) return 0;
    std::vector<CrystalPhase> doomed;
    for (std::size_t i = 0; i < removed.size(); ++i)
        if (removed[i]) doomed.push_back(phases.importedPhases()[i]);
    // As for an import: the file is read again under its lock, so that a phase another window
    // imported meanwhile stays, and only the chosen phases leave it.
    const QString path = phases.importedPath();
    const QString notRemoved =
        QCoreApplication::translate("LibraryOperations", "无法保存导入的物相，未删除：\n") + QDir::toNativeSeparators(path);
    QString reason;
    const auto lock = store::lockForRewrite(path, store::kLockWaitMs, &reason);
    if (!lock) {
        prompts.warn(notRemoved + QStringLiteral("\n") + reason, QString());
        return 0;
    }
    const ImportedPhasesRead current = readImportedPhases(path);
    if (!current.error.isEmpty()) {
        prompts.warn(notRemoved + QStringLiteral("\n") + current.error, QString());
        return 0;
    }
    std::vector<CrystalPhase> kept;
    for (const CrystalPhase& phase : current.phases)
        if (std::find(doomed.begin(), doomed.end(), phase) == doomed.end()) kept.push_back(phase);
    if (!writeImportedPhases(path, kept, &reason)) {
        prompts.warn(notRemoved + QStringLiteral("\n") + reason, QString());
        return 0;
    }
    setImported(model, std::move(kept));
    const bool panelShown = model.flag(model::Flag::Frame7Visible);
    rebuildTree(model);
    model.setFlag(model::Flag::Frame7Visible, panelShown);
    model.showStatus(QCoreApplication::translate("LibraryOperations", "删除了%1个导入的物相").arg(records.size()));
    return static_cast<int>(records.size());
}

QString nodeSpaceGroup(const model::MainModel& model, int node) {
    const library::PhaseLibrary& phases = *library::phaseLibrary(model);
    const std::vector<int> records = phases.recordsUnder(node);
    if (records.empty()) return {};
    const CrystalPhase* crystal = phases.crystal(records.front());
    return crystal ? QString::fromStdString(spaceGroupLabel(*crystal)) : QString();
}

void tickChanged(model::MainModel& model, int node, bool state) {
    library::phaseLibrary(model)->tickChanged(node, state, model.flag(model::Flag::MultipleChoice));
}

void toggleLibraryPanel(model::MainModel& model) {
    model.setFlag(model::Flag::Frame7Visible, !model.flag(model::Flag::Frame7Visible));
}

void hideLibraryPanel(model::MainModel& model) { model.setFlag(model::Flag::Frame7Visible, false); }

void toggleCustomPhase(model::MainModel& model) {
    if (model.flag(model::Flag::LatticeLocked)) {
        model.setFlag(model::Flag::LatticeLocked, false);
        model.setText6(phaseNameRequest());
        // A phase typed in has no known space group: its extinctions come from a lattice type.
        model.setSpaceGroup(QString(), nullptr);
        if (model.Combo1() == core::LatticeType::SpaceGroup) model.setCombo1(core::LatticeType::Simple);
        model.setFlag(model::Flag::LatticeTextRed, true);
    } else {
        lockLatticeFields(model);
    }
}

void lockLatticeFields(model::MainModel& model) { model.setFlag(model::Flag::LatticeLocked, true); }

void text6FocusIn(model::MainModel& model) {
    if (model.Text6() == phaseNameRequest()) model.setText6(QStringLiteral("     "));
}

}  // namespace saed::library
