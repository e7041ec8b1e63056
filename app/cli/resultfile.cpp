// SPDX-License-Identifier: BSD-3-Clause
#include "app/cli/resultfile.h"

#include <algorithm>  // for find
#include <cmath>      // for atan2, fabs, floor, isfinite, round, INFINITY, NAN

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace saed::cli {

namespace {

struct ResultFileTexts {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::ResultFile)
};

// A result file holds a few hundred bytes per row; the run's row limit keeps it far below this.
constexpr qint64 kMaxResultBytes = qint64(1) << 30;

template <typename Array>
bool readWhole(const QJsonValue& value, Array& out) {
    const QJsonArray array = value.toArray();
    if (array.size() != static_cast<qsizetype>(out.size())) return false;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const double v = array[i].toDouble(NAN);
        if (!array[i].isDouble() || v != std::round(v) || std::fabs(v) > 1e6) return false;
        out[static_cast<std::size_t>(i)] = static_cast<typename Array::value_type>(v);
    }
    return true;
}

std::optional<QJsonObject> readJsonObject(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = ResultFileTexts::tr("无法读取 %1：%2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxResultBytes) {
        error = ResultFileTexts::tr("%1 太大，不像是标定结果").arg(path);
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull() || !document.isObject()) {
        error = ResultFileTexts::tr("%1 不是 JSON：%2").arg(path, parseError.errorString());
        return std::nullopt;
    }
    return document.object();
}

std::optional<ResultFile> runResult(const QJsonObject& root, const QString& path, QString& error) {
    const QJsonObject input = root[u"input"].toObject();
    const QJsonArray cell = input[u"cell"].toArray();
    const QJsonArray rows = root[u"rows"].toArray();
    if (cell.size() != 6 || !root[u"rows"].isArray()) {
        error = ResultFileTexts::tr("%1 不是 saedindex-cli index --format json 写出的标定结果（缺少 input.cell 或 rows）")
                    .arg(path);
        return std::nullopt;
    }
    ResultFile result;
    result.cell = {cell[0].toDouble(), cell[1].toDouble(), cell[2].toDouble(),
                   cell[3].toDouble(), cell[4].toDouble(), cell[5].toDouble()};
    // A file without a type was run with none chosen; a number the selector never had is refused.
    const QJsonValue typeCode = input[u"type"];
    std::optional<core::LatticeType> type = core::LatticeType::None;
    if (!typeCode.isUndefined() && !typeCode.isNull()) {
        const double code = typeCode.toDouble(NAN);  // NAN for a value that is no number
        type = code >= -1 && code <= 5 && code == std::floor(code) ? core::latticeTypeFromCode(static_cast<long long>(code))
                                                                   : std::nullopt;
    }
    if (!type) {
        error = ResultFileTexts::tr("%1：input.type 须为 -1 到 5 的整数（点阵类型的序号）").arg(path);
        return std::nullopt;
    }
    result.type = *type;
    result.spaceGroup = input[u"spaceGroup"].toString();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        calculator::IndexedSolution s;
        s.group = row[u"group"].toInt(static_cast<int>(i) + 1);
        s.family = row[u"family"].toInt(0);
        s.misfit = row[u"misfit"].isDouble() ? row[u"misfit"].toDouble() : INFINITY;
        if (!readWhole(row[u"g1"], s.g1) || !readWhole(row[u"g2"], s.g2) || !readWhole(row[u"zone"], s.zone)) {
            error = ResultFileTexts::tr("%1：第 %2 行的 g1、g2 或 zone 不是整数指数").arg(path).arg(i + 1);
            return std::nullopt;
        }
        result.rows.push_back(s);
    }
    for (const QJsonValue value : root[u"families"].toArray()) {
        core::Uvw zone{};
        if (readWhole(value[u"zone"], zone)) result.familyZones[value[u"id"].toInt()] = zone;
    }
    return result;
}

bool sameCell(const core::Cell& a, const core::Cell& b) {
    const auto close = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * std::fmax(1.0, std::fabs(x)); };
    return close(a.aNm, b.aNm) && close(a.bNm, b.bNm) && close(a.cNm, b.cNm) && close(a.alphaDeg, b.alphaDeg) &&
           close(a.betaDeg, b.betaDeg) && close(a.gammaDeg, b.gammaDeg);
}

// Degrees counter-clockwise from the image's right of a vector in image pixels (y down).
std::optional<double> imageDirection(const QJsonValue& vector) {
    const double x = vector[u"x"].toDouble(NAN), y = vector[u"y"].toDouble(NAN);
    if (!std::isfinite(x) || !std::isfinite(y) || (x == 0 && y == 0)) return std::nullopt;
    return std::atan2(-y, x) * 180.0 / M_PI;
}

