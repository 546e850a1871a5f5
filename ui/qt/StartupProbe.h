#pragma once
// For the start-up benchmark: with PORTWRIGHT_STARTUP_PROBE=1 in the
// environment, the first paint of the window prints "first-paint <ns> <ns>"
// (the realtime clock, then the CPU time the process has used) on standard
// output and ends the program.
#include <QWidget>

namespace pw::qt {

void InstallStartupProbe(QWidget& window);

}  // namespace pw::qt
