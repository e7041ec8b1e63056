// SPDX-License-Identifier: BSD-3-Clause
// The identification of the window's image on a worker thread, and its texts.
#include "analysis/identifyrun.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cmath>    // for fabs, fmax, isfinite
#include <cstdlib>  // for strtod

#include "library/phaselibrary.h"
#include "model/mainmodel.h"
#include "model/texts.h"

namespace saed::analysis {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(saed::analysis::IdentifyRun)
};

// The cell of a nine-field record: a, b, c (nm) and the angles as its fields write them.
std::optional<core::Cell> recordCell(const std::array<std::string, 6>& fields) {
    double v[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::string& text = fields[i];
        char* end = nullptr;
        v[i] = std::strtod(text.c_str(), &end);
        if (end == text.c_str()) return std::nullopt;
    }
    const core::Cell cell{v[0], v[1], v[2], v[3], v[4], v[5]};
    if (!core::isCell(cell)) return std::nullopt;
    return cell;
}

}  // namespace

IdentifyPhases identifyPhases(const ScreeningRequest& request) {
    IdentifyPhases out;
    for (const int r : request.selection) {
        if (r < 1 || r > static_cast<int>(request.records.size())) continue;
        const auto at = static_cast<std::size_t>(r - 1);
        if (const library::CrystalPhase* crystal = at < request.crystals.size() ? request.crystals[at].get() : nullptr) {
            if (!core::isCell(crystal->cell)) continue;
            out.phases.push_back(*crystal);
            out.latticeTypes.push_back(core::LatticeType::SpaceGroup);
        } else {
            const library::PhaseTexts& record = request.records[at];
            const std::optional<core::Cell> cell = recordCell(record.lattice);
            if (!cell) continue;
            library::CrystalPhase phase;
            phase.name = record.name;
            phase.cell = *cell;
            out.phases.push_back(std::move(phase));
            out.latticeTypes.push_back(library::latticeTypeFromText(record.type));
        }
        out.records.push_back(r);
    }
    return out;
}

IdentifyPhases identifyPhases(const model::MainModel& model) {
    ScreeningRequest request = screeningRequest(model);
    const bool none = request.selection.empty();
    if (none)
        for (int r = 1; r <= static_cast<int>(request.records.size()); ++r) request.selection.push_back(r);
    IdentifyPhases out = identifyPhases(request);
    out.allTaken = none;
    return out;
}

std::optional<double> fieldCalibration(const model::MainModel& model) {
    const double reading = model.value(model::Field::ScaleReading);
    const double length = model.value(model::Field::ScaleLength);
    if (!(reading > 0) || !(length > 0) || !std::isfinite(reading / length)) return std::nullopt;
    return reading / length;
}

std::optional<PatternPhase> latticeFieldsPhase(const model::MainModel& model) {
    using model::Field;
    const core::Cell cell{model.value(Field::A),     model.value(Field::B),    model.value(Field::C),
                          model.value(Field::Alpha), model.value(Field::Beta), model.value(Field::Gamma)};
    if (!core::isCell(cell)) return std::nullopt;
    PatternPhase found;
    found.calibration = fieldCalibration(model);
    const core::LatticeType type = model.Combo1();
    if (core::isLatticeCentring(type)) {
        found.phase.name = model.Text6().trimmed().toStdString();
        found.phase.cell = cell;
        found.latticeType = type;
        return found;
    }
    const auto close = [](double x, double y) { return std::fabs(x - y) <= 1e-6 * std::fmax(1.0, std::fabs(x)); };
    const library::PhaseLibrary& library = *library::phaseLibrary(model);
    for (int r = 1; r <= library.tree().recordCount(); ++r) {
        const library::CrystalPhase* crystal = library.crystal(r);
        if (crystal == nullptr) continue;
        const core::Cell& c = crystal->cell;
        if (close(c.aNm, cell.aNm) && close(c.bNm, cell.bNm) && close(c.cNm, cell.cNm) &&
            close(c.alphaDeg, cell.alphaDeg) && close(c.betaDeg, cell.betaDeg) && close(c.gammaDeg, cell.gammaDeg)) {
            found.phase = *crystal;
            return found;
        }
    }
    return std::nullopt;
}

