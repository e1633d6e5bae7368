#pragma once
// A small engine definition built in code with every kind of view the panes
// show. The packet of command "DATA" is four bytes:
//   0: engine speed, X*25 rpm     (range 0..6000, high alarm above 5000)
//   1: coolant, X-40 degrees      (range -40..150, low alarm below 0, high above 110)
//   2: manifold pressure, X/2 kPa (range 0..105)
//   3: flags: bit 0 "Closed Loop" (alarm colour when FALSE), bit 1 "Fan On"
#include <array>
#include <cstdint>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"

struct PanesTestDefinition {
  PanesTestDefinition();

  // The packet for the given readings.
  static std::array<std::uint8_t, 4> Packet(int rpm, int coolant, int map, bool closedLoop, bool fan);

  ADXDefinition def;
  ADXCSendCommand* command = nullptr;
  ADXValue* rpm = nullptr;
  ADXValue* coolant = nullptr;
  ADXValue* map = nullptr;
  ADXBitmask* closedLoop = nullptr;
  ADXBitmask* fan = nullptr;
  ADXDashboard* dash = nullptr;       // analog rpm, readout coolant, status closed loop, readout map
  ADXListView* list = nullptr;        // separator (bold), rpm, coolant, map, closed loop, fan
  ADXHistogram* histogram = nullptr;  // rows coolant, columns rpm, output map
  ADXMonitor* engine = nullptr;       // rpm and map
  ADXMonitor* temps = nullptr;        // coolant
};
