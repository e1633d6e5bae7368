// The connection state that the status line and the logger toolbar show.
#pragma once

#include <cstdint>

enum ConnectionState : std::int32_t {
  Connected = 0,     // good data arrives
  Connecting = 1,    // port open, no good reply yet
  NotConnected = 2,  // no acquisition
  LogPaused = 3,     // playback paused
};
