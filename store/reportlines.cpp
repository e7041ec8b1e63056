// SPDX-License-Identifier: BSD-3-Clause
// Lines of the result report and of the screening report.
#include "store/reportlines.h"

#include <cassert>
#include <cmath>  // for isfinite
#include <cstdio>

#include "core/numbertext.h"

namespace saed::store {

namespace {

using core::formatAngle;
using core::formatSpacing;

std::string nameLine(const ReportFields& f, bool screening) {
    return "------" + f.name + (screening ? "  点阵参数：" : "点阵参数：");
}

std::string edgesLine(const ReportFields& f) {
    return "a=" + f.lattice[0] + "nm   b=" + f.lattice[1] + "nm   c=" + f.lattice[2] + "nm";
}

std::string anglesLine(const ReportFields& f) {
    return "α=" + f.lattice[3] + "deg.  β=" + f.lattice[4] + "deg.  γ=" + f.lattice[5] + "deg.";
}

std::string measuredLine(const ReportFields& f, const std::array<double, 3>& d) {
    return "d1=" + formatSpacing(d[0]) + "nm   d2=" + formatSpacing(d[1]) + "nm   d3=" + formatSpacing(d[2]) +
           "nm     <R1,R2>=" + formatAngle(f.anglesDeg[0]) + "deg. <R2,R3>=" + formatAngle(f.anglesDeg[1]) +
           "deg. <R1,R3>=" + formatAngle(f.anglesDeg[2]) + "deg. ";
}

std::string resultsLine(const ReportFields& f) { return f.name + "数据库中筛选结果如下："; }

}  // namespace

std::optional<std::array<double, 3>> measuredSpacings(const ReportFields& f) {
    if (f.scaleReading == 0) return std::nullopt;
    const double pixelsPerInverseNm = f.scaleLength / f.scaleReading;
    if (!std::isfinite(pixelsPerInverseNm)) return std::nullopt;
    std::array<double, 3> d{};
    for (std::size_t n = 0; n < 3; ++n) {
        if (f.lengths[n] == 0) return std::nullopt;
        d[n] = f.segments[n] * pixelsPerInverseNm / f.lengths[n];
        if (!std::isfinite(d[n])) return std::nullopt;
    }
    return d;
}

std::string reportHeaderLine(double m12Deg) {
    const char* const fields[23] = {
        "   组号", " ", "R1", " ", " ", " ", "R2", " ", " ", " ", "R3", " ", " ", "d1", " ", "d2", " ", "d3",
        " ", " ", m12Deg > 100 ? "<R1,R2> " : "<R1,R2>", "<R2,R3>", "<R1,R3>"};
    std::string line = fields[0];
    for (int i = 1; i < 23; ++i) {
        line += '\t';
        line += fields[i];
    }
    return line;
}

std::string reportRowLine(const ReportRow& row) {
    assert(row.size() >= 2);
    std::string line = row[0];
    for (std::size_t j = 1; j + 1 < row.size(); ++j) {
        line += '\t';
        line += row[j];
    }
    line += ' ';
    line += row.back();
    return line;
}

ReportLines resultReportLines(const ReportFields& fields, const std::vector<ReportRow>& rows) {
    ReportLines out;
    out.lines = {nameLine(fields, false), edgesLine(fields), anglesLine(fields)};
    const auto d = measuredSpacings(fields);
    if (!d) {
        out.complete = false;
        return out;
    }
    out.lines.push_back(fields.image + "图片测量数值为：");
    out.lines.push_back(measuredLine(fields, *d));
    out.lines.push_back(resultsLine(fields));
    out.lines.push_back(reportHeaderLine(fields.anglesDeg[0]));
    for (const ReportRow& row : rows) out.lines.push_back(reportRowLine(row));
    if (!fields.calibration.empty()) out.lines.push_back("所选标定：" + fields.calibration);
    return out;
}

ReportLines screeningBlockLines(const ReportFields& fields, const std::vector<ReportRow>& rows) {
    ReportLines out;
    if (rows.empty()) return out;
    out.lines = {nameLine(fields, true), edgesLine(fields), anglesLine(fields)};
    const auto d = measuredSpacings(fields);
    if (!d) {
        out.complete = false;
        return out;
    }
    out.lines.push_back(fields.image + "图片测量数值为：" + measuredLine(fields, *d));
    out.lines.push_back(resultsLine(fields));
    out.lines.push_back(reportHeaderLine(fields.anglesDeg[0]));
    for (const ReportRow& row : rows) out.lines.push_back(reportRowLine(row));
    if (!fields.calibration.empty()) out.lines.push_back("所选标定：" + fields.calibration);
    return out;
}

std::string reportFileName(const Stamp& s) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d%02d%02d", s.year, s.month, s.day, s.hour, s.minute,
                  s.second);
    return std::string("标定结果") + buffer + ".txt";
}

}  // namespace saed::store
