// saedindex-cli: the program's operations without a window, for scripts and batch use.
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
    return saed::cli::runProgram(QCoreApplication::arguments().mid(1), saed::model::systemLanguage(), out, err);
}
