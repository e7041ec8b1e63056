// SPDX-License-Identifier: BSD-3-Clause
// Names of the main window's numbered fields Text1(n), each number written once.
#pragma once

namespace saed::model {

enum class Field : int {
    A = 0, B, C, Alpha, Beta, Gamma,     // lattice: edges (nm) and angles (degrees)
    H1 = 6, H2, H3,                      // calculator: h of planes 1 to 3
    K1 = 9, K2, K3,                      //             k
    L1 = 12, L2, L3,                     //             l
    CalcAngle12 = 15, CalcAngle23, CalcAngle13,  // calculator output angles (degrees)
    ZoneU = 18, ZoneV, ZoneW,            // calculator output zone axis
    Range = 21,                          // index range N
    ScaleReading = 22,                   // scale bar reading S (1/nm)
    ScaleLength = 23,                    // scale bar measured length Lbar (px)
    LengthR1 = 24, LengthR2, LengthR3,   // measured lengths L1..L3 (px)
    TolD1 = 27, TolD2, TolD3,            // spacing tolerances (nm)
    SegmentsR1 = 30, SegmentsR2, SegmentsR3,  // spot spacings N1..N3 spanned by each length
    AngleR1R2 = 33, AngleR2R3, AngleR1R3,     // measured angles (degrees)
    TolAngle12 = 36, TolAngle23, TolAngle13,  // angle tolerances (degrees)
};

// The number n of a field, and the field `offset` places after `first` (R1, R2, R3 in a row).
constexpr int fieldNumber(Field f) { return static_cast<int>(f); }
constexpr int fieldNumber(Field first, int offset) { return static_cast<int>(first) + offset; }

}  // namespace saed::model
