#include "definition/ADXDashboard.h"

ADXDashboard::ADXDashboard() {
  objectType = ADX_TYPE_DASHBOARD;
}
