// SPDX-License-Identifier: BSD-3-Clause
// The library panel's and the custom-phase switch's operations on the working data.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include <QString>
#include <QStringList>

#include "library/phasetree.h"

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::library {

// BuildPhaseTree: builds the model's library tree from `libraryText` (the built-in library by
// default) and hides the library panel Frame7. When the text stops the build, the nodes added so
// far stay, the panel is left as it is, and false is returned.
bool BuildPhaseTree(model::MainModel& model, std::string_view libraryText = kLibraryText);

// Start-up: the tree of the nine-field records, as they are, then the built-in crystal phases and
// the imported ones (kept in the model's imported-phases file, ImportedPhases.txt in the
// configuration folder unless set). A kept file that cannot be read is told and left out this
// time. False when the text stops the build (see BuildPhaseTree).
bool loadPhaseLibrary(model::MainModel& model, model::Prompts& prompts);

// "导入CIF": reads the files and folders, offers the blocks read when there are several (through
// Prompts::chooseItems; Cancel imports nothing), keeps the
// chosen phases that the library does not hold yet in the imported-phases file (rewritten
// atomically) and rebuilds the tree. A file that cannot be read is told with its reason; when
// nothing could be read, or the file cannot be written, nothing changes.
void importCifPaths(model::MainModel& model, model::Prompts& prompts, const QStringList& paths);
// "CIF文件…" and "CIF文件夹…": asks for the files or the folder, then imports them as above.
void importCifFiles(model::MainModel& model, model::Prompts& prompts);
void importCifFolder(model::MainModel& model, model::Prompts& prompts);

// The imported phases under tree node `node` (the node's own record, or those of a phase node).
// Built-in phases cannot be removed: for them the status bar says so.
std::vector<int> removableRecords(const model::MainModel& model, int node);
// Removes the imported phases under `node` once the user confirmed it: the imported-phases file is
// rewritten atomically and the tree rebuilt. Returns how many were removed; 0 when there were
// none, the user declined, or the file could not be written (told, nothing changes).
int removeImportedPhases(model::MainModel& model, model::Prompts& prompts, int node);

// The space group of the phase at tree node `node` ("F d -3 m (227)"; for a phase node or the
// root, that of its first record); empty for a record without one.
QString nodeSpaceGroup(const model::MainModel& model, int node);

// The user set the tick of tree node `node` to `state`; the mode comes from the "多选" flag.
void tickChanged(model::MainModel& model, int node, bool state);

// "点阵库" (Label10): shows the library panel when hidden, hides it when shown.
void toggleLibraryPanel(model::MainModel& model);
// "取消" (Command1): hides the library panel.
void hideLibraryPanel(model::MainModel& model);

// "点阵参数□" (Label20): unlocks the phase name and lattice fields for a custom phase (the name
// asks for a phase name, the texts turn red, and the space group of the former phase is dropped,
// "按空间群" giving way to the first lattice type), or locks them again (colours stay).
void toggleCustomPhase(model::MainModel& model);

// Locks the phase name and lattice fields as the switch does (colours stay); for a successful
// indexing run and the start of a screening.
void lockLatticeFields(model::MainModel& model);

// Text6 received the focus: the request "请输入物相名称" gives way to five blanks.
void text6FocusIn(model::MainModel& model);

}  // namespace saed::library
