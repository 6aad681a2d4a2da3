// Without Windows there is no corvane.dll to load; native code attaches a core object instead.
#include "control/core/CorvaneCtrl.h"

bool CorvaneCtrl::Load() { return false; }
