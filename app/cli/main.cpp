// saedindex-cli: the program's operations without a window, for scripts and batch use.
#include <cstdio>  // for fflush, ferror, stdout

#include <QCoreApplication>
#include <QTextStream>

#include "app/cli/commands.h"
#include "model/language.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
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
