// How the main window's measure controls reach their operations.
#include "app/form1.h"

namespace saed::app {

void Form1::connectMeasure() {}

}  // namespace saed::app
