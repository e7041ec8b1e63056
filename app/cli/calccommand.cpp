// saedindex-cli calc
#include "app/cli/commands.h"

namespace saed::cli {

int runCalcCommand(const QStringList&, QTextStream&, QTextStream& err) {
    err << "saedindex-cli calc: not available yet\n";
    return 2;
}

}  // namespace saed::cli
