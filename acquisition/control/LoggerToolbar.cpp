#include "acquisition/control/LoggerToolbar.h"

#include "acquisition/control/ConnectionState.h"
#include "datalog/XdlFormat.h"

LoggerToolbarState UpdateLoggerToolbar(XdlState logState, std::int32_t connectionState) {
  LoggerToolbarState s;
  switch (logState) {
    case XDL_STATE_PLAYING:
      s.stop = s.pause = s.slider = true;
      break;
    case XDL_STATE_RECORDING:
      s.stop = true;
      break;
    case XDL_STATE_STOP_REQUESTED:
      s.play = s.loadLog = true;
      break;
    case XDL_STATE_OPEN_RECORD:
      break;
    case XDL_STATE_READY:
      if (connectionState == LogPaused) {
        s.play = s.stop = s.slider = true;
        break;
      }
      [[fallthrough]];
    default:
      // Closed (or ready and not paused). A closed log with the paused state
      // cannot arise; it is treated like any other state without a log.
      s.play = s.loadLog = true;
      s.record = connectionState == Connected;
      break;
  }
  return s;
}

SpeedItem CheckedSpeedItem(float factor) {
  if (factor == 4.0f) return SpeedItem::Speed400;
  if (factor == 2.0f) return SpeedItem::Speed200;
  if (factor == 1.0f) return SpeedItem::Speed100;
  if (factor == 0.5f) return SpeedItem::Speed50;
  if (factor == 0.25f) return SpeedItem::Speed25;
  return SpeedItem::Custom;
}

float SpeedFactorOf(SpeedItem item) {
  switch (item) {
    case SpeedItem::Speed400:
      return 4.0f;
    case SpeedItem::Speed200:
      return 2.0f;
    case SpeedItem::Speed50:
      return 0.5f;
    case SpeedItem::Speed25:
      return 0.25f;
    default:
      return 1.0f;
  }
}
