// The logger toolbar and the playback speed items as pure functions of the
// state, so that the window and the tests agree on them.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <cstdint>

#include "datalog/XdlFormat.h"

struct LoggerToolbarState {
  bool play = false;
  bool record = false;
  bool stop = false;
  bool pause = false;
  bool loadLog = false;
  bool slider = false;

  bool operator==(const LoggerToolbarState&) const = default;
};

// Which buttons (and the position slider) are enabled for a DataLogFile state
// and a connection state.
LoggerToolbarState UpdateLoggerToolbar(XdlState logState, std::int32_t connectionState);

// The playback speed menu items; Custom stands for every other factor.
enum class SpeedItem { Speed400, Speed200, Speed100, Speed50, Speed25, Custom };

SpeedItem CheckedSpeedItem(float factor);
// The factor of a menu item (Custom: 1).
float SpeedFactorOf(SpeedItem item);