// The candidates of an identification, one set per phase (name, cell and space group), in the
// order of each phase's best candidate. Each phase's families are numbered from 1 by their
// zone family in the order the candidates give them.
std::optional<std::vector<ResultFile>> identifiedSets(const QJsonObject& root, const QString& path, QString& error) {
    const QJsonArray candidates = root[u"candidates"].toArray();
    std::optional<std::array<double, 2>> directions;
    const QJsonArray basis = root[u"net"][u"basis"].toArray();
    if (basis.size() == 2) {
        const auto a = imageDirection(basis[0]), b = imageDirection(basis[1]);
        if (a && b) directions = std::array<double, 2>{*a, *b};
    }
    std::vector<ResultFile> sets;
    std::vector<std::vector<core::Uvw>> families;  // by set: the zone family of each id - 1
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QJsonObject c = candidates[i].toObject();
        const QJsonArray cell = c[u"cell"].toArray();
        if (cell.size() != 6) {
            error = ResultFileTexts::tr("%1：候选 %2 没有晶胞（cell）；请用本版 saedindex-cli identify 重新写出").arg(path).arg(i + 1);
            return std::nullopt;
        }
        ResultFile phase;
        phase.cell = {cell[0].toDouble(), cell[1].toDouble(), cell[2].toDouble(),
                      cell[3].toDouble(), cell[4].toDouble(), cell[5].toDouble()};
        phase.phase = c[u"phase"].toString();
        phase.spaceGroup = c[u"spaceGroup"][u"hm"].toString();
        phase.candidates = true;
        phase.directionsDeg = directions;
        calculator::IndexedSolution s;
        s.group = c[u"rank"].toInt(static_cast<int>(i) + 1);
        s.misfit = 0;
        core::Uvw family{};
        if (!readWhole(c[u"g1"], s.g1) || !readWhole(c[u"g2"], s.g2) || !readWhole(c[u"zone"], s.zone) ||
            !readWhole(c[u"family"], family)) {
            error = ResultFileTexts::tr("%1：候选 %2 的 g1、g2、zone 或 family 不是整数指数").arg(path).arg(i + 1);
            return std::nullopt;
        }
        std::size_t at = 0;
        while (at < sets.size() && !(sets[at].phase == phase.phase && sets[at].spaceGroup == phase.spaceGroup &&
                                     sameCell(sets[at].cell, phase.cell)))
            ++at;
        if (at == sets.size()) {
            sets.push_back(phase);
            families.emplace_back();
        }
        std::vector<core::Uvw>& ids = families[at];
        const auto known = std::find(ids.begin(), ids.end(), family);
        s.family = static_cast<int>(known - ids.begin()) + 1;
        if (known == ids.end()) {
            ids.push_back(family);
            sets[at].familyZones[s.family] = family;
        }
        sets[at].rows.push_back(s);
    }
    return sets;
}

}  // namespace

std::optional<ResultFile> readResultFile(const QString& path, QString& error) {
    const std::optional<QJsonObject> root = readJsonObject(path, error);
    return root ? runResult(*root, path, error) : std::nullopt;
}

std::optional<std::vector<ResultFile>> readResultSets(const QString& path, QString& error) {
    const std::optional<QJsonObject> root = readJsonObject(path, error);
    if (!root) return std::nullopt;
    if (!root->contains(u"input") && !root->contains(u"rows")) {
        if ((*root)[u"candidates"].isArray()) return identifiedSets(*root, path, error);
        error = ResultFileTexts::tr("%1 不是 saedindex-cli index 或 identify --format json 写出的结果"
                                    "（缺少 input.cell 与 rows，或 candidates）")
                    .arg(path);
        return std::nullopt;
    }
    std::optional<ResultFile> run = runResult(*root, path, error);
    if (!run) return std::nullopt;
    return std::vector<ResultFile>{std::move(*run)};
}

bool samePhase(const ResultFile& a, const ResultFile& b) {
    if (!sameCell(a.cell, b.cell)) return false;
    if (!a.candidates && !b.candidates) return a.type == b.type && a.spaceGroup == b.spaceGroup;
    const auto agree = [](const QString& x, const QString& y) { return x.isEmpty() || y.isEmpty() || x == y; };
    // "F m -3 m (225)" as a run writes it and "F m -3 m" as an identification does.
    const auto symbol = [](QString text) {
        text.remove(QRegularExpression(QStringLiteral("\\(\\d+\\)\\s*$")));
        return text.remove(u' ');
    };
    return agree(symbol(a.spaceGroup), symbol(b.spaceGroup)) && agree(a.phase, b.phase);
}

}  // namespace saed::cli
