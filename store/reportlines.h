// SPDX-License-Identifier: BSD-3-Clause
// Lines of the result report and of the screening report, built from field texts and table cells.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace saed::store {

// What a report reads from the fields; texts in UTF-8, numbers already read with the
// leading-number reading.
struct ReportFields {
    std::string name;                    // NAME, the phase name Text6
    std::array<std::string, 6> lattice;  // A, B, C, AL, BE, GA: Text1(0) to Text1(5) as typed
    std::string image;                   // IMG, the chosen image's file name
    double scaleReading = 0;             // S, Text1(22), 1/nm
    double scaleLength = 0;              // Lbar, Text1(23), px
    std::array<double, 3> lengths{};     // L1..L3, Text1(24) to Text1(26), px
    std::array<double, 3> segments{};    // N1..N3, Text1(30) to Text1(32)
    std::array<double, 3> anglesDeg{};   // M12, M23, M13, Text1(33) to Text1(35)
    std::string calibration;             // the saved calibration chosen, as its note says; "" for none
};

// One table row: the label and sub-items 1 to C - 1, as shown.
using ReportRow = std::vector<std::string>;

// The lines of a report and whether it is whole: `complete` is false when the measured spacings
// cannot be computed (a zero scale-bar reading or measured length), and the lines then stop
// after the lattice lines.
struct ReportLines {
    std::vector<std::string> lines;
    bool complete = true;
};

// Measured spacings dn = Nn x (Lbar / S) / Ln in nm, Lbar / S computed first; none when a
// divisor is zero or a result is not finite.
std::optional<std::array<double, 3>> measuredSpacings(const ReportFields& fields);

// The 23 TAB-joined header fields; field 21 carries a trailing blank when M12 > 100.
std::string reportHeaderLine(double m12Deg);

// Row line: the label, TAB before each of sub-items 1 to C - 2, one blank before sub-item C - 1.
std::string reportRowLine(const ReportRow& row);

// The result report: lines 1 to 7 and one line per row, then, when a saved calibration gave the
// scale bar, one line naming it.
ReportLines resultReportLines(const ReportFields& fields, const std::vector<ReportRow>& rows);

// One phase's block of the screening report; no lines when the phase has no rows. A saved
// calibration that gave the scale bar is named after the rows, as in the result report.
ReportLines screeningBlockLines(const ReportFields& fields, const std::vector<ReportRow>& rows);

// Local date and time of a report's name.
struct Stamp {
    int year, month, day, hour, minute, second;
};

// "标定结果" + "YYYY-MM-DD HHNNSS" + ".txt", e.g. 标定结果2012-03-04 150607.txt.
std::string reportFileName(const Stamp& stamp);

}  // namespace saed::store
