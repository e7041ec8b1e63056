// saedindex-cli library: the phases of a library text, as the library tree shows them.
#include "app/cli/commands.h"
#include "app/cli/options.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

#include "app/cli/crystaloptions.h"
#include "library/phaseranking.h"
#include "library/phasetree.h"

namespace saed::cli {

namespace {

const char kLibraryUsage[] =
    "usage: saedindex-cli library [--library FILE | --cif FILE_OR_FOLDER...] [--format text|json]\n"
    "\n"
    "Lists the phases of the built-in library, or of FILE in the same format: records of nine\n"
    "fields (name;type;c/a;a;b;c;alpha;beta;gamma;), in UTF-8 or GBK. A file with an incomplete\n"
    "record is not used: the record is named on stderr, with exit status 2.\n"
    "\n"
    "With --cif, lists the phases of CIF files (every data block with a cell; a folder stands for\n"
    "its *.cif files): name, cell (nm, degrees), space group and number of atom sites; json gives\n"
    "{name, cell, spaceGroup: {hm, number} or null, atoms, source} per phase. A file that cannot\n"
    "be read is named on stderr with the reason, and the status is 2.\n"
    "\n"
    "example:\n"
    "  saedindex-cli library --cif si.cif structures/ --format json\n";


QString qs(const std::string& s) { return QString::fromStdString(s); }

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
        out << '\t' << (group.empty() ? QStringLiteral("-") : qs(group)) << '\t' << p.atoms.size() << " atoms\n";
    }
    return 0;
}

}  // namespace

int runLibraryCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    const std::optional<QStringList> cifs = takeListOption(args, QStringLiteral("cif"));
    QString path;
    QString format = QStringLiteral("text");
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            out << kLibraryUsage;
            return 0;
        }
        if ((a == QStringLiteral("--library") || a == QStringLiteral("--format")) &&
            i + 1 < args.size()) {
            (a == QStringLiteral("--library") ? path : format) = args[++i];
        } else if (a.startsWith(QStringLiteral("--library="))) {
            path = a.mid(10);
        } else if (a.startsWith(QStringLiteral("--format="))) {
            format = a.mid(9);
        } else {
            err << "saedindex-cli library: unknown or incomplete option '" << a << "'\n\n"
                << kLibraryUsage;
            return 2;
        }
    }
    if (format != QStringLiteral("text") && format != QStringLiteral("json")) {
        err << "saedindex-cli library: --format is text or json, not '" << format << "'\n";
        return 2;
    }

    if (cifs) {
        if (cifs->isEmpty()) {
            err << "saedindex-cli library: --cif needs a file or folder\n";
            return 2;
        }
        if (!path.isEmpty()) {
            err << "saedindex-cli library: give --library or --cif, not both\n";
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
            out << qs(node.text) << "\n";
        }
    }
    return 0;
}

}  // namespace saed::cli
