// How the main window's indexing controls reach their operations.
#include "app/form1.h"

namespace saed::app {

void Form1::connectIndexing() {}

}  // namespace saed::app
