// SPDX-License-Identifier: BSD-3-Clause
// Runs the real saedindex-cli as a user does: a process of its own, its path from CMake
// (SAEDINDEX_CLI), a timeout, and what it printed and returned.
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace saed::testdata {

struct ProgramRun {
    int status = -1;  // the exit code; -1 when the program crashed or did not end in time
    QByteArray rawOut;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(rawOut).object(); }
};

struct ProgramOptions {
    // "en" or "zh" sets LANGUAGE; empty leaves a system that names no language of the program
    // (LANG=C.UTF-8, no LANGUAGE, LC_ALL or LC_MESSAGES), whose default is Chinese.
    QString language = QStringLiteral("en");
    bool withoutDisplay = false;  // no DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM or XDG_RUNTIME_DIR
    QString configHome;           // XDG_CONFIG_HOME, when given
    QString folder;               // the working folder, when given
    QString outFile;              // standard output goes into this file, when given
    int timeoutMs = 120000;

    // The same, one setting changed: ProgramOptions().noDisplay().inFolder(path).
    ProgramOptions& inLanguage(const QString& code) { language = code; return *this; }
    ProgramOptions& systemLanguage() { language.clear(); return *this; }
    ProgramOptions& noDisplay() { withoutDisplay = true; return *this; }
    ProgramOptions& configIn(const QString& path) { configHome = path; return *this; }
    ProgramOptions& inFolder(const QString& path) { folder = path; return *this; }
    ProgramOptions& outputTo(const QString& path) { outFile = path; return *this; }
};

// Runs `program` with `args` as `options` say and waits for it to end.
inline ProgramRun runExecutable(const QString& program, const QStringList& args, const ProgramOptions& options = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (options.language.isEmpty()) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    } else {
        environment.insert(QStringLiteral("LANGUAGE"), options.language);
    }
    if (options.withoutDisplay)
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            environment.remove(QString::fromLatin1(name));
    if (!options.configHome.isEmpty()) environment.insert(QStringLiteral("XDG_CONFIG_HOME"), options.configHome);
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!options.folder.isEmpty()) process.setWorkingDirectory(options.folder);
    if (!options.outFile.isEmpty()) process.setStandardOutputFile(options.outFile);
    process.start(program, args);
    ProgramRun run;
    const bool ended = process.waitForFinished(options.timeoutMs);
    if (!ended) process.kill();
    if (ended && process.exitStatus() == QProcess::NormalExit) run.status = process.exitCode();
    run.rawOut = process.readAllStandardOutput();
    run.out = QString::fromUtf8(run.rawOut);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

#ifdef SAEDINDEX_CLI
// Runs saedindex-cli with `args`, or with a command line split at its blanks.
inline ProgramRun runCliProgram(const QStringList& args, const ProgramOptions& options = {}) {
    return runExecutable(QStringLiteral(SAEDINDEX_CLI), args, options);
}
inline ProgramRun runCliProgram(const QString& line, const ProgramOptions& options = {}) {
    return runCliProgram(line.split(u' ', Qt::SkipEmptyParts), options);
}
#endif

}  // namespace saed::testdata
