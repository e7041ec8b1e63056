// SPDX-License-Identifier: BSD-3-Clause
// The "衍射模拟" tab: the zone pattern of a phase, lattice type or space group and zone axis,
// drawn with its (hkl) labels and a 1/nm scale, exported as PNG and SVG.
#pragma once

#include <array>
#include <memory>  // for shared_ptr
#include <optional>

#include <QWidget>

#include "core/reflectionrule.h"
#include "model/mainmodel.h"
#include "model/prompts.h"
#include "simulation/zonepattern.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace saed::app {

class SimulationPanel : public QWidget {
    Q_OBJECT

public:
    SimulationPanel(model::Prompts& prompts, QWidget* parent = nullptr);

    // The phase: its name (shown) and cell.
    void setPhase(const QString& name, const core::Cell& cell);
    // Entries of the selector, in the order of core::LatticeType, and the chosen one: the five
    // lattice types, then "按空间群", which applies the phase's space group.
    void setLatticeTypes(const QStringList& names, core::LatticeType chosen);
    // The phase's space group as shown ("F d -3 m (227)") and its rule: systematic absences and,
    // where the rule knows the atoms, |F|. With a rule the selector offers and chooses "按空间群"; spots are
    // drawn with an intensity of |F|^2 where |F| is known (their radius grows with |F|) and all
    // alike otherwise. An empty label and no rule: a phase without a space group.
    void setSpaceGroup(const QString& label, std::shared_ptr<const core::ReflectionRule> rule);
    // The lattice type chosen in the selector, None when none is.
    core::LatticeType chosenType() const;
    // The zone to show, with the planes to put along +x (g1) and on the +y side (g2), as a
    // result row gives them. The user can then type any other zone.
    void showZone(const core::Uvw& zone, std::optional<core::Hkl> g1 = std::nullopt,
                  std::optional<core::Hkl> g2 = std::nullopt);
    // Turns the pattern shown counter-clockwise by `degrees` from g1 along +x, so that it lies
    // as an image shows it; showZone and a typed zone turn it back to 0.
    void setTurn(double degrees);
    double turn() const { return m_turnDeg; }

    // The pattern shown; no value when it could not be made (the reason is shown instead).
    const std::optional<simulation::ZonePattern>& pattern() const { return m_pattern; }
    // The zone in three indices; from the four boxes in four-index entry, none when
    // T != -(U + V).
    core::Uvw zone() const;
    // The four-index setting: for a hexagonal cell, zone entry [U V T W] and spot labels
    // (h k i l); any other cell shows three indices, and the setting stays for the next one.
    void setFourIndex(bool wanted);
    // Four indices shown now (the setting on and the cell hexagonal).
    bool fourIndex() const;
    double maxG() const;
    QString statusText() const;

    // Writes the pattern as a PNG or SVG file; false, told through the prompts, on failure.
    bool exportPng(const QString& path);
    bool exportSvg(const QString& path);
    // Shows a passing note under the picture (the match of the shown row, for example).
    void setNote(const QString& text);

    // Shows the window's phase: its name, cell, space group and lattice type as `model` holds
    // them.
    void showModelPhase(const model::MainModel& model);
    // Shows library record `record` (from 1) with its cell, space group and atoms; false, and
    // nothing changes, when the library has no such record.
    bool showLibraryPhase(const model::MainModel& model, int record);
    // The tab shows a phase of the library rather than the window's.
    bool showsLibraryPhase() const { return m_showsLibraryPhase; }

signals:
    void patternChanged();
    // The user switched four indices on or off here.
    void fourIndexToggled(bool on);

private:
    void recompute();
    // No cell given yet (every length 0): the tab asks for a phase instead of calling it no cell.
    bool noCellYet() const;
    // Writes `zone` into the zone boxes in the notation chosen, without recomputing.
    void showZoneFields(const core::Uvw& zone);
    // The zone caption, the T box and the zone fields (showing `shown`) as the switch says.
    void showNotation(const core::Uvw& shown);
    void askAndExport(bool svg);

    model::Prompts& m_prompts;
    QLabel* m_phaseLabel = nullptr;
    QComboBox* m_type = nullptr;
    std::array<QSpinBox*, 3> m_zone{};
    // Four-index entry of a hexagonal cell's zone: U, V, T (this box, shown between V and W) and W. The
    // box is shown exactly while the zone boxes hold four indices.
    QSpinBox* m_zoneT = nullptr;
    QCheckBox* m_fourIndex = nullptr;
    bool m_fourIndexWanted = false;
    class QLabel* m_zoneCaption = nullptr;
    QDoubleSpinBox* m_maxG = nullptr;
    QCheckBox* m_labels = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_note = nullptr;
    QWidget* m_picture = nullptr;

    core::Cell m_cell{};
    std::shared_ptr<const core::ReflectionRule> m_rule;  // the phase's space group, if any
    QString m_ruleName;
    std::optional<core::Hkl> m_g1, m_g2;
    std::optional<simulation::ZonePattern> m_pattern;
    bool m_updating = false;
    bool m_showsLibraryPhase = false;
    double m_turnDeg = 0;
};

}  // namespace saed::app
