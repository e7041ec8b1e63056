// SPDX-License-Identifier: BSD-3-Clause
// The calculator's fields typed in and read back, for its operation and window tests.
#pragma once

#include <QStringList>

#include "model/mainmodel.h"

namespace saed::testdata {

using model::Caption;
using model::MainModel;

inline const char* const kCubic = "0.5,0.5,0.5,90,90,90";

// Lattice fields 0..5 from "a,b,c,α,β,γ"; planes "h,k,l|h,k,l|h,k,l" into fields 6..14.
inline void setFields(MainModel& model, const char* cell, const char* planes) {
    const QStringList lattice = QString::fromUtf8(cell).split(u',');
    for (int n = 0; n < 6; ++n) model.setText1(n, lattice[n]);
    const QStringList rows = QString::fromUtf8(planes).split(u'|');
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) model.setText1(6 + j + 3 * i, rows[j].split(u',')[i]);
}

// Angles 15..17, zone axis 18..20, spacings, then the planes of R1, R2, R3 and the zone.
inline QString outputs(const MainModel& model) {
    QStringList texts;
    for (int n = 15; n <= 20; ++n) texts << model.Text1(n);
    for (Caption c : {Caption::Label1_47, Caption::Label1_48, Caption::Label1_49, Caption::Label16,
                      Caption::Label15, Caption::Label14, Caption::Label17})
        texts << model.caption(c);
    return texts.join(u'|');
}

}  // namespace saed::testdata
