// saedindex-cli screen
#include "app/cli/commands.h"

namespace saed::cli {

int runScreenCommand(const QStringList&, QTextStream&, QTextStream& err) {
    err << "saedindex-cli screen: not available yet\n";
    return 2;
}

}  // namespace saed::cli
