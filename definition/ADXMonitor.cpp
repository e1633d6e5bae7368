#include "definition/ADXMonitor.h"

ADXMonitor::ADXMonitor() {
  objectType = ADX_TYPE_MONITOR;
}
