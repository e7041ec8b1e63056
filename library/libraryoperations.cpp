// The library panel's and the custom-phase switch's operations on the working data.
#include "library/libraryoperations.h"

#include "indexing/indexingengine.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::library {

using model::phaseNameRequest;

bool BuildPhaseTree(model::MainModel& model, PhaseTree& tree, std::string_view libraryText) {
    if (!tree.build(libraryText)) return false;
    model.setFlag(model::Flag::Frame7Visible, false);
    return true;
}

void tickChanged(const model::MainModel& model, PhaseTree& tree, int node, bool state) {
    if (node < 0 || node >= tree.nodeCount()) return;
    tree.tickChanged(node, state, model.flag(model::Flag::MultipleChoice));
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
        if (model.Combo1() == indexing::kSpaceGroupType) model.setCombo1(0);
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
