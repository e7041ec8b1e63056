// How the main window's store controls reach their operations.
#include "app/form1.h"

namespace saed::app {

void Form1::connectStore() {}

}  // namespace saed::app
