// How the main window's library controls reach their operations.
#include "app/form1.h"

namespace saed::app {

void Form1::connectLibrary() {}

}  // namespace saed::app
