// SPDX-License-Identifier: BSD-3-Clause
// Subcommands of saedindex-cli; each takes its arguments (after the subcommand's name) and
// returns the exit status: 0 done, 2 bad input (told on `err`).
#pragma once

#include <QStringList>
#include <QTextStream>

#include <functional>

#include "model/language.h"

namespace saed::cli {

// Runs `command` and returns its exit status; an exception it throws is told on `err`, after
// `name` (such as "saedindex-cli index"), as an internal error (out of memory named as such)
// with exit status 2.
int runGuarded(const std::function<int()>& command, QTextStream& err, const QString& name);

// Runs the command named by args[0] with the remaining arguments, guarded as above; an unknown
// command is told with the usage text and exit status 2.
int runCommandLine(QStringList args, QTextStream& out, QTextStream& err);

// Runs a whole command line in its language: --lang zh|en wherever it stands, else `fallback`
// (the program passes the system's language). The language's catalogues are installed in the
// application before runCommandLine runs the rest; a bad --lang value is told on `err` in the
// fallback language, with exit status 2.
int runProgram(QStringList args, model::Language fallback, QTextStream& out, QTextStream& err);

int runIndexCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runCalcCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runLibraryCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runScreenCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runReflectionsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runImageCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runSimulateCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runTiltCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runOrientCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runRingsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runCalibrateCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runCalibrationsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runIdentifyCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace saed::cli
