// SPDX-License-Identifier: BSD-3-Clause
// The calculator panel's operations on the working data: calculate, clear, and a result row.
#pragma once

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::calculator {

// Calculate ("计算"): checks the nine index fields Text1(6)..Text1(14) for numbers (the first
// bad one gets the focus, then the message; nothing changes), writes the reduced zone axis of
// planes 1 and 2 to Text1(18..20), the three angles to Text1(15..17), the spacings to
// Label1(47..49) and the schematic labels. Angles and spacings that cannot be computed show
// their idle texts; a lattice that is not a cell is told in a message, with the focus on the
// first lattice field at fault (Text1(0..3)). False when stopped by the numeric test.
bool calculate(model::MainModel& model, model::Prompts& prompts);

// Clear ("清除"): empties the index fields and restores every output's idle text; the lattice
// fields stay.
void clearCalculator(model::MainModel& model);

// "计算晶带轴": copies the plane indices of result row `row` (sub-items 1-3, 5-7, 9-11) into the
// index fields and calculates. A row outside the table (-1: none selected) does nothing.
// False when nothing was calculated.
bool calculateFromResultRow(model::MainModel& model, model::Prompts& prompts, int row);

// Message shown when the lattice fields do not form a cell.
const char* notACellMessage();

}  // namespace saed::calculator
