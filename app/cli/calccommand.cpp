// saedindex-cli calc: spacings, angles and zone axis of three planes, as the calculator panel.
#include "app/cli/commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>

#include "model/mainmodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "calculator/calculatoroperations.h"

namespace saed::cli {

namespace {

const char kCalcUsage[] =
    "usage: saedindex-cli calc --cell a,b,c,alpha,beta,gamma --p1 h,k,l --p2 h,k,l --p3 h,k,l\n"
    "                          [--format text|json]\n"
    "\n"
    "Spacings of the three planes, the angles <R1,R2>, <R2,R3>, <R1,R3> and the zone axis of\n"
    "planes 1 and 2, for a cell with edges in nm and angles in degrees.\n";

struct CalcOptions {
    QString cell, p1, p2, p3;
    QString format = QStringLiteral("text");
};

// Reads "--name value" and "--name=value"; false with a message on `err` for anything else.
bool readOptions(const QStringList& args, CalcOptions& options, QTextStream& err) {
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (name.startsWith(QStringLiteral("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            err << "saedindex-cli calc: " << name << " needs a value\n";
            return false;
        }
        if (name == QStringLiteral("--cell"))
            options.cell = value;
        else if (name == QStringLiteral("--p1"))
            options.p1 = value;
        else if (name == QStringLiteral("--p2"))
            options.p2 = value;
        else if (name == QStringLiteral("--p3"))
            options.p3 = value;
        else if (name == QStringLiteral("--format"))
            options.format = value;
        else {
            err << "saedindex-cli calc: unknown option '" << name << "'\n";
            return false;
        }
    }
    return true;
}

// Splits "x,y,z" into exactly `count` texts, blanks around each trimmed.
bool splitList(const QString& text, int count, const char* option, QStringList& parts,
               QTextStream& err) {
    parts = text.split(QLatin1Char(','));
    if (parts.size() != count) {
        err << "saedindex-cli calc: " << option << " takes " << count
            << " comma-separated values, got '" << text << "'\n";
        return false;
    }
    for (QString& p : parts) p = p.trimmed();
    return true;
}

QJsonValue numberOrNull(const QString& text) {
    if (text == model::calculatorOutputIdleText()) return QJsonValue(QJsonValue::Null);
    QString plain = text;
    plain.remove(QLatin1Char(','));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

}  // namespace

int runCalcCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << kCalcUsage;
        return 0;
    }
    CalcOptions options;
    if (!readOptions(args, options, err)) return 2;
    if (options.cell.isEmpty() || options.p1.isEmpty() || options.p2.isEmpty() ||
        options.p3.isEmpty()) {
        err << "saedindex-cli calc: --cell, --p1, --p2 and --p3 are all needed\n\n" << kCalcUsage;
        return 2;
    }
    if (options.format != QStringLiteral("text") && options.format != QStringLiteral("json")) {
        err << "saedindex-cli calc: --format is text or json, not '" << options.format << "'\n";
        return 2;
    }
    QStringList cell, planes[3];
    if (!splitList(options.cell, 6, "--cell", cell, err) ||
        !splitList(options.p1, 3, "--p1", planes[0], err) ||
        !splitList(options.p2, 3, "--p2", planes[1], err) ||
        !splitList(options.p3, 3, "--p3", planes[2], err))
        return 2;

    model::MainModel model;
    model::ScriptedPrompts prompts;
    using model::Field;
    for (int i = 0; i < 6; ++i) model.setText1(fieldNumber(Field::A, i), cell[i]);
    // Plane j fills h, k, l into H(j + 1), K(j + 1), L(j + 1).
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) model.setText1(fieldNumber(Field::H1, 3 * i + j), planes[j][i]);

    int badField = -1;
    QObject::connect(&model, &model::MainModel::focusRequested, [&badField](int n) { badField = n; });
    if (!calculator::calculate(model, prompts)) {
        const int j = (badField - fieldNumber(Field::H1)) % 3, i = (badField - fieldNumber(Field::H1)) / 3;
        err << "saedindex-cli calc: " << model::notNumericMessage() << " (--p" << (j + 1) << " value "
            << (i + 1) << ": '" << model.Text1(badField) << "')\n";
        return 2;
    }
    const bool cellValid = prompts.questions().empty();

    const model::Caption spacingLabels[3] = {model::Caption::Label1_47, model::Caption::Label1_48,
                                           model::Caption::Label1_49};
    const char* angleNames[3] = {"<R1,R2>", "<R2,R3>", "<R1,R3>"};
    if (options.format == QStringLiteral("json")) {
        QJsonObject root;
        QJsonArray axis, angles, spacings, planeTexts;
        for (int i = 0; i < 3; ++i) axis.append(numberOrNull(model.Text1(fieldNumber(Field::ZoneU, i))));
        for (int i = 0; i < 3; ++i) angles.append(numberOrNull(model.Text1(fieldNumber(Field::CalcAngle12, i))));
        for (model::Caption c : spacingLabels) {
            const QString text = model.caption(c);
            spacings.append(numberOrNull(text.startsWith(QStringLiteral("d")) &&
                                                 !text.endsWith(QStringLiteral("***"))
                                             ? text.mid(3)
                                             : model::calculatorOutputIdleText()));
        }
        root.insert(QStringLiteral("zoneAxis"), axis);
        root.insert(QStringLiteral("anglesDeg"), angles);
        root.insert(QStringLiteral("spacingsNm"), spacings);
        root.insert(QStringLiteral("cellValid"), cellValid);
        QJsonObject texts;
        texts.insert(QStringLiteral("Label16"), model.caption(model::Caption::Label16));
        texts.insert(QStringLiteral("Label15"), model.caption(model::Caption::Label15));
        texts.insert(QStringLiteral("Label14"), model.caption(model::Caption::Label14));
        texts.insert(QStringLiteral("Label17"), model.caption(model::Caption::Label17));
        for (int n = fieldNumber(Field::CalcAngle12); n <= fieldNumber(Field::ZoneW); ++n)
            texts.insert(QStringLiteral("Text1(%1)").arg(n), model.Text1(n));
        for (int j = 0; j < 3; ++j)
            texts.insert(QStringLiteral("Label1(%1)").arg(47 + j), model.caption(spacingLabels[j]));
        root.insert(QStringLiteral("texts"), texts);
        out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else {
        out << "R1 " << model.caption(model::Caption::Label16) << "\n";
        out << "R2 " << model.caption(model::Caption::Label15) << "\n";
        out << "R3 " << model.caption(model::Caption::Label14) << "\n";
        out << model.caption(model::Caption::Label17) << "\n";
        for (int i = 0; i < 3; ++i) {
            const QString angle = model.Text1(fieldNumber(Field::CalcAngle12, i));
            out << angleNames[i] << "=" << angle
                << (angle == model::calculatorOutputIdleText() ? "" : " deg.") << "\n";
        }
        for (model::Caption c : spacingLabels) {
            const QString spacing = model.caption(c);
            out << spacing << (spacing.endsWith(QStringLiteral("***")) ? "" : " nm") << "\n";
        }
    }
    if (!cellValid) {
        // The calculator pointed at the first lattice field at fault.
        err << "saedindex-cli calc: " << QString::fromUtf8(calculator::notACellMessage()) << " (--cell value "
            << (badField + 1) << ": '" << model.Text1(badField) << "')\n";
        return 2;
    }
    return 0;
}

}  // namespace saed::cli
