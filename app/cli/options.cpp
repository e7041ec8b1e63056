// SPDX-License-Identifier: BSD-3-Clause
#include "app/cli/options.h"

#include <array>
#include <cmath>  // for isfinite, NAN
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include "core/numbertext.h"
#include "model/mainmodel.h"
#include "library/phasetree.h"
#include "store/textfile.h"

namespace saed::cli {

namespace {

struct OptionTexts {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Options)
};

// Why value i (from 0) of pattern option --`name` cannot be measured, empty when it can: every
// value is a number; spacings, scale readings, lengths and segment counts are above 0,
// tolerances not below 0, and angles between two spots within 0 to 180 degrees.
QString patternValueProblem(const QString& name, int i, const QString& text) {
    const std::string plain = text.toStdString();
    const double v = core::isNumeric(plain) ? core::leadingNumber(plain) : NAN;
    const QString place = QStringLiteral("--%1").arg(name);
    const QString value = QString::number(i + 1);
    if (!std::isfinite(v)) return OptionTexts::tr("%1 的第 %2 个值“%3”不是数字").arg(place, value, text);
    if (name == QStringLiteral("angles")) {
        if (v < 0 || v > 180) return OptionTexts::tr("%1 的第 %2 个值“%3”须在 0° 到 180° 之间").arg(place, value, text);
    } else if (name.startsWith(QStringLiteral("tol-"))) {
        if (v < 0) return OptionTexts::tr("%1 的第 %2 个值“%3”不能为负").arg(place, value, text);
    } else if (!(v > 0)) {
        return OptionTexts::tr("%1 的第 %2 个值“%3”须大于 0").arg(place, value, text);
    }
    return {};
}

}  // namespace

bool Options::parse(const QStringList& args, const QStringList& withValue, const QStringList& flags) {
    m_values.clear();
    m_error.clear();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QStringLiteral("--")) || arg.size() == 2) {
            m_error = QCoreApplication::translate("saed::cli::Options", "多余的参数“%1”").arg(arg);
            return false;
        }
        QString name = arg.mid(2);
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (m_values.contains(name)) {
            m_error = QCoreApplication::translate("saed::cli::Options", "选项 --%1 给了两次").arg(name);
            return false;
        }
        if (flags.contains(name)) {
            if (value) {
                m_error = QCoreApplication::translate("saed::cli::Options", "选项 --%1 不带值").arg(name);
                return false;
            }
            m_values.insert(name, QString());
        } else if (withValue.contains(name)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    m_error = QCoreApplication::translate("saed::cli::Options", "选项 --%1 需要一个值").arg(name);
                    return false;
                }
                value = args[++i];
            }
            m_values.insert(name, *value);
        } else {
            m_error = unknownOption(arg, withValue, flags);
            return false;
        }
    }
    return true;
}

QString Options::unknownOption(const QString& word, const QStringList& withValue, const QStringList& flags) {
    if (!word.startsWith(QStringLiteral("--")) || word.size() == 2) return {};
    const QString name = word.mid(2).section(u'=', 0, 0);
    if (withValue.contains(name) || flags.contains(name)) return {};
    return QCoreApplication::translate("saed::cli::Options", "未知选项 --%1").arg(name);
}

std::optional<QStringList> Options::list(const QString& name, int count) {
    QStringList parts = value(name).split(u',');
    for (QString& part : parts) part = part.trimmed();
    if (parts.size() != count) {
        m_error = QCoreApplication::translate("saed::cli::Options", "选项 --%1 需要 %2 个以逗号分隔的值，实际为 %3 个")
                      .arg(name)
                      .arg(count)
                      .arg(parts.size());
        return std::nullopt;
    }
    return parts;
}

QStringList patternOptionNames() {
    return {QStringLiteral("range"), QStringLiteral("scale"), QStringLiteral("r1"),
            QStringLiteral("r2"),    QStringLiteral("r3"),    QStringLiteral("d"),
            QStringLiteral("angles"), QStringLiteral("tol-d"), QStringLiteral("tol-angle")};
}

QString patternOptionsProblem(const Options& options) {
    const bool spacingsGiven = options.has(QStringLiteral("d"));
    const bool scaleGiven = options.has(QStringLiteral("scale")) || options.has(QStringLiteral("r1")) ||
                            options.has(QStringLiteral("r2")) || options.has(QStringLiteral("r3"));
    if (!options.has(QStringLiteral("angles"))) return OptionTexts::tr("缺少 --angles");
    if (spacingsGiven && scaleGiven)
        return OptionTexts::tr("--d 与 --scale（连同 --r1、--r2、--r3）只能给出其一");
    if (!spacingsGiven && !(options.has(QStringLiteral("scale")) && options.has(QStringLiteral("r1")) &&
                            options.has(QStringLiteral("r2")) && options.has(QStringLiteral("r3"))))
        return OptionTexts::tr("请给出 --d，或 --scale 连同 --r1、--r2、--r3");
    return {};
}

