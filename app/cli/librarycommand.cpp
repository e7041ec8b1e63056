// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli library: the phases of a library text, as the library tree shows them.
#include "app/cli/commands.h"
#include "app/cli/options.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

#include "app/cli/crystaloptions.h"
#include "library/phasetexts.h"
#include "library/phasetree.h"
#include "library/spacegroup.h"
#include "model/texts.h"

namespace saed::cli {

namespace {

struct Library {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Library)
};

const char kLibraryUsage[] = QT_TRANSLATE_NOOP("saed::cli::Library",
    "用法：saedindex-cli library [--library FILE | --cif FILE_OR_FOLDER...] [--format text|json]\n"
    "\n"
    "列出内置物相库或同样格式的物相库文件 FILE 中的物相：每条记录九个字段\n"
    "（name;type;c/a;a;b;c;alpha;beta;gamma;），UTF-8 或 GBK 编码。含不完整记录的文件不予\n"
    "使用：在 stderr 上指出该记录，退出状态为 2。\n"
    "\n"
    "用 --cif 时列出 CIF 文件中的物相（每个含晶胞的数据块；文件夹代表其中的 *.cif 文件）：名称、\n"
    "晶胞（nm，度）、空间群、原子位置数和按对称性展开后晶胞中的原子数（相距不到 0.05 Å 的对称\n"
    "等效位置算作一个原子）；json 对每个物相给出 {name, cell, spaceGroup: {hm, number} 或 null,\n"
    "atoms（原子位置数）, atomsPerCell, source}。无法读取的文件在 stderr 上指出并说明原因，跳过它\n"
    "继续读其余文件；至少读到一个物相时退出状态为 0，否则为 2。\n"
    "\n"
    "示例：\n"
    "  saedindex-cli library --cif si.cif structures/ --format json\n");


QString qs(const std::string& s) { return QString::fromStdString(s); }

// The atoms the sites fill in the cell by the phase's symmetry (images within the merge
// distance counted once); 0 when the atoms are not usable.
qint64 atomsPerCell(const library::CrystalPhase& phase) {
    qint64 n = 0;
    for (int m : library::SpaceGroupRule(phase).siteMultiplicities()) n += m;
    return n;
}

int listCifPhases(const QStringList& paths, const QString& format, QTextStream& out, QTextStream& err) {
    const auto phases = loadCifPhases(paths, QStringLiteral("library"), err);
    if (!phases) return 2;
    if (format == QStringLiteral("json")) {
        QJsonArray list;
        for (const library::CrystalPhase& p : *phases) {
            const core::Cell& c = p.cell;
            list.append(QJsonObject{{QStringLiteral("name"), qs(p.name)},
                                    {QStringLiteral("cell"), QJsonArray{c.aNm, c.bNm, c.cNm, c.alphaDeg, c.betaDeg, c.gammaDeg}},
                                    {QStringLiteral("spaceGroup"), spaceGroupJson(p)},
                                    {QStringLiteral("atoms"), static_cast<qint64>(p.atoms.size())},
                                    {QStringLiteral("atomsPerCell"), atomsPerCell(p)},
                                    {QStringLiteral("source"), qs(p.source)}});
        }
        out << QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("phases"), list}}).toJson(QJsonDocument::Indented));
        return 0;
    }
    for (const library::CrystalPhase& p : *phases) {
        const core::Cell& c = p.cell;
        out << qs(p.name) << '\t';
        for (double v : {c.aNm, c.bNm, c.cNm, c.alphaDeg, c.betaDeg, c.gammaDeg}) out << qs(library::formatNumberWithSu(v, 0)) << ' ';
        const std::string group = library::spaceGroupLabel(p);
        out << '\t' << (group.empty() ? QStringLiteral("-") : qs(group)) << '\t' << Library::tr("%n 个原子位置", nullptr, static_cast<int>(p.atoms.size())) << '\t'
            << Library::tr("晶胞中 %n 个原子", nullptr, static_cast<int>(atomsPerCell(p))) << '\n';
    }
    return 0;
}

}  // namespace

int runLibraryCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    const std::optional<QStringList> cifs = takeListOption(args, QStringLiteral("cif"));
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << Library::tr(kLibraryUsage);
        return 0;
    }
    Options options;
    if (!options.parse(args, {QStringLiteral("library"), QStringLiteral("format")}, {})) {
        err << "saedindex-cli library: " << options.error() << '\n'
            << Library::tr("用法见 saedindex-cli library --help。") << '\n';
        return 2;
    }
    const QString path = options.value(QStringLiteral("library"));
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json")) {
        err << "saedindex-cli library: " << Library::tr("--format 须为 text 或 json，而不是“%1”").arg(format) << '\n';
        return 2;
    }

    if (cifs) {
        if (cifs->isEmpty()) {
            err << "saedindex-cli library: " << Library::tr("--cif 需要一个文件或文件夹") << '\n';
            return 2;
        }
        if (options.has(QStringLiteral("library"))) {
            err << "saedindex-cli library: " << Library::tr("--library 与 --cif 只能给出其一") << '\n';
            return 2;
        }
        return listCifPhases(*cifs, format, out, err);
    }

    library::PhaseTree tree;
    if (!buildLibraryTree(path, tree, "saedindex-cli library", err)) return 2;

    if (format == QStringLiteral("json")) {
        QJsonArray phases;
        for (int i = 0; i < tree.nodeCount(); ++i) {
            const library::TreeNode& node = tree.node(i);
            if (node.key.rfind("bb", 0) != 0) continue;
            const int r = std::stoi(node.key.substr(2));
            QJsonObject phase;
            phase.insert(QStringLiteral("record"), r);
            phase.insert(QStringLiteral("phaseNode"), qs(tree.node(node.parent).key));
            const char* names[9] = {"name", "latticeType", "cOverA", "a",    "b",
                                    "c",    "alpha",       "beta",   "gamma"};
            for (int f = 1; f <= 9; ++f)
                phase.insert(QString::fromUtf8(names[f - 1]), qs(tree.field(r, f)));
            phases.append(phase);
        }
        QJsonObject root;
        root.insert(QStringLiteral("phases"), phases);
        out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else {
        for (int i = 0; i < tree.nodeCount(); ++i) {
            const library::TreeNode& node = tree.node(i);
            const int depth = node.parent < 0 ? 0 : (tree.node(node.parent).parent < 0 ? 1 : 2);
            out << QString(2 * depth, QLatin1Char(' '));
            if (depth > 0) out << "[" << qs(node.key) << "] ";
            out << (depth == 0 ? Library::tr("物相", "library root") : model::translatedPhaseLabel(qs(node.text))) << "\n";
        }
    }
    return 0;
}

}  // namespace saed::cli
