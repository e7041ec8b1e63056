// saedindex-cli: the program's operations without a window, for scripts and batch use.
#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include "app/cli/commands.h"

namespace {

const char kUsage[] =
    "usage: saedindex-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  index    index a measured spot pattern against one phase\n"
    "  calc     spacings, angles and zone axis of three planes\n"
    "  library  list the phases of a library text\n"
    "  screen   index a measured pattern against every phase of a library\n"
    "  image    read a microscope image: size, calibration, spot centres, detected spots\n"
    "\n"
    "saedindex-cli COMMAND --help shows the options of a command.\n";

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("saedindex"));
    QCoreApplication::setOrganizationName(QStringLiteral("saedindex"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << kUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    if (command == QStringLiteral("index")) return saed::cli::runIndexCommand(args, out, err);
    if (command == QStringLiteral("calc")) return saed::cli::runCalcCommand(args, out, err);
    if (command == QStringLiteral("library")) return saed::cli::runLibraryCommand(args, out, err);
    if (command == QStringLiteral("screen")) return saed::cli::runScreenCommand(args, out, err);
    if (command == QStringLiteral("image")) return saed::cli::runImageCommand(args, out, err);
    err << "saedindex-cli: unknown command '" << command << "'\n\n" << kUsage;
    return 2;
}
