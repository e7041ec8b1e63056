// SPDX-License-Identifier: BSD-3-Clause
#include "app/imagepattern.h"

#include <algorithm>  // for find
#include <cmath>      // for atan2

#include <QCoreApplication>
#include <QDir>

#include "analysis/identify.h"
#include "measure/imagefile.h"

namespace saed::app {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(saed::app::ImagePattern)
};

double directionDeg(const analysis::NetVector& v) { return std::atan2(-v.y, v.x) * 180.0 / M_PI; }

}  // namespace

std::optional<ImagePatternRequest> imagePatternRequest(const QString& path, const PatternPhase& phase, QString& error) {
    measure::LoadedImage loaded = measure::loadImage(path);
    if (!loaded.raster) {
        error = Texts::tr("无法读取图像 %1：%2").arg(QDir::toNativeSeparators(path), loaded.error);
        return std::nullopt;
    }
    ImagePatternRequest request;
    const std::optional<core::Calibration>& own = loaded.raster->calibration;
    request.settings.calibration =
        own && own->reciprocal && own->perPixel > 0 ? std::optional<double>(own->perPixel) : phase.calibration;
    request.phases.phases = {phase.phase};
    request.phases.latticeTypes = {phase.latticeType};
    request.raster = std::move(*loaded.raster);
    return request;
}

std::optional<ImagePattern> imagePatternFrom(const analysis::ImageIdentification& found, const QString& path,
                                             const PatternPhase& phase, QString& error) {
    const QString shown = QDir::toNativeSeparators(path);
    if (found.net.status != analysis::NetStatus::Ok) {
        error = Texts::tr("%1：%2").arg(shown, analysis::netStatusText(found.net.status));
        return std::nullopt;
    }
    if (found.candidates.empty()) {
        error = Texts::tr("%1 的斑点与 %2 的任何晶带都不相符").arg(shown, QString::fromStdString(phase.phase.name));
        return std::nullopt;
    }
    ImagePattern pattern;
    pattern.directionsDeg = {directionDeg(found.net.a), directionDeg(found.net.b)};
    std::vector<core::Uvw> families;  // the zone family of each id - 1
    for (std::size_t i = 0; i < found.candidates.size(); ++i) {
        const analysis::Candidate& c = found.candidates[i];
        auto known = std::find(families.begin(), families.end(), c.family);
        if (known == families.end()) known = families.insert(families.end(), c.family);
        pattern.rows.push_back({static_cast<int>(i) + 1, static_cast<int>(known - families.begin()) + 1, c.g1, c.g2,
                                c.zone, 0});
    }
    return pattern;
}

}  // namespace saed::app
