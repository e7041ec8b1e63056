// saedindex-cli library
#include "app/cli/commands.h"

namespace saed::cli {

int runLibraryCommand(const QStringList&, QTextStream&, QTextStream& err) {
    err << "saedindex-cli library: not available yet\n";
    return 2;
}

}  // namespace saed::cli
