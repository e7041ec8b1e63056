// The library panel's and the custom-phase switch's operations on the working data.
#include "library/libraryoperations.h"

#include "app/mainmodel.h"

namespace saed::library {

namespace {

QString phaseNameRequest() { return QStringLiteral("请输入物相名称"); }

}  // namespace

bool BuildPhaseTree(app::MainModel& model, PhaseTree& tree, std::string_view libraryText) {
    if (!tree.build(libraryText)) return false;
    model.setFlag(app::Flag::Frame7Visible, false);
    return true;
}

void tickChanged(const app::MainModel& model, PhaseTree& tree, int node, bool state) {
    if (node < 0 || node >= tree.nodeCount()) return;
    tree.tickChanged(node, state, model.flag(app::Flag::MultipleChoice));
}

void toggleLibraryPanel(app::MainModel& model) {
    model.setFlag(app::Flag::Frame7Visible, !model.flag(app::Flag::Frame7Visible));
}

void hideLibraryPanel(app::MainModel& model) { model.setFlag(app::Flag::Frame7Visible, false); }

void toggleCustomPhase(app::MainModel& model) {
    if (model.flag(app::Flag::LatticeLocked)) {
        model.setFlag(app::Flag::LatticeLocked, false);
        model.setText6(phaseNameRequest());
        model.setFlag(app::Flag::LatticeTextRed, true);
    } else {
        lockLatticeFields(model);
    }
}

void lockLatticeFields(app::MainModel& model) { model.setFlag(app::Flag::LatticeLocked, true); }

void text6FocusIn(app::MainModel& model) {
    if (model.Text6() == phaseNameRequest()) model.setText6(QStringLiteral("     "));
}

}  // namespace saed::library
