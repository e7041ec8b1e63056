// saedindex-cli library: the phases of a library text, as the library tree shows them.
#include "app/cli/commands.h"
#include "app/cli/options.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

#include "library/phasetree.h"

namespace saed::cli {

namespace {

const char kLibraryUsage[] =
    "usage: saedindex-cli library [--library FILE] [--format text|json]\n"
    "\n"
    "Lists the phases of the built-in library, or of FILE in the same format: records of nine\n"
    "fields (name;type;c/a;a;b;c;alpha;beta;gamma;), in UTF-8 or GBK. A file with an incomplete\n"
    "record is not used: the record is named on stderr, with exit status 2.\n";

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

int runLibraryCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
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
