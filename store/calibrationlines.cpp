// SPDX-License-Identifier: BSD-3-Clause
// The line layout of the calibration store.
#include "store/calibrationlines.h"

#include <charconv>  // for to_chars, from_chars
#include <cmath>     // for isfinite

namespace saed::store {

namespace {

std::string number(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::optional<double> readNumber(std::string_view text) {
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool hasBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string oneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

NameProblem calibrationNameProblem(std::string_view name) {
    if (trim(name).empty()) return NameProblem::Empty;
    if (hasBreak(name) || name.find_first_of("[]=") != std::string_view::npos) return NameProblem::BadCharacter;
    if (trim(name).size() != name.size()) return NameProblem::Blanks;
    return NameProblem::None;
}

std::vector<std::string> calibrationLines(const std::vector<SavedCalibration>& calibrations) {
    std::vector<std::string> out;
    for (const SavedCalibration& c : calibrations) {
        if (!out.empty()) out.emplace_back();
        out.push_back('[' + c.name + ']');
        out.push_back("microscope=" + oneLine(c.microscope));
        out.push_back("voltageKv=" + number(c.voltageKv));
        out.push_back("cameraLengthMm=" + number(c.cameraLengthMm));
        out.push_back("magnification=" + number(c.magnification));
        out.push_back("binning=" + std::to_string(c.binning));
        out.push_back("perPixel=" + number(c.perPixel));
        out.push_back("perPixelSigma=" + number(c.perPixelSigma));
        out.push_back("axisRatio=" + number(c.distortion.ratio));
        out.push_back("axisRatioSigma=" + number(c.ratioSigma));
        out.push_back("axisAngleDeg=" + number(c.distortion.angleDeg));
        out.push_back("axisAngleSigmaDeg=" + number(c.angleSigmaDeg));
        out.push_back("date=" + oneLine(c.date));
        out.push_back("standard=" + oneLine(c.standard));
        out.push_back("standardFile=" + oneLine(c.standardFile));
    }
    return out;
}

std::optional<std::vector<SavedCalibration>> parseCalibrations(const std::vector<std::string>& lines, int& badLine) {
    std::vector<SavedCalibration> out;
    std::vector<int> sectionLine;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        badLine = static_cast<int>(n) + 1;
        std::string_view line = trim(lines[n]);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return std::nullopt;
            SavedCalibration c;
            c.name = std::string(line.substr(1, line.size() - 2));
            if (calibrationNameProblem(c.name) != NameProblem::None) return std::nullopt;
            for (const auto& o : out)
                if (o.name == c.name) return std::nullopt;
            out.push_back(std::move(c));
            sectionLine.push_back(badLine);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || out.empty()) return std::nullopt;
        const std::string_view key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        SavedCalibration& c = out.back();
        const auto numeric = [&](double& target) {
            const auto v = readNumber(value);
            if (!v) return false;
            target = *v;
            return true;
        };
        bool ok = true;
        if (key == "microscope") c.microscope = value;
        else if (key == "voltageKv") ok = numeric(c.voltageKv);
        else if (key == "cameraLengthMm") ok = numeric(c.cameraLengthMm);
        else if (key == "magnification") ok = numeric(c.magnification);
        else if (key == "binning") {
            double b = 0;
            ok = numeric(b) && b >= 1 && b <= 64 && b == static_cast<int>(b);
            if (ok) c.binning = static_cast<int>(b);
        } else if (key == "perPixel") ok = numeric(c.perPixel);
        else if (key == "perPixelSigma") ok = numeric(c.perPixelSigma);
        else if (key == "axisRatio") ok = numeric(c.distortion.ratio) && c.distortion.ratio >= 1 && c.distortion.ratio < 2;
        else if (key == "axisRatioSigma") ok = numeric(c.ratioSigma);
        else if (key == "axisAngleDeg") ok = numeric(c.distortion.angleDeg);
        else if (key == "axisAngleSigmaDeg") ok = numeric(c.angleSigmaDeg);
        else if (key == "date") c.date = value;
        else if (key == "standard") c.standard = value;
        else if (key == "standardFile") c.standardFile = value;
        if (!ok) return std::nullopt;
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!(out[i].perPixel > 0)) {
            badLine = sectionLine[i];
            return std::nullopt;
        }
    badLine = 0;
    return out;
}

}  // namespace saed::store