bool fillPatternFields(Options& options, model::MainModel& model) {
    using model::Field;
    struct ListOption {
        const char16_t* name;
        int count;
        std::array<Field, 3> fields;
    };
    std::vector<ListOption> lists = {
        {u"angles", 3, {Field::AngleR1R2, Field::AngleR2R3, Field::AngleR1R3}},
        {u"tol-d", 3, {Field::TolD1, Field::TolD2, Field::TolD3}},
        {u"tol-angle", 3, {Field::TolAngle12, Field::TolAngle23, Field::TolAngle13}}};
    if (options.has(QStringLiteral("d"))) {
        // Spacings given directly: a scale of 1 and lengths of 1, so that each d is its N.
        lists.push_back({u"d", 3, {Field::SegmentsR1, Field::SegmentsR2, Field::SegmentsR3}});
        for (Field f : {Field::ScaleReading, Field::ScaleLength, Field::LengthR1, Field::LengthR2, Field::LengthR3})
            model.setText1(f, QStringLiteral("1"));
    } else {
        lists.push_back({u"scale", 2, {Field::ScaleReading, Field::ScaleLength, Field::A}});
        lists.push_back({u"r1", 2, {Field::LengthR1, Field::SegmentsR1, Field::A}});
        lists.push_back({u"r2", 2, {Field::LengthR2, Field::SegmentsR2, Field::A}});
        lists.push_back({u"r3", 2, {Field::LengthR3, Field::SegmentsR3, Field::A}});
    }
    for (const ListOption& option : lists) {
        const QString name = QString::fromUtf16(option.name);
        if (!options.has(name)) continue;
        const std::optional<QStringList> texts = options.list(name, option.count);
        if (!texts) return false;
        for (int i = 0; i < option.count; ++i) {
            if (const QString problem = patternValueProblem(name, i, (*texts)[i]); !problem.isEmpty()) {
                options.setError(problem);
                return false;
            }
            model.setText1(option.fields[static_cast<std::size_t>(i)], (*texts)[i]);
        }
    }
    if (options.has(QStringLiteral("range"))) {
        // The window's field takes whole numbers only; 1.5 is not rounded for the user.
        const QString range = options.value(QStringLiteral("range")).trimmed();
        bool whole = false;
        const int n = range.toInt(&whole);
        if (!whole || n < 0 || n > 99) {
            options.setError(OptionTexts::tr("--range：“%1”须为 0 到 99 的整数").arg(range));
            return false;
        }
        model.setText1(Field::Range, range);
    }
    return true;
}

std::optional<OutputFormat> parseOutputFormat(const QString& text) {
    if (text == QStringLiteral("text")) return OutputFormat::Text;
    if (text == QStringLiteral("tsv")) return OutputFormat::Tsv;
    if (text == QStringLiteral("json")) return OutputFormat::Json;
    return std::nullopt;
}

bool buildLibraryTree(const QString& path, library::PhaseTree& tree, const char* command, QTextStream& err) {
    std::string text(library::kLibraryText);
    if (!path.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << command << ": " << OptionTexts::tr("无法读取“%1”：%2").arg(path, file.errorString()) << '\n';
            return false;
        }
        // A library of a million phases is a few tens of megabytes; anything larger is not one.
        constexpr qint64 kMaxLibraryBytes = qint64{64} << 20;
        if (file.size() > kMaxLibraryBytes) {
            err << command << ": "
                << OptionTexts::tr("“%1”有 %2 字节，超过物相库文本的上限 %3 字节").arg(path).arg(file.size()).arg(kMaxLibraryBytes)
                << '\n';
            return false;
        }
        text = store::decodeLibraryText(file.readAll()).toStdString();
    }
    if (tree.build(text)) return true;
    const std::string incomplete = library::incompleteRecordMessage(tree.library());
    err << command << ": " << OptionTexts::tr("“%1”：").arg(path)
        << (incomplete.empty() ? OptionTexts::tr("物相库文本中没有物相记录") : QString::fromStdString(incomplete))
        << '\n';
    return false;
}

}  // namespace saed::cli
