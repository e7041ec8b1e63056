// Subcommands of saedindex-cli; each takes its arguments (after the subcommand's name) and
// returns the exit status: 0 done, 2 bad input (told on `err`).
#pragma once

#include <QStringList>
#include <QTextStream>

namespace saed::cli {

int runIndexCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runCalcCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runLibraryCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runScreenCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runImageCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace saed::cli
