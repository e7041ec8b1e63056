// SPDX-License-Identifier: BSD-3-Clause
// Runs saedindex-cli command lines in the test process, catching what they print.
#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include "app/cli/commands.h"
#include "model/language.h"

namespace saed::testdata {

struct CliRun {
    int status;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// Runs a saedindex-cli command line given as its arguments (the command first) as the program
// does, in `language` unless the line carries --lang. The process's language is put back after
// it, so that the windows of later tests read as they would alone.
inline CliRun runCliIn(model::Language language, const QStringList& args) {
    const model::Language before = model::currentLanguage();
    CliRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = cli::runProgram(args, language, out, err);
    out.flush();
    err.flush();
    model::installProgramTranslations(*QCoreApplication::instance(), before);
    return result;
}

// The arguments of a command line written as one text, split at its blanks.
inline QStringList cliArgs(const QString& line) { return line.split(u' ', Qt::SkipEmptyParts); }
inline QStringList cliArgs(const char* line) { return cliArgs(QString::fromUtf8(line)); }

// Runs a command line in English, the language the tests of the commands' texts read.
inline CliRun runCli(const QStringList& args) { return runCliIn(model::Language::English, args); }
inline CliRun runCli(const char* line) { return runCli(cliArgs(line)); }

// Installs `language` for tests that call a command's parts directly.
inline void useCliLanguage(model::Language language) {
    model::installProgramTranslations(*QCoreApplication::instance(), language);
}

}  // namespace saed::testdata
