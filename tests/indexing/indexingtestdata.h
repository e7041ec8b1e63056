// SPDX-License-Identifier: BSD-3-Clause
// The cubic example pattern, typed into the working data.
#pragma once

#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::testdata {

// a = b = c = 0.5 nm, right angles, simple, N = 1; scale bar 2 1/nm over 100 px; spots of
// 100, 100 and 141.42 px, one spacing each; angles 90, 45, 45; default tolerances.
inline void fillCubicExample(model::MainModel& model) {
    model.setCombo1Items(model::latticeTypeNames());
    model.setCombo1(saed::core::LatticeType::Simple);
    const char* const texts[][2] = {{"0", "0.5"}, {"1", "0.5"}, {"2", "0.5"},    {"3", "90"},  {"4", "90"},
                                    {"5", "90"},  {"21", "1"},  {"22", "2"},     {"23", "100"}, {"24", "100"},
                                    {"25", "100"}, {"26", "141.42"}, {"30", "1"}, {"31", "1"},  {"32", "1"},
                                    {"33", "90"}, {"34", "45"}, {"35", "45"}};
    for (const auto& t : texts) model.setText1(QString::fromLatin1(t[0]).toInt(), QString::fromLatin1(t[1]));
}

}  // namespace saed::testdata
