// The library panel's and the custom-phase switch's operations on the working data.
#pragma once

#include <string_view>

#include "library/phasetree.h"

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::library {

// BuildPhaseTree: builds `tree` from `libraryText` (the built-in library by default) and hides
// the library panel Frame7. When the text stops the build, the nodes added so far stay, the panel
// is left as it is, and false is returned.
bool BuildPhaseTree(model::MainModel& model, PhaseTree& tree,
                    std::string_view libraryText = kLibraryText);

// The user set the tick of tree node `node` to `state`; the mode comes from the "多选" flag.
void tickChanged(const model::MainModel& model, PhaseTree& tree, int node, bool state);

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
