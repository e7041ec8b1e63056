// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli: the program's operations without a window, for scripts and batch use.
#include <cstdio>   // for fflush, ferror, stdout
#include <cstring>  // for strcmp
#include <memory>   // for unique_ptr

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGlobal>  // for qInstallMessageHandler
#include <QTextStream>

#include "app/cli/commands.h"
#include "model/language.h"

int main(int argc, char* argv[]) {
    // A picture's labels need the font database, which only a QGuiApplication brings. The
    // command line never shows a window, so the offscreen platform serves with or without a
    // display; the other commands keep the lighter core application.
    bool drawsPictures = false;
    for (int i = 1; i < argc; ++i)
        drawsPictures = drawsPictures || std::strcmp(argv[i], "simulate") == 0 || std::strcmp(argv[i], "orient") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (drawsPictures) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The platform's start-up notes (no runtime folder, for one) are not the command's
        // output: they would stand before its own messages on stderr.
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        app = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(previous);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("saedindex"));
    QCoreApplication::setOrganizationName(QStringLiteral("saedindex"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status =
        saed::cli::runProgram(QCoreApplication::arguments().mid(1), saed::model::systemLanguage(), out, err);
    // Output that did not arrive (a full disk, a closed pipe) is a failure, whatever the command
    // itself found.
    out.flush();
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        err << "saedindex-cli: " << QCoreApplication::translate("saed::cli::CommandLine", "无法写出结果：标准输出写入失败")
            << '\n';
        err.flush();
        return status != 0 ? status : 2;
    }
    return status;
}
