// saedindex-cli index
#include "app/cli/commands.h"

namespace saed::cli {

int runIndexCommand(const QStringList&, QTextStream&, QTextStream& err) {
    err << "saedindex-cli index: not available yet\n";
    return 2;
}

}  // namespace saed::cli
