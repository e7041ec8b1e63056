// Runs saedindex-cli command lines in the test process, catching what they print.
#pragma once

#include <QStringList>
#include <QTextStream>

#include "app/cli/commands.h"

namespace saed::testdata {

struct CliRun {
    int status;
    QString out;
    QString err;
};

// Runs a saedindex-cli command line given as its arguments (the command first).
inline CliRun runCli(const QStringList& args) {
    CliRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = cli::runCommandLine(args, out, err);
    out.flush();
    err.flush();
    return result;
}

}  // namespace saed::testdata
