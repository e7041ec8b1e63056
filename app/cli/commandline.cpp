// The command line's dispatch: one guard around every command, so that nothing aborts.
#include <exception>
#include <new>  // for bad_alloc

#include "app/cli/commands.h"

namespace saed::cli {

namespace {

const char kUsage[] =
    "usage: saedindex-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  index    index a measured spot pattern against one phase\n"
    "  calc     spacings, angles and zone axis of three planes\n"
    "  library  list the phases of a library text or of CIF files\n"
    "  reflections  the reflections of a phase: spacing, extinction, |F|, double diffraction\n"
    "  screen   index a measured pattern against every phase of a library\n"
    "  image    read a microscope image: size, calibration, spot centres, detected spots\n"
    "  simulate the spot pattern of a zone axis, as JSON, SVG or PNG\n"
    "\n"
    "saedindex-cli COMMAND --help shows the options of a command.\n";

}  // namespace

int runGuarded(const std::function<int()>& command, QTextStream& err, const QString& name) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
        err << name << ": out of memory; narrow the tolerances or the index range\n";
    } catch (const std::exception& e) {
        err << name << ": internal error: " << e.what() << '\n';
    } catch (...) {
        err << name << ": internal error\n";
    }
    err.flush();
    return 2;
}

int runCommandLine(QStringList args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << kUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    return runGuarded([&]() -> int {
        if (command == QStringLiteral("index")) return runIndexCommand(args, out, err);
        if (command == QStringLiteral("calc")) return runCalcCommand(args, out, err);
        if (command == QStringLiteral("library")) return runLibraryCommand(args, out, err);
        if (command == QStringLiteral("screen")) return runScreenCommand(args, out, err);
        if (command == QStringLiteral("reflections")) return runReflectionsCommand(args, out, err);
        if (command == QStringLiteral("image")) return runImageCommand(args, out, err);
        if (command == QStringLiteral("simulate")) return runSimulateCommand(args, out, err);
        err << "saedindex-cli: unknown command '" << command << "'\n\n" << kUsage;
        return 2;
    }, err, QStringLiteral("saedindex-cli ") + command);
}

}  // namespace saed::cli
