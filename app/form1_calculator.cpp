// How the main window's calculator controls reach their operations.
#include "app/form1.h"

namespace saed::app {

void Form1::connectCalculator() {}

}  // namespace saed::app