bool loadLibraryRecord(model::MainModel& model, int record) {
    const library::PhaseLibrary& library = *library::phaseLibrary(model);
    const library::PhaseTree& tree = library.tree();
    if (record < 1 || record > tree.recordCount()) return false;
    const auto& f = tree.records()[static_cast<std::size_t>(record - 1)].fields;
    const library::PhaseTexts texts{f[0], f[1], f[2], {f[3], f[4], f[5], f[6], f[7], f[8]}};
    loadPhaseRecord(model, texts, library.crystal(record));
    return true;
}

QString netStatusText(NetStatus status) {
    switch (status) {
    case NetStatus::NoSpots: return Texts::tr("图像中没有检出斑点（空白或饱和的图像？）");
    case NetStatus::OneSpot: return Texts::tr("只检出一个斑点：无法确定倒易网");
    case NetStatus::OneRow: return Texts::tr("斑点只有一行：请倾转到晶带轴");
    case NetStatus::RingPattern: return Texts::tr("这看起来是环花样（多晶），不是单晶斑点花样");
    case NetStatus::TooManySpots:
        return Texts::tr("检出的斑点超过 %1 个：这不是单晶斑点花样（噪声或环花样？）").arg(kMaxNetSpots);
    case NetStatus::NoNet: return Texts::tr("检出的斑点不构成二维倒易网");
    case NetStatus::Ok: break;
    }
    return {};
}

QString tieBreakText(TieBreak hint) {
    switch (hint) {
    case TieBreak::AnotherZone: return Texts::tr("倾转到另一晶带轴可区分");
    case TieBreak::Calibration: return Texts::tr("更准的标定或另一晶带轴可区分");
    case TieBreak::None: break;
    }
    return {};
}

std::optional<measure::AutoPattern> candidatePattern(const NetFit& net, const std::vector<measure::Spot>& spots) {
    if (net.status != NetStatus::Ok) return std::nullopt;
    return measure::patternFromVectors(net.centre, {net.a.x, net.a.y}, {net.b.x, net.b.y}, spots);
}

IdentifyRun::IdentifyRun(QObject* parent) : QObject(parent) {}

IdentifyRun::~IdentifyRun() {
    if (m_cancel) *m_cancel = true;
    join();
}

void IdentifyRun::join() {
    if (m_worker.joinable()) m_worker.join();
}

bool IdentifyRun::start(core::Raster raster, IdentifyPhases phases, IdentifySettings settings,
                        std::optional<core::PixelPoint> lockedCentre) {
    if (m_running) return false;
    join();
    m_running = true;
    m_outcome.reset();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancel;
    // The worker owns its copy of the image and the phases; what it finds comes back to this
    // thread as queued calls, which Qt drops should the run be gone by then.
    m_worker = std::thread([this, cancel, raster = std::move(raster), phases = std::move(phases), settings,
                            lockedCentre]() mutable {
        auto outcome = std::make_shared<IdentifyOutcome>();
        outcome->settings = settings;
        outcome->centreLocked = lockedCentre.has_value();
        PhaseSearch search(phases.phases, phases.latticeTypes);
        outcome->phases = std::move(phases);
        int last = -1;
        const auto told = [&](std::size_t done, std::size_t total) {
            if (*cancel) return false;
            if (static_cast<int>(done) != last) {
                last = static_cast<int>(done);
                QMetaObject::invokeMethod(
                    this, [this, done, total] { emit this->progress(static_cast<int>(done), static_cast<int>(total)); },
                    Qt::QueuedConnection);
            }
            return true;
        };
        outcome->result = identifyImage(raster, search, settings, lockedCentre, told);
        QMetaObject::invokeMethod(
            this,
            [this, cancel, outcome] {
                m_running = false;
                join();
                const bool completed = !*cancel;
                if (completed) m_outcome = std::move(*outcome);
                emit finished(completed);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void IdentifyRun::cancel() {
    if (m_running && m_cancel) *m_cancel = true;
}

}  // namespace saed::analysis
